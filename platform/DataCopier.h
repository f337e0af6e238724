#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

class File;

// Copies bytes from one open file to another inside the kernel (copy_file_range), and with
// read and write through a buffer where the file systems cannot.
class DataCopier {
public:
    // Sees every block copied, in order: the data then goes through the buffer.
    using Watcher = std::function<void(const char* data, std::size_t size)>;

    DataCopier() = default;
    explicit DataCopier(Watcher watcher) : m_kernelCopies(false), m_watcher(std::move(watcher)) {}

    // Copies up to count bytes from source's position to destination's and returns how many it
    // copied: fewer only at the end of the source. Throws IoError naming both files.
    std::int64_t copy(File& source, File& destination, std::int64_t count);
    // False once the kernel has said it cannot copy between these files.
    bool copiesInKernel() const { return m_kernelCopies; }

private:
    std::int64_t copyInKernel(File& source, File& destination, std::int64_t count);
    std::int64_t copyThroughBuffer(File& source, File& destination, std::int64_t count);

    bool m_kernelCopies = true;
    Watcher m_watcher;
    std::vector<char> m_buffer;
};
