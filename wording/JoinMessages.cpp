#include "wording/JoinMessages.h"

#include "engine/ScriptGrammar.h"
#include "engine/SplitRequest.h"
#include "platform/VisibleText.h"

namespace {

std::string quoted(const std::string& name) {
    return "\"" + visibleText(name) + "\"";
}

std::string bytes(std::int64_t count) {
    return std::to_string(count) + " bytes";
}

// What was due where a script departs from the form the split writes.
std::string scriptPartText(ScriptPart part, const std::string& targetName) {
    using namespace script_grammar;
    switch (part) {
    case ScriptPart::EchoOff:
        return "\"" + kEchoOff + "\"";
    case ScriptPart::CopyCommand:
        return "\"" + kCopyCommand + "\"";
    case ScriptPart::QuotedName:
        return "a name in double quotes";
    case ScriptPart::NextPieceOrTarget:
        return "\" + \" and a piece's name, or \" \" and the target";
    case ScriptPart::MorePieces:
        return "\" + \" and a piece's name";
    case ScriptPart::TargetFirstAndLast:
        return quoted(targetName) + " first and last";
    case ScriptPart::LineEnd:
        return "the end of the line";
    case ScriptPart::ShortLine:
        return "a line of at most " + std::to_string(kLongestScriptLine) + " characters";
    case ScriptPart::EchoLine:
        return "\"" + kEcho + "\", the target's name and \"" + kRecreated + "\"";
    case ScriptPart::ScriptEnd:
        return "the end of the script";
    case ScriptPart::WholeScript:
        return "a rejoin script";
    case ScriptPart::FewerPieces:
        return "at most " + std::to_string(kMostPieces + 1) + " pieces";
    case ScriptPart::SwitchToUtf8:
        return "the lines that switch cmd to UTF-8, which a name outside plain ASCII needs";
    case ScriptPart::RestoreCodePage:
        return "\"" + kRestoreCodePage + "\", which switches back to the code page saved";
    case ScriptPart::AsciiCopyCommand:
        return "\"" + kCopyCommand + "\", since names in plain ASCII need no switch to UTF-8";
    }
    return {};
}

std::string atLine(int line, const std::string& scriptName) {
    return visibleText(scriptName) + ", line " + std::to_string(line) + ": ";
}

// Each refusal in its words; scriptName is the script as the user named it.
struct RefusalText {
    const std::string& scriptName;

    std::string operator()(const join_refusal::ScriptForm& r) const {
        return atLine(r.line, scriptName) + "expected " + scriptPartText(r.due, r.target) +
               ". Only a rejoin script as Orvanto writes it is joined.";
    }
    std::string operator()(const join_refusal::UnsafeName& r) const {
        return atLine(r.line, scriptName) + "the name " + quoted(r.name) +
               " is not one that Orvanto writes: a folder, a drive, or a name Windows refuses.";
    }
    std::string operator()(const join_refusal::PieceOutOfOrder& r) const {
        return atLine(r.line, scriptName) + "expected the piece " + quoted(r.due) + ", not " +
               quoted(r.name) + ".";
    }
    std::string operator()(const join_refusal::UnreadablePieces& r) const {
        std::string text;
        for (const std::string& name : r.missing)
            text += (text.empty() ? "" : " ") + ("The piece " + quoted(name) + " is missing.");
        for (const std::string& name : r.notPlainFiles)
            text += (text.empty() ? "" : " ") +
                    ("The piece " + quoted(name) + " is not a regular file.");
        return text;
    }
    std::string operator()(const join_refusal::ShortPiece& r) const {
        return "The piece " + quoted(r.name) + " is short: it holds " + bytes(r.size) +
               ", the first piece " + bytes(r.firstPieceSize) + ".";
    }
    std::string operator()(const join_refusal::LongPiece& r) const {
        return "The piece " + quoted(r.name) + " holds " + bytes(r.size) +
               ", more than the first piece's " + bytes(r.firstPieceSize) + ".";
    }
    std::string operator()(const join_refusal::TargetExists& r) const {
        return visibleText(r.path) + " already exists.";
    }
    std::string operator()(const join_refusal::ChecksumNotPlainFile& r) const {
        return "The checksum file " + quoted(r.name) +
               " is not a regular file: a link, a pipe or a device is not read.";
    }
    std::string operator()(const join_refusal::ChecksumForm& r) const {
        const std::string where = visibleText(r.name) + ", line " + std::to_string(r.line) + ": ";
        const std::string onlyOrvanto = " Only a checksum file as Orvanto writes it is read.";
        if (r.due.empty())
            return where + "expected the end of the file." + onlyOrvanto;
        return where + "expected 64 lowercase hexadecimal digits, two blanks and " + quoted(r.due) +
               " on a line of its own." + onlyOrvanto;
    }
    std::string operator()(const join_refusal::DigestMismatch& r) const {
        const std::string checksum = visibleText(r.checksumName);
        std::string text;
        for (const std::string& piece : r.pieces) {
            const std::string name = visibleText(piece);
            text += (text.empty() ? "" : " ") + name +
                    " is not the piece that was split: its SHA-256 differs from " + checksum +
                    ". Ask the sender for " + name + " again.";
        }
        if (!r.target.empty())
            text = "The pieces match " + checksum + ", but the file they make is not " +
                   visibleText(r.target) + " as it was split: its SHA-256 differs. Ask the " +
                   "sender for " + checksum + " again.";
        return text;
    }
    std::string operator()(const join_refusal::NotEnoughSpace& r) const {
        return "The recreated file needs " + bytes(r.bytesNeeded) + ", but only " +
               bytes(r.bytesFree) + " are free in " + visibleText(r.folder) + ".";
    }
};

} // namespace

std::string joinRefusalText(const JoinRefusal& refusal, const std::string& scriptName) {
    return std::visit(RefusalText{scriptName}, refusal);
}

std::string joinCompletionText(const JoinCompletion& completion) {
    const std::string checksum = visibleText(completion.checksumName);
    return visibleText(completion.path) + " has been recreated (" + bytes(completion.size) + ")." +
           (completion.verified
                ? " Every piece and the whole file match " + checksum + "."
                : " It was not verified: there is no " + checksum + " beside the rejoin script.");
}
