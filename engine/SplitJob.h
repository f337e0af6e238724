#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/Destination.h"
#include "engine/Job.h"
#include "engine/SplitNames.h"
#include "engine/SplitOutcome.h"

// The smallest piece, and the unit of the rule for a split's last, empty piece (piecesWritten).
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
    // The folder opened when it was checked, where every file is written; opened by the job when
    // empty.
    std::shared_ptr<const Destination> destination;
    // The checksum file beside the pieces and the script.
    bool writeChecksum = true;
};

// How many pieces the job writes: the pieces the data fills, and one more, empty, when the last
// read of the last of them still delivered bytes (after a source that ends on a piece's end, or
// inside a piece's tail read).
std::int64_t piecesWritten(std::int64_t sourceSize, std::int64_t splitSize);

// The split of one plan: writes the pieces, then the rejoin script and the checksum file; each
// piece's data is on the medium before the piece after the next is begun, and everything, names and
// sizes included, before run() returns a completion. Nothing is created before the source is open;
// a stop or an IoError removes every file the job created, and a SplitFailure propagates saying so.
class SplitJob final : public Job {
public:
    explicit SplitJob(SplitPlan plan);

    // Its steps: after each piece is created and after each block of up to 1 MiB.
    SplitOutcome run();

private:
    class Run;

    const SplitPlan m_plan;
};
