#pragma once

#include <string>

// name, a file in the current folder, as one argument of a POSIX shell's command line, for the
// commands the programs suggest: as it is where no shell or program would read it otherwise,
// else in single quotes, and after "./" where it would pass for an option.
std::string shellFileArgument(const std::string& name);
