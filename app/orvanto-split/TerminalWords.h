#pragma once

#include <exception>
#include <string>

#include "engine/SplitOutcome.h"

// What orvanto-split says about a split's outcome, for a terminal: no buttons, no boxes.
std::string refusalSentence(const SplitRefusal& refusal);
std::string completionReport(const SplitCompletion& completion);
// A failure as failureText words it, with the system's reason where it is known.
std::string failureSentence(const std::exception& failure);
