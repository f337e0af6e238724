#pragma once

#include <string>

#include "platform/File.h"

class Folder;

// A new file that no one sees until it is complete: a kill or a crash while it is written
// leaves nothing behind. It is made without a name (O_TMPFILE) and linked into its folder at the
// end. Where the file system cannot make such files it is written under a hidden, unpredictable
// name (hiddenPrefix and six letters or digits), locked while it lives; names of that pattern
// that this user owns and no live writer locks are stale and removed whenever a pending file is
// made in the folder, as are the numbered names hiddenPrefix + N of older versions.
class PendingFile {
public:
    // Creates the file in folder with permissions (less the umask). Errors name shownPath, the
    // file the user asked for, never the hidden one.
    PendingFile(const Folder& folder, const std::string& hiddenPrefix, const std::string& shownPath,
                unsigned permissions);
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    // Removes the hidden file unless it took its name.
    ~PendingFile();

    File& file() { return m_file; }
    // Puts the file on the device (fsync) and gives it name in the folder. Without
    // replaceExisting nothing that stands at name is touched and false is returned; with it, a
    // file of that name is replaced in one step. Throws IoError.
    bool publish(const std::string& name, bool replaceExisting);

private:
    void createHidden(unsigned permissions);
    bool linkTo(const std::string& name);
    bool takeFreeName(const std::string& name);
    void replaceWith(const std::string& name);
    std::string freeHiddenName();

    const Folder& m_folder;
    std::string m_hiddenPrefix;
    File m_file;
    // The hidden name while the file has one; empty for a file without a name.
    std::string m_hiddenName;
};
