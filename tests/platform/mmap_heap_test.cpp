#include "platform/linux/mmap_heap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

// Counts the program's allocations, so that a test can see the heap's readings of /proc do
// without any. Behaviour is the default one otherwise.
namespace {
std::atomic<long> gAllocations{0};
}
void* operator new(std::size_t bytes) {
    ++gAllocations;
    if (void* p = std::malloc(bytes ? bytes : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace orp {
namespace {

const std::string kFixtures = std::string(ORP_FIXTURES) + "/memory/";
constexpr std::size_t kMiB = 1048576;

bool AllZero(const void* block, std::size_t bytes) {
    const auto* p = static_cast<const unsigned char*>(block);
    return std::all_of(p, p + bytes, [](unsigned char c) { return c == 0; });
}

// Skips where this machine itself is too close to its end for a test to take a block.
bool LiveHeadroomAllowsABlock() {
    const auto h = MemoryHeadroomReader().Read();
    return h && h->availableBytes - SafetyFloorBytes(h->domainBytes) >
                    16 * MmapBlockHeap::ChargeFor(kMiB);
}

TEST(MmapBlockHeap, LiveBlocksAreZeroWritableAndGoBack) {
    if (!LiveHeadroomAllowsABlock()) GTEST_SKIP() << "this machine is near its safety floor";
    MmapBlockHeap heap;
    for (std::size_t bytes : {kMiB, std::size_t{1000000}, std::size_t{1}}) {
        void* block = heap.Obtain(bytes);
        ASSERT_NE(block, nullptr) << bytes;
        EXPECT_TRUE(AllZero(block, bytes)) << bytes;
        static_cast<unsigned char*>(block)[bytes - 1] = 0xAB;
        EXPECT_TRUE(heap.Release(block, bytes)) << bytes;
    }
    EXPECT_EQ(heap.Obtain(0), nullptr);
    EXPECT_FALSE(heap.Release(nullptr, kMiB));
}

// Fixture trees stand in for a machine near its end; the refusal comes before any mapping.
TEST(MmapBlockHeap, FixtureHeadroomDecides) {
    struct Case {
        const char* tree;
        bool obtains;
    };
    const Case cases[] = {
        {"headroom_plain", true},          {"headroom_v1_unlimited", true},
        {"headroom_below_floor", false},  // 200 MiB available, floor 256 MiB
        {"headroom_v2_limited", true},    // 512 MiB of room in a 2 GiB group, floor 256 MiB
        {"headroom_v1_limited", false},   // 256 MiB of room, all of it floor
        {"headroom_v2_over_limit", false}, {"headroom_unreadable_limit", false},
        {"does_not_exist", false},  // cannot tell: no block
    };
    for (const auto& c : cases) {
        MmapBlockHeap heap(kFixtures + c.tree);
        void* block = heap.Obtain(kMiB);
        EXPECT_EQ(block != nullptr, c.obtains) << c.tree;
        if (block) {
            EXPECT_TRUE(heap.Release(block, kMiB)) << c.tree;
        }
    }
}

// A probe that sees what the heap itself holds, as the real /proc would.
struct ModelMachine {
    std::int64_t headroomAtStart = 0;
    std::int64_t domain = std::int64_t{1} << 30;  // floor 256 MiB
    std::int64_t takenPerBlock = static_cast<std::int64_t>(kMiB);
    std::int64_t held = 0;
    int readings = 0;

    std::int64_t Headroom() const { return headroomAtStart - held * takenPerBlock; }
    MmapBlockHeap::HeadroomProbe Probe() {
        return [this]() -> std::optional<MemoryHeadroom> {
            ++readings;
            return MemoryHeadroom{std::max<std::int64_t>(0, Headroom()), domain};
        };
    }
};

TEST(MmapBlockHeap, NeverTakesTheHeadroomBelowTheFloor) {
    const std::int64_t floor = SafetyFloorBytes(std::int64_t{1} << 30);
    const std::int64_t charge = MmapBlockHeap::ChargeFor(kMiB);
    struct Case {
        std::int64_t aboveFloor;
        std::int64_t takenPerBlock;  // what the machine loses per block
        std::int64_t maxBetweenChecks;
    };
    const Case cases[] = {
        {0, charge, 64 << 20},
        {charge - 1, charge, 64 << 20},
        {charge, charge, 64 << 20},
        {10 * charge + charge / 2, charge, 64 << 20},
        {40 * charge, charge, 8 << 20},  // re-read eight times on the way
        {40 * charge, static_cast<std::int64_t>(kMiB), 8 << 20},
    };
    for (const auto& c : cases) {
        ModelMachine machine;
        machine.headroomAtStart = floor + c.aboveFloor;
        machine.takenPerBlock = c.takenPerBlock;
        HeapCheckRate rate;
        rate.maxBytesBetweenChecks = c.maxBetweenChecks;
        rate.maxCheckAge = std::chrono::hours(1);
        MmapBlockHeap heap(machine.Probe(), rate);
        std::vector<void*> blocks;
        while (void* block = heap.Obtain(kMiB)) {
            blocks.push_back(block);
            ++machine.held;
            ASSERT_GE(machine.Headroom(), floor) << c.aboveFloor << ": past the floor";
            ASSERT_LT(blocks.size(), 1000u) << c.aboveFloor << ": never refused";
        }
        // Not too early either: a block is refused only when one more would not fit.
        EXPECT_LT(machine.Headroom() - floor, charge) << c.aboveFloor;
        for (void* block : blocks) EXPECT_TRUE(heap.Release(block, kMiB));
    }
}

TEST(MmapBlockHeap, ReadsTheHeadroomOncePerBudgetNotPerBlock) {
    struct Case {
        std::int64_t maxBetweenChecks;
        std::chrono::nanoseconds maxAge;
        int blocks;
        int maxReadings;
    };
    const Case cases[] = {
        {64 << 20, std::chrono::hours(1), 200, 200 / 63 + 1},
        {8 << 20, std::chrono::hours(1), 100, 100 / 7 + 1},
        // a reading of age 0 is always stale: every block reads again
        {64 << 20, std::chrono::nanoseconds(0), 20, 20},
    };
    for (const auto& c : cases) {
        ModelMachine machine;
        machine.headroomAtStart = std::int64_t{64} << 30;
        HeapCheckRate rate;
        rate.maxBytesBetweenChecks = c.maxBetweenChecks;
        rate.maxCheckAge = c.maxAge;
        MmapBlockHeap heap(machine.Probe(), rate);
        // Obtained and released one by one: the budget is spent all the same.
        for (int i = 0; i < c.blocks; ++i) {
            void* block = heap.Obtain(kMiB);
            ASSERT_NE(block, nullptr);
            ASSERT_TRUE(heap.Release(block, kMiB));
        }
        EXPECT_LE(machine.readings, c.maxReadings) << c.maxBetweenChecks;
        EXPECT_EQ(heap.Checks(), machine.readings);
        if (c.maxAge.count() == 0) {
            EXPECT_EQ(machine.readings, c.blocks);
        }
    }
}

// The blocks are mappings of their own and the readings use stack buffers: obtaining and
// releasing leave the program's own heap alone, so it cannot keep what a run gives back.
TEST(MmapBlockHeap, ObtainingAndReleasingAllocateNothing) {
    if (!LiveHeadroomAllowsABlock()) GTEST_SKIP() << "this machine is near its safety floor";
    HeapCheckRate rate;
    rate.maxCheckAge = std::chrono::nanoseconds(0);  // read /proc for every block
    const MemoryHeadroomReader reader;
    MmapBlockHeap heap([&reader] { return reader.Read(); }, rate);
    const long before = gAllocations.load();
    for (int i = 0; i < 50; ++i) {
        void* block = heap.Obtain(kMiB);
        ASSERT_NE(block, nullptr);
        ASSERT_TRUE(heap.Release(block, kMiB));
    }
    EXPECT_EQ(gAllocations.load() - before, 0);
    EXPECT_EQ(heap.Checks(), 50);
}

TEST(MmapBlockHeap, NoBlockWhenTheHeadroomCannotBeRead) {
    MmapBlockHeap heap([] { return std::optional<MemoryHeadroom>(); });
    EXPECT_EQ(heap.Obtain(kMiB), nullptr);
    EXPECT_EQ(heap.Obtain(kMiB), nullptr);
    EXPECT_EQ(heap.Checks(), 2);  // a refusal is not remembered: the next block asks again
}

}  // namespace
}  // namespace orp
