#include "memory/cpu_load.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "fakes/fake_processor_times.h"

namespace orp {
namespace {

struct LoadCase {
    std::string name;
    std::vector<double> usages;
    bool hasTotal;
    int expected;
};

TEST(SampleProcessorLoad, CombinesInstancesIntoOneFigure) {
    const LoadCase cases[] = {
        {"idle two cores with total shows 1", {0.0, 0.0, 0.0}, true, 1},
        {"idle two cores without total shows 1", {0.0, 0.0}, false, 1},
        {"one busy core of two, total present", {1.0, 0.0, 0.5}, true, 50},
        {"one busy core of two, no total", {1.0, 0.0}, false, 50},
        {"total instance is the figure, not the mean", {0.9, 0.9, 0.2}, true, 20},
        {"single instance carries the whole load", {0.37}, false, 37},
        {"single instance that is the total", {0.64}, true, 64},
        {"per-instance tie 12.5 goes to even 12", {0.125}, false, 12},
        {"per-instance tie 37.5 goes to even 38", {0.375}, false, 38},
        {"mean tie 2.5 goes to even 2", {0.05, 0.0}, false, 2},
        {"mean tie 3.5 goes to even 4", {0.07, 0.0}, false, 4},
        {"mean of three cores", {0.1, 0.2, 0.6}, false, 30},
        {"just under half a percent still shows 1", {0.004}, false, 1},
        {"full load", {1.0, 1.0, 1.0}, true, 100},
        {"a share above 1 is capped at 100", {1.5}, false, 100},
    };
    for (const auto& c : cases) {
        FakeProcessorTimes times;
        times.usages = c.usages;
        times.hasTotal = c.hasTotal;
        EXPECT_EQ(SampleProcessorLoad(times), c.expected) << c.name;
        EXPECT_EQ(times.samples, 1) << c.name;
    }
}

TEST(SampleProcessorLoad, FailuresThrowSoTheLastFigureStays) {
    struct FailCase {
        std::string name;
        std::vector<double> usages;
        bool sampleFails;
    };
    const FailCase cases[] = {
        {"sample fails", {0.5, 0.5}, true},
        {"no instances", {}, false},
        {"share is not a number", {std::numeric_limits<double>::quiet_NaN()}, false},
        {"share is infinite", {0.2, std::numeric_limits<double>::infinity()}, false},
    };
    for (const auto& c : cases) {
        FakeProcessorTimes times;
        times.usages = c.usages;
        times.sampleFails = c.sampleFails;
        EXPECT_ANY_THROW(SampleProcessorLoad(times)) << c.name;
    }
}

}  // namespace
}  // namespace orp
