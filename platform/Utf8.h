#pragma once

#include <cstddef>
#include <optional>
#include <string>

// UTF-8 as RFC 3629 defines it: no overlong forms, no surrogates, nothing above U+10FFFF.
namespace utf8 {

// One character's UTF-8 form in a text: its code point and its length in bytes.
struct Sequence {
    char32_t codePoint = 0;
    std::size_t length = 0;
};

// The character whose valid UTF-8 form starts at text[at]; nullopt where none starts (a stray or
// cut-short byte, an overlong form, a surrogate, beyond U+10FFFF).
std::optional<Sequence> sequenceAt(const std::string& text, std::size_t at);

bool isValid(const std::string& text);

} // namespace utf8
