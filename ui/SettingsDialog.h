#pragma once

#include <memory>

#include <QString>

#include "ui/LayoutDialog.h"

namespace Ui {
class SettingsDialog;
}

// The settings dialog: shows the output folder the split job writes into and lets the user
// choose another. Only OK stores, and only a folder that exists.
class SettingsDialog final : public LayoutDialog {
    Q_OBJECT

public:
    SettingsDialog(QWidget* owner, const settings::Settings& settings);
    ~SettingsDialog() override;

private:
    void setUpControls();
    void onChangeFolderClicked();
    void onOkClicked();
    // Shows folder whole or elided; OK stores the whole one.
    void showFolder(const QString& folder);

    std::unique_ptr<Ui::SettingsDialog> m_ui;
    QString m_shownFolder;
};

// Creates the settings dialog owned by owner, runs it modally and destroys it.
void showSettingsDialog(QWidget* owner, const settings::Settings& settings);
