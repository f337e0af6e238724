#pragma once

#include <string>

#include "engine/JoinOutcome.h"

// How both faces of orvanto-join, the terminal and the window, word what a join returned: plain
// sentences with no window or terminal in them, which each face frames its own way.

// Why nothing was joined; scriptName is the script as the user named it.
std::string joinRefusalText(const JoinRefusal& refusal, const std::string& scriptName);
// "/x/movie.avi has been recreated (2500000 bytes)." and whether the checksum file verified it.
std::string joinCompletionText(const JoinCompletion& completion);
