#include "engine/Progress.h"

#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "engine/Job.h"
#include "wording/ProgressMessages.h"

TEST(Progress, RoundsHalvesToTheEvenNeighbour) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    const struct {
        std::int64_t done;
        std::int64_t total;
        int percent;
    } cases[] = {
        {0, 1000, 0},      {1, 200, 0},          {3, 200, 2},       {5, 200, 2},
        {7, 200, 4},       {1, 3, 33},           {2, 3, 67},        {999, 1000, 100},
        {1000, 1000, 100}, {kMax / 2, kMax, 50}, {kMax, kMax, 100}, {4600000000, 9200000001, 50},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.done) + " of " + std::to_string(c.total));
        EXPECT_EQ(progressPercent(c.done, c.total), c.percent);
    }
    EXPECT_EQ(progressText(42), "42% Complete");
}

TEST(Progress, ASplitShowsOnlyWhatIsOnTheMedium) {
    const struct {
        JobProgress progress; // read, on the medium, total, piece, pieces, pieces on the medium
        std::string text;
        int percent;
    } cases[] = {
        {{0, 0, 0, 0, 0, 0}, "", 0},
        {{0, 0, 3000000, 0, 4, 0}, "", 0},
        {{1500000, 1000000, 3000000, 2, 4, 1}, "33% Complete", 33},
        {{1000000, 1000000, 3000000, 1, 4, 1}, "100 %  Done.", 33},
        {{0, 0, 0, 3, 3, 3}, "100% Complete", 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(splitProgressText(c.progress), c.text);
        EXPECT_EQ(percentOnMedium(c.progress), c.percent);
    }
}
