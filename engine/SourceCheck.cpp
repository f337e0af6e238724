#include "engine/SourceCheck.h"

#include <cerrno>

#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/IoError.h"

UnsplittableSource::UnsplittableSource(Kind kind, const std::string& path)
    : std::runtime_error(path), m_kind(kind), m_path(path) {}

void checkSplittableSource(const std::string& path) {
    // Checked before opening: opening a FIFO for reading would wait for a writer.
    switch (fs_entry::targetKind(path)) {
    case fs_entry::Kind::Regular:
        break;
    case fs_entry::Kind::None:
        throw IoError(IoError::Operation::Open, path, ENOENT);
    case fs_entry::Kind::Directory:
        throw IoError(IoError::Operation::Open, path, EISDIR);
    default:
        throw UnsplittableSource(UnsplittableSource::Kind::NotPlainFile, path);
    }
    if (File::openRegular(path, File::Links::Follow).size() == 0)
        throw UnsplittableSource(UnsplittableSource::Kind::Empty, path);
}
