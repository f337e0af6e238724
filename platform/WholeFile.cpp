#include "platform/WholeFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fstream>

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

namespace whole_file {

namespace {

// The six characters that mkostemp puts at the end of a temporary's name.
constexpr std::size_t kUniqueLength = 6;

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

std::string temporaryPrefixFor(const std::string& path) {
    return paths::folderOf(path) + "." + paths::fileNameOf(path) + ".";
}

bool isTemporaryNameOf(const std::string& name, const std::string& fileName) {
    const std::string prefix = "." + fileName + ".";
    return name.size() == prefix.size() + kUniqueLength &&
           name.compare(0, prefix.size(), prefix) == 0 &&
           std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

// Called with the folder's lock held, so no live writer is using any of them.
void removeStaleTemporaries(const std::string& path) {
    const std::string folder = paths::folderOf(path);
    for (const std::string& name : fs_entry::allRegularFileNames(folder.empty() ? "." : folder)) {
        if (isTemporaryNameOf(name, paths::fileNameOf(path)))
            fs_entry::removeFile(paths::joined(folder, name));
    }
}

// Read from the process status rather than by setting it: while umask(0) was in force, a file
// another thread created would be writable by everyone.
mode_t currentUmask() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0)
            return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
    }
    return 022;
}

// The temporary is created readable by its owner only; it gets the mode and owner of the file
// it replaces, or those a newly created file would have.
void keepModeAndOwnerOf(const std::string& path, const File& replacement) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno != ENOENT)
            throw IoError(IoError::Operation::ReadPermissions, path, errno);
        info.st_mode = File::kAllReadWrite & ~currentUmask();
        folder_owner::giveToFolderOwner(replacement);
    } else if (::geteuid() == 0 &&
               ::fchown(replacement.descriptor(), info.st_uid, info.st_gid) != 0) {
        throw IoError(IoError::Operation::SetOwner, replacement.path(), errno);
    }
    if (::fchmod(replacement.descriptor(), info.st_mode & 07777) != 0)
        throw IoError(IoError::Operation::SetPermissions, replacement.path(), errno);
}

// The new content takes the old file's place by a rename, which the folder allows even when the
// file itself is read-only; a write in place would be refused, and so is this one.
void refuseReadOnlyFile(const std::string& path) {
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && errno != ENOENT)
        throw IoError(IoError::Operation::Write, path, errno);
}

void replace(const std::string& path, const std::string& content) {
    refuseReadOnlyFile(path);
    File temporary = File::createUnique(temporaryPrefixFor(path));
    try {
        keepModeAndOwnerOf(path, temporary);
        temporary.write(content.data(), content.size());
        temporary.writeOutData();
        temporary.close();
        fs_entry::renameReplacing(temporary.path(), path);
    } catch (const IoError&) {
        // The failure being reported is the one that counts; a leftover is removed if possible.
        ::unlink(temporary.path().c_str());
        throw;
    }
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
    try {
        return read(path);
    } catch (const IoError& error) {
        // A path through a file that is not a folder names no file either.
        if (error.errorNumber() == ENOENT || error.errorNumber() == ENOTDIR)
            return std::nullopt;
        throw;
    }
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
    const std::optional<std::string> old = readIfExists(target);
    const std::string content = change(old);
    if (old == content)
        return;
    removeStaleTemporaries(target);
    replace(target, content);
}

} // namespace whole_file
