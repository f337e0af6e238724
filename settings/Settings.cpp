#include "settings/Settings.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <limits>

#include "platform/Interruption.h"
#include "platform/Paths.h"
#include "platform/PlainText.h"
#include "settings/ConversionError.h"
#include "settings/IntegerText.h"
#include "settings/ProfileFile.h"
#include "settings/SettingsFileError.h"

namespace settings {

namespace {

const char* const kOutputFolderKey = "Loc";

bool isControlOrBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

// The counter stops at the ends of its range instead of wrapping round to a negative count.
std::int32_t saturatedSum(std::int32_t a, std::int32_t b) {
    const std::int64_t sum = std::int64_t{a} + b;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        sum, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

} // namespace

const char* const kLayoutFileName = "VU_2.ini";
const char* const kMainWindowSection = "frmsplit";
const char* const kSettingsDialogSection = "frmsettings";
const char* const kStatisticsWindowSection = "frmstats";
const char* const kSettingsFileName = "quorel20.ini";
const char* const kSplitCounterSection = "Stat";
const char* const kSplitCounterKey = "Number";
const char* const kHistorySection = "History";
const char* const kLastFolderKey = "Last Dir";

Settings::Settings(const std::string& configurationFolder)
    : m_folder(paths::withTrailingSlash(configurationFolder)),
      m_layoutFile(paths::joined(m_folder, kLayoutFileName)),
      m_settingsFile(paths::joined(m_folder, kSettingsFileName)) {}

void Settings::createFolder() const {
    paths::createFolders(m_folder);
}

void Settings::createSettingsFileIfMissing(LockWait lockWait) const {
    profile::createWithString(m_settingsFile, kSplitCounterSection, kSplitCounterKey, "0",
                              lockWait);
}

int Settings::readLayoutWidth(const std::string& section) const {
    return integer_text::toLayoutInt(profile::readString(m_layoutFile, section, "W", ""));
}

int Settings::readLayoutHeight(const std::string& section) const {
    return integer_text::toLayoutInt(profile::readString(m_layoutFile, section, "H", ""));
}

int Settings::readLayoutTextScale(const std::string& section) const {
    const int percent =
        integer_text::toLayoutInt(profile::readString(m_layoutFile, section, "TextScale", ""));
    return percent > 0 ? percent : 100;
}

void Settings::writeLayoutSize(int width, int height, const std::string& section,
                               int textScalePercent, LockWait lockWait) const {
    profile::writeStrings(m_layoutFile, section,
                          {{"W", std::to_string(width)},
                           {"H", std::to_string(height)},
                           {"TextScale", std::to_string(textScalePercent)}},
                          lockWait);
}

std::int32_t Settings::readSplitCounter() const {
    return integer_text::toInt32(
        profile::readString(m_settingsFile, kSplitCounterSection, kSplitCounterKey, " "));
}

// Read and write form one unit under the folder's lock: splits finishing together all count.
void Settings::addToSplitCounter(std::int32_t n, LockWait lockWait) const {
    profile::changeString(
        m_settingsFile, kSplitCounterSection, kSplitCounterKey, " ",
        [n](const std::string& stored) {
            return std::to_string(saturatedSum(integer_text::toInt32(stored), n));
        },
        lockWait);
}

// A statistic never fails the split it counts.
std::optional<UncountedSplit> Settings::countCompletedSplit() const {
    try {
        addToSplitCounter(1, kLockWait);
    } catch (const FolderLockBusy& busy) {
        return UncountedSplit{UncountedSplit::Reason::LockHeld, busy.lockFile()};
    } catch (const ConversionError&) {
        return UncountedSplit{UncountedSplit::Reason::CounterUnreadable, m_settingsFile};
    } catch (const SettingsFileError& error) {
        if (error.errorNumber() != EINTR || !interruption::stopAsked())
            throw;
        return UncountedSplit{UncountedSplit::Reason::LockHeld, lockFilePath()};
    }
    return std::nullopt;
}

std::string Settings::readOutputFolder() const {
    const std::string stored =
        profile::readString(m_settingsFile, kHistorySection, kOutputFolderKey, "");
    // A value that fills what the reader takes may have been cut: a cut folder is an ancestor of
    // the one chosen, and pieces must not land there.
    if (stored.size() >= profile::kMaxValueLength)
        throw SettingsFileError(SettingsFileError::Kind::StoredFolderTooLong, m_settingsFile, 0);
    return plain_text::trimmed(stored, isControlOrBlank);
}

// The settings file is only ever made with its counter: one that a start could not make while
// another program held the lock must not be made without it by a later write.
void Settings::writeOutputFolder(const std::string& folder, LockWait lockWait) const {
    createSettingsFileIfMissing(lockWait);
    profile::writeString(m_settingsFile, kHistorySection, kOutputFolderKey, folder, lockWait);
}

std::string Settings::readLastDir() const {
    return profile::readString(m_settingsFile, kHistorySection, kLastFolderKey, "");
}

void Settings::writeLastDir(const std::string& folder, LockWait lockWait) const {
    createSettingsFileIfMissing(lockWait);
    profile::writeString(m_settingsFile, kHistorySection, kLastFolderKey, folder, lockWait);
}

} // namespace settings
