#include "settings/IntegerText.h"

#include <limits>
#include <optional>

#include "platform/PlainText.h"
#include "settings/ConversionError.h"

namespace integer_text {

namespace {

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
    const std::int64_t limit = negative ? -std::int64_t{std::numeric_limits<std::int32_t>::min()}
                                        : std::numeric_limits<std::int32_t>::max();
    const std::optional<std::int64_t> magnitude =
        plain_text::unsignedValue(text.substr(at), base, limit);
    if (!magnitude)
        return std::nullopt;
    return static_cast<std::int32_t>(negative ? -*magnitude : *magnitude);
}

} // namespace

std::int32_t toInt32(const std::string& text) {
    if (const std::optional<std::int32_t> value = parseInt32(text))
        return *value;
    throw ConversionError(text, ConversionError::Target::Integer);
}

// "0x280" goes through the same rules as the strict conversion, which reads the "0x" prefix;
// only the failure differs.
int toLayoutInt(const std::string& text) {
    return parseInt32(text).value_or(0);
}

} // namespace integer_text
