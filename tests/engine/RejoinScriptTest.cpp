#include "engine/RejoinScript.h"
#include "engine/RejoinScriptReader.h"

#include <gtest/gtest.h>

#include "ScriptFollower.h"
#include "engine/RejoinScriptReader.h"
#include "engine/ScriptGrammar.h"
#include "engine/SplitNames.h"
#include "support/TempFolder.h"

namespace {

// The script of a split of the named source into pieceCount pieces.
std::string writtenScript(const TempFolder& folder, const std::string& sourceName,
                          std::int64_t pieceCount) {
    const SplitNames names = deriveSplitNames(folder.file(sourceName));
    RejoinScript script;
    for (std::int64_t index = 1; index <= pieceCount; ++index)
        script.addPiece(names.baseName, index);
    return script.text(names.targetName);
}

// Length of the one copy line for pieceCount pieces of a base name of baseLength characters
// and a target of baseLength + 2 (".x").
std::size_t oneCopyLineLength(std::size_t baseLength, int pieceCount) {
    std::size_t length = script_grammar::kCopyCommand.size() + baseLength + 5;
    for (int index = 2; index <= pieceCount; ++index)
        length += baseLength + 6 + std::to_string(index).size();
    return length + baseLength + 4;
}

} // namespace

TEST(RejoinScript, WritesTheExactBytesOfTheMovieExample) {
    TempFolder folder;
    const std::string script = writtenScript(folder, "movie.avi", 3);
    EXPECT_EQ(script, "@ECHO OFF\r\n"
                      "Copy /b \"movie.1\" + \"movie.2\" + \"movie.3\" \"movie.avi\"\r\n"
                      "@ECHO movie.avi has been recreated for you.\r\n");
    EXPECT_EQ(script.size(), 111u);
}

TEST(RejoinScript, WritesOrdinaryNamesUnchangedAndEscapesWhatCmdWouldReadAsSyntax) {
    const struct {
        const char* source;
        std::int64_t pieces;
        const char* copyLine;
        const char* echoLine;
    } cases[] = {
        {"a.zip", 2, "Copy /b \"a.1\" + \"a.2\" \"a.zip\"",
         "@ECHO a.zip has been recreated for you."},
        {"README", 2, "Copy /b \"README.1\" + \"README.2\" \"README\"",
         "@ECHO README has been recreated for you."},
        {"my.holiday.avi", 2, "Copy /b \"my.1\" + \"my.2\" \"my.holiday.avi\"",
         "@ECHO my.holiday.avi has been recreated for you."},
        {".profile", 2, "Copy /b \".1\" + \".2\" \".profile\"",
         "@ECHO .profile has been recreated for you."},
        {"my movie.mp4", 2, "Copy /b \"my movie.1\" + \"my movie.2\" \"my movie.mp4\"",
         "@ECHO my movie.mp4 has been recreated for you."},
        {"v.mkv", 11,
         "Copy /b \"v.1\" + \"v.2\" + \"v.3\" + \"v.4\" + \"v.5\" + \"v.6\" + \"v.7\" + \"v.8\" + "
         "\"v.9\" + \"v.10\" + \"v.11\" \"v.mkv\"",
         "@ECHO v.mkv has been recreated for you."},
        // What cmd would read as syntax is escaped.
        {"100%.txt", 2, "Copy /b \"100%%.1\" + \"100%%.2\" \"100%%.txt\"",
         "@ECHO 100%%.txt has been recreated for you."},
        {"a&b (1).dat", 2, "Copy /b \"a&b (1).1\" + \"a&b (1).2\" \"a&b (1).dat\"",
         "@ECHO a^&b ^(1^).dat has been recreated for you."},
        {"x^y|z<w>.%v%", 2, "Copy /b \"x^y|z<w>.1\" + \"x^y|z<w>.2\" \"x^y|z<w>.%%v%%\"",
         "@ECHO x^^y^|z^<w^>.%%v%% has been recreated for you."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        TempFolder folder;
        const std::vector<std::string> lines =
            scriptLines(writtenScript(folder, c.source, c.pieces));
        ASSERT_EQ(lines.size(), 3u);
        EXPECT_EQ(lines[0], "@ECHO OFF");
        EXPECT_EQ(lines[1], c.copyLine);
        EXPECT_EQ(lines[2], c.echoLine);
    }
}

TEST(RejoinScript, SplitsALongCopyCommandIntoAppendingLines) {
    TempFolder folder;
    const std::string base(60, 'n');
    const std::string target = base + ".dat";
    const std::vector<std::string> lines = scriptLines(writtenScript(folder, target, 400));
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines.front(), "@ECHO OFF");
    EXPECT_EQ(lines.back(), "@ECHO " + target + " has been recreated for you.");

    std::vector<std::string> pieces;
    for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_LE(lines[i].size(), 8191u);
        const CopyLine copy = parseCopyLine(lines[i]);
        EXPECT_EQ(copy.target, target);
        ASSERT_FALSE(copy.sources.empty());
        // Every line after the first appends to the target made so far.
        if (i > 1) {
            EXPECT_EQ(copy.sources.front(), target);
        }
        pieces.insert(pieces.end(), copy.sources.begin() + (i > 1 ? 1 : 0), copy.sources.end());
        // A line ends only when the next entry (+ "name.NNN" ) would not have fitted.
        if (i + 2 < lines.size()) {
            EXPECT_GT(lines[i].size() + base.size() + 9, 8191u);
        }
    }
    ASSERT_EQ(pieces.size(), 400u);
    for (std::size_t i = 0; i < pieces.size(); ++i)
        EXPECT_EQ(pieces[i], pieceName(base, static_cast<std::int64_t>(i + 1)));
}

