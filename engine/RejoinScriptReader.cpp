#include "engine/RejoinScriptReader.h"

#include <optional>
#include <sstream>
#include <utility>

#include "engine/ScriptGrammar.h"
#include "engine/SplitNames.h"
#include "engine/SplitRequest.h"
#include "engine/WindowsNames.h"

namespace {

using namespace script_grammar;

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
    }
    return lines;
}

JoinRefusal formFault(int line, ScriptPart expected, const std::string& target = "") {
    return join_refusal::ScriptForm{line, expected, target};
}

// One line of the script, read from left to right.
class LineReader {
public:
    explicit LineReader(const std::string& text) : m_text(text) {}

    bool take(const std::string& literal) {
        if (m_text.compare(m_position, literal.size(), literal) != 0)
            return false;
        m_position += literal.size();
        return true;
    }

    std::optional<std::string> takeQuotedName() {
        if (!take("\""))
            return std::nullopt;
        const std::size_t end = m_text.find('"', m_position);
        if (end == std::string::npos)
            return std::nullopt;
        const std::string quoted = m_text.substr(m_position, end - m_position);
        m_position = end + 1;
        return unquoted(quoted);
    }

    bool atEnd() const { return m_position == m_text.size(); }

private:
    const std::string& m_text;
    std::size_t m_position = 0;
};

// "Copy /b "FIRST" + "MORE" + ... "TARGET"": the names in the order they stand.
struct CopyLine {
    std::string first;
    std::vector<std::string> more;
    std::string target;
};

std::variant<CopyLine, JoinRefusal> readCopyLine(const std::string& line, int number) {
    LineReader reader(line);
    CopyLine copy;
    if (!reader.take(kCopyCommand))
        return formFault(number, ScriptPart::CopyCommand);
    std::optional<std::string> name = reader.takeQuotedName();
    if (!name)
        return formFault(number, ScriptPart::QuotedName);
    copy.first = *name;
    while (reader.take(" " + kNextSource)) {
        name = reader.takeQuotedName();
        if (!name)
            return formFault(number, ScriptPart::QuotedName);
        copy.more.push_back(*name);
    }
    if (!reader.take(" "))
        return formFault(number, ScriptPart::NextPieceOrTarget);
    name = reader.takeQuotedName();
    if (!name)
        return formFault(number, ScriptPart::QuotedName);
    if (!reader.atEnd())
        return formFault(number, ScriptPart::LineEnd);
    copy.target = *name;
    return copy;
}

bool isSafeName(const std::string& name) {
    return !name.empty() && name.find('/') == std::string::npos &&
           windows_names::faultOf(name) == windows_names::NameFault::None;
}

// Collects the pieces of the copy lines with the line each stands on.
class PlanBuilder {
public:
    std::optional<JoinRefusal> addFirstLine(const CopyLine& copy, int line) {
        m_plan.targetName = copy.target;
        if (!isSafeName(copy.target))
            return join_refusal::UnsafeName{line, copy.target};
        m_baseName = deriveSplitNames(copy.target).baseName;
        if (auto fault = addPiece(copy.first, line))
            return fault;
        return addPieces(copy.more, line);
    }

    // A continuation line appends to the target: it names it first and last.
    std::optional<JoinRefusal> addContinuationLine(const CopyLine& copy, int line) {
        if (copy.first != m_plan.targetName || copy.target != m_plan.targetName)
            return formFault(line, ScriptPart::TargetFirstAndLast, m_plan.targetName);
        if (copy.more.empty())
            return formFault(line, ScriptPart::MorePieces);
        return addPieces(copy.more, line);
    }

    std::optional<JoinRefusal> checkTargetIsNoPiece(int line) const {
        const std::string& target = m_plan.targetName;
        for (const std::string& piece : m_plan.pieceNames) {
            if (windows_names::sameFileName(target, piece))
                return join_refusal::UnsafeName{line, target};
        }
        if (windows_names::sameFileName(target, scriptName(m_baseName)))
            return join_refusal::UnsafeName{line, target};
        return std::nullopt;
    }

    const JoinPlan& plan() const { return m_plan; }

private:
    std::optional<JoinRefusal> addPieces(const std::vector<std::string>& names, int line) {
        for (const std::string& name : names) {
            if (auto fault = addPiece(name, line))
                return fault;
        }
        return std::nullopt;
    }

