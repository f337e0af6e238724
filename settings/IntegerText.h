#pragma once

#include <cstdint>
#include <string>

namespace integer_text {

// Strict conversion: leading blanks, an optional sign, then decimal digits, or hexadecimal
// digits after "$" or "0x"; anything else, an empty text or a value outside 32 bits throws
// ConversionError.
std::int32_t toInt32(const std::string& text);

// Lenient conversion of a layout value: "0x"/"0X" followed by digits is hexadecimal, anything
// that does not convert gives 0.
int toLayoutInt(const std::string& text);

} // namespace integer_text
