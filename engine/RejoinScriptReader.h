#pragma once

#include <string>
#include <variant>
#include <vector>

#include "engine/JoinOutcome.h"

// What a rejoin script asks for: the pieces, in order, copied into the target.
struct JoinPlan {
    std::vector<std::string> pieceNames;
    std::string targetName;
};

// Reads a rejoin script in exactly one of the forms the split writes (CR LF or LF line ends): the
// plain one for names in ASCII, the one that switches to UTF-8 for others; without running
// anything. Anything else, and any name the split would not write, is refused with the
// line it is on.
std::variant<JoinPlan, JoinRefusal> readRejoinScript(const std::string& scriptText);
