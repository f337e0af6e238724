// orvanto-split: the window's split, made from a terminal.

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

#include "TerminalWords.h"
#include "engine/SizeCatalogue.h"
#include "engine/SplitHost.h"
#include "engine/SplitJob.h"
#include "engine/SplitRequest.h"
#include "platform/IoError.h"
#include "platform/Paths.h"
#include "settings/Settings.h"

namespace {

constexpr int kExitDone = 0;
constexpr int kExitRefused = 1;
constexpr int kExitError = 2;
constexpr int kExitSignalBase = 128;

const char* const kProgram = "orvanto-split";

const char* const kUsage =
    "Usage: orvanto-split [-o DIR] SOURCE SIZE\n"
    "\n"
    "Cuts SOURCE into the pieces BASE.1, BASE.2, ... and writes the rejoin script BASE.bat\n"
    "beside them, exactly as Orvanto's Create Split Files button does (BASE is SOURCE's name up\n"
    "to its first dot). The pieces go to DIR, else to the output folder of Orvanto's settings,\n"
    "else beside SOURCE. Nothing that already exists is replaced.\n"
    "\n"
    "Options:\n"
    "  -o, --output DIR   put the pieces and the script in DIR\n"
    "  -h, --help         show this text\n"
    "      --version      show the version\n"
    "\n"
    "SIZE is the size of each piece, given as one of:\n"
    "  a number of bytes                       1400000\n"
    "  a whole number and a unit               10M or 10MB (decimal: k, M, G are 1000, 1000000,\n"
    "                                          1000000000 bytes), 10MiB (binary: KiB, MiB, GiB)\n"
    "  the label of a preset size              \"1.4 Megabytes\", \"100k\", \"4.6 Gigabytes\"\n"
    "  an entry of the customize list          \"5120k\", \"6006 Megabytes\"\n"
    "The smallest size is 8192 bytes, and a split gives at least 2 and at most 399 pieces.\n"
    "\n"
    "The report of a finished split goes to standard output, progress to standard error when\n"
    "it is a terminal, every other message to standard error. Ctrl+C, SIGTERM and SIGHUP stop\n"
    "the split and remove what it wrote.\n"
    "\n"
    "Exit status:\n"
    "  0      the split was completed\n"
    "  1      nothing was split: the request was refused, the source could not be opened,\n"
    "         or the command line was wrong\n"
    "  2      an error (a file that could not be written, a bad settings file)\n"
    "  128+N  the split was stopped by signal N (130 for Ctrl+C)\n";

// The signal that asked the split to stop, 0 while none has.
volatile std::sig_atomic_t g_stopSignal = 0;

void onStopSignal(int signalNumber) {
    g_stopSignal = signalNumber;
}

// Ctrl+C, a kill and a closed terminal all stop the split the same way. A reader that went away
// (orvanto-split ... | head -1) must not end the split half way.
void handleSignals() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signalNumber, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

void complain(const std::string& message) {
    std::cerr << kProgram << ": " << message << '\n';
}

// Progress is drawn on a terminal only; a stop signal stops the job at its next block.
class TerminalHost final : public SplitHost {
public:
    TerminalHost() : m_drawProgress(isatty(STDERR_FILENO) == 1) {}
    ~TerminalHost() override {
        if (m_shownLength > 0)
            std::cerr << '\n';
    }
    TerminalHost(const TerminalHost&) = delete;
    TerminalHost& operator=(const TerminalHost&) = delete;

    void setProgressText(const std::string& text) override {
        if (!m_drawProgress)
            return;
        const std::size_t blanks = m_shownLength > text.size() ? m_shownLength - text.size() : 0;
        std::cerr << '\r' << text << std::string(blanks, ' ') << std::flush;
        m_shownLength = text.size();
    }

    void showProgress() override {}

    void processMessages() override {
        if (g_stopSignal != 0)
            requestSplitStop();
    }

private:
    const bool m_drawProgress;
    std::size_t m_shownLength = 0;
};

struct CommandLine {
    std::string source;
    std::string size;
    std::optional<std::string> outputFolder;
};

// The command line, or nothing when it is not one this program takes.
std::optional<CommandLine> parse(const std::vector<std::string>& arguments) {
    CommandLine line;
    std::vector<std::string> operands;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument.front() != '-')
            operands.push_back(argument);
        else if (argument == "--")
            optionsEnded = true;
        else if ((argument == "-o" || argument == "--output") && i + 1 < arguments.size())
            line.outputFolder = arguments[++i];
        else if (argument.rfind("--output=", 0) == 0)
            line.outputFolder = argument.substr(9);
        else
            return std::nullopt;
    }
    if (operands.size() != 2)
        return std::nullopt;
    line.source = operands[0];
    line.size = operands[1];
    return line;
}

// Names are joined to the source's folder, so a relative path is made absolute first.
std::string absolutePath(const std::string& path) {
    if (!path.empty() && path.front() == '/')
        return path;
    std::string folder(4096, '\0');
    if (!getcwd(folder.data(), folder.size()))
        throw IoError("read the current folder", ".", errno);
    folder.resize(folder.find('\0'));
    return paths::joined(folder, path);
}

int split(const CommandLine& line, std::int64_t splitSize) {
    const settings::Settings settings(paths::configurationFolderPath());
    settings.createFolder();
    settings.createSettingsFileIfMissing();
    const std::string sourcePath = absolutePath(line.source);
    const std::string outputFolder =
        line.outputFolder ? absolutePath(*line.outputFolder) : settings.readOutputFolder();
    SplitOutcome outcome;
    {
        TerminalHost host;
        outcome = startSplit(sourcePath, sourceSizeOf(sourcePath), splitSize, outputFolder, host);
    }
    switch (outcome.kind) {
    case SplitOutcome::Kind::Completed:
        std::cout << completionReport(outcome.completion) << std::endl;
        settings.addToSplitCounter(1);
        return kExitDone;
    case SplitOutcome::Kind::Refused:
        complain(refusalSentence(outcome.refusal));
        return kExitRefused;
    case SplitOutcome::Kind::SourceUnreadable:
        complain(outcome.sourceProblem);
        return kExitRefused;
    case SplitOutcome::Kind::Stopped:
        complain("stopped; the pieces written so far have been removed");
        return kExitSignalBase + g_stopSignal;
    }
    return kExitError;
}

} // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
        std::cout << kUsage;
        return kExitDone;
    }
    if (arguments.size() == 1 && arguments[0] == "--version") {
        std::cout << kProgram << ' ' << ORVANTO_VERSION << '\n';
        return kExitDone;
    }
    const std::optional<CommandLine> line = parse(arguments);
    if (!line) {
        std::cerr << kUsage;
        return kExitRefused;
    }
    const std::optional<std::int64_t> splitSize = size_catalogue::sizeFromText(line->size);
    if (!splitSize) {
        complain("\"" + line->size + "\" is not a size; see orvanto-split --help");
        return kExitRefused;
    }
    handleSignals();
    try {
        return split(*line, *splitSize);
    } catch (const std::exception& error) {
        complain(error.what());
    }
    return kExitError;
}
