#pragma once

#include <cstdint>
#include <string>
#include <utility>

// Why a split request said no. Nothing was written; the data is what a front end needs to say
// what happened and what the user can do.
struct SplitRefusal {
    enum class Reason {
        NoSource, // nothing, a folder, or no plain file at the source path
        EmptySource,
        UnknownSourceSize,  // the size could not be read when the source was chosen
        SourceSizeChanged,  // since it was chosen
        SplitSizeTooSmall,  // below one block
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
    };

    SplitRefusal() = default;
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
};

// A finished split: pieces baseName.1 to baseName.<pieceCount> and baseName.bat in folder, which
// recreate targetName.
struct SplitCompletion {
    std::string folder; // ends with "/"
    std::string baseName;
    std::string targetName;
    std::int64_t pieceCount = 0;
};

// How a split request ended. Failures of input/output are not outcomes: they throw IoError,
// after the job has removed every piece it wrote.
struct SplitOutcome {
    enum class Kind {
        Completed,        // completion says what was written
        Refused,          // refusal says why; nothing was written
        Stopped,          // the caller stopped it; what it wrote was removed
        SourceUnreadable, // the source could not be opened; nothing was written
    };

    Kind kind = Kind::Refused;
    SplitRefusal refusal;
    SplitCompletion completion;
    // SourceUnreadable: the file and what the system said, as "Could not open <path>: <reason>".
    std::string sourceProblem;
};
