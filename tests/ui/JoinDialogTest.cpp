#include <filesystem>

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QPushButton>
#include <QTimer>

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

    // Joins in the window and shows the box of the outcome.
    JoinOutcome join() {
        JoinDialog dialog({m_folder.file("movie.bat"), "", false}, {});
        const JoinOutcome outcome = dialog.join();
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
              m_folder.file("movie.avi") + " has been recreated (12 bytes).");
}

TEST_F(JoinDialogTest, CancelLeavesNoTemporaryFile) {
    QTimer::singleShot(0, [] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible() && window->findChild<QDialogButtonBox*>("buttonBox"))
                window->findChild<QDialogButtonBox*>("buttonBox")
                    ->button(QDialogButtonBox::Cancel)
                    ->click();
        }
    });
    EXPECT_TRUE(std::holds_alternative<JoinStopped>(join()));
    const QStringList left =
        QDir(QString::fromStdString(m_folder.path())).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(left, QStringList({"movie.1", "movie.2", "movie.bat"}));
    EXPECT_TRUE(m_prompts.shown.empty());
}

TEST_F(JoinDialogTest, AnExistingFileIsReplacedOrRecreatedElsewhereAsAnswered) {
    using Answer = Prompts::ExistingFileAnswer;
    TempFolder elsewhere;
    const struct {
        Answer answer;
        QString folder; // what the folder dialog answers; empty is a cancel
        std::string inPlace;
        std::string inElsewhere;
        bool joined;
    } cases[] = {
        {Answer::Replace, "", "first second", "", true},
        {Answer::ChooseAnotherFolder, QString::fromStdString(elsewhere.path()), "mine",
         "first second", true},
        {Answer::ChooseAnotherFolder, "", "mine", "", false},
        {Answer::Cancel, "", "mine", "", false},
    };
    for (const auto& c : cases) {
        writeFile(m_folder.file("movie.avi"), "mine");
        std::filesystem::remove(elsewhere.file("movie.avi"));
        m_prompts.shown.clear();
        m_prompts.existingFileAnswer = c.answer;
        m_prompts.folderAnswers = {c.folder};
        EXPECT_EQ(std::holds_alternative<JoinCompletion>(join()), c.joined);
        EXPECT_EQ(m_prompts.shown.at(0).text.toStdString(),
                  m_folder.file("movie.avi") +
                      " already exists. Replace it, or recreate the file in another folder?");
        EXPECT_EQ(m_prompts.shown.size(), c.joined ? 2u : 1u);
        EXPECT_EQ(readFile(m_folder.file("movie.avi")), c.inPlace);
        const std::string other = elsewhere.file("movie.avi");
        EXPECT_EQ(std::filesystem::exists(other) ? readFile(other) : "", c.inElsewhere);
    }
}
