#pragma once

#include <stdexcept>
#include <string>

// An input/output failure. The message names what was done, the file, and the reason the
// operating system gave: "Could not write /x/movie.3: No space left on device". Control
// characters in it are shown escaped (platform/VisibleText.h).
class IoError : public std::runtime_error {
public:
    // operation is a verb phrase such as "open", "read", "write", "create", "close".
    IoError(const std::string& operation, const std::string& path, int errorNumber);
    // A failure whose whole text is already known.
    explicit IoError(const std::string& message);

    // The errno value behind the failure; 0 when the message was given whole.
    int errorNumber() const { return m_errorNumber; }

private:
    int m_errorNumber = 0;
};
