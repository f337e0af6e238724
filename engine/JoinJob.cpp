#include "engine/JoinJob.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <optional>

#include "engine/ChecksumFile.h"
#include "engine/RejoinScriptReader.h"
#include "engine/RunningDigests.h"
#include "engine/SplitJob.h"
#include "engine/SplitNames.h"
#include "platform/DataCopier.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/Folder.h"
#include "platform/IoBuffer.h"
#include "platform/IoError.h"
#include "platform/Paths.h"
#include "platform/PendingFile.h"
#include "platform/Sha256.h"
#include "platform/WholeFile.h"
#include "platform/WriteBack.h"

// Copied from the descriptor that was checked, so a name swapped meanwhile changes nothing.
struct Piece {
    File file;
    std::int64_t size;
};

namespace {

// Bytes copied between two progress reports: one block of the digests' ring.
constexpr auto kCopyStep = static_cast<std::int64_t>(RunningDigests::kBlockBytes);

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
// could lead to any file the user may read. Pieces that have digests to match are not judged by
// their sizes, so that every piece of a wrong size is named with every damaged one.
std::variant<std::vector<Piece>, JoinRefusal> checkPieces(const JoinPlan& plan,
                                                          const Folder& folder, bool withDigests) {
    std::vector<Piece> pieces;
    // Every piece is named at once, so that one request to the sender covers them all.
    join_refusal::UnreadablePieces unreadable;
    for (const std::string& name : plan.pieceNames) {
        try {
            File piece = File::openRegular(folder, name, File::Links::Refuse);
            const std::int64_t size = piece.size();
            pieces.push_back({std::move(piece), size});
        } catch (const File::NotPlainFile&) {
            unreadable.notPlainFiles.push_back(name);
        } catch (const IoError& error) {
            if (error.errorNumber() != ENOENT)
                throw;
            unreadable.missing.push_back(name);
        }
    }
    if (!unreadable.missing.empty() || !unreadable.notPlainFiles.empty())
        return unreadable;
    if (auto fault = withDigests ? std::nullopt : checkSizes(plan, pieces))
        return *fault;
    return pieces;
}

std::int64_t totalSize(const std::vector<Piece>& pieces) {
    std::int64_t total = 0;
    for (const Piece& piece : pieces)
        total += piece.size;
    return total;
}

// The pieces, in order, whose digests differ from the checksum file's; the target when none
// does, as its own digest differs.
JoinRefusal digestMismatch(const std::string& checksumName, const JoinPlan& plan,
                           const checksum_file::Digests& expected,
                           const checksum_file::Digests& found) {
    join_refusal::DigestMismatch mismatch{checksumName, {}, {}};
    for (std::size_t index = 0; index < plan.pieceNames.size(); ++index)
        if (found.pieces[index] != expected.pieces[index])
            mismatch.pieces.push_back(plan.pieceNames[index]);
    if (mismatch.pieces.empty())
        mismatch.target = plan.targetName;
    return mismatch;
}

} // namespace

// Copies exactly the size each piece had when it was checked, and waits until it is all on the
// medium; false when stopped.
bool JoinJob::copyPieces(std::vector<Piece>& pieces, File& target, RunningDigests* digests) {
    DataCopier copier;
    WriteBack writeBack(target);
    for (std::size_t index = 0; index < pieces.size(); ++index) {
        Piece& piece = pieces[index];
        startPiece(static_cast<std::int64_t>(index) + 1);
        for (std::int64_t left = piece.size; left > 0;) {
            if (stepEndsJob())
                return false;
            const std::int64_t step = std::min(left, kCopyStep);
            const std::int64_t copied =
                digests ? static_cast<std::int64_t>(
                              digests->copy(piece.file, target, static_cast<std::size_t>(step)))
                        : copier.copy(piece.file, target, step);
            if (copied != step)
                throw IoError(IoError::Operation::Read, piece.file.path(),
                              IoError::Fault::ShrankWhileCopied);
            left -= step;
            addRead(step);
            addOnMedium(writeBack.written(step));
        }
        if (digests)
            digests->endPiece();
    }
    // Its metadata goes with the sync before it takes its name (PendingFile::publish).
    addOnMedium(writeBack.finish());
    return !stopRequested();
}

std::optional<std::vector<std::string>> JoinJob::digestPieces(std::vector<Piece>& pieces) {
    std::vector<std::string> digests;
    IoBuffer block(RunningDigests::kBlockBytes);
    for (Piece& piece : pieces) {
        piece.file.rewind();
        Sha256 digest;
        for (std::int64_t left = piece.size; left > 0;) {
            if (stepEndsJob())
                return std::nullopt;
            const std::size_t read = piece.file.read(
                block.data(), static_cast<std::size_t>(std::min<std::int64_t>(left, kCopyStep)));
            if (read == 0)
                throw IoError(IoError::Operation::Read, piece.file.path(),
                              IoError::Fault::ShrankWhileCopied);
            digest.add(block.data(), read);
            left -= static_cast<std::int64_t>(read);
        }
        digests.push_back(digest.finish());
    }
    return digests;
}

