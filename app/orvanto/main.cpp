#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include <QApplication>
#include <QFileInfo>
#include <QTimer>

#include "Version.h"
#include "app/terminal/ExitStatus.h"
#include "app/terminal/HelpAndVersion.h"
#include "app/terminal/StandardStreams.h"
#include "platform/PageFolders.h"
#include "platform/Paths.h"
#include "platform/VisibleText.h"
#include "settings/Settings.h"
#include "ui/DisplayCheck.h"
#include "ui/MainWindow.h"
#include "ui/NativeText.h"
#include "ui/ProgramLine.h"
#include "ui/ProgramPage.h"
#include "ui/TerminationSignals.h"
#include "ui/WindowText.h"
#include "wording/FailureMessages.h"
#include "wording/GivingUp.h"
#include "wording/Translation.h"

namespace {

const char* const kProgram = "orvanto";

// --help names the help page the Help button opens, so an installation can be checked.
std::string helpPageLine() {
    const std::vector<std::string> folders = paths::pageFolders(paths::programFolder());
    if (const std::optional<std::string> page = paths::findPage(helpPageName(), folders))
        return fillIn(translate("Help page: %1"), {visibleText(*page)});
    return fillIn(translate("Help page: not found in %1 or %2"),
                  {visibleText(folders.at(0)), visibleText(folders.at(1))});
}

std::string usage() {
    // clang-format off
    return fillIn(translate(
        "Usage: orvanto [FILE]\n"
        "Cuts a file into numbered pieces and writes a Windows batch file that rejoins them.\n"
        "Opens Orvanto's window, with FILE selected when one is given.\n"
        "Use orvanto-split to split from the command line.\n"
        "%1\n"
        "\n"
        "Options:\n"
        "  -h, --help     show this text\n"
        "  -v, --version  show the version\n"),
        {helpPageLine()});
    // clang-format on
}

// What Qt left of the command line after taking its own options: the file to select, if any,
// with "--" before a name that begins with "-". Nullopt once a mistake has been reported.
std::optional<std::vector<std::string>> filesFromCommandLine(int argc, char** argv) {
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (const std::string& argument : std::vector<std::string>(argv + 1, argv + argc)) {
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && argument.size() > 1 && argument.front() == '-') {
            writeProgramLine(fillIn(translate("unknown option: %1; see orvanto --help"),
                                    {visibleText(argument)}));
            return std::nullopt;
        } else {
            files.push_back(argument);
        }
    }
    if (files.size() > 1) {
        std::fprintf(stderr, "%s\n", translate("orvanto takes one file at most."));
        return std::nullopt;
    }
    return files;
}

int run(const std::vector<std::string>& files) {
    QCoreApplication::setApplicationName(QStringLiteral("Orvanto"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVANTO_VERSION));
    // Ties the window to the installed desktop entry, whose icon the desktop then shows.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.orvanto.Orvanto"));
    MainWindow window(settings::Settings(paths::configurationFolderPath()));
    // Every loop ends with the session, a box's included, so no box outlives the window.
    const TerminationSignals sessionEnd(
        [&window] { window.closeAtSessionEnd([] { QCoreApplication::exit(0); }); },
        [&window] { giveUpOnJob(window.madeBySplit(), "orvanto: "); });
    window.show();
    // Once the event loop runs, so that what the file's check has to say is shown inside it.
    if (!files.empty()) {
        const QString file = QFileInfo(fromNative(files.front())).absoluteFilePath();
        QTimer::singleShot(0, &window, [&window, file] { window.openWithFile(file); });
    }
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    if (!standard_streams::guardStandardStreams(kProgramPrefix))
        return exit_status::kError;
    startTranslation(catalogueFolder(paths::programFolder()));
    // Answered without the window system, which is missing in a terminal over SSH.
    if (const std::optional<int> answered =
            answerHelpOrVersion({argv + 1, argv + argc}, usage(), kProgram))
        return *answered;
    if (!checkForDisplay(argc, argv,
                         translate("orvanto: there is no display to show the window on. To split a "
                                   "file in this terminal, use orvanto-split (see orvanto-split "
                                   "--help).\n")))
        return exit_status::kError;
    QApplication app(argc, argv);
    loadQtCatalogue(app);
    // Qt has taken its own options; what is left is for this program.
    const std::optional<std::vector<std::string>> files = filesFromCommandLine(argc, argv);
    if (!files)
        return exit_status::kError;
    // Every window handler shows its own errors; this catches what fails before the first one.
    try {
        return run(*files);
    } catch (const std::exception& error) {
        writeProgramLine(visibleText(failureText(error)));
    }
    return exit_status::kError;
}
