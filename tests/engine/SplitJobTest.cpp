#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <thread>

#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "ScriptFollower.h"
#include "SplitFixture.h"
#include "engine/JobRunner.h"
#include "engine/SizeCatalogue.h"
#include "engine/SplitJob.h"
#include "support/ChildProcess.h"
#include "support/IoFailure.h"
#include "support/ProgramRun.h"

namespace {

// What a completed split reports.
void expectCompletion(const SplitOutcome& outcome, const std::string& folder,
                      std::int64_t pieceCount) {
    const auto* completion = std::get_if<SplitCompletion>(&outcome);
    ASSERT_TRUE(completion);
    EXPECT_EQ(completion->folder, folder);
    EXPECT_EQ(completion->baseName, "movie");
    EXPECT_EQ(completion->targetName, "movie.avi");
    EXPECT_EQ(completion->pieceCount, pieceCount);
}

class SplitJobRun : public SplitFixture {};

} // namespace

TEST_F(SplitJobRun, EndsWithTheFirstReadThatDeliversNothing) {
    // The tail read of a 1,000,000-byte piece asks for 576 bytes.
    const struct {
        std::int64_t sourceSize;
        std::vector<std::int64_t> pieceSizes;
    } cases[] = {
        {3000000, {1000000, 1000000, 1000000, 0}},
        {2999800, {1000000, 1000000, 999800, 0}},
        {2999000, {1000000, 1000000, 999000}},
        {2500000, {1000000, 1000000, 500000}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sourceSize);
        TempFolder work;
        m_steps = JobSteps();
        const std::string source = work.file("movie.avi");
        writePatternFile(source, c.sourceSize);
        const SplitOutcome outcome = split(source, 1000000);
        const int count = static_cast<int>(c.pieceSizes.size());
        EXPECT_EQ(piecesWritten(c.sourceSize, 1000000), count);
        std::string joined;
        for (int index = 1; index <= count; ++index) {
            const std::string piece = work.file("movie." + std::to_string(index));
            EXPECT_EQ(fileSize(piece), c.pieceSizes[index - 1]) << index;
            joined += readFile(piece);
        }
        EXPECT_FALSE(fileExists(work.file("movie." + std::to_string(count + 1))));
        EXPECT_EQ(joined, readFile(source));
        const CopyLine copy = parseCopyLine(scriptLines(readFile(work.file("movie.bat")))[1]);
        EXPECT_EQ(copy.sources.size(), c.pieceSizes.size());
        expectCompletion(outcome, work.path(), count);
    }
}

TEST_F(SplitJobRun, WholeBlockSizeMakesNoTailRead) {
    const std::int64_t size = *size_catalogue::sizeFromText("5120k");
    ASSERT_EQ(size % 8192, 0);
    const std::string source = makeSource("disk.img", 11000000);
    ASSERT_TRUE(std::holds_alternative<SplitCompletion>(split(source, size)));
    EXPECT_EQ(fileSize(folder() + "disk.1"), 5120000);
    EXPECT_EQ(fileSize(folder() + "disk.2"), 5120000);
    EXPECT_EQ(fileSize(folder() + "disk.3"), 760000);
    EXPECT_FALSE(fileExists(folder() + "disk.4"));
    EXPECT_EQ(m_finalProgress.piecesOnMedium, 3);
}

TEST_F(SplitJobRun, RejoinScriptRecreatesTheSource) {
    const std::pair<std::int64_t, std::int64_t> cases[] = {
        {250000, 100000}, {1000000, 100000}, {1399999, 700000}, {123457, 8192}, {2000001, 20000}};
    for (const auto& [sourceSize, splitSize] : cases) {
        SCOPED_TRACE(std::to_string(sourceSize) + " at " + std::to_string(splitSize));
        TempFolder work;
        const std::string source = work.file("data set.bin");
        writePatternFile(source, sourceSize);
        const std::string original = readFile(source);
        ASSERT_TRUE(std::holds_alternative<SplitCompletion>(split(source, splitSize)));
        std::filesystem::remove(source);
        EXPECT_EQ(followRejoinScript(work.path(), "data set.bat"), "data set.bin");
        EXPECT_EQ(readFile(work.file("data set.bin")), original);
    }
}

