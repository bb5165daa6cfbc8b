#include "platform/linux/proc_stat_times.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "memory/cpu_load.h"

namespace orp {
namespace {

namespace fs = std::filesystem;

class TempProc {
public:
    TempProc() {
        std::string tmpl = (fs::temp_directory_path() / "orp-stat-XXXXXX").string();
        if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
        dir_ = tmpl;
    }
    ~TempProc() {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    void WriteStat(const std::string& text) const {
        std::ofstream(dir_ / "stat", std::ios::binary | std::ios::trunc) << text;
    }
    std::string Root() const { return dir_.string(); }

private:
    fs::path dir_;
};

// A /proc/stat text: the total line, one line per processor, then the other counters.
std::string Stat(const std::vector<std::string>& cpuLines) {
    std::string s;
    for (const auto& l : cpuLines) s += l + "\n";
    return s + "intr 12345 0 0 7\nctxt 99\nbtime 1700000000\nprocesses 4242\n";
}

struct UsageCase {
    std::string name;
    std::vector<std::string> first, second;
    std::vector<std::string> instanceNames;  // per-processor lines first, the total last
    std::vector<double> usages;
};

TEST(ProcStatProcessorTimes, BusyShareBetweenTwoSamples) {
    const UsageCase cases[] = {
        {"one busy core of two",
         {"cpu  100 0 100 800 0 0 0 0 0 0", "cpu0 50 0 50 400 0 0 0 0 0 0",
          "cpu1 50 0 50 400 0 0 0 0 0 0"},
         {"cpu  200 0 100 900 0 0 0 0 0 0", "cpu0 150 0 50 400 0 0 0 0 0 0",
          "cpu1 50 0 50 500 0 0 0 0 0 0"},
         {"cpu0", "cpu1", "cpu"},
         {1.0, 0.0, 0.5}},
        {"idle machine",
         {"cpu  10 0 10 1000 0 0 0 0 0 0", "cpu0 10 0 10 1000 0 0 0 0 0 0"},
         {"cpu  10 0 10 1100 0 0 0 0 0 0", "cpu0 10 0 10 1100 0 0 0 0 0 0"},
         {"cpu0", "cpu"},
         {0.0, 0.0}},
        {"iowait counts as idle",
         {"cpu0 10 0 10 1000 5 0 0 0 0 0"},
         {"cpu0 10 0 10 1050 55 0 0 0 0 0"},
         {"cpu0"},
         {0.0}},
        {"guest time is inside user time and is not counted twice",
         {"cpu0 100 0 0 100 0 0 0 0 50 0"},
         {"cpu0 200 0 0 200 0 0 0 0 150 0"},
         {"cpu0"},
         {0.5}},
        {"irq, softirq and steal are busy",
         {"cpu0 0 0 0 0 0 0 0 0 0 0"},
         {"cpu0 0 0 0 25 0 25 25 25 0 0"},
         {"cpu0"},
         {0.75}},
        {"a time stamp that did not advance gives 0",
         {"cpu0 100 0 0 100 0 0 0 0 0 0"},
         {"cpu0 100 0 0 100 0 0 0 0 0 0"},
         {"cpu0"},
         {0.0}},
        {"iowait stepping back counts as no idle time",
         {"cpu0 0 0 0 100 50 0 0 0 0 0"},
         {"cpu0 100 0 0 100 40 0 0 0 0 0"},
         {"cpu0"},
         {1.0}},
        {"a processor that came online has no share yet",
         {"cpu0 0 0 0 100 0 0 0 0 0 0"},
         {"cpu0 50 0 0 150 0 0 0 0 0 0", "cpu1 10 0 0 10 0 0 0 0 0 0"},
         {"cpu0", "cpu1"},
         {0.5, 0.0}},
        {"old kernels with four fields",
         {"cpu 10 0 10 80", "cpu0 10 0 10 80"},
         {"cpu 40 0 10 110", "cpu0 40 0 10 110"},
         {"cpu0", "cpu"},
         {0.5, 0.5}},
    };
    for (const auto& c : cases) {
        TempProc proc;
        ProcStatProcessorTimes times(proc.Root());
        proc.WriteStat(Stat(c.first));
        ASSERT_TRUE(times.Sample()) << c.name;
        proc.WriteStat(Stat(c.second));
        ASSERT_TRUE(times.Sample()) << c.name;
        ASSERT_EQ(times.InstanceCount(), static_cast<int>(c.usages.size())) << c.name;
        EXPECT_EQ(times.HasTotalInstance(), c.instanceNames.back() == "cpu") << c.name;
        for (std::size_t i = 0; i < c.usages.size(); ++i) {
            EXPECT_DOUBLE_EQ(times.InstanceUsage(static_cast<int>(i)), c.usages[i])
                << c.name << ", instance " << c.instanceNames[i];
        }
        EXPECT_THROW(times.InstanceUsage(static_cast<int>(c.usages.size())), std::out_of_range);
        EXPECT_THROW(times.InstanceUsage(-1), std::out_of_range);
    }
}

TEST(ProcStatProcessorTimes, FeedsTheLoadFigure) {
    struct Case {
        std::string name;
        std::vector<std::string> first, second;
        int load;
    };
    const Case cases[] = {
        {"one busy core of two shows half",
         {"cpu  0 0 0 0 0 0 0 0 0 0", "cpu0 0 0 0 0 0 0 0 0 0 0", "cpu1 0 0 0 0 0 0 0 0 0 0"},
         {"cpu  100 0 0 100 0 0 0 0 0 0", "cpu0 100 0 0 0 0 0 0 0 0 0",
          "cpu1 0 0 0 100 0 0 0 0 0 0"},
         50},
        {"idle shows 1",
         {"cpu  0 0 0 0 0 0 0 0 0 0", "cpu0 0 0 0 0 0 0 0 0 0 0", "cpu1 0 0 0 0 0 0 0 0 0 0"},
         {"cpu  0 0 0 200 0 0 0 0 0 0", "cpu0 0 0 0 100 0 0 0 0 0 0", "cpu1 0 0 0 100 0 0 0 0 0 0"},
         1},
    };
    for (const auto& c : cases) {
        TempProc proc;
        ProcStatProcessorTimes times(proc.Root());
        proc.WriteStat(Stat(c.first));
        SampleProcessorLoad(times);
        proc.WriteStat(Stat(c.second));
        EXPECT_EQ(SampleProcessorLoad(times), c.load) << c.name;
    }
}

TEST(ProcStatProcessorTimes, FailedSamplesKeepThePreviousOne) {
    TempProc proc;
    ProcStatProcessorTimes times(proc.Root());
    EXPECT_FALSE(times.Sample()) << "no stat file";
    EXPECT_EQ(times.InstanceCount(), 0);
    proc.WriteStat(Stat({"cpu  1 0 0 1 0 0 0 0 0 0", "cpu0 1 0 0 1 0 0 0 0 0 0"}));
    EXPECT_EQ(times.InstanceCount(), 2) << "the first count takes a sample";
    EXPECT_DOUBLE_EQ(times.InstanceUsage(0), 0.0) << "one sample has no share";
    const char* broken[] = {"", "intr 1 2 3\n", "cpu\n", "cpux 1 2 3 4\n", "cpu0 1 2 3\n"};
    for (const char* text : broken) {
        proc.WriteStat(text);
        EXPECT_FALSE(times.Sample()) << '"' << text << '"';
        EXPECT_EQ(times.InstanceCount(), 2) << '"' << text << '"';
    }
    EXPECT_THROW(SampleProcessorLoad(times), std::runtime_error);
}

TEST(ProcStatProcessorTimes, ReadsManyProcessorsPastLongLines) {
    // 500 processors make the processor lines alone longer than one read; a huge interrupt
    // line after them must not be needed.
    std::vector<std::string> first{"cpu  0 0 0 0 0 0 0 0 0 0"},
        second{"cpu  500 0 0 500 0 0 0 0 0 0"};
    for (int i = 0; i < 500; ++i) {
        first.push_back("cpu" + std::to_string(i) + " 1000000 0 0 1000000 0 0 0 0 0 0");
        second.push_back("cpu" + std::to_string(i) + " 1000001 0 0 1000001 0 0 0 0 0 0");
    }
    std::string intr = "intr";
    for (int i = 0; i < 100000; ++i) intr += " 0";
    TempProc proc;
    ProcStatProcessorTimes times(proc.Root());
    proc.WriteStat(Stat(first) + intr + "\n");
    ASSERT_TRUE(times.Sample());
    proc.WriteStat(Stat(second) + intr + "\n");
    ASSERT_TRUE(times.Sample());
    ASSERT_EQ(times.InstanceCount(), 501);
    EXPECT_TRUE(times.HasTotalInstance());
    EXPECT_DOUBLE_EQ(times.InstanceUsage(499), 0.5);
    EXPECT_DOUBLE_EQ(times.InstanceUsage(500), 0.5);
}

TEST(ProcStatProcessorTimes, LiveMachine) {
    ProcStatProcessorTimes times;
    ASSERT_TRUE(times.Sample());
    ASSERT_TRUE(times.Sample());
    EXPECT_EQ(times.InstanceCount(), static_cast<int>(::sysconf(_SC_NPROCESSORS_ONLN)) + 1);
    EXPECT_TRUE(times.HasTotalInstance());
    for (int i = 0; i < times.InstanceCount(); ++i) {
        const double u = times.InstanceUsage(i);
        EXPECT_GE(u, 0.0);
        EXPECT_LE(u, 1.0);
    }
    const int load = SampleProcessorLoad(times);
    EXPECT_GE(load, 1);
    EXPECT_LE(load, 100);
}

}  // namespace
}  // namespace orp
