#pragma once

#include <string>

#include "platform/File.h"

class Folder;

// A new file that no one sees until it is complete: a kill or a crash while it is written
// leaves nothing behind. It is made without a name (O_TMPFILE) and linked into its folder at the
// end. Where the file system cannot make such files it is written under a hidden, unpredictable
// name (hiddenPrefix and six letters or digits), locked until it is closed; names of that pattern
// that this user owns and no live writer locks are stale and removed whenever a pending file is
// made in the folder, as are, with Leftovers::AndShorter, shorter ones such as the numbered names
// hiddenPrefix + N of older versions.
class PendingFile {
public:
    enum class Leftovers { OwnPattern, AndShorter };
    // What is put on the device before the file takes its name: with Full its data and metadata
    // (fsync); with DataOnly its data, which waits for no journal and so for no other file's
    // data (File::writeOutData).
    enum class Sync { Full, DataOnly };

    // Creates the file that is to take name in folder, with permissions (less the umask). A name
    // of the hidden pattern is refused, as a later writer would remove that file. Errors name
    // shownPath, the file the user asked for, never the hidden one.
    PendingFile(const Folder& folder, const std::string& hiddenPrefix, const std::string& name,
                const std::string& shownPath, unsigned permissions,
                Leftovers leftovers = Leftovers::AndShorter);
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    // Removes the hidden file unless it took its name.
    ~PendingFile();

    File& file() { return m_file; }
    // Puts the file on the device as sync asks, closes it, and only then gives it its name, so that
    // no failure comes once it has one. Without replaceExisting nothing
    // that stands at the name is touched and false is returned; with it, a file of that name is
    // replaced in one step. Throws IoError.
    bool publish(bool replaceExisting, Sync sync = Sync::Full);
    // The hidden name while the file has one, so that a program giving up can remove it; empty
    // for a file without a name, and once it took its own.
    const std::string& hiddenName() const { return m_hiddenName; }

private:
    void createHidden(unsigned permissions);
    bool linkTo(const std::string& name);
    bool takeFreeName();
    void replaceName();
    std::string freeHiddenName();

    const Folder& m_folder;
    std::string m_hiddenPrefix;
    std::string m_name;
    File m_file;
    // Reaches the file without a name once m_file is closed.
    File m_handle = File::adopt(-1, "");
    // The hidden name while the file has one; empty for a file without a name.
    std::string m_hiddenName;
};
