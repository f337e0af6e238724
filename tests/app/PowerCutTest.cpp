// The programs on a medium that loses power at each of their operations (tests/powercut): what
// survives is what they promised, whatever the moment.
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <vector>

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "engine/SplitFixture.h"
#include "support/MountedMedium.h"
#include "support/ProgramRun.h"
#include "support/TempFolder.h"

#ifdef POWERCUT_MEDIUM

namespace {

const char* const kMoments[] = {"before-commit/", "at-commit/"};

// One mount of the medium, holding seed's files, for one run of a program.
class Medium {
public:
    Medium(const std::string& seed, long cutAt) : m_mountPoint(m_work.file("mount/")) {
        ::mkdir(m_mountPoint.c_str(), 0700);
        m_daemon = ::fork();
        if (m_daemon == 0) {
            std::freopen(m_work.file("err").c_str(), "w", stderr);
            std::freopen("/dev/null", "w", stdout);
            const std::string cut = std::to_string(cutAt);
            ::execl(POWERCUT_MEDIUM, POWERCUT_MEDIUM, seed.c_str(), m_work.file("image").c_str(),
                    m_work.file("log").c_str(), cut.c_str(), m_mountPoint.c_str(), nullptr);
            ::_exit(127);
        }
        if (!waitUntilMounted(m_mountPoint, m_daemon)) {
            if (::waitpid(m_daemon, nullptr, WNOHANG) == 0)
                ::kill(m_daemon, SIGTERM);
            m_failure = "the medium did not mount: " + readFile(m_work.file("err"));
        }
    }
    ~Medium() { unmount(); }

    // Empty when mounted, else why not.
    const std::string& failure() const { return m_failure; }
    const std::string& path() const { return m_mountPoint; }

    // Runs program on the medium in folder, as users run it, with the syncs passed on (ahead of
    // the sanitizers' runtime in a sanitized build).
    ProgramRun run(const char* program, const std::string& arguments) {
        return runProgram("/usr/bin/env", m_mountPoint,
                          "\"ASAN_OPTIONS=$ASAN_OPTIONS:verify_asan_link_order=0\" "
                          "LD_PRELOAD=" POWERCUT_FORWARD_SYNCS " " +
                              std::string(program) + " " + arguments,
                          m_work.path());
    }

    // Unmounts; the images of the cut, or of a cut after the last operation, are then written.
    void unmount() {
        if (m_daemon <= 0)
            return;
        if (m_failure.empty())
            runProgram("fusermount3", "/", "-u '" + m_mountPoint + "'", m_work.path());
        ::waitpid(m_daemon, nullptr, 0);
        m_daemon = 0;
    }
    std::string image(const char* moment) const { return m_work.file("image/") + moment; }
    // The operations the medium took, "N operation path", in order.
    std::vector<std::string> operations() const {
        std::ifstream log(m_work.file("log"));
        std::vector<std::string> lines;
        for (std::string line; std::getline(log, line);)
            lines.push_back(line);
        return lines;
    }

private:
    TempFolder m_work;
    std::string m_mountPoint;
    pid_t m_daemon = 0;
    std::string m_failure;
};

// Runs the program on a medium that loses power as each chosen operation of an uncut run
// arrives and just after it, one run per cut, and last once uncut (cut 0): the image is then
// taken after the program's last operation. Both images of each cut are checked.
void cutAround(const std::string& seed, const std::function<bool(const std::string&)>& chosen,
               const std::function<void(Medium&)>& runOn,
               const std::function<void(const std::string&, long)>& check) {
    std::set<long> cuts;
    {
        Medium uncut(seed, 0);
        if (!uncut.failure().empty())
            GTEST_SKIP() << uncut.failure();
        runOn(uncut);
        uncut.unmount();
        for (const std::string& line : uncut.operations()) {
            std::istringstream fields(line);
            long number = 0;
            std::string operation;
            if (fields >> number >> operation && chosen(operation))
                cuts.insert({number, number + 1});
        }
    }
    ASSERT_FALSE(cuts.empty());
    cuts.insert(0);
    for (const long cut : cuts) {
        Medium medium(seed, cut);
        runOn(medium);
        medium.unmount();
        for (const char* moment : kMoments) {
            SCOPED_TRACE("cut at operation " + std::to_string(cut) + ", " + moment);
            check(medium.image(moment), cut);
        }
    }
}

bool isDurabilityPoint(const std::string& operation) {
    return operation == "fsync" || operation == "fsync-folder" || operation == "syncfs" ||
           operation == "written-back";
}

class PowerCut : public SplitFixture {
protected:
    void SetUp() override {
        makeSource("movie.avi", 250000);
        ASSERT_TRUE(std::holds_alternative<SplitCompletion>(split(folder() + "movie.avi", 100000)));
        useConfigFolder(m_config.path());
    }
    // The split's files, whole, as the split wrote them on a medium that kept its power.
    bool isCompleteSet(const std::string& image) const {
        for (const char* name : {"movie.1", "movie.2", "movie.3", "movie.bat", "movie.sha256"}) {
            if (!fileExists(image + name) || readFile(image + name) != readFile(folder() + name))
                return false;
        }
        return true;
    }

