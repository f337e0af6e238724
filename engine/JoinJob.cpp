#include "engine/JoinJob.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <optional>
#include <vector>

#include <unistd.h>

#include "engine/RejoinScriptReader.h"
#include "engine/SplitJob.h"
#include "platform/DataCopier.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/IoError.h"
#include "platform/Paths.h"
#include "platform/WholeFile.h"
#include "platform/WriteBack.h"

struct Piece {
    std::string path;
    std::int64_t size;
};

namespace {

// Bytes copied between two progress reports: small enough to stop at once, large enough that
// the kernel copies at full speed.
constexpr std::int64_t kCopyStep = 8 << 20;

JoinRefusal pieceRefusal(JoinRefusal::Kind kind, const std::string& name, std::int64_t size = 0,
                         std::int64_t expectedSize = 0) {
    return {kind, 0, name, "", size, expectedSize};
}

// Every piece holds the first piece's size but the split's remainder, which may hold less: the
// last piece, or the one before an empty last piece. The split writes that empty piece only
// after a source that ends on a piece's last byte or inside its tail read, so the piece before
// it is then whole or longer than the piece's whole blocks.
std::optional<JoinRefusal> checkSizes(const JoinPlan& plan, const std::vector<Piece>& pieces) {
    const std::int64_t splitSize = pieces.front().size;
    const auto count = static_cast<std::ptrdiff_t>(pieces.size());
    const bool lastIsEmpty = pieces.back().size == 0;
    const std::ptrdiff_t remainder = lastIsEmpty ? count - 2 : count - 1;
    const std::int64_t wholeBlocks = splitSize / kBlockSize * kBlockSize;
    for (std::ptrdiff_t index = 1; index < count; ++index) {
        const std::int64_t size = pieces[static_cast<std::size_t>(index)].size;
        const std::string& name = plan.pieceNames[static_cast<std::size_t>(index)];
        const bool truncatedBeforeEmpty = lastIsEmpty && index == remainder && size <= wholeBlocks;
        if (size > splitSize)
            return pieceRefusal(JoinRefusal::Kind::LongPiece, name, size, splitSize);
        if (size < splitSize && (index < remainder || truncatedBeforeEmpty))
            return pieceRefusal(JoinRefusal::Kind::ShortPiece, name, size, splitSize);
    }
    return std::nullopt;
}

std::variant<std::vector<Piece>, JoinRefusal> checkPieces(const JoinPlan& plan,
                                                          const std::string& folder) {
    std::vector<Piece> pieces;
    for (const std::string& name : plan.pieceNames) {
        const std::string path = paths::joined(folder, name);
        const fs_entry::Kind kind = fs_entry::targetKind(path);
        if (kind == fs_entry::Kind::None)
            return pieceRefusal(JoinRefusal::Kind::MissingPiece, name);
        if (kind != fs_entry::Kind::Regular)
            return pieceRefusal(JoinRefusal::Kind::NotARegularFile, name);
        pieces.push_back({path, fs_entry::targetSize(path)});
    }
    if (auto fault = checkSizes(plan, pieces))
        return *fault;
    return pieces;
}

std::int64_t totalSize(const std::vector<Piece>& pieces) {
    std::int64_t total = 0;
    for (const Piece& piece : pieces)
        total += piece.size;
    return total;
}

// The file being written, hidden beside the target; removed unless it was renamed into place.
class TemporaryTarget {
public:
    // A fixed name, not the target's: a target name near the file system's limit leaves no room
    // for anything added to it.
    explicit TemporaryTarget(const std::string& targetPath) {
        const std::string prefix = paths::joined(paths::folderOf(targetPath), ".orvanto-join.");
        for (int attempt = 0;; ++attempt) {
            try {
                m_file.emplace(File::createNew(prefix + std::to_string(attempt)));
                return;
            } catch (const IoError& error) {
                if (error.errorNumber() != EEXIST || attempt == 99)
                    throw;
            }
        }
    }
    TemporaryTarget(const TemporaryTarget&) = delete;
    TemporaryTarget& operator=(const TemporaryTarget&) = delete;

    ~TemporaryTarget() {
        if (m_file) {
            const std::string path = m_file->path();
            m_file.reset();
            ::unlink(path.c_str());
        }
    }

