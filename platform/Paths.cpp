#include "platform/Paths.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <vector>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FolderOwner.h"
#include "platform/IoError.h"

namespace paths {

namespace {

// Relative values are ignored, as the XDG base directory rules ask.
std::string absoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    if (value && value[0] == '/')
        return value;
    return {};
}

std::string homeFolder() {
    std::string home = absoluteVariable("HOME");
    if (home.empty()) {
        if (const passwd* user = ::getpwuid(::getuid()))
            home = user->pw_dir;
    }
    return home;
}

std::string configurationBase() {
    const std::string configHome = absoluteVariable("XDG_CONFIG_HOME");
    if (!configHome.empty())
        return withTrailingSlash(configHome);
    return withTrailingSlash(homeFolder()) + ".config/";
}

bool isFolderNotLink(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

} // namespace

std::string configurationFolderPath() {
    return configurationBase() + "orvanto/";
}

void createFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1); slash != std::string::npos;
         slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) == 0)
            folder_owner::giveToFolderOwner(part);
        else if (errno != EEXIST)
            throw IoError(IoError::Operation::Create, part, errno);
    }
    if (const int error = folderError(folder))
        throw IoError(IoError::Operation::Create, folder, error);
}

int folderError(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return errno;
    return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
}

std::string programFolder() {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0)
            throw IoError(IoError::Operation::Read, "/proc/self/exe", errno);
        if (static_cast<std::size_t>(length) < buffer.size())
            return folderOf(std::string(buffer.data(), static_cast<std::size_t>(length)));
        buffer.resize(buffer.size() * 2);
    }
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string fileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string withTrailingSlash(const std::string& folder) {
    if (folder.empty() || folder.back() == '/')
        return folder;
    return folder + "/";
}

std::string joined(const std::string& folder, const std::string& name) {
    return withTrailingSlash(folder) + name;
}

std::string normalised(const std::string& path) {
    std::string result = !path.empty() && path.front() == '/' ? "/" : "";
    // Where each part kept begins in result, so that a ".." can take the last one away.
    std::vector<std::size_t> partStarts;
    std::size_t begin = 0;
    while (begin < path.size()) {
        const std::size_t end = std::min(path.find('/', begin), path.size());
        const std::string part = path.substr(begin, end - begin);
        begin = end + 1;
        if (part.empty() || part == ".")
            continue;
        if (part == ".." && !partStarts.empty() &&
            result.compare(partStarts.back(), std::string::npos, "..") != 0 &&
            isFolderNotLink(result)) {
            result.erase(partStarts.back());
            partStarts.pop_back();
            continue;
        }
        result = withTrailingSlash(result);
        partStarts.push_back(result.size());
        result += part;
    }
    if (path.empty())
        return path;
    if (result.empty())
        result = ".";
    return path.back() == '/' ? withTrailingSlash(result) : result;
}

} // namespace paths
