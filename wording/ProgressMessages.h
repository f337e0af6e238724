#pragma once

#include <string>

struct JobProgress;

// "42% Complete"
std::string progressText(int percent);

// What the progress display shows when a piece is complete.
std::string pieceDoneText();

// What a split's progress display shows for its figures: nothing before the first piece,
// "100 %  Done." while the last piece started is on the medium and more pieces follow, else the
// percentage of the source that is on the medium. The split's end is shown by its caller.
std::string splitProgressText(const JobProgress& progress);