TEST_F(SplitJobRun, ReportsOnTheMediumNoMoreThanItRead) {
    const std::string source = makeSource("movie.avi", 30000000);
    JobProgress last;
    m_steps.onStep = [&] {
        const JobProgress now = m_job->progress();
        EXPECT_LE(now.bytesOnMedium, now.bytesRead);
        EXPECT_GE(now.bytesOnMedium, last.bytesOnMedium);
        EXPECT_GE(now.currentPiece, last.currentPiece);
        last = now;
    };
    ASSERT_TRUE(std::holds_alternative<SplitCompletion>(split(source, 10000000)));
    EXPECT_GT(last.bytesOnMedium, 0) << "write-back runs while a piece is written";
    EXPECT_EQ(m_finalProgress.bytesOnMedium, 30000000);
    EXPECT_EQ(m_finalProgress.bytesRead, 30000000);
    EXPECT_EQ(m_finalProgress.piecesOnMedium, 4);
    EXPECT_EQ(m_finalProgress.pieceCount, 4);
    EXPECT_EQ(m_finalProgress.currentPiece, 4);
}

TEST_F(SplitJobRun, WritesIntoTheOutputFolderItIsGiven) {
    // Pieces of several blocks, more than the digests' ring holds: sha256sum sees every block
    // digested in turn.
    const std::string source = makeSource("movie.avi", 25000001);
    // With its slash, and without one (edited by hand in the settings file).
    const std::function<std::string(const std::string&)> storedForms[] = {
        [](const std::string& path) { return path; },
        [](const std::string& path) { return path.substr(0, path.size() - 1); },
    };
    for (const auto& stored : storedForms) {
        TempFolder output;
        SCOPED_TRACE(stored(output.path()));
        m_outputFolder = stored(output.path());
        m_steps = JobSteps();
        expectCompletion(split(source, 10000000), output.path(), 3);
        EXPECT_EQ(entriesOf(output.path()), (std::set<std::string>{"movie.1", "movie.2", "movie.3",
                                                                   "movie.bat", "movie.sha256"}));
        EXPECT_EQ(entriesOf(folder()), std::set<std::string>{"movie.avi"});
        // The system's own tool checks the pieces, and the file once it is back.
        const TempFolder logs;
        const ProgramRun before =
            runProgram("sha256sum", output.path(), "--ignore-missing -c movie.sha256", logs.path());
        EXPECT_EQ(before.out, "movie.1: OK\nmovie.2: OK\nmovie.3: OK\n") << before.err;
        std::filesystem::copy_file(source, output.file("movie.avi"));
        const ProgramRun check =
            runProgram("sha256sum", output.path(), "-c movie.sha256", logs.path());
        EXPECT_EQ(check.exitCode, 0) << check.err;
        EXPECT_EQ(check.out, "movie.1: OK\nmovie.2: OK\nmovie.3: OK\nmovie.avi: OK\n");
    }
}

TEST_F(SplitJobRun, StopRemovesWhatTheJobWrote) {
    // At the start of the first piece, inside it and inside the second with blocks still being
    // digested, and after the last piece, before the script (the last, 29th, step of 25 MB at
    // 10 MB: each whole piece is created, then copied in ten blocks).
    for (const long stopAt : {1L, 5L, 17L, 29L}) {
        SCOPED_TRACE(stopAt);
        TempFolder work;
        const std::string source = work.file("movie.avi");
        writePatternFile(source, 25000000);
        m_steps = JobSteps();
        m_steps.onStep = [&] {
            if (m_steps.count == stopAt)
                stopJob();
        };
        const std::size_t descriptors = openDescriptorCount();
        EXPECT_TRUE(std::holds_alternative<SplitStopped>(split(source, 10000000)));
        EXPECT_EQ(m_steps.count, stopAt);
        EXPECT_EQ(entriesOf(work.path()), std::set<std::string>{"movie.avi"});
        EXPECT_EQ(openDescriptorCount(), descriptors);
    }
}

// Stopped while the job pauses at each of its steps in turn, the runner tells of the end by its
// descriptor and hands its result over once; its threads end with it.
TEST_F(SplitJobRun, ARunnerDeliversOneResultWhereverItIsStopped) {
    const std::string source = makeSource("movie.avi", 250000);
    const int status = runInChild([&] {
        for (long stopAt = 1; stopAt <= 7; ++stopAt) {
            auto job = std::make_unique<SplitJob>(SplitRequest{source, 250000, 100000, ""});
            std::atomic<long> steps{0};
            job->observeSteps([&] {
                if (++steps == stopAt)
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
            });
            JobRunner<SplitJob> runner(std::move(job));
            pollfd ended{runner.endedDescriptor(), POLLIN, 0};
            // A job that ends without that step (refused, say) ends the wait too.
            while (steps < stopAt && ::poll(&ended, 1, 0) == 0)
                std::this_thread::yield();
            runner.stop();
            if (::poll(&ended, 1, 10000) != 1)
                std::_Exit(10); // the runner's end would wait for the job for ever
            if (!std::holds_alternative<SplitStopped>(runner.takeOutcome()))
                return 11;
            try {
                runner.takeOutcome();
                return 12;
            } catch (const std::logic_error&) {
            }
        }
        return 0;
    });
    EXPECT_EQ(status, 0) << "10: no end told, 11: not stopped, 12: a second result, -1: crashed";
    EXPECT_EQ(entriesOf(folder()), std::set<std::string>{"movie.avi"});
}

