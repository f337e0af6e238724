#include "platform/VisibleText.h"

#include <cstdio>

#include "platform/Utf8.h"

namespace {

// U+0080 to U+009F included: a terminal may take U+009B for the start of an escape sequence.
// The bidirectional controls (U+061C, U+200E, U+200F, U+202A to U+202E, U+2066 to U+2069) would
// make a name read in another order than its characters stand.
bool isControl(char32_t codePoint) {
    return codePoint < 32 || (codePoint >= 127 && codePoint <= 0x9F) || codePoint == 0x061C ||
           codePoint == 0x200E || codePoint == 0x200F ||
           (codePoint >= 0x202A && codePoint <= 0x202E) ||
           (codePoint >= 0x2066 && codePoint <= 0x2069);
}

void appendEscaped(std::string& shown, char c) {
    char code[5];
    std::snprintf(code, sizeof code, "\\x%02X",
                  static_cast<unsigned>(static_cast<unsigned char>(c)));
    shown += code;
}

} // namespace

std::string visibleText(const std::string& text) {
    std::string shown;
    for (std::size_t at = 0; at < text.size();) {
        const auto sequence = utf8::sequenceAt(text, at);
        const std::size_t length = sequence ? sequence->length : 1;
        if (!sequence || isControl(sequence->codePoint)) {
            for (std::size_t i = 0; i < length; ++i)
                appendEscaped(shown, text[at + i]);
        } else if (sequence->codePoint == '\\') {
            shown += "\\\\";
        } else {
            shown.append(text, at, length);
        }
        at += length;
    }
    return shown;
}
