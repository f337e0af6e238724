#pragma once

#include <cstdint>
#include <string>

// The memory figures the statistics window shows, in bytes.
struct MemoryStatus {
    std::uint64_t totalPhysical = 0;
    std::uint64_t availablePhysical = 0;
    std::uint64_t totalSwap = 0;
    std::uint64_t availableSwap = 0;
};

// Parses the text of /proc/meminfo (MemTotal, MemAvailable, SwapTotal, SwapFree, given in kB).
MemoryStatus parseMemInfo(const std::string& text);
// Reads and parses a meminfo file; throws IoError when it cannot be read.
MemoryStatus readMemoryStatus(const std::string& path = "/proc/meminfo");
