#include <filesystem>

#include <csignal>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "engine/SplitFixture.h"
#include "settings/Settings.h"
#include "support/ChildProcess.h"
#include "support/MountedMedium.h"
#include "support/ProgramRun.h"

namespace {

class OrvantoSplitProgram : public SplitFixture {
protected:
    // The program keeps its output folder and counter in the settings of its own configuration
    // folder.
    void SetUp() override {
        useConfigFolder(m_config.path());
        m_settings.createFolder();
        m_settings.createSettingsFileIfMissing();
    }

    // Runs orvanto-split with the arguments (already quoted for the shell) in folder().
    ProgramRun run(const std::string& arguments) {
        return runProgram(ORVANTO_SPLIT_PROGRAM, folder(), arguments, m_output.path());
    }

    // Starts orvanto-split in folder() with standard output to outputFd and standard error to
    // errorFd (-1: nowhere).
    pid_t startProgram(const std::vector<std::string>& arguments, int outputFd, int errorFd = -1) {
        const pid_t pid = fork();
        if (pid != 0)
            return pid;
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(outputFd >= 0 ? outputFd : devNull, STDOUT_FILENO);
        dup2(errorFd >= 0 ? errorFd : devNull, STDERR_FILENO);
        if (chdir(folder().c_str()) == 0)
            execl(ORVANTO_SPLIT_PROGRAM, ORVANTO_SPLIT_PROGRAM, arguments[0].c_str(),
                  arguments[1].c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }

    TempFolder m_config;
    TempFolder m_output;
    // What the program finds in the configuration folder it is given.
    const settings::Settings m_settings{m_config.file("orvanto/")};
};

} // namespace

TEST_F(OrvantoSplitProgram, CompletesASplitAndReportsIt) {
    makeSource("movie.avi", 2500000);
    TempFolder output;
    const ProgramRun result = run("movie.avi '1 Megabyte'");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out,
              "Wrote 3 pieces, movie.1 to movie.3, and the rejoin script movie.bat in " + folder() +
                  ".\nWrote their SHA-256 and the whole file's to movie.sha256 (sha256sum "
                  "--ignore-missing -c movie.sha256 checks the pieces before the join, sha256sum "
                  "-c movie.sha256 the file too after it).\nRun movie.bat on Windows, or "
                  "orvanto-join "
                  "movie.bat, to recreate movie.avi.\n");
    EXPECT_EQ(result.err, "") << "no progress when standard error is not a terminal";
    EXPECT_EQ(fileSize(folder() + "movie.3"), 500000);
    EXPECT_EQ(m_settings.readSplitCounter(), 1);

    // -o overrides the stored output folder; sizes take units.
    m_settings.writeOutputFolder(folder() + "gone/");
    writeFile(output.file("movie.sha256"), "old"); // the join would take it for the set's
    EXPECT_EQ(run("-o '" + output.path() + "' --no-checksum movie.avi 1MB").exitCode, 1);
    std::filesystem::remove(output.file("movie.sha256"));
    const ProgramRun unchecked = run("-o '" + output.path() + "' --no-checksum movie.avi 1MB");
    EXPECT_EQ(unchecked.exitCode, 0);
    EXPECT_EQ(unchecked.out.find("sha256"), std::string::npos);
    EXPECT_EQ(fileSize(output.file("movie.3")), 500000);
    EXPECT_FALSE(fileExists(output.file("movie.sha256")));
    EXPECT_EQ(m_settings.readSplitCounter(), 2);
    // "-o ." is reported as the folder's path.
    const TempFolder here;
    const ProgramRun dot = runProgram(ORVANTO_SPLIT_PROGRAM, here.path(),
                                      "-o . '" + folder() + "movie.avi' 1MB", m_output.path());
    EXPECT_NE(dot.out.find("movie.bat in " + here.path() + ".\n"), std::string::npos) << dot.out;
}

TEST_F(OrvantoSplitProgram, SpeaksTheEnvironmentsLanguageWithItsPluralForms) {
    makeSource("movie.avi", 2500000);
    const auto inLanguage = [this](const std::string& language, const std::string& arguments) {
        return runProgramInLanguage(language, ORVANTO_SPLIT_PROGRAM, folder(), arguments,
                                    m_output.path());
    };
    EXPECT_EQ(inLanguage("de", "movie.avi 1k").err,
              "orvanto-split: die Teilgröße muss mindestens 8192 Byte betragen\n");
    EXPECT_EQ(inLanguage("ru", "--no-checksum movie.avi 1MB").out,
              "Записаны 3 части, с movie.1 по movie.3, и сценарий сборки movie.bat в " + folder() +
                  ".\nЧтобы восстановить movie.avi, запустите movie.bat в Windows или orvanto-join "
                  "movie.bat.\n");
}

