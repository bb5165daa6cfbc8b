#include "memory/units.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>

namespace orp {
namespace {

constexpr std::int64_t kMiB = 1048576;

TEST(RoundHalfEven, NearestWithTiesToTheEvenNeighbour) {
    struct Case {
        long double v;
        std::int64_t want;
    };
    const Case cases[] = {
        {0.0L, 0},
        {0.5L, 0},
        {1.5L, 2},
        {2.5L, 2},
        {3.5L, 4},
        {2.49L, 2},
        {2.51L, 3},
        {-0.5L, 0},
        {-1.5L, -2},
        {-2.5L, -2},
        {-2.51L, -3},
        {-0.3L, 0},
        {-0.7L, -1},
        {12.5L, 12},
        {37.5L, 38},
        // the nearest long doubles either side of a half must not be taken for it
        {std::nextafter(20.5L, 0.0L), 20},
        {std::nextafter(20.5L, 100.0L), 21},
        {std::nextafter(-0.5L, 0.0L), 0},
        {std::nextafter(-0.5L, -1.0L), -1},
        {4611686018427387903.5L, 4611686018427387904},  // 2^62 - 0.5: odd below, even above
        {9223372036854775807.0L, std::numeric_limits<std::int64_t>::max()},
        {-9223372036854775808.0L, std::numeric_limits<std::int64_t>::min()},
        {1e30L, std::numeric_limits<std::int64_t>::max()},
        {-1e30L, std::numeric_limits<std::int64_t>::min()},
        {std::numeric_limits<long double>::quiet_NaN(), 0},
        {std::numeric_limits<long double>::infinity(), std::numeric_limits<std::int64_t>::max()},
    };
    for (const auto& c : cases) EXPECT_EQ(RoundHalfEven(c.v), c.want) << "v = " << c.v;
}

// A library (or a plug-in) that leaves the FPU in another rounding mode must not change a
// single figure: nearbyintl or llrintl would round 2.5 up to 3 under FE_UPWARD.
TEST(RoundHalfEven, DoesNotFollowTheCurrentRoundingMode) {
    struct Case {
        long double v;
        std::int64_t want;
    };
    const Case cases[] = {{0.5L, 0},    {1.5L, 2},   {2.5L, 2},
                          {-2.5L, -2},  {-0.5L, 0},  {2.4999L, 2},
                          {2.5001L, 3}, {-0.7L, -1}, {std::nextafter(-0.5L, 0.0L), 0}};
    const int saved = std::fegetround();
    for (int mode : {FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
        ASSERT_EQ(std::fesetround(mode), 0);
        for (const auto& c : cases) {
            volatile long double v = c.v;  // keep the value out of constant folding
            EXPECT_EQ(RoundHalfEven(v), c.want) << "mode " << mode << ", v = " << c.v;
        }
    }
    std::fesetround(saved);
}

TEST(BytesToUnits, IecAddsOneToWholeMebibytesAndSiRoundsHalfToEven) {
    struct Case {
        std::int64_t bytes;
        bool iec;
        std::int64_t want;
    };
    const Case cases[] = {
        {0, true, 1},
        {kMiB - 1, true, 1},
        {kMiB, true, 2},  // an exact multiple still gets its 1: not a ceiling
        {1073741824, true, 1025},
        {327155712, true, 313},
        {2147483647, true, 2048},
        {std::int64_t{64} << 30, true, 65537},  // beyond 32 bits: nothing is cut
        {0, false, 0},
        {499999, false, 0},
        {500000, false, 0},
        {500001, false, 1},
        {1500000, false, 2},
        {2500000, false, 2},
        {3500000, false, 4},
        {1073741824, false, 1074},
        {std::int64_t{64} << 30, false, 68719},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BytesToUnits(c.bytes, c.iec), c.want)
            << c.bytes << " bytes, " << (c.iec ? "IEC" : "SI");
}

TEST(PercentOf, FollowsExtendedArithmeticAtTheHalves) {
    struct Case {
        std::int64_t part, whole;
        int want;
    };
    const Case cases[] = {
        {1, 8, 12},
        {3, 8, 38},
        {5, 8, 62},
        {23, 40, 58},
        {59, 200, 29},
        {141, 200, 70},
        {712, 1025, 69},
        {313, 1025, 31},
        {0, 1025, 0},
        {1025, 1025, 100},
        {1, 3, 33},
        {2, 3, 67},
        // no whole: nothing to show, and no division
        {0, 0, 0},
        {5, 0, 0},
        // a part far beyond its whole saturates instead of overflowing the int
        {std::numeric_limits<std::int64_t>::max(), 1, std::numeric_limits<int>::max()},
        {-std::numeric_limits<std::int64_t>::max(), 1, std::numeric_limits<int>::min()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PercentOf(c.part, c.whole), c.want) << c.part << " of " << c.whole;
}

TEST(SnapToNominalSize, SnapsWithinFifteenOfAMultipleOf128) {
    struct Range {
        std::int64_t from, to, want;  // want 0: unchanged
    };
    const Range ranges[] = {
        {113, 143, 128}, {1009, 1039, 1024}, {2033, 2063, 2048}, {65521, 65551, 65536},
        {144, 240, 0},   {65552, 70000, 0},  {-100, 112, 0},     {1040, 1136, 0},
    };
    for (const auto& r : ranges)
        for (std::int64_t v = r.from; v <= r.to; ++v)
            ASSERT_EQ(SnapToNominalSize(v), r.want ? r.want : v) << "v = " << v;
}

// The rule as first stated: the first of 128, 256, ..., 65536 that lies strictly within 16.
TEST(SnapToNominalSize, AgreesWithTheCandidateScanEverywhere) {
    auto scan = [](std::int64_t v) {
        for (std::int64_t j = 1; j <= 512; ++j) {
            const std::int64_t c = 128 * j;
            if (c - 16 < v && v < c + 16) return c;
        }
        return v;
    };
    for (std::int64_t v = -300; v <= 66000; ++v) ASSERT_EQ(SnapToNominalSize(v), scan(v)) << v;
    for (std::int64_t v :
         {std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()})
        EXPECT_EQ(SnapToNominalSize(v), v);
}

TEST(Totals, NominalCaptionAndRefreshTotalDiffer) {
    struct Case {
        std::int64_t bytes;
        bool iec;
        const char* caption;
        std::int64_t refreshTotal;
    };
    const Case cases[] = {
        {1073741824, true, "Total RAM:1024 MiB", 1025},
        {1071644672, true, "Total RAM:1024 MiB", 1023},
        {2147483647, true, "Total RAM:2048 MiB", 2048},
        {157286400, true, "Total RAM:150 MiB", 151},
        {1073741824, false, "Total RAM:1074 MB", 1074},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TotalCaption(NominalTotal(c.bytes, c.iec), c.iec), c.caption) << c.bytes;
        MemoryStatus s;
        s.totalPhys = c.bytes;
        EXPECT_EQ(ComputeRamFigures(s, c.iec).total, c.refreshTotal) << c.bytes;
    }
}

TEST(Texts, AmountsCarryTheSuffixOfTheUnitInForce) {
    EXPECT_EQ(BlockBytes(true), kMiB);
    EXPECT_EQ(BlockBytes(false), 1000000);
    EXPECT_EQ(FormatAmount(313, true), "313 MiB");
    EXPECT_EQ(FormatAmount(1234567, false), "1234567 MB");  // no digit grouping
    EXPECT_EQ(FormatAmount(-5, true), "-5 MiB");
    EXPECT_EQ(TrayHint(313, true), "Orrindo Pro: 313 MiB free");
    EXPECT_EQ(TrayHint(0, false), "Orrindo Pro: 0 MB free");
}

TEST(ComputeRamFigures, OneRefresh) {
    struct Case {
        std::int64_t total, avail;
        bool iec;
        RamFigures want;
    };
    const Case cases[] = {
        {1073741824, 327155712, true, {1025, 313, 712, 69, 31}},
        // no free memory at all: 1 MiB free in IEC, 0 MB in SI
        {1073741824, 0, true, {1025, 1, 1024, 100, 0}},
        {1073741824, 0, false, {1074, 0, 1074, 100, 0}},
        // a snapshot that could not be read
        {0, 0, false, {0, 0, 0, 0, 0}},
        {0, 0, true, {1, 1, 0, 0, 100}},
    };
    for (const auto& c : cases) {
        MemoryStatus s;
        s.totalPhys = c.total;
        s.availPhys = c.avail;
        s.totalPageFile = 12345;  // the refresh must not look at the commit fields
        const RamFigures f = ComputeRamFigures(s, c.iec);
        EXPECT_EQ(f.total, c.want.total) << c.total << "/" << c.avail;
        EXPECT_EQ(f.free, c.want.free) << c.total << "/" << c.avail;
        EXPECT_EQ(f.used, c.want.used) << c.total << "/" << c.avail;
        EXPECT_EQ(f.usedPercent, c.want.usedPercent) << c.total << "/" << c.avail;
        EXPECT_EQ(f.freePercent, c.want.freePercent) << c.total << "/" << c.avail;
    }
}

TEST(ComputeVirtualFigures, UsesTheCommitFieldsOnly) {
    MemoryStatus s;
    s.totalPhys = 1;
    s.availPhys = 1;
    s.totalPageFile = std::int64_t{3} << 30;  // 3072 MiB -> 3073
    s.availPageFile = std::int64_t{1} << 30;  // 1024 MiB -> 1025
    const VirtualFigures v = ComputeVirtualFigures(s, true);
    EXPECT_EQ(v.total, 3073);
    EXPECT_EQ(v.free, 1025);
    EXPECT_EQ(v.used, 2048);
    EXPECT_EQ(v.percent, 67);  // 2048 / 3073 = 66.64 %
    const VirtualFigures si = ComputeVirtualFigures(s, false);
    EXPECT_EQ(si.total, 3221);  // 3221.225472
    EXPECT_EQ(si.free, 1074);
    EXPECT_EQ(si.used, 2147);
    EXPECT_EQ(si.percent, 67);
}

}  // namespace
}  // namespace orp
