#include "platform/NewFile.h"

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
