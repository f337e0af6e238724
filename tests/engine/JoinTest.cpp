#include "engine/JoinJob.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iostream>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "SplitFixture.h"
#include "engine/ScriptGrammar.h"
#include "support/IoFailure.h"
#include "support/ProgramRun.h"

namespace {

void emptyFolder(const std::string& folder) {
    for (const std::string& entry : entriesOf(folder))
        std::filesystem::remove(folder + entry);
}

class Join : public SplitFixture {
protected:
    // Empties folder(), splits a patterned source there and returns the source's content.
    std::string splitSource(const std::string& name, std::int64_t size, std::int64_t splitSize) {
        emptyFolder(folder());
        const std::string source = makeSource(name, size);
        EXPECT_TRUE(std::holds_alternative<SplitCompletion>(split(source, splitSize)));
        return readFile(source);
    }

    // How a join of folder()'s script into folder() ends: a file made (verified or not), a
    // refusal, or a failure.
    using Ending = std::variant<bool, JoinRefusal, IoFailure>;
    Ending joinInPlace() {
        try {
            const JoinOutcome outcome = JoinJob({folder() + "movie.bat", "", false}).run();
            if (const auto* refusal = std::get_if<JoinRefusal>(&outcome))
                return *refusal;
            return std::get<JoinCompletion>(outcome).verified;
        } catch (const IoError& error) {
            return ioFailureOf(error);
        }
    }

    TempFolder m_target;
    TempFolder m_output;
};

// Puts a link to target (a FIFO when target is empty) in place of the file at path.
void relink(const std::string& path, const std::string& target) {
    std::filesystem::remove(path);
    ASSERT_EQ(0, target.empty() ? ::mkfifo(path.c_str(), 0600)
                                : ::symlink(target.c_str(), path.c_str()));
}

std::size_t copyLineCount(const std::string& script) {
    std::size_t count = 0;
    using script_grammar::kCopyCommand;
    for (std::size_t at = script.find(kCopyCommand); at != std::string::npos;
         at = script.find(kCopyCommand, at + 1))
        ++count;
    return count;
}

} // namespace

