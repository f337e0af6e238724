#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "SplitFixture.h"
#include "engine/SizeCatalogue.h"

namespace {

constexpr std::int64_t kSplitSize = 4'600'000'000;
constexpr std::int64_t kSourceSize = kSplitSize + 1000;

// Offsets around 2^32 and the piece boundary, where a 32-bit count would go wrong.
const std::int64_t kMarkedOffsets[] = {
    0, 4294967295, 4294967296, 4294967297, kSplitSize - 1, kSplitSize, kSourceSize - 1};

char markAt(std::int64_t offset) {
    return static_cast<char>('A' + offset % 26);
}

char byteAt(const std::string& path, std::int64_t offset) {
    std::ifstream in(path, std::ios::binary);
    in.seekg(offset);
    char c = 0;
    in.get(c);
    EXPECT_TRUE(in.good()) << path << " at " << offset;
    return c;
}

class LargeSplit : public SplitFixture {};

} // namespace

TEST_F(LargeSplit, SplitsASourceAbove4GiBAtTheLargestPreset) {
    if (std::filesystem::space(folder()).available < static_cast<std::uintmax_t>(kSourceSize) * 2)
        GTEST_SKIP() << "not enough disk space for a piece of 4.6 GB";
    ASSERT_EQ(size_catalogue::sizeFromText("4.6 Gigabytes"), kSplitSize);

    // A sparse source with a few marked bytes.
    const std::string source = folder() + "disk.img";
    {
        std::ofstream out(source, std::ios::binary);
        for (const std::int64_t offset : kMarkedOffsets) {
            out.seekp(offset);
            out.put(markAt(offset));
        }
        ASSERT_TRUE(out.good());
    }
    ASSERT_EQ(fileSize(source), kSourceSize);

    const SplitOutcome outcome = split(source, kSplitSize);
    ASSERT_TRUE(std::holds_alternative<SplitCompletion>(outcome));
    ASSERT_EQ(fileSize(folder() + "disk.1"), kSplitSize);
    ASSERT_EQ(fileSize(folder() + "disk.2"), 1000);
    EXPECT_FALSE(fileExists(folder() + "disk.3"));
    for (const std::int64_t offset : kMarkedOffsets) {
        SCOPED_TRACE(offset);
        if (offset < kSplitSize)
            EXPECT_EQ(byteAt(folder() + "disk.1", offset), markAt(offset));
        else
            EXPECT_EQ(byteAt(folder() + "disk.2", offset - kSplitSize), markAt(offset));
    }
    EXPECT_EQ(byteAt(folder() + "disk.1", 4294967298), '\0');
    EXPECT_EQ(m_finalProgress.bytesOnMedium, kSourceSize);
    EXPECT_EQ(std::get<SplitCompletion>(outcome).pieceCount, 2);
}
