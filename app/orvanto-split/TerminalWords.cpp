#include "app/orvanto-split/TerminalWords.h"

#include <cstdio>
#include <cstring>
#include <variant>

#include "engine/ChecksumFile.h"
#include "engine/SplitRequest.h"
#include "platform/ShellArgument.h"
#include "platform/VisibleText.h"
#include "settings/SettingsFileError.h"
#include "wording/FailureMessages.h"

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

const char* const kRename = "; rename the file and try again";
const char* const kElsewhere = "; move it away, or put the pieces elsewhere with -o DIR";

// Each refusal in the terminal's words.
struct RefusalSentence {
    std::string operator()(const split_refusal::NoSource& r) const {
        return r.path + ": no such file, or not a plain file";
    }
    std::string operator()(const split_refusal::EmptySource& r) const {
        return r.path + ": the file is empty, there is nothing to split";
    }
    std::string operator()(const split_refusal::UnknownSourceSize& r) const {
        return r.path + ": the size of the file could not be read";
    }
    std::string operator()(const split_refusal::SourceSizeChanged& r) const {
        return r.path + ": the file changed size while it was being checked; try again";
    }
    std::string operator()(const split_refusal::SplitSizeTooSmall&) const {
        return "the piece size must be at least " + std::to_string(kBlockSize) + " bytes";
    }
    std::string operator()(const split_refusal::NotUtf8& r) const {
        return r.name +
               ": the name is not UTF-8 text, so no rejoin script can name the file on Windows" +
               kRename;
    }
    std::string operator()(const split_refusal::ForbiddenCharacter& r) const {
        return r.name + ": the rejoin script cannot hold the character " + shown(r.character) +
               " on Windows" + kRename;
    }
    std::string operator()(const split_refusal::DeviceName& r) const {
        return r.name + ": Windows keeps the name " + r.device +
               " for a device, so the rejoin script could not recreate the file" + kRename;
    }
    std::string operator()(const split_refusal::OnlyDots& r) const {
        return r.name + ": the rejoin script would recreate it as " + r.recreatedAs +
               ", a folder on Windows" + kRename;
    }
    std::string operator()(const split_refusal::TrailingDotOrBlank& r) const {
        return r.name + ": the rejoin script would recreate it as \"" + r.recreatedAs +
               "\", and Windows drops the dots and blanks at the end of a name" + kRename;
    }
    std::string operator()(const split_refusal::NoNeedToSplit&) const {
        return "the file is no larger than one piece; choose a smaller size";
    }
    std::string operator()(const split_refusal::TooManyPieces& r) const {
        return "this size would make " + std::to_string(r.pieceCount) +
               " pieces, and a split makes at most " + std::to_string(kMostPieces) +
               "; choose a larger size";
    }
    std::string operator()(const split_refusal::OverwritesSource& r) const {
        return "the piece name " + r.name +
               " is the file being split; put the pieces elsewhere with -o DIR";
    }
    std::string operator()(const split_refusal::TargetLikeOutput& r) const {
        return "the rejoin script would recreate the file as " + r.target +
               ", which Windows takes for " + r.name + ", a file the script needs itself" + kRename;
    }
    std::string operator()(const split_refusal::NameExists& r) const {
        return r.folder + r.name + " already exists" + kElsewhere;
    }
    std::string operator()(const split_refusal::NotEnoughSpace& r) const {
        return "not enough free space in " + r.folder + ": the split needs " +
               std::to_string(r.bytesNeeded) + " bytes and " + std::to_string(r.bytesFree) +
               " are free";
    }
    std::string operator()(const split_refusal::NotAFolder& r) const {
        return r.folder + " is not a folder; give a folder with -o DIR";
    }
    std::string operator()(const split_refusal::UnwritableFolder& r) const {
        return r.folder + " is not a folder Orvanto can write to" +
               "; put the pieces elsewhere with -o DIR";
    }
    std::string operator()(const split_refusal::NameTooLong& r) const {
        return "the name " + r.name + " is longer than the " + std::to_string(r.limit) +
               " bytes a name may have in " + r.folder + kRename;
    }
    std::string operator()(const split_refusal::PieceTooLarge& r) const {
        return "the file system of " + r.folder + " holds no file larger than " +
               std::to_string(r.limit) + " bytes; choose a smaller size, such as \"" + r.preset +
               "\"";
    }
};

} // namespace

std::string refusalSentence(const SplitRefusal& refusal) {
    return std::visit(RefusalSentence{}, refusal);
}

std::string completionReport(const SplitCompletion& completion, bool checksumAsked) {
    const std::string base = visibleText(completion.baseName);
    const std::string checksum = visibleText(completion.checksumName);
    const std::string argument = visibleText(shellFileArgument(completion.checksumName));
    std::string checksumReport;
    if (!checksum.empty())
        checksumReport = "Wrote their SHA-256 and the whole file's to " + checksum +
                         " (sha256sum --ignore-missing -c " + argument +
                         " checks the pieces before the join, sha256sum -c " + argument +
                         " the file too after it).\n";
    else if (checksumAsked)
        checksumReport = "Wrote no checksum file: the name " +
                         visibleText(checksum_file::nameFor(completion.baseName)) +
                         " would be longer than a name may be in that folder.\n";
    return "Wrote " + std::to_string(completion.pieceCount) + " pieces, " + base + ".1 to " + base +
           "." + std::to_string(completion.pieceCount) + ", and the rejoin script " + base +
           ".bat in " + visibleText(completion.folder) + ".\n" + checksumReport + "Run " + base +
           ".bat on Windows, or orvanto-join " +
           visibleText(shellFileArgument(completion.baseName + ".bat")) + ", to recreate " +
           visibleText(completion.targetName) + ".";
}

std::string failureSentence(const std::exception& failure) {
    const auto* settingsFile = dynamic_cast<const SettingsFileError*>(&failure);
    if (settingsFile && settingsFile->errorNumber() != 0)
        return failureText(failure) + ": " + std::strerror(settingsFile->errorNumber());
    return failureText(failure);
}
