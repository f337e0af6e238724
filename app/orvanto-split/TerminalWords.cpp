#include "app/orvanto-split/TerminalWords.h"

#include <cstdio>
#include <cstring>
#include <variant>

#include "engine/ChecksumFile.h"
#include "engine/SplitNames.h"
#include "engine/SplitRequest.h"
#include "platform/ShellArgument.h"
#include "platform/VisibleText.h"
#include "settings/SettingsFileError.h"
#include "wording/CompletionMessages.h"
#include "wording/FailureMessages.h"
#include "wording/Translation.h"

namespace {

// A character as a terminal can show it: itself when printable, else its code.
std::string shown(char c) {
    const auto code = static_cast<unsigned char>(c);
    if (code >= 32 && code < 127)
        return std::string("'") + c + "'";
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(code));
    return text;
}

// Each refusal in the terminal's words.
struct RefusalSentence {
    std::string operator()(const split_refusal::NoSource& r) const {
        return fillIn(translate("%1: no such file, or not a plain file"), {r.path});
    }
    std::string operator()(const split_refusal::EmptySource& r) const {
        return fillIn(translate("%1: the file is empty, there is nothing to split"), {r.path});
    }
    std::string operator()(const split_refusal::UnknownSourceSize& r) const {
        return fillIn(translate("%1: the size of the file could not be read"), {r.path});
    }
    std::string operator()(const split_refusal::SourceSizeChanged& r) const {
        return fillIn(translate("%1: the file changed size while it was being checked; try again"),
                      {r.path});
    }
    std::string operator()(const split_refusal::SplitSizeTooSmall&) const {
        return fillIn(translate("the piece size must be at least %1 bytes"),
                      {std::to_string(kBlockSize)});
    }
    std::string operator()(const split_refusal::NotUtf8& r) const {
        return fillIn(translate("%1: the name is not UTF-8 text, so no rejoin script can name the "
                                "file on Windows; rename the file and try again"),
                      {r.name});
    }
    std::string operator()(const split_refusal::ForbiddenCharacter& r) const {
        return fillIn(translate("%1: the rejoin script cannot hold the character %2 on Windows; "
                                "rename the file and try again"),
                      {r.name, shown(r.character)});
    }
    std::string operator()(const split_refusal::DeviceName& r) const {
        return fillIn(translate("%1: Windows keeps the name %2 for a device, so the rejoin script "
                                "could not recreate the file; rename the file and try again"),
                      {r.name, r.device});
    }
    std::string operator()(const split_refusal::OnlyDots& r) const {
        return fillIn(translate("%1: the rejoin script would recreate it as %2, a folder on "
                                "Windows; rename the file and try again"),
                      {r.name, r.recreatedAs});
    }
    std::string operator()(const split_refusal::TrailingDotOrBlank& r) const {
        return fillIn(translate("%1: the rejoin script would recreate it as \"%2\", and Windows "
                                "drops the dots and blanks at the end of a name; rename the file "
                                "and try again"),
                      {r.name, r.recreatedAs});
    }
    std::string operator()(const split_refusal::NoNeedToSplit&) const {
        return translate("the file is no larger than one piece; choose a smaller size");
    }
    std::string operator()(const split_refusal::TooManyPieces& r) const {
        return fillIn(translate("this size would make %1 pieces, and a split makes at most %2; "
                                "choose a larger size"),
                      {std::to_string(r.pieceCount), std::to_string(kMostPieces)});
    }
    std::string operator()(const split_refusal::OverwritesSource& r) const {
        return fillIn(translate("the piece name %1 is the file being split; put the pieces "
                                "elsewhere with -o DIR"),
                      {r.name});
    }
    std::string operator()(const split_refusal::TargetLikeOutput& r) const {
        return fillIn(translate("the rejoin script would recreate the file as %1, which Windows "
                                "takes for %2, a file the script needs itself; rename the file and "
                                "try again"),
                      {r.target, r.name});
    }
    std::string operator()(const split_refusal::NameExists& r) const {
        return fillIn(translate("%1 already exists; move it away, or put the pieces elsewhere with "
                                "-o DIR"),
                      {r.folder + r.name});
    }
    std::string operator()(const NotEnoughSpace& r) const {
        return fillIn(translatePlural("not enough free space in %1: the split needs %2 bytes and "
                                      "%3 is free",
                                      "not enough free space in %1: the split needs %2 bytes and "
                                      "%3 are free",
                                      static_cast<unsigned long>(r.bytesFree)),
                      {r.folder, std::to_string(r.bytesNeeded), std::to_string(r.bytesFree)});
    }
    std::string operator()(const split_refusal::NotAFolder& r) const {
        return fillIn(translate("%1 is not a folder; give a folder with -o DIR"), {r.folder});
    }
    std::string operator()(const split_refusal::UnwritableFolder& r) const {
        return fillIn(translate("%1 is not a folder Orvanto can write to; put the pieces elsewhere "
                                "with -o DIR"),
                      {r.folder});
    }
    std::string operator()(const split_refusal::NameTooLong& r) const {
        return fillIn(translate("the name %1 is longer than the %2 bytes a name may have in %3; "
                                "rename the file and try again"),
                      {r.name, std::to_string(r.limit), r.folder});
    }
    std::string operator()(const split_refusal::PieceTooLarge& r) const {
        return fillIn(
            translate("the file system of %1 holds no file larger than %2 bytes; choose a "
                      "smaller size, such as \"%3\""),
            {r.folder, std::to_string(r.limit), r.preset});
    }
};

} // namespace

