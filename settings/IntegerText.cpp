#include "settings/IntegerText.h"

#include <limits>
#include <optional>

#include "settings/ConversionError.h"

namespace integer_text {

namespace {

int digitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

// Takes a "$" or "0x" prefix off and says which base the digits after it are in.
int takeBase(const std::string& text, std::size_t& at) {
    if (text.compare(at, 1, "$") == 0) {
        at += 1;
        return 16;
    }
    if (text.compare(at, 2, "0x") == 0 || text.compare(at, 2, "0X") == 0) {
        at += 2;
        return 16;
    }
    return 10;
}

std::optional<std::int32_t> parseInt32(const std::string& text) {
    std::size_t at = text.find_first_not_of(' ');
    if (at == std::string::npos)
        return std::nullopt;
    const bool negative = text[at] == '-';
    if (text[at] == '-' || text[at] == '+')
        ++at;
    const int base = takeBase(text, at);
    if (at == text.size())
        return std::nullopt;

    // The magnitude is checked digit by digit against the limit of its sign, so it can never
    // overflow its own 64 bits.
    const std::int64_t limit = negative ? -std::int64_t{std::numeric_limits<std::int32_t>::min()}
                                        : std::numeric_limits<std::int32_t>::max();
    std::int64_t magnitude = 0;
    for (; at < text.size(); ++at) {
        const int digit = digitValue(text[at]);
        if (digit >= base)
            return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

} // namespace

std::int32_t toInt32(const std::string& text) {
    if (const std::optional<std::int32_t> value = parseInt32(text))
        return *value;
    throw ConversionError(text);
}

// "0x280" goes through the same rules as the strict conversion, which reads the "0x" prefix;
// only the failure differs.
int toLayoutInt(const std::string& text) {
    return parseInt32(text).value_or(0);
}

} // namespace integer_text
