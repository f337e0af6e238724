#include "ui/SplitMessages.h"

#include <string>
#include <variant>

#include "engine/ChecksumFile.h"
#include "engine/SplitNames.h"
#include "engine/SplitRequest.h"
#include "platform/ShellArgument.h"
#include "platform/VisibleText.h"
#include "ui/NativeText.h"
#include "ui/Prompts.h"
#include "ui/WindowText.h"
#include "wording/CompletionMessages.h"
#include "wording/FailureMessages.h"
#include "wording/Translation.h"

namespace {

// name as one argument of a Windows command line: in double quotes where cmd would split or read
// it otherwise (a name never holds a double quote).
std::string cmdArgument(const std::string& name) {
    return name.find_first_of(" &()[]{}^=;!'+,`~%") == std::string::npos ? name : '"' + name + '"';
}

const std::string kMegabytes = " Megabytes";

// Each refusal in the window's words.
struct RefusalWords {
    std::string operator()(const split_refusal::NoSource&) const {
        return translate(
            "Please click the \"Select A File To Split\" button at the top. Either you "
            "have not selected a file to \"split\" or the file you selected does "
            "not exist.");
    }
    std::string operator()(const split_refusal::EmptySource&) const {
        return translate("The file you selected is empty, so there is nothing to split.");
    }
    std::string operator()(const split_refusal::UnknownSourceSize&) const {
        return translate("The size of the file you selected could not be read. Click the "
                         "\"Select A File To Split\" button and select the file again.");
    }
    std::string operator()(const split_refusal::SourceSizeChanged&) const {
        return translate("The file you selected has changed size since you selected it. Click "
                         "the \"Select A File To Split\" button and select the file again.");
    }
    std::string operator()(const split_refusal::SplitSizeTooSmall&) const {
        return fillIn(translate("The split size must be at least %1 bytes."),
                      {std::to_string(kBlockSize)});
    }
    std::string operator()(const split_refusal::NotUtf8& r) const {
        return fillIn(translate("The file name %1 is not UTF-8 text, so the rejoin script cannot "
                                "name the file on Windows. Rename the file and then attempt the "
                                "split again."),
                      {r.name});
    }
    std::string operator()(const split_refusal::ForbiddenCharacter& r) const {
        return fillIn(translate("The file name %1 contains a character that the rejoin script "
                                "cannot hold on Windows: a double quote, one of * : < > ? | or a "
                                "backslash, or a control character. Rename the file and then "
                                "attempt the split again."),
                      {r.name});
    }
    std::string operator()(const split_refusal::DeviceName& r) const {
        return fillIn(translate("The file name %1 begins with %2, a name that Windows keeps for a "
                                "device, so the rejoin script could not recreate the file on "
                                "Windows. Rename the file and then attempt the split again."),
                      {r.name, r.device});
    }
    std::string operator()(const split_refusal::OnlyDots& r) const {
        return fillIn(translate("The file name %1 would be recreated by the rejoin script as %2, "
                                "which Windows takes for a folder. Rename the file and then "
                                "attempt the split again."),
                      {r.name, r.recreatedAs});
    }
    std::string operator()(const split_refusal::TrailingDotOrBlank& r) const {
        return fillIn(translate("The file name %1 would be recreated by the rejoin script as "
                                "\"%2\", but Windows drops the dots and blanks at the end of a "
                                "name. Rename the file and then attempt the split again."),
                      {r.name, r.recreatedAs});
    }
    std::string operator()(const split_refusal::NoNeedToSplit&) const {
        return translate("The file size you selected is larger than the file itself, so there is "
                         "no need to split the file at this size.  You can select the "
                         "\"Customize\" option and highlight a size in the box, or click on one "
                         "of the sizes already listed that is smaller than the current file size "
                         "so it can be split.");
    }
    std::string operator()(const split_refusal::TooManyPieces&) const {
        return fillIn(translate("You chose an incorrect split size. Based on the split size you "
                                "chose, this would involve creating more than %1 split files! "
                                "This is not realistic, make sure you have selected the proper "
                                "split sizes as typically this means you may have made a "
                                "mistake."),
                      {std::to_string(kMostPieces)});
    }
    std::string operator()(const split_refusal::OverwritesSource& r) const {
        return fillIn(translate("The split would overwrite the file you selected, because the "
                                "split file name %1 is the name of that file. Move the file to a "
                                "separate folder or choose another output folder and then "
                                "attempt the split again."),
                      {r.name});
    }
    std::string operator()(const split_refusal::TargetLikeOutput& r) const {
        return fillIn(translate("The rejoin script would recreate the file as %1, which Windows "
                                "takes for the name %2 that the script itself needs, so the "
                                "rejoin would overwrite it. Rename the file and then attempt the "
                                "split again."),
                      {r.target, r.name});
    }
    std::string operator()(const split_refusal::NameExists& r) const {
        return fillIn(translate("Some file names already exist that match the split names which "
                                "need to be created. The first found file name is %1. You should "
                                "either move your file to a separate or empty folder or delete "
                                "these destination file names and then attempt the split again."),
                      {r.name});
    }
    std::string operator()(const NotEnoughSpace& r) const {
        return fillIn(translatePlural("There is not enough free space in the folder %1 for the "
                                      "split files. The split needs %2 bytes and only %3 byte is "
                                      "free.",
                                      "There is not enough free space in the folder %1 for the "
                                      "split files. The split needs %2 bytes and only %3 bytes "
                                      "are free.",
                                      static_cast<unsigned long>(r.bytesFree)),
                      {r.folder, std::to_string(r.bytesNeeded), std::to_string(r.bytesFree)});
    }
    std::string operator()(const split_refusal::NotAFolder& r) const {
        return fillIn(translate("The output folder %1 is not a folder. Choose another output "
                                "folder in Settings and then attempt the split again."),
                      {r.folder});
    }
    std::string operator()(const split_refusal::UnwritableFolder& r) const {
        return fillIn(translate("The output folder %1 is not a folder Orvanto can write to. Choose "
                                "another output folder in Settings and then attempt the split "
                                "again."),
                      {r.folder});
    }
    std::string operator()(const split_refusal::NameTooLong& r) const {
        return fillIn(translate("The split file name %1 is longer than the %2 bytes that a name "
                                "may have in the folder %3. Rename the file and then attempt the "
                                "split again."),
                      {r.name, std::to_string(r.limit), r.folder});
    }
    std::string operator()(const split_refusal::PieceTooLarge& r) const {
        return fillIn(translate("The folder %1 is on a disk that cannot hold a file larger than "
                                "%2 bytes, so split files of this size cannot be created there. "
                                "Select a smaller split size, such as %3, and then attempt the "
                                "split again."),
                      {r.folder, std::to_string(r.limit), toNative(sizeText(r.preset))});
    }
};

} // namespace

