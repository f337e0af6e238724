#include "platform/NewFile.h"

#include <unistd.h>

#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/IoError.h"

namespace {

[[noreturn]] void removeAfterFailure(const std::string& path, const IoError& cause) {
    try {
        fs_entry::removeFile(path);
    } catch (const IoError& removal) {
        throw cause.withFailedRemoval(removal);
    }
    throw cause;
}

} // namespace

namespace new_file {

bool nameFits(const std::string& folder, const std::string& name) {
    const long longest = ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    return longest < 0 || name.size() <= static_cast<std::size_t>(longest);
}

void writeToMedium(const std::string& path, const std::string& content, unsigned permissions) {
    File file = File::createNew(path, permissions);
    try {
        file.write(content.data(), content.size());
        file.syncToDevice();
        file.close();
    } catch (const IoError& error) {
        removeAfterFailure(path, error);
    }
}

} // namespace new_file
