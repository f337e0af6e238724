#pragma once

#include <optional>

#include <QString>

class QWidget;

// Every modal box, file dialog and shell call of the windows goes through this seam, so that
// tests can answer them without anything blocking.
class Prompts {
public:
    virtual ~Prompts() = default;

    // "Information" with the information icon.
    virtual void information(QWidget* parent, const QString& text) = 0;
    // "Error" with the critical icon.
    virtual void error(QWidget* parent, const QString& text) = 0;
    // Captioned "Orvanto", no icon.
    virtual void plain(QWidget* parent, const QString& text) = 0;
    // The standard error box: "Orvanto" with the critical icon.
    virtual void standardError(QWidget* parent, const QString& text) = 0;
    // Yes/No question captioned "Orvanto"; true for Yes.
    virtual bool askYesNo(QWidget* parent, const QString& text) = 0;
    // What to do about a file that is in the way: text says which, and why it matters.
    enum class ExistingFileAnswer { Replace, ChooseAnotherFolder, Cancel };
    // "Orvanto" with the warning icon and Replace, Choose Another Folder... and Cancel.
    virtual ExistingFileAnswer askAboutExistingFile(QWidget* parent, const QString& text) = 0;
    // An open-file dialog starting in initialFolder; empty when cancelled.
    virtual std::optional<QString> openFile(QWidget* parent, const QString& initialFolder) = 0;
    // A save-file dialog for a PDF file, starting at initialPath (a folder and a proposed name);
    // empty when cancelled.
    virtual std::optional<QString> savePdfFile(QWidget* parent, const QString& initialPath) = 0;
    // A folder chooser; empty when cancelled.
    virtual std::optional<QString> chooseFolder(QWidget* parent, const QString& initialFolder) = 0;
    // Opens a local document with the desktop's program for its type; false on failure, and
    // when the desktop names no program for that type.
    virtual bool openDocument(const QString& path) = 0;
};

// The desktop's program for files of the MIME type, as xdg-open chooses it: empty when the
// desktop names none, nullopt when it cannot be asked (xdg-utils missing).
std::optional<QString> desktopProgramFor(const QString& mimeType);

// The seam in use: Qt's real boxes unless a test installed its own.
Prompts& prompts();
// Installs a replacement (nullptr restores the real one); the caller keeps ownership.
void setPrompts(Prompts* replacement);
