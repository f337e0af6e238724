#include "engine/SplitRequest.h"

#include <algorithm>
#include <cerrno>
#include <functional>
#include <memory>
#include <vector>

#include "engine/ChecksumFile.h"
#include "engine/Destination.h"
#include "engine/RejoinScript.h"
#include "engine/SizeCatalogue.h"
#include "engine/SplitNames.h"
#include "engine/WindowsNames.h"
#include "platform/FileSystem.h"
#include "platform/IoError.h"
#include "platform/Paths.h"

namespace {

// The pieces the data fills, which the count limits are about; the job may write one more, empty
// (piecesWritten).
std::int64_t filledPieceCount(std::int64_t sourceSize, std::int64_t splitSize) {
    return sourceSize / splitSize + (sourceSize % splitSize > 0 ? 1 : 0);
}

std::optional<SplitRefusal> sourceRefusal(const std::string& sourcePath, std::int64_t sourceSize,
                                          const File& source, std::int64_t splitSize) {
    if (sourceSize == 0)
        return split_refusal::EmptySource{sourcePath};
    if (sourceSize < 0)
        return split_refusal::UnknownSourceSize{sourcePath};
    // The job reads no further than the size the checks used, so a file that has grown since it
    // was chosen would be cut short.
    if (source.size() != sourceSize)
        return split_refusal::SourceSizeChanged{sourcePath};
    if (splitSize < kBlockSize)
        return split_refusal::SplitSizeTooSmall{};
    return std::nullopt;
}

// Piece and script names share the target's base name, so the target name carries every
// character and device name of them.
std::optional<SplitRefusal> nameRefusal(const SplitNames& names) {
    switch (windows_names::faultOf(names.targetName)) {
    case windows_names::NameFault::None:
        return std::nullopt;
    case windows_names::NameFault::NotUtf8:
        return split_refusal::NotUtf8{names.fileName};
    case windows_names::NameFault::Character:
        return split_refusal::ForbiddenCharacter{
            names.fileName, windows_names::forbiddenCharacterIn(names.targetName).value_or('?')};
    case windows_names::NameFault::Device:
        return split_refusal::DeviceName{names.fileName, names.baseName};
    case windows_names::NameFault::OnlyDots:
        return split_refusal::OnlyDots{names.fileName, names.targetName};
    case windows_names::NameFault::TrailingDotOrBlank:
        return split_refusal::TrailingDotOrBlank{names.fileName, names.targetName};
    }
    return std::nullopt;
}

std::optional<SplitRefusal> countRefusal(std::int64_t pieceCount) {
    if (pieceCount == 1)
        return split_refusal::NoNeedToSplit{};
    if (pieceCount > kMostPieces)
        return split_refusal::TooManyPieces{pieceCount};
    return std::nullopt;
}

// Every name of the set: its pieces in order, then the script and the checksum file where the
// file system can hold its name. The checksum name counts even when none is written: the join
// would take a file standing there for this set's.
std::vector<std::string> outputNames(const SplitPlan& plan, std::int64_t pieceCount,
                                     bool checksumNameFits) {
    std::vector<std::string> outputs = pieceNames(plan.names.baseName, pieceCount);
    outputs.push_back(scriptName(plan.names.baseName));
    if (checksumNameFits)
        outputs.push_back(checksum_file::nameFor(plan.names.baseName));
    return outputs;
}

std::optional<std::string> firstOutputWhere(const std::vector<std::string>& outputs,
                                            const std::function<bool(const std::string&)>& test) {
    const auto found = std::find_if(outputs.begin(), outputs.end(), test);
    return found == outputs.end() ? std::nullopt : std::optional<std::string>(*found);
}

std::optional<SplitRefusal> outputRefusal(const SplitPlan& plan, const File& source,
                                          const std::vector<std::string>& outputs) {
    const Destination& destination = *plan.destination;
    if (const auto name = firstOutputWhere(outputs, [&](const std::string& output) {
            return destination.isSameFile(output, source);
        }))
        return split_refusal::OverwritesSource{*name};
    // The rejoin's copy would write over a piece it still reads, or over the running script.
    // The first piece would work (copy appends onto its first source), but nothing is gained
    // by relying on that.
    if (const auto name = firstOutputWhere(outputs, [&](const std::string& output) {
            return windows_names::sameFileName(plan.names.targetName, output);
        }))
        return split_refusal::TargetLikeOutput{*name, plan.names.targetName};
    // Whatever stands at a name, a folder or a dot-file included, belongs to someone else.
    for (const std::string& output : outputs) {
        if (auto name = destination.nameStandingAt(output))
            return split_refusal::NameExists{plan.destinationFolder, *name};
    }
    return std::nullopt;
}

// What the destination's file system cannot hold: a name too long, a piece too large.
std::optional<SplitRefusal> mediumRefusal(const SplitPlan& plan, const Folder::Limits& limits,
                                          const std::vector<std::string>& outputs) {
    if (!limits.writable)
        return split_refusal::UnwritableFolder{plan.destinationFolder};
    if (const auto name = firstOutputWhere(outputs, [&](const std::string& output) {
            return static_cast<std::int64_t>(output.size()) > limits.longestName;
        }))
        return split_refusal::NameTooLong{plan.destinationFolder, *name, limits.longestName};
    return pieceSizeRefusal(plan.splitSize,
                            fs_entry::largestFileOn(limits.fileSystemType, limits.mountType),
                            plan.destinationFolder);
}

std::int64_t roundedUp(std::int64_t bytes, std::int64_t unit) {
    return (bytes + unit - 1) / unit * unit;
}

// What the pieces, the script and the checksum file take on disk: every file takes whole
// allocation units.
std::int64_t spaceNeeded(const SplitPlan& plan, std::int64_t pieceCount, std::int64_t unit) {
    const std::int64_t fullPieces = plan.sourceSize / plan.splitSize;
    RejoinScript script;
    for (std::int64_t index = 1; index <= pieceCount; ++index)
        script.addPiece(plan.names.baseName, index);
    const auto scriptSize = static_cast<std::int64_t>(script.text(plan.names.targetName).size());
    const auto checksumSize = static_cast<std::int64_t>(
        plan.writeChecksum ? checksum_file::size(pieceNames(plan.names.baseName, pieceCount),
                                                 plan.names.targetName)
                           : 0);
    return fullPieces * roundedUp(plan.splitSize, unit) +
           roundedUp(plan.sourceSize % plan.splitSize, unit) + roundedUp(scriptSize, unit) +
           roundedUp(checksumSize, unit);
}

std::optional<SplitRefusal> spaceRefusal(const SplitPlan& plan, std::int64_t pieceCount) {
    const auto space = fs_entry::folderSpace(plan.destination->folder());
    if (!space)
        return std::nullopt;
    const std::int64_t needed = spaceNeeded(plan, pieceCount, space->allocationUnit);
    if (space->freeBytes >= needed)
        return std::nullopt;
    return NotEnoughSpace{plan.destinationFolder, needed, space->freeBytes};
}

} // namespace

