#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "engine/NotEnoughSpace.h"

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
    WholeScript,        // a rejoin script: a file of its size is none
    FewerPieces,        // no more pieces than a split writes (kMostPieces and an empty one)
    SwitchToUtf8,       // the line of the switch to UTF-8 due there, which names outside ASCII need
    RestoreCodePage,    // the line that switches back, after the echo line
    AsciiCopyCommand,   // "Copy /b " on line 2: names in plain ASCII are written without the switch
};

// Why a join was refused, one kind per struct. Nothing is written when a join is refused.
namespace join_refusal {

// Line is not of the form the split writes; due was expected there (target: for
// ScriptPart::TargetFirstAndLast).
struct ScriptForm {
    int line = 0;
    ScriptPart due = ScriptPart::EchoOff;
    std::string target;
    bool operator==(const ScriptForm&) const = default;
};

// name on line is one the split would refuse, or holds a folder.
struct UnsafeName {
    int line = 0;
    std::string name;
    bool operator==(const UnsafeName&) const = default;
};

// name on line stands where the piece due belongs.
struct PieceOutOfOrder {
    int line = 0;
    std::string name;
    std::string due;
    bool operator==(const PieceOutOfOrder&) const = default;
};

// Pieces the join cannot read, each in order: nothing stands at those missing, and those
// notPlainFiles are a folder, a device, a pipe or a link.
struct UnreadablePieces {
    std::vector<std::string> missing;
    std::vector<std::string> notPlainFiles;
    bool operator==(const UnreadablePieces&) const = default;
};

// A piece of the wrong size: name holds size bytes, where the first piece holds firstPieceSize.
struct PieceSize {
    std::string name;
    std::int64_t size = 0;
    std::int64_t firstPieceSize = 0;
    bool operator==(const PieceSize&) const = default;
};
// Less than the first piece, where a whole piece was due.
struct ShortPiece : PieceSize {};
// More than the first piece.
struct LongPiece : PieceSize {};

// path already exists and may not be replaced.
struct TargetExists {
    std::string path;
    bool operator==(const TargetExists&) const = default;
};

// The checksum file name is a folder, a device, a pipe or a link.
struct ChecksumNotPlainFile {
    std::string name;
    bool operator==(const ChecksumNotPlainFile&) const = default;
};

// Line of the checksum file name is not a digest, two blanks and due on a line of its own; an
// empty due: the end of the file was due there.
struct ChecksumForm {
    std::string name;
    int line = 0;
    std::string due;
    bool operator==(const ChecksumForm&) const = default;
};

// The SHA-256 of each of pieces, in order, differs from the one the checksum file
// checksumName gives; with every piece whole, that of the recreated target differs.
struct DigestMismatch {
    std::string checksumName;
    std::vector<std::string> pieces;
    std::string target; // empty unless pieces is
    bool operator==(const DigestMismatch&) const = default;
};

} // namespace join_refusal

using JoinRefusal =
    std::variant<join_refusal::ScriptForm, join_refusal::UnsafeName, join_refusal::PieceOutOfOrder,
                 join_refusal::UnreadablePieces, join_refusal::ShortPiece, join_refusal::LongPiece,
                 join_refusal::TargetExists, NotEnoughSpace, join_refusal::ChecksumNotPlainFile,
                 join_refusal::ChecksumForm, join_refusal::DigestMismatch>;

// The recreated file stands at path and holds size bytes; verified when every digest matched the
// checksum file checksumName, which was not there otherwise.
struct JoinCompletion {
    std::string path;
    std::int64_t size = 0;
    std::string checksumName;
    bool verified = false;
};

// The caller stopped the join; the temporary file was removed.
struct JoinStopped {};

// How a join ended. Failures of input/output throw IoError instead.
using JoinOutcome = std::variant<JoinCompletion, JoinRefusal, JoinStopped>;
