#pragma once

#include <cstdint>
#include <string>

class SplitHost;

// How a split request ended. Failures of input/output throw IoError instead.
enum class SplitOutcome {
    Completed,        // pieces and script written, counter increased
    Refused,          // a check said no; nothing was written
    Stopped,          // the caller stopped it; what it wrote was removed
    SourceUnreadable, // the source could not be opened; nothing is left behind
};

// Size of what the path leads to, or -1 when it cannot be read.
std::int64_t GetSourceSize(const std::string& path);

// The split request: checks, then the job. Every outcome is shown through host.
SplitOutcome StartSplit(const std::string& sourcePath, std::int64_t sourceSize,
                        std::int64_t splitSize, SplitHost& host);

// True while a split job runs (the window asks before closing).
bool isSplitRunning();
// Asks the running job to stop at its next block; it removes what it wrote.
void requestSplitStop();
