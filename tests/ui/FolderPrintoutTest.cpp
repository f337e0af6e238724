#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>

#include <QListWidget>
#include <QLocale>

#include <gtest/gtest.h>

#include "FakePrompts.h"
#include "support/TempFolder.h"
#include "ui/FolderPrintout.h"
#include "ui/HandlerGuard.h"
#include "ui/PrinterTextDevice.h"
#include "ui/TextDevice.h"

namespace {

const QString kHint =
    QStringLiteral("To print the contents of any folder, simply select any file in the folder. ");

std::string commandOutput(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        ADD_FAILURE() << "cannot run " << command;
        return output;
    }
    char buffer[4096];
    for (size_t count; (count = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, count);
    EXPECT_EQ(pclose(pipe), 0) << command;
    return output;
}

// The printed lines as pdftotext reads them, without trailing blanks, page breaks or the
// empty lines after the last printed one.
std::vector<std::string> printedLines(const std::string& pdf) {
    const std::string text = commandOutput("pdftotext -layout '" + pdf + "' -");
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\f')
            continue;
        if (c != '\n') {
            line += c;
            continue;
        }
        line.erase(line.find_last_not_of(' ') + 1);
        lines.push_back(line);
        line.clear();
    }
    while (!lines.empty() && lines.back().empty())
        lines.pop_back();
    return lines;
}

int pageCount(const std::string& pdf) {
    const std::string info = commandOutput("pdfinfo '" + pdf + "'");
    const auto at = info.find("Pages:");
    return at == std::string::npos ? 0 : std::stoi(info.substr(at + 6));
}

std::vector<std::string> listed(const QListWidget& listBox) {
    std::vector<std::string> names;
    for (int row = 0; row < listBox.count(); ++row)
        names.push_back(listBox.item(row)->text().toStdString());
    return names;
}

// The lines a page shows as printedLines() reads them.
std::vector<std::string> page(const std::string& folder, const std::vector<std::string>& names) {
    std::vector<std::string> lines = {"Files Located In " + folder};
    if (!names.empty())
        lines.push_back("");
    lines.insert(lines.end(), names.begin(), names.end());
    return lines;
}

class FolderPrintoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        fileListForPrinting.setSortingEnabled(true);
        setTextDeviceFactory([this](const QString& title) {
            ++jobs;
            return PrinterTextDevice::toPdfFile(QString::fromStdString(pdf()), title);
        });
    }
    void TearDown() override { setTextDeviceFactory({}); }

    std::string pdf() const { return output.file("printout" + std::to_string(jobs) + ".pdf"); }

    // Prints the folder of picked, as the user picks it in the dialog.
    void printPicking(const std::string& picked) {
        prompts.fileAnswers = {QString::fromStdString(picked)};
        runHandler(nullptr,
                   [this] { printFolderListing(nullptr, dialogFolder, fileListForPrinting); });
    }

    FakePrompts prompts;
    QListWidget fileListForPrinting;
    QString dialogFolder = "/start/here";
    TempFolder folder;
    TempFolder output;
    int jobs = 0;
};

TEST_F(FolderPrintoutTest, PrintsVisibleFilesAndLinksToThemSortedInTheUsersLocaleWithoutCase) {
    const QLocale userLocale;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    for (const char* name : {"apple.txt", "Banana.txt", "Äpfel", "émile", "new\nline", "tab\tx"})
        writeFile(folder.file(name), "a");
    writeFile(folder.file(".hidden"), "h");
    std::filesystem::create_directory(folder.file("sub"));
    writeFile(folder.file("sub/deep.txt"), "d");
    ASSERT_EQ(mkfifo(folder.file("pipe").c_str(), 0600), 0);
    std::filesystem::create_symlink(folder.file("apple.txt"), folder.file("cherry"));
    std::filesystem::create_symlink(folder.file("nowhere"), folder.file("dangling"));
    std::filesystem::create_symlink(folder.file("sub"), folder.file("folder-link"));

    printPicking(folder.file("Banana.txt"));
    printPicking(folder.file("cherry"));
    QLocale::setDefault(userLocale);

    ASSERT_EQ(jobs, 2);
    EXPECT_EQ(printedLines(pdf()),
              page(folder.path(), {"Äpfel", "apple.txt", "Banana.txt", "cherry", "émile",
                                   "new\\x0Aline", "tab\\x09x"}));
    EXPECT_EQ(listed(fileListForPrinting),
              (std::vector<std::string>{"Äpfel", "apple.txt", "Banana.txt", "cherry", "émile",
                                        "new\\x0Aline", "tab\\x09x"}));
    EXPECT_NE(commandOutput("pdfinfo '" + pdf() + "'").find("Files Located In " + folder.path()),
              std::string::npos);
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(prompts.shown[0].kind, "information");
    EXPECT_EQ(prompts.shown[0].text, kHint);
    // The second dialog opens where the first choice left it.
    EXPECT_EQ(prompts.openFileFolders.back().toStdString(), folder.path());
}

