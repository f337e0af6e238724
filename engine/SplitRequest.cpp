#include "engine/SplitJob.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

#include "engine/RejoinScript.h"
#include "engine/SplitFile.h"
#include "engine/SplitHost.h"
#include "engine/SplitNames.h"
#include "engine/WindowsNames.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "settings/Settings.h"

namespace {

constexpr std::int64_t kMostPieces = 399;

const char* const kAlreadyRunning =
    "A split is already running. Wait until it has finished before you start another one.";

const char* const kNoSourceSelected =
    "Please click the \"Select A File To Split\" button at the top. Either you have not selected "
    "a file to \"split\" or the file you selected does not exist.";

const char* const kEmptySource = "The file you selected is empty, so there is nothing to split.";

const char* const kUnknownSourceSize =
    "The size of the file you selected could not be read. Click the \"Select A File To Split\" "
    "button and select the file again.";

// The job reads no further than the size the checks used, so a file that has grown since it was
// chosen would be cut short.
const char* const kSourceSizeChanged =
    "The file you selected has changed size since you selected it. Click the \"Select A File To "
    "Split\" button and select the file again.";

const char* const kSplitSizeTooSmall = "The split size must be at least 8192 bytes.";

const char* const kNoNeedToSplit =
    "The file size you selected is larger than the file itself, so there is no need to split the "
    "file at this size.  You can select the \"Customize\" option and highlight a size in the box, "
    "or click on one of the sizes already listed that is smaller than the current file size so "
    "it can be split.";

std::string tooManyPiecesMessage() {
    return "You chose an incorrect split size. Based on the split size you chose, this would "
           "involve creating more than " +
           std::to_string(kMostPieces) +
           " split files! This is not realistic, make sure you have selected the proper split "
           "sizes as typically this means you may have made a mistake.";
}

std::string existingNameMessage(const std::string& name) {
    return "Some file names already exist that match the split names which need to be created. "
           "The first found file name is " +
           name +
           ". You should either move your file to a separate or empty folder or delete these "
           "destination file names and then attempt the split again.";
}

std::string unsafeCharacterMessage(const std::string& fileName) {
    return "The file name " + fileName +
           " contains a character that the rejoin script cannot hold on Windows: a double "
           "quote, one of * : < > ? \\ |, a control character or a letter outside plain ASCII. "
           "Rename the file and then attempt the split again.";
}

std::string deviceNameMessage(const std::string& fileName, const std::string& baseName) {
    return "The file name " + fileName + " begins with " + baseName +
           ", a name that Windows keeps for a device, so the rejoin script could not recreate the "
           "file on Windows. Rename the file and then attempt the split again.";
}

std::string onlyDotsMessage(const std::string& fileName, const std::string& targetName) {
    return "The file name " + fileName + " would be recreated by the rejoin script as " +
           targetName +
           ", which Windows takes for a folder. Rename the file and then attempt the split again.";
}

std::string targetClashMessage(const std::string& targetName, const std::string& name) {
    return "The rejoin script would recreate the file as " + targetName +
           ", which Windows takes for the name " + name +
           " that the script itself needs, so the rejoin would overwrite it. Rename the file and "
           "then attempt the split again.";
}

std::string overwritesSourceMessage(const std::string& name) {
    return "The split would overwrite the file you selected, because the split file name " + name +
           " is the name of that file. Move the file to a separate folder or choose another "
           "output folder and then attempt the split again.";
}

std::string lowSpaceMessage(const std::string& folder, std::int64_t needed, std::int64_t free) {
    return "There is not enough free space in the folder " + folder +
           " for the split files. The split needs " + std::to_string(needed) + " bytes and only " +
           std::to_string(free) + " bytes are free.";
}

SplitOutcome refuse(SplitHost& host, const std::string& message) {
    host.information(message);
    return SplitOutcome::Refused;
}

std::int64_t pieceCountOf(std::int64_t sourceSize, std::int64_t splitSize) {
    return sourceSize / splitSize + (sourceSize % splitSize > 0 ? 1 : 0);
}

// Piece and script names share the target's base name, so the target name carries every
// character and device name of them.
std::optional<std::string> unsafeNameMessage(const SplitNames& names) {
    switch (windows_names::faultOf(names.targetName)) {
    case windows_names::NameFault::None:
        return std::nullopt;
    case windows_names::NameFault::Character:
        return unsafeCharacterMessage(names.fileName);
    case windows_names::NameFault::Device:
        return deviceNameMessage(names.fileName, names.baseName);
    case windows_names::NameFault::OnlyDots:
        return onlyDotsMessage(names.fileName, names.targetName);
    }
    return std::nullopt;
}

// The output folder of the settings file, or the source's folder when none is set.
std::string destinationFolder(const SplitNames& names) {
    const std::string outputFolder = settings::readOutputFolder();
    if (outputFolder.empty())
        return names.sourceFolder;
    return paths::withTrailingSlash(outputFolder);
}

// Every name the job writes: its pieces in order, then the script.
std::vector<std::string> outputNames(const SplitNames& names, std::int64_t pieceCount) {
    std::vector<std::string> outputs;
    for (std::int64_t index = 1; index <= pieceCount; ++index)
        outputs.push_back(pieceName(names.baseName, index));
    outputs.push_back(scriptName(names.baseName));
    return outputs;
}

std::optional<std::string> firstOutputWhere(const std::vector<std::string>& outputs,
                                            const std::function<bool(const std::string&)>& test) {
    const auto found = std::find_if(outputs.begin(), outputs.end(), test);
    return found == outputs.end() ? std::nullopt : std::optional<std::string>(*found);
}

std::int64_t roundedUp(std::int64_t bytes, std::int64_t unit) {
    return (bytes + unit - 1) / unit * unit;
}

// What the pieces and the script take on disk: every file takes whole allocation units.
std::int64_t spaceNeeded(const SplitPlan& plan, std::int64_t pieceCount, std::int64_t unit) {
    const std::int64_t fullPieces = plan.sourceSize / plan.splitSize;
    RejoinScript script;
    for (std::int64_t index = 1; index <= pieceCount; ++index)
        script.addPiece(plan.names.baseName, index);
    const auto scriptSize = static_cast<std::int64_t>(script.text(plan.names.targetName).size());
    return fullPieces * roundedUp(plan.splitSize, unit) +
           roundedUp(plan.sourceSize % plan.splitSize, unit) + roundedUp(scriptSize, unit);
}

} // namespace

