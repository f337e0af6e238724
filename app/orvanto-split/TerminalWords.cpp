#include "app/orvanto-split/TerminalWords.h"

#include <cstdio>
#include <cstring>

#include "engine/SplitRequest.h"
#include "platform/VisibleText.h"
#include "settings/SettingsFileError.h"
#include "wording/FailureMessages.h"

namespace {

using Reason = SplitRefusal::Reason;

// A character as a terminal can show it: itself when printable, else its code.
std::string shown(char c) {
    const auto code = static_cast<unsigned char>(c);
    if (code >= 32 && code < 127)
        return std::string("'") + c + "'";
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(code));
    return text;
}

const char* const kRename = "; rename the file and try again";
const char* const kElsewhere = "; move it away, or put the pieces elsewhere with -o DIR";

} // namespace

std::string refusalSentence(const SplitRefusal& refusal) {
    switch (refusal.reason) {
    case Reason::NoSource:
        return refusal.name + ": no such file, or not a plain file";
    case Reason::EmptySource:
        return refusal.name + ": the file is empty, there is nothing to split";
    case Reason::UnknownSourceSize:
        return refusal.name + ": the size of the file could not be read";
    case Reason::SourceSizeChanged:
        return refusal.name + ": the file changed size while it was being checked; try again";
    case Reason::SplitSizeTooSmall:
        return "the piece size must be at least " + std::to_string(kBlockSize) + " bytes";
    case Reason::NotUtf8:
        return refusal.name +
               ": the name is not UTF-8 text, so no rejoin script can name the file on Windows" +
               kRename;
    case Reason::ForbiddenCharacter:
        return refusal.name + ": the rejoin script cannot hold the character " +
               shown(refusal.character) + " on Windows" + kRename;
    case Reason::DeviceName:
        return refusal.name + ": Windows keeps the name " + refusal.otherName +
               " for a device, so the rejoin script could not recreate the file" + kRename;
    case Reason::OnlyDots:
        return refusal.name + ": the rejoin script would recreate it as " + refusal.otherName +
               ", a folder on Windows" + kRename;
    case Reason::TrailingDotOrBlank:
        return refusal.name + ": the rejoin script would recreate it as \"" + refusal.otherName +
               "\", and Windows drops the dots and blanks at the end of a name" + kRename;
    case Reason::NoNeedToSplit:
        return "the file is no larger than one piece; choose a smaller size";
    case Reason::TooManyPieces:
        return "this size would make " + std::to_string(refusal.pieceCount) +
               " pieces, and a split makes at most " + std::to_string(kMostPieces) +
               "; choose a larger size";
    case Reason::OverwritesSource:
        return "the piece name " + refusal.name +
               " is the file being split; put the pieces elsewhere with -o DIR";
    case Reason::TargetLikeOutput:
        return "the rejoin script would recreate the file as " + refusal.otherName +
               ", which Windows takes for " + refusal.name + ", a file the script needs itself" +
               kRename;
    case Reason::NameExists:
        return refusal.folder + refusal.name + " already exists" + kElsewhere;
    case Reason::NotEnoughSpace:
        return "not enough free space in " + refusal.folder + ": the split needs " +
               std::to_string(refusal.bytesNeeded) + " bytes and " +
               std::to_string(refusal.bytesFree) + " are free";
    case Reason::NotAFolder:
        return refusal.folder + " is not a folder; give a folder with -o DIR";
    case Reason::UnwritableFolder:
        return refusal.folder + " is not a folder Orvanto can write to" +
               "; put the pieces elsewhere with -o DIR";
    case Reason::NameTooLong:
        return "the name " + refusal.name + " is longer than the " + std::to_string(refusal.limit) +
               " bytes a name may have in " + refusal.folder + kRename;
    case Reason::PieceTooLarge:
        return "the file system of " + refusal.folder + " holds no file larger than " +
               std::to_string(refusal.limit) + " bytes; choose a smaller size, such as \"" +
               refusal.otherName + "\"";
    }
    return {};
}

std::string completionReport(const SplitCompletion& completion) {
    const std::string base = visibleText(completion.baseName);
    const std::string checksum = visibleText(completion.checksumName);
    return "Wrote " + std::to_string(completion.pieceCount) + " pieces, " + base + ".1 to " + base +
           "." + std::to_string(completion.pieceCount) + ", and the rejoin script " + base +
           ".bat in " + visibleText(completion.folder) + ".\n" +
           (checksum.empty() ? std::string()
                             : "Wrote their SHA-256 and the whole file's to " + checksum +
                                   " (sha256sum -c " + checksum + " checks them).\n") +
           "Run " + base + ".bat on Windows, or orvanto-join " + base + ".bat, to recreate " +
           visibleText(completion.targetName) + ".";
}

std::string failureSentence(const std::exception& failure) {
    const auto* settingsFile = dynamic_cast<const SettingsFileError*>(&failure);
    if (settingsFile && settingsFile->errorNumber() != 0)
        return failureText(failure) + ": " + std::strerror(settingsFile->errorNumber());
    return failureText(failure);
}
