// Faults that strike between the request and the job, or while the job runs: the test acts from
// one of the job's steps, taken once per block.

#include <filesystem>
#include <string>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "ScriptFollower.h"
#include "SplitFixture.h"
#include "engine/SplitJob.h"
#include "engine/SplitRequest.h"
#include "platform/FileSystem.h"
#include "platform/IoError.h"
#include "support/ChildProcess.h"

namespace {

// 250000 bytes at 100000 make three pieces of 13 steps or fewer each; the 20th falls in the
// second piece.
constexpr std::int64_t kSourceSize = 250000;
constexpr std::int64_t kSplitSize = 100000;
constexpr long kInSecondPiece = 20;

class FaultInjection : public SplitFixture {
protected:
    // Runs action once, at the job's given step.
    void atStep(long count, std::function<void()> action) {
        m_steps.onStep = [this, count, action] {
            if (m_steps.count == count)
                action();
        };
    }

    // The message of the IoError the split ends with, or "" when it ends without one.
    std::string splitError(const std::string& source) {
        try {
            split(source, kSplitSize);
        } catch (const IoError& error) {
            return error.what();
        }
        return "";
    }
};

bool startsWith(const std::string& text, const std::string& start) {
    return text.rfind(start, 0) == 0;
}

} // namespace

TEST_F(FaultInjection, AMissingOutputFolderEndsTheJobWithItsName) {
    const std::string source = makeSource("movie.avi", kSourceSize);
    TempFolder parent;
    const std::string gone = parent.file("gone/");
    m_outputFolder = gone;
    const std::size_t descriptors = openDescriptorCount();

    EXPECT_EQ(splitError(source),
              "Could not create " + gone + "movie.1: No such file or directory");
    EXPECT_EQ(entriesOf(folder()), std::set<std::string>{"movie.avi"});
    EXPECT_EQ(openDescriptorCount(), descriptors);
}

TEST_F(FaultInjection, AnOutputFolderRemovedDuringTheJobEndsItWithThePieceName) {
    const std::string source = makeSource("movie.avi", kSourceSize);
    TempFolder output;
    m_outputFolder = output.path();
    atStep(kInSecondPiece, [&] { std::filesystem::remove_all(output.path()); });
    const std::size_t descriptors = openDescriptorCount();

    EXPECT_EQ(splitError(source), "Could not create " + output.path() +
                                      "movie.3: No such file or directory. The split files "
                                      "written so far have been removed.");
    EXPECT_EQ(openDescriptorCount(), descriptors);
    EXPECT_EQ(readFile(source).size(), static_cast<std::size_t>(kSourceSize));
}

