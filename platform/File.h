#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/IoError.h"

class Folder;

// Owns one open file descriptor; the destructor closes it on every path. Every failing call
// throws IoError naming the file and the reason.
class File {
public:
    // The permission bits a new file may have at most (read and write for everyone), before the
    // umask and before a source's own bits narrow them.
    static constexpr unsigned kAllReadWrite = 0666;

    // What opening a regular file does with a symbolic link at the name.
    enum class Links { Follow, Refuse };
    // Thrown when the entry opened is no regular file, or is a link that was to be refused.
    class NotPlainFile : public IoError {
    public:
        using IoError::IoError;
    };

    // Opens a regular file for reading without ever waiting on it: the entry is checked before
    // it is opened (lstat), opened without blocking, and the opened file is checked again
    // (fstat), so a FIFO or a device swapped in meanwhile is refused, never waited on. Throws
    // NotPlainFile for anything but a regular file, and for a link with Links::Refuse.
    static File openRegular(const std::string& path, Links links);
    // The same for name in an opened folder.
    static File openRegular(const Folder& folder, const std::string& name, Links links);
    // Creates a new, empty file where nothing stands yet: an existing entry of that name, a link
    // included, fails the call with "File exists", so nothing is replaced or written through.
    // The file gets permissions less the umask.
    static File createNew(const std::string& path, unsigned permissions = kAllReadWrite);
    // The same for name in an opened folder.
    static File createNew(const Folder& folder, const std::string& name, unsigned permissions);
    // Takes over an open descriptor; messages name path.
    static File adopt(int fd, std::string path);
    // A second descriptor of the same open file, which stays open when this one is closed.
    File duplicate() const;
    // Opens an existing entry for reading without waiting on it: a FIFO without a writer or a
    // device opens at once, for the caller to refuse.
    static File openForReadingWithoutBlocking(const std::string& path);
    // The same for name in an opened folder.
    static File openForReadingWithoutBlocking(const Folder& folder, const std::string& name);
    // Opens the file for reading, creating it empty (mode 0666 less the umask) when missing. A
    // link at path is refused and a FIFO is not waited on.
    static File openOrCreate(const std::string& path);

    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File();

    // Reads up to size bytes; returns the count delivered (0 at the end of the file).
    std::size_t read(void* buffer, std::size_t size);
    // Reads until size bytes are in buffer or the file ends; returns the count delivered.
    std::size_t readFully(void* buffer, std::size_t size);
    // Writes all size bytes; a short write (a full disk) throws IoError.
    void write(const void* data, std::size_t size);
    // Hands the data written to this file to the device and waits until the device has taken
    // it. Unlike fsync it neither writes the file's metadata nor flushes the device's own cache,
    // so the data may still be lost with the power; in return it does not wait for the file
    // system's journal, and so for every other file's pending data, such as the pieces of a
    // split just made.
    void writeOutData();
    // Reads from the start again.
    void rewind();
    // Waits until the file's data and metadata are on the device (fsync).
    void syncToDevice();
    // Size in bytes and permission bits of the opened file (fstat).
    std::int64_t size() const;
    unsigned permissions() const;
    // Closes the file, reporting a failure; the destructor closes silently when this was not
    // called.
    void close();

    const std::string& path() const { return m_path; }
    int descriptor() const { return m_fd; }

private:
    File(int fd, std::string path);
    // The failure of a write of count bytes, with what the file's size tells of its cause.
    IoError writeFailure(int errorNumber, std::size_t count) const;

    int m_fd = -1;
    std::string m_path;
};
