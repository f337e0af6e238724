// orvanto-join-window: orvanto-join --window, for people who do not use a terminal. A small
// window shows the join's progress and Cancel, then a box with the result.

#include <exception>
#include <string>
#include <variant>

#include <QApplication>

#include "app/orvanto-join/JoinCommandLine.h"
#include "app/terminal/ExitStatus.h"
#include "app/terminal/StandardStreams.h"
#include "platform/Paths.h"
#include "platform/ShellArgument.h"
#include "platform/VisibleText.h"
#include "ui/DisplayCheck.h"
#include "ui/JoinDialog.h"
#include "ui/TerminationSignals.h"
#include "ui/WindowText.h"
#include "wording/StopMessages.h"
#include "wording/Translation.h"

using namespace join_program;

int main(int argc, char* argv[]) {
    if (!standard_streams::guardStandardStreams(kPrefix))
        return exit_status::kError;
    startTranslation(catalogueFolder(paths::programFolder()));
    const auto commandLine = readCommandLine(argc, argv);
    if (const int* exitCode = std::get_if<int>(&commandLine))
        return *exitCode;
    const JoinRequest& request = std::get<CommandLine>(commandLine).request;
    // The user may have typed orvanto-join-window or orvanto-join --window: name what works.
    const std::string noDisplay = fillIn(
        translate("orvanto-join: there is no display to show the window on. To rejoin in this "
                  "terminal, run orvanto-join %1.\n"),
        {visibleText(shellFileArgument(request.scriptPath))});
    if (!checkForDisplay(argc, argv, noDisplay.c_str()))
        return exit_status::kError;
    QApplication application(argc, argv);
    loadQtCatalogue(application);
    QApplication::setApplicationName(QStringLiteral("Orvanto"));
    JoinDialog dialog(request);
    JoinOutcome outcome = JoinStopped{};
    {
        const TerminationSignals stopSignals([&dialog] { dialog.interrupt(); });
        StopSignals::setLeftoverNote(joinLeftoverNote(kPrefix, joinTargetFolder(request)));
        QObject::connect(&dialog, &JoinDialog::joinEnded, &application, &QCoreApplication::quit,
                         Qt::QueuedConnection);
        dialog.start();
        QApplication::exec();
        try {
            outcome = dialog.outcome();
        } catch (const std::exception& failure) {
            if (StopSignals::stopSignal() == 0)
                dialog.showFailure(failure);
            return exit_status::kError;
        }
    }
    if (StopSignals::stopSignal() == 0)
        dialog.showResult(outcome);
    return exitCodeOf(outcome);
}
