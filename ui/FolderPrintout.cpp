#include "ui/FolderPrintout.h"

#include <algorithm>
#include <string>

#include <QCollator>
#include <QListWidget>
#include <QString>
#include <QStringList>

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/VisibleText.h"
#include "ui/NativeText.h"
#include "ui/PrinterOrPdf.h"
#include "ui/Prompts.h"
#include "ui/WindowText.h"

namespace {

// In the user's locale without regard to case, so that accented and non-Latin names sort among
// their letters; names differing only in case keep a fixed order.
bool precedesIgnoringCase(const QCollator& collator, const QString& a, const QString& b) {
    const int order = collator.compare(a, b);
    return order != 0 ? order < 0 : a < b;
}

QCollator nameCollator() {
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

// Keeps a sorting list box in the same order as the printout, which QListWidget's own
// case-sensitive comparison would not.
class FileNameItem final : public QListWidgetItem {
public:
    FileNameItem(const QString& name, const QCollator& collator)
        : QListWidgetItem(name), m_collator(collator) {}
    bool operator<(const QListWidgetItem& other) const override {
        return precedesIgnoringCase(m_collator, text(), other.text());
    }

private:
    QCollator m_collator;
};

QStringList sortedFileNames(const std::string& folder, const QCollator& collator) {
    QStringList names;
    for (const std::string& name : fs_entry::regularFileNames(folder))
        names.push_back(fromNative(visibleText(name)));
    std::sort(names.begin(), names.end(), [&collator](const QString& a, const QString& b) {
        return precedesIgnoringCase(collator, a, b);
    });
    return names;
}

} // namespace

void printFolderListing(QWidget* owner, QString& dialogFolder, QListWidget& fileListForPrinting) {
    prompts().information(
        owner, orvantoText("To print the contents of any folder, simply select any file in the "
                           "folder. "));
    const auto picked = prompts().openFile(owner, dialogFolder);
    if (!picked)
        return;
    const std::string folder = paths::folderOf(chosenPath(*picked));
    dialogFolder = fromNative(folder);
    const QString heading = orvantoText("Files Located In %1").arg(fromNative(visibleText(folder)));
    // Read before the job starts: a PDF saved into the folder is not part of its own listing.
    const QCollator collator = nameCollator();
    const QStringList names = sortedFileNames(folder, collator);
    const auto printer = openPrinterOrPdf(owner, dialogFolder, heading);
    if (!printer)
        return;
    printer->writeLine(heading);
    printer->writeLine(QStringLiteral(" "));
    fileListForPrinting.clear();
    for (const QString& name : names)
        fileListForPrinting.addItem(new FileNameItem(name, collator));
    for (int row = 0; row < fileListForPrinting.count(); ++row)
        printer->writeLine(fileListForPrinting.item(row)->text());
    printer->close();
}