std::string joinTargetFolder(const JoinRequest& request) {
    return request.targetFolder.empty() ? paths::folderOf(request.scriptPath)
                                        : request.targetFolder;
}

std::string JoinJob::targetPath() const {
    const std::lock_guard<std::mutex> lock(m_targetMutex);
    return m_targetPath;
}

JoinOutcome JoinJob::run() {
    const JoinRequest& request = m_request;
    // Everything beside the script is looked up in the folder the script was read from.
    const Folder scriptFolder = Folder::open(paths::folderOf(request.scriptPath));
    std::string script;
    try {
        script = whole_file::read(scriptFolder, paths::fileNameOf(request.scriptPath));
    } catch (const IoError& error) {
        // A real script of the largest split is some hundred kilobytes; a larger file is not one.
        if (error.errorNumber() != EFBIG)
            throw;
        return join_refusal::ScriptForm{1, ScriptPart::WholeScript, ""};
    }
    const auto reading = readRejoinScript(script);
    if (const auto* refusal = std::get_if<JoinRefusal>(&reading))
        return *refusal;
    const JoinPlan& plan = std::get<JoinPlan>(reading);

    const std::string checksumName =
        checksum_file::nameFor(deriveSplitNames(plan.targetName).baseName);
    const auto checksum =
        checksum_file::read(scriptFolder, checksumName, plan.pieceNames, plan.targetName);
    if (const auto* refusal = std::get_if<JoinRefusal>(&checksum))
        return *refusal;
    const auto* expected = std::get_if<checksum_file::Digests>(&checksum);

    auto checked = checkPieces(plan, scriptFolder, expected != nullptr);
    if (const auto* refusal = std::get_if<JoinRefusal>(&checked))
        return *refusal;
    auto& pieces = std::get<std::vector<Piece>>(checked);

    const std::string folder = paths::withTrailingSlash(joinTargetFolder(request));
    const std::string shownFolder = folder.empty() ? "." : folder;
    const std::string targetPath = paths::joined(folder, plan.targetName);
    // Asked of the folder the file is written into, whatever its path leads to meanwhile.
    const Folder targetFolder = Folder::open(folder);
    if (!request.replaceExisting && targetFolder.holds(plan.targetName))
        return join_refusal::TargetExists{targetPath};
    const std::int64_t total = totalSize(pieces);
    const std::optional<fs_entry::FolderSpace> space = fs_entry::folderSpace(targetFolder);
    if (space && space->freeBytes < total)
        return NotEnoughSpace{shownFolder, total, space->freeBytes};

    setTotals(total, static_cast<std::int64_t>(pieces.size()));
    {
        const std::lock_guard<std::mutex> lock(m_targetMutex);
        m_targetPath = targetPath;
    }
    // Without unnamed files a hidden name stands while the file is written: a program giving up
    // on a hung join removes it.
    record().setFolder(targetFolder.descriptor(), shownFolder);
    // No more permission bits than the pieces have: a private file stays private.
    PendingFile target(targetFolder, kJoinTemporaryPrefix, plan.targetName, targetPath,
                       pieces.front().file.permissions() & File::kAllReadWrite);
    const std::string hidden = target.hiddenName();
    if (!hidden.empty())
        record().made(hidden);
    // The whole file's digest alone while copying: the pieces' are needed only to name the
    // damaged ones when it differs.
    std::optional<RunningDigests> digests;
    if (expected)
        digests.emplace(RunningDigests::Kept::WholeOnly);
    try {
        if (!copyPieces(pieces, target.file(), digests ? &*digests : nullptr))
            return JoinStopped{};
        if (expected) {
            checksum_file::Digests found = digests->finish();
            if (found.whole != expected->whole) {
                auto pieceDigests = digestPieces(pieces);
                if (!pieceDigests)
                    return JoinStopped{};
                found.pieces = std::move(*pieceDigests);
                return digestMismatch(checksumName, plan, *expected, found);
            }
        }
        if (!target.publish(request.replaceExisting))
            return join_refusal::TargetExists{targetPath};
        record().gone(hidden);
    } catch (const IoError& error) {
        // The stop interrupted a read, a write or a sync: the temporary file goes with target.
        if (error.errorNumber() == EINTR && stopRequested())
            return JoinStopped{};
        throw;
    }
    syncFolder(targetFolder);
    return JoinCompletion{targetPath, total, checksumName, expected != nullptr};
}
