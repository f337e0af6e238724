#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

// The options the terminal programs share: -o DIR or --output DIR (--output=DIR), flags such as
// --force, "--" before operands that begin with "-", and the operands.
struct CommandLineOptions {
    std::vector<std::string> operands;
    std::optional<std::string> outputFolder;
    std::set<std::string> flags;
};

// The options in arguments, or nothing when one of them is not -o/--output or one of
// knownFlags, or -o lacks its folder or gives an empty one; unknownOption then names it.
std::optional<CommandLineOptions> parseOptions(const std::vector<std::string>& arguments,
                                               const std::set<std::string>& knownFlags,
                                               std::string& unknownOption);
