// orvanto-join-window: orvanto-join --window, for people who do not use a terminal. A small
// window shows the join's progress and Cancel, then a box with the result.

#include <exception>
#include <variant>

#include <QApplication>

#include "app/orvanto-join/JoinCommandLine.h"
#include "app/terminal/ExitStatus.h"
#include "app/terminal/StandardStreams.h"
#include "app/terminal/StopSignals.h"
#include "ui/DisplayCheck.h"
#include "ui/JoinDialog.h"

using namespace join_program;

int main(int argc, char* argv[]) {
    if (!standard_streams::guardStandardStreams(kPrefix))
        return exit_status::kError;
    const auto commandLine = readCommandLine(argc, argv);
    if (const int* exitCode = std::get_if<int>(&commandLine))
        return *exitCode;
    if (!checkForDisplay(argc, argv,
                         "orvanto-join: there is no display to show the window on. To rejoin in "
                         "this terminal, run orvanto-join without --window.\n"))
        return exit_status::kError;
    stop_signals::catchStopSignals();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvanto"));
    JoinDialog dialog(std::get<CommandLine>(commandLine).request,
                      [] { return stop_signals::stopSignal() != 0; });
    QObject::connect(&dialog, &JoinDialog::joinEnded, &application, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    dialog.start();
    QApplication::exec();
    JoinOutcome outcome = JoinStopped{};
    try {
        outcome = dialog.outcome();
    } catch (const std::exception& failure) {
        stop_signals::restoreDefaultSignals();
        dialog.showFailure(failure);
        return exit_status::kError;
    }
    stop_signals::restoreDefaultSignals();
    if (stop_signals::stopSignal() == 0)
        dialog.showResult(outcome);
    return exitCodeOf(outcome);
}
