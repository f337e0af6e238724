#include <filesystem>

#include <linux/magic.h>

#include <gtest/gtest.h>

#include "SplitFixture.h"
#include "engine/SplitJob.h"
#include "engine/WindowsNames.h"
#include "platform/FileSystem.h"

namespace {

using Reason = SplitRefusal::Reason;

void makeSparse(const std::string& path, std::int64_t size) {
    writeFile(path, "");
    std::filesystem::resize_file(path, static_cast<std::uintmax_t>(size));
}

class SplitRequestCheck : public SplitFixture {
protected:
    // Makes the request and checks that it was refused and that the folder holds what it held
    // before.
    SplitRefusal refusal(const std::string& sourcePath, std::int64_t sourceSize,
                         std::int64_t splitSize) {
        const auto before = entriesOf(folder());
        const SplitOutcome outcome = split({sourcePath, sourceSize, splitSize, m_outputFolder});
        EXPECT_EQ(entriesOf(folder()), before);
        return std::get<SplitRefusal>(outcome);
    }

    // The reason and the names of a refusal, checked together.
    void expectRefusal(const std::string& sourcePath, std::int64_t sourceSize, Reason reason,
                       const std::string& name = {}, const std::string& otherName = {}) {
        const SplitRefusal refused = refusal(sourcePath, sourceSize, 100000);
        EXPECT_EQ(refused.reason, reason);
        EXPECT_EQ(refused.name, name);
        EXPECT_EQ(refused.otherName, otherName);
    }
};

} // namespace

TEST_F(SplitRequestCheck, RefusesWhatCannotBeSplit) {
    std::filesystem::create_directory(folder() + "dir.avi");
    const std::string empty = makeSource("empty.txt", 0);
    const std::string movie = makeSource("movie.avi", 300000);
    expectRefusal("", -1, Reason::NoSource, "");
    expectRefusal(folder() + "gone.avi", 500000, Reason::NoSource, folder() + "gone.avi");
    expectRefusal(folder() + "dir.avi", 500000, Reason::NoSource, folder() + "dir.avi");
    expectRefusal(empty, 0, Reason::EmptySource, empty);
    expectRefusal(movie, -1, Reason::UnknownSourceSize, movie);
    // Chosen at another size: splitting at the old size would cut it.
    expectRefusal(movie, 250000, Reason::SourceSizeChanged, movie);
    expectRefusal(movie, 350000, Reason::SourceSizeChanged, movie);
    for (const std::int64_t size : {0, -5, 8191})
        EXPECT_EQ(refusal(movie, 300000, size).reason, Reason::SplitSizeTooSmall) << size;
    for (const std::int64_t size : {100000, 99999, 1}) {
        const std::string small = makeSource("small.bin", size);
        EXPECT_EQ(refusal(small, size, 100000).reason, Reason::NoNeedToSplit) << size;
    }
}

TEST_F(SplitRequestCheck, Accepts399PiecesAndRefuses400) {
    const std::string source = folder() + "big.bin";
    makeSparse(source, 39900001);
    const SplitRefusal refused = refusal(source, 39900001, 100000);
    EXPECT_EQ(refused.reason, Reason::TooManyPieces);
    EXPECT_EQ(refused.pieceCount, 400);

    std::filesystem::resize_file(source, 39900000);
    EXPECT_TRUE(std::holds_alternative<SplitCompletion>(split(source, 100000)));
    // 399 full pieces and the empty one after a source that ends on a piece's last byte.
    EXPECT_EQ(fileSize(folder() + "big.399"), 100000);
    EXPECT_EQ(fileSize(folder() + "big.400"), 0);
    EXPECT_FALSE(fileExists(folder() + "big.401"));
}

