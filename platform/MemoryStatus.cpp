#include "platform/MemoryStatus.h"

#include <limits>
#include <sstream>

#include "platform/WholeFile.h"

namespace {

constexpr std::uint64_t kBytesPerKilobyte = 1024;

// "MemTotal:  8048576 kB" gives 8048576 * 1024; a figure too large for 64 bits stays at the
// largest value rather than wrapping.
std::uint64_t bytesOf(std::istringstream& rest) {
    std::uint64_t kilobytes = 0;
    if (!(rest >> kilobytes))
        return 0;
    if (kilobytes > std::numeric_limits<std::uint64_t>::max() / kBytesPerKilobyte)
        return std::numeric_limits<std::uint64_t>::max();
    return kilobytes * kBytesPerKilobyte;
}

std::uint64_t* fieldFor(MemoryStatus& status, const std::string& name) {
    if (name == "MemTotal:")
        return &status.totalPhysical;
    if (name == "MemAvailable:")
        return &status.availablePhysical;
    if (name == "SwapTotal:")
        return &status.totalSwap;
    if (name == "SwapFree:")
        return &status.availableSwap;
    return nullptr;
}

} // namespace

MemoryStatus parseMemInfo(const std::string& text) {
    MemoryStatus status;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string name;
        words >> name;
        if (std::uint64_t* field = fieldFor(status, name))
            *field = bytesOf(words);
    }
    return status;
}

MemoryStatus readMemoryStatus(const std::string& path) {
    return parseMemInfo(whole_file::read(path));
}
