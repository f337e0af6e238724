#include "platform/VisibleText.h"

#include <cstdio>

namespace {

bool isControl(unsigned char code) {
    return code < 32 || code == 127;
}

// U+0080 to U+009F in UTF-8: a terminal may take U+009B for the start of an escape sequence.
bool startsWideControl(const std::string& text, std::size_t at) {
    return static_cast<unsigned char>(text[at]) == 0xC2 && at + 1 < text.size() &&
           static_cast<unsigned char>(text[at + 1]) >= 0x80 &&
           static_cast<unsigned char>(text[at + 1]) <= 0x9F;
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
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (startsWideControl(text, at)) {
            appendEscaped(shown, text[at]);
            appendEscaped(shown, text[++at]);
        } else if (isControl(static_cast<unsigned char>(text[at]))) {
            appendEscaped(shown, text[at]);
        } else {
            shown += text[at];
        }
    }
    return shown;
}