QString sizeText(const std::string& catalogueSize) {
    if (catalogueSize == "1 Megabyte")
        return orvantoText("1 Megabyte");
    const std::size_t number = catalogueSize.size() - kMegabytes.size();
    if (catalogueSize.size() > kMegabytes.size() && catalogueSize.substr(number) == kMegabytes)
        // Translators: a size in decimal megabytes (1,000,000 bytes); %1 is 1.4, 2, 95, ...
        return orvantoText("%1 Megabytes")
            .arg(QString::fromStdString(catalogueSize.substr(0, number)));
    return QString::fromStdString(catalogueSize);
}

QString refusalText(const SplitRefusal& refusal) {
    return fromNative(visibleText(std::visit(RefusalWords{}, refusal)));
}

QString completionText(const SplitCompletion& completion) {
    const std::string& base = completion.baseName;
    const unsigned long count = static_cast<unsigned long>(completion.pieceCount);
    QString text = fromNative(visibleText(
        fillIn(translatePlural("Finished. Folder %1 contains the split file names which are %2, "
                               "%3, etc., along with program \"%4\". There was %5 total file "
                               "created. Simply run the program \"%4\" to recreate the original "
                               "file.",
                               "Finished. Folder %1 contains the split file names which are %2, "
                               "%3, etc., along with program \"%4\". There were %5 total files "
                               "created. Simply run the program \"%4\" to recreate the original "
                               "file.",
                               count),
               {setFolder(completion), pieceName(base, 1), pieceName(base, 2), scriptName(base),
                std::to_string(completion.pieceCount)})));
    const std::string moved = movedFolderText(completion);
    if (!moved.empty())
        text += QStringLiteral("\n\n") + fromNative(visibleText(moved));
    const std::string& checksum = completion.checksumName;
    if (!checksum.empty())
        text += QStringLiteral("\n\n") +
                fromNative(visibleText(fillIn(
                    translate("The checksum file \"%1\" beside them holds the SHA-256 of every "
                              "piece and of the whole file. On Linux, \"sha256sum --ignore-missing "
                              "-c %2\" checks the pieces before the file is recreated, and "
                              "\"sha256sum -c %2\" checks the file too once it is; on Windows, "
                              "\"certutil -hashfile %3 SHA256\" shows the recreated file's, which "
                              "must equal the last line of \"%1\"."),
                    {checksum, shellFileArgument(checksum), cmdArgument(completion.targetName)})));
    else // the window always asks for one: only a name too long leaves it out
        text += QStringLiteral("\n\n") +
                fromNative(visibleText(
                    fillIn(translate("No checksum file was written beside them: its name \"%1\" "
                                     "would be longer than a name may be in that folder."),
                           {checksum_file::nameFor(base)})));
    return text;
}

namespace {

QString stoppedText(const SplitStopped& stopped) {
    if (!stopped.removalFailure)
        return orvantoText("The split was stopped. The split files it had written have been "
                           "removed.");
    return orvantoText("The split was stopped. The split files it had written could not all be "
                       "removed: %1")
        .arg(fromNative(visibleText(failureText(*stopped.removalFailure))));
}

} // namespace

void showSplitOutcome(QWidget* owner, const SplitOutcome& outcome) {
    if (const auto* completion = std::get_if<SplitCompletion>(&outcome))
        prompts().information(owner, completionText(*completion));
    if (const auto* refusal = std::get_if<SplitRefusal>(&outcome))
        prompts().information(owner, refusalText(*refusal));
    if (const auto* stopped = std::get_if<SplitStopped>(&outcome))
        prompts().information(owner, stoppedText(*stopped));
    // The advice is Windows'; what the system said tells the real reason.
    if (const auto* unreadable = std::get_if<SourceUnreadable>(&outcome))
        prompts().plain(
            owner,
            orvantoText("The file cannot be set to read only as this prevents access to the file. "
                        "Click the \"Select A File To Split\" button again, simply right click "
                        "on the icon of the file to be split and go into Properties. At the bottom "
                        "ensure that \"Read Only\" box is not selected.  If it is checked, click "
                        "to remove the check, then click on \"Apply\", then you will be able to "
                        "split the file.\n\n%1")
                .arg(fromNative(visibleText(failureText(unreadable->problem)))));
}
