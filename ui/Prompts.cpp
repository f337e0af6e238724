#include "ui/Prompts.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QProcess>
#include <QPushButton>
#include <QUrl>

#include "ui/WindowText.h"

namespace {

// Texts carry paths and file names, which must be shown as they are, never read as markup.
int runBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text,
           QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, caption, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    return box.exec();
}

void showBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text) {
    runBox(parent, icon, caption, text, QMessageBox::Ok);
}

// A dialog gives an empty path when it was cancelled.
std::optional<QString> chosenPath(const QString& path) {
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

class QtPrompts final : public Prompts {
public:
    void information(QWidget* parent, const QString& text) override {
        showBox(parent, QMessageBox::Information, orvantoText("Information"), text);
    }
    void error(QWidget* parent, const QString& text) override {
        showBox(parent, QMessageBox::Critical, orvantoText("Error"), text);
    }
    void plain(QWidget* parent, const QString& text) override {
        showBox(parent, QMessageBox::NoIcon, QStringLiteral("Orvanto"), text);
    }
    void standardError(QWidget* parent, const QString& text) override {
        showBox(parent, QMessageBox::Critical, QStringLiteral("Orvanto"), text);
    }
    bool askYesNo(QWidget* parent, const QString& text) override {
        return runBox(parent, QMessageBox::Question, QStringLiteral("Orvanto"), text,
                      QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    }
    ExistingFileAnswer askAboutExistingFile(QWidget* parent, const QString& text) override {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Orvanto"), text, QMessageBox::Cancel,
                        parent);
        box.setTextFormat(Qt::PlainText);
        const QPushButton* replace =
            box.addButton(orvantoText("&Replace"), QMessageBox::DestructiveRole);
        const QPushButton* another =
            box.addButton(orvantoText("Choose &Another Folder..."), QMessageBox::AcceptRole);
        box.setDefaultButton(QMessageBox::Cancel);
        box.exec();
        if (box.clickedButton() == replace)
            return ExistingFileAnswer::Replace;
        if (box.clickedButton() == another)
            return ExistingFileAnswer::ChooseAnotherFolder;
        return ExistingFileAnswer::Cancel;
    }
    std::optional<QString> openFile(QWidget* parent, const QString& initialFolder) override {
        return chosenPath(QFileDialog::getOpenFileName(parent, QString(), initialFolder));
    }
    std::optional<QString> savePdfFile(QWidget* parent, const QString& initialPath) override {
        return chosenPath(QFileDialog::getSaveFileName(parent, QString(), initialPath,
                                                       orvantoText("PDF files (*.pdf)")));
    }
    std::optional<QString> chooseFolder(QWidget* parent, const QString& initialFolder) override {
        return chosenPath(QFileDialog::getExistingDirectory(parent, QString(), initialFolder));
    }
    bool openDocument(const QString& path) override {
        // A page that is not there counts as a failure, whatever the desktop would do with it.
        if (!QFileInfo(path).isFile())
            return false;
        // With no browser the desktop would open a page in a text editor, or vim in a terminal.
        const std::optional<QString> program =
            desktopProgramFor(QMimeDatabase().mimeTypeForFile(path).name());
        if (program && program->isEmpty())
            return false;
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }
};

QtPrompts g_qtPrompts;
Prompts* g_replacement = nullptr;

} // namespace

std::optional<QString> desktopProgramFor(const QString& mimeType) {
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!query.waitForFinished(10000) || query.exitStatus() != QProcess::NormalExit)
        return std::nullopt;
    return QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
}

Prompts& prompts() {
    return g_replacement ? *g_replacement : static_cast<Prompts&>(g_qtPrompts);
}

void setPrompts(Prompts* replacement) {
    g_replacement = replacement;
}
