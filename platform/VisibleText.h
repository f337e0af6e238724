#pragma once

#include <string>

// Text as a terminal or a box may show it, with nothing hidden or ambiguous: valid UTF-8 shows as
// itself, but every control character (codes below 32, 127, and 128 to 159) and every byte that
// is not part of valid UTF-8 becomes "\x" and two hexadecimal digits per byte, and "\" becomes
// "\\". So a crafted name can neither move the cursor, clear the screen nor start a line of its
// own, and two names never show alike. Escape a text once: "\" doubles each time.
std::string visibleText(const std::string& text);
