#pragma once

#include <string>

#include "engine/SplitOutcome.h"

// What orvanto-split says about a split's outcome, for a terminal: no buttons, no boxes.
std::string refusalSentence(const SplitRefusal& refusal);
std::string completionReport(const SplitCompletion& completion);
