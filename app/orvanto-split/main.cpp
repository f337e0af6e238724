// orvanto-split: the split request of the window program, made from the command line.

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <iostream>
#include <optional>
#include <string>

#include <unistd.h>

#include "engine/SizeCatalogue.h"
#include "engine/SplitHost.h"
#include "engine/SplitJob.h"
#include "platform/IoError.h"
#include "settings/Settings.h"

namespace {

constexpr int kExitCompleted = 0;
constexpr int kExitNotDone = 1;
constexpr int kExitError = 2;

const char* const kUsage =
    "Usage: orvanto-split SOURCE SIZE\n"
    "\n"
    "Cuts SOURCE into the pieces SOURCEBASE.1, SOURCEBASE.2, ... and writes the rejoin script\n"
    "SOURCEBASE.bat beside them, exactly as Orvanto's Create Split Files button does. The\n"
    "pieces go to the output folder of Orvanto's settings, or beside SOURCE when none is set.\n"
    "\n"
    "SIZE is the size of each piece, given as one of:\n"
    "  a number of bytes, digits only           1400000\n"
    "  the label of a preset size               \"1.4 Megabytes\", \"100k\", \"4.6 Gigabytes\"\n"
    "  an entry of the customize list           \"5120k\" (300k to 6000k in steps of 20k),\n"
    "                                           \"6006 Megabytes\" (10 to 6006 in steps of 4)\n"
    "All sizes are decimal: k is 1000 bytes, a megabyte 1,000,000 bytes. The smallest size is\n"
    "8192 bytes, and a split gives at least 2 and at most 399 pieces.\n"
    "\n"
    "Every message the window would show is printed on standard output; the progress goes to\n"
    "standard error when it is a terminal. Ctrl+C, SIGTERM and SIGHUP stop the split and remove\n"
    "what it wrote.\n"
    "\n"
    "Exit status:\n"
    "  0  the split was completed\n"
    "  1  nothing was split: the request was refused, the source could not be opened,\n"
    "     or the command line was wrong\n"
    "  2  an error (a file that could not be written, a bad settings file)\n"
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

// Message boxes become lines on standard output; progress is drawn on a terminal only.
class ConsoleHost final : public SplitHost {
public:
    ConsoleHost() : m_drawProgress(isatty(STDERR_FILENO) == 1) {}

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

    void information(const std::string& text) override { say(text); }
    void plainMessage(const std::string& text) override { say(text); }

private:
    void say(const std::string& text) {
        endProgressLine();
        std::cout << text << std::endl;
    }

    void endProgressLine() {
        if (m_shownLength == 0)
            return;
        std::cerr << '\n';
        m_shownLength = 0;
    }

    const bool m_drawProgress;
    std::size_t m_shownLength = 0;
};

// Names are joined to the source's folder, so a relative path is made absolute first.
std::string absolutePath(const std::string& path) {
    if (!path.empty() && path.front() == '/')
        return path;
    std::string folder(4096, '\0');
    if (!getcwd(folder.data(), folder.size()))
        throw IoError("read the current folder", ".", errno);
    folder.resize(folder.find('\0'));
    return folder + (folder.back() == '/' ? "" : "/") + path;
}

int split(const std::string& source, std::int64_t splitSize) {
    settings::initLayoutPath();
    settings::initSettingsPath();
    settings::createSettingsFileIfMissing();
    const std::string sourcePath = absolutePath(source);
    ConsoleHost host;
    const SplitOutcome outcome = StartSplit(sourcePath, GetSourceSize(sourcePath), splitSize, host);
    if (outcome == SplitOutcome::Stopped && g_stopSignal != 0)
        return 128 + g_stopSignal;
    return outcome == SplitOutcome::Completed ? kExitCompleted : kExitNotDone;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
        std::cout << kUsage;
        return kExitCompleted;
    }
    if (argc != 3) {
        std::cerr << kUsage;
        return kExitNotDone;
    }
    const std::optional<std::int64_t> splitSize = size_catalogue::sizeFromText(argv[2]);
    if (!splitSize) {
        std::cerr << "orvanto-split: \"" << argv[2] << "\" is not a size.\n\n" << kUsage;
        return kExitNotDone;
    }
    handleSignals();
    try {
        return split(argv[1], *splitSize);
    } catch (const std::exception& error) {
        // The window shows these in its error box; here they are messages like the others.
        std::cout << error.what() << '\n';
    }
    return kExitError;
}
