#pragma once

#include <cstdint>
#include <string>

// The whole number of per cent that done is of total (total > 0), halves rounded to the even
// neighbour: 0.5 % gives 0, 1.5 % gives 2.
int progressPercent(std::int64_t done, std::int64_t total);

// "42% Complete"
std::string progressText(int percent);

// What the progress display shows when a piece is complete.
extern const char* const kPieceDoneText;

struct JobProgress;

// What a split's progress display shows for its figures: nothing before the first piece,
// "100 %  Done." while the last piece started is on the medium, else the percentage of the source
// that is on the medium.
std::string splitProgressText(const JobProgress& progress);
// The percentage of a job's bytes that are on the medium: 0 before the job knows its pieces, 100
// for pieces that hold no bytes.
int percentOnMedium(const JobProgress& progress);
