#include "engine/RejoinScript.h"

#include "engine/ScriptGrammar.h"
#include "engine/SplitNames.h"

namespace {

using namespace script_grammar;

// Everything after the first "Copy /b ": the entries and the target argument,
// ending further lines (each appending to the target) before one would grow too long.
std::string copyCommands(const std::vector<std::string>& quotedPieces,
                         const std::string& quotedTarget) {
    std::string text;
    std::size_t lineLength = kCopyCommand.size();
    bool lineHasPiece = false;
    bool firstLine = true;
    for (const std::string& piece : quotedPieces) {
        std::string entry = (firstLine && !lineHasPiece ? "" : kNextSource) + piece + " ";
        if (lineHasPiece && lineLength + entry.size() + quotedTarget.size() > kLongestScriptLine) {
            text += quotedTarget + kLineEnd;
            const std::string appendToTarget = kCopyCommand + quotedTarget + " ";
            text += appendToTarget;
            lineLength = appendToTarget.size();
            firstLine = false;
        }
        text += entry;
        lineLength += entry.size();
        lineHasPiece = true;
    }
    return text + quotedTarget + kLineEnd;
}

} // namespace

void RejoinScript::addPiece(const std::string& baseName, std::int64_t index) {
    m_quotedPieces.push_back(quoted(pieceName(baseName, index)));
}

// The pieces' names are the target's base name: the target tells the form.
std::string RejoinScript::text(const std::string& targetName) const {
    const bool utf8 = needsUtf8(targetName);
    std::string text = kEchoOff + kLineEnd;
    for (const std::string& line : utf8 ? kSwitchToUtf8 : std::vector<std::string>())
        text += line + kLineEnd;
    text += kCopyCommand + copyCommands(m_quotedPieces, quoted(targetName)) + kEcho +
            escapedForEcho(targetName) + kRecreated + kLineEnd;
    return utf8 ? text + kRestoreCodePage + kLineEnd : text;
}
