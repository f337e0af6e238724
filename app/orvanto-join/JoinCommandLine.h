#pragma once

#include <string>
#include <variant>

#include "engine/JoinJob.h"

// What both faces of orvanto-join share: the command line and the exit status.
namespace join_program {

// Every message on standard error begins with it.
extern const char* const kPrefix;

struct CommandLine {
    JoinRequest request;
    bool window = false;
};

// The command line, or the exit status after --help, --version or a mistake, which were
// answered on the standard streams.
std::variant<CommandLine, int> readCommandLine(int argc, char* argv[]);

// 0 recreated; 1 refused or cancelled; 128 + the signal's number when a signal stopped it.
int exitCodeOf(const JoinOutcome& outcome);

} // namespace join_program
