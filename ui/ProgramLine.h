#pragma once

#include <string>

// What the window program puts before each line it writes to standard error.
inline constexpr char kProgramPrefix[] = "orvanto: ";

// Writes text to standard error as one line of the window program's.
void writeProgramLine(const std::string& text);
