#include "ui/SettingsDialog.h"

#include <QStyle>

#include "platform/Paths.h"
#include "ui/DesktopTextScale.h"
#include "ui/ElidedText.h"
#include "ui/FormOnScreen.h"
#include "ui/HandlerGuard.h"
#include "ui/NativeText.h"
#include "ui/Prompts.h"
#include "ui/WindowText.h"
#include "ui_SettingsDialog.h"

namespace {

bool namesExistingFolder(const QString& text) {
    return !text.isEmpty() && paths::folderError(toNative(text)) == 0;
}

} // namespace

SettingsDialog::SettingsDialog(QWidget* owner, const settings::Settings& settings)
    : LayoutDialog(owner, settings, settings::kSettingsDialogSection),
      m_ui(std::make_unique<Ui::SettingsDialog>()) {
    m_ui->setupUi(this);
    scaleFormToDesktopText(*this);
    m_ui->changeFolderButton->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    m_ui->okButton->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    connect(m_ui->changeFolderButton, &QPushButton::clicked, this,
            [this] { onChangeFolderClicked(); });
    connect(m_ui->okButton, &QPushButton::clicked, this, [this] { onOkClicked(); });
    setUpControls();
}

SettingsDialog::~SettingsDialog() = default;

void SettingsDialog::setUpControls() {
    restoreLayoutSize();
    centreOnScreen(*this);
    // A stored folder that cannot be read is reported, and the dialog opens to choose another.
    QString folder;
    runHandler(this, [this, &folder] { folder = fromNative(storedSettings().readOutputFolder()); });
    showFolder(folder.isEmpty() ? orvantoText("No Default Folder Selected Yet") : folder);
    m_ui->changeFolderButton->setFocus();
}

void SettingsDialog::onChangeFolderClicked() {
    runHandler(this, [this] {
        const auto folder = prompts().chooseFolder(
            this, namesExistingFolder(m_shownFolder) ? m_shownFolder : QString());
        if (!folder)
            return;
        // Stored with its "/", as folders taken from a path are everywhere in the program.
        showFolder(fromNative(paths::withTrailingSlash(toNative(*folder))));
    });
}

void SettingsDialog::showFolder(const QString& folder) {
    m_shownFolder = folder;
    showElidedText(*m_ui->outputFolderLabel, folder);
}

void SettingsDialog::onOkClicked() {
    runHandler(this, [this] {
        if (namesExistingFolder(m_shownFolder))
            storedSettings().writeOutputFolder(toNative(m_shownFolder));
    });
    // A refused write has been shown; OK closes all the same.
    accept();
}

void showSettingsDialog(QWidget* owner, const settings::Settings& settings) {
    SettingsDialog dialog(owner, settings);
    dialog.exec();
}
