#pragma once

#include <string>
#include <variant>

#include "engine/JoinJob.h"

// What both faces of orvanto-join share: the command line, the signals that stop a join, and
// the exit status.
namespace join_program {

constexpr int kExitCompleted = 0;
constexpr int kExitNotDone = 1;
constexpr int kExitError = 2;

// Every message on standard error begins with it.
extern const char* const kPrefix;

struct CommandLine {
    JoinRequest request;
    bool window = false;
};

// The command line, or the exit status after --help, --version or a mistake, which were
// answered on the standard streams.
std::variant<CommandLine, int> readCommandLine(int argc, char* argv[]);

// SIGINT, SIGTERM and SIGHUP ask the join to stop, so that it removes its temporary file;
// SIGPIPE is ignored, so a closed output is reported by the failing write.
void catchStopSignals();
// Once the join has returned there is nothing left to remove, so a signal may end the program
// at once, even while a box waits for its OK.
void restoreDefaultSignals();
bool stopSignalArrived();

// 0 recreated; 1 refused or cancelled; 128 + the signal's number when a signal stopped it.
int exitCodeOf(const JoinOutcome& outcome);

} // namespace join_program
