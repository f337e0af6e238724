#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ui/LayoutDialog.h"

struct MemoryStatus;

namespace Ui {
class StatisticsWindow;
}

// The statistics window: a snapshot of the memory figures and the number of splits made.
class StatisticsWindow final : public LayoutDialog {
    Q_OBJECT

public:
    StatisticsWindow(QWidget* owner, const settings::Settings& settings);
    ~StatisticsWindow() override;

    void showMemoryStatus(const MemoryStatus& status);
    void showSplitCounter(std::int32_t splits);

private:
    std::unique_ptr<Ui::StatisticsWindow> m_ui;
};

// Builds the statistics window owned by owner, fills it and runs it modally, then destroys it.
// A figure that cannot be read (a bad split counter, an unreadable memory file) throws before
// the window is shown. The memory figures come from memInfoPath.
void showStatisticsWindow(QWidget* owner, const settings::Settings& settings,
                          const std::string& memInfoPath = "/proc/meminfo");

// Percentage of total that available is, in the total's whole hundredths; 0 for a total
// below 100.
std::uint64_t percentAvailable(std::uint64_t available, std::uint64_t total);
