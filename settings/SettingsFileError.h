#pragma once

#include <stdexcept>
#include <string>

// A settings or layout file that cannot be used: what was being done, the file, and the
// system's error number (0 when the system reported none). The faces word it; what() holds only
// the path.
class SettingsFileError : public std::runtime_error {
public:
    enum class Kind {
        Write,               // the file could not be written
        StoredFolderTooLong, // the output folder stored in the file may have been cut
    };

    SettingsFileError(Kind kind, const std::string& path, int errorNumber);

    Kind kind() const { return m_kind; }
    const std::string& path() const { return m_path; }
    int errorNumber() const { return m_errorNumber; }

private:
    Kind m_kind;
    std::string m_path;
    int m_errorNumber;
};
