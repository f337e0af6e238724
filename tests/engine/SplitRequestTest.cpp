#include <filesystem>

#include <linux/magic.h>

#include <gtest/gtest.h>

#include "SplitFixture.h"
#include "engine/SplitJob.h"
#include "engine/WindowsNames.h"
#include "platform/FileSystem.h"

namespace {

using namespace split_refusal;

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

    // The kind and every field of a refusal at pieces of 100000 bytes, checked together.
    void expectRefusal(const std::string& sourcePath, std::int64_t sourceSize,
                       const SplitRefusal& expected) {
        EXPECT_EQ(refusal(sourcePath, sourceSize, 100000), expected);
    }
};

} // namespace

TEST_F(SplitRequestCheck, RefusesWhatCannotBeSplit) {
    std::filesystem::create_directory(folder() + "dir.avi");
    const std::string empty = makeSource("empty.txt", 0);
    const std::string movie = makeSource("movie.avi", 300000);
    expectRefusal("", -1, NoSource{""});
    expectRefusal(folder() + "gone.avi", 500000, NoSource{folder() + "gone.avi"});
    expectRefusal(folder() + "dir.avi", 500000, NoSource{folder() + "dir.avi"});
    expectRefusal(empty, 0, EmptySource{empty});
    expectRefusal(movie, -1, UnknownSourceSize{movie});
    // Chosen at another size: splitting at the old size would cut it.
    expectRefusal(movie, 250000, SourceSizeChanged{movie});
    expectRefusal(movie, 350000, SourceSizeChanged{movie});
    for (const std::int64_t size : {0, -5, 8191})
        EXPECT_EQ(refusal(movie, 300000, size), SplitRefusal(SplitSizeTooSmall{})) << size;
    for (const std::int64_t size : {100000, 99999, 1}) {
        SCOPED_TRACE(size);
        expectRefusal(makeSource("small.bin", size), size, NoNeedToSplit{});
    }
}

TEST_F(SplitRequestCheck, Accepts399PiecesAndRefuses400) {
    const std::string source = folder() + "big.bin";
    makeSparse(source, 39900001);
    expectRefusal(source, 39900001, TooManyPieces{400});

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
        expectRefusal(source, 300000, ForbiddenCharacter{name, character});
        std::filesystem::remove(source);
    }
}

TEST_F(SplitRequestCheck, RefusesNamesWindowsReservesOrTakesForAPieceOrTheScript) {
    const struct {
        std::string fileName;
        SplitRefusal refusal;
    } cases[] = {
        {"CON", DeviceName{"CON", "CON"}},
        {"con.txt", DeviceName{"con.txt", "con"}},
        {"Lpt9.tar.gz", DeviceName{"Lpt9.tar.gz", "Lpt9"}},
        {"COM¹", DeviceName{"COM¹", "COM¹"}},
        {"lPt³.txt", DeviceName{"lPt³.txt", "lPt³"}},
        {"nul .log", DeviceName{"nul .log", "nul "}},
        {"...", OnlyDots{"...", "..."}},
        // The copy would write over the running script, or over a piece it still reads.
        {"Notes.BAT", TargetLikeOutput{"Notes.bat", "Notes.BAT"}},
        {"conOUT$.txt", DeviceName{"conOUT$.txt", "conOUT$"}},
        {"run.x.bat ", TrailingDotOrBlank{"run.x.bat ", "run.x.bat "}},
        {"caf\xE9.txt", NotUtf8{"caf\xE9.txt"}},
        {"\xC4\xD6.txt", NotUtf8{"\xC4\xD6.txt"}}, // Latin-1 "ÄÖ": a lead byte after a lead byte
        {"\xC1\x81.txt", NotUtf8{"\xC1\x81.txt"}}, // "A" in an overlong form
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fileName);
        const std::string source = makeSource(c.fileName, 300000);
        expectRefusal(source, 300000, c.refusal);
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
        expectRefusal(source, 250000, NameExists{folder(), c.named});
        for (const std::string& file : c.files) {
            EXPECT_EQ(readFile(folder() + file), "old");
            std::filesystem::remove(folder() + file);
        }
        if (!c.subfolder.empty())
            std::filesystem::remove(folder() + c.subfolder);
    }
    writeFile(folder() + "МИР.BAT", "old"); // letter case counts in no script on Windows
    expectRefusal(makeSource("мир.avi", 250000), 250000, NameExists{folder(), "МИР.BAT"});
    std::filesystem::remove(folder() + "МИР.BAT");
    // A name the split does not write is nobody's concern.
    writeFile(folder() + "my.4", "old");
    EXPECT_TRUE(std::holds_alternative<SplitCompletion>(split(source, 100000)));
    EXPECT_EQ(readFile(folder() + "my.4"), "old");
}

