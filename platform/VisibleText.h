#pragma once

#include <string>

// Text as a terminal or a box may show it: every control character (codes below 32, 127, and
// the UTF-8 forms of codes 128 to 159) becomes "\x" and two hexadecimal digits per byte, so that
// a crafted name can neither move the cursor, clear the screen nor start a line of its own.
// What comes out holds no control character, so escaping it again changes nothing.
std::string visibleText(const std::string& text);
