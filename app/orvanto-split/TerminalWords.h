#pragma once

#include <exception>
#include <string>

#include "engine/SplitOutcome.h"

// What orvanto-split says about a split's outcome, for a terminal: no buttons, no boxes.
std::string refusalSentence(const SplitRefusal& refusal);
// checksumAsked: whether the user asked for a checksum file, so that a missing one is explained.
std::string completionReport(const SplitCompletion& completion, bool checksumAsked);
// A failure as failureText words it, with the system's reason where it is known.
std::string failureSentence(const std::exception& failure);
