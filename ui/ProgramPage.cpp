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

namespace {

QString whereLookedFor(const char* pageName, const std::vector<std::string>& folders) {
    return QStringLiteral("\n\nOrvanto looks for %1 in %2 and then in %3.")
        .arg(QLatin1String(pageName), fromNative(visibleText(folders.at(0))),
             fromNative(visibleText(folders.at(1))));
}

QString whereItIs(const std::string& page) {
    return QStringLiteral("\n\nThe page is %1.").arg(fromNative(visibleText(page)));
}

} // namespace

void openProgramPage(QWidget* owner, const char* pageName, const QString& failureText) {
    const std::vector<std::string> folders = paths::pageFolders(paths::programFolder());
    const std::optional<std::string> found = paths::findPage(pageName, folders);
    // Not found anywhere, the first place is tried all the same, so the box is the browser's.
    const std::string page = found.value_or(paths::joined(folders.front(), pageName));
    if (prompts().openDocument(fromNative(page)))
        return;
    // A page that is there, with no browser to show it, is for the user to open.
    prompts().information(owner, failureText +
                                     (found ? whereItIs(page) : whereLookedFor(pageName, folders)));
}
