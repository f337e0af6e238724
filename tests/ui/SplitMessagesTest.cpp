// The window's exact words for each way a split ends.

#include "ui/SplitMessages.h"

#include <cerrno>

#include <QPushButton>

#include <gtest/gtest.h>

#include "FakePrompts.h"
#include "InLanguage.h"
#include "ui/AboutBox.h"

namespace {

using namespace split_refusal;

const std::string kRename = " Rename the file and then attempt the split again.";

} // namespace

TEST(SplitMessages, EveryRefusalHasItsText) {
    const std::pair<SplitRefusal, std::string> cases[] = {
        {NoSource{"/x/movie.avi"},
         "Please click the \"Select A File To Split\" button at the top. Either you have not "
         "selected a file to \"split\" or the file you selected does not exist."},
        {EmptySource{"/x/movie.avi"},
         "The file you selected is empty, so there is nothing to split."},
        {UnknownSourceSize{"/x/movie.avi"},
         "The size of the file you selected could not be read. Click the \"Select A File To "
         "Split\" button and select the file again."},
        {SourceSizeChanged{"/x/movie.avi"},
         "The file you selected has changed size since you selected it. Click the \"Select A "
         "File To Split\" button and select the file again."},
        {SplitSizeTooSmall{}, "The split size must be at least 8192 bytes."},
        {ForbiddenCharacter{"what?.txt", '?'},
         "The file name what?.txt contains a character that the rejoin script cannot hold on "
         "Windows: a double quote, one of * : < > ? | or a backslash, or a control character." +
             kRename},
        {DeviceName{"con.txt", "con"},
         "The file name con.txt begins with con, a name that Windows keeps for a device, so the "
         "rejoin script could not recreate the file on Windows." +
             kRename},
        {OnlyDots{"...", "."},
         "The file name ... would be recreated by the rejoin script as ., which Windows takes for "
         "a folder." +
             kRename},
        {NoNeedToSplit{},
         "The file size you selected is larger than the file itself, so there is no need to "
         "split the file at this size.  You can select the \"Customize\" option and highlight a "
         "size in the box, or click on one of the sizes already listed that is smaller than the "
         "current file size so it can be split."},
        {TooManyPieces{400},
         "You chose an incorrect split size. Based on the split size you chose, this would "
         "involve creating more than 399 split files! This is not realistic, make sure you have "
         "selected the proper split sizes as typically this means you may have made a mistake."},
        {OverwritesSource{"log.2"},
         "The split would overwrite the file you selected, because the split file name log.2 is "
         "the name of that file. Move the file to a separate folder or choose another output "
         "folder and then attempt the split again."},
        {TargetLikeOutput{"notes.bat", "notes.bat"},
         "The rejoin script would recreate the file as notes.bat, which Windows takes for the "
         "name notes.bat that the script itself needs, so the rejoin would overwrite it." +
             kRename},
        {TrailingDotOrBlank{"a.b.", "a."},
         "The file name a.b. would be recreated by the rejoin script as \"a.\", but Windows drops "
         "the dots and blanks at the end of a name." +
             kRename},
        {NameExists{"/x/", "my\x1b[2J.1"},
         "Some file names already exist that match the split names which need to be created. The "
         "first found file name is my\\x1B[2J.1. You should either move your file to a separate or "
         "empty "
         "folder or delete these destination file names and then attempt the split again."},
        {NotEnoughSpace{"/x/", 1069056, 1048576},
         "There is not enough free space in the folder /x/ for the split files. The split needs "
         "1069056 bytes and only 1048576 bytes are free."},
        {PieceTooLarge{"/x/", 4294967295, "650 Megabytes"},
         "The folder /x/ is on a disk that cannot hold a file larger than 4294967295 bytes, so "
         "split files of this size cannot be created there. Select a smaller split size, such as "
         "650 Megabytes, and then attempt the split again."},
    };
    for (const auto& [refused, text] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(refusalText(refused).toStdString(), text);
    }
}

TEST(SplitMessages, AnUnopenableSourceIsShownInAPlainBox) {
    FakePrompts prompts;
    showSplitOutcome(nullptr,
                     SourceUnreadable{IoError(IoError::Operation::Open, "/x/movie.avi", EACCES)});
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, "plain");
    EXPECT_EQ(prompts.shown[0].text.toStdString(),
              "The file cannot be set to read only as this prevents access to the file. Click the "
              "\"Select A File To Split\" button again, simply right click on the icon of the file "
              "to be split and go into Properties. At the bottom ensure that \"Read Only\" box is "
              "not selected.  If it is checked, click to remove the check, then click on "
              "\"Apply\", then you will be able to split the file.\n\nCould not open "
              "/x/movie.avi: Permission denied");
}

TEST(SplitMessages, SpeakTheEnvironmentsLanguageWithItsPluralForms) {
    {
        const InLanguage german("de");
        EXPECT_EQ(refusalText(EmptySource{"/x/movie.avi"}).toStdString(),
                  "Die gewählte Datei ist leer, es gibt also nichts zu teilen.");
        EXPECT_EQ(AboutBox(nullptr).findChild<QPushButton*>("returnButton")->text(), "&Zurück");
    }
    const InLanguage russian("ru");
    EXPECT_EQ(sizeText("1.4 Megabytes"), "1.4 МБ");
    const std::pair<std::int64_t, std::string> counts[] = {{21, "Всего создан 21 файл."},
                                                           {3, "Всего создано 3 файла."},
                                                           {5, "Всего создано 5 файлов."}};
    for (const auto& [count, words] : counts)
        EXPECT_NE(
            completionText({"/x/", "movie", "movie.avi", count, "", {}}).toStdString().find(words),
            std::string::npos)
            << words;
}

TEST(SplitMessages, ACompletionNamesWhereAMovedFolderIsNow) {
    const QString text = completionText({"/x/", "movie", "movie.avi", 3, "", {true, "/y/"}});
    EXPECT_TRUE(text.startsWith("Finished. Folder /y/ contains")) << text.toStdString();
    EXPECT_TRUE(text.contains("\n\nThe folder /x/ was moved or replaced during the split: the "
                              "files are in /y/, where the folder written to is now.\n\n"));
}
