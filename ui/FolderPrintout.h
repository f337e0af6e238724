#pragma once

class QListWidget;
class QString;
class QWidget;

// The main window's Print Folder: the user picks any file in a folder, and the names of the
// folder's files and links to files are printed, sorted in the user's locale without regard to
// case, with a heading naming the folder. The open-file dialog starts in dialogFolder, which then
// becomes the picked file's folder; fileListForPrinting collects the names and keeps them until the
// next printout. Without a printer the listing can be saved as a PDF file instead (see
// openPrinterOrPdf). Printer errors are thrown.
void printFolderListing(QWidget* owner, QString& dialogFolder, QListWidget& fileListForPrinting);
