#include "freeing/auto_free.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace orp {
namespace {

// A run of identical ticks.
struct Segment {
    int ticks;
    AutoFreeTick tick;
};

AutoFreeTick Tick(bool on, int load, int threshold, std::int64_t freeRAM, std::int64_t trigger) {
    return AutoFreeTick{on, load, threshold, freeRAM, trigger};
}

struct Scenario {
    std::string name;
    std::int32_t startQuiet;
    std::vector<Segment> segments;
    std::vector<int> runAtTicks;  // 1-based tick numbers at which a run starts
    std::int32_t endQuiet;
};

TEST(DecideAutoFree, ScenariosTickByTick) {
    // Free RAM 10 % of 2048, trigger 15 % of it, threshold 75 %.
    const AutoFreeTick quiet = Tick(true, 20, 75, 205, 307);
    const AutoFreeTick busy = Tick(true, 76, 75, 205, 307);
    const AutoFreeTick atThreshold = Tick(true, 75, 75, 205, 307);
    const AutoFreeTick freeAtTrigger = Tick(true, 20, 75, 307, 307);
    const AutoFreeTick freeBelowTrigger = Tick(true, 20, 75, 306, 307);
    const AutoFreeTick triggerZero = Tick(true, 1, 75, 0, 0);
    const AutoFreeTick offBusy = Tick(false, 100, 75, 0, 307);
    const AutoFreeTick offQuiet = Tick(false, 1, 75, 0, 307);
    constexpr std::int32_t kTop = std::numeric_limits<std::int32_t>::max();

    const Scenario scenarios[] = {
        {"first run at the 60th quiet tick, the next 60 ticks after it",
         0,
         {{130, quiet}},
         {60, 120},
         10},
        {"59 quiet ticks start nothing", 0, {{59, quiet}}, {}, 59},
        {"a load equal to the threshold is quiet", 0, {{60, atThreshold}}, {60}, 0},
        {"a load one above the threshold resets the count",
         0,
         {{59, quiet}, {1, busy}, {60, quiet}},
         {120},
         0},
        {"a busy tick when armed resets too", 0, {{70, freeAtTrigger}, {1, busy}}, {}, 0},
        {"free RAM equal to the trigger starts nothing and the count goes on",
         0,
         {{70, freeAtTrigger}, {1, freeBelowTrigger}},
         {71},
         0},
        {"trigger 0 never starts a run", 0, {{200, triggerZero}}, {}, 200},
        {"switched off at 45, on again: the count continues from 45",
         0,
         {{45, quiet}, {30, offBusy}, {15, quiet}},
         {90},
         0},
        {"switched off the count stays even with quiet ticks", 12, {{100, offQuiet}}, {}, 12},
        {"a count carried in from before still arms at 60", 55, {{5, quiet}}, {5}, 0},
        {"the count stops at its top instead of overflowing",
         kTop - 1,
         {{3, freeAtTrigger}},
         {},
         kTop},
    };

    for (const auto& s : scenarios) {
        std::int32_t quietTicks = s.startQuiet;
        std::vector<int> runs;
        int tickNo = 0;
        for (const auto& seg : s.segments) {
            for (int i = 0; i < seg.ticks; ++i) {
                ++tickNo;
                const std::int32_t before = quietTicks;
                if (DecideAutoFree(quietTicks, seg.tick)) {
                    runs.push_back(tickNo);
                    EXPECT_EQ(quietTicks, 0) << s.name << ": count not reset before the run";
                    EXPECT_GE(before + 1, kQuietTicksNeeded) << s.name;
                }
                EXPECT_GE(quietTicks, 0) << s.name << " at tick " << tickNo;
            }
        }
        EXPECT_EQ(runs, s.runAtTicks) << s.name;
        EXPECT_EQ(quietTicks, s.endQuiet) << s.name;
    }
}

TEST(AutoFreeSliders, ClampsToTheirLimits) {
    struct ClampCase {
        const char* slider;
        int (*clamp)(int);
        int position;
        int expected;
    };
    const ClampCase cases[] = {
        {"level", ClampAutoLevel, 80, 75},
        {"level", ClampAutoLevel, 2, 5},
        {"level", ClampAutoLevel, 0, 5},
        {"level", ClampAutoLevel, 100, 75},
        {"level", ClampAutoLevel, 5, 5},
        {"level", ClampAutoLevel, 75, 75},
        {"level", ClampAutoLevel, 40, 40},
        {"trigger", ClampAutoTrigger, 80, 75},
        {"trigger", ClampAutoTrigger, 76, 75},
        {"trigger", ClampAutoTrigger, 75, 75},
        {"trigger", ClampAutoTrigger, 0, 0},
        {"trigger", ClampAutoTrigger, 15, 15},
        {"threshold", ClampCPUThreshold, 10, 25},
        {"threshold", ClampCPUThreshold, 24, 25},
        {"threshold", ClampCPUThreshold, 25, 25},
        {"threshold", ClampCPUThreshold, 100, 100},
        {"threshold floor of the level", RaiseThresholdForAutoLevel, 25, 33},
        {"threshold floor of the level", RaiseThresholdForAutoLevel, 32, 33},
        {"threshold floor of the level", RaiseThresholdForAutoLevel, 33, 33},
        {"threshold floor of the level", RaiseThresholdForAutoLevel, 75, 75},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.clamp(c.position), c.expected) << c.slider << " at " << c.position;
    }
}

}  // namespace
}  // namespace orp
