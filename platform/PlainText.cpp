#include "platform/PlainText.h"

#include <algorithm>

namespace plain_text {

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

} // namespace

std::string trimmed(const std::string& text, bool (*dropped)(char)) {
    const auto first = std::find_if_not(text.begin(), text.end(), dropped);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), dropped).base();
    return first < last ? std::string(first, last) : std::string();
}

std::optional<std::int64_t> unsignedValue(const std::string& digits, int base, std::int64_t limit) {
    if (digits.empty())
        return std::nullopt;
    std::int64_t value = 0;
    for (const char c : digits) {
        const int digit = digitValue(c);
        // Checked before it is added, so the value never overflows its own 64 bits.
        if (digit >= base || value > (limit - digit) / base)
            return std::nullopt;
        value = value * base + digit;
    }
    return value;
}

} // namespace plain_text
