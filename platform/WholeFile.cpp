#include "platform/WholeFile.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/Folder.h"
#include "platform/FolderLock.h"
#include "platform/FolderOwner.h"
#include "platform/IoError.h"
#include "platform/Paths.h"
#include "platform/PendingFile.h"

namespace whole_file {

namespace {

// A FIFO, a device or a folder is no file to read: one would block, one never ends.
void refuseAllButRegularFiles(const File& file) {
    struct stat info {};
    if (::fstat(file.descriptor(), &info) != 0)
        throw IoError(IoError::Operation::Read, file.path(), errno);
    if (S_ISDIR(info.st_mode))
        throw IoError(IoError::Operation::Read, file.path(), EISDIR);
    if (!S_ISREG(info.st_mode))
        throw IoError(IoError::Operation::Read, file.path(), IoError::Fault::NotPlainFile);
}

// A file that does not exist, or a path through a file that is not a folder, gives nullopt.
std::optional<std::string> readIfExists(const std::function<std::string()>& read) {
    try {
        return read();
    } catch (const IoError& error) {
        if (error.errorNumber() == ENOENT || error.errorNumber() == ENOTDIR)
            return std::nullopt;
        throw;
    }
}

// The new content takes the old file's place by a rename, which the folder allows even when the
// file itself is read-only; a write in place would be refused, and so is this one.
void refuseReadOnlyFile(const Folder& folder, const std::string& name) {
    if (::faccessat(folder.descriptor(), name.c_str(), W_OK, AT_EACCESS) != 0 && errno != ENOENT)
        throw IoError(IoError::Operation::Write, folder.pathOf(name), errno);
}

// The new content gets the mode and owner of the file it replaces; a new file those it would
// have had, written in place. The replacement is readable by its owner only until then.
void replace(const Folder& folder, const std::string& name, const std::string& content) {
    refuseReadOnlyFile(folder, name);
    const std::string path = folder.pathOf(name);
    struct stat old {};
    const bool replaces = ::fstatat(folder.descriptor(), name.c_str(), &old, 0) == 0;
    if (!replaces && errno != ENOENT)
        throw IoError(IoError::Operation::ReadPermissions, path, errno);
    // The temporaries ".NAME.XXXXXX" that a killed writer left are removed.
    PendingFile replacement(folder, "." + name + ".", name, path,
                            replaces ? 0600 : File::kAllReadWrite,
                            PendingFile::Leftovers::OwnPattern);
    File& file = replacement.file();
    if (!replaces) {
        folder_owner::giveToFolderOwner(file);
    } else {
        if (::geteuid() == 0 && ::fchown(file.descriptor(), old.st_uid, old.st_gid) != 0)
            throw IoError(IoError::Operation::SetOwner, path, errno);
        if (::fchmod(file.descriptor(), old.st_mode & 07777) != 0)
            throw IoError(IoError::Operation::SetPermissions, path, errno);
    }
    file.write(content.data(), content.size());
    replacement.publish(true, PendingFile::Sync::DataOnly);
}

} // namespace

std::string readToEnd(File& file) {
    std::string content;
    char block[8192];
    while (const std::size_t count = file.read(block, sizeof block)) {
        content.append(block, count);
        if (content.size() > kMaxReadSize)
            throw IoError(IoError::Operation::Read, file.path(), EFBIG);
    }
    return content;
}

std::string read(const std::string& path) {
    File file = File::openForReadingWithoutBlocking(path);
    refuseAllButRegularFiles(file);
    return readToEnd(file);
}

std::string read(const Folder& folder, const std::string& name) {
    File file = File::openForReadingWithoutBlocking(folder, name);
    refuseAllButRegularFiles(file);
    if (file.size() > static_cast<std::int64_t>(kMaxReadSize))
        throw IoError(IoError::Operation::Read, file.path(), EFBIG);
    return readToEnd(file);
}

std::optional<std::string> readIfExists(const std::string& path) {
    return readIfExists([&] { return read(path); });
}

void update(const std::string& path,
            const std::function<std::string(const std::optional<std::string>&)>& change,
            LockWait lockWait) {
    // Run as root with a user's home, the user's link could send the write to any file.
    if (fs_entry::entryKind(path) == fs_entry::Kind::SymbolicLink &&
        !folder_owner::belongsToThisUser(path))
        throw IoError(IoError::Operation::Write, path, ELOOP);
    const std::string target = fs_entry::finalTarget(path);
    const FolderLock lock(paths::folderOf(target), lockWait);
    const Folder folder = Folder::open(paths::folderOf(target));
    const std::string name = paths::fileNameOf(target);
    const std::optional<std::string> old = readIfExists([&] { return read(folder, name); });
    const std::string content = change(old);
    if (old != content)
        replace(folder, name, content);
}

} // namespace whole_file
