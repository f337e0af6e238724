#pragma once

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <utility>
#include <variant>

#include "platform/IoError.h"

// Why a split request said no. Nothing was written; the data is what a front end needs to say
// what happened and what the user can do.
struct SplitRefusal {
    enum class Reason {
        NoSource, // nothing, a folder, or no plain file at the source path
        EmptySource,
        UnknownSourceSize,  // the size could not be read when the source was chosen
        SourceSizeChanged,  // since it was chosen
        SplitSizeTooSmall,  // below one block
        NotUtf8,            // name holds bytes that are not UTF-8, so no script can name it
        ForbiddenCharacter, // name holds character, which no rejoin script can hold
        DeviceName,         // name begins with otherName, a Windows device
        OnlyDots,           // name would be recreated as otherName, a folder on Windows
        TrailingDotOrBlank, // name would be recreated as otherName, which Windows shortens
        NoNeedToSplit,      // one piece would hold the whole source
        TooManyPieces,      // pieceCount pieces, more than kMostPieces
        OverwritesSource,   // the output name is the source itself
        TargetLikeOutput,   // Windows takes the recreated otherName for the output name
        NameExists,         // something stands at name in folder
        NotEnoughSpace,     // folder has bytesFree of the bytesNeeded
        NotAFolder,         // folder is a file, or leads to one
        UnwritableFolder,   // folder's file system holds no files (/proc) or is read-only
        NameTooLong,        // the output name is longer than folder's limit of bytes
        PieceTooLarge,      // folder's file system holds no file over limit bytes; otherName is
                            // the largest preset that fits
    };

    explicit SplitRefusal(Reason why, std::string aboutName = {}, std::string other = {})
        : reason(why), name(std::move(aboutName)), otherName(std::move(other)) {}

    Reason reason = Reason::NoSource;
    std::string name;
    std::string otherName;
    char character = 0;
    std::int64_t pieceCount = 0;
    std::string folder;
    std::int64_t bytesNeeded = 0;
    std::int64_t bytesFree = 0;
    std::int64_t limit = 0;
};

// A finished split: pieces baseName.1 to baseName.<pieceCount> and baseName.bat in folder, which
// recreate targetName, and the checksum file checksumName beside them (empty when none).
struct SplitCompletion {
    std::string folder; // ends with "/"
    std::string baseName;
    std::string targetName;
    std::int64_t pieceCount = 0;
    std::string checksumName;
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
