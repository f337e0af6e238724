#pragma once

#include <string>

#include <QString>

#include "engine/SplitOutcome.h"

class QWidget;

// A size of the size catalogue ("1.4 Megabytes", "300k") in the user's language.
QString sizeText(const std::string& catalogueSize);

// The main window's words for how a split ended.
QString refusalText(const SplitRefusal& refusal);
QString completionText(const SplitCompletion& completion);

// Shows the outcome in the box the window uses for it: a plain box when the source could not be
// opened (with what the system said), an information box otherwise.
void showSplitOutcome(QWidget* owner, const SplitOutcome& outcome);
