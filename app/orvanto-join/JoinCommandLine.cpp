#include "app/orvanto-join/JoinCommandLine.h"

#include <cstring>
#include <iostream>
#include <optional>
#include <vector>

#include "app/terminal/CommandLineOptions.h"
#include "app/terminal/ExitStatus.h"
#include "app/terminal/HelpAndVersion.h"
#include "platform/Paths.h"
#include "platform/StopSignals.h"
#include "platform/VisibleText.h"
#include "wording/Translation.h"

namespace join_program {

const char* const kPrefix = "orvanto-join: ";

namespace {

std::string usage() {
    // clang-format off
    return translate(
        "Usage: orvanto-join [OPTION]... SCRIPT\n"
        "\n"
        "Recreates the file that the rejoin script SCRIPT (NAME.bat, written by Orvanto beside the\n"
        "pieces NAME.1, NAME.2, ...) names, from those pieces in order, in the script's folder.\n"
        "The script is read, never run: anything but the form Orvanto writes is refused, and so is\n"
        "a missing piece, a piece that is a link or no regular file, or one shorter than the first\n"
        "that is not the last. When the checksum file NAME.sha256 stands beside the script, every\n"
        "piece and the whole file must match the SHA-256 it gives, and each piece that does not is\n"
        "named; without it, the report says that the file was not verified. The file is written\n"
        "without a name and takes its own name only when it is complete, verified and on the medium.\n"
        "\n"
        "  -o, --output DIR  recreate the file in the folder DIR (an empty DIR is refused)\n"
        "      --force       replace a file that already has the name\n"
        "      --window      show a window with the progress and a Cancel button, then a box\n"
        "  -h, --help        show this help and exit\n"
        "  -v, --version     show the version and exit\n"
        "\n"
        "Progress is shown on standard error when it is a terminal. Ctrl+C stops the join and\n"
        "leaves nothing behind.\n"
        "\n"
        "Exit status:\n"
        "  0      the file was recreated\n"
        "  1      nothing was joined: the script or a piece was refused, the file exists, the\n"
        "         window's Cancel was pressed, or the command line was wrong\n"
        "  2      an error (a file that could not be read or written, or a report that could\n"
        "         not be written to standard output after the file was recreated, or this help\n"
        "         or the version that could not be)\n"
        "  128+N  stopped by signal N\n");
    // clang-format on
}

// The command line, or nullopt after a mistake that was already reported.
std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& arguments) {
    std::string unknownOption;
    const std::optional<CommandLineOptions> options =
        parseOptions(arguments, {"--force", "--window"}, unknownOption);
    if (!options) {
        std::cerr << kPrefix
                  << fillIn(translate("unknown option or missing folder: %1"),
                            {visibleText(unknownOption)})
                  << "\n";
        return std::nullopt;
    }
    CommandLine line;
    line.request.replaceExisting = options->flags.count("--force") > 0;
    line.window = options->flags.count("--window") > 0;
    line.request.targetFolder = options->outputFolder.value_or("");
    const std::vector<std::string>& scripts = options->operands;
    if (scripts.size() != 1) {
        std::cerr << kPrefix
                  << fillIn(translate("expected one SCRIPT, got %1"),
                            {std::to_string(scripts.size())})
                  << "\n";
        return std::nullopt;
    }
    line.request.scriptPath = scripts.front();
    const int folderError =
        line.request.targetFolder.empty() ? 0 : paths::folderError(line.request.targetFolder);
    if (folderError != 0) {
        std::cerr << kPrefix
                  << fillIn(translate("%1 is not a folder: %2"),
                            {visibleText(line.request.targetFolder), std::strerror(folderError)})
                  << "\n";
        return std::nullopt;
    }
    return line;
}

} // namespace

std::variant<CommandLine, int> readCommandLine(int argc, char* argv[]) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (const std::optional<int> answered = answerHelpOrVersion(arguments, usage(), "orvanto-join"))
        return *answered;
    std::optional<CommandLine> line = parseCommandLine(arguments);
    if (!line) {
        std::cerr << translate("Try 'orvanto-join --help' for more information.") << "\n";
        return exit_status::kNotDone;
    }
    return *line;
}

int exitCodeOf(const JoinOutcome& outcome) {
    if (std::holds_alternative<JoinCompletion>(outcome))
        return exit_status::kDone;
    if (std::holds_alternative<JoinStopped>(outcome) && StopSignals::stopSignal() != 0)
        return exit_status::kSignalBase + StopSignals::stopSignal();
    return exit_status::kNotDone;
}

} // namespace join_program
