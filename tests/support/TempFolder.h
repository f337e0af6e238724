#pragma once

#include <cstdint>
#include <set>
#include <string>

// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes. path() ends with "/".
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return m_path; }
    // path() + name
    std::string file(const std::string& name) const { return m_path + name; }

private:
    std::string m_path;
};

// Test file helpers; each fails the running test (ADD_FAILURE) on an error.
void writeFile(const std::string& path, const std::string& content);
std::string readFile(const std::string& path);
bool fileExists(const std::string& path);
// Names of every entry directly in a folder.
std::set<std::string> entriesOf(const std::string& folder);
// A file of size bytes whose content is a repeatable non-zero pattern.
void writePatternFile(const std::string& path, std::int64_t size);
// Points XDG_CONFIG_HOME at folder for the rest of the process.
void useConfigFolder(const std::string& folder);