std::int64_t piecesWritten(std::int64_t sourceSize, std::int64_t splitSize) {
    const std::int64_t rest = sourceSize % splitSize;
    // Only the last piece's tail read can deliver fewer bytes than it asked for yet some.
    const bool endsInsideTailRead =
        rest % kBlockSize > 0 && rest / kBlockSize == splitSize / kBlockSize;
    return sourceSize / splitSize + 1 + (endsInsideTailRead ? 1 : 0);
}

std::optional<SplitRefusal> pieceSizeRefusal(std::int64_t splitSize, std::int64_t largestFile,
                                             const std::string& folder) {
    if (splitSize <= largestFile)
        return std::nullopt;
    split_refusal::PieceTooLarge refused{folder, largestFile, {}};
    for (const size_catalogue::Preset& preset : size_catalogue::presets()) {
        if (preset.bytes <= largestFile)
            refused.preset = preset.label;
    }
    return refused;
}

std::optional<SplitRefusal> sourceNameRefusal(const std::string& sourcePath) {
    return nameRefusal(deriveSplitNames(sourcePath));
}

std::variant<SplitPlan, SplitRefusal> checkSplitRequest(const SplitRequest& request,
                                                        const File& source) {
    const std::string& sourcePath = request.sourcePath;
    const std::int64_t sourceSize = request.sourceSize;
    const std::int64_t splitSize = request.splitSize;
    if (auto why = sourceRefusal(sourcePath, sourceSize, source, splitSize))
        return *why;
    SplitPlan plan{sourcePath, sourceSize,           splitSize, deriveSplitNames(sourcePath), {},
                   {},         request.writeChecksum};
    if (auto why = nameRefusal(plan.names))
        return *why;
    if (auto why = countRefusal(filledPieceCount(sourceSize, splitSize)))
        return *why;

    plan.destinationFolder = request.outputFolder.empty()
                                 ? plan.names.sourceFolder
                                 : paths::withTrailingSlash(request.outputFolder);
    try {
        plan.destination = std::make_shared<const Destination>(plan.destinationFolder);
    } catch (const IoError& error) {
        if (error.errorNumber() != ENOTDIR)
            throw;
        return split_refusal::NotAFolder{plan.destinationFolder};
    }
    const Folder::Limits limits = plan.destination->folder().limits();
    // A source name that leaves room for its pieces and script, but not for the checksum file's
    // longer ending, is split without it (the join then finds none) rather than failing once
    // every piece is written.
    const bool checksumNameFits =
        static_cast<std::int64_t>(checksum_file::nameFor(plan.names.baseName).size()) <=
        limits.longestName;
    plan.writeChecksum = plan.writeChecksum && checksumNameFits;
    const std::int64_t piecesToWrite = piecesWritten(sourceSize, splitSize);
    const std::vector<std::string> outputs = outputNames(plan, piecesToWrite, checksumNameFits);
    if (auto why = mediumRefusal(plan, limits, outputs))
        return *why;
    if (auto why = outputRefusal(plan, source, outputs))
        return *why;
    if (auto why = spaceRefusal(plan, piecesToWrite))
        return *why;
    return plan;
}
