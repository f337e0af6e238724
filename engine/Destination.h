#pragma once

#include <optional>
#include <string>

#include "platform/File.h"
#include "platform/Folder.h"

class PendingFile;

// The folder a split writes to, opened once: every name is checked, created and removed in that
// folder, even when its path is renamed, re-pointed or unmounted meanwhile.
class Destination {
public:
    // Opens the folder at path (ending with "/"); throws IoError naming it.
    explicit Destination(const std::string& path);

    const std::string& path() const { return m_path; }
    const Folder& folder() const { return m_folder; }

    // What stands at name, or at a name Windows takes for it (BACKUP.BAT for backup.bat), as both
    // would be one file once copied to a FAT or NTFS stick.
    std::optional<std::string> nameStandingAt(const std::string& name) const;
    // Creates name where nothing stands at it as Windows compares names. Every split takes the
    // folder's turn for the check and the creation, so two splits of movie.avi and Movie.avi
    // cannot both take their names. Throws IoError (EEXIST) naming what stands there.
    File createNew(const std::string& name, unsigned permissions) const;
    // Puts file on the device and then gives it name, on the terms of createNew: taken in the
    // folder's turn where nothing stands at name as Windows compares names; else throws IoError
    // (EEXIST) naming what stands there, and file keeps no name.
    void publish(PendingFile& file, const std::string& name) const;
    // True when name here is the opened file other.
    bool isSameFile(const std::string& name, const File& other) const;

private:
    // Throws IoError (EEXIST) naming what stands at name as Windows compares names.
    void refuseTaken(const std::string& name) const;

    std::string m_path;
    Folder m_folder;
};
