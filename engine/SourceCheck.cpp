#include "engine/SourceCheck.h"

#include <cerrno>

#include "platform/File.h"
#include "platform/FileSystem.h"

UnsplittableSource::UnsplittableSource(const std::string& path)
    : std::runtime_error(path), m_path(path) {}

std::optional<IoError> sourceEntryFault(const std::string& path) {
    // Checked before opening: opening a FIFO for reading would wait for a writer.
    switch (fs_entry::targetKind(path)) {
    case fs_entry::Kind::Regular:
        return std::nullopt;
    case fs_entry::Kind::None:
        return IoError(IoError::Operation::Open, path, ENOENT);
    case fs_entry::Kind::Directory:
        return IoError(IoError::Operation::Open, path, EISDIR);
    default:
        return IoError(IoError::Operation::Open, path, IoError::Fault::NotPlainFile);
    }
}

void checkSplittableSource(const std::string& path) {
    if (std::optional<IoError> fault = sourceEntryFault(path))
        throw *fault;
    if (File::openRegular(path, File::Links::Follow).size() == 0)
        throw UnsplittableSource(path);
}