// Root may write in a read-only folder, so the split runs as an ordinary user. A folder that
// turns read-only keeps the pieces, which cannot be removed; the error says so.
TEST_F(FaultInjection, AReadOnlyDestinationEndsTheJobWithTheFileAndTheReason) {
    const struct {
        long readOnlyAt; // 0: before the request
        std::string error;
        std::set<std::string> leftBehind;
    } cases[] = {
        {0, "Could not create movie.1: Permission denied", {}},
        {kInSecondPiece,
         "Could not create movie.3: Permission denied. The split files written so far could not "
         "all be removed: Could not remove movie.1: Permission denied",
         {"movie.1", "movie.2"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.readOnlyAt);
        TempFolder output;
        const std::string source = makeSource("movie.avi", kSourceSize);
        m_outputFolder = output.path();
        handToOrdinaryUser(folder());
        handToOrdinaryUser(output.path());
        const auto makeReadOnly = [&] { ::chmod(output.path().c_str(), 0555); };
        if (c.readOnlyAt == 0)
            makeReadOnly();
        else
            atStep(c.readOnlyAt, makeReadOnly);

        std::string expected = c.error;
        for (std::size_t at = expected.find("movie."); at != std::string::npos;
             at = expected.find("movie.", at + output.path().size() + 1))
            expected.insert(at, output.path());
        const int status = runInChild([&] {
            if (!becomeOrdinaryUser())
                return 10;
            const std::size_t descriptors = openDescriptorCount();
            if (splitError(source) != expected)
                return 11;
            return openDescriptorCount() == descriptors ? 0 : 12;
        });
        EXPECT_EQ(status, 0) << "10: cannot drop rights, 11: not " << expected
                             << ", 12: a descriptor leaks";
        EXPECT_EQ(entriesOf(output.path()), c.leftBehind);
        std::filesystem::remove(source);
    }
}

TEST_F(FaultInjection, ASourceTruncatedDuringTheJobEndsItWithTheSourceName) {
    const std::string source = makeSource("movie.avi", kSourceSize);
    atStep(kInSecondPiece, [&] { std::filesystem::resize_file(source, 50000); });
    const std::size_t descriptors = openDescriptorCount();

    const std::string error = splitError(source);
    EXPECT_TRUE(startsWith(error, "Could not read " + source +
                                      ": the file became shorter after it was chosen ("))
        << error;
    EXPECT_NE(
        error.find(" of 250000 bytes read). The split files written so far have been removed."),
        std::string::npos)
        << error;
    EXPECT_EQ(entriesOf(folder()), std::set<std::string>{"movie.avi"});
    EXPECT_EQ(openDescriptorCount(), descriptors);
}

// The job holds the source open, so what it reads stays the file that was chosen.
TEST_F(FaultInjection, ASourceRemovedDuringTheJobIsStillSplitWhole) {
    const std::string source = makeSource("movie.avi", kSourceSize);
    const std::string original = readFile(source);
    atStep(kInSecondPiece, [&] { std::filesystem::remove(source); });

    ASSERT_EQ(split(source, kSplitSize).kind, SplitOutcome::Kind::Completed);
    EXPECT_EQ(followRejoinScript(folder(), "movie.bat"), "movie.avi");
    EXPECT_TRUE(readFile(source) == original);
}

// The split takes the size the file had when it was chosen; what is appended later is left out.
TEST_F(FaultInjection, ASourceThatGrowsDuringTheJobIsSplitAtItsChosenSize) {
    const std::string source = makeSource("movie.avi", kSourceSize);
    const std::string original = readFile(source);
    m_steps.onStep = [&] { writePatternFile(source, fileSize(source) + 8192); };

    ASSERT_EQ(split(source, kSplitSize).kind, SplitOutcome::Kind::Completed);
    EXPECT_GT(fileSize(source), kSourceSize);
    std::filesystem::rename(source, folder() + "grown");
    EXPECT_EQ(followRejoinScript(folder(), "movie.bat"), "movie.avi");
    EXPECT_TRUE(readFile(source) == original);
}

// A 1 MiB file system, where whole allocation units decide what fits. Mounting needs root.
TEST_F(FaultInjection, AFullDiskIsSeenBeforeTheSplitOrCleanedUpAfterIt) {
    TempFolder disk;
    if (::mount("tmpfs", disk.path().c_str(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "mounting needs root: the full-disk refusal and clean-up were not covered";
    m_outputFolder = disk.path();
    const std::int64_t unit = fs_entry::folderSpace(disk.path())->allocationUnit;
    const auto units = [unit](std::int64_t bytes) { return (bytes + unit - 1) / unit * unit; };

    // 1,040,000 bytes fit in the free bytes, but not in whole units: 10 full pieces, a last one
    // of 40,000 bytes and a script of less than one unit.
    const std::string tooLarge = makeSource("large.bin", 1040000);
    const SplitOutcome refused = split(tooLarge, kSplitSize);
    EXPECT_EQ(refused.refusal.reason, SplitRefusal::Reason::NotEnoughSpace);
    EXPECT_EQ(refused.refusal.bytesNeeded, 10 * units(kSplitSize) + units(40000) + unit);
    EXPECT_EQ(refused.refusal.bytesFree, 1048576);

    // The disk fills up while the job runs: nothing of the split stays.
    const std::string source = makeSource("movie.avi", 900000);
    atStep(kInSecondPiece, [&] { writeFile(disk.file("filler"), std::string(600000, 'f')); });
    EXPECT_EQ(splitError(source), "Could not write " + disk.path() +
                                      "movie.5: No space left on device. The split files written "
                                      "so far have been removed.");
    EXPECT_EQ(entriesOf(disk.path()), std::set<std::string>{"filler"});
    ::umount(disk.path().c_str());
}
