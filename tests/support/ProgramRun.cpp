#include "support/ProgramRun.h"

#include <cstdlib>

#include <sys/wait.h>

#include "support/TempFolder.h"

ProgramRun runProgram(const std::string& program, const std::string& folder,
                      const std::string& arguments, const std::string& outputFolder) {
    const std::string outPath = outputFolder + "out", errPath = outputFolder + "err";
    const std::string command = "cd '" + folder + "' && '" + program + "' " + arguments + " >'" +
                                outPath + "' 2>'" + errPath + "'";
    const int status = std::system(command.c_str());
    ProgramRun result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = readFile(outPath);
    result.err = readFile(errPath);
    return result;
}

ProgramRun runProgramInLanguage(const std::string& language, const std::string& program,
                                const std::string& folder, const std::string& arguments,
                                const std::string& outputFolder) {
    return runProgram("/usr/bin/env", folder,
                      "LC_ALL=C.UTF-8 LANGUAGE=" + language + " " + program + " " + arguments,
                      outputFolder);
}