    File& file() { return *m_file; }

    // Gives the finished file the target's name; false when a file of that name appeared and
    // may not be replaced.
    bool moveTo(const std::string& targetPath, bool replaceExisting) {
        // The old file goes with the rename: the new one must be on the device first, or a
        // power loss could leave neither.
        if (replaceExisting)
            m_file->syncToDevice();
        m_file->close();
        try {
            if (replaceExisting)
                fs_entry::renameReplacing(m_file->path(), targetPath);
            else
                fs_entry::renameWithoutReplacing(m_file->path(), targetPath);
        } catch (const IoError& error) {
            if (error.errorNumber() == EEXIST)
                return false;
            throw;
        }
        m_file.reset();
        return true;
    }

private:
    std::optional<File> m_file;
};

} // namespace

// Copies exactly the size each piece had when it was checked, and waits until it is all on the
// medium; false when stopped.
bool JoinJob::copyPieces(const std::vector<Piece>& pieces, File& target) {
    DataCopier copier;
    WriteBack writeBack(target);
    for (std::size_t index = 0; index < pieces.size(); ++index) {
        const Piece& piece = pieces[index];
        startPiece(static_cast<std::int64_t>(index) + 1);
        File source = File::openForReading(piece.path);
        for (std::int64_t left = piece.size; left > 0;) {
            if (stepEndsJob())
                return false;
            const std::int64_t step = std::min(left, kCopyStep);
            if (copier.copy(source, target, step) != step)
                throw IoError("Could not read " + piece.path + ": it became shorter while " +
                              "it was being copied");
            left -= step;
            addRead(step);
            addOnMedium(writeBack.written(step));
        }
    }
    // Renamed over an older file, or given its name at all, it must be on the medium first, or
    // a power loss could leave neither.
    addOnMedium(writeBack.finish());
    return !stopRequested();
}

std::string JoinJob::targetPath() const {
    const std::lock_guard<std::mutex> lock(m_targetMutex);
    return m_targetPath;
}

JoinOutcome JoinJob::run() {
    const JoinRequest& request = m_request;
    // A real script of the largest split is some hundred kilobytes; a larger file is not one.
    if (fs_entry::targetSize(request.scriptPath) >
        static_cast<std::int64_t>(whole_file::kMaxReadSize))
        return JoinRefusal{JoinRefusal::Kind::ScriptForm, 1, "", "a rejoin script"};
    const auto reading = readRejoinScript(whole_file::read(request.scriptPath));
    if (const auto* refusal = std::get_if<JoinRefusal>(&reading))
        return *refusal;
    const JoinPlan& plan = std::get<JoinPlan>(reading);

    const auto checked = checkPieces(plan, paths::folderOf(request.scriptPath));
    if (const auto* refusal = std::get_if<JoinRefusal>(&checked))
        return *refusal;
    const auto& pieces = std::get<std::vector<Piece>>(checked);

    const std::string folder = request.targetFolder.empty()
                                   ? paths::folderOf(request.scriptPath)
                                   : paths::withTrailingSlash(request.targetFolder);
    const std::string shownFolder = folder.empty() ? "." : folder;
    const std::string targetPath = paths::joined(folder, plan.targetName);
    if (!request.replaceExisting && fs_entry::entryKind(targetPath) != fs_entry::Kind::None)
        return pieceRefusal(JoinRefusal::Kind::TargetExists, targetPath);
    const std::int64_t total = totalSize(pieces);
    const std::optional<fs_entry::FolderSpace> space = fs_entry::folderSpace(shownFolder);
    if (space && space->freeBytes < total)
        return pieceRefusal(JoinRefusal::Kind::NotEnoughSpace, shownFolder, total,
                            space->freeBytes);

    setTotals(total, static_cast<std::int64_t>(pieces.size()));
    {
        const std::lock_guard<std::mutex> lock(m_targetMutex);
        m_targetPath = targetPath;
    }
    TemporaryTarget temporary(targetPath);
    if (!copyPieces(pieces, temporary.file()))
        return JoinStopped{};
    if (!temporary.moveTo(targetPath, request.replaceExisting))
        return pieceRefusal(JoinRefusal::Kind::TargetExists, targetPath);
    syncFolder(shownFolder);
    return JoinCompletion{targetPath, total};
}
