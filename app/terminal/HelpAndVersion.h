#pragma once

#include <optional>
#include <string>
#include <vector>

// The terminal programs' --help (or -h) and --version, given alone on the command line.
// Answers them on standard output, where standard_streams::guardStandardStreams checks at exit
// that the text arrived, and gives the exit status; nothing for any other command line.
std::optional<int> answerHelpOrVersion(const std::vector<std::string>& arguments,
                                       const std::string& usage, const char* program);