TEST_F(SplitJobRun, CompletedAndRefusedSplitsLeaveNoDescriptorOpen) {
    const std::string source = makeSource("movie.avi", 250000);
    const std::size_t descriptors = openDescriptorCount();
    EXPECT_TRUE(std::holds_alternative<SplitCompletion>(split(source, 100000)));
    EXPECT_TRUE(std::holds_alternative<SplitRefusal>(split(source, 100000)));
    EXPECT_EQ(openDescriptorCount(), descriptors);
}

TEST_F(SplitJobRun, AWriteFailureNamesTheFileAndRemovesEveryPiece) {
    const std::string source = makeSource("movie.avi", 2500000);
    using Cleanup = SplitFailure::Cleanup;
    const IoFailure expected{IoError::Operation::Write, folder() + "movie.1", EFBIG};
    const int status = runInChild([&] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{600000, 600000};
        setrlimit(RLIMIT_FSIZE, &limit);
        try {
            split(source, 1000000);
        } catch (const SplitFailure& error) {
            return ioFailureOf(error.cause()) == expected && error.cleanup() == Cleanup::Removed
                       ? 0
                       : 10;
        }
        return 11;
    });
    EXPECT_EQ(status, 0) << "10: another error text, 11: no error";
    EXPECT_EQ(entriesOf(folder()), std::set<std::string>{"movie.avi"});

    // A name that appears while the job runs, as another split's script would, is not replaced;
    // the checksum file written before a taken script name goes with the pieces.
    for (const std::string taken : {"movie.bat", "movie.sha256"}) {
        m_steps = JobSteps();
        m_steps.onStep = [&] {
            if (m_steps.count == 2)
                writeFile(folder() + taken, "theirs");
        };
        try {
            split(source, 1000000);
            ADD_FAILURE() << "no error";
        } catch (const SplitFailure& error) {
            EXPECT_EQ(ioFailureOf(error.cause()),
                      IoFailure(IoError::Operation::Create, folder() + taken, EEXIST));
            EXPECT_EQ(error.cleanup(), Cleanup::Removed);
        }
        EXPECT_EQ(entriesOf(folder()), (std::set<std::string>{"movie.avi", taken}));
        EXPECT_EQ(readFile(folder() + taken), "theirs");
        std::filesystem::remove(folder() + taken);
    }

    // A drop folder that may be written and searched but not listed takes the whole split: the
    // split holds the folder itself and syncs its file system through the files it wrote.
    const TempFolder dropFolder;
    m_outputFolder = dropFolder.path();
    handToOrdinaryUser(folder());
    handToOrdinaryUser(dropFolder.path());
    ::chmod(dropFolder.path().c_str(), 0300);
    const int completed = runInChild([&] {
        try {
            return becomeOrdinaryUser() ? (split(source, 1000000), 0) : 12;
        } catch (const SplitFailure&) {
            return 10;
        }
    });
    ::chmod(dropFolder.path().c_str(), 0700);
    EXPECT_EQ(completed, 0) << "10: failed, 12: cannot drop rights";
    EXPECT_EQ(entriesOf(dropFolder.path()), (std::set<std::string>{"movie.1", "movie.2", "movie.3",
                                                                   "movie.bat", "movie.sha256"}));
}

TEST_F(SplitJobRun, AnUnreadableSourceSaysWhyAndLeavesNothing) {
    const std::string source = makeSource("movie.avi", 250000);
    chmod(folder().c_str(), 0777);
    chmod(source.c_str(), 0);
    const int status = runInChild([&] {
        if (!becomeOrdinaryUser())
            return 10;
        const SplitOutcome outcome = split(source, 100000);
        const auto* unreadable = std::get_if<SourceUnreadable>(&outcome);
        if (!unreadable)
            return 11;
        return ioFailureOf(unreadable->problem) ==
                       IoFailure(IoError::Operation::Open, source, EACCES)
                   ? 0
                   : 12;
    });
    EXPECT_EQ(status, 0) << "10: cannot drop privileges, 11: another outcome, 12: another reason";
    EXPECT_EQ(entriesOf(folder()), std::set<std::string>{"movie.avi"});
}