TEST_F(FolderPrintoutTest, FolderWithoutListedEntriesPrintsTheHeadingAlone) {
    std::filesystem::create_directory(folder.file("sub"));
    writeFile(folder.file(".picked"), "p");

    printPicking(folder.file(".picked"));

    EXPECT_EQ(printedLines(pdf()), page(folder.path(), {}));
    EXPECT_EQ(fileListForPrinting.count(), 0);
}

TEST_F(FolderPrintoutTest, TwoHundredFilesContinueOnFurtherPages) {
    std::vector<std::string> names;
    for (int i = 0; i < 200; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "file%03d.dat", i);
        names.push_back(name);
        writeFile(folder.file(name), "");
    }

    printPicking(folder.file(names.front()));

    EXPECT_GT(pageCount(pdf()), 1);
    std::vector<std::string> lines = printedLines(pdf());
    // Page breaks may add empty lines between the pages' text.
    std::vector<std::string> printedNames;
    for (std::size_t i = 2; i < lines.size(); ++i)
        if (!lines[i].empty())
            printedNames.push_back(lines[i]);
    EXPECT_EQ(printedNames, names);
}

TEST_F(FolderPrintoutTest, NameWiderThanThePageContinuesOnTheNextLineIndented) {
    const std::string longName(250, 'w');
    writeFile(folder.file(longName), "");

    printPicking(folder.file(longName));

    const std::vector<std::string> lines = printedLines(pdf());
    ASSERT_GT(lines.size(), 3u);
    std::string joined = lines[2];
    for (std::size_t i = 3; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].rfind(' ', 0), 0u) << "not indented: " << lines[i];
        joined += lines[i].substr(lines[i].find_first_not_of(' '));
    }
    EXPECT_EQ(joined, longName);
}

TEST_F(FolderPrintoutTest, SecondPrintoutListsOnlyItsOwnFolder) {
    TempFolder other;
    writeFile(folder.file("first.txt"), "");
    writeFile(other.file("second.txt"), "");

    printPicking(folder.file("first.txt"));
    printPicking(other.file("second.txt"));

    ASSERT_EQ(jobs, 2);
    EXPECT_EQ(printedLines(pdf()), page(other.path(), {"second.txt"}));
    EXPECT_EQ(listed(fileListForPrinting), std::vector<std::string>{"second.txt"});
}

TEST_F(FolderPrintoutTest, CancelledDialogPrintsNothing) {
    fileListForPrinting.addItem("kept.txt");

    printPicking(""); // an empty answer is a cancel

    EXPECT_EQ(jobs, 0);
    EXPECT_EQ(listed(fileListForPrinting), std::vector<std::string>{"kept.txt"});
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, kHint);
}

TEST_F(FolderPrintoutTest, WithoutAPrinterTheListingCanBeSavedAsAPdfInTheListedFolder) {
    setTextDeviceFactory(
        [](const QString&) -> std::unique_ptr<TextDevice> { throw NoPrinterError(); });
    writeFile(folder.file("apple.txt"), "a");
    const std::string saved = folder.file("listing.pdf");
    prompts.savePdfAnswers = {QString::fromStdString(saved)};

    prompts.yesNoAnswer = false;
    printPicking(folder.file("apple.txt"));
    EXPECT_TRUE(prompts.savePdfPaths.empty());
    prompts.yesNoAnswer = true;
    printPicking(folder.file("apple.txt"));

    EXPECT_EQ(printedLines(saved), page(folder.path(), {"apple.txt"}));
    EXPECT_EQ(listed(fileListForPrinting), std::vector<std::string>{"apple.txt"});
    EXPECT_EQ(prompts.savePdfPaths,
              std::vector<QString>{QString::fromStdString(folder.file("Files Located In.pdf"))});
    ASSERT_EQ(prompts.shown.size(), 6u);
    EXPECT_EQ(prompts.shown[4].kind, "standardError");
    EXPECT_EQ(prompts.shown[4].text, "No printer is installed.");
    EXPECT_EQ(prompts.shown[5].text, "Save the list of files as a PDF file instead?");
}

TEST_F(FolderPrintoutTest, AJobThatCannotStartIsReportedAndListsNothing) {
    setTextDeviceFactory([this](const QString& title) {
        return PrinterTextDevice::toPdfFile(QString::fromStdString(output.file("missing/x.pdf")),
                                            title);
    });
    writeFile(folder.file("a.txt"), "");
    fileListForPrinting.addItem("kept.txt");

    printPicking(folder.file("a.txt"));

    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(prompts.shown[1].kind, "standardError");
    EXPECT_EQ(prompts.shown[1].text.toStdString(),
              "Could not start printing on " + output.file("missing/x.pdf") +
                  ": the print system did not accept the job.");
    EXPECT_EQ(listed(fileListForPrinting), std::vector<std::string>{"kept.txt"});
}

} // namespace
