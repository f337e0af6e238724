#include "settings/IntegerText.h"

#include <gtest/gtest.h>

#include "settings/ConversionError.h"

using integer_text::toInt32;
using integer_text::toLayoutInt;

TEST(IntegerText, StrictConversionAccepts) {
    const struct {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {"41", 41},
        {"  7", 7},
        {"+7", 7},
        {"-12", -12},
        {"$7FFFFFFF", 2147483647},
        {"0x10", 16},
        {"0XfF", 255},
        {"-$10", -16},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"007", 7},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.value, toInt32(c.text)) << c.text;
}

TEST(IntegerText, StrictConversionRefusesCarryingTheText) {
    const char* const texts[] = {"7x",   "seven", " ",   "",   "2147483648", "-2147483649",
                                 "$",    "0x",    "-",   "7 ", "$80000000",  "99999999999999999999",
                                 "0x-1", "1.5",   "\t7", "$G"};
    for (const char* text : texts) {
        try {
            toInt32(text);
            ADD_FAILURE() << "'" << text << "' converted";
        } catch (const ConversionError& error) {
            EXPECT_EQ(error.text(), text);
        }
    }
}

TEST(IntegerText, LayoutValues) {
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"0", 0}, {"600", 600}, {"0x280", 640}, {"0X280", 640}, {"abc", 0},
        {"", 0},  {"0x", 0},    {"12abc", 0},   {"-5", -5},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.value, toLayoutInt(c.text)) << c.text;
}
