#pragma once

#include <cstdint>
#include <string>

// A split's or a join's refusal: folder has bytesFree of the bytesNeeded.
struct NotEnoughSpace {
    std::string folder;
    std::int64_t bytesNeeded = 0;
    std::int64_t bytesFree = 0;
    bool operator==(const NotEnoughSpace&) const = default;
};
