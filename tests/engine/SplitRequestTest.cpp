#include <filesystem>

#include <gtest/gtest.h>

#include "SplitFixture.h"
#include "engine/SplitJob.h"
#include "settings/Settings.h"

namespace {

const std::string kNoSource =
    "Please click the \"Select A File To Split\" button at the top. Either you have not selected "
    "a file to \"split\" or the file you selected does not exist.";
const std::string kNoNeed =
    "The file size you selected is larger than the file itself, so there is no need to split the "
    "file at this size.  You can select the \"Customize\" option and highlight a size in the box, "
    "or click on one of the sizes already listed that is smaller than the current file size so "
    "it can be split.";
const std::string kTooMany =
    "You chose an incorrect split size. Based on the split size you chose, this would involve "
    "creating more than 399 split files! This is not realistic, make sure you have selected the "
    "proper split sizes as typically this means you may have made a mistake.";

std::string existingName(const std::string& name) {
    return "Some file names already exist that match the split names which need to be created. "
           "The first found file name is " +
           name +
           ". You should either move your file to a separate or empty folder or delete these "
           "destination file names and then attempt the split again.";
}

void makeSparse(const std::string& path, std::int64_t size) {
    writeFile(path, "");
    std::filesystem::resize_file(path, static_cast<std::uintmax_t>(size));
}

class SplitRequest : public SplitFixture {
protected:
    // Makes the request and checks that it was refused with exactly one message and that the
    // folder holds what it held before.
    std::string refusal(const std::string& sourcePath, std::int64_t sourceSize,
                        std::int64_t splitSize) {
        const auto before = entriesOf(folder());
        EXPECT_EQ(StartSplit(sourcePath, sourceSize, splitSize, m_host), SplitOutcome::Refused);
        EXPECT_EQ(entriesOf(folder()), before);
        EXPECT_TRUE(m_host.plainMessages.empty());
        EXPECT_EQ(m_host.showCount, 0);
        EXPECT_EQ(settings::ReadSplitCounter(), 0);
        if (m_host.informations.size() != 1) {
            ADD_FAILURE() << m_host.informations.size() << " messages";
            return {};
        }
        return m_host.informations.front();
    }
};

} // namespace

TEST_F(SplitRequest, RefusesAMissingSourceOrAFolder) {
    EXPECT_EQ(refusal("", -1, 100000), kNoSource);
    m_host.informations.clear();
    EXPECT_EQ(refusal(folder() + "gone.avi", 500000, 100000), kNoSource);
    m_host.informations.clear();
    std::filesystem::create_directory(folder() + "dir.avi");
    EXPECT_EQ(refusal(folder() + "dir.avi", 500000, 100000), kNoSource);
}

TEST_F(SplitRequest, RefusesOnePiece) {
    for (const std::int64_t size : {100000, 99999, 1}) {
        SCOPED_TRACE(size);
        m_host.informations.clear();
        const std::string source = makeSource("small.bin", size);
        EXPECT_EQ(refusal(source, size, 100000), kNoNeed);
    }
}

TEST_F(SplitRequest, RefusesASourceWhoseSizeChangedSinceItWasChosen) {
    // Chosen at 300,000 bytes, then grown or shrunk: splitting at the old size would cut it.
    const std::string source = makeSource("download.iso", 300000);
    for (const std::int64_t chosenSize : {250000, 350000}) {
        SCOPED_TRACE(chosenSize);
        m_host.informations.clear();
        EXPECT_EQ(refusal(source, chosenSize, 100000),
                  "The file you selected has changed size since you selected it. Click the "
                  "\"Select A File To Split\" button and select the file again.");
    }
}

TEST_F(SplitRequest, Accepts399PiecesAndRefuses400) {
    const std::string source = folder() + "big.bin";
    makeSparse(source, 39900001);
    EXPECT_EQ(refusal(source, 39900001, 100000), kTooMany);

    std::filesystem::resize_file(source, 39900000);
    EXPECT_EQ(split(source, 100000), SplitOutcome::Completed);
    // 399 full pieces and the empty one after a source that ends on a piece's last byte.
    EXPECT_EQ(fileSize(folder() + "big.399"), 100000);
    EXPECT_EQ(fileSize(folder() + "big.400"), 0);
    EXPECT_FALSE(fileExists(folder() + "big.401"));
}

