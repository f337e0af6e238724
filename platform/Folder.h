#pragma once

#include <string>

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

private:
    Folder(int fd, std::string path);

    int m_fd = -1;
    std::string m_path;
};
