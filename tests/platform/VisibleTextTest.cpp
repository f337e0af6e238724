#include "platform/VisibleText.h"

#include <gtest/gtest.h>

TEST(VisibleText, EscapesControlCharactersBytesThatAreNoUtf8AndTheBackslash) {
    const std::pair<std::string, std::string> cases[] = {
        {"movie.avi", "movie.avi"},
        {"café % 写真 🎉 e\u0301", "café % 写真 🎉 e\u0301"},
        {"\x1b]0;title\x07\x1b[2J", "\\x1B]0;title\\x07\\x1B[2J"},
        {"a\nb\tc\rd\x7f", "a\\x0Ab\\x09c\\x0Dd\\x7F"},
        {"csi \xC2\x9B"
         "2J, \xC2\xA0",
         "csi \\xC2\\x9B2J, \xC2\xA0"},
        // The folder "out\x1B" shows apart from "out<ESC>".
        {"out\\x1B", "out\\\\x1B"},
        {"caf\xE9 \x9B \xE5\x86 \xC0\xAF \xED\xA0\x80", // stray, cut short, overlong, surrogate
         "caf\\xE9 \\x9B \\xE5\\x86 \\xC0\\xAF \\xED\\xA0\\x80"},
        {"\xC2\x80\xC2\x9F", "\\xC2\\x80\\xC2\\x9F"},
        {"a\u202Eb\u2066c", "a\\xE2\\x80\\xAEb\\xE2\\x81\\xA6c"}, // bidirectional controls
    };
    for (const auto& [text, shown] : cases)
        EXPECT_EQ(visibleText(text), shown);
}
