// Faults that strike between the request and the job, or while the job runs: the test acts from
// one of the job's steps, taken once per block.

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <tuple>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "ScriptFollower.h"
#include "SplitFixture.h"
#include "engine/JobRunner.h"
#include "engine/SplitJob.h"
#include "engine/SplitRequest.h"
#include "platform/FileSystem.h"
#include "support/ChildProcess.h"
#include "support/IoFailure.h"

namespace {

// 250000 bytes at 100000 make three pieces of two steps each, its creation and its one block;
// the 4th ends the second piece.
constexpr std::int64_t kSourceSize = 250000;
constexpr std::int64_t kSplitSize = 100000;
constexpr long kInSecondPiece = 4;

using Operation = IoError::Operation;
using Cleanup = SplitFailure::Cleanup;
using Ending = std::tuple<IoFailure, Cleanup, std::optional<IoFailure>>;

class FaultInjection : public SplitFixture {
protected:
    // Runs action once, at the job's given step.
    void atStep(long count, std::function<void()> action) {
        m_steps.onStep = [this, count, action] {
            if (m_steps.count == count)
                action();
        };
    }

    // The failure the split ends with, if it ends with one.
    std::optional<SplitFailure> splitFailure(const std::string& source) {
        try {
            split(source, kSplitSize);
        } catch (const SplitFailure& failure) {
            return failure;
        }
        return std::nullopt;
    }

    // What the split's failure says: its cause, what became of the pieces, the removal that
    // failed.
    std::optional<Ending> splitEnding(const std::string& source) {
        const std::optional<SplitFailure> failure = splitFailure(source);
        if (!failure)
            return std::nullopt;
        const IoError* removal = failure->removalFailure();
        return Ending{ioFailureOf(failure->cause()), failure->cleanup(),
                      removal ? std::optional(ioFailureOf(*removal)) : std::nullopt};
    }
};

} // namespace

TEST_F(FaultInjection, AMissingOutputFolderIsNamedBeforeAnythingIsWritten) {
    const std::string source = makeSource("movie.avi", kSourceSize);
    TempFolder parent;
    const std::string gone = parent.file("gone/");
    m_outputFolder = gone;
    const std::size_t descriptors = openDescriptorCount();

    try {
        split(source, kSplitSize);
        ADD_FAILURE() << "no error";
    } catch (const IoError& error) {
        EXPECT_EQ(ioFailureOf(error), IoFailure(Operation::OpenFolder, gone, ENOENT));
    }
    EXPECT_EQ(entriesOf(folder()), std::set<std::string>{"movie.avi"});
    EXPECT_EQ(openDescriptorCount(), descriptors);
}

TEST_F(FaultInjection, AnOutputFolderRemovedDuringTheJobEndsItWithThePieceName) {
    const std::string source = makeSource("movie.avi", kSourceSize);
    TempFolder output;
    m_outputFolder = output.path();
    atStep(kInSecondPiece, [&] { std::filesystem::remove_all(output.path()); });
    const std::size_t descriptors = openDescriptorCount();

    EXPECT_EQ(splitEnding(source),
              Ending({Operation::Create, output.path() + "movie.3", ENOENT}, Cleanup::Removed, {}));
    EXPECT_EQ(openDescriptorCount(), descriptors);
    EXPECT_EQ(readFile(source).size(), static_cast<std::size_t>(kSourceSize));
}

// The folder held open from the check on gets every file, though renamed or its link re-pointed,
// and the completion says where it is now.
TEST_F(FaultInjection, EveryFileGoesToTheFolderThatWasChecked) {
    const std::string source = makeSource("movie.avi", kSourceSize);
    const struct {
        bool throughLink;
        bool replaced; // a new folder made at the path
    } cases[] = {{false, true}, {true, true}, {false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.throughLink);
        SCOPED_TRACE(c.replaced);
        TempFolder parent;
        const std::string out = parent.file("out"), held = parent.file("held");
        std::filesystem::create_directory(c.throughLink ? held : out);
        if (c.throughLink)
            std::filesystem::create_directory_symlink(held, out);
        m_outputFolder = out;
        m_steps = JobSteps();
        atStep(kInSecondPiece, [&] {
            if (c.throughLink)
                std::filesystem::remove(out);
            else
                std::filesystem::rename(out, held);
            if (c.replaced)
                std::filesystem::create_directory(out);
        });
        const SplitOutcome outcome = split(source, kSplitSize);
        ASSERT_TRUE(std::holds_alternative<SplitCompletion>(outcome));
        const Folder::Whereabouts whereabouts = std::get<SplitCompletion>(outcome).whereabouts;
        EXPECT_TRUE(whereabouts.moved);
        EXPECT_EQ(whereabouts.currentPath, held + "/");
        EXPECT_EQ(entriesOf(held), (std::set<std::string>{"movie.1", "movie.2", "movie.3",
                                                          "movie.bat", "movie.sha256"}));
        EXPECT_EQ(std::filesystem::exists(out) ? entriesOf(out).size() : 0u, 0u);
    }
}

