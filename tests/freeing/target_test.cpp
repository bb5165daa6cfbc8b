#include "freeing/target.h"

#include <gtest/gtest.h>

#include <limits>

namespace orp {
namespace {

// TargetBlocks rounds the hundredth and multiplies exactly; LevelAmount rounds only the end
// result. The rows where the two differ are the ones that catch a mix-up.
TEST(Amounts, TargetBlocksRoundsTheHundredthLevelAmountTheProduct) {
    struct Case {
        std::int64_t total;
        int percent;
        std::int64_t blocks, level;
    };
    const Case cases[] = {
        {2049, 50, 1000, 1024},  // 20.49 -> 20; 20.49 * 50 lands just below 1024.5
        {2050, 50, 1000, 1025},  // 20.5 -> 20 (even)
        {2150, 50, 1100, 1075},  // 21.5 -> 22 (even)
        {1250, 50, 600, 625},    // 12.5 -> 12
        {1024, 20, 200, 205},    // 204.8 -> 205
        {2048, 15, 300, 307},    // 307.2 -> 307
        {50, 90, 0, 45},         // 0.5 -> 0: no block at all
        {49, 90, 0, 44},         // 44.1
        {51, 90, 90, 46},        // 45.9
        {150, 10, 20, 15},         {250, 10, 20, 25},  // 2.5 -> 2
        {24105, 95, 22895, 22900}, {1025, 0, 0, 0},   {0, 50, 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TargetBlocks(c.total, c.percent), c.blocks) << c.total << " at " << c.percent;
        EXPECT_EQ(LevelAmount(c.total, c.percent), c.level) << c.total << " at " << c.percent;
    }
}

TEST(Amounts, AbsurdArgumentsSaturateRatherThanWrap) {
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
    EXPECT_EQ(TargetBlocks(kMax, 1000), kMax);
    EXPECT_EQ(TargetBlocks(kMax, -1000), kMin);
    EXPECT_EQ(TargetBlocks(kMin, 1000), kMin);
    EXPECT_EQ(TargetBlocks(kMax, 1), 92233720368547758);
}

TEST(Amounts, RamClearedIsNeverNegative) {
    struct Case {
        std::int64_t before, after, want;
    };
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    const Case cases[] = {
        {300, 250, 0}, {250, 300, 50}, {300, 300, 0}, {0, 1, 1}, {-10, kMax, kMax},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RamCleared(c.before, c.after), c.want) << c.before << " -> " << c.after;
}

TEST(Captions, TargetAndPassPanel) {
    EXPECT_EQ(TargetCaption(20, TargetBlocks(1024, 20), true), "RAM to free: 20% (200 MiB)");
    EXPECT_EQ(TargetCaption(50, TargetBlocks(1250, 50), true), "RAM to free: 50% (600 MiB)");
    EXPECT_EQ(TargetCaption(50, TargetBlocks(1074, 50), false), "RAM to free: 50% (550 MB)");
    EXPECT_EQ(TargetCaption(5, 0, false), "RAM to free: 5% (0 MB)");
    EXPECT_EQ(PassLabel(2, 3), "Pass 2 of 3");
    EXPECT_EQ(PassLabel(1, 1), "Pass 1 of 1");
    EXPECT_EQ(PercentLabel(38), "38%");
}

}  // namespace
}  // namespace orp
