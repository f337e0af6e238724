#pragma once

#include <cstdint>

// The whole number of per cent that done is of total (total > 0), halves rounded to the even
// neighbour: 0.5 % gives 0, 1.5 % gives 2.
int progressPercent(std::int64_t done, std::int64_t total);

struct JobProgress;

// The percentage of a job's bytes that are on the medium: 0 before the job knows its pieces, 100
// for pieces that hold no bytes.
int percentOnMedium(const JobProgress& progress);
