#include "ui/ProgramPage.h"

#include <optional>
#include <string>
#include <vector>

#include <QString>

#include "platform/PageFolders.h"
#include "platform/Paths.h"
#include "platform/VisibleText.h"
#include "ui/NativeText.h"
#include "ui/Prompts.h"
#include "ui/WindowText.h"
#include "wording/Translation.h"

const char* helpPageName() {
    // Translators: the file name of the help page in your language, installed beside help.htm.
    return translate("help.htm");
}

void openProgramPage(QWidget* owner, const char* pageName, const QString& failureText) {
    const std::vector<std::string> folders = paths::pageFolders(paths::programFolder());
    const std::optional<std::string> found = paths::findPage(pageName, folders);
    // Not found anywhere, the first place is tried all the same, so the box is the browser's.
    const std::string page = found.value_or(paths::joined(folders.front(), pageName));
    if (prompts().openDocument(fromNative(page)))
        return;
    // A page that is there, with no browser to show it, is for the user to open.
    if (found)
        prompts().information(
            owner,
            orvantoText("%1\n\nThe page is %2.").arg(failureText, fromNative(visibleText(page))));
    else
        prompts().information(owner, orvantoText("%1\n\nOrvanto looks for %2 in %3 and then in %4.")
                                         .arg(failureText, QLatin1String(pageName),
                                              fromNative(visibleText(folders.at(0))),
                                              fromNative(visibleText(folders.at(1)))));
}
