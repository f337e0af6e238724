// orvanto-join-window: orvanto-join --window, for people who do not use a terminal. A small
// window shows the join's progress and Cancel, then a box with the result.

#include <variant>

#include <QApplication>

#include "JoinCommandLine.h"
#include "platform/IoError.h"
#include "ui/JoinDialog.h"

using namespace join_program;

int main(int argc, char* argv[]) {
    const auto commandLine = readCommandLine(argc, argv);
    if (const int* exitCode = std::get_if<int>(&commandLine))
        return *exitCode;
    catchStopSignals();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvanto"));
    JoinDialog dialog(std::get<CommandLine>(commandLine).request, stopSignalArrived);
    JoinOutcome outcome = JoinStopped{};
    try {
        outcome = dialog.join();
    } catch (const IoError& failure) {
        restoreDefaultSignals();
        dialog.showFailure(failure);
        return kExitError;
    }
    restoreDefaultSignals();
    if (!stopSignalArrived())
        dialog.showResult(outcome);
    return exitCodeOf(outcome);
}
