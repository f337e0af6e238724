#include "engine/RejoinScript.h"

#include "engine/SplitNames.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/IoError.h"

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

// Everything after the first "Copy /b ": the entries and the target argument,
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

[[noreturn]] void removeAfterFailure(const std::string& path, const IoError& cause) {
    try {
        fs_entry::removeFile(path);
    } catch (const IoError& removal) {
        throw IoError(std::string(cause.what()) + "; " + removal.what());
    }
    throw cause;
}

} // namespace

void RejoinScript::addPiece(const std::string& baseName, std::int64_t index) {
    m_quotedPieces.push_back(quoted(pieceName(baseName, index)));
}

std::string RejoinScript::text(const std::string& targetName) const {
    return "@ECHO OFF" + kLineEnd + kCopyCommand +
           copyCommands(m_quotedPieces, quoted(targetName)) + "@ECHO " + escapeForEcho(targetName) +
           " has been recreated for you." + kLineEnd;
}

void RejoinScript::write(const std::string& path, const std::string& targetName) const {
    const std::string content = text(targetName);
    File file = File::createNew(path);
    try {
        file.write(content.data(), content.size());
        // The script is what makes the pieces whole: it must be on the medium before the split
        // says it is finished.
        file.syncToDevice();
        file.close();
    } catch (const IoError& error) {
        // A half script would make cmd append into the first piece.
        removeAfterFailure(path, error);
    }
}
