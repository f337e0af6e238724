#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/File.h"

// Owns a descriptor of an opened folder. Names looked up through it (openat and friends) stay in
// that folder even when someone renames or replaces the folder's path meanwhile.
class Folder {
public:
    // Opens the folder at path ("" for the current folder); throws IoError naming it.
    static Folder open(const std::string& path);

    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    ~Folder();

    int descriptor() const { return m_fd; }
    // The path of name in this folder, for messages.
    std::string pathOf(const std::string& name) const;

    // The names of its entries but "." and ".."; none when it may not be listed.
    std::vector<std::string> entryNames() const;
    // True when something, a dangling link included, stands at name.
    bool holds(const std::string& name) const;
    // Removes the file name; a missing one is not an error. Throws IoError.
    void removeFile(const std::string& name) const;
    // Waits until this process alone holds the folder's turn (flock on the folder itself), held
    // while the returned file lives; nothing when the folder cannot be locked (not readable, or
    // a file system without locks). Throws IoError when a stop signal ends the wait.
    std::optional<File> takeTurn() const;

    // What the file system holding the folder can take.
    struct Limits {
        // statfs's file system type, which tells FAT's 4 GiB limit.
        long fileSystemType = 0;
        // The mount table's type, read for FUSE only ("fuse.fusefat"), whose limit it tells.
        std::string mountType;
        std::int64_t longestName = 255; // bytes
        // False for a file system without storage (/proc) or mounted read-only.
        bool writable = true;
    };
    Limits limits() const;

    // Where the folder is once its path no longer leads to it (renamed, re-pointed or unmounted
    // since it was opened).
    struct Whereabouts {
        bool moved = false;
        // Its path now, ending with "/"; empty when moved to where no path leads.
        std::string currentPath;
    };
    Whereabouts whereabouts() const;

private:
    Folder(int fd, std::string path);

    int m_fd = -1;
    std::string m_path;
};
