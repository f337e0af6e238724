#pragma once

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <utility>
#include <variant>

#include "engine/NotEnoughSpace.h"
#include "platform/Folder.h"
#include "platform/IoError.h"

// Why a split request said no, one kind per struct. Nothing was written; the data is what a front
// end needs to say what happened and what the user can do.
namespace split_refusal {

// The source chosen at path.
struct Source {
    std::string path;
    bool operator==(const Source&) const = default;
};
// Nothing, a folder, or no plain file at path.
struct NoSource : Source {};
struct EmptySource : Source {};
// The size could not be read when the source was chosen.
struct UnknownSourceSize : Source {};
// The size changed since the source was chosen.
struct SourceSizeChanged : Source {};

// The split size is below one block.
struct SplitSizeTooSmall {
    bool operator==(const SplitSizeTooSmall&) const = default;
};

// name holds bytes that are not UTF-8, so no script can name it.
struct NotUtf8 {
    std::string name;
    bool operator==(const NotUtf8&) const = default;
};

// name holds character, which no rejoin script can hold.
struct ForbiddenCharacter {
    std::string name;
    char character = 0;
    bool operator==(const ForbiddenCharacter&) const = default;
};

// name begins with device, a name Windows keeps for a device.
struct DeviceName {
    std::string name;
    std::string device;
    bool operator==(const DeviceName&) const = default;
};

// The rejoin script would recreate name as recreatedAs.
struct Recreated {
    std::string name;
    std::string recreatedAs;
    bool operator==(const Recreated&) const = default;
};
// recreatedAs is only dots, a folder on Windows.
struct OnlyDots : Recreated {};
// recreatedAs ends in a dot or a blank, which Windows drops.
struct TrailingDotOrBlank : Recreated {};

// One piece would hold the whole source.
struct NoNeedToSplit {
    bool operator==(const NoNeedToSplit&) const = default;
};

// pieceCount pieces, more than kMostPieces.
struct TooManyPieces {
    std::int64_t pieceCount = 0;
    bool operator==(const TooManyPieces&) const = default;
};

// The output name is the source itself.
struct OverwritesSource {
    std::string name;
    bool operator==(const OverwritesSource&) const = default;
};

// Windows takes target, the name the script recreates, for the output name.
struct TargetLikeOutput {
    std::string name;
    std::string target;
    bool operator==(const TargetLikeOutput&) const = default;
};

// Something stands at name in folder.
struct NameExists {
    std::string folder;
    std::string name;
    bool operator==(const NameExists&) const = default;
};

// The output folder, which cannot take the pieces.
struct OutputFolder {
    std::string folder;
    bool operator==(const OutputFolder&) const = default;
};
// folder is a file, or leads to one.
struct NotAFolder : OutputFolder {};
// folder's file system holds no files (/proc) or is read-only.
struct UnwritableFolder : OutputFolder {};

// The output name is longer than folder's limit of bytes.
struct NameTooLong {
    std::string folder;
    std::string name;
    std::int64_t limit = 0;
    bool operator==(const NameTooLong&) const = default;
};

// folder's file system holds no file over limit bytes; preset is the largest that fits.
struct PieceTooLarge {
    std::string folder;
    std::int64_t limit = 0;
    std::string preset;
    bool operator==(const PieceTooLarge&) const = default;
};

} // namespace split_refusal

using SplitRefusal = std::variant<
    split_refusal::NoSource, split_refusal::EmptySource, split_refusal::UnknownSourceSize,
    split_refusal::SourceSizeChanged, split_refusal::SplitSizeTooSmall, split_refusal::NotUtf8,
    split_refusal::ForbiddenCharacter, split_refusal::DeviceName, split_refusal::OnlyDots,
    split_refusal::TrailingDotOrBlank, split_refusal::NoNeedToSplit, split_refusal::TooManyPieces,
    split_refusal::OverwritesSource, split_refusal::TargetLikeOutput, split_refusal::NameExists,
    NotEnoughSpace, split_refusal::NotAFolder, split_refusal::UnwritableFolder,
    split_refusal::NameTooLong, split_refusal::PieceTooLarge>;

// A finished split: pieces baseName.1 to baseName.<pieceCount> and baseName.bat in folder, which
// recreate targetName, and the checksum file checksumName beside them (empty when none).
struct SplitCompletion {
    std::string folder; // ends with "/"
    std::string baseName;
    std::string targetName;
    std::int64_t pieceCount = 0;
    std::string checksumName;
    // Whether folder still led to the folder written once the split was done, and where that
    // is now if not.
    Folder::Whereabouts whereabouts;
};

// A split that failed on input/output, and what became of the files it had written.
class SplitFailure : public std::exception {
public:
    enum class Cleanup {
        NothingWritten, // the failure came before the first piece
        Removed,        // every file the split wrote is gone
        NotAllRemoved,  // removalFailure says which file stayed, and why
    };

    SplitFailure(IoError cause, Cleanup cleanup, std::optional<IoError> removal = {})
        : m_cause(std::move(cause)), m_cleanup(cleanup), m_removal(std::move(removal)) {}

    const IoError& cause() const { return m_cause; }
    Cleanup cleanup() const { return m_cleanup; }
    const IoError* removalFailure() const { return m_removal ? &*m_removal : nullptr; }
    const char* what() const noexcept override { return m_cause.what(); }

private:
    IoError m_cause;
    Cleanup m_cleanup;
    std::optional<IoError> m_removal;
};

// The caller stopped the split; what it wrote was removed, unless removalFailure says which
// file stayed, and why.
struct SplitStopped {
    std::optional<IoError> removalFailure;
};

// The source could not be opened; nothing was written.
struct SourceUnreadable {
    IoError problem;
};

// How a split request ended. Failures of input/output are not outcomes: they throw SplitFailure,
// after the job has removed every piece it wrote.
using SplitOutcome = std::variant<SplitCompletion, SplitRefusal, SplitStopped, SourceUnreadable>;
