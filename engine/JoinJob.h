#pragma once

#include <cstdint>
#include <string>

#include "engine/JoinOutcome.h"

// What to join: the script names the pieces beside it and the file to recreate.
struct JoinRequest {
    std::string scriptPath;
    std::string targetFolder; // where the file is recreated; empty for the script's folder
    bool replaceExisting = false;
};

// What the join needs from whoever runs it.
class JoinProgress {
public:
    virtual ~JoinProgress() = default;

    // Every check passed; the file at targetPath is being recreated.
    virtual void startCopying(const std::string& targetPath) = 0;
    // copied of total bytes are in place; called before the first byte and after each step.
    virtual void showProgress(std::int64_t copied, std::int64_t total) = 0;
    // Asked after each step; true stops the join, which then removes what it wrote.
    virtual bool stopRequested() = 0;
};

// Reads the script, checks every piece, the target's name and the free space, then copies the
// pieces into a file beside the target that has no name until it takes the target's name at the
// end (platform/PendingFile.h). Refusals and a stop are returned; failures of input/output throw
// IoError, and every way out leaves nothing of the file.
JoinOutcome joinPieces(const JoinRequest& request, JoinProgress& progress);
