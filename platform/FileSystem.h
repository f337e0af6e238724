#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class Folder;

namespace fs_entry {

// statfs's type of every FUSE file system, whose real type only the mount table tells.
constexpr unsigned long kFuseSuperMagic = 0x65735546;

enum class Kind { None, Regular, Directory, SymbolicLink, Other };

// What lstat() says of the entry itself (a link is not followed).
Kind entryKind(const std::string& path);
// What stat() says of the entry a path leads to (links are followed).
Kind targetKind(const std::string& path);
// Size in bytes of what the path leads to, or -1 when it cannot be read.
std::int64_t targetSize(const std::string& path);
// True when both paths lead to the same file (same device and inode).
bool isSameFile(const std::string& a, const std::string& b);
struct FolderSpace {
    // Bytes that an unprivileged user may still write.
    std::int64_t freeBytes = 0;
    // Files take whole units of this many bytes.
    std::int64_t allocationUnit = 1;
};
// The space of the file system that holds the folder, or nullopt when unknown.
std::optional<FolderSpace> folderSpace(const std::string& folder);
std::optional<FolderSpace> folderSpace(const Folder& folder);
// The type that a mount table in the form of /proc/self/mountinfo gives the file system on
// device major:minor ("vfat", "fuse.fusefat"); empty when it lists none.
std::string mountTypeIn(const std::string& mountInfo, unsigned major, unsigned minor);
// The largest file a file system of this statfs type holds, mounted with this mount type: FUSE
// tells the type only there.
std::int64_t largestFileOn(long fileSystemType, const std::string& mountType = "");
// Names of the regular files and links to regular files directly in a folder, leaving out names
// that begin with "."; in no particular order; an unreadable or missing folder gives none.
std::vector<std::string> regularFileNames(const std::string& folder);
// The path where the chain of symbolic links that starts at path ends (path itself when it is
// no link); that end need not exist. Throws IoError for a chain that goes round.
std::string finalTarget(const std::string& path);

} // namespace fs_entry
