// orvanto-split: the window's split, made from a terminal.

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include <unistd.h>

#include "app/orvanto-split/TerminalWords.h"
#include "app/terminal/CommandLineOptions.h"
#include "app/terminal/ExitStatus.h"
#include "app/terminal/HelpAndVersion.h"
#include "app/terminal/JobWatch.h"
#include "app/terminal/LockWaitNotice.h"
#include "app/terminal/ProgressLine.h"
#include "app/terminal/StandardStreams.h"
#include "engine/SizeCatalogue.h"
#include "engine/SplitJob.h"
#include "engine/SplitRequest.h"
#include "platform/FileSystem.h"
#include "platform/IoError.h"
#include "platform/Paths.h"
#include "platform/StopSignals.h"
#include "platform/VisibleText.h"
#include "settings/Settings.h"
#include "wording/FailureMessages.h"
#include "wording/ProgressMessages.h"
#include "wording/Translation.h"

namespace {

const char* const kProgram = "orvanto-split";

std::string usage() {
    // clang-format off
    return fillIn(translate(
        "Usage: orvanto-split [-o DIR] [--no-checksum] SOURCE SIZE\n"
        "\n"
        "Cuts SOURCE into the pieces BASE.1, BASE.2, ... and writes the rejoin script BASE.bat\n"
        "beside them, exactly as Orvanto's Create Split Files button does (BASE is SOURCE's name up\n"
        "to its first dot), and the checksum file BASE.sha256, which sha256sum -c reads: the\n"
        "SHA-256 of every piece and of the whole file, which every join checks. The pieces go to\n"
        "DIR, else to the output folder of Orvanto's settings, else beside SOURCE. Nothing that\n"
        "already exists is replaced.\n"
        "\n"
        "Options:\n"
        "  -o, --output DIR   put the pieces and the script in DIR (an empty DIR is refused)\n"
        "      --no-checksum  write no BASE.sha256\n"
        "  -h, --help         show this text\n"
        "  -v, --version      show the version\n"
        "\n"
        "SIZE is the size of each piece, given as one of:\n"
        "  a number of bytes                       1400000\n"
        "  a number and a unit, in any letter case 10M, 10mb or 1.4 MB (decimal: k, M, G are 1000,\n"
        "                                          1000000, 1000000000 bytes), 10MiB (binary: KiB,\n"
        "                                          MiB, GiB)\n"
        "  a size as the window shows it           \"1.4 Megabytes\", \"4600 Meg Files\", \"5120k\",\n"
        "                                          \"4.6 Gigabytes\"\n"
        "The smallest size is %1 bytes, and a split gives at least 2 and at most %2 pieces\n"
        "holding data (an empty one follows when the data ends on a piece's last byte).\n"
        "\n"
        "The report of a finished split goes to standard output, progress to standard error when\n"
        "it is a terminal, every other message to standard error. Ctrl+C, SIGTERM and SIGHUP stop\n"
        "the split and remove what it wrote.\n"
        "\n"
        "Exit status:\n"
        "  0      the split was completed\n"
        "  1      nothing was split: the request was refused, the source could not be opened,\n"
        "         or the command line was wrong\n"
        "  2      an error (a file that could not be written, a bad settings file, a report\n"
        "         that could not be written to standard output after the files were, or this\n"
        "         help or the version that could not be)\n"
        "  128+N  the split was stopped by signal N (130 for Ctrl+C)\n"),
        {std::to_string(kBlockSize), std::to_string(kMostPieces)});
    // clang-format on
}

// Names in messages come from the command line, the settings and the folder: shown escaped.
void complain(const std::string& message) {
    std::cerr << kProgram << ": " << visibleText(message) << '\n';
}

// The request checked, its job run beside this thread, which draws the progress on a terminal
// and passes a stop signal on.
SplitOutcome runSplit(const SplitRequest& request, StopSignals& signals) {
    ProgressLine line;
    return runWatched(std::make_unique<SplitJob>(request), signals, std::string(kProgram) + ": ",
                      [&](const JobProgress& progress) { line.show(splitProgressText(progress)); });
}

// Names are joined to the source's folder, so a relative path is made absolute first; either is
// shown as a user would write it ("-o ." is the current folder, not "/x/./").
std::string absolutePath(const std::string& path) {
    if (!path.empty() && path.front() == '/')
        return paths::normalised(path);
    std::string folder(4096, '\0');
    if (!getcwd(folder.data(), folder.size()))
        throw IoError(IoError::Operation::ReadCurrentFolder, ".", errno);
    folder.resize(folder.find('\0'));
    return paths::normalised(paths::joined(folder, path));
}

// The pieces stand whether or not standard output takes their report.
bool report(const std::string& text) {
    try {
        standard_streams::writeReport(text);
        return true;
    } catch (const IoError& error) {
        complain(failureText(error));
    }
    return false;
}

// A complete set is counted; a counter that cannot be read, a lock that another program holds
// for long, or a stop signal meanwhile, leaves it uncounted instead of failing the split.
void countSplit(const settings::Settings& settings) {
    if (const std::optional<settings::UncountedSplit> uncounted = settings.countCompletedSplit())
        complain(uncountedSplitText(*uncounted));
}

int split(const std::string& source, std::int64_t splitSize,
          const std::optional<std::string>& chosenOutputFolder, bool writeChecksum,
          std::optional<StopSignals>& signals) {
    const settings::Settings settings(paths::configurationFolderPath());
    settings.createFolder();
    settings.createSettingsFileIfMissing();
    const std::string sourcePath = absolutePath(source);
    const std::string outputFolder =
        chosenOutputFolder ? absolutePath(*chosenOutputFolder) : settings.readOutputFolder();
    const SplitOutcome outcome = runSplit(
        {sourcePath, fs_entry::targetSize(sourcePath), splitSize, outputFolder, writeChecksum},
        *signals);
    if (const auto* completion = std::get_if<SplitCompletion>(&outcome)) {
        const bool reported = report(completionReport(*completion, writeChecksum));
        countSplit(settings);
        return reported ? exit_status::kDone : exit_status::kError;
    }
    // Nothing is left to clean up: a signal may end the program now.
    signals.reset();
    if (const auto* stopped = std::get_if<SplitStopped>(&outcome)) {
        complain(stopped->removalFailure
                     ? fillIn(translate("stopped; the pieces written so far could not all be "
                                        "removed: %1"),
                              {failureText(*stopped->removalFailure)})
                     : translate("stopped; the pieces written so far have been removed"));
        return exit_status::kSignalBase + StopSignals::stopSignal();
    }
    if (const auto* refusal = std::get_if<SplitRefusal>(&outcome))
        complain(refusalSentence(*refusal));
    if (const auto* unreadable = std::get_if<SourceUnreadable>(&outcome))
        complain(failureText(unreadable->problem));
    return exit_status::kNotDone;
}

} // namespace

