#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/Job.h"
#include "engine/JoinOutcome.h"

class File;
class RunningDigests;
struct Piece;

// What to join: the script names the pieces beside it and the file to recreate.
struct JoinRequest {
    std::string scriptPath;
    std::string targetFolder; // where the file is recreated; empty for the script's folder
    bool replaceExisting = false;
};

// The folder the file is recreated in, as the request names it: the one chosen, or the script's
// (empty for a script named without a folder).
std::string joinTargetFolder(const JoinRequest& request);

// The name of the join's temporary file begins with this.
inline constexpr char kJoinTemporaryPrefix[] = ".orvanto-join.";

// Reads the script, checks every piece, the target's name and the free space, then copies the
// pieces into a file beside the target that has no name until it takes the target's name once
// it is on the medium (platform/PendingFile.h). With a checksum file beside the script, the whole
// file's digest must match it before the file takes its name; when it does not, the pieces are
// read again and those whose digests differ are named. Refusals and a
// stop are returned; failures of input/output throw IoError, and every way out leaves nothing of
// the file.
class JoinJob final : public Job {
public:
    explicit JoinJob(JoinRequest request) : m_request(std::move(request)) {}

    // Its steps: before each copy of up to 1 MiB.
    JoinOutcome run();

    // The file being recreated, once every check has passed; empty before.
    std::string targetPath() const;

private:
    // digests, when given, sees every byte copied.
    bool copyPieces(std::vector<Piece>& pieces, File& target, RunningDigests* digests);
    // Every piece's digest, read again from its start; nullopt when stopped.
    std::optional<std::vector<std::string>> digestPieces(std::vector<Piece>& pieces);

    const JoinRequest m_request;
    mutable std::mutex m_targetMutex;
    std::string m_targetPath;
};
