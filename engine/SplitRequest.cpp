#include "engine/SplitRequest.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <vector>

#include "engine/ChecksumFile.h"
#include "engine/RejoinScript.h"
#include "engine/SplitNames.h"
#include "engine/WindowsNames.h"
#include "platform/FileSystem.h"
#include "platform/NewFile.h"
#include "platform/Paths.h"

namespace {

using Reason = SplitRefusal::Reason;

// The pieces the data fills, which the count limits are about; the job may write one more, empty
// (piecesWritten).
std::int64_t filledPieceCount(std::int64_t sourceSize, std::int64_t splitSize) {
    return sourceSize / splitSize + (sourceSize % splitSize > 0 ? 1 : 0);
}

std::optional<SplitRefusal> sourceRefusal(const std::string& sourcePath, std::int64_t sourceSize,
                                          std::int64_t splitSize) {
    if (fs_entry::targetKind(sourcePath) != fs_entry::Kind::Regular)
        return SplitRefusal(Reason::NoSource, sourcePath);
    if (sourceSize == 0)
        return SplitRefusal(Reason::EmptySource, sourcePath);
    if (sourceSize < 0)
        return SplitRefusal(Reason::UnknownSourceSize, sourcePath);
    // The job reads no further than the size the checks used, so a file that has grown since it
    // was chosen would be cut short.
    if (sourceSizeOf(sourcePath) != sourceSize)
        return SplitRefusal(Reason::SourceSizeChanged, sourcePath);
    if (splitSize < kBlockSize)
        return SplitRefusal(Reason::SplitSizeTooSmall);
    return std::nullopt;
}

// Piece and script names share the target's base name, so the target name carries every
// character and device name of them.
std::optional<SplitRefusal> nameRefusal(const SplitNames& names) {
    switch (windows_names::faultOf(names.targetName)) {
    case windows_names::NameFault::None:
        return std::nullopt;
    case windows_names::NameFault::NotUtf8:
        return SplitRefusal(Reason::NotUtf8, names.fileName);
    case windows_names::NameFault::Character: {
        SplitRefusal refused(Reason::ForbiddenCharacter, names.fileName);
        refused.character = windows_names::forbiddenCharacterIn(names.targetName).value_or('?');
        return refused;
    }
    case windows_names::NameFault::Device:
        return SplitRefusal(Reason::DeviceName, names.fileName, names.baseName);
    case windows_names::NameFault::OnlyDots:
        return SplitRefusal(Reason::OnlyDots, names.fileName, names.targetName);
    case windows_names::NameFault::TrailingDotOrBlank:
        return SplitRefusal(Reason::TrailingDotOrBlank, names.fileName, names.targetName);
    }
    return std::nullopt;
}

std::optional<SplitRefusal> countRefusal(std::int64_t pieceCount) {
    if (pieceCount == 1)
        return SplitRefusal(Reason::NoNeedToSplit);
    if (pieceCount > kMostPieces) {
        SplitRefusal refused(Reason::TooManyPieces);
        refused.pieceCount = pieceCount;
        return refused;
    }
    return std::nullopt;
}

// Every name the job writes: its pieces in order, then the script and the checksum file.
std::vector<std::string> outputNames(const SplitPlan& plan, std::int64_t pieceCount) {
    std::vector<std::string> outputs;
    for (std::int64_t index = 1; index <= pieceCount; ++index)
        outputs.push_back(pieceName(plan.names.baseName, index));
    outputs.push_back(scriptName(plan.names.baseName));
    if (plan.writeChecksum)
        outputs.push_back(checksum_file::nameFor(plan.names.baseName));
    return outputs;
}

std::optional<std::string> firstOutputWhere(const std::vector<std::string>& outputs,
                                            const std::function<bool(const std::string&)>& test) {
    const auto found = std::find_if(outputs.begin(), outputs.end(), test);
    return found == outputs.end() ? std::nullopt : std::optional<std::string>(*found);
}

// The names in folder; none when it cannot be listed, which leaves the exact check alone.
std::vector<std::string> entryNames(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error))
        names.push_back(entry->path().filename().string());
    return names;
}

// What stands where output would go: itself, or a name Windows takes for it (BACKUP.BAT for
// backup.bat), as both would be one file once copied to a FAT or NTFS stick.
std::optional<std::string> nameStandingAt(const std::string& folder, const std::string& output,
                                          const std::vector<std::string>& standing) {
    if (fs_entry::entryKind(paths::joined(folder, output)) != fs_entry::Kind::None)
        return output;
    const auto found = std::find_if(standing.begin(), standing.end(), [&](const std::string& name) {
        return windows_names::sameFileName(name, output);
    });
    return found == standing.end() ? std::nullopt : std::optional<std::string>(*found);
}