int main(int argc, char* argv[]) {
    if (!standard_streams::guardStandardStreams("orvanto-split: "))
        return exit_status::kError;
    startTranslation(catalogueFolder(paths::programFolder()));
    sayLongLockWaits(std::string(kProgram) + ": ");
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (const std::optional<int> answered = answerHelpOrVersion(arguments, usage(), kProgram))
        return *answered;
    std::string unknownOption;
    const std::optional<CommandLineOptions> options =
        parseOptions(arguments, {"--no-checksum"}, unknownOption);
    if (!options) {
        complain(fillIn(translate("unknown option or missing folder: %1; see orvanto-split --help"),
                        {unknownOption}));
        return exit_status::kNotDone;
    }
    if (options->operands.size() != 2) {
        std::cerr << usage();
        return exit_status::kNotDone;
    }
    const std::string& sizeText = options->operands[1];
    const std::optional<std::int64_t> splitSize = size_catalogue::sizeFromText(sizeText);
    if (!splitSize) {
        complain(fillIn(translate("\"%1\" is not a size; see orvanto-split --help"), {sizeText}));
        return exit_status::kNotDone;
    }
    // As the join does: a folder that is not one is refused before anything else is tried.
    if (options->outputFolder) {
        if (const int folderError = paths::folderError(*options->outputFolder)) {
            complain(fillIn(translate("%1 is not a folder: %2"),
                            {*options->outputFolder, std::strerror(folderError)}));
            return exit_status::kNotDone;
        }
    }
    try {
        std::optional<StopSignals> signals(std::in_place, std::string(kProgram) + ": " +
                                                              translate("stopping...") + "\n");
        return split(options->operands[0], *splitSize, options->outputFolder,
                     options->flags.count("--no-checksum") == 0, signals);
    } catch (const std::exception& error) {
        // A stop signal ends a wait, such as for the settings lock, with a failure: it is a stop.
        if (StopSignals::stopSignal() != 0) {
            complain(translate("stopped"));
            return exit_status::kSignalBase + StopSignals::stopSignal();
        }
        complain(failureSentence(error));
    }
    return exit_status::kError;
}
