// orvanto-join: recreates a file from its pieces by reading the rejoin script the split wrote.

#include <chrono>
#include <csignal>
#include <cstdint>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include <unistd.h>

#include <QApplication>

#include "engine/JoinJob.h"
#include "engine/Progress.h"
#include "platform/FileSystem.h"
#include "platform/IoError.h"
#include "ui/JoinDialog.h"
#include "ui/JoinMessages.h"

namespace {

constexpr int kExitCompleted = 0;
constexpr int kExitNotDone = 1;
constexpr int kExitError = 2;
constexpr int kExitSignalBase = 128;

const char* const kProgram = "orvanto-join: ";
const char* const kVersion = "orvanto-join (Orvanto) " ORVANTO_VERSION "\n";

const char* const kUsage =
    "Usage: orvanto-join [OPTION]... SCRIPT\n"
    "\n"
    "Recreates the file that the rejoin script SCRIPT (NAME.bat, written by Orvanto beside the\n"
    "pieces NAME.1, NAME.2, ...) names, from those pieces in order, in the script's folder.\n"
    "The script is read, never run: anything but the form Orvanto writes is refused, and so is\n"
    "a missing or short piece. The file is written under a temporary name and takes its own\n"
    "name only when it is complete.\n"
    "\n"
    "  -o, --output DIR  recreate the file in the folder DIR\n"
    "      --force       replace a file that already has the name\n"
    "      --window      show a window with the progress and a Cancel button, then a box\n"
    "      --help        show this help and exit\n"
    "      --version     show the version and exit\n"
    "\n"
    "Progress is shown on standard error when it is a terminal. Ctrl+C stops the join and\n"
    "removes the temporary file.\n"
    "\n"
    "Exit status:\n"
    "  0      the file was recreated\n"
    "  1      nothing was joined: the script or a piece was refused, the file exists, the\n"
    "         window's Cancel was pressed, or the command line was wrong\n"
    "  2      an error (a file that could not be read or written)\n"
    "  128+N  stopped by signal N\n";

volatile std::sig_atomic_t g_signal = 0;

void onStopSignal(int number) {
    g_signal = number;
}

void installSignalHandlers() {
    for (const int number : {SIGINT, SIGTERM, SIGHUP})
        std::signal(number, onStopSignal);
    // A closed output is reported by the failing write, not by dying silently.
    std::signal(SIGPIPE, SIG_IGN);
}

struct CommandLine {
    JoinRequest request;
    bool window = false;
};

// The command line, or nullopt after a mistake that was already reported.
std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    std::vector<std::string> scripts;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument == "-" || argument.front() != '-')
            scripts.push_back(argument);
        else if (argument == "--")
            optionsEnded = true;
        else if (argument == "--force")
            line.request.replaceExisting = true;
        else if (argument == "--window")
            line.window = true;
        else if (argument.rfind("--output=", 0) == 0)
            line.request.targetFolder = argument.substr(9);
        else if ((argument == "-o" || argument == "--output") && i + 1 < arguments.size())
            line.request.targetFolder = arguments[++i];
        else {
            std::cerr << kProgram << "unknown option or missing folder: " << argument << "\n";
            return std::nullopt;
        }
    }
    if (scripts.size() != 1) {
        std::cerr << kProgram << "expected one SCRIPT, got " << scripts.size() << "\n";
        return std::nullopt;
    }
    line.request.scriptPath = scripts.front();
    if (!line.request.targetFolder.empty() &&
        !fs_entry::isExistingFolder(line.request.targetFolder)) {
        std::cerr << kProgram << line.request.targetFolder << " is not a folder\n";
        return std::nullopt;
    }
    return line;
}

// Percentages on standard error when it is a terminal, a few times a second at most.
class TerminalProgress final : public JoinProgress {
public:
    TerminalProgress() : m_draw(isatty(STDERR_FILENO) == 1) {}
    ~TerminalProgress() override {
        if (m_shown)
            std::cerr << '\n';
    }

    void startCopying(const std::string&) override {}

    void showProgress(std::int64_t copied, std::int64_t total) override {
        const auto now = std::chrono::steady_clock::now();
        if (!m_draw || (m_shown && copied < total && now - m_lastShown < kInterval))
            return;
        const int percent = total > 0 ? progressPercent(copied, total) : 100;
        std::cerr << '\r' << progressText(percent) << std::flush;
        m_shown = true;
        m_lastShown = now;
    }

    bool stopRequested() override { return g_signal != 0; }

private:
    static constexpr std::chrono::milliseconds kInterval{250};
    const bool m_draw;
    bool m_shown = false;
    std::chrono::steady_clock::time_point m_lastShown;
};

// Once the join has returned there is nothing left to remove, so a signal ends the program at
// once, even while a box waits for its OK.
void restoreDefaultSignals() {
    for (const int number : {SIGINT, SIGTERM, SIGHUP})
        std::signal(number, SIG_DFL);
}

int exitCodeOf(const JoinOutcome& outcome) {
    if (std::holds_alternative<JoinCompletion>(outcome))
        return kExitCompleted;
    if (std::holds_alternative<JoinStopped>(outcome) && g_signal != 0)
        return kExitSignalBase + g_signal;
    return kExitNotDone;
}

int joinOnTerminal(const JoinRequest& request) {
    JoinOutcome outcome = JoinStopped{};
    {
        TerminalProgress progress;
        outcome = joinPieces(request, progress);
    }
    if (const auto* completion = std::get_if<JoinCompletion>(&outcome))
        std::cout << joinCompletionText(*completion) << std::endl;
    if (const auto* refusal = std::get_if<JoinRefusal>(&outcome)) {
        std::cerr << kProgram << joinRefusalText(*refusal, request.scriptPath);
        if (refusal->kind == JoinRefusal::Kind::TargetExists)
            std::cerr << " --force replaces it.";
        std::cerr << "\n";
    }
    return exitCodeOf(outcome);
}

int joinInWindow(const JoinRequest& request, int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvanto"));
    JoinDialog dialog(request, [] { return g_signal != 0; });
    JoinOutcome outcome = JoinStopped{};
    try {
        outcome = dialog.join();
    } catch (const IoError& failure) {
        restoreDefaultSignals();
        dialog.showFailure(failure);
        return kExitError;
    }
    restoreDefaultSignals();
    if (g_signal == 0)
        dialog.showResult(outcome);
    return exitCodeOf(outcome);
}

} // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
        std::cout << kUsage;
        return kExitCompleted;
    }
    if (arguments.size() == 1 && arguments[0] == "--version") {
        std::cout << kVersion;
        return kExitCompleted;
    }
    const std::optional<CommandLine> line = parseCommandLine(arguments);
    if (!line) {
        std::cerr << "Try 'orvanto-join --help' for more information.\n";
        return kExitNotDone;
    }
    installSignalHandlers();
    try {
        return line->window ? joinInWindow(line->request, argc, argv)
                            : joinOnTerminal(line->request);
    } catch (const std::exception& error) {
        std::cerr << kProgram << error.what() << '\n';
    }
    return kExitError;
}