TEST_F(SplitRequest, RefusesAnEmptySourceOrAnUnknownSize) {
    const std::string empty = makeSource("empty.txt", 0);
    EXPECT_EQ(refusal(empty, 0, 100000),
              "The file you selected is empty, so there is nothing to split.");
    m_host.informations.clear();
    const std::string source = makeSource("movie.avi", 300000);
    EXPECT_EQ(refusal(source, -1, 100000),
              "The size of the file you selected could not be read. Click the \"Select A File To "
              "Split\" button and select the file again.");
}

TEST_F(SplitRequest, RefusesASplitSizeBelowOneBlock) {
    const std::string source = makeSource("movie.avi", 300000);
    for (const std::int64_t size : {0, -5, 8191}) {
        SCOPED_TRACE(size);
        m_host.informations.clear();
        EXPECT_EQ(refusal(source, 300000, size), "The split size must be at least 8192 bytes.");
    }
}

TEST_F(SplitRequest, RefusesNamesTheScriptCannotHold) {
    for (const std::string name :
         {"say\"hi\".txt", "tab\there.txt", "line\nbreak", "a.b\x1f", "p|q.dat", "l<g>.dat",
          "what?.txt", "star*.txt", "c:d.txt", "back\\slash.txt", "del\x7f.txt",
          "caf\xC3\xA9 \xC3\xBCn\xC3\xAF.txt"}) {
        SCOPED_TRACE(name);
        m_host.informations.clear();
        const std::string source = makeSource(name, 300000);
        EXPECT_EQ(refusal(source, 300000, 100000),
                  "The file name " + name +
                      " contains a character that the rejoin script cannot hold on Windows: a "
                      "double quote, one of * : < > ? \\ |, a control character or a letter "
                      "outside plain ASCII. Rename the file and then attempt the split again.");
        std::filesystem::remove(source);
    }
}

TEST_F(SplitRequest, RefusesAnExistingNameOfAnyPieceOrTheScriptNamingTheFirst) {
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
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.named);
        m_host.informations.clear();
        for (const std::string& file : c.files)
            writeFile(folder() + file, "old");
        if (!c.subfolder.empty())
            std::filesystem::create_directory(folder() + c.subfolder);
        EXPECT_EQ(refusal(source, 250000, 100000), existingName(c.named));
        for (const std::string& file : c.files) {
            EXPECT_EQ(readFile(folder() + file), "old");
            std::filesystem::remove(folder() + file);
        }
        if (!c.subfolder.empty())
            std::filesystem::remove(folder() + c.subfolder);
    }
    // A name the split does not write is nobody's concern.
    writeFile(folder() + "my.4", "old");
    EXPECT_EQ(split(source, 100000), SplitOutcome::Completed);
    EXPECT_EQ(readFile(folder() + "my.4"), "old");
}

TEST_F(SplitRequest, RefusesADotFileOrALinkAtTheFirstPiece) {
    const std::string source = makeSource(".profile", 300000);
    writeFile(folder() + ".1", "old");
    EXPECT_EQ(refusal(source, 300000, 100000), existingName(".1"));

    m_host.informations.clear();
    std::filesystem::remove(folder() + ".1");
    std::filesystem::create_symlink(folder() + "nowhere", folder() + ".1");
    EXPECT_EQ(refusal(source, 300000, 100000), existingName(".1"));
}