    std::optional<JoinRefusal> addPiece(const std::string& name, int line) {
        if (!isSafeName(name))
            return join_refusal::UnsafeName{line, name};
        // Each piece stays open during the join: no more than a split makes.
        if (static_cast<std::int64_t>(m_plan.pieceNames.size()) > kMostPieces)
            return formFault(line, ScriptPart::FewerPieces);
        const std::string due =
            pieceName(m_baseName, static_cast<std::int64_t>(m_plan.pieceNames.size()) + 1);
        if (name != due)
            return join_refusal::PieceOutOfOrder{line, name, due};
        m_plan.pieceNames.push_back(name);
        return std::nullopt;
    }

    JoinPlan m_plan;
    std::string m_baseName;
};

std::optional<JoinRefusal> readEchoLine(const std::string& line, int number,
                                        const std::string& target) {
    if (line.size() < kEcho.size() + kRecreated.size() || line.rfind(kEcho, 0) != 0 ||
        line.compare(line.size() - kRecreated.size(), kRecreated.size(), kRecreated) != 0)
        return formFault(number, ScriptPart::EchoLine);
    const std::string escaped =
        line.substr(kEcho.size(), line.size() - kEcho.size() - kRecreated.size());
    if (unescapedFromEcho(escaped) != target)
        return formFault(number, ScriptPart::EchoLine);
    return std::nullopt;
}

// The lines after "@ECHO OFF" that switch to UTF-8, when line 2 begins them: the line where the
// copy lines begin.
std::variant<int, JoinRefusal> readSwitchToUtf8(const std::vector<std::string>& lines) {
    for (std::size_t i = 0; i < kSwitchToUtf8.size(); ++i) {
        const int number = static_cast<int>(i) + 2;
        if (static_cast<int>(lines.size()) < number || lines[number - 1] != kSwitchToUtf8[i])
            return formFault(number, ScriptPart::SwitchToUtf8);
    }
    return static_cast<int>(kSwitchToUtf8.size()) + 2;
}

// Which form the names need: the switch is there exactly when a name is not plain ASCII.
std::optional<JoinRefusal> checkForm(const std::string& targetName, bool utf8) {
    if (needsUtf8(targetName) == utf8)
        return std::nullopt;
    return formFault(2, utf8 ? ScriptPart::AsciiCopyCommand : ScriptPart::SwitchToUtf8);
}

} // namespace

std::variant<JoinPlan, JoinRefusal> readRejoinScript(const std::string& scriptText) {
    const std::vector<std::string> lines = linesOf(scriptText);
    if (lines.empty() || lines[0] != kEchoOff)
        return formFault(1, ScriptPart::EchoOff);
    const bool utf8 = lines.size() > 1 && lines[1] == kSwitchToUtf8.front();
    int firstCopyLine = 2;
    if (utf8) {
        const auto switched = readSwitchToUtf8(lines);
        if (const auto* fault = std::get_if<JoinRefusal>(&switched))
            return *fault;
        firstCopyLine = std::get<int>(switched);
    }
    PlanBuilder builder;
    int number = firstCopyLine;
    for (; number <= static_cast<int>(lines.size()); ++number) {
        const std::string& line = lines[number - 1];
        if (number > firstCopyLine && line.rfind(kCopyCommand, 0) != 0)
            break;
        // cmd would read a longer line cut, as another command.
        if (lengthInCmd(line, utf8) > kLongestScriptLine)
            return formFault(number, ScriptPart::ShortLine);
        auto copy = readCopyLine(line, number);
        if (auto* fault = std::get_if<JoinRefusal>(&copy))
            return *fault;
        const auto added = number == firstCopyLine
                               ? builder.addFirstLine(std::get<CopyLine>(copy), number)
                               : builder.addContinuationLine(std::get<CopyLine>(copy), number);
        if (added)
            return *added;
    }
    if (number == firstCopyLine)
        return formFault(firstCopyLine, ScriptPart::CopyCommand);
    if (auto fault = checkForm(builder.plan().targetName, utf8))
        return *fault;
    if (auto fault = builder.checkTargetIsNoPiece(firstCopyLine))
        return *fault;
    const std::string echo = number <= static_cast<int>(lines.size()) ? lines[number - 1] : "";
    if (auto fault = readEchoLine(echo, number, builder.plan().targetName))
        return *fault;
    if (utf8) {
        ++number;
        if (number > static_cast<int>(lines.size()) || lines[number - 1] != kRestoreCodePage)
            return formFault(number, ScriptPart::RestoreCodePage);
    }
    if (number < static_cast<int>(lines.size()))
        return formFault(number + 1, ScriptPart::ScriptEnd);
    return builder.plan();
}
