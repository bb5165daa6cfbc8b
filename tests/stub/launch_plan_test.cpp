#include "stub/launch_plan.h"

#include <gtest/gtest.h>

#include <vector>

namespace orp::stub {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

TEST(ProgramBeside, TheLaunchersOwnFolder) {
    const std::pair<const char*, const char*> cases[] = {
        {"/opt/orrindo/ORPstub", "/opt/orrindo/ORPRAM"},
        {"/home/a b/Orrindo Pro/ORPstub", "/home/a b/Orrindo Pro/ORPRAM"},
        {"/ORPstub", "/ORPRAM"},
        {"ORPstub", "./ORPRAM"},
    };
    for (const auto& [launcher, program] : cases) EXPECT_EQ(ProgramBeside(launcher), program);
}

TEST(TrayWaitLimit, ReadsWholeSecondsWithinBounds) {
    struct Case {
        const char* text;
        milliseconds limit;
    };
    const Case cases[] = {
        {nullptr, kDefaultTrayWait}, {"", kDefaultTrayWait},
        {"0", milliseconds(0)},      {"1", seconds(1)},
        {"45", seconds(45)},         {"600", seconds(600)},
        {"601", kLongestTrayWait},   {"99999999999999999999999", kLongestTrayWait},
        {"-1", kDefaultTrayWait},    {"-99999999999999999999999", kDefaultTrayWait},
        {"5s", kDefaultTrayWait},    {" 5", kDefaultTrayWait},
        {"2.5", kDefaultTrayWait},   {"ten", kDefaultTrayWait},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TrayWaitLimit(c.text), c.limit) << (c.text ? c.text : "(unset)");
    }
}

// A clock that only moves when the waiter sleeps.
struct FakeTime {
    Clock::time_point t{};
    std::vector<milliseconds> naps;
    std::function<Clock::time_point()> Now() {
        return [this] { return t; };
    }
    std::function<void(milliseconds)> Sleep() {
        return [this](milliseconds d) {
            naps.push_back(d);
            t += d;
        };
    }
};

TEST(WaitFor, AsksUntilPresentOrTheLimit) {
    struct Case {
        const char* what;
        int presentFromQuestion;  // 1-based; 0: never
        milliseconds limit, step;
        bool result;
        int questions;
        milliseconds waited;
    };
    const Case cases[] = {
        {"there at once", 1, seconds(30), milliseconds(250), true, 1, milliseconds(0)},
        {"appears on the fifth question", 5, seconds(30), milliseconds(250), true, 5,
         milliseconds(1000)},
        {"never: asked at the limit too", 0, seconds(1), milliseconds(250), false, 5,
         milliseconds(1000)},
        {"the last nap is cut to the limit", 0, milliseconds(600), milliseconds(250), false, 4,
         milliseconds(600)},
        {"no limit: asked once", 0, milliseconds(0), milliseconds(250), false, 1, milliseconds(0)},
        {"appears exactly at the limit", 3, milliseconds(500), milliseconds(250), true, 3,
         milliseconds(500)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeTime time;
        int questions = 0;
        const bool got = WaitFor([&] { return ++questions == c.presentFromQuestion; }, c.limit,
                                 c.step, time.Now(), time.Sleep());
        EXPECT_EQ(got, c.result);
        EXPECT_EQ(questions, c.questions);
        EXPECT_EQ(time.t - Clock::time_point{}, c.waited);
        for (milliseconds nap : time.naps) EXPECT_LE(nap, c.step);
    }
}

}  // namespace
}  // namespace orp::stub
