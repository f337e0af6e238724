#pragma once

#include <optional>
#include <string>
#include <vector>

// Every program's --help (or -h) and --version (or -v), given alone on the command line.
// Answers them on standard output, where standard_streams::guardStandardStreams checks at exit
// that the text arrived, and gives the exit status; nothing for any other command line.
std::optional<int> answerHelpOrVersion(const std::vector<std::string>& arguments,
                                       const std::string& usage, const char* program);
