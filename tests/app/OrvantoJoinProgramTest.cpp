#include <filesystem>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "engine/SplitFixture.h"
#include "support/ProgramRun.h"

TEST_F(SplitFixture, OrvantoJoinExitsWithTheOutcomesCode) {
    makeSource("movie.avi", 250000);
    ASSERT_TRUE(std::holds_alternative<SplitCompletion>(split(folder() + "movie.avi", 100000)));
    std::filesystem::rename(folder() + "movie.avi", folder() + "kept");
    std::filesystem::create_directory(folder() + "folder.bat");
    std::filesystem::create_directory(folder() + "out");
    std::filesystem::create_symlink("loop", folder() + "loop");
    writeFile(folder() + "evil.bat",
              "@ECHO OFF\r\nCopy /b \"evil.1\" \"\x1b[2J\x1b]0;x\x07.avi\"\r\n");
    writeFile(folder() + "cont.bat", "@ECHO OFF\r\nCopy /b \"cont.1\" \"cont.avi\"\r\nCopy /b "
                                     "\"cont.1\" + \"cont.2\" \"cont.avi\"\r\n");
    TempFolder output;
    const struct {
        const char* arguments;
        int exitCode;
        const char* out;
        const char* err;
    } cases[] = {
        {"movie.bat", 0,
         "movie.avi has been recreated (250000 bytes). Its SHA-256 matches the whole file's in "
         "movie.sha256.\n",
         ""},
        {"movie.bat", 1, "", "orvanto-join: movie.avi already exists. --force replaces it.\n"},
        {"--force movie.bat", 0,
         "movie.avi has been recreated (250000 bytes). Its SHA-256 matches the whole file's in "
         "movie.sha256.\n",
         ""},
        {"folder.bat", 2, "", "orvanto-join: Could not read folder.bat: Is a directory\n"},
        {"", 1, "", "orvanto-join: expected one SCRIPT, got 0\n"},
        {"-o nowhere movie.bat", 1, "",
         "orvanto-join: nowhere is not a folder: No such file or directory\n"},
        {"-o loop movie.bat", 1, "",
         "orvanto-join: loop is not a folder: Too many levels of symbolic links\n"},
        {"-o '' movie.bat", 1, "", "orvanto-join: unknown option or missing folder: -o \"\"\n"},
        {"evil.bat", 1, "",
         "orvanto-join: evil.bat, line 2: the name \"\\x1B[2J\\x1B]0;x\\x07.avi\" is not one that "
         "Orvanto writes: a folder, a drive, or a name Windows refuses.\n"},
        {"cont.bat", 1, "",
         "orvanto-join: cont.bat, line 3: expected \"cont.avi\" first and last. Only a rejoin "
         "script as Orvanto writes it is joined.\n"},
        {"--fast movie.bat", 1, "", "orvanto-join: unknown option or missing folder: --fast\n"},
        {"--version", 0, "orvanto-join (Orvanto) 1.0.0\n", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const ProgramRun run =
            runProgram(ORVANTO_JOIN_PROGRAM, folder(), c.arguments, output.path());
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.err.substr(0, run.err.find("Try 'orvanto-join --help'")), c.err);
    }
    // In the environment's language, a count in its plural form.
    const auto inLanguage = [&](const std::string& language, const std::string& arguments) {
        return runProgramInLanguage(language, ORVANTO_JOIN_PROGRAM, folder(), arguments,
                                    output.path());
    };
    EXPECT_EQ(inLanguage("de", "movie.bat").err,
              "orvanto-join: movie.avi existiert bereits. --force ersetzt sie.\n");
    EXPECT_EQ(inLanguage("ru", "--force movie.bat").out,
              "movie.avi восстановлен (250000 байт). Его SHA-256 совпадает с суммой всего файла в "
              "movie.sha256.\n");
    // The file stands; the report that standard output did not take is an error.
    const ProgramRun closed =
        runProgram("/bin/sh", folder(), "-c '\"$0\" --force movie.bat >&-' " ORVANTO_JOIN_PROGRAM,
                   output.path());
    EXPECT_EQ(closed.exitCode, 2);
    EXPECT_EQ(closed.err,
              "orvanto-join: Could not write the report to standard output: Bad file descriptor\n");
    EXPECT_TRUE(readFile(folder() + "movie.avi") == readFile(folder() + "kept"));
    // A damaged piece is named, and nothing is left; without the checksum file the join says so.
    writeFile(folder() + "movie.2", std::string(100000, 'x'));
    const ProgramRun damaged =
        runProgram(ORVANTO_JOIN_PROGRAM, folder(), "-o out movie.bat", output.path());
    EXPECT_EQ(damaged.exitCode, 1);
    EXPECT_EQ(damaged.err, "orvanto-join: movie.2 is not the piece that was split: its SHA-256 "
                           "differs from movie.sha256. Ask the sender for movie.2 again.\n");
    std::filesystem::remove(folder() + "movie.sha256");
    const ProgramRun unverified =
        runProgram(ORVANTO_JOIN_PROGRAM, folder(), "-o out movie.bat", output.path());
    EXPECT_EQ(unverified.out, "out/movie.avi has been recreated (250000 bytes). It was not "
                              "verified: there is no movie.sha256 beside the rejoin script.\n");
    const ProgramRun help = runProgram(ORVANTO_JOIN_PROGRAM, folder(), "--help", output.path());
    EXPECT_EQ(help.out.rfind("Usage: orvanto-join [OPTION]... SCRIPT\n", 0), 0u);
}

// A last piece swapped for a FIFO between the check of its name and its open is refused as what
// it is, not read as a piece cut short.
TEST_F(SplitFixture, OrvantoJoinRefusesAPieceSwappedBeforeItsOpen) {
    makeSource("movie.avi", 250000);
    ASSERT_TRUE(std::holds_alternative<SplitCompletion>(split(folder() + "movie.avi", 100000)));
    std::filesystem::remove(folder() + "movie.avi");
    ASSERT_EQ(::mkfifo((folder() + "fifo").c_str(), 0600), 0);
    TempFolder output;
    const ProgramRun run = runProgram(
        "/usr/bin/env", folder(),
        "\"ASAN_OPTIONS=$ASAN_OPTIONS:verify_asan_link_order=0\" SWAP_NAME=movie.3 SWAP_WITH=fifo "
        "LD_PRELOAD=" SWAP_BEFORE_OPEN " " ORVANTO_JOIN_PROGRAM " movie.bat",
        output.path());
    EXPECT_EQ(run.err, "orvanto-join: The piece \"movie.3\" is not a plain file.\n");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(fileExists(folder() + "movie.avi"));
}
