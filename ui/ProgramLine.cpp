#include "ui/ProgramLine.h"

#include <cstdio>

void writeProgramLine(const std::string& text) {
    std::fprintf(stderr, "%s%s\n", kProgramPrefix, text.c_str());
}