TEST_F(SplitRequest, RefusesNamesWindowsReservesOrTakesForAPieceOrTheScript) {
    const auto device = [](const std::string& fileName, const std::string& baseName) {
        return "The file name " + fileName + " begins with " + baseName +
               ", a name that Windows keeps for a device, so the rejoin script could not recreate "
               "the file on Windows. Rename the file and then attempt the split again.";
    };
    const auto clash = [](const std::string& target, const std::string& name) {
        return "The rejoin script would recreate the file as " + target +
               ", which Windows takes for the name " + name +
               " that the script itself needs, so the rejoin would overwrite it. Rename the file "
               "and then attempt the split again.";
    };
    const std::pair<std::string, std::string> cases[] = {
        {"CON", device("CON", "CON")},
        {"con.txt", device("con.txt", "con")},
        {"Lpt9.tar.gz", device("Lpt9.tar.gz", "Lpt9")},
        {"nul .log", device("nul .log", "nul ")},
        {"...",
         "The file name ... would be recreated by the rejoin script as ., which Windows takes "
         "for a folder. Rename the file and then attempt the split again."},
        // The copy would write over the running script, or over a piece it still reads.
        {"notes.txt.bat", clash("notes.bat", "notes.bat")},
        {"Notes.x.BAT", clash("Notes.BAT", "Notes.bat")},
        {"run.x.bat ", clash("run.bat ", "run.bat")},
        {"access.log.2", clash("access.2", "access.2")},
        {"x.log.1", clash("x.1", "x.1")},
    };
    for (const auto& [name, message] : cases) {
        SCOPED_TRACE(name);
        m_host.informations.clear();
        const std::string source = makeSource(name, 300000);
        EXPECT_EQ(refusal(source, 300000, 100000), message);
        std::filesystem::remove(source);
    }
}

TEST_F(SplitRequest, ProbesTheFirstPieceInTheOutputFolder) {
    TempFolder output;
    settings::writeOutputFolder(output.path());
    writeFile(output.file("movie.1"), "old");
    const std::string source = makeSource("movie.avi", 300000);
    EXPECT_EQ(refusal(source, 300000, 100000), existingName("movie.1"));
}

TEST_F(SplitRequest, RefusesToWriteOverTheSource) {
    const std::string overwritten =
        "The split would overwrite the file you selected, because the split file name ";
    const std::string advice = " is the name of that file. Move the file to a separate folder "
                               "or choose another output folder and then attempt the split again.";
    // log.2 is the second piece of its own split, run.bat its own script, and a source that
    // fills three pieces exactly would have its empty fourth piece written over it.
    const std::pair<const char*, std::int64_t> cases[] = {
        {"log.2", 250000}, {"run.bat", 250000}, {"x.4", 300000}};
    for (const auto& [name, size] : cases) {
        SCOPED_TRACE(name);
        m_host.informations.clear();
        const std::string source = makeSource(name, size);
        EXPECT_EQ(refusal(source, size, 100000), overwritten + name + advice);
        EXPECT_EQ(fileSize(source), size);
        std::filesystem::remove(source);
    }
}

TEST_F(SplitRequest, RefusesWhenTheDestinationLacksSpace) {
    // A sparse source far larger than the disk.
    const std::int64_t size = 10'000'000'000'000;
    const std::string source = folder() + "huge.img";
    makeSparse(source, size);
    const std::string message = refusal(source, size, 30'000'000'000);
    const std::string start = "There is not enough free space in the folder " + folder() +
                              " for the split files. The split needs ";
    ASSERT_EQ(message.substr(0, start.size()), start);
    EXPECT_GE(std::stoll(message.substr(start.size())), size);
    EXPECT_EQ(message.substr(message.size() - 16), " bytes are free.");
}

TEST_F(SplitRequest, RefusesASecondSplitWhileOneRuns) {
    const std::string first = makeSource("first.bin", 300000);
    const std::string second = makeSource("second.bin", 300000);
    int nestedRequests = 0;
    m_host.onProcessMessages = [&] {
        if (nestedRequests++ == 0) {
            EXPECT_EQ(split(second, 100000), SplitOutcome::Refused);
        }
    };
    // The nested request shows its refusal through the same host, before the job's own message.
    EXPECT_EQ(split(first, 100000), SplitOutcome::Completed);
    ASSERT_EQ(m_host.informations.size(), 2u);
    EXPECT_EQ(m_host.informations[0],
              "A split is already running. Wait until it has finished before you start another "
              "one.");
    EXPECT_EQ(m_host.informations[1].rfind("Finished.", 0), 0u);
    EXPECT_FALSE(fileExists(folder() + "second.1"));
    EXPECT_EQ(readFile(folder() + "first.1") + readFile(folder() + "first.2") +
                  readFile(folder() + "first.3"),
              readFile(first));
    EXPECT_EQ(settings::ReadSplitCounter(), 1);
    EXPECT_FALSE(isSplitRunning());
}
