#pragma once

#include <cstdint>
#include <optional>

#include "platform/IoBuffer.h"

class File;

// Copies bytes from one open file to another inside the kernel (copy_file_range), and with
// read and write through a buffer where the file systems cannot.
class DataCopier {
public:
    // Copies up to count bytes from source's position to destination's and returns how many it
    // copied: fewer only at the end of the source. Throws IoError naming both files.
    std::int64_t copy(File& source, File& destination, std::int64_t count);

private:
    std::int64_t copyInKernel(File& source, File& destination, std::int64_t count);
    std::int64_t copyThroughBuffer(File& source, File& destination, std::int64_t count);

    // False once the kernel has said it cannot copy between these files.
    bool m_kernelCopies = true;
    std::optional<IoBuffer> m_buffer;
};
