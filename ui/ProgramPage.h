#pragma once

class QString;
class QWidget;

// Opens one of the program's pages (help.htm, download.htm) with the desktop's browser, from the
// first folder of paths::pageFolders that holds it. When that fails, failureText is shown,
// followed by the page's path, or by the folders where it is looked for when none holds it.
void openProgramPage(QWidget* owner, const char* pageName, const QString& failureText);

// The help page in the user's language ("help.htm" in English).
const char* helpPageName();
