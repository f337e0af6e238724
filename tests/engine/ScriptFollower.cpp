#include "ScriptFollower.h"

#include <gtest/gtest.h>

#include "engine/ScriptGrammar.h"
#include "support/TempFolder.h"

using namespace script_grammar;

std::vector<std::string> scriptLines(const std::string& scriptText) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < scriptText.size()) {
        const std::size_t end = scriptText.find(kLineEnd, start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "the script's last line has no CR LF";
            break;
        }
        const std::string line = scriptText.substr(start, end - start);
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "a bare CR or LF: " << line;
        lines.push_back(line);
        start = end + kLineEnd.size();
    }
    return lines;
}

CopyLine parseCopyLine(const std::string& line) {
    EXPECT_EQ(line.rfind(kCopyCommand, 0), 0u) << line;
    std::vector<std::string> names;
    std::size_t pos = kCopyCommand.size();
    while (pos < line.size()) {
        if (line.compare(pos, kNextSource.size(), kNextSource) == 0)
            pos += kNextSource.size();
        if (line[pos] != '"') {
            ADD_FAILURE() << "no quoted name at " << pos << " of " << line;
            return {};
        }
        const std::size_t close = line.find('"', pos + 1);
        if (close == std::string::npos) {
            ADD_FAILURE() << "an unclosed quote in " << line;
            return {};
        }
        const auto name = unquoted(line.substr(pos + 1, close - pos - 1));
        if (!name) {
            ADD_FAILURE() << "a lone % in " << line;
            return {};
        }
        names.push_back(*name);
        pos = close + 1;
        if (pos < line.size()) {
            EXPECT_EQ(line[pos], ' ') << line;
            ++pos;
        }
    }
    CopyLine copy;
    if (names.empty())
        return copy;
    copy.target = names.back();
    names.pop_back();
    copy.sources = names;
    return copy;
}

std::string followRejoinScript(const std::string& folder, const std::string& scriptName) {
    std::string target;
    for (const std::string& line : scriptLines(readFile(folder + scriptName))) {
        if (line.rfind(kCopyCommand, 0) != 0)
            continue;
        const CopyLine copy = parseCopyLine(line);
        std::string joined;
        for (const std::string& source : copy.sources)
            joined += readFile(folder + source);
        writeFile(folder + copy.target, joined);
        target = copy.target;
    }
    return target;
}
