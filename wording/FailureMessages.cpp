#include "wording/FailureMessages.h"

#include <cstring>
#include <variant>

#include "engine/SourceCheck.h"
#include "engine/SplitOutcome.h"
#include "platform/FolderLock.h"
#include "platform/IoError.h"
#include "settings/ConversionError.h"
#include "settings/Settings.h"
#include "settings/SettingsFileError.h"
#include "wording/Translation.h"

namespace {

// The sentence for what failed: "Could not write %1: %2" with the path and why, or "Could not
// rename %1 to %2: %3" with the other path first.
std::string failedOperationText(const IoError& failure) {
    using Operation = IoError::Operation;
    switch (failure.operation()) {
    case Operation::Open:
        return translate("Could not open %1: %2");
    case Operation::Read:
        return translate("Could not read %1: %2");
    case Operation::Write:
        return translate("Could not write %1: %2");
    case Operation::Create:
        return translate("Could not create %1: %2");
    case Operation::Close:
        return translate("Could not close %1: %2");
    case Operation::Remove:
        return translate("Could not remove %1: %2");
    case Operation::Lock:
        return translate("Could not lock %1: %2");
    case Operation::OpenFolder:
        return translate("Could not open the folder %1: %2");
    case Operation::ReadStatus:
        return translate("Could not read the status of %1: %2");
    case Operation::ReadLink:
        return translate("Could not read the link %1: %2");
    case Operation::FollowLinks:
        return translate("Could not follow the links of %1: %2");
    case Operation::ReadOwner:
        return translate("Could not read the owner of %1: %2");
    case Operation::SetOwner:
        return translate("Could not set the owner of %1: %2");
    case Operation::ReadPermissions:
        return translate("Could not read the permissions of %1: %2");
    case Operation::SetPermissions:
        return translate("Could not set the permissions of %1: %2");
    case Operation::ReadCurrentFolder:
        return translate("Could not read the current folder %1: %2");
    case Operation::WriteReport:
        return translate("Could not write the report to %1: %2");
    case Operation::Start:
        return translate("Could not start %1: %2");
    case Operation::Copy:
        return translate("Could not copy %1 to %2: %3");
    }
    return {};
}

std::string reason(const IoError& failure) {
    using Fault = IoError::Fault;
    switch (failure.fault()) {
    case Fault::System:
        return std::strerror(failure.errorNumber());
    case Fault::SymbolicLink:
        return translate("it is a symbolic link");
    case Fault::NotPlainFile:
        return translate("it is not a plain file");
    case Fault::ReservedName:
        return translate("names of this form are kept for files being written");
    case Fault::ShrankWhileCopied:
        return translate("it became shorter while it was being copied");
    case Fault::ShrankAfterChosen: {
        const auto& shrank = std::get<IoError::Shrank>(failure.details());
        return fillIn(translate("it changed while it was being split: it became shorter (%1 of %2 "
                                "bytes read)"),
                      {std::to_string(shrank.bytesRead), std::to_string(shrank.bytesExpected)});
    }
    case Fault::FileSizeLimit:
        return fillIn(translate("%1, most likely because the medium holds no file of 4 GiB or "
                                "more, as FAT32 does (many USB sticks, memory cards and phones); "
                                "choose a piece size below 4 GiB"),
                      {std::strerror(failure.errorNumber())});
    case Fault::GrewAfterChosen:
        return fillIn(translate("it changed while it was being split: it grew beyond the %1 bytes "
                                "it had when it was chosen"),
                      {std::to_string(std::get<IoError::Grew>(failure.details()).bytesExpected)});
    }
    return {};
}

// "Could not write /x/movie.3: No space left on device"
std::string ioErrorText(const IoError& failure) {
    if (const auto* other = std::get_if<IoError::OtherFile>(&failure.details()))
        return fillIn(failedOperationText(failure), {other->path, failure.path(), reason(failure)});
    return fillIn(failedOperationText(failure), {failure.path(), reason(failure)});
}

std::string splitFailureText(const SplitFailure& failure) {
    const std::string cause = ioErrorText(failure.cause());
    switch (failure.cleanup()) {
    case SplitFailure::Cleanup::NothingWritten:
        return cause;
    case SplitFailure::Cleanup::Removed:
        return fillIn(translate("%1. The split files written so far have been removed."), {cause});
    case SplitFailure::Cleanup::NotAllRemoved:
        return fillIn(translate("%1. The split files written so far could not all be removed: %2"),
                      {cause, ioErrorText(*failure.removalFailure())});
    }
    return cause;
}

std::string settingsFileText(const SettingsFileError& failure) {
    switch (failure.kind()) {
    case SettingsFileError::Kind::Write:
        return fillIn(translate("Unable to write to %1"), {failure.path()});
    case SettingsFileError::Kind::LockWaitStopped:
        return fillIn(translate("Unable to write to %1: the program was stopped while it waited "
                                "for another Orvanto program to release %2, the lock on the "
                                "settings files"),
                      {failure.path(), failure.lockFile()});
    case SettingsFileError::Kind::StoredFolderTooLong:
        return fillIn(translate("The output folder stored in %1 is too long"), {failure.path()});
    }
    return failure.path();
}

} // namespace

std::string failureText(const std::exception& failure) {
    if (const auto* conversion = dynamic_cast<const ConversionError*>(&failure))
        return fillIn(translate("'%1' is not a valid integer value"), {conversion->text()});
    if (const auto* settingsFile = dynamic_cast<const SettingsFileError*>(&failure))
        return settingsFileText(*settingsFile);
    if (const auto* source = dynamic_cast<const UnsplittableSource*>(&failure))
        return fillIn(translate("Could not split %1: it is empty"), {source->path()});
    if (const auto* split = dynamic_cast<const SplitFailure*>(&failure))
        return splitFailureText(*split);
    if (const auto* io = dynamic_cast<const IoError*>(&failure))
        return ioErrorText(*io);
    if (const auto* busy = dynamic_cast<const FolderLockBusy*>(&failure))
        return fillIn(translate("Could not lock %1: another Orvanto program holds it"),
                      {busy->lockFile()});
    return failure.what();
}

std::string uncountedSplitText(const settings::UncountedSplit& uncounted) {
    if (uncounted.reason == settings::UncountedSplit::Reason::LockHeld)
        return fillIn(translate("The split files are complete, but the split was not counted: "
                                "another Orvanto program holds %1, the lock on the settings "
                                "files."),
                      {uncounted.file});
    return fillIn(translate("The split files are complete, but the split was not counted: in %1, "
                            "the key %2 in the section [%3] is missing or not a whole number. Put "
                            "the line %2=0 under [%3] in that file to count from 0 again."),
                  {uncounted.file, settings::kSplitCounterKey, settings::kSplitCounterSection});
}
