#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "engine/Destination.h"
#include "engine/SplitNames.h"
#include "engine/SplitOutcome.h"
#include "platform/File.h"

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
    // The folder opened when it was checked, where every file is written.
    std::shared_ptr<const Destination> destination;
    // The checksum file beside the pieces and the script.
    bool writeChecksum = true;
};

// How many pieces the job writes: the pieces the data fills, and one more, empty, when the last
// read of the last of them still delivered bytes (after a source that ends on a piece's end, or
// inside a piece's tail read).
std::int64_t piecesWritten(std::int64_t sourceSize, std::int64_t splitSize);

// The most pieces holding data a split may make; an empty one may follow them, after a source
// that ends on a piece's last byte.
constexpr std::int64_t kMostPieces = 399;

// Why no rejoin script could recreate a file of this name (its characters, a Windows device
// name, only dots), if it could not; a window checks this as soon as the file is chosen.
std::optional<SplitRefusal> sourceNameRefusal(const std::string& sourcePath);

// Refuses a piece size above the largest file the destination's file system holds, naming the
// largest preset that fits.
std::optional<SplitRefusal> pieceSizeRefusal(std::int64_t splitSize, std::int64_t largestFile,
                                             const std::string& folder);

// What the user asked for: sourceSize is the size read when the source was chosen;
// outputFolder is where the pieces go, or empty for the source's own folder.
struct SplitRequest {
    std::string sourcePath;
    std::int64_t sourceSize = 0;
    std::int64_t splitSize = 0;
    std::string outputFolder;
    bool writeChecksum = true;
};

// Checks everything a split of the opened source could trip over, and changes nothing: the plan
// a SplitJob runs, or why there is none.
std::variant<SplitPlan, SplitRefusal> checkSplitRequest(const SplitRequest& request,
                                                        const File& source);
