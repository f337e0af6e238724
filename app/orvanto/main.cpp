#include <algorithm>
#include <cstdio>
#include <exception>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QTimer>

#include "Version.h"
#include "app/terminal/StandardStreams.h"
#include "platform/PageFolders.h"
#include "platform/Paths.h"
#include "platform/VisibleText.h"
#include "settings/Settings.h"
#include "ui/DisplayCheck.h"
#include "ui/MainWindow.h"
#include "ui/NativeText.h"
#include "ui/TerminationSignals.h"
#include "wording/FailureMessages.h"

namespace {

const char* const kNoDisplay =
    "orvanto: there is no display to show the window on. To split a file in this terminal, use "
    "orvanto-split (see orvanto-split --help).\n";

// --help names the help page the Help button opens, so an installation can be checked.
QString helpPageLine() {
    const std::vector<std::string> folders = paths::pageFolders(paths::programFolder());
    if (const std::optional<std::string> page = paths::findPage("help.htm", folders))
        return QStringLiteral("Help page: ") + fromNative(*page);
    return QStringLiteral("Help page: not found in %1 or %2")
        .arg(fromNative(folders.at(0)), fromNative(folders.at(1)));
}

// The program's options; process() answers --help and --version itself and exits.
QStringList filesFromCommandLine(const QCoreApplication& app) {
    QCoreApplication::setApplicationName(QStringLiteral("Orvanto"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVANTO_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Cuts a file into numbered pieces and writes a Windows batch file that "
                       "rejoins them.\nUse orvanto-split to split from the command line.\n") +
        helpPageLine());
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("The file to select for splitting."),
                                 QStringLiteral("[FILE]"));
    parser.process(app);
    return parser.positionalArguments();
}

// Options before "--"; what follows it are file names.
bool asksForHelpOrVersion(int argc, char** argv) {
    const std::set<std::string> answered = {"-h", "-?", "--help", "--help-all", "-v", "--version"};
    char** const optionsEnd = std::find_if(
        argv + 1, argv + argc, [](const char* argument) { return argument == std::string("--"); });
    return std::any_of(argv + 1, optionsEnd,
                       [&](const char* argument) { return answered.count(argument) != 0; });
}

int run(QApplication& app) {
    // Ties the window to the installed desktop entry, whose icon the desktop then shows.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.orvanto.Orvanto"));
    // Qt has taken its own options; what is left is for this program.
    const QStringList files = filesFromCommandLine(app);
    if (files.size() > 1) {
        std::fputs("orvanto takes one file at most.\n", stderr);
        return 2;
    }
    MainWindow window(settings::Settings(paths::configurationFolderPath()));
    // Every loop ends with the session, a box's included, so no box outlives the window.
    const TerminationSignals sessionEnd(
        [&window] { window.closeAtSessionEnd([] { QCoreApplication::exit(0); }); });
    window.show();
    // Once the event loop runs, so that what the file's check has to say is shown inside it.
    if (!files.isEmpty()) {
        const QString file = QFileInfo(files.front()).absoluteFilePath();
        QTimer::singleShot(0, &window, [&window, file] { window.openWithFile(file); });
    }
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    if (!standard_streams::guardStandardStreams("orvanto: "))
        return 2;
    // Answered without the window system, which is missing in a terminal over SSH.
    if (asksForHelpOrVersion(argc, argv)) {
        const QCoreApplication app(argc, argv);
        filesFromCommandLine(app);
        return 0;
    }
    if (!checkForDisplay(argc, argv, kNoDisplay))
        return 2;
    QApplication app(argc, argv);
    // Every window handler shows its own errors; this catches what fails before the first one.
    try {
        return run(app);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "orvanto: %s\n", visibleText(failureText(error)).c_str());
    }
    return 2;
}
