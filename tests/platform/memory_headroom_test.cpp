#include "platform/linux/memory_headroom.h"

#include <gtest/gtest.h>

#include <string>

namespace orp {
namespace {

const std::string kFixtures = std::string(ORP_FIXTURES) + "/memory/";
constexpr std::int64_t kMiB = std::int64_t{1} << 20;
constexpr std::int64_t kGiB = std::int64_t{1} << 30;

TEST(SafetyFloor, AQuarterGibibyteOrATwentiethOfTheDomain) {
    struct Case {
        std::int64_t domain, want;
    };
    const Case cases[] = {
        {0, 256 * kMiB},           {1 * kGiB, 256 * kMiB},      {5 * kGiB, 256 * kMiB},
        {6 * kGiB, 6 * kGiB / 20}, {64 * kGiB, 64 * kGiB / 20},
    };
    for (const auto& c : cases) EXPECT_EQ(SafetyFloorBytes(c.domain), c.want) << c.domain;
}

TEST(MemoryHeadroomReader, TheSmallerOfTheSystemAndEveryCgroupLimit) {
    // Every tree: MemTotal 16 GiB, MemAvailable 8 GiB, SwapFree 1 GiB unless it says else.
    constexpr std::int64_t kSystem = 9 * kGiB, kTotal = 16 * kGiB;
    struct Case {
        const char* tree;
        std::int64_t available, domain;
        std::size_t limits;
    };
    const Case cases[] = {
        {"headroom_plain", kSystem, kTotal, 0},  // the v2 root has no limit files
        {"headroom_no_cgroup_file", kSystem, kTotal, 0},
        {"headroom_v2_limited", 512 * kMiB, 2 * kGiB, 2},
        {"headroom_v2_parent_limited", 384 * kMiB, 4 * kGiB, 2},
        {"headroom_v2_over_limit", 0, 1 * kGiB, 1},
        {"headroom_v2_loose_limit", kSystem, kTotal, 1},  // 63 GiB of room: the system binds
        {"headroom_v1_limited", 256 * kMiB, 1 * kGiB, 2},
        {"headroom_v1_unlimited", kSystem, kTotal, 1},
        {"headroom_escaped_namespace", kSystem, kTotal, 0},
        {"headroom_unreadable_limit", 0, 0, 1},  // no room taken on trust
        {"headroom_below_floor", 200 * kMiB, 1 * kGiB, 0},
    };
    for (const auto& c : cases) {
        const MemoryHeadroomReader reader(kFixtures + c.tree);
        EXPECT_EQ(reader.LimitCount(), c.limits) << c.tree;
        const auto h = reader.Read();
        ASSERT_TRUE(h.has_value()) << c.tree;
        EXPECT_EQ(h->availableBytes, c.available) << c.tree;
        EXPECT_EQ(h->domainBytes, c.domain) << c.tree;
    }
}

TEST(MemoryHeadroomReader, CannotTellWithoutMeminfo) {
    EXPECT_FALSE(MemoryHeadroomReader(kFixtures + "does_not_exist").Read().has_value());
    EXPECT_FALSE(MemoryHeadroomReader(kFixtures + "no_total").Read().has_value());
}

TEST(MemoryHeadroomReader, LiveSystem) {
    const auto h = MemoryHeadroomReader().Read();
    ASSERT_TRUE(h.has_value());
    EXPECT_GT(h->availableBytes, 0);
    EXPECT_GT(h->domainBytes, 0);
}

}  // namespace
}  // namespace orp