TEST(RejoinScript, KeepsOneCopyLineUpTo8191Characters) {
    // A base name length and piece count whose single copy line is exactly 8191 characters.
    std::size_t baseLength = 0;
    int pieceCount = 0;
    for (std::size_t length = 1; length < 80 && pieceCount == 0; ++length) {
        for (int count = 2; count < 600; ++count) {
            if (oneCopyLineLength(length, count) == 8191) {
                baseLength = length;
                pieceCount = count;
                break;
            }
        }
    }
    ASSERT_GT(pieceCount, 0);
    ASSERT_EQ(oneCopyLineLength(baseLength + 1, pieceCount), 8191 + pieceCount + 1);

    TempFolder folder;
    const std::vector<std::string> fits =
        scriptLines(writtenScript(folder, std::string(baseLength, 'f') + ".x", pieceCount));
    ASSERT_EQ(fits.size(), 3u);
    EXPECT_EQ(fits[1].size(), 8191u);

    const std::vector<std::string> tooLong =
        scriptLines(writtenScript(folder, std::string(baseLength + 1, 'g') + ".x", pieceCount));
    EXPECT_EQ(tooLong.size(), 4u);

    // The reader takes a copy line of exactly that length, and none a character longer.
    using namespace script_grammar;
    const std::string start = kCopyCommand + "\"m.1\" + \"m.2\" \"";
    for (const std::size_t length : {8191u, 8192u}) {
        const std::string target = "m." + std::string(length - start.size() - 3, 'x');
        const std::string script = kEchoOff + kLineEnd + start + target + "\"" + kLineEnd + kEcho +
                                   target + kRecreated + kLineEnd;
        EXPECT_EQ(std::holds_alternative<JoinPlan>(readRejoinScript(script)), length == 8191);
    }
    // cmd counts a character beyond U+FFFF as two UTF-16 units: 27 + 2 * 4082 is 8191.
    std::string utf8Head = kEchoOff + kLineEnd;
    for (const std::string& line : kSwitchToUtf8)
        utf8Head += line + kLineEnd;
    for (const int emoji : {4082, 4083}) {
        std::string target = "m.x";
        for (int i = 0; i < emoji; ++i)
            target += "🎉";
        const std::string script = utf8Head + start + target + "\"" + kLineEnd + kEcho + target +
                                   kRecreated + kLineEnd + kRestoreCodePage + kLineEnd;
        EXPECT_EQ(std::holds_alternative<JoinPlan>(readRejoinScript(script)), emoji == 4082);
    }
}

// Lines up to the switch are ASCII and no byte-order mark comes first: cmd reads them in the
// console's code page. The reader takes this form whole, and only for such names.
TEST(RejoinScript, SwitchesToUtf8AndBackForANameOutsideAscii) {
    TempFolder folder;
    const std::string whole = writtenScript(folder, "Öl (1%).pdf", 2);
    EXPECT_EQ(
        whole,
        "@ECHO OFF\r\nSETLOCAL ENABLEEXTENSIONS DISABLEDELAYEDEXPANSION\r\n"
        "FOR /F \"tokens=2 delims=:.\" %%C IN ('chcp') DO SET ORVANTO_CODEPAGE=%%C\r\n"
        "chcp 65001 > nul\r\n"
        "Copy /b \"Öl (1%%).1\" + \"Öl (1%%).2\" \"Öl (1%%).pdf\"\r\n"
        "@ECHO Öl ^(1%%^).pdf has been recreated for you.\r\nchcp %ORVANTO_CODEPAGE% > nul\r\n");
    EXPECT_EQ(std::get<JoinPlan>(readRejoinScript(whole)).targetName, "Öl (1%).pdf");
    const std::size_t save = whole.find("FOR /F");
    const auto changed = [&whole](const std::string& from, const std::string& to) {
        std::string text = whole;
        const std::size_t at = text.find(from);
        return at == std::string::npos ? text : text.replace(at, from.size(), to);
    };
    const std::pair<std::string, join_refusal::ScriptForm> cases[] = {
        // Each fixed line changed in turn is refused at that line.
        {changed("DISABLEDELAYED", "ENABLEDELAYED"), {2, ScriptPart::CopyCommand, ""}},
        {changed("%%C IN", "%C IN"), {3, ScriptPart::SwitchToUtf8, ""}},
        {changed("65001", "1252"), {4, ScriptPart::SwitchToUtf8, ""}},
        {changed("% > nul", "%"), {7, ScriptPart::RestoreCodePage, ""}},
        {"\xEF\xBB\xBF" + whole, {1, ScriptPart::EchoOff, ""}},
        {whole.substr(0, whole.rfind("chcp")), {7, ScriptPart::RestoreCodePage, ""}},
        {whole.substr(0, save) + whole.substr(whole.find('\n', save) + 1),
         {3, ScriptPart::SwitchToUtf8, ""}},
    };
    for (const auto& [text, refusal] : cases)
        EXPECT_TRUE(std::get<JoinRefusal>(readRejoinScript(text)) == JoinRefusal(refusal)) << text;
}
