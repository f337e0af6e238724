#include "engine/JoinJob.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <optional>

#include "engine/RejoinScriptReader.h"
#include "engine/SplitJob.h"
#include "platform/DataCopier.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/Folder.h"
#include "platform/IoError.h"
#include "platform/Paths.h"
#include "platform/PendingFile.h"
#include "platform/WholeFile.h"
#include "platform/WriteBack.h"

// Copied from the descriptor that was checked, so a name swapped meanwhile changes nothing.
struct Piece {
    File file;
    std::int64_t size;
};

namespace {

// Bytes copied between two progress reports: small enough to stop at once, large enough that
// the kernel copies at full speed.
constexpr std::int64_t kCopyStep = 8 << 20;

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
            return join_refusal::LongPiece{name, size, splitSize};
        if (size < splitSize && (index < remainder || truncatedBeforeEmpty))
            return join_refusal::ShortPiece{name, size, splitSize};
    }
    return std::nullopt;
}

// Only a regular file reached without a link is what the sender could have sent: a link
// could lead to any file the user may read.
std::variant<std::vector<Piece>, JoinRefusal> checkPieces(const JoinPlan& plan,
                                                          const Folder& folder) {
    std::vector<Piece> pieces;
    for (const std::string& name : plan.pieceNames) {
        try {
            File piece = File::openRegular(folder, name, File::Links::Refuse);
            const std::int64_t size = piece.size();
            pieces.push_back({std::move(piece), size});
        } catch (const File::NotPlainFile&) {
            return join_refusal::NotPlainFile{name};
        } catch (const IoError& error) {
            if (error.errorNumber() != ENOENT)
                throw;
            return join_refusal::MissingPiece{name};
        }
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

} // namespace

// Copies exactly the size each piece had when it was checked, and waits until it is all on the
// medium; false when stopped.
bool JoinJob::copyPieces(std::vector<Piece>& pieces, File& target) {
    DataCopier copier;
    WriteBack writeBack(target);
    for (std::size_t index = 0; index < pieces.size(); ++index) {
        Piece& piece = pieces[index];
        startPiece(static_cast<std::int64_t>(index) + 1);
        for (std::int64_t left = piece.size; left > 0;) {
            if (stepEndsJob())
                return false;
            const std::int64_t step = std::min(left, kCopyStep);
            if (copier.copy(piece.file, target, step) != step)
                throw IoError(IoError::Operation::Read, piece.file.path(),
                              IoError::Fault::ShrankWhileCopied);
            left -= step;
            addRead(step);
            addOnMedium(writeBack.written(step));
        }
    }
    // Its metadata goes with the sync before it takes its name (PendingFile::publish).
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
        return join_refusal::ScriptForm{1, ScriptPart::WholeScript, ""};
    const auto reading = readRejoinScript(whole_file::read(request.scriptPath));
    if (const auto* refusal = std::get_if<JoinRefusal>(&reading))
        return *refusal;
    const JoinPlan& plan = std::get<JoinPlan>(reading);

    auto checked = checkPieces(plan, Folder::open(paths::folderOf(request.scriptPath)));
    if (const auto* refusal = std::get_if<JoinRefusal>(&checked))
        return *refusal;
    auto& pieces = std::get<std::vector<Piece>>(checked);

    const std::string folder = request.targetFolder.empty()
                                   ? paths::folderOf(request.scriptPath)
                                   : paths::withTrailingSlash(request.targetFolder);
    const std::string shownFolder = folder.empty() ? "." : folder;
    const std::string targetPath = paths::joined(folder, plan.targetName);
    if (!request.replaceExisting && fs_entry::entryKind(targetPath) != fs_entry::Kind::None)
        return join_refusal::TargetExists{targetPath};
    const std::int64_t total = totalSize(pieces);
    const std::optional<fs_entry::FolderSpace> space = fs_entry::folderSpace(shownFolder);
    if (space && space->freeBytes < total)
        return join_refusal::NotEnoughSpace{shownFolder, total, space->freeBytes};

    setTotals(total, static_cast<std::int64_t>(pieces.size()));
    {
        const std::lock_guard<std::mutex> lock(m_targetMutex);
        m_targetPath = targetPath;
    }
    const Folder targetFolder = Folder::open(folder);
    // No more permission bits than the pieces have: a private file stays private.
    PendingFile target(targetFolder, ".orvanto-join.", plan.targetName, targetPath,
                       pieces.front().file.permissions() & 0666);
    if (!copyPieces(pieces, target.file()))
        return JoinStopped{};
    if (!target.publish(request.replaceExisting))
        return join_refusal::TargetExists{targetPath};
    syncFolder(shownFolder);
    return JoinCompletion{targetPath, total};
}
