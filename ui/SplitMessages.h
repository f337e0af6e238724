#pragma once

#include <QString>

#include "engine/SplitOutcome.h"

class QWidget;

// The main window's words for how a split ended.
QString refusalText(const SplitRefusal& refusal);
QString completionText(const SplitCompletion& completion);

// Shows the outcome in the box the window uses for it: a plain box when the source could not be
// opened (with what the system said), an information box otherwise.
void showSplitOutcome(QWidget* owner, const SplitOutcome& outcome);
