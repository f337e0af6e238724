#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Text helpers the settings files and the engine share.
namespace plain_text {

// text without the characters that dropped says yes to at either end.
std::string trimmed(const std::string& text, bool (*dropped)(char));

// The value of digits in base (10 or 16), each a digit of that base; empty when digits is empty,
// holds another character, or the value would pass limit.
std::optional<std::int64_t> unsignedValue(const std::string& digits, int base, std::int64_t limit);

} // namespace plain_text
