#pragma once

#include <string>

struct ProgramRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs program with the arguments (already quoted for the shell) in folder, keeping its output
// in files of outputFolder.
ProgramRun runProgram(const std::string& program, const std::string& folder,
                      const std::string& arguments, const std::string& outputFolder);
// The same in the environment of a user whose desktop speaks language (LANGUAGE, with a
// UTF-8 locale).
ProgramRun runProgramInLanguage(const std::string& language, const std::string& program,
                                const std::string& folder, const std::string& arguments,
                                const std::string& outputFolder);