TEST_F(SplitRequestCheck, RefusesNamesTheScriptCannotHold) {
    const std::pair<std::string, char> cases[] = {
        {"say\"hi\".txt", '"'},    {"tab\there.txt", '\t'}, {"line\nbreak", '\n'},
        {"a.b\x1f", '\x1f'},       {"p|q.dat", '|'},        {"l<g>.dat", '<'},
        {"what?.txt", '?'},        {"star*.txt", '*'},      {"c:d.txt", ':'},
        {"back\\slash.txt", '\\'}, {"del\x7f.txt", '\x7f'},
    };
    for (const auto& [name, character] : cases) {
        SCOPED_TRACE(name);
        const std::string source = makeSource(name, 300000);
        const SplitRefusal refused = refusal(source, 300000, 100000);
        EXPECT_EQ(refused.reason, Reason::ForbiddenCharacter);
        EXPECT_EQ(refused.name, name);
        EXPECT_EQ(refused.character, character);
        std::filesystem::remove(source);
    }
}

TEST_F(SplitRequestCheck, RefusesNamesWindowsReservesOrTakesForAPieceOrTheScript) {
    const struct {
        std::string fileName;
        Reason reason;
        std::string name;
        std::string otherName;
    } cases[] = {
        {"CON", Reason::DeviceName, "CON", "CON"},
        {"con.txt", Reason::DeviceName, "con.txt", "con"},
        {"Lpt9.tar.gz", Reason::DeviceName, "Lpt9.tar.gz", "Lpt9"},
        {"nul .log", Reason::DeviceName, "nul .log", "nul "},
        {"...", Reason::OnlyDots, "...", "."},
        // The copy would write over the running script, or over a piece it still reads.
        {"notes.txt.bat", Reason::TargetLikeOutput, "notes.bat", "notes.bat"},
        {"Notes.x.BAT", Reason::TargetLikeOutput, "Notes.bat", "Notes.BAT"},
        {"conOUT$.txt", Reason::DeviceName, "conOUT$.txt", "conOUT$"},
        {"run.x.bat ", Reason::TrailingDotOrBlank, "run.x.bat ", "run.bat "},
        {"access.log.2", Reason::TargetLikeOutput, "access.2", "access.2"},
        {"x.log.1", Reason::TargetLikeOutput, "x.1", "x.1"},
        {"caf\xE9.txt", Reason::NotUtf8, "caf\xE9.txt", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fileName);
        const std::string source = makeSource(c.fileName, 300000);
        expectRefusal(source, 300000, c.reason, c.name, c.otherName);
        std::filesystem::remove(source);
    }
}

TEST_F(SplitRequestCheck, RefusesAnExistingNameOfAnyPieceOrTheScriptNamingTheFirst) {
    // 250,000 bytes at 100,000 make my.1 to my.3 and my.bat.
    const std::string source = makeSource("my.holiday.avi", 250000);
    const struct {
        std::vector<std::string> files;
        std::string subfolder;
        std::string named;
    } cases[] = {
        {{"my.1"}, "", "my.1"},
        {{"my.bat", "my.3"}, "", "my.3"},
        {{"my.bat"}, "", "my.bat"},
        {{}, "my.2", "my.2"},
        // One file for Windows.
        {{"MY.Bat"}, "", "MY.Bat"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.named);
        for (const std::string& file : c.files)
            writeFile(folder() + file, "old");
        if (!c.subfolder.empty())
            std::filesystem::create_directory(folder() + c.subfolder);
        const SplitRefusal refused = refusal(source, 250000, 100000);
        EXPECT_EQ(refused.reason, Reason::NameExists);
        EXPECT_EQ(refused.name, c.named);
        EXPECT_EQ(refused.folder, folder());
        for (const std::string& file : c.files) {
            EXPECT_EQ(readFile(folder() + file), "old");
            std::filesystem::remove(folder() + file);
        }
        if (!c.subfolder.empty())
            std::filesystem::remove(folder() + c.subfolder);
    }
    writeFile(folder() + u8"МИР.BAT", "old"); // letter case counts in no script on Windows
    expectRefusal(makeSource(u8"мир.avi", 250000), 250000, Reason::NameExists, u8"МИР.BAT");
    std::filesystem::remove(folder() + u8"МИР.BAT");
    // A name the split does not write is nobody's concern.
    writeFile(folder() + "my.4", "old");
    EXPECT_TRUE(std::holds_alternative<SplitCompletion>(split(source, 100000)));
    EXPECT_EQ(readFile(folder() + "my.4"), "old");
}

