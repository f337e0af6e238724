// orvanto-join: recreates a file from its pieces by reading the rejoin script the split wrote.
// It links no Qt, so that it starts as fast as cat; --window hands over to orvanto-join-window.

#include <cerrno>
#include <exception>
#include <iostream>
#include <string>

#include <unistd.h>

#include "app/orvanto-join/JoinCommandLine.h"
#include "app/terminal/ExitStatus.h"
#include "app/terminal/JobWatch.h"
#include "app/terminal/ProgressLine.h"
#include "app/terminal/StandardStreams.h"
#include "engine/Job.h"
#include "engine/JoinJob.h"
#include "engine/Progress.h"
#include "platform/IoError.h"
#include "platform/Paths.h"
#include "platform/StopSignals.h"
#include "platform/VisibleText.h"
#include "wording/FailureMessages.h"
#include "wording/JoinMessages.h"
#include "wording/ProgressMessages.h"
#include "wording/StopMessages.h"
#include "wording/Translation.h"

using namespace join_program;

namespace {

JoinOutcome runJoin(const JoinRequest& request) {
    const StopSignals signals(std::string(kPrefix) + translate("stopping...") + "\n");
    StopSignals::setLeftoverNote(joinLeftoverNote(kPrefix, joinTargetFolder(request)));
    // Percentages on standard error when it is a terminal.
    ProgressLine line;
    return runWatched(std::make_unique<JoinJob>(request), signals,
                      [&](const JobProgress& progress) {
                          if (progress.pieceCount > 0)
                              line.show(progressText(percentOnMedium(progress)));
                      });
}

int joinOnTerminal(const JoinRequest& request) {
    const JoinOutcome outcome = runJoin(request);
    if (const auto* completion = std::get_if<JoinCompletion>(&outcome))
        standard_streams::writeReport(joinCompletionText(*completion));
    if (std::holds_alternative<JoinStopped>(outcome))
        std::cerr << kPrefix << translate("stopped; the file was not recreated") << "\n";
    if (const auto* refusal = std::get_if<JoinRefusal>(&outcome)) {
        const std::string text = joinRefusalText(*refusal, request.scriptPath);
        std::cerr << kPrefix
                  << (std::holds_alternative<join_refusal::TargetExists>(*refusal)
                          ? fillIn(translate("%1 --force replaces it."), {text})
                          : text)
                  << "\n";
    }
    return exitCodeOf(outcome);
}

// The window program beside this one takes the same command line.
int startWindowProgram(char* argv[]) {
    const std::string windowProgram = paths::joined(paths::programFolder(), "orvanto-join-window");
    ::execv(windowProgram.c_str(), argv);
    std::cerr << kPrefix
              << visibleText(failureText(IoError(IoError::Operation::Start, windowProgram, errno)))
              << '\n';
    return exit_status::kError;
}

} // namespace

int main(int argc, char* argv[]) {
    if (!standard_streams::guardStandardStreams(kPrefix))
        return exit_status::kError;
    startTranslation(catalogueFolder(paths::programFolder()));
    const auto commandLine = readCommandLine(argc, argv);
    if (const int* exitCode = std::get_if<int>(&commandLine))
        return *exitCode;
    const CommandLine& line = std::get<CommandLine>(commandLine);
    try {
        if (line.window)
            return startWindowProgram(argv);
        return joinOnTerminal(line.request);
    } catch (const std::exception& error) {
        std::cerr << kPrefix << visibleText(failureText(error)) << '\n';
    }
    return exit_status::kError;
}
