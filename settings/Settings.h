#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/FolderLock.h"

namespace settings {

// Window sizes, one section per window (the sections below).
extern const char* const kLayoutFileName;
extern const char* const kMainWindowSection;
extern const char* const kSettingsDialogSection;
extern const char* const kStatisticsWindowSection;
// The output folder, the folder last browsed and the split counter.
extern const char* const kSettingsFileName;
// Where the settings file keeps the split counter.
extern const char* const kSplitCounterSection;
extern const char* const kSplitCounterKey;

// Why a split whose files are complete was not counted, and the file to look at.
struct UncountedSplit {
    enum class Reason {
        // Another program held the lock file for longer than the count waits, or a stop ended
        // the wait.
        LockHeld,
        // The counter in the settings file is missing or not a whole number; its text is kept.
        CounterUnreadable,
    };
    Reason reason = Reason::LockHeld;
    std::string file;
};

// The two INI files the program remembers things in, the layout file and the settings file,
// both in one configuration folder. Every read and write goes to the files themselves: two
// objects on the same folder, or two programs, see each other's changes.
class Settings {
public:
    // The files kLayoutFileName and kSettingsFileName in configurationFolder, which need not
    // exist yet (see createFolder).
    explicit Settings(const std::string& configurationFolder);

    const std::string& settingsFilePath() const { return m_settingsFile; }

    // Creates the configuration folder and every missing folder above it; throws IoError.
    void createFolder() const;
    // Writes "Stat"/"Number" = "0" when no settings file exists yet; an existing file is untouched.
    // Two programs starting together never undo each other's first count. Throws FolderLockBusy
    // when another program holds the folder's lock for longer than lockWait.
    void createSettingsFileIfMissing(LockWait lockWait = std::nullopt) const;

    // writeLayoutSize, writeOutputFolder and writeLastDir throw FolderLockBusy when another
    // program holds the folder's lock for more than a few seconds.

    // Window sizes; 0 means "keep the design size". A size is stored with the desktop's text
    // scale, in per cent of the forms' design, that it was made under.
    int readLayoutWidth(const std::string& section) const;
    int readLayoutHeight(const std::string& section) const;
    // 100 where none was stored.
    int readLayoutTextScale(const std::string& section) const;
    void writeLayoutSize(int width, int height, const std::string& section,
                         int textScalePercent = 100) const;

    // The split counter. readSplitCounter throws ConversionError when the stored text is missing
    // or not an integer; addToSplitCounter then writes nothing, and throws FolderLockBusy when
    // another program holds the folder's lock for longer than lockWait.
    std::int32_t readSplitCounter() const;
    void addToSplitCounter(std::int32_t n, LockWait lockWait = std::nullopt) const;
    // Adds a split whose files are complete, waiting a few seconds at most for another program's
    // lock, so that a finished split never hangs on its count. Says why when the split stays
    // uncounted; nothing once it is counted.
    std::optional<UncountedSplit> countCompletedSplit() const;

    // "History"/"Loc" with the characters of code 32 and below trimmed from both ends; empty when
    // no output folder is set. A stored value as long as profile::kMaxValueLength or longer
    // throws SettingsFileError (StoredFolderTooLong), as it may have been cut.
    std::string readOutputFolder() const;
    // Each write makes a missing settings file as createSettingsFileIfMissing does first.
    void writeOutputFolder(const std::string& folder) const;
    // "History"/"Last Dir", untrimmed.
    std::string readLastDir() const;
    void writeLastDir(const std::string& folder) const;

private:
    std::string m_folder;
    std::string m_layoutFile;
    std::string m_settingsFile;
};

} // namespace settings
