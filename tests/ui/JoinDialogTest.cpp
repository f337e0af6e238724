#include <csignal>
#include <filesystem>
#include <functional>

#include <sys/resource.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "FakePrompts.h"
#include "support/TempFolder.h"
#include "ui/JoinDialog.h"

namespace {

// Two pieces and their script, as a split of a 12-byte movie.avi writes them.
class JoinDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile(m_folder.file("movie.1"), "first ");
        writeFile(m_folder.file("movie.2"), "second");
        writeFile(m_folder.file("movie.bat"),
                  "@ECHO OFF\r\nCopy /b \"movie.1\" + \"movie.2\" \"movie.avi\"\r\n"
                  "@ECHO movie.avi has been recreated for you.\r\n");
    }

    // Joins in the window, first acting on it, and shows the box of the outcome.
    JoinOutcome join(const std::function<void(JoinDialog&)>& beforeStart = {}) {
        JoinDialog dialog({m_folder.file("movie.bat"), "", false});
        int ends = 0;
        QObject::connect(&dialog, &JoinDialog::joinEnded, [&ends] { ++ends; });
        if (beforeStart)
            beforeStart(dialog);
        dialog.start();
        while (ends == 0)
            QTest::qWait(10);
        EXPECT_EQ(ends, 1);
        if (ends != 1)
            return JoinStopped{}; // its result was taken again, and thrown away
        const JoinOutcome outcome = dialog.outcome();
        dialog.showResult(outcome);
        return outcome;
    }

    TempFolder m_folder;
    FakePrompts m_prompts;
};

} // namespace

TEST_F(JoinDialogTest, ReportsACompletedJoinInAnInformationBox) {
    EXPECT_TRUE(std::holds_alternative<JoinCompletion>(join()));
    EXPECT_EQ(readFile(m_folder.file("movie.avi")), "first second");
    ASSERT_EQ(m_prompts.shown.size(), 1u);
    EXPECT_EQ(m_prompts.shown[0].kind, "information");
    EXPECT_EQ(m_prompts.shown[0].text.toStdString(),
              m_folder.file("movie.avi") + " has been recreated (12 bytes). It was not verified: "
                                           "there is no movie.sha256 beside the rejoin script.");
}

TEST_F(JoinDialogTest, CancelLeavesNoTemporaryFileAndAsksNothing) {
    writeFile(m_folder.file("movie.avi"), "mine");
    // Before the job starts, so that it cannot have finished first.
    const auto clickCancel = [](JoinDialog& dialog) {
        dialog.findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Cancel)->click();
    };
    EXPECT_TRUE(std::holds_alternative<JoinStopped>(join(clickCancel)));
    EXPECT_EQ(entriesOf(m_folder.path()),
              (std::set<std::string>{"movie.1", "movie.2", "movie.bat", "movie.avi"}));
    EXPECT_TRUE(m_prompts.shown.empty());
    EXPECT_TRUE(m_prompts.existingFileQuestions.empty());
}

TEST_F(JoinDialogTest, AnExistingFileIsReplacedOrRecreatedElsewhereAsAnswered) {
    using Answer = Prompts::ExistingFileAnswer;
    TempFolder other;
    const struct {
        Answer answer;
        std::string folder, inPlace, inOther; // folder: the folder dialog's answer
        bool eventsWhileAsked = false;        // the window's events run while the question is open
    } cases[] = {{Answer::Replace, "", "first second", ""},
                 {Answer::ChooseAnotherFolder, other.path(), "mine", "first second"},
                 {Answer::Cancel, "", "mine", ""},
                 {Answer::Cancel, "", "mine", "", true}};
    for (const auto& c : cases) {
        writeFile(m_folder.file("movie.avi"), "mine");
        std::filesystem::remove(other.file("movie.avi"));
        m_prompts.answer = c.answer;
        m_prompts.folderAnswers = {QString::fromStdString(c.folder)};
        m_prompts.whileAsking = [&c] {
            if (c.eventsWhileAsked)
                QTest::qWait(200);
        };
        join();
        EXPECT_EQ(readFile(m_folder.file("movie.avi")), c.inPlace);
        const std::string elsewhere = other.file("movie.avi");
        EXPECT_EQ(std::filesystem::exists(elsewhere) ? readFile(elsewhere) : "", c.inOther);
    }
    EXPECT_EQ(m_prompts.shown.size(), 2u); // the completions: no refusal box after a cancel
}

// A replace that fails is shown at once with the choice of another folder, and a file in the way
// there gets its own question: the Replace given for the first file is not carried over.
TEST_F(JoinDialogTest, AFailedReplaceIsShownAndAFileElsewhereGetsItsOwnQuestion) {
    using Answer = Prompts::ExistingFileAnswer;
    TempFolder other;
    writeFile(m_folder.file("movie.avi"), "mine");
    writeFile(other.file("movie.avi"), "theirs");
    m_prompts.existingFileAnswers = {Answer::Replace, Answer::Cancel};
    m_prompts.folderAnswers = {QString::fromStdString(other.path())};
    // Past 4 bytes every write fails with "File too large", the replace's included.
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit unlimited = limit;
    limit.rlim_cur = 4;
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limit);
    const JoinOutcome outcome = join();
    setrlimit(RLIMIT_FSIZE, &unlimited);
    std::signal(SIGXFSZ, previous);

    EXPECT_TRUE(std::holds_alternative<JoinStopped>(outcome));
    EXPECT_EQ(readFile(m_folder.file("movie.avi")), "mine");
    EXPECT_EQ(readFile(other.file("movie.avi")), "theirs");
    ASSERT_EQ(m_prompts.existingFileQuestions.size(), 2u);
    EXPECT_TRUE(m_prompts.existingFileQuestions[1].contains(
        QString::fromStdString(other.file("movie.avi"))));
    ASSERT_EQ(m_prompts.shown.size(), 1u);
    EXPECT_EQ(m_prompts.shown[0].kind, "askYesNo");
    EXPECT_TRUE(m_prompts.shown[0].text.contains("File too large"))
        << m_prompts.shown[0].text.toStdString();
}