// How many waits for a lock on the file or folder at path /proc/locks lists.
int lockWaitersOn(const std::string& path) {
    struct stat status {};
    stat(path.c_str(), &status);
    const std::string inode = ":" + std::to_string(status.st_ino) + " ";
    std::ifstream locks("/proc/locks");
    int waiters = 0;
    for (std::string line; std::getline(locks, line);)
        waiters += line.find("->") != std::string::npos && line.find(inode) != std::string::npos;
    return waiters;
}

// Checked while another program holds the folder's turn, the splits wait for it: names are
// created in turn, so of two names Windows takes for one only one set completes, and a stop
// ends the wait with nothing written.
TEST_F(FaultInjection, SplitsWaitForTheFolderInTurnAndOneOfNamesWindowsTakesForOneFails) {
    const std::string lower = makeSource("movie.avi", kSourceSize);
    const std::string upper = makeSource("Movie.avi", kSourceSize);
    const std::string other = makeSource("clip.avi", kSourceSize);
    const int turn = open(folder().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_EQ(flock(turn, LOCK_EX), 0);
    auto runner = [&](const std::string& source) {
        return std::make_unique<JobRunner<SplitJob>>(
            std::make_unique<SplitJob>(SplitRequest{source, kSourceSize, kSplitSize, ""}));
    };
    auto first = runner(lower), second = runner(upper), stopped = runner(other);
    for (int tenth = 0; tenth < 600 && lockWaitersOn(folder()) < 3; ++tenth)
        usleep(100'000);
    ASSERT_EQ(lockWaitersOn(folder()), 3) << "the splits did not wait for the folder's turn";
    stopped->stop();
    pollfd ended{stopped->endedDescriptor(), POLLIN, 0};
    EXPECT_EQ(poll(&ended, 1, 10'000), 1) << "the stop did not end the wait for the folder's turn";
    close(turn);
    EXPECT_TRUE(std::holds_alternative<SplitStopped>(stopped->takeOutcome()));
    int completed = 0;
    std::vector<std::string> failedAt;
    for (auto* run : {first.get(), second.get()}) {
        try {
            completed += std::holds_alternative<SplitCompletion>(run->takeOutcome());
        } catch (const SplitFailure& failure) {
            failedAt.push_back(failure.cause().path());
            EXPECT_EQ(failure.cause().errorNumber(), EEXIST);
        }
    }
    EXPECT_EQ(completed, 1);
    ASSERT_EQ(failedAt.size(), 1U);
    EXPECT_TRUE(failedAt[0] == folder() + "movie.1" || failedAt[0] == folder() + "Movie.1")
        << failedAt[0];
    std::set<std::string> left = entriesOf(folder());
    left.erase("movie.avi"), left.erase("Movie.avi"), left.erase("clip.avi");
    EXPECT_EQ(left.size(), 5U) << "one whole set of three pieces, a script and a checksum file";
    EXPECT_EQ(left.count("clip.1"), 0U);
}

// Root may write in a read-only folder, so the split runs as an ordinary user. A folder that
// turns read-only keeps the pieces, which cannot be removed; the error says so.
TEST_F(FaultInjection, AReadOnlyDestinationEndsTheJobWithTheFileAndTheReason) {
    const struct {
        long readOnlyAt; // 0: before the request
        std::string failedPiece;
        Cleanup cleanup;
        std::set<std::string> leftBehind;
    } cases[] = {
        {0, "movie.1", Cleanup::NothingWritten, {}},
        {kInSecondPiece, "movie.3", Cleanup::NotAllRemoved, {"movie.1", "movie.2"}},
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

        const IoFailure removal{Operation::Remove, output.file("movie.1"), EACCES};
        const Ending expected{{Operation::Create, output.file(c.failedPiece), EACCES},
                              c.cleanup,
                              c.leftBehind.empty() ? std::nullopt : std::optional(removal)};
        const int status = runInChild([&] {
            if (!becomeOrdinaryUser())
                return 10;
            const std::size_t descriptors = openDescriptorCount();
            if (splitEnding(source) != expected)
                return 11;
            return openDescriptorCount() == descriptors ? 0 : 12;
        });
        EXPECT_EQ(status, 0)
            << "10: cannot drop rights, 11: another failure, 12: a descriptor leaks";
        EXPECT_EQ(entriesOf(output.path()), c.leftBehind);
        std::filesystem::remove(source);
    }
}

// A stop whose clean-up fails says which file stayed, and why.
TEST_F(FaultInjection, AStopWhoseCleanUpFailsNamesTheFileThatStayed) {
    TempFolder output;
    const std::string source = makeSource("movie.avi", kSourceSize);
    m_outputFolder = output.path();
    handToOrdinaryUser(folder());
    handToOrdinaryUser(output.path());
    atStep(kInSecondPiece, [&] {
        ::chmod(output.path().c_str(), 0555);
        stopJob();
    });
    const int status = runInChild([&] {
        if (!becomeOrdinaryUser())
            return 10;
        const SplitOutcome outcome = split(source, kSplitSize);
        const auto* stopped = std::get_if<SplitStopped>(&outcome);
        const IoFailure expected{Operation::Remove, output.file("movie.1"), EACCES};
        return stopped && stopped->removalFailure &&
                       ioFailureOf(*stopped->removalFailure) == expected
                   ? 0
                   : 11;
    });
    EXPECT_EQ(status, 0) << "10: cannot drop rights, 11: another outcome";
}

TEST_F(FaultInjection, ASourceTruncatedDuringTheJobEndsItWithTheSourceName) {
    const std::string source = makeSource("movie.avi", kSourceSize);
    atStep(kInSecondPiece, [&] { std::filesystem::resize_file(source, 50000); });
    const std::size_t descriptors = openDescriptorCount();

    const std::optional<SplitFailure> failure = splitFailure(source);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->cleanup(), Cleanup::Removed);
    const IoError& cause = failure->cause();
    EXPECT_EQ(ioFailureOf(cause), IoFailure(Operation::Read, source, 0));
    EXPECT_EQ(cause.fault(), IoError::Fault::ShrankAfterChosen);
    const auto* shrank = std::get_if<IoError::Shrank>(&cause.details());
    ASSERT_TRUE(shrank);
    EXPECT_LT(shrank->bytesRead, kSourceSize);
    EXPECT_EQ(shrank->bytesExpected, kSourceSize);
    EXPECT_EQ(entriesOf(folder()), std::set<std::string>{"movie.avi"});
    EXPECT_EQ(openDescriptorCount(), descriptors);
}

// The job holds the source open, so what it reads stays the file that was chosen.
TEST_F(FaultInjection, ASourceRemovedDuringTheJobIsStillSplitWhole) {
    const std::string source = makeSource("movie.avi", kSourceSize);
    const std::string original = readFile(source);
    atStep(kInSecondPiece, [&] { std::filesystem::remove(source); });

    ASSERT_TRUE(std::holds_alternative<SplitCompletion>(split(source, kSplitSize)));
    EXPECT_EQ(followRejoinScript(folder(), "movie.bat"), "movie.avi");
    EXPECT_TRUE(readFile(source) == original);
}

// The job reads no further than the size the file had when it was chosen: more would be cut off.
TEST_F(FaultInjection, ASourceThatGrowsDuringTheJobEndsItAndLeavesNothing) {
    const std::string source = makeSource("movie.avi", kSourceSize);
    atStep(kInSecondPiece, [&] { writePatternFile(source, kSourceSize + 8192); });

    const std::optional<SplitFailure> failure = splitFailure(source);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->cause().fault(), IoError::Fault::GrewAfterChosen);
    EXPECT_EQ(failure->cleanup(), Cleanup::Removed);
    EXPECT_EQ(entriesOf(folder()), std::set<std::string>{"movie.avi"});
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
    // of 40,000 bytes, a script and a checksum file of less than one unit each.
    const std::string tooLarge = makeSource("large.bin", 1040000);
    EXPECT_EQ(std::get<SplitRefusal>(split(tooLarge, kSplitSize)),
              SplitRefusal(NotEnoughSpace{
                  disk.path(), 10 * units(kSplitSize) + units(40000) + 2 * unit, 1048576}));

    // The disk fills up while the job runs: nothing of the split stays.
    const std::string source = makeSource("movie.avi", 900000);
    atStep(kInSecondPiece, [&] { writeFile(disk.file("filler"), std::string(600000, 'f')); });
    EXPECT_EQ(splitEnding(source),
              Ending({Operation::Write, disk.file("movie.5"), ENOSPC}, Cleanup::Removed, {}));
    EXPECT_EQ(entriesOf(disk.path()), std::set<std::string>{"filler"});
    ::umount(disk.path().c_str());
}
