#pragma once

#include <string>
#include <vector>

// One "Copy /b" line of a rejoin script: its sources in order and its target, with cmd's "%%"
// already read as "%".
struct CopyLine {
    std::vector<std::string> sources;
    std::string target;
};

// The lines of a script without their CR LF; fails the test when a line end is not CR LF.
std::vector<std::string> scriptLines(const std::string& scriptText);
CopyLine parseCopyLine(const std::string& line);

// Does what cmd does with the script's copy lines, run in folder: each line writes the
// concatenation of its sources to its target (a target named first is appended to).
// Returns the target of the last copy line.
std::string followRejoinScript(const std::string& folder, const std::string& scriptName);