std::optional<SplitRefusal> outputRefusal(const SplitPlan& plan,
                                          const std::vector<std::string>& outputs) {
    const std::string& folder = plan.destinationFolder;
    if (const auto name = firstOutputWhere(outputs, [&](const std::string& output) {
            return fs_entry::isSameFile(paths::joined(folder, output), plan.sourcePath);
        }))
        return SplitRefusal(Reason::OverwritesSource, *name);
    // The rejoin's copy would write over a piece it still reads, or over the running script.
    // The first piece would work (copy appends onto its first source), but nothing is gained
    // by relying on that.
    if (const auto name = firstOutputWhere(outputs, [&](const std::string& output) {
            return windows_names::sameFileName(plan.names.targetName, output);
        }))
        return SplitRefusal(Reason::TargetLikeOutput, *name, plan.names.targetName);
    // Whatever stands at a name, a folder or a dot-file included, belongs to someone else.
    const std::vector<std::string> standing = entryNames(folder);
    for (const std::string& output : outputs) {
        if (auto name = nameStandingAt(folder, output, standing)) {
            SplitRefusal refused(Reason::NameExists, *name);
            refused.folder = folder;
            return refused;
        }
    }
    return std::nullopt;
}

std::int64_t roundedUp(std::int64_t bytes, std::int64_t unit) {
    return (bytes + unit - 1) / unit * unit;
}

// What the pieces, the script and the checksum file take on disk: every file takes whole
// allocation units.
std::int64_t spaceNeeded(const SplitPlan& plan, std::int64_t pieceCount, std::int64_t unit) {
    const std::int64_t fullPieces = plan.sourceSize / plan.splitSize;
    RejoinScript script;
    std::vector<std::string> pieceNames;
    for (std::int64_t index = 1; index <= pieceCount; ++index) {
        script.addPiece(plan.names.baseName, index);
        pieceNames.push_back(pieceName(plan.names.baseName, index));
    }
    const auto scriptSize = static_cast<std::int64_t>(script.text(plan.names.targetName).size());
    const auto checksumSize = static_cast<std::int64_t>(
        plan.writeChecksum ? checksum_file::size(pieceNames, plan.names.targetName) : 0);
    return fullPieces * roundedUp(plan.splitSize, unit) +
           roundedUp(plan.sourceSize % plan.splitSize, unit) + roundedUp(scriptSize, unit) +
           roundedUp(checksumSize, unit);
}

std::optional<SplitRefusal> spaceRefusal(const SplitPlan& plan, std::int64_t pieceCount) {
    const auto space = fs_entry::folderSpace(plan.destinationFolder);
    if (!space)
        return std::nullopt;
    const std::int64_t needed = spaceNeeded(plan, pieceCount, space->allocationUnit);
    if (space->freeBytes >= needed)
        return std::nullopt;
    SplitRefusal refused(Reason::NotEnoughSpace);
    refused.folder = plan.destinationFolder;
    refused.bytesNeeded = needed;
    refused.bytesFree = space->freeBytes;
    return refused;
}

} // namespace

std::int64_t sourceSizeOf(const std::string& path) {
    return fs_entry::targetSize(path);
}

std::optional<SplitRefusal> sourceNameRefusal(const std::string& sourcePath) {
    return nameRefusal(deriveSplitNames(sourcePath));
}

std::variant<SplitPlan, SplitRefusal> checkSplitRequest(const SplitRequest& request) {
    const std::string& sourcePath = request.sourcePath;
    const std::int64_t sourceSize = request.sourceSize;
    const std::int64_t splitSize = request.splitSize;
    if (auto why = sourceRefusal(sourcePath, sourceSize, splitSize))
        return *why;
    SplitPlan plan{sourcePath, sourceSize,           splitSize, deriveSplitNames(sourcePath),
                   {},         request.writeChecksum};
    if (auto why = nameRefusal(plan.names))
        return *why;
    if (auto why = countRefusal(filledPieceCount(sourceSize, splitSize)))
        return *why;

    plan.destinationFolder = request.outputFolder.empty()
                                 ? plan.names.sourceFolder
                                 : paths::withTrailingSlash(request.outputFolder);
    // A source name that leaves room for its pieces and script, but not for the checksum file's
    // longer ending, is split without it rather than failing once every piece is written.
    plan.writeChecksum =
        plan.writeChecksum &&
        new_file::nameFits(plan.destinationFolder, checksum_file::nameFor(plan.names.baseName));
    const std::int64_t piecesToWrite = piecesWritten(sourceSize, splitSize);
    if (auto why = outputRefusal(plan, outputNames(plan, piecesToWrite)))
        return *why;
    if (auto why = spaceRefusal(plan, piecesToWrite))
        return *why;
    return plan;
}
