#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QTimer>

#include "platform/PageFolders.h"
#include "platform/Paths.h"
#include "settings/Settings.h"
#include "ui/MainWindow.h"
#include "ui/NativeText.h"
#include "ui/TerminationSignals.h"

namespace {

// --help names the help page the Help button opens, so an installation can be checked.
QString helpPageLine() {
    const std::vector<std::string> folders = paths::pageFolders(paths::programFolder());
    if (const std::optional<std::string> page = paths::findPage("help.htm", folders))
        return QStringLiteral("Help page: ") + fromNative(*page);
    return QStringLiteral("Help page: not found in %1 or %2")
        .arg(fromNative(folders.at(0)), fromNative(folders.at(1)));
}

int run(QApplication& app) {
    QApplication::setApplicationName(QStringLiteral("Orvanto"));
    QApplication::setApplicationVersion(QStringLiteral(ORVANTO_VERSION));
    // Ties the window to the installed desktop entry, whose icon the desktop then shows.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.orvanto.Orvanto"));
    // Qt has taken its own options; what is left is for this program.
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
    const QStringList files = parser.positionalArguments();
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
    QApplication app(argc, argv);
    // Every window handler shows its own errors; this catches what fails before the first one.
    try {
        return run(app);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "orvanto: %s\n", error.what());
    }
    return 2;
}
