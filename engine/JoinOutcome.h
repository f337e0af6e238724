#pragma once

#include <cstdint>
#include <string>
#include <variant>

// What the script reader expected where a script departs from the form the split writes.
enum class ScriptPart {
    EchoOff,            // the line "@ECHO OFF"
    CopyCommand,        // "Copy /b "
    QuotedName,         // a name in double quotes
    NextPieceOrTarget,  // " + " and a piece's name, or " " and the target
    MorePieces,         // " + " and a piece's name
    TargetFirstAndLast, // on a continuation line: the target, in quotes, first and last
    LineEnd,            // the end of the line
    ShortLine,          // a line of at most kLongestScriptLine characters
    EchoLine,           // "@ECHO ", the target's name and " has been recreated for you."
    ScriptEnd,          // the end of the script
};

// Why a join was refused. Nothing is written when a join is refused.
struct JoinRefusal {
    enum class Kind {
        ScriptForm,      // line is not of the form the split writes; scriptPart was due there
        UnsafeName,      // name on line is one the split would refuse, or holds a folder
        PieceOutOfOrder, // name on line stands where the piece expected belongs
        MissingPiece,    // nothing at name
        NotARegularFile, // name is a folder, a device or a pipe
        ShortPiece,      // name holds size bytes where expectedSize were due
        LongPiece,       // name holds size bytes, more than the expectedSize of the first piece
        TargetExists,    // name already exists and may not be replaced
        NotEnoughSpace,  // size bytes are needed in the folder name, expectedSize are free
    };

    Kind kind;
    int line = 0;
    std::string name;
    std::string expected;
    std::int64_t size = 0;
    std::int64_t expectedSize = 0;
    ScriptPart scriptPart = ScriptPart::EchoOff;
};

// The recreated file stands at path and holds size bytes.
struct JoinCompletion {
    std::string path;
    std::int64_t size = 0;
};

// The caller stopped the join; the temporary file was removed.
struct JoinStopped {};

// How a join ended. Failures of input/output throw IoError instead.
using JoinOutcome = std::variant<JoinCompletion, JoinRefusal, JoinStopped>;
