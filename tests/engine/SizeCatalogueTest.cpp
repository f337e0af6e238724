#include "engine/SizeCatalogue.h"

#include <gtest/gtest.h>

using namespace size_catalogue;

TEST(SizeCatalogue, PresetsAreExactDecimalSizes) {
    const struct {
        const char* control;
        const char* caption;
        const char* label;
        std::int64_t bytes;
    } expected[] = {
        {"Rad100k", "100k Files", "100k", 100000},
        {"Rad500k", "500k Files", "500k", 500000},
        {"Rad1meg", "1 Meg Files", "1 Megabyte", 1000000},
        {"Rad14Meg", "1.4 Meg Files", "1.4 Megabytes", 1400000},
        {"Rad2Meg", "2 Meg Files", "2 Megabytes", 2000000},
        {"Rad95Meg", "95 Meg Files", "95 Megabytes", 95000000},
        {"Rad127Meg", "127 Meg Files", "127 Megabytes", 127000000},
        {"Rad195Meg", "195 Meg Files", "195 Megabytes", 195000000},
        {"Rad255Meg", "255 Meg Files", "255 Megabytes", 255000000},
        {"Rad530Meg", "530 Meg Files", "530 Megabytes", 530000000},
        {"Rad650Meg", "650 Meg Files", "650 Megabytes", 650000000},
        {"Rad4600Meg", "4600 Meg Files", "4.6 Gigabytes", 4600000000},
    };
    ASSERT_EQ(presets().size(), std::size(expected));
    for (std::size_t i = 0; i < presets().size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_STREQ(presets()[i].control, expected[i].control);
        EXPECT_STREQ(presets()[i].caption, expected[i].caption);
        EXPECT_STREQ(presets()[i].label, expected[i].label);
        EXPECT_EQ(presets()[i].bytes, expected[i].bytes);
        EXPECT_EQ(resolveSplitSize({i, ""}), expected[i].bytes);
    }
}

TEST(SizeCatalogue, CustomizeListRunsFrom300kTo6006Megabytes) {
    const std::vector<std::string> entries = customizeEntries();
    ASSERT_EQ(entries.size(), 1786u);
    EXPECT_EQ(entries[0], "300k");
    EXPECT_EQ(entries[1], "320k");
    EXPECT_EQ(entries[285], "6000k");
    EXPECT_EQ(entries[286], "10 Megabytes");
    EXPECT_EQ(entries[287], "14 Megabytes");
    EXPECT_EQ(entries[1785], "6006 Megabytes");
}

TEST(SizeCatalogue, CustomizeEntriesConvertIn64Bits) {
    const std::pair<const char*, std::int64_t> cases[] = {
        {"300k", 300000},
        {"5120k", 5120000},
        {"6000k", 6000000},
        {"10 Megabytes", 10000000},
        {"4298 Megabytes", 4298000000},
        {"6006 Megabytes", 6006000000},
    };
    for (const auto& [entry, bytes] : cases) {
        SCOPED_TRACE(entry);
        EXPECT_EQ(customEntryBytes(entry), bytes);
        EXPECT_EQ(resolveSplitSize({std::nullopt, entry}), bytes);
    }
}

TEST(SizeCatalogue, SizeFromTextTakesBytesLabelsAndEntries) {
    const std::pair<const char*, std::optional<std::int64_t>> cases[] = {
        {"1400000", 1400000},
        {"8192", 8192},
        {"1.4 Megabytes", 1400000},
        {"1 Megabyte", 1000000},
        {"100k", 100000},
        {"4.6 Gigabytes", 4600000000},
        {"5120k", 5120000},
        {"6006 Megabytes", 6006000000},
        {"99999999999999999999", std::nullopt},
        {"", std::nullopt},
        {"-100", std::nullopt},
        {"5130k", std::nullopt},
        {"11 Megabytes", std::nullopt},
        {"1.4 Meg Files", std::nullopt},
        {"1,400,000", std::nullopt},
    };
    for (const auto& [text, bytes] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(sizeFromText(text), bytes);
    }
}