TEST_F(SplitRequestCheck, RefusesADotFileOrALinkAtTheFirstPiece) {
    const std::string source = makeSource(".profile", 300000);
    writeFile(folder() + ".1", "old");
    expectRefusal(source, 300000, NameExists{folder(), ".1"});

    std::filesystem::remove(folder() + ".1");
    std::filesystem::create_symlink(folder() + "nowhere", folder() + ".1");
    expectRefusal(source, 300000, NameExists{folder(), ".1"});
}

TEST_F(SplitRequestCheck, ProbesTheNamesInTheOutputFolder) {
    TempFolder output;
    m_outputFolder = output.path();
    writeFile(output.file("movie.1"), "old");
    const std::string source = makeSource("movie.avi", 300000);
    expectRefusal(source, 300000, NameExists{output.path(), "movie.1"});
}

TEST_F(SplitRequestCheck, RefusesToWriteOverTheSource) {
    // log.2 is the second piece of its own split, run.bat its own script, and a source that
    // fills three pieces exactly would have its empty fourth piece written over it.
    const std::pair<const char*, std::int64_t> cases[] = {
        {"log.2", 250000}, {"run.bat", 250000}, {"x.4", 300000}};
    for (const auto& [name, size] : cases) {
        SCOPED_TRACE(name);
        const std::string source = makeSource(name, size);
        expectRefusal(source, size, OverwritesSource{name});
        EXPECT_EQ(fileSize(source), size);
        std::filesystem::remove(source);
    }
}

TEST_F(SplitRequestCheck, RefusesWhenTheDestinationLacksSpace) {
    // A sparse source far larger than the disk.
    const std::int64_t size = 10'000'000'000'000;
    const std::string source = folder() + "huge.img";
    makeSparse(source, size);
    const auto refused = std::get<NotEnoughSpace>(refusal(source, size, 30'000'000'000));
    EXPECT_EQ(refused.folder, folder());
    EXPECT_GE(refused.bytesNeeded, size);
    EXPECT_LT(refused.bytesFree, refused.bytesNeeded);
}

// FAT holds no file of 4 GiB: the refusal names the limit and the largest preset that fits.
TEST_F(SplitRequestCheck, RefusesWhatTheDestinationCannotHold) {
    const std::string movie = makeSource("movie.avi", 300000);
    m_outputFolder = movie;
    expectRefusal(movie, 300000, NotAFolder{movie + "/"});
    const std::int64_t fat = fs_entry::largestFileOn(MSDOS_SUPER_MAGIC);
    EXPECT_EQ(pieceSizeRefusal(4600000000, fat, "/media/stick/"),
              SplitRefusal(PieceTooLarge{"/media/stick/", 4294967295, "650 Megabytes"}));
    EXPECT_FALSE(pieceSizeRefusal(650000000, fat, "/"));
    EXPECT_FALSE(pieceSizeRefusal(4600000000, fs_entry::largestFileOn(EXT4_SUPER_MAGIC), "/"));
    // FUSE tells its real type in the mount table only.
    const std::string mountInfo =
        "22 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
        "41 22 0:38 / /media/my\\040stick rw,nosuid,nodev,relatime shared:20 - fuse.fusefat "
        "/dev/sdb1 rw,user_id=1000,group_id=1000\n"
        "42 22 0:39 / /mnt/ntfs rw,relatime - fuseblk /dev/sdc1 rw,user_id=0\n";
    const std::pair<unsigned, std::int64_t> fuseCases[] = {
        {38, fat}, {39, fs_entry::largestFileOn(EXT4_SUPER_MAGIC)}, {40, INT64_MAX}};
    for (const auto& [minor, largest] : fuseCases)
        EXPECT_EQ(fs_entry::largestFileOn(fs_entry::kFuseSuperMagic,
                                          fs_entry::mountTypeIn(mountInfo, 0, minor)),
                  largest)
            << minor;
    EXPECT_EQ(fs_entry::mountTypeIn(mountInfo, 8, 2), "ext4");
}

TEST(WindowsNames, ComparesLetterCaseAsNtfsDoesInEveryScript) {
    const std::tuple<std::string, std::string, bool> cases[] = {
        {"ärger.bat", "ÄRGER.BAT", true},    {"σοφός", "ΣΟΦΌΣ", true},
        {"straße", "STRASSE", false},        {"é", "e\u0301", false},
        {"\U00010428", "\U00010400", false}, {"\u212A", "k", false},
    };
    for (const auto& [a, b, same] : cases)
        EXPECT_EQ(windows_names::sameFileName(a, b), same) << a << " " << b;
}
