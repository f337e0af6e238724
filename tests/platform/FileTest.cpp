#include "platform/File.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include <pthread.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/StopSignals.h"
#include "support/ChildProcess.h"
#include "support/IoFailure.h"
#include "support/TempFolder.h"

// Nothing that stands at a name is replaced or written through: a file, a link (dangling or
// not), the other name of a hard link, a folder.
TEST(File, CreateNewRefusesAnyExistingEntryAndLeavesItAlone) {
    TempFolder folder;
    writeFile(folder.file("target"), "keep me");
    ASSERT_EQ(0, ::symlink(folder.file("target").c_str(), folder.file("link").c_str()));
    ASSERT_EQ(0, ::symlink(folder.file("nowhere").c_str(), folder.file("dangling").c_str()));
    ASSERT_EQ(0, ::link(folder.file("target").c_str(), folder.file("second").c_str()));
    ASSERT_EQ(0, ::mkdir(folder.file("sub").c_str(), 0700));
    for (const char* name : {"target", "link", "dangling", "second", "sub"}) {
        SCOPED_TRACE(name);
        try {
            File::createNew(folder.file(name));
            ADD_FAILURE() << "created over an existing entry";
        } catch (const IoError& error) {
            EXPECT_EQ(ioFailureOf(error),
                      IoFailure(IoError::Operation::Create, folder.file(name), EEXIST));
        }
    }
    EXPECT_EQ("keep me", readFile(folder.file("target")));
    EXPECT_FALSE(fileExists(folder.file("nowhere")));
}

TEST(File, OpeningAMissingFileNamesItAndTheReason) {
    TempFolder folder;
    try {
        File::openRegular(folder.file("missing"), File::Links::Follow);
        FAIL() << "a missing file opened";
    } catch (const IoError& error) {
        EXPECT_EQ(ioFailureOf(error),
                  IoFailure(IoError::Operation::Open, folder.file("missing"), ENOENT));
    }
}

// A file size limit makes the kernel store part of a write and refuse the rest, as a disk that
// fills up does; at 4 GiB, as FAT does, the failure says so.
TEST(File, AWriteThatStopsShortIsAnError) {
    const struct {
        rlim_t limit;
        off_t start;
        IoError::Fault fault;
    } cases[] = {{1000, 0, IoError::Fault::System},
                 {(rlim_t{1} << 32) - 1, (off_t{1} << 32) - 1000, IoError::Fault::FileSizeLimit}};
    for (const auto& c : cases) {
        TempFolder folder;
        const std::string path = folder.file("piece");
        const IoFailure expected{IoError::Operation::Write, path, EFBIG};
        const int status = runInChild([&] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{c.limit, c.limit};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
                return 3;
            File file = File::createNew(path);
            ::lseek(file.descriptor(), c.start, SEEK_SET);
            const std::string block(4096, 'x');
            try {
                file.write(block.data(), block.size());
            } catch (const IoError& error) {
                return expected == ioFailureOf(error) && error.fault() == c.fault ? 0 : 2;
            }
            return 1;
        });
        EXPECT_EQ(0, status) << "1: no error, 2: another failure, 3: no limit";
        EXPECT_EQ(static_cast<rlim_t>(std::filesystem::file_size(path)), c.limit);
    }
}

// A read that waits on a pipe is given up once a stop signal has arrived.
TEST(File, AWaitingReadGivesUpOnceAStopSignalArrived) {
    const int status = runInChild([] {
        const StopSignals signals;
        int ends[2];
        if (::pipe(ends) != 0)
            return 3;
        File reader = File::adopt(ends[0], "pipe");
        const pthread_t reading = ::pthread_self();
        std::thread interrupter([reading] {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            ::pthread_kill(reading, SIGINT);
        });
        interrupter.detach();
        char byte;
        try {
            reader.read(&byte, 1);
        } catch (const IoError& error) {
            return error.errorNumber() == EINTR ? 0 : 2;
        }
        return 1;
    });
    EXPECT_EQ(0, status) << "1: read returned, 2: another error, 3: no setup";
}
