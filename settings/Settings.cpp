#include "settings/Settings.h"

#include <algorithm>
#include <limits>

#include "platform/FileSystem.h"
#include "platform/IoError.h"
#include "platform/Paths.h"
#include "settings/IntegerText.h"
#include "settings/ProfileFile.h"

namespace settings {

namespace {

// The module-level paths, set by the start-up step and read everywhere else.
struct ModulePaths {
    std::string windowsDirectory;
    std::string layoutFile;
    std::string settingsFile;
};

ModulePaths& modulePaths() {
    static ModulePaths paths;
    return paths;
}

const char* const kHistory = "History";
const char* const kStat = "Stat";
const char* const kNumber = "Number";

bool isControlOrBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

std::string withoutControlsAndBlanks(const std::string& text) {
    const auto first = std::find_if_not(text.begin(), text.end(), isControlOrBlank);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), isControlOrBlank).base();
    return first < last ? std::string(first, last) : std::string();
}

// The counter stops at the ends of its range instead of wrapping round to a negative count.
std::int32_t saturatedSum(std::int32_t a, std::int32_t b) {
    const std::int64_t sum = std::int64_t{a} + b;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        sum, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

} // namespace

void initLayoutPath() {
    // The paths are set before the folder is made, so that a later error names the real file.
    modulePaths().windowsDirectory = paths::configurationFolderPath();
    modulePaths().layoutFile = modulePaths().windowsDirectory + "VU_2.ini";
    paths::createFolders(modulePaths().windowsDirectory);
}

void initSettingsPath() {
    modulePaths().settingsFile = modulePaths().windowsDirectory + "quorel20.ini";
}

void createSettingsFileIfMissing() {
    if (fs_entry::entryKind(settingsFilePath()) == fs_entry::Kind::None)
        profile::writeString(settingsFilePath(), kStat, kNumber, "0");
}

const std::string& windowsDirectory() {
    return modulePaths().windowsDirectory;
}

const std::string& layoutFilePath() {
    return modulePaths().layoutFile;
}

const std::string& settingsFilePath() {
    return modulePaths().settingsFile;
}

int ReadLayoutWidth(const std::string& section, const std::string& layoutPath) {
    return integer_text::toLayoutInt(profile::readString(layoutPath, section, "W", ""));
}

int ReadLayoutHeight(const std::string& section, const std::string& layoutPath) {
    return integer_text::toLayoutInt(profile::readString(layoutPath, section, "H", ""));
}

void WriteLayoutSize(int width, int height, const std::string& section,
                     const std::string& layoutPath) {
    profile::writeStrings(layoutPath, section,
                          {{"W", std::to_string(width)}, {"H", std::to_string(height)}});
}

std::int32_t ReadSplitCounter() {
    return integer_text::toInt32(profile::readString(settingsFilePath(), kStat, kNumber, " "));
}

// Read and write form one unit under the folder's lock: splits finishing together all count.
void AddToSplitCounter(std::int32_t n) {
    profile::changeString(settingsFilePath(), kStat, kNumber, " ", [n](const std::string& stored) {
        return std::to_string(saturatedSum(integer_text::toInt32(stored), n));
    });
}

std::string readOutputFolder() {
    const std::string stored = profile::readString(settingsFilePath(), kHistory, "Loc", "");
    // A value that fills what the reader takes may have been cut: a cut folder is an ancestor of
    // the one chosen, and pieces must not land there.
    if (stored.size() >= profile::kMaxValueLength)
        throw IoError("The output folder stored in " + settingsFilePath() + " is too long");
    return withoutControlsAndBlanks(stored);
}

void writeOutputFolder(const std::string& folder) {
    profile::writeString(settingsFilePath(), kHistory, "Loc", folder);
}

std::string readLastDir() {
    return profile::readString(settingsFilePath(), kHistory, "Last Dir", "");
}

void writeLastDir(const std::string& folder) {
    profile::writeString(settingsFilePath(), kHistory, "Last Dir", folder);
}

} // namespace settings
