#include "platform/MemoryStatus.h"

#include <gtest/gtest.h>

#include "platform/IoError.h"
#include "support/TempFolder.h"

TEST(MemoryStatus, ParsesTheFourFiguresIntoBytes) {
    const MemoryStatus status = parseMemInfo("MemTotal:         524288 kB\n"
                                             "MemFree:           10000 kB\n"
                                             "MemAvailable:     262144 kB\n"
                                             "Buffers:             100 kB\n"
                                             "SwapTotal:      16777216 kB\n"
                                             "SwapFree:        8388608 kB\n");
    EXPECT_EQ(536870912u, status.totalPhysical);
    EXPECT_EQ(268435456u, status.availablePhysical);
    // Above 4 GiB: kept in full, not cut to 32 bits.
    EXPECT_EQ(17179869184u, status.totalSwap);
    EXPECT_EQ(8589934592u, status.availableSwap);
}

TEST(MemoryStatus, AMissingFigureIsZero) {
    const MemoryStatus status = parseMemInfo("MemTotal: 1 kB\nSwapTotal: junk\n");
    EXPECT_EQ(1024u, status.totalPhysical);
    EXPECT_EQ(0u, status.availablePhysical);
    EXPECT_EQ(0u, status.totalSwap);
}

TEST(MemoryStatus, ReadsTheSystemFigures) {
    EXPECT_GT(readMemoryStatus().totalPhysical, 0u);
    TempFolder folder;
    EXPECT_THROW(readMemoryStatus(folder.file("meminfo")), IoError);
}
