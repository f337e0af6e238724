#include "platform/VisibleText.h"

#include <gtest/gtest.h>

TEST(VisibleText, EscapesControlCharactersAndNothingElse) {
    const std::pair<std::string, std::string> cases[] = {
        {"movie.avi", "movie.avi"},
        {"caf\xC3\xA9 \\ %", "caf\xC3\xA9 \\ %"},
        {"\x1b]0;title\x07\x1b[2J", "\\x1B]0;title\\x07\\x1B[2J"},
        {"a\nb\tc\rd\x7f", "a\\x0Ab\\x09c\\x0Dd\\x7F"},
        {"csi \xC2\x9B"
         "2J, \xC2\xA0",
         "csi \\xC2\\x9B2J, \xC2\xA0"},
        {"\xC2\x80\xC2\x9F", "\\xC2\\x80\\xC2\\x9F"},
    };
    for (const auto& [text, shown] : cases) {
        EXPECT_EQ(visibleText(text), shown);
        EXPECT_EQ(visibleText(shown), shown) << "escaping twice changes nothing";
    }
}
