#pragma once

#include <cstdint>
#include <string>

// The two INI files the program remembers things in: the layout file (window sizes) and the
// settings file (output folder, last folder browsed, split counter). Both live in the
// configuration folder. The paths are worked out once at start-up.
namespace settings {

// Works out the Windows-directory counterpart (the configuration folder) and the layout file
// path. Call before any other function here.
void initLayoutPath();
// Works out the settings file path; the main window calls it after restoring its size.
void initSettingsPath();
// Writes "Stat"/"Number" = "0" when no settings file exists yet; an existing file is untouched.
void createSettingsFileIfMissing();

const std::string& windowsDirectory();
const std::string& layoutFilePath();
const std::string& settingsFilePath();

// Window sizes; 0 means "keep the design size".
int ReadLayoutWidth(const std::string& section, const std::string& layoutPath);
int ReadLayoutHeight(const std::string& section, const std::string& layoutPath);
void WriteLayoutSize(int width, int height, const std::string& section,
                     const std::string& layoutPath);

// The split counter. ReadSplitCounter throws ConversionError when the stored text is missing or
// not an integer; AddToSplitCounter then writes nothing.
std::int32_t ReadSplitCounter();
void AddToSplitCounter(std::int32_t n);

// "History"/"Loc" with the characters of code 32 and below trimmed from both ends; empty when
// no output folder is set. A stored value as long as profile::kMaxValueLength or longer
// throws IoError, as it may have been cut.
std::string readOutputFolder();
void writeOutputFolder(const std::string& folder);
// "History"/"Last Dir", untrimmed.
std::string readLastDir();
void writeLastDir(const std::string& folder);

} // namespace settings
