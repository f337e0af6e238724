#include "platform/Folder.h"

#include <utility>

#include <fcntl.h>
#include <unistd.h>

#include "platform/Interruption.h"
#include "platform/IoError.h"
#include "platform/Paths.h"

Folder::Folder(int fd, std::string path) : m_fd(fd), m_path(std::move(path)) {}

Folder Folder::open(const std::string& path) {
    const std::string opened = path.empty() ? "." : path;
    // O_PATH: looking names up needs only the right to search the folder, not to list it.
    const int fd = interruption::retryUnlessStopped(
        [&] { return ::open(opened.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC); });
    if (fd < 0)
        throw IoError(IoError::Operation::OpenFolder, opened, errno);
    return Folder(fd, path);
}

Folder::~Folder() {
    if (m_fd >= 0)
        ::close(m_fd);
}

std::string Folder::pathOf(const std::string& name) const {
    return paths::joined(m_path, name);
}
