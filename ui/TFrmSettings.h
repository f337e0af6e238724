#pragma once

#include <memory>

#include "ui/LayoutDialog.h"

namespace Ui {
class TFrmSettings;
}

// The settings dialog: shows the output folder the split job writes into and lets the user
// choose another. Only OK stores, and only a folder that exists.
class TFrmSettings final : public LayoutDialog {
    Q_OBJECT

public:
    explicit TFrmSettings(QWidget* owner);
    ~TFrmSettings() override;

private:
    void FormCreate();
    void BitBtn1Click();
    void BitBtn2Click();

    std::unique_ptr<Ui::TFrmSettings> m_ui;
};

// Creates the settings dialog owned by owner, runs it modally and destroys it.
void showSettingsDialog(QWidget* owner);
