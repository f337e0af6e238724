#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ui/LayoutDialog.h"

struct MemoryStatus;

namespace Ui {
class TFrmstats;
}

// The statistics window: a snapshot of the memory figures and the number of splits made.
class TFrmstats final : public LayoutDialog {
    Q_OBJECT

public:
    explicit TFrmstats(QWidget* owner);
    ~TFrmstats() override;

    void showMemoryStatus(const MemoryStatus& status);
    void showSplitCounter(std::int32_t splits);

private:
    void FormCreate();

    std::unique_ptr<Ui::TFrmstats> m_ui;
};

// Builds the statistics window owned by owner, fills it and runs it modally, then destroys it.
// A figure that cannot be read (a bad split counter, an unreadable memory file) throws before
// the window is shown.
void showStatisticsWindow(QWidget* owner);

// The file the memory figures are read from, /proc/meminfo unless a test points elsewhere.
void setMemInfoPath(const std::string& path);

// Percentage of total that available is, in the total's whole hundredths; 0 for a total
// below 100.
std::uint64_t percentAvailable(std::uint64_t available, std::uint64_t total);
