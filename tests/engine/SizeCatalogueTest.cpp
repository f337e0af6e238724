#include "engine/SizeCatalogue.h"

#include <gtest/gtest.h>

using namespace size_catalogue;

TEST(SizeCatalogue, EveryPresetsLabelReadsBackAsItsBytes) {
    for (std::size_t i = 0; i < presets().size(); ++i) {
        SCOPED_TRACE(presets()[i].label);
        EXPECT_EQ(sizeFromText(presets()[i].label), presets()[i].bytes);
        EXPECT_EQ(resolveSplitSize({i, ""}), presets()[i].bytes);
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

TEST(SizeCatalogue, SizeFromTextTakesBytesUnitsInAnyCaseAndTheWindowsWords) {
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
        {"5130k", 5130000},
        {"10M", 10000000},
        {"10MB", 10000000},
        {"10MiB", 10485760},
        {"3GiB", 3221225472},
        {"7KiB", 7168},
        {"10 MB", 10000000},
        {"10m", 10000000},
        {"10Mb", 10000000},
        {"10mib", 10485760},
        {"4600 Megabytes", 4600000000},
        {"4600 Meg Files", 4600000000},
        {"1.0001k", std::nullopt},
        {"MB", std::nullopt},
        {"9999999999999G", std::nullopt},
        {"1.4 Meg Files", 1400000},
        {"1,400,000", std::nullopt},
    };
    for (const auto& [text, bytes] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(sizeFromText(text), bytes);
    }
}
