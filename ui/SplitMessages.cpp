#include "ui/SplitMessages.h"

#include <string>
#include <variant>

#include "engine/ChecksumFile.h"
#include "engine/SplitRequest.h"
#include "platform/ShellArgument.h"
#include "platform/VisibleText.h"
#include "ui/NativeText.h"
#include "ui/Prompts.h"
#include "wording/FailureMessages.h"

namespace {

// name as one argument of a Windows command line: in double quotes where cmd would split or read
// it otherwise (a name never holds a double quote).
std::string cmdArgument(const std::string& name) {
    return name.find_first_of(" &()[]{}^=;!'+,`~%") == std::string::npos ? name : '"' + name + '"';
}

const char* const kSourceCannotBeOpened =
    "The file cannot be set to read only as this prevents access to the file. Click the "
    "\"Select A File To Split\" button again, simply right click on the icon of the file to be "
    "split and go into Properties. At the bottom ensure that \"Read Only\" box is not selected.  "
    "If it is checked, click to remove the check, then click on \"Apply\", then you will be able "
    "to split the file.";

// A stop always comes before the script is written.
const char* const kStopped = "The split was stopped. The split files it had written have been "
                             "removed.";
const char* const kStoppedNotAllRemoved =
    "The split was stopped. The split files it had written could not all be removed: ";

const char* const kRenameAndRetry = " Rename the file and then attempt the split again.";

// Each refusal in the window's words.
struct RefusalWords {
    std::string operator()(const split_refusal::NoSource&) const {
        return "Please click the \"Select A File To Split\" button at the top. Either you have "
               "not selected a file to \"split\" or the file you selected does not exist.";
    }
    std::string operator()(const split_refusal::EmptySource&) const {
        return "The file you selected is empty, so there is nothing to split.";
    }
    std::string operator()(const split_refusal::UnknownSourceSize&) const {
        return "The size of the file you selected could not be read. Click the \"Select A File "
               "To Split\" button and select the file again.";
    }
    std::string operator()(const split_refusal::SourceSizeChanged&) const {
        return "The file you selected has changed size since you selected it. Click the \"Select "
               "A File To Split\" button and select the file again.";
    }
    std::string operator()(const split_refusal::SplitSizeTooSmall&) const {
        return "The split size must be at least " + std::to_string(kBlockSize) + " bytes.";
    }
    std::string operator()(const split_refusal::NotUtf8& r) const {
        return "The file name " + r.name +
               " is not UTF-8 text, so the rejoin script cannot name the file on Windows." +
               kRenameAndRetry;
    }
    std::string operator()(const split_refusal::ForbiddenCharacter& r) const {
        return "The file name " + r.name +
               " contains a character that the rejoin script cannot hold on Windows: a double "
               "quote, one of * : < > ? | or a backslash, or a control character." +
               kRenameAndRetry;
    }
    std::string operator()(const split_refusal::DeviceName& r) const {
        return "The file name " + r.name + " begins with " + r.device +
               ", a name that Windows keeps for a device, so the rejoin script could not "
               "recreate the file on Windows." +
               kRenameAndRetry;
    }
    std::string operator()(const split_refusal::OnlyDots& r) const {
        return "The file name " + r.name + " would be recreated by the rejoin script as " +
               r.recreatedAs + ", which Windows takes for a folder." + kRenameAndRetry;
    }
    std::string operator()(const split_refusal::TrailingDotOrBlank& r) const {
        return "The file name " + r.name + " would be recreated by the rejoin script as \"" +
               r.recreatedAs + "\", but Windows drops the dots and blanks at the end of a name." +
               kRenameAndRetry;
    }
    std::string operator()(const split_refusal::NoNeedToSplit&) const {
        return "The file size you selected is larger than the file itself, so there is no need "
               "to split the file at this size.  You can select the \"Customize\" option and "
               "highlight a size in the box, or click on one of the sizes already listed that is "
               "smaller than the current file size so it can be split.";
    }
    std::string operator()(const split_refusal::TooManyPieces&) const {
        return "You chose an incorrect split size. Based on the split size you chose, this would "
               "involve creating more than " +
               std::to_string(kMostPieces) +
               " split files! This is not realistic, make sure you have selected the proper "
               "split sizes as typically this means you may have made a mistake.";
    }
    std::string operator()(const split_refusal::OverwritesSource& r) const {
        return "The split would overwrite the file you selected, because the split file name " +
               r.name +
               " is the name of that file. Move the file to a separate folder or choose another "
               "output folder and then attempt the split again.";
    }
    std::string operator()(const split_refusal::TargetLikeOutput& r) const {
        return "The rejoin script would recreate the file as " + r.target +
               ", which Windows takes for the name " + r.name +
               " that the script itself needs, so the rejoin would overwrite it." + kRenameAndRetry;
    }
    std::string operator()(const split_refusal::NameExists& r) const {
        return "Some file names already exist that match the split names which need to be "
               "created. The first found file name is " +
               r.name +
               ". You should either move your file to a separate or empty folder or delete these "
               "destination file names and then attempt the split again.";
    }
    std::string operator()(const split_refusal::NotEnoughSpace& r) const {
        return "There is not enough free space in the folder " + r.folder +
               " for the split files. The split needs " + std::to_string(r.bytesNeeded) +
               " bytes and only " + std::to_string(r.bytesFree) + " bytes are free.";
    }
    std::string operator()(const split_refusal::NotAFolder& r) const {
        return "The output folder " + r.folder +
               " is not a folder. Choose another output folder in Settings and then attempt the "
               "split again.";
    }
    std::string operator()(const split_refusal::UnwritableFolder& r) const {
        return "The output folder " + r.folder +
               " is not a folder Orvanto can write to. Choose another output folder in Settings "
               "and then attempt the split again.";
    }
    std::string operator()(const split_refusal::NameTooLong& r) const {
        return "The split file name " + r.name + " is longer than the " + std::to_string(r.limit) +
               " bytes that a name may have in the folder " + r.folder + "." + kRenameAndRetry;
    }
    std::string operator()(const split_refusal::PieceTooLarge& r) const {
        return "The folder " + r.folder + " is on a disk that cannot hold a file larger than " +
               std::to_string(r.limit) +
               " bytes, so split files of this size cannot be created there. Select a smaller "
               "split size, such as " +
               r.preset + ", and then attempt the split again.";
    }
};

} // namespace

