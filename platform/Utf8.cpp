#include "platform/Utf8.h"

namespace utf8 {

namespace {

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// A lead byte's count of continuation bytes and the bits it carries; nullopt for no lead byte.
std::optional<std::pair<std::size_t, char32_t>> leadOf(unsigned char byte) {
    if (byte < 0x80)
        return std::make_pair(std::size_t{0}, char32_t{byte});
    if (byte >= 0xC2 && byte <= 0xDF)
        return std::make_pair(std::size_t{1}, char32_t{byte & 0x1Fu});
    if (byte >= 0xE0 && byte <= 0xEF)
        return std::make_pair(std::size_t{2}, char32_t{byte & 0x0Fu});
    if (byte >= 0xF0 && byte <= 0xF4)
        return std::make_pair(std::size_t{3}, char32_t{byte & 0x07u});
    return std::nullopt;
}

// The smallest code point each length may carry; below it the form is overlong.
constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};

} // namespace

std::optional<Sequence> sequenceAt(const std::string& text, std::size_t at) {
    const auto lead = leadOf(static_cast<unsigned char>(text[at]));
    if (!lead || text.size() - at <= lead->first)
        return std::nullopt;
    char32_t codePoint = lead->second;
    for (std::size_t i = 1; i <= lead->first; ++i) {
        const auto byte = static_cast<unsigned char>(text[at + i]);
        if (!isContinuation(byte))
            return std::nullopt;
        codePoint = (codePoint << 6) | (byte & 0x3Fu);
    }
    if (codePoint < kSmallest[lead->first] || codePoint > 0x10FFFF ||
        (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return std::nullopt;
    return Sequence{codePoint, lead->first + 1};
}

bool isValid(const std::string& text) {
    for (std::size_t at = 0; at < text.size();) {
        const auto sequence = sequenceAt(text, at);
        if (!sequence)
            return false;
        at += sequence->length;
    }
    return true;
}

} // namespace utf8