std::int64_t GetSourceSize(const std::string& path) {
    return fs_entry::targetSize(path);
}

SplitOutcome StartSplit(const std::string& sourcePath, std::int64_t sourceSize,
                        std::int64_t splitSize, SplitHost& host) {
    if (isSplitRunning())
        return refuse(host, kAlreadyRunning);
    if (fs_entry::targetKind(sourcePath) != fs_entry::Kind::Regular)
        return refuse(host, kNoSourceSelected);
    if (sourceSize == 0)
        return refuse(host, kEmptySource);
    if (sourceSize < 0)
        return refuse(host, kUnknownSourceSize);
    if (GetSourceSize(sourcePath) != sourceSize)
        return refuse(host, kSourceSizeChanged);
    if (splitSize < kBlockSize)
        return refuse(host, kSplitSizeTooSmall);

    const std::int64_t pieceCount = pieceCountOf(sourceSize, splitSize);
    SplitPlan plan{sourcePath, sourceSize, splitSize, deriveSplitNames(sourcePath), {}};
    if (const auto message = unsafeNameMessage(plan.names))
        return refuse(host, *message);
    if (pieceCount == 1)
        return refuse(host, kNoNeedToSplit);
    if (pieceCount > kMostPieces)
        return refuse(host, tooManyPiecesMessage());

    plan.destinationFolder = destinationFolder(plan.names);
    const std::int64_t piecesToWrite = piecesWritten(sourceSize, splitSize);
    const std::vector<std::string> outputs = outputNames(plan.names, piecesToWrite);
    const std::string& folder = plan.destinationFolder;
    if (const auto name = firstOutputWhere(outputs, [&](const std::string& output) {
            return fs_entry::isSameFile(folder + output, sourcePath);
        }))
        return refuse(host, overwritesSourceMessage(*name));
    // The rejoin's copy would write over a piece it still reads, or over the running script.
    // The first piece would work (copy appends onto its first source), but nothing is gained
    // by relying on that.
    if (const auto name = firstOutputWhere(outputs, [&](const std::string& output) {
            return windows_names::sameFileName(plan.names.targetName, output);
        }))
        return refuse(host, targetClashMessage(plan.names.targetName, *name));
    // Whatever stands at a name, a folder or a dot-file included, belongs to someone else.
    if (const auto name = firstOutputWhere(outputs, [&](const std::string& output) {
            return fs_entry::entryKind(folder + output) != fs_entry::Kind::None;
        }))
        return refuse(host, existingNameMessage(*name));
    if (const auto space = fs_entry::folderSpace(folder)) {
        const std::int64_t needed = spaceNeeded(plan, piecesToWrite, space->allocationUnit);
        if (space->freeBytes < needed)
            return refuse(host, lowSpaceMessage(folder, needed, space->freeBytes));
    }

    return SplitFile(plan, host);
}
