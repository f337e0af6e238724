#include "engine/Destination.h"

#include <algorithm>
#include <cerrno>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>

#include "engine/WindowsNames.h"
#include "platform/IoError.h"
#include "platform/PendingFile.h"

Destination::Destination(const std::string& path) : m_path(path), m_folder(Folder::open(path)) {}

std::optional<std::string> Destination::nameStandingAt(const std::string& name) const {
    if (m_folder.holds(name))
        return name;
    const std::vector<std::string> standing = m_folder.entryNames();
    const auto found =
        std::find_if(standing.begin(), standing.end(), [&](const std::string& entry) {
            return windows_names::sameFileName(entry, name);
        });
    return found == standing.end() ? std::nullopt : std::optional<std::string>(*found);
}

void Destination::refuseTaken(const std::string& name) const {
    if (const auto standing = nameStandingAt(name))
        throw IoError(IoError::Operation::Create, m_folder.pathOf(*standing), EEXIST);
}

File Destination::createNew(const std::string& name, unsigned permissions) const {
    const std::optional<File> turn = m_folder.takeTurn();
    refuseTaken(name);
    return File::createNew(m_folder, name, permissions);
}

void Destination::publish(PendingFile& file, const std::string& name) const {
    const std::optional<File> turn = m_folder.takeTurn();
    refuseTaken(name);
    // A name that no split took in turn, taken meanwhile all the same, is left as it stands.
    if (!file.publish(false))
        throw IoError(IoError::Operation::Create, m_folder.pathOf(name), EEXIST);
}

bool Destination::isSameFile(const std::string& name, const File& other) const {
    struct stat here {};
    struct stat opened {};
    return ::fstatat(m_folder.descriptor(), name.c_str(), &here, 0) == 0 &&
           ::fstat(other.descriptor(), &opened) == 0 && here.st_dev == opened.st_dev &&
           here.st_ino == opened.st_ino;
}
