// orvanto-join: recreates a file from its pieces by reading the rejoin script the split wrote.
// It links no Qt, so that it starts as fast as cat; --window hands over to orvanto-join-window.

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <exception>
#include <iostream>
#include <string>

#include <unistd.h>

#include "app/orvanto-join/JoinCommandLine.h"
#include "app/terminal/ExitStatus.h"
#include "app/terminal/ProgressLine.h"
#include "app/terminal/StandardStreams.h"
#include "app/terminal/StopSignals.h"
#include "engine/Progress.h"
#include "platform/IoError.h"
#include "platform/Paths.h"
#include "platform/VisibleText.h"
#include "wording/JoinMessages.h"

using namespace join_program;

namespace {

// Percentages on standard error when it is a terminal, a few times a second at most.
class TerminalProgress final : public JoinProgress {
public:
    void startCopying(const std::string&) override {}

    void showProgress(std::int64_t copied, std::int64_t total) override {
        const auto now = std::chrono::steady_clock::now();
        if (!m_line.isDrawn() || (m_shown && copied < total && now - m_lastShown < kInterval))
            return;
        const int percent = total > 0 ? progressPercent(copied, total) : 100;
        m_line.show(progressText(percent));
        m_shown = true;
        m_lastShown = now;
    }

    bool stopRequested() override { return stop_signals::stopSignal() != 0; }

private:
    static constexpr std::chrono::milliseconds kInterval{250};
    ProgressLine m_line;
    bool m_shown = false;
    std::chrono::steady_clock::time_point m_lastShown;
};

int joinOnTerminal(const JoinRequest& request) {
    JoinOutcome outcome = JoinStopped{};
    {
        TerminalProgress progress;
        outcome = joinPieces(request, progress);
    }
    if (const auto* completion = std::get_if<JoinCompletion>(&outcome))
        standard_streams::writeReport(joinCompletionText(*completion));
    if (std::holds_alternative<JoinStopped>(outcome))
        std::cerr << kPrefix << "stopped; the file was not recreated\n";
    if (const auto* refusal = std::get_if<JoinRefusal>(&outcome)) {
        std::cerr << kPrefix << joinRefusalText(*refusal, request.scriptPath);
        if (refusal->kind == JoinRefusal::Kind::TargetExists)
            std::cerr << " --force replaces it.";
        std::cerr << "\n";
    }
    return exitCodeOf(outcome);
}

// The window program beside this one takes the same command line.
int startWindowProgram(char* argv[]) {
    const std::string windowProgram = paths::joined(paths::programFolder(), "orvanto-join-window");
    ::execv(windowProgram.c_str(), argv);
    std::cerr << kPrefix << IoError("start", windowProgram, errno).what() << '\n';
    return exit_status::kError;
}

} // namespace

int main(int argc, char* argv[]) {
    try {
        standard_streams::fillClosedStreams();
    } catch (const std::exception& error) {
        std::cerr << kPrefix << error.what() << '\n';
        return exit_status::kError;
    }
    const auto commandLine = readCommandLine(argc, argv);
    if (const int* exitCode = std::get_if<int>(&commandLine))
        return *exitCode;
    const CommandLine& line = std::get<CommandLine>(commandLine);
    try {
        if (line.window)
            return startWindowProgram(argv);
        stop_signals::catchStopSignals();
        return joinOnTerminal(line.request);
    } catch (const std::exception& error) {
        std::cerr << kPrefix << visibleText(error.what()) << '\n';
    }
    return exit_status::kError;
}
