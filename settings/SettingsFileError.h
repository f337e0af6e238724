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
        // A stop ended the wait for lockFile, which another program held, so the file was not
        // written.
        LockWaitStopped,
    };

    SettingsFileError(Kind kind, const std::string& path, int errorNumber,
                      std::string lockFile = {});

    Kind kind() const { return m_kind; }
    const std::string& path() const { return m_path; }
    int errorNumber() const { return m_errorNumber; }
    const std::string& lockFile() const { return m_lockFile; }

private:
    Kind m_kind;
    std::string m_path;
    int m_errorNumber;
    std::string m_lockFile;
};
