#include "wording/FailureMessages.h"

#include "engine/SourceCheck.h"
#include "settings/ConversionError.h"
#include "settings/SettingsFileError.h"

namespace {

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
        return "Could not open " + failure.path() + ": it is not a plain file";
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
    return failure.what();
}