std::string refusalSentence(const SplitRefusal& refusal) {
    return std::visit(RefusalSentence{}, refusal);
}

std::string completionReport(const SplitCompletion& completion, bool checksumAsked) {
    const std::string count = std::to_string(completion.pieceCount);
    const std::string checksum = visibleText(completion.checksumName);
    const std::string argument = visibleText(shellFileArgument(completion.checksumName));
    std::string checksumReport;
    if (!checksum.empty())
        checksumReport = fillIn(
            translate(
                "Wrote their SHA-256 and the whole file's to %1 (sha256sum --ignore-missing -c "
                "%2 checks the pieces before the join, sha256sum -c %2 the file too after "
                "it).\n"),
            {checksum, argument});
    else if (checksumAsked)
        checksumReport = fillIn(translate("Wrote no checksum file: the name %1 would be longer "
                                          "than a name may be in that folder.\n"),
                                {visibleText(checksum_file::nameFor(completion.baseName))});
    std::string moved = visibleText(movedFolderText(completion));
    if (!moved.empty())
        moved += '\n';
    const std::string script = scriptName(completion.baseName);
    const std::string rejoin =
        fillIn(translate("Run %1 on Windows, or orvanto-join %2, to recreate %3."),
               {visibleText(script), visibleText(shellFileArgument(script)),
                visibleText(completion.targetName)});
    return fillIn(translatePlural("Wrote %1 piece, %2 to %3, and the rejoin script %4 in %5.\n",
                                  "Wrote %1 pieces, %2 to %3, and the rejoin script %4 in %5.\n",
                                  static_cast<unsigned long>(completion.pieceCount)),
                  {count, visibleText(pieceName(completion.baseName, 1)),
                   visibleText(pieceName(completion.baseName, completion.pieceCount)),
                   visibleText(script), visibleText(setFolder(completion))}) +
           moved + checksumReport + rejoin;
}

std::string failureSentence(const std::exception& failure) {
    const auto* settingsFile = dynamic_cast<const SettingsFileError*>(&failure);
    if (settingsFile && settingsFile->kind() == SettingsFileError::Kind::Write &&
        settingsFile->errorNumber() != 0)
        return failureText(failure) + ": " + std::strerror(settingsFile->errorNumber());
    return failureText(failure);
}