QString refusalText(const SplitRefusal& refusal) {
    return fromNative(visibleText(std::visit(RefusalWords{}, refusal)));
}

QString completionText(const SplitCompletion& completion) {
    const std::string& base = completion.baseName;
    QString text = fromNative(visibleText(
        "Finished. Folder " + completion.folder + " contains the split file names which are " +
        base + ".1, " + base + ".2, etc., along with program \"" + base + ".bat\". There were " +
        std::to_string(completion.pieceCount) + " total files created. Simply run the program \"" +
        base + ".bat\" to recreate the original file."));
    const std::string& checksum = completion.checksumName;
    if (!checksum.empty())
        text += QStringLiteral("\n\n") +
                fromNative(visibleText(
                    "The checksum file \"" + checksum +
                    "\" beside them holds the SHA-256 of every piece and of the whole file. On "
                    "Linux, \"sha256sum --ignore-missing -c " +
                    shellFileArgument(checksum) +
                    "\" checks the pieces before the file is recreated, and \"sha256sum -c " +
                    shellFileArgument(checksum) +
                    "\" checks the file too once it is; on Windows, \"certutil -hashfile " +
                    cmdArgument(completion.targetName) +
                    " SHA256\" shows the recreated file's, which must equal the last line of \"" +
                    checksum + "\"."));
    else // the window always asks for one: only a name too long leaves it out
        text += QStringLiteral("\n\n") +
                fromNative(visibleText("No checksum file was written beside them: its name \"" +
                                       checksum_file::nameFor(base) +
                                       "\" would be longer than a name may be in that folder."));
    return text;
}

namespace {

QString stoppedText(const SplitStopped& stopped) {
    if (!stopped.removalFailure)
        return QString::fromLatin1(kStopped);
    return QString::fromLatin1(kStoppedNotAllRemoved) +
           fromNative(visibleText(failureText(*stopped.removalFailure)));
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
        prompts().plain(owner, QString::fromLatin1(kSourceCannotBeOpened) + QStringLiteral("\n\n") +
                                   fromNative(visibleText(failureText(unreadable->problem))));
}