TEST_F(OrvantoSplitProgram, ExitsWithOneAfterARefusalAndTwoAfterAnError) {
    makeSource("movie.avi", 500000);
    const ProgramRun refused = run("movie.avi 1000000");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err,
              "orvanto-split: the file is no larger than one piece; choose a smaller size\n");
    EXPECT_EQ(entriesOf(folder()), std::set<std::string>{"movie.avi"});
    EXPECT_EQ(run("-o movie.avi movie.avi 100k").err,
              "orvanto-split: movie.avi is not a folder: Not a directory\n");
    EXPECT_EQ(run("-o /proc movie.avi 100k").err,
              "orvanto-split: /proc/ is not a folder Orvanto can write to; put the pieces "
              "elsewhere with -o DIR\n");
    makeSource("caf\xE9.avi", 500000);
    const ProgramRun latin1 = run("'caf\xE9.avi' 100k");
    EXPECT_EQ(latin1.exitCode, 1);
    EXPECT_EQ(latin1.err, "orvanto-split: caf\\xE9.avi: the name is not UTF-8 text, so no rejoin "
                          "script can name the file on Windows; rename the file and try again\n");
    std::filesystem::remove(folder() + "caf\xE9.avi");

    m_settings.writeOutputFolder(folder() + "gone/");
    const ProgramRun failed = run("movie.avi 100k");
    EXPECT_EQ(failed.exitCode, 2);
    EXPECT_EQ(failed.err, "orvanto-split: Could not open the folder " + folder() +
                              "gone/: No such file or directory\n");
    EXPECT_EQ(m_settings.readSplitCounter(), 0);

    // Names are shown escaped. The pieces stand and count, but a report that standard output
    // does not take is no success; a counter that cannot be read leaves the split uncounted.
    m_settings.writeOutputFolder(folder() + "\x1b[2J/");
    EXPECT_EQ(run("movie.avi 100k").err, "orvanto-split: Could not open the folder " + folder() +
                                             "\\x1B[2J/: No such file or directory\n");
    m_settings.writeOutputFolder("");
    const ProgramRun full =
        runProgram("/bin/sh", folder(),
                   "-c '\"$0\" movie.avi 100k >/dev/full' " ORVANTO_SPLIT_PROGRAM, m_output.path());
    EXPECT_EQ(full.exitCode, 2);
    EXPECT_EQ(full.err, "orvanto-split: Could not write the report to standard output: No "
                        "space left on device\n");
    EXPECT_EQ(m_settings.readSplitCounter(), 1);
    writeFile(m_settings.settingsFilePath(), "[Stat]\r\nNumber=abc\r\n");
    const ProgramRun uncounted = run("-o '" + m_output.path() + "' movie.avi 100k");
    EXPECT_EQ(uncounted.exitCode, 0);
    const std::string unreadable = "not counted: in " + m_settings.settingsFilePath() + ", the key";
    EXPECT_NE(uncounted.err.find(unreadable + " Number in the section [Stat]"), std::string::npos);
    EXPECT_NE(uncounted.err.find(" Put the line Number=0 under [Stat] "), std::string::npos);
    EXPECT_EQ(readFile(m_settings.settingsFilePath()), "[Stat]\r\nNumber=abc\r\n");
    // Here the system's reason follows what the window says.
    std::filesystem::remove(m_settings.settingsFilePath());
    std::filesystem::create_directory(m_settings.settingsFilePath());
    EXPECT_EQ(run("movie.avi 100k").err, "orvanto-split: Unable to write to " +
                                             m_settings.settingsFilePath() + ": Is a directory\n");
}

