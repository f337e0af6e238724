#include "app/terminal/CommandLineOptions.h"

std::optional<CommandLineOptions> parseOptions(const std::vector<std::string>& arguments,
                                               const std::set<std::string>& knownFlags,
                                               std::string& unknownOption) {
    const std::string outputPrefix = "--output=";
    CommandLineOptions options;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument.front() != '-')
            options.operands.push_back(argument);
        else if (argument == "--")
            optionsEnded = true;
        else if ((argument == "-o" || argument == "--output") && i + 1 < arguments.size())
            options.outputFolder = arguments[++i];
        else if (argument.rfind(outputPrefix, 0) == 0)
            options.outputFolder = argument.substr(outputPrefix.size());
        else if (knownFlags.count(argument) > 0)
            options.flags.insert(argument);
        else {
            unknownOption = argument;
            return std::nullopt;
        }
    }
    // An empty name is no folder: the current one would be a guess, and the window's empty
    // setting means "beside the source".
    if (options.outputFolder && options.outputFolder->empty()) {
        unknownOption = "-o \"\"";
        return std::nullopt;
    }
    return options;
}
