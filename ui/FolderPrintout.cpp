#include "ui/FolderPrintout.h"

#include <algorithm>
#include <string>

#include <QListWidget>
#include <QString>
#include <QStringList>

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "ui/NativeText.h"
#include "ui/PrinterOrPdf.h"
#include "ui/Prompts.h"

namespace {

// Alphabetical without regard to case; names differing only in case keep a fixed order.
bool precedesIgnoringCase(const QString& a, const QString& b) {
    const int order = QString::compare(a, b, Qt::CaseInsensitive);
    return order != 0 ? order < 0 : a < b;
}

// Keeps a sorting list box in the same order as the printout, which QListWidget's own
// case-sensitive comparison would not.
class FileNameItem final : public QListWidgetItem {
public:
    explicit FileNameItem(const QString& name) : QListWidgetItem(name) {}
    bool operator<(const QListWidgetItem& other) const override {
        return precedesIgnoringCase(text(), other.text());
    }
};

QStringList sortedFileNames(const std::string& folder) {
    QStringList names;
    for (const std::string& name : fs_entry::regularFileNames(folder))
        names.push_back(fromNative(name));
    std::sort(names.begin(), names.end(), precedesIgnoringCase);
    return names;
}

} // namespace

void printFolderListing(QWidget* owner, const QString& dialogFolder, QListWidget& listBox2) {
    prompts().information(
        owner, QStringLiteral("To print the contents of any folder, simply select any file in "
                              "the folder. "));
    const auto picked = prompts().openFile(owner, dialogFolder);
    if (!picked)
        return;
    const std::string folder = paths::folderOf(toNative(*picked));
    // Read before the job starts: a PDF saved into the folder is not part of its own listing.
    const QStringList names = sortedFileNames(folder);
    const auto printer = openPrinterOrPdf(owner, fromNative(folder));
    if (!printer)
        return;
    printer->writeLine(QStringLiteral("Files Located In ") + fromNative(folder));
    printer->writeLine(QStringLiteral(" "));
    listBox2.clear();
    for (const QString& name : names)
        listBox2.addItem(new FileNameItem(name));
    for (int row = 0; row < listBox2.count(); ++row)
        printer->writeLine(listBox2.item(row)->text());
    printer->close();
}