    TempFolder m_config;
};

} // namespace

// At the completion report every piece, the script and the checksum file are whole and named; at
// any durability point before it, a script stands only beside its whole set, and neither it nor
// the checksum file stands empty or partial.
TEST_F(PowerCut, SplitLeavesTheCompleteSetOrNoScript) {
    TempFolder empty;
    cutAround(
        empty.path(), isDurabilityPoint,
        [&](Medium& medium) {
            medium.run(ORVANTO_SPLIT_PROGRAM, "-o . '" + folder() + "movie.avi' 100000");
        },
        [&](const std::string& image, long cut) {
            for (const char* name : {"movie.bat", "movie.sha256"}) {
                EXPECT_TRUE(!fileExists(image + name) ||
                            readFile(image + name) == readFile(folder() + name))
                    << name << " stands empty or partial";
            }
            EXPECT_TRUE((cut != 0 && !fileExists(image + "movie.bat")) || isCompleteSet(image))
                << (cut == 0 ? "after the completion report"
                             : "a script beside pieces not all whole");
        });
}

// However large a piece, no more than a few write-back steps of it are written and not yet
// written back, so a slow device slows the split instead of filling the memory.
TEST_F(PowerCut, SplitKeepsLittleDataUnwritten) {
    TempFolder empty;
    writePatternFile(m_config.file("large"), 40 << 20);
    Medium medium(empty.path(), 0);
    if (!medium.failure().empty())
        GTEST_SKIP() << medium.failure();
    EXPECT_EQ(
        medium.run(ORVANTO_SPLIT_PROGRAM, "-o . '" + m_config.file("large") + "' 32M").exitCode, 0);
    medium.unmount();
    std::int64_t unwritten = 0, most = 0;
    for (const std::string& line : medium.operations()) {
        std::istringstream fields(line);
        std::string number, operation, path;
        std::int64_t bytes = 0;
        fields >> number >> operation >> path >> bytes;
        unwritten = operation == "written-back" ? 0 : unwritten + bytes;
        most = std::max(most, unwritten);
    }
    EXPECT_GT(most, 0);
    EXPECT_LE(most, 24 << 20);
}

// The file is absent or whole, never partial under its name; a hidden leftover is cleared by
// the next join.
TEST_F(PowerCut, JoinLeavesTheWholeFileOrNoneAndClearsItsLeftover) {
    std::filesystem::rename(folder() + "movie.avi", m_config.file("movie.avi"));
    std::set<std::string> joined = entriesOf(folder());
    joined.insert("movie.avi");
    cutAround(
        folder(), [](const std::string&) { return true; },
        [](Medium& medium) { medium.run(ORVANTO_JOIN_PROGRAM, "movie.bat"); },
        [&](const std::string& image, long cut) {
            EXPECT_TRUE(cut != 0 || fileExists(image + "movie.avi")) << "after the report";
            if (fileExists(image + "movie.avi")) {
                EXPECT_TRUE(readFile(image + "movie.avi") == readFile(m_config.file("movie.avi")));
            }
            std::set<std::string> left = entriesOf(image);
            left.insert("movie.avi");
            if (left == joined)
                return;
            Medium next(image, 0);
            next.run(ORVANTO_JOIN_PROGRAM, "--force movie.bat");
            next.unmount();
            const std::string after = next.image(kMoments[0]);
            EXPECT_EQ(entriesOf(after), joined) << "a leftover the next join kept";
            EXPECT_TRUE(readFile(after + "movie.avi") == readFile(m_config.file("movie.avi")));
        });
}

// The settings file holds the old count or the new one, never an empty or garbled file.
TEST_F(PowerCut, CounterHoldsTheOldOrTheNewCount) {
    TempFolder seed;
    std::filesystem::create_directory(seed.file("orvanto"));
    writeFile(seed.file("orvanto/quorel20.ini"), "[Stat]\r\nNumber=5\r\n");
    TempFolder output;
    std::set<std::string> counts;
    cutAround(
        seed.path(), [](const std::string&) { return true; },
        [&](Medium& medium) {
            setenv("XDG_CONFIG_HOME", medium.path().c_str(), 1);
            medium.run(ORVANTO_SPLIT_PROGRAM,
                       "-o '" + output.path() + "' '" + folder() + "movie.avi' 100000");
            for (const std::string& name : entriesOf(output.path()))
                std::filesystem::remove(output.file(name));
        },
        [&](const std::string& image, long) {
            const std::string text = readFile(image + "orvanto/quorel20.ini");
            EXPECT_TRUE(text.find("Number=5\r\n") != std::string::npos ||
                        text.find("Number=6\r\n") != std::string::npos)
                << text;
            counts.insert(text);
        });
    if (IsSkipped())
        return;
    EXPECT_EQ(counts.size(), 2u) << "the cuts kept both the old and the new count";
}

#endif
