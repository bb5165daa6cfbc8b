#include "freeing/freeing_run.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "fakes/fake_freeing_host.h"
#include "fakes/fake_heap.h"

namespace orp {
namespace {

using testing::FakeFreeingHost;
using testing::FakeHeap;
using testing::HostEvent;
using testing::HostThrow;
using Kind = HostEvent::Kind;

constexpr std::size_t kBlock = 1048576;

// What every run must leave behind, however it ended.
void ExpectNothingLeaked(const FakeHeap& heap, const std::vector<void*>& blocks,
                         const std::string& where) {
    EXPECT_EQ(heap.Outstanding(), 0) << where;
    EXPECT_EQ(heap.Misuses(), 0) << where;
    EXPECT_EQ(heap.releasedOrder, heap.obtainedOrder) << where << ": released out of order";
    EXPECT_TRUE(blocks.empty()) << where;
}

TEST(FreeingRun, OnePassOfTwoBlocksCallsTheHostInOrder) {
    FakeHeap heap;
    FakeFreeingHost host;
    std::vector<void*> blocks;
    RunFreeingPasses(heap, host, 2, kBlock, blocks);
    const std::vector<HostEvent> want = {
        HostEvent::Pump(),         HostEvent::Pass(1, 1),
        HostEvent::Step(1, 4, 25), HostEvent::Pump(),  // obtained
        HostEvent::Step(2, 4, 50), HostEvent::Pump(),  // obtained
        HostEvent::Pump(),         HostEvent::Step(3, 4, 75),
        HostEvent::Pump(),  // released
        HostEvent::Pump(),         HostEvent::Step(4, 4, 100),
        HostEvent::Pump(),  // released
        HostEvent::Refresh(),
    };
    EXPECT_EQ(host.events, want);
}

TEST(FreeingRun, ShapesOfARun) {
    struct Case {
        const char* name;
        std::int64_t blockCount;
        int passes;
        std::int64_t refuseAt;  // Obtain call refused, 0 none
        std::function<bool(const FakeHeap&)> abortWhen;
        int passesRun;
        std::int64_t obtained;
        bool refused;
    };
    auto never = [](const FakeHeap&) { return false; };
    const Case cases[] = {
        {"one pass", 5, 1, 0, never, 1, 5, false},
        {"three passes", 4, 3, 0, never, 3, 12, false},
        {"no blocks: passes still run and refresh", 0, 3, 0, never, 3, 0, false},
        {"negative count acts as none", -7, 2, 0, never, 2, 0, false},
        {"no passes wanted", 5, 0, 0, never, 0, 0, false},
        {"first block refused", 5, 3, 1, never, 1, 0, true},
        {"third block refused ends the run", 5, 3, 3, never, 1, 2, true},
        {"refused in the second pass", 4, 3, 6, never, 2, 5, true},
        {"abort while obtaining", 6, 3, 0, [](const FakeHeap& h) { return h.Obtained() >= 2; }, 1,
         2, false},
        {"abort in the second pass", 6, 3, 0, [](const FakeHeap& h) { return h.Obtained() >= 8; },
         2, 8, false},
        {"abort while releasing finishes the release", 3, 3, 0,
         [](const FakeHeap& h) { return h.releaseCalls >= 1; }, 1, 3, false},
        {"abort before the first pass", 5, 3, 0, [](const FakeHeap&) { return true; }, 0, 0, false},
    };
    for (const auto& c : cases) {
        FakeHeap heap;
        heap.refuseAt = c.refuseAt;
        FakeFreeingHost host;
        host.passes = [&] { return c.passes; };
        host.abortWhen = [&] { return c.abortWhen(heap); };
        std::vector<void*> blocks;
        // The list must name every block held at every moment the window can look at it.
        host.onPump = [&] {
            EXPECT_LE(heap.Outstanding(), static_cast<std::int64_t>(blocks.size())) << c.name;
        };
        host.onPassFinished = [&] {
            EXPECT_EQ(heap.Outstanding(), 0) << c.name << ": refreshed with blocks held";
            EXPECT_TRUE(blocks.empty()) << c.name;
        };

        const FreeingRunStats stats = RunFreeingPasses(heap, host, c.blockCount, kBlock, blocks);

        EXPECT_EQ(stats.passesRun, c.passesRun) << c.name;
        EXPECT_EQ(stats.blocksObtained, c.obtained) << c.name;
        EXPECT_EQ(heap.Obtained(), c.obtained) << c.name;
        EXPECT_EQ(stats.blocksReleased, c.obtained) << c.name;
        EXPECT_EQ(stats.obtainRefused, c.refused) << c.name;
        // A refused block is asked for once, never retried.
        EXPECT_EQ(heap.obtainCalls, c.obtained + (c.refused ? 1 : 0)) << c.name;
        EXPECT_EQ(host.refreshes, c.passesRun) << c.name;
        EXPECT_EQ(host.Count(Kind::PassStarting), c.passesRun) << c.name;
        // One pump before every pass, one per block obtained, two per block released.
        EXPECT_EQ(host.pumps, c.passesRun + c.obtained + 2 * c.obtained) << c.name;
        EXPECT_EQ(host.progressCalls, 2 * c.obtained) << c.name;
        EXPECT_LE(heap.maxHeld, c.blockCount > 0 ? c.blockCount : 0) << c.name;
        for (std::size_t bytes : heap.obtainedBytes) EXPECT_EQ(bytes, kBlock) << c.name;
        ExpectNothingLeaked(heap, blocks, c.name);
    }
}

TEST(FreeingRun, PassesAreReadBeforeEveryPass) {
    struct Case {
        std::vector<int> wanted;  // value returned at the 1st, 2nd, ... reading
        std::vector<HostEvent> passLabels;
    };
    const Case cases[] = {
        {{1, 3, 3, 3}, {HostEvent::Pass(1, 1), HostEvent::Pass(2, 3), HostEvent::Pass(3, 3)}},
        {{3, 1}, {HostEvent::Pass(1, 3)}},
        {{2, 2, 5, 5, 5, 5},
         {HostEvent::Pass(1, 2), HostEvent::Pass(2, 2), HostEvent::Pass(3, 5),
          HostEvent::Pass(4, 5), HostEvent::Pass(5, 5)}},
    };
    for (const auto& c : cases) {
        FakeHeap heap;
        FakeFreeingHost host;
        std::size_t reading = 0;
        host.passes = [&] { return c.wanted.at(std::min(reading++, c.wanted.size() - 1)); };
        std::vector<void*> blocks;
        RunFreeingPasses(heap, host, 1, kBlock, blocks);
        std::vector<HostEvent> labels;
        for (const auto& e : host.events)
            if (e.kind == Kind::PassStarting) labels.push_back(e);
        EXPECT_EQ(labels, c.passLabels);
        EXPECT_EQ(host.refreshes, static_cast<std::int64_t>(c.passLabels.size()));
    }
}

TEST(FreeingRun, ProgressRestartsEveryPassAndRoundsHalvesToEven) {
    FakeHeap heap;
    FakeFreeingHost host;
    host.passes = [] { return 2; };
    std::vector<void*> blocks;
    RunFreeingPasses(heap, host, 4, kBlock, blocks);
    std::vector<HostEvent> steps;
    for (const auto& e : host.events)
        if (e.kind == Kind::Progress) steps.push_back(e);
    // 1/8 and 5/8 are halves that go down to the even neighbour, 3/8 and 7/8 go up.
    const std::vector<int> percents = {12, 25, 38, 50, 62, 75, 88, 100};
    ASSERT_EQ(steps.size(), 16u);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(steps[i].a, static_cast<std::int64_t>(i % 8 + 1)) << i;
        EXPECT_EQ(steps[i].b, 8) << i;
        EXPECT_EQ(steps[i].percent, percents[i % 8]) << i;
    }
}

// Whatever call of the host throws, and whenever, no block stays held, none is released twice
// and the list is left empty.
TEST(FreeingRun, AnExceptionFromTheHostReleasesEveryBlockFirst) {
    constexpr std::int64_t kBlocks = 3;
    constexpr int kPasses = 2;
    constexpr std::int64_t kPumps = kPasses * (1 + kBlocks + 2 * kBlocks);
    constexpr std::int64_t kSteps = kPasses * 2 * kBlocks;
    struct Point {
        std::int64_t FakeFreeingHost::*counter;
        std::int64_t count;
        const char* name;
    };
    const Point points[] = {{&FakeFreeingHost::throwAtPump, kPumps, "pump"},
                            {&FakeFreeingHost::throwAtProgress, kSteps, "progress"},
                            {&FakeFreeingHost::throwAtPassFinished, kPasses, "refresh"}};
    for (const auto& p : points) {
        for (std::int64_t k = 1; k <= p.count; ++k) {
            const std::string where = std::string(p.name) + " #" + std::to_string(k);
            FakeHeap heap;
            FakeFreeingHost host;
            host.passes = [] { return kPasses; };
            host.*(p.counter) = k;
            std::vector<void*> blocks;
            EXPECT_THROW(RunFreeingPasses(heap, host, kBlocks, kBlock, blocks), HostThrow) << where;
            EXPECT_EQ(heap.releaseCalls, heap.Obtained()) << where;
            ExpectNothingLeaked(heap, blocks, where);
        }
    }
}

TEST(FreeingRun, AFailedReleaseIsSkippedNotRetried) {
    FakeHeap heap;
    heap.failReleaseAt = 2;
    FakeFreeingHost host;
    std::vector<void*> blocks;
    const FreeingRunStats stats = RunFreeingPasses(heap, host, 4, kBlock, blocks);
    EXPECT_EQ(heap.releaseCalls, 4);
    EXPECT_EQ(stats.blocksReleased, 3);
    EXPECT_EQ(host.progressCalls, 8);  // the failed block still advances the bar
    EXPECT_EQ(heap.repeatedReleases, 0);
    EXPECT_TRUE(blocks.empty());
}

TEST(FreeingRun, RefusesToStartOverTheBlocksOfARunInProgress) {
    FakeHeap heap;
    FakeFreeingHost host;
    int held = 0;
    std::vector<void*> blocks = {&held};
    EXPECT_THROW(RunFreeingPasses(heap, host, 4, kBlock, blocks), std::logic_error);
    EXPECT_EQ(blocks, std::vector<void*>{&held});
    EXPECT_EQ(heap.obtainCalls + heap.releaseCalls, 0);
    EXPECT_TRUE(host.events.empty());
}

// The window's own trigger (a tray preset) reaching the loop while a run pumps messages.
TEST(FreeingRun, ARunStartedFromAPumpDoesNotDisturbTheRunningOne) {
    FakeHeap heap;
    FakeFreeingHost host;
    std::vector<void*> blocks;
    int nestedRefusals = 0;
    host.onPump = [&] {
        if (blocks.empty()) return;
        FakeFreeingHost inner;
        try {
            RunFreeingPasses(heap, inner, 4, kBlock, blocks);
        } catch (const std::logic_error&) {
            ++nestedRefusals;
        }
    };
    const FreeingRunStats stats = RunFreeingPasses(heap, host, 3, kBlock, blocks);
    EXPECT_GT(nestedRefusals, 0);
    EXPECT_EQ(stats.blocksObtained, 3);
    EXPECT_EQ(heap.obtainCalls, 3);
    ExpectNothingLeaked(heap, blocks, "nested");
}

}  // namespace
}  // namespace orp
