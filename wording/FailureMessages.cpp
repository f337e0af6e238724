#include "wording/FailureMessages.h"

#include <cstring>

#include "engine/SourceCheck.h"
#include "engine/SplitOutcome.h"
#include "platform/FolderLock.h"
#include "platform/IoError.h"
#include "settings/ConversionError.h"
#include "settings/Settings.h"
#include "settings/SettingsFileError.h"

namespace {

std::string verb(const IoError& failure) {
    using Operation = IoError::Operation;
    switch (failure.operation()) {
    case Operation::Open:
        return "open";
    case Operation::Read:
        return "read";
    case Operation::Write:
        return "write";
    case Operation::Create:
        return "create";
    case Operation::Close:
        return "close";
    case Operation::Remove:
        return "remove";
    case Operation::Rename:
        return "rename " + failure.otherPath() + " to";
    case Operation::Copy:
        return "copy " + failure.otherPath() + " to";
    case Operation::Lock:
        return "lock";
    case Operation::OpenFolder:
        return "open the folder";
    case Operation::ReadStatus:
        return "read the status of";
    case Operation::ReadLink:
        return "read the link";
    case Operation::FollowLinks:
        return "follow the links of";
    case Operation::ReadOwner:
        return "read the owner of";
    case Operation::SetOwner:
        return "set the owner of";
    case Operation::ReadPermissions:
        return "read the permissions of";
    case Operation::SetPermissions:
        return "set the permissions of";
    case Operation::ReadCurrentFolder:
        return "read the current folder";
    case Operation::WriteReport:
        return "write the report to";
    case Operation::Start:
        return "start";
    }
    return {};
}

std::string reason(const IoError& failure) {
    using Fault = IoError::Fault;
    switch (failure.fault()) {
    case Fault::System:
        return std::strerror(failure.errorNumber());
    case Fault::SymbolicLink:
        return "it is a symbolic link";
    case Fault::NotPlainFile:
        return "it is not a plain file";
    case Fault::ReservedName:
        return "names of this form are kept for files being written";
    case Fault::ShrankWhileCopied:
        return "it became shorter while it was being copied";
    case Fault::ShrankAfterChosen:
        return "it changed while it was being split: it became shorter (" +
               std::to_string(failure.bytesRead()) + " of " +
               std::to_string(failure.bytesExpected()) + " bytes read)";
    case Fault::GrewAfterChosen:
        return "it changed while it was being split: it grew beyond the " +
               std::to_string(failure.bytesExpected()) + " bytes it had when it was chosen";
    }
    return {};
}

// "Could not write /x/movie.3: No space left on device"
std::string ioErrorText(const IoError& failure) {
    return "Could not " + verb(failure) + " " + failure.path() + ": " + reason(failure);
}

std::string splitFailureText(const SplitFailure& failure) {
    const std::string cause = ioErrorText(failure.cause());
    switch (failure.cleanup()) {
    case SplitFailure::Cleanup::NothingWritten:
        return cause;
    case SplitFailure::Cleanup::Removed:
        return cause + ". The split files written so far have been removed.";
    case SplitFailure::Cleanup::NotAllRemoved:
        return cause + ". The split files written so far could not all be removed: " +
               ioErrorText(*failure.removalFailure());
    }
    return cause;
}

std::string settingsFileText(const SettingsFileError& failure) {
    switch (failure.kind()) {
    case SettingsFileError::Kind::Write:
        return "Unable to write to " + failure.path();
    case SettingsFileError::Kind::StoredFolderTooLong:
        return "The output folder stored in " + failure.path() + " is too long";
    }
    return failure.path();
}

std::string unsplittableText(const UnsplittableSource& failure) {
    switch (failure.kind()) {
    case UnsplittableSource::Kind::NotPlainFile:
        return ioErrorText(
            IoError(IoError::Operation::Open, failure.path(), IoError::Fault::NotPlainFile));
    case UnsplittableSource::Kind::Empty:
        return "Could not split " + failure.path() + ": it is empty";
    }
    return failure.path();
}

} // namespace

std::string failureText(const std::exception& failure) {
    if (const auto* conversion = dynamic_cast<const ConversionError*>(&failure))
        return "'" + conversion->text() + "' is not a valid integer value";
    if (const auto* settingsFile = dynamic_cast<const SettingsFileError*>(&failure))
        return settingsFileText(*settingsFile);
    if (const auto* source = dynamic_cast<const UnsplittableSource*>(&failure))
        return unsplittableText(*source);
    if (const auto* split = dynamic_cast<const SplitFailure*>(&failure))
        return splitFailureText(*split);
    if (const auto* io = dynamic_cast<const IoError*>(&failure))
        return ioErrorText(*io);
    if (const auto* busy = dynamic_cast<const FolderLockBusy*>(&failure))
        return "Could not lock " + busy->lockFile() + ": another Orvanto program holds it";
    return failure.what();
}

std::string uncountedSplitText(const settings::UncountedSplit& uncounted) {
    if (uncounted.reason == settings::UncountedSplit::Reason::LockHeld)
        return "The split files are complete, but the split was not counted: another Orvanto "
               "program holds " +
               uncounted.file + ", the lock on the settings files.";
    const std::string key = settings::kSplitCounterKey;
    const std::string section = settings::kSplitCounterSection;
    return "The split files are complete, but the split was not counted: in " + uncounted.file +
           ", the key " + key + " in the section [" + section +
           "] is missing or not a whole number. Put the line " + key + "=0 under [" + section +
           "] in that file to count from 0 again.";
}
