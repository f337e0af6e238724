#include <filesystem>

#include <gtest/gtest.h>

#include "ProgramRun.h"
#include "SplitFixture.h"
#include "settings/Settings.h"

namespace {

class OrvantoSplitProgram : public SplitFixture {
protected:
    // Runs orvanto-split in folder(), with the test's configuration folder.
    ProgramRun run(const std::string& arguments) {
        return runProgram(ORVANTO_SPLIT_PROGRAM, folder(), arguments, m_output.path());
    }

    TempFolder m_output;
};

} // namespace

TEST_F(OrvantoSplitProgram, CompletesASplitWithACatalogueLabel) {
    makeSource("movie.avi", 2500000);
    const ProgramRun result = run("movie.avi '1 Megabyte'");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out,
              "Finished. Folder " + folder() +
                  " contains the split file names which are movie.1, movie.2, etc., along with "
                  "program \"movie.bat\". There were 3 total files created. Simply run the "
                  "program \"movie.bat\" to recreate the original file.\n");
    EXPECT_EQ(result.err, "") << "no progress when standard error is not a terminal";
    EXPECT_EQ(fileSize(folder() + "movie.3"), 500000);
    EXPECT_EQ(settings::ReadSplitCounter(), 1);
}

TEST_F(OrvantoSplitProgram, ExitsWithOneAfterARefusal) {
    makeSource("movie.avi", 500000);
    const ProgramRun result = run("movie.avi 1000000");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out.rfind("The file size you selected is larger than the file itself", 0), 0u);
    EXPECT_EQ(entriesOf(folder()), std::set<std::string>{"movie.avi"});
}

TEST_F(OrvantoSplitProgram, ExitsWithTwoAfterAnError) {
    makeSource("movie.avi", 250000);
    std::filesystem::create_directory(folder() + "movie.1");
    const ProgramRun result = run("movie.avi 100k");
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.out.find(folder() + "movie.1"), std::string::npos) << result.out;
    EXPECT_FALSE(fileExists(folder() + "movie.bat"));
}

TEST_F(OrvantoSplitProgram, ExplainsItsUsage) {
    const ProgramRun help = run("--help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("Usage: orvanto-split SOURCE SIZE\n", 0), 0u);
    EXPECT_NE(help.out.find("5120k"), std::string::npos);

    for (const std::string arguments : {"", "movie.avi", "movie.avi 12parsecs", "a b c"}) {
        SCOPED_TRACE(arguments);
        const ProgramRun wrong = run(arguments);
        EXPECT_EQ(wrong.exitCode, 1);
        EXPECT_EQ(wrong.out, "");
        EXPECT_NE(wrong.err.find("Usage: orvanto-split SOURCE SIZE"), std::string::npos);
    }
}
