#include "engine/RejoinScript.h"

#include "engine/SplitNames.h"
#include "platform/FileSystem.h"

namespace {

const std::string kLineEnd = "\r\n";
const std::string kCopyCommand = "Copy /b ";
// cmd reads no longer line than this.
constexpr std::size_t kLongestLine = 8191;

// cmd expands "%" before it looks at quotes, so a literal one is written twice.
std::string escapePercent(const std::string& name) {
    std::string escaped;
    for (const char c : name) {
        if (c == '%')
            escaped += '%';
        escaped += c;
    }
    return escaped;
}

// The echo line is not quoted: its operators and parentheses must be taken literally.
std::string escapeForEcho(const std::string& name) {
    std::string escaped;
    for (const char c : escapePercent(name)) {
        switch (c) {
        case '^':
        case '&':
        case '|':
        case '<':
        case '>':
        case '(':
        case ')':
            escaped += '^';
            break;
        default:
            break;
        }
        escaped += c;
    }
    return escaped;
}

std::string quoted(const std::string& name) {
    return "\"" + escapePercent(name) + "\"";
}

// Everything after the "Copy /b " that BeginScript wrote: the entries and the target argument,
// ending further lines (each appending to the target) before one would grow too long.
std::string copyCommands(const std::vector<std::string>& quotedPieces,
                         const std::string& quotedTarget) {
    std::string text;
    std::size_t lineLength = kCopyCommand.size();
    bool lineHasPiece = false;
    bool firstLine = true;
    for (const std::string& piece : quotedPieces) {
        std::string entry = (firstLine && !lineHasPiece ? "" : "+ ") + piece + " ";
        if (lineHasPiece && lineLength + entry.size() + quotedTarget.size() > kLongestLine) {
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

void RejoinScript::BeginScript(const std::string& scriptPath) {
    m_path = scriptPath;
    m_quotedPieces.clear();
    m_file.emplace(File::createReplacing(scriptPath));
    const std::string start = "@ECHO OFF" + kLineEnd + kCopyCommand;
    m_file->write(start.data(), start.size());
}

void RejoinScript::AddPieceEntry(const std::string& baseName, std::int64_t index) {
    m_quotedPieces.push_back(quoted(pieceName(baseName, index)));
}

void RejoinScript::FinishScript(const std::string& targetName) {
    const std::string rest = copyCommands(m_quotedPieces, quoted(targetName)) + "@ECHO " +
                             escapeForEcho(targetName) + " has been recreated for you." + kLineEnd;
    m_file->write(rest.data(), rest.size());
    m_file->close();
    m_file.reset();
}

void RejoinScript::discard() {
    if (!m_file)
        return;
    m_file.reset();
    fs_entry::removeFile(m_path);
}

bool RejoinScript::isOpen() const {
    return m_file.has_value();
}
