#include "JoinCommandLine.h"

#include <csignal>
#include <iostream>
#include <optional>
#include <vector>

#include "platform/FileSystem.h"

namespace join_program {

const char* const kPrefix = "orvanto-join: ";

namespace {

constexpr int kExitSignalBase = 128;
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

// The command line, or nullopt after a mistake that was already reported.
std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    std::vector<std::string> scripts;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument.front() != '-')
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
            std::cerr << kPrefix << "unknown option or missing folder: " << argument << "\n";
            return std::nullopt;
        }
    }
    if (scripts.size() != 1) {
        std::cerr << kPrefix << "expected one SCRIPT, got " << scripts.size() << "\n";
        return std::nullopt;
    }
    line.request.scriptPath = scripts.front();
    if (!line.request.targetFolder.empty() &&
        !fs_entry::isExistingFolder(line.request.targetFolder)) {
        std::cerr << kPrefix << line.request.targetFolder << " is not a folder\n";
        return std::nullopt;
    }
    return line;
}

} // namespace

std::variant<CommandLine, int> readCommandLine(int argc, char* argv[]) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
        std::cout << kUsage;
        return kExitCompleted;
    }
    if (arguments.size() == 1 && arguments[0] == "--version") {
        std::cout << kVersion;
        return kExitCompleted;
    }
    std::optional<CommandLine> line = parseCommandLine(arguments);
    if (!line) {
        std::cerr << "Try 'orvanto-join --help' for more information.\n";
        return kExitNotDone;
    }
    return *line;
}

void catchStopSignals() {
    for (const int number : {SIGINT, SIGTERM, SIGHUP})
        std::signal(number, onStopSignal);
    std::signal(SIGPIPE, SIG_IGN);
}

void restoreDefaultSignals() {
    for (const int number : {SIGINT, SIGTERM, SIGHUP})
        std::signal(number, SIG_DFL);
}

bool stopSignalArrived() {
    return g_signal != 0;
}

int exitCodeOf(const JoinOutcome& outcome) {
    if (std::holds_alternative<JoinCompletion>(outcome))
        return kExitCompleted;
    if (std::holds_alternative<JoinStopped>(outcome) && g_signal != 0)
        return kExitSignalBase + g_signal;
    return kExitNotDone;
}

} // namespace join_program