TEST_F(Join, RecreatesWhatTheSplitCutByteForByte) {
    const std::string longBase(200, 'x');
    const struct {
        std::string source;
        std::int64_t size;
        std::int64_t splitSize;
        std::string script;
        std::size_t copyLines;
    } cases[] = {
        {"movie.avi", 2500000, 1000000, "movie.bat", 1},
        {"exact.bin", 300000, 100000, "exact.bat", 1},
        {"a 100% & b^c (d).txt", 250000, 100000, "a 100% & b^c (d).bat", 1},
        // Accents, Greek, Cyrillic, CJK, 4 bytes, decomposed as macOS writes, cmd's syntax.
        {"Αθήνα.jpg", 250000, 100000, "Αθήνα.bat", 1},
        {"Москва.zip", 250000, 100000, "Москва.bat", 1},
        {"写真 2026.tar", 250000, 100000, "写真 2026.bat", 1},
        {"🎉 party.mov", 250000, 100000, "🎉 party.bat", 1},
        {"Cafe\u0301 cre\u0300me.mp4", 250000, 100000, "Cafe\u0301 cre\u0300me.bat", 1},
        {"Öl 100% & ^(!) – 1973.pdf", 250000, 100000, "Öl 100% & ^(!) – 1973.bat", 1},
        {longBase + ".bin", 300 * 8192 + 5, 8192, longBase + ".bat", 9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        const std::string content = splitSource(c.source, c.size, c.splitSize);
        EXPECT_EQ(copyLineCount(readFile(folder() + c.script)), c.copyLines);
        emptyFolder(m_target.path());
        const ProgramRun run =
            runProgram(ORVANTO_JOIN_PROGRAM, folder(),
                       "-o '" + m_target.path() + "' '" + c.script + "'", m_output.path());
        EXPECT_EQ(run.exitCode, 0) << run.err;
        const std::string checksum = c.script.substr(0, c.script.size() - 4) + ".sha256";
        EXPECT_EQ(run.out, m_target.file(c.source) + " has been recreated (" +
                               std::to_string(c.size) + " bytes). Its SHA-256 matches the " +
                               "whole file's in " + checksum + ".\n");
        EXPECT_EQ(entriesOf(m_target.path()), std::set<std::string>{c.source});
        EXPECT_TRUE(readFile(m_target.file(c.source)) == content);
    }
    EXPECT_EQ(fileSize(folder() + longBase + ".301"), 5);
}

// "movie.5" + "movie.6" + ... + "movie.<last>"
std::string manyPieces(int first, int last) {
    std::string names = "\"movie.5\"";
    for (int index = first; index <= last; ++index)
        names += " + \"movie." + std::to_string(index) + "\"";
    return names;
}

TEST_F(Join, RefusesHostileScriptsAndPiecesWithoutWriting) {
    using namespace join_refusal;
    using Part = ScriptPart;
    using script_grammar::kSwitchToUtf8;
    const auto noChange = [](const std::string&) {};
    const struct {
        const char* label;
        std::string from, to;
        std::function<void(const std::string&)> change;
        JoinRefusal refusal;
    } cases[] = {
        {"extra command", "you.\r\n", "you.\r\ndel movie.1\r\n", noChange,
         ScriptForm{4, Part::ScriptEnd, ""}},
        {"command first", "OFF\r\n", "OFF\r\ncd ..\r\n", noChange,
         ScriptForm{2, Part::CopyCommand, ""}},
        {"redirection", "\"movie.avi\"\r\n", "\"movie.avi\" >x\r\n", noChange,
         ScriptForm{2, Part::LineEnd, ""}},
        {"folder", "\"movie.2\"", "\"sub/movie.2\"", noChange, UnsafeName{2, "sub/movie.2"}},
        {"parent", "\"movie.1\"", "\"../movie.1\"", noChange, UnsafeName{2, "../movie.1"}},
        {"absolute", "\"movie.avi\"", "\"/tmp/movie.avi\"", noChange,
         UnsafeName{2, "/tmp/movie.avi"}},
        {"drive", "\"movie.3\"", "\"C:movie.3\"", noChange, UnsafeName{2, "C:movie.3"}},
        // Windows drops the trailing dot and would write the target over the first piece.
        {"target a piece", "\"movie.avi\"", "\"movie.1.\"", noChange, UnsafeName{2, "movie.1."}},
        {"order", "\"movie.2\" + \"movie.3\"", "\"movie.3\" + \"movie.2\"", noChange,
         PieceOutOfOrder{2, "movie.3", "movie.2"}},
        {"short piece", "", "", [](auto f) { std::filesystem::resize_file(f + "movie.2", 99999); },
         ShortPiece{"movie.2", 99999, 100000}},
        {"piece a byte longer than the first", "", "",
         [](auto f) { std::filesystem::resize_file(f + "movie.3", 100001); },
         LongPiece{"movie.3", 100001, 100000}},
        {"last piece longer than the first", "", "",
         [](auto f) { std::filesystem::resize_file(f + "movie.5", 100001); },
         LongPiece{"movie.5", 100001, 100000}},
        {"continuation not starting with the target", "\"movie.2\" + \"movie.3\"",
         "\"movie.2\" \"movie.avi\"\r\nCopy /b \"movie.1\" + \"movie.3\"", noChange,
         ScriptForm{3, Part::TargetFirstAndLast, "movie.avi"}},
        {"short piece before the last", "", "",
         [](auto f) { std::filesystem::resize_file(f + "movie.4", 99999); },
         ShortPiece{"movie.4", 99999, 100000}},
        {"trailing dot", "\"movie.avi\"", "\"movie.avi.\"", noChange, UnsafeName{2, "movie.avi."}},
        {"trailing blank", "\"movie.avi\"", "\"movie.avi \"", noChange,
         UnsafeName{2, "movie.avi "}},
        {"dots and blanks", "\"movie.avi\"", "\". .\"", noChange, UnsafeName{2, ". ."}},
        {"console", "\"movie.avi\"", "\"CONOUT$\"", noChange, UnsafeName{2, "CONOUT$"}},
        {"console input", "\"movie.avi\"", "\"conin$ .txt\"", noChange,
         UnsafeName{2, "conin$ .txt"}},
        {"ninth port", "\"movie.avi\"", "\"com9.txt\"", noChange, UnsafeName{2, "com9.txt"}},
        {"wildcard", "\"movie.avi\"", "\"movie?.avi\"", noChange, UnsafeName{2, "movie?.avi"}},
        {"target the script in capitals", "\"movie.avi\"", "\"movie.BAT\"", noChange,
         UnsafeName{2, "movie.BAT"}},
        {"lone percent", "\"movie.avi\"", "\"movie.avi%\"", noChange,
         ScriptForm{2, Part::QuotedName, ""}},
        {"echo on", "@ECHO OFF", "@ECHO ON", noChange, ScriptForm{1, Part::EchoOff, ""}},
        {"echo names another file", "@ECHO movie", "@ECHO moose", noChange,
         ScriptForm{3, Part::EchoLine, ""}},
        {"line cmd cuts", "\"movie.avi\"", "\"m" + std::string(8200, 'x') + ".avi\"", noChange,
         ScriptForm{2, Part::ShortLine, ""}},
        {"more pieces than a split makes", "\"movie.5\"", manyPieces(6, 401), noChange,
         ScriptForm{2, Part::FewerPieces, ""}},
        {"too large for a script", "you.\r\n", "you.\r\n" + std::string(4 << 20, '@'), noChange,
         ScriptForm{1, Part::WholeScript, ""}},
        {"missing, linked and FIFO pieces, all named", "", "",
         [](auto f) {
             for (const char* piece : {"movie.1", "movie.4"})
                 std::filesystem::remove(f + piece);
             relink(f + "movie.2", "/etc/passwd");
             relink(f + "movie.3", "");
         },
         UnreadablePieces{{"movie.1", "movie.4"}, {"movie.2", "movie.3"}}},
        // A name outside ASCII only after the switch to UTF-8, and the switch only for one.
        {"no switch", "\"movie.avi\"", "\"movie.aví\"", noChange,
         ScriptForm{2, Part::SwitchToUtf8, ""}},
        {"switch for ASCII", "OFF\r\n",
         "OFF\r\n" + kSwitchToUtf8[0] + "\r\n" + kSwitchToUtf8[1] + "\r\n" + kSwitchToUtf8[2] +
             "\r\n",
         noChange, ScriptForm{2, Part::AsciiCopyCommand, ""}},
        {"target exists", "", "", [](auto f) { writeFile(f + "movie.avi", "keep"); },
         TargetExists{folder() + "movie.avi"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        splitSource("movie.avi", 450000, 100000);
        std::filesystem::remove(folder() + "movie.avi");
        std::string script = readFile(folder() + "movie.bat");
        if (!c.from.empty())
            script.replace(script.find(c.from), c.from.size(), c.to);
        writeFile(folder() + "movie.bat", script);
        // Sizes decide only where no digests can.
        std::filesystem::remove(folder() + "movie.sha256");
        c.change(folder());
        const std::set<std::string> before = entriesOf(folder());

        const JoinOutcome outcome = JoinJob({folder() + "movie.bat", "", false}).run();
        const auto* refusal = std::get_if<JoinRefusal>(&outcome);
        ASSERT_NE(refusal, nullptr);
        EXPECT_TRUE(*refusal == c.refusal) << "refusal kind " << refusal->index();
        EXPECT_EQ(entriesOf(folder()), before);
    }
    EXPECT_EQ(readFile(folder() + "movie.avi"), "keep");
}

TEST_F(Join, RefusesAPieceTruncatedBeforeAnEmptyLastOne) {
    // Five whole pieces and an empty sixth; the fifth cut back to its whole blocks.
    splitSource("movie.avi", 500000, 100000);
    std::filesystem::remove(folder() + "movie.avi");
    std::filesystem::remove(folder() + "movie.sha256");
    std::filesystem::resize_file(folder() + "movie.5", 100000 / 8192 * 8192);
    EXPECT_EQ(std::get<JoinRefusal>(JoinJob({folder() + "movie.bat", "", false}).run()),
              JoinRefusal(join_refusal::ShortPiece{"movie.5", 98304, 100000}));
    EXPECT_FALSE(fileExists(folder() + "movie.avi"));
}

// Flips the lowest bit of the byte at offset in the file at path.
void flipBit(const std::string& path, std::size_t offset) {
    std::string content = readFile(path);
    content[offset] = static_cast<char>(content[offset] ^ 1);
    writeFile(path, content);
}

// Puts text in place of the first from in the file at path.
void replaceIn(const std::string& path, const std::string& from, const std::string& text) {
    std::string content = readFile(path);
    content.replace(content.find(from), from.size(), text);
    writeFile(path, content);
}

TEST_F(Join, RecreatesTheFileOnlyWhenEveryDigestMatches) {
    using namespace join_refusal;
    const auto damaged = [](std::vector<std::string> pieces) {
        return DigestMismatch{"movie.sha256", std::move(pieces), ""};
    };
    const std::string sums = folder() + "movie.sha256";
    const std::string lastLine = "  movie.avi\n";
    TempFolder other;
    const struct {
        std::string label;
        std::function<void(const std::string&)> change;
        Ending ends;
    } cases[] = {
        {"intact", [](auto) {}, true},
        {"first piece", [](auto f) { flipBit(f + "movie.1", 0); }, damaged({"movie.1"})},
        {"second piece", [](auto f) { flipBit(f + "movie.2", 99999); }, damaged({"movie.2"})},
        {"third piece", [](auto f) { flipBit(f + "movie.3", 8192); }, damaged({"movie.3"})},
        {"fourth piece", [](auto f) { flipBit(f + "movie.4", 4321); }, damaged({"movie.4"})},
        {"last piece", [](auto f) { flipBit(f + "movie.5", 49999); }, damaged({"movie.5"})},
        {"last piece short", [](auto f) { std::filesystem::resize_file(f + "movie.5", 49999); },
         damaged({"movie.5"})},
        {"last piece empty", [](auto f) { std::filesystem::resize_file(f + "movie.5", 0); },
         damaged({"movie.5"})},
        {"last piece long", [](auto f) { std::filesystem::resize_file(f + "movie.5", 50001); },
         damaged({"movie.5"})},
        {"long, short and flipped",
         [](auto f) {
             std::filesystem::resize_file(f + "movie.2", 100001);
             std::filesystem::resize_file(f + "movie.3", 99999);
             flipBit(f + "movie.4", 1);
         },
         damaged({"movie.2", "movie.3", "movie.4"})},
        {"piece of another split of the same size",
         [&](auto f) {
             writeFile(other.file("movie.avi"), std::string(450000, 'o'));
             m_outputFolder = other.path();
             split(other.file("movie.avi"), 100000);
             m_outputFolder.clear();
             std::filesystem::copy_file(other.file("movie.3"), f + "movie.3",
                                        std::filesystem::copy_options::overwrite_existing);
         },
         damaged({"movie.3"})},
        {"whole file's line wrong",
         [&](auto) {
             std::string text = readFile(sums);
             char& digit = text.at(text.rfind(lastLine) - 1); // throws when not found
             digit = digit == '0' ? '1' : '0';
             writeFile(sums, text);
         },
         DigestMismatch{"movie.sha256", {}, "movie.avi"}},
        // The whole file matches what the sender split, whatever a piece's own line says.
        {"a piece's line wrong, the file right",
         [&](auto) {
             std::string text = readFile(sums);
             text.at(74) = text.at(74) == '0' ? '1' : '0'; // the second line's first digit
             writeFile(sums, text);
         },
         true},
        {"missing", [&](auto) { std::filesystem::remove(sums); }, false},
        {"unreadable", [&](auto) { ::chmod(sums.c_str(), 0); },
         IoFailure(IoError::Operation::Open, sums, EACCES)},
        {"upper case",
         [&](auto) {
             std::string text = readFile(sums);
             std::transform(text.begin(), text.begin() + 64, text.begin(), ::toupper);
             writeFile(sums, text);
         },
         ChecksumForm{"movie.sha256", 1, "movie.1"}},
        {"letter past f", [&](auto) { replaceIn(sums, readFile(sums).substr(0, 1), "g"); },
         ChecksumForm{"movie.sha256", 1, "movie.1"}},
        {"binary mark", [&](auto) { replaceIn(sums, "  movie.2", " *movie.2"); },
         ChecksumForm{"movie.sha256", 2, "movie.2"}},
        {"line ends of Windows", [&](auto) { replaceIn(sums, "movie.3\n", "movie.3\r\n"); },
         ChecksumForm{"movie.sha256", 3, "movie.3"}},
        {"line left out", [&](auto) { replaceIn(sums, readFile(sums).substr(0, 74), ""); },
         ChecksumForm{"movie.sha256", 1, "movie.1"}},
        {"line added",
         [&](auto) { writeFile(sums, readFile(sums) + readFile(sums).substr(0, 74)); },
         ChecksumForm{"movie.sha256", 7, ""}},
        {"file outside the set", [&](auto) { replaceIn(sums, lastLine, "  ../movie.avi\n"); },
         ChecksumForm{"movie.sha256", 6, "movie.avi"}},
        {"linked",
         [&](auto f) {
             std::filesystem::copy_file(sums, f + "elsewhere");
             relink(sums, f + "elsewhere");
         },
         ChecksumNotPlainFile{"movie.sha256"}},
        {"FIFO", [&](auto) { relink(sums, ""); }, ChecksumNotPlainFile{"movie.sha256"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        if (std::holds_alternative<IoFailure>(c.ends) && ::geteuid() == 0) {
            std::cout << "root reads any file: \"" << c.label << "\" not run\n";
            continue;
        }
        const std::string content = splitSource("movie.avi", 450000, 100000);
        std::filesystem::remove(folder() + "movie.avi");
        c.change(folder());
        const std::set<std::string> before = entriesOf(folder());

        EXPECT_EQ(joinInPlace(), c.ends);
        if (std::holds_alternative<bool>(c.ends))
            EXPECT_TRUE(readFile(folder() + "movie.avi") == content);
        else
            EXPECT_EQ(entriesOf(folder()), before);
    }
}

// Pieces and script are no more readable than the source, the recreated file than the first
// piece; the umask still applies.
TEST_F(Join, KeepsAPrivateFilePrivate) {
    const auto modeOf = [this](const char* name) {
        return static_cast<mode_t>(std::filesystem::status(folder() + name).permissions());
    };
    const mode_t umaskBefore = ::umask(022);
    for (const auto& [source, split] :
         {std::pair<mode_t, mode_t>{0600, 0600}, {0640, 0640}, {0666, 0644}}) {
        emptyFolder(folder());
        ::chmod(makeSource("movie.avi", 250000).c_str(), source);
        EXPECT_TRUE(
            std::holds_alternative<SplitCompletion>(this->split(folder() + "movie.avi", 100000)));
        std::filesystem::remove(folder() + "movie.avi");
        EXPECT_EQ(modeOf("movie.3"), split);
        EXPECT_EQ(modeOf("movie.bat"), split);
        ::chmod((folder() + "movie.1").c_str(), 0600);
        JoinJob({folder() + "movie.bat", "", false}).run();
        EXPECT_EQ(modeOf("movie.avi"), 0600u);
    }
    ::umask(umaskBefore);
}

TEST_F(Join, AStopAtAnyStepLeavesNoFileBehind) {
    // Ten pieces of 2 MB: one step each; the stop comes before the first, fifth and last copy.
    splitSource("movie.avi", 20000000, 2000000);
    for (const long stopAt : {1L, 5L, 10L}) {
        SCOPED_TRACE(stopAt);
        const std::set<std::string> before = entriesOf(m_target.path());
        JoinJob job({folder() + "movie.bat", m_target.path(), false});
        long steps = 0;
        job.observeSteps([&] {
            if (++steps == stopAt)
                job.requestStop();
        });
        EXPECT_TRUE(std::holds_alternative<JoinStopped>(job.run()));
        EXPECT_EQ(steps, stopAt);
        EXPECT_EQ(entriesOf(m_target.path()), before);
    }
}

// Without a checksum file only the copied length shows a piece cut short while it was read.
TEST_F(Join, APieceThatShrinksWhileCopiedEndsTheJoinWithItsName) {
    splitSource("movie.avi", 20000000, 2000000);
    std::filesystem::remove(folder() + "movie.sha256");
    JoinJob job({folder() + "movie.bat", m_target.path(), false});
    job.observeSteps([&] { std::filesystem::resize_file(folder() + "movie.3", 1000000); });
    try {
        job.run();
        ADD_FAILURE() << "no error";
    } catch (const IoError& error) {
        EXPECT_EQ(std::make_pair(error.path(), error.fault()),
                  std::make_pair(folder() + "movie.3", IoError::Fault::ShrankWhileCopied));
    }
    EXPECT_EQ(entriesOf(m_target.path()), std::set<std::string>{});
}

// Sparse pieces far larger than the disk; the stop keeps a join that wrongly starts short.
TEST_F(Join, RefusesAFileLargerThanTheFreeSpaceBeforeCopying) {
    splitSource("movie.avi", 450000, 100000);
    std::filesystem::remove(folder() + "movie.avi");
    std::filesystem::remove(folder() + "movie.sha256");
    const std::int64_t piece = 4'000'000'000'000;
    for (const char* name : {"movie.1", "movie.2", "movie.3", "movie.4", "movie.5"})
        std::filesystem::resize_file(folder() + name, piece);
    JoinJob job({folder() + "movie.bat", "", false});
    job.observeSteps([&] { job.requestStop(); });
    const JoinOutcome outcome = job.run();
    const auto* refusal = std::get_if<JoinRefusal>(&outcome);
    ASSERT_NE(refusal, nullptr);
    const auto& space = std::get<NotEnoughSpace>(*refusal);
    EXPECT_EQ(space.bytesNeeded, 5 * piece);
    EXPECT_LT(space.bytesFree, space.bytesNeeded);
}