// Another program's lock on the counter holds a finished split a few seconds only, uncounted.
TEST_F(OrvantoSplitProgram, ALockedCounterLeavesAFinishedSplitUncounted) {
    const std::string source = folder() + "big.bin";
    writeFile(source, "");
    std::filesystem::resize_file(source, 400'000'000);
    const int err = open(m_output.file("err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const pid_t pid = startProgram({"big.bin", "40000000"}, -1, err);
    close(err);
    for (int wait = 0; wait < 60000 && !fileExists(folder() + "big.1"); ++wait)
        usleep(1000);
    const std::string lockFile = m_config.file("orvanto/") + ".orvanto.lock";
    const int lock = open(lockFile.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_EQ(flock(lock, LOCK_EX), 0);
    int status = 0;
    waitpid(pid, &status, 0);
    close(lock);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0);
    EXPECT_TRUE(fileExists(folder() + "big.bat"));
    EXPECT_EQ(m_settings.readSplitCounter(), 0);
    EXPECT_NE(readFile(m_output.file("err"))
                  .find("not counted: another Orvanto program holds " + lockFile + ", the lock"),
              std::string::npos);
}

#ifdef ORVANTO_TEST_MEDIUM
// A join whose close fails names no file and keeps the one it was to replace, and no close
// comes once its file has the name; a split whose folder is unmounted (umount -l) under it
// writes on there, none of it into the empty folder beneath.
TEST_F(OrvantoSplitProgram, AFailingOrUnmountedMediumGetsNoFileUnderAnotherName) {
    MountedMedium medium(ORVANTO_TEST_MEDIUM);
    if (!medium.whyNotMounted().empty())
        GTEST_SKIP() << medium.whyNotMounted();
    makeSource("movie.avi", 250000);
    ASSERT_EQ(run("movie.avi 100000").exitCode, 0);
    const std::pair<std::string, std::string> closes[] = {
        {"flush eio",
         "orvanto-join: Could not close " + medium.folder() + "movie.avi: Input/output error\n"},
        {"flush eio 0 movie.avi", ""}};
    for (const auto& [rule, err] : closes) {
        writeFile(medium.backing() + "movie.avi", "old");
        medium.setRules(rule);
        const ProgramRun join =
            runProgram(ORVANTO_JOIN_PROGRAM, folder(),
                       "--force -o '" + medium.folder() + "' movie.bat", m_output.path());
        EXPECT_EQ(join.err, err);
        EXPECT_EQ(readFile(medium.backing() + "movie.avi") == "old", join.exitCode != 0) << rule;
        EXPECT_EQ(entriesOf(medium.backing()), std::set<std::string>{"movie.avi"});
    }
    std::filesystem::remove(medium.backing() + "movie.avi");

    m_settings.writeOutputFolder(medium.folder());
    medium.setRules("write hang 150000");
    const pid_t pid = startProgram({"movie.avi", "100000"}, -1);
    ASSERT_TRUE(medium.waitUntilACallHangs());
    ASSERT_EQ(std::system(("fusermount3 -u -z '" + medium.folder() + "'").c_str()), 0);
    medium.setRules("");
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0);
    EXPECT_EQ(entriesOf(medium.folder()), std::set<std::string>{});
    EXPECT_EQ(entriesOf(medium.backing()), (std::set<std::string>{"movie.1", "movie.2", "movie.3",
                                                                  "movie.bat", "movie.sha256"}));
}
#endif

// A kill or a closed terminal stops the split like Ctrl+C; a reader that went away does not.
TEST_F(OrvantoSplitProgram, StopsOnTerminationSignalsAndIgnoresAClosedPipe) {
    const std::string source = folder() + "big.bin";
    writeFile(source, "");
    std::filesystem::resize_file(source, 400'000'000);
    for (const int signalNumber : {SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signalNumber);
        const pid_t pid = startProgram({"big.bin", "40000000"}, -1);
        for (int wait = 0; wait < 60000 && !fileExists(folder() + "big.1"); ++wait)
            usleep(1000);
        kill(pid, signalNumber);
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 128 + signalNumber);
        EXPECT_EQ(entriesOf(folder()), std::set<std::string>{"big.bin"});
    }

    makeSource("movie.avi", 250000);
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    close(pipeEnds[0]);
    const pid_t pid = startProgram({"movie.avi", "100000"}, pipeEnds[1]);
    close(pipeEnds[1]);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_TRUE(fileExists(folder() + "movie.bat"));

    // A wait for the settings lock (to make the missing settings file) says after a second what
    // it waits for, and a signal ends it.
    std::filesystem::remove(m_settings.settingsFilePath());
    const int lock = open(m_config.file("orvanto/.orvanto.lock").c_str(), O_RDWR);
    ASSERT_EQ(flock(lock, LOCK_EX), 0);
    const int err = open(m_output.file("err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const pid_t waiting = startProgram({"movie.avi", "100000"}, -1, err);
    close(err);
    for (int wait = 0; wait < 60000 && readFile(m_output.file("err")).empty(); ++wait)
        usleep(1000);
    kill(waiting, SIGTERM);
    waitpid(waiting, &status, 0);
    close(lock);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 128 + SIGTERM);
    EXPECT_EQ(readFile(m_output.file("err"))
                  .rfind("orvanto-split: waiting for " + m_config.file("orvanto/"), 0),
              0u);
}

TEST_F(OrvantoSplitProgram, ExplainsItsUsage) {
    const ProgramRun help = run("--help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("Usage: orvanto-split [-o DIR] [--no-checksum] SOURCE SIZE\n", 0), 0u);
    EXPECT_NE(help.out.find("10MiB"), std::string::npos);
    EXPECT_EQ(run("--version").out.rfind("orvanto-split ", 0), 0u);
    // The window's, without a display, from the same function.
    const std::string noDisplay =
        "-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " ORVANTO_PROGRAM;
    const ProgramRun windowHelp =
        runProgram("/usr/bin/env", folder(), noDisplay + " --help", m_output.path());
    EXPECT_EQ(windowHelp.out.rfind("Usage: orvanto [FILE]\n", 0), 0u);
    EXPECT_NE(windowHelp.out.find("\nHelp page: "), std::string::npos);
    // The help page of the user's language.
    EXPECT_NE(runProgram("/usr/bin/env", folder(),
                         "LC_ALL=C.UTF-8 LANGUAGE=ru " ORVANTO_PROGRAM " -h", m_output.path())
                  .out.find("/help.ru.htm\n"),
              std::string::npos);
    EXPECT_EQ(runProgram("/usr/bin/env", folder(), noDisplay + " -v", m_output.path())
                  .out.rfind("orvanto (Orvanto) ", 0),
              0u);
    // Help that standard output does not take is not success, in any of the four programs.
    for (const std::string program : {ORVANTO_SPLIT_PROGRAM, ORVANTO_JOIN_PROGRAM, ORVANTO_PROGRAM,
                                      ORVANTO_JOIN_WINDOW_PROGRAM}) {
        const ProgramRun lost = runProgram(
            "/bin/sh", folder(), "-c '\"$0\" --help >/dev/full' " + program, m_output.path());
        EXPECT_EQ(lost.exitCode, 2) << program;
        EXPECT_NE(lost.err.find(": Could not write the report to standard output: No space"),
                  std::string::npos)
            << program;
    }
    // Without a display, or with one that cannot be reached, the windows say so instead of
    // aborting, and name what works in a terminal.
    for (const std::string command : {"-u DISPLAY '" ORVANTO_PROGRAM "' movie.avi",
                                      "DISPLAY=:4095 '" ORVANTO_JOIN_PROGRAM "' --window a.bat",
                                      "-u DISPLAY '" ORVANTO_JOIN_WINDOW_PROGRAM "' a.bat"}) {
        const ProgramRun lost =
            runProgram("/usr/bin/env", folder(), "-u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + command,
                       m_output.path());
        EXPECT_EQ(lost.exitCode, 2) << command;
        EXPECT_NE(lost.err.find("no display to show the window on. To "), std::string::npos)
            << lost.err;
        EXPECT_EQ(lost.err.find("--window"), std::string::npos) << "which the user may not type";
    }

    for (const std::string arguments :
         {"", "movie.avi", "movie.avi 12parsecs", "a b c", "-x a b", "-o '' a 1M"}) {
        SCOPED_TRACE(arguments);
        const ProgramRun wrong = run(arguments);
        EXPECT_EQ(wrong.exitCode, 1);
        EXPECT_EQ(wrong.out, "");
        EXPECT_TRUE(wrong.err.rfind("orvanto-split: ", 0) == 0 ||
                    wrong.err.rfind("Usage: orvanto-split", 0) == 0)
            << wrong.err;
    }
}

// Past the file size limit (ulimit -f) both programs say so, remove what they wrote and exit 2;
// the same run without the limit then succeeds.
TEST_F(OrvantoSplitProgram, AFileSizeLimitIsReportedAndLeavesNothing) {
    makeSource("movie.avi", 250000);
    const TempFolder target;
    const struct {
        std::string program, arguments, err;
    } cases[] = {
        {ORVANTO_SPLIT_PROGRAM, "movie.avi 100000",
         "orvanto-split: Could not write " + folder() +
             "movie.1: File too large. The split files written so far have been removed.\n"},
        {ORVANTO_JOIN_PROGRAM, "-o '" + target.path() + "' movie.bat",
         "orvanto-join: Could not write " + target.path() + "movie.avi: File too large\n"},
    };
    for (const auto& c : cases) {
        const std::set<std::string> before = entriesOf(folder());
        const rlimit limit{50000, 50000};
        EXPECT_EQ(2, runInChild([&] {
                      ::setrlimit(RLIMIT_FSIZE, &limit);
                      return runProgram(c.program, folder(), c.arguments, m_output.path()).exitCode;
                  }));
        EXPECT_EQ(readFile(m_output.file("err")), c.err);
        EXPECT_EQ(entriesOf(folder()), before);
        EXPECT_EQ(entriesOf(target.path()), std::set<std::string>{});
        EXPECT_EQ(runProgram(c.program, folder(), c.arguments, m_output.path()).exitCode, 0);
    }
}
