#include "platform/WholeFile.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/File.h"
#include "platform/IoError.h"
#include "platform/Paths.h"

namespace whole_file {

namespace {

std::string readToEnd(File& file) {
    std::string content;
    char block[8192];
    while (const std::size_t count = file.read(block, sizeof block))
        content.append(block, count);
    return content;
}

void keepPermissionsOf(const std::string& path, const File& replacement) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return; // a new file keeps the private mode it was created with
    if (::fchmod(replacement.descriptor(), info.st_mode & 07777) != 0)
        throw IoError("set the permissions of", replacement.path(), errno);
}

// The new content takes the old file's place by a rename, which the folder allows even when the
// file itself is read-only; a write in place would be refused, and so is this one.
void refuseReadOnlyFile(const std::string& path) {
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && errno != ENOENT)
        throw IoError("write", path, errno);
}

void moveOnto(const std::string& from, const std::string& to) {
    if (std::rename(from.c_str(), to.c_str()) != 0)
        throw IoError("replace", to, errno);
}

} // namespace

std::string read(const std::string& path) {
    File file = File::openForReading(path);
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

void replace(const std::string& path, const std::string& content) {
    refuseReadOnlyFile(path);
    File temporary =
        File::createUnique(paths::folderOf(path) + "." + paths::fileNameOf(path) + ".");
    try {
        keepPermissionsOf(path, temporary);
        temporary.write(content.data(), content.size());
        temporary.writeOutData();
        temporary.close();
        moveOnto(temporary.path(), path);
    } catch (const IoError&) {
        // The failure being reported is the one that counts; a leftover is removed if possible.
        ::unlink(temporary.path().c_str());
        throw;
    }
}

} // namespace whole_file