TEST_F(SplitRequestCheck, RefusesADotFileOrALinkAtTheFirstPiece) {
    const std::string source = makeSource(".profile", 300000);
    writeFile(folder() + ".1", "old");
    expectRefusal(source, 300000, Reason::NameExists, ".1");

    std::filesystem::remove(folder() + ".1");
    std::filesystem::create_symlink(folder() + "nowhere", folder() + ".1");
    expectRefusal(source, 300000, Reason::NameExists, ".1");
}

TEST_F(SplitRequestCheck, ProbesTheNamesInTheOutputFolder) {
    TempFolder output;
    m_outputFolder = output.path();
    writeFile(output.file("movie.1"), "old");
    const std::string source = makeSource("movie.avi", 300000);
    const SplitRefusal refused = refusal(source, 300000, 100000);
    EXPECT_EQ(refused.reason, Reason::NameExists);
    EXPECT_EQ(refused.folder, output.path());
}

TEST_F(SplitRequestCheck, RefusesToWriteOverTheSource) {
    // log.2 is the second piece of its own split, run.bat its own script, and a source that
    // fills three pieces exactly would have its empty fourth piece written over it.
    const std::pair<const char*, std::int64_t> cases[] = {
        {"log.2", 250000}, {"run.bat", 250000}, {"x.4", 300000}};
    for (const auto& [name, size] : cases) {
        SCOPED_TRACE(name);
        const std::string source = makeSource(name, size);
        expectRefusal(source, size, Reason::OverwritesSource, name);
        EXPECT_EQ(fileSize(source), size);
        std::filesystem::remove(source);
    }
}

TEST_F(SplitRequestCheck, RefusesWhenTheDestinationLacksSpace) {
    // A sparse source far larger than the disk.
    const std::int64_t size = 10'000'000'000'000;
    const std::string source = folder() + "huge.img";
    makeSparse(source, size);
    const SplitRefusal refused = refusal(source, size, 30'000'000'000);
    EXPECT_EQ(refused.reason, Reason::NotEnoughSpace);
    EXPECT_EQ(refused.folder, folder());
    EXPECT_GE(refused.bytesNeeded, size);
    EXPECT_LT(refused.bytesFree, refused.bytesNeeded);
}

// FAT holds no file of 4 GiB: the refusal names the limit and the largest preset that fits.
TEST_F(SplitRequestCheck, RefusesWhatTheDestinationCannotHold) {
    const std::string movie = makeSource("movie.avi", 300000);
    m_outputFolder = movie;
    EXPECT_EQ(refusal(movie, 300000, 100000).reason, Reason::NotAFolder);
    const std::int64_t fat = fs_entry::largestFileOn(MSDOS_SUPER_MAGIC);
    const auto tooLarge = pieceSizeRefusal(4600000000, fat, "/media/stick/");
    ASSERT_TRUE(tooLarge);
    EXPECT_EQ(std::tie(tooLarge->reason, tooLarge->limit, tooLarge->otherName),
              std::make_tuple(Reason::PieceTooLarge, 4294967295, "650 Megabytes"));
    EXPECT_FALSE(pieceSizeRefusal(650000000, fat, "/"));
    EXPECT_FALSE(pieceSizeRefusal(4600000000, fs_entry::largestFileOn(EXT4_SUPER_MAGIC), "/"));
}

TEST(WindowsNames, ComparesLetterCaseAsNtfsDoesInEveryScript) {
    const std::tuple<std::string, std::string, bool> cases[] = {
        {u8"ärger.bat", u8"ÄRGER.BAT", true},    {u8"σοφός", u8"ΣΟΦΌΣ", true},
        {u8"straße", u8"STRASSE", false},        {u8"é", u8"e\u0301", false},
        {u8"\U00010428", u8"\U00010400", false}, {u8"\u212A", "k", false},
    };
    for (const auto& [a, b, same] : cases)
        EXPECT_EQ(windows_names::sameFileName(a, b), same) << a << " " << b;
}
