#include "wording/JoinMessages.h"

#include "engine/ScriptGrammar.h"
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
    }
    return {};
}

std::string atLine(const JoinRefusal& refusal, const std::string& scriptName) {
    return visibleText(scriptName) + ", line " + std::to_string(refusal.line) + ": ";
}

} // namespace

std::string joinRefusalText(const JoinRefusal& refusal, const std::string& scriptName) {
    using Kind = JoinRefusal::Kind;
    switch (refusal.kind) {
    case Kind::ScriptForm:
        return atLine(refusal, scriptName) + "expected " +
               scriptPartText(refusal.scriptPart, refusal.name) +
               ". Only a rejoin script as Orvanto writes it is joined.";
    case Kind::UnsafeName:
        return atLine(refusal, scriptName) + "the name " + quoted(refusal.name) +
               " is not one that Orvanto writes: a folder, a drive, or a name Windows refuses.";
    case Kind::PieceOutOfOrder:
        return atLine(refusal, scriptName) + "expected the piece " + quoted(refusal.expected) +
               ", not " + quoted(refusal.name) + ".";
    case Kind::MissingPiece:
        return "The piece " + quoted(refusal.name) + " is missing.";
    case Kind::NotARegularFile:
        return "The piece " + quoted(refusal.name) + " is not a regular file.";
    case Kind::ShortPiece:
        return "The piece " + quoted(refusal.name) + " is short: it holds " + bytes(refusal.size) +
               ", the first piece " + bytes(refusal.expectedSize) + ".";
    case Kind::LongPiece:
        return "The piece " + quoted(refusal.name) + " holds " + bytes(refusal.size) +
               ", more than the first piece's " + bytes(refusal.expectedSize) + ".";
    case Kind::TargetExists:
        return visibleText(refusal.name) + " already exists.";
    case Kind::NotEnoughSpace:
        return "The recreated file needs " + bytes(refusal.size) + ", but only " +
               bytes(refusal.expectedSize) + " are free in " + visibleText(refusal.name) + ".";
    }
    return {};
}

std::string joinCompletionText(const JoinCompletion& completion) {
    return visibleText(completion.path) + " has been recreated (" + bytes(completion.size) + ").";
}
