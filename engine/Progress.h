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
