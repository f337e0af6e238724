#pragma once

#include <cstdint>
#include <string>

#include "engine/SplitJob.h"
#include "engine/SplitNames.h"

// Every read of the source and every write of a piece moves at most one block.
constexpr std::int64_t kBlockSize = 8192;

// What a split request hands to the job once every check has passed.
struct SplitPlan {
    std::string sourcePath;
    // The size the checks were made with; the job never reads past it, so a source that grows
    // meanwhile cannot yield more pieces than were checked.
    std::int64_t sourceSize = 0;
    std::int64_t splitSize = 0;
    SplitNames names;
    std::string destinationFolder; // ends with "/"
};

// The job: writes the pieces and the rejoin script, shows the completion message and counts the
// split. An unopenable source or a stop removes the script (and on a stop the pieces); an
// IoError removes the incomplete script, keeps the pieces and propagates.
SplitOutcome SplitFile(const SplitPlan& plan, SplitHost& host);
