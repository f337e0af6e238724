#include "ui/TFrmSettings.h"

#include <QStyle>

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "settings/Settings.h"
#include "ui/HandlerGuard.h"
#include "ui/NativeText.h"
#include "ui/Prompts.h"
#include "ui/ScreenCentre.h"
#include "ui_TFrmSettings.h"

namespace {

bool namesExistingFolder(const QString& text) {
    return !text.isEmpty() && fs_entry::isExistingFolder(toNative(text));
}

} // namespace

TFrmSettings::TFrmSettings(QWidget* owner)
    : LayoutDialog(owner, "frmsettings"), m_ui(std::make_unique<Ui::TFrmSettings>()) {
    m_ui->setupUi(this);
    m_ui->BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    m_ui->BitBtn2->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    connect(m_ui->BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(m_ui->BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
    FormCreate();
}

TFrmSettings::~TFrmSettings() = default;

void TFrmSettings::FormCreate() {
    restoreLayoutSize();
    centreOnScreen(*this);
    // A stored folder that cannot be read is reported, and the dialog opens to choose another.
    QString folder;
    runHandler(this, [&folder] { folder = fromNative(settings::readOutputFolder()); });
    m_ui->LblLocation->setText(folder.isEmpty() ? QStringLiteral("No Default Folder Selected Yet")
                                                : folder);
    m_ui->BitBtn1->setFocus();
}

void TFrmSettings::BitBtn1Click() {
    runHandler(this, [this] {
        const QString shown = m_ui->LblLocation->text();
        const auto folder =
            prompts().chooseFolder(this, namesExistingFolder(shown) ? shown : QString());
        if (!folder)
            return;
        // The split job puts the stored folder directly in front of the file names.
        m_ui->LblLocation->setText(fromNative(paths::withTrailingSlash(toNative(*folder))));
    });
}

void TFrmSettings::BitBtn2Click() {
    runHandler(this, [this] {
        const QString shown = m_ui->LblLocation->text();
        if (namesExistingFolder(shown))
            settings::writeOutputFolder(toNative(shown));
    });
    // A refused write has been shown; OK closes all the same.
    accept();
}

void showSettingsDialog(QWidget* owner) {
    TFrmSettings dialog(owner);
    dialog.exec();
}
