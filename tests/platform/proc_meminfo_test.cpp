#include "platform/linux/proc_meminfo.h"

#include <gtest/gtest.h>
#include <sys/sysinfo.h>

#include <string>

#include "platform/linux/proc_text.h"

namespace orp {
namespace {

const std::string kFixtures = std::string(ORP_FIXTURES) + "/memory/";
constexpr std::int64_t kKiB = 1024;

TEST(ProcMeminfoSource, ReadsFixtureTrees) {
    struct Case {
        const char* tree;
        MemoryStatus want;
    };
    // Fixture figures in kB: MemTotal 8000000, MemFree 1000000, MemAvailable 3000000,
    // SwapTotal 2000000, CommitLimit 6000000, Committed_AS 4000000, unless the tree says else.
    const Case cases[] = {
        {"heuristic", {8000000 * kKiB, 3000000 * kKiB, 10000000 * kKiB, 6000000 * kKiB}},
        {"always", {8000000 * kKiB, 3000000 * kKiB, 10000000 * kKiB, 6000000 * kKiB}},
        // strict accounting: the kernel's own limit
        {"strict", {8000000 * kKiB, 3000000 * kKiB, 6000000 * kKiB, 2000000 * kKiB}},
        {"strict_without_commit_limit",
         {8000000 * kKiB, 3000000 * kKiB, 10000000 * kKiB, 6000000 * kKiB}},
        // Committed_AS 12000000 is past the limit: nothing available, not a negative figure
        {"overcommitted", {8000000 * kKiB, 3000000 * kKiB, 10000000 * kKiB, 0}},
        {"no_overcommit_file", {8000000 * kKiB, 3000000 * kKiB, 10000000 * kKiB, 6000000 * kKiB}},
        // kernels before 3.14 have no MemAvailable
        {"old_kernel", {8000000 * kKiB, 1000000 * kKiB, 10000000 * kKiB, 6000000 * kKiB}},
        // never more available than there is
        {"avail_above_total", {8000000 * kKiB, 8000000 * kKiB, 10000000 * kKiB, 6000000 * kKiB}},
        {"no_swap", {8000000 * kKiB, 3000000 * kKiB, 8000000 * kKiB, 4000000 * kKiB}},
        // unreadable lines are skipped, the readable ones still count
        {"garbage", {1048576 * kKiB, 524288 * kKiB, 1048576 * kKiB, 1048576 * kKiB}},
        {"no_total", {0, 0, 0, 0}},
        {"does_not_exist", {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        ProcMeminfoSource source(kFixtures + c.tree);
        const MemoryStatus s = source.Snapshot();
        EXPECT_EQ(s.totalPhys, c.want.totalPhys) << c.tree;
        EXPECT_EQ(s.availPhys, c.want.availPhys) << c.tree;
        EXPECT_EQ(s.totalPageFile, c.want.totalPageFile) << c.tree;
        EXPECT_EQ(s.availPageFile, c.want.availPageFile) << c.tree;
    }
}

TEST(ProcMeminfoSource, AvailablePlusSwapFree) {
    struct Case {
        const char* tree;
        std::optional<std::int64_t> want;
    };
    const Case cases[] = {
        {"heuristic", (3000000 + 1500000) * kKiB},
        {"old_kernel", (1000000 + 1500000) * kKiB},
        {"no_swap", 3000000 * kKiB},
        {"does_not_exist", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProcMeminfoSource(kFixtures + c.tree).ReadMemAvailablePlusSwapFree(), c.want)
            << c.tree;
}

TEST(ProcText, MeminfoLinesThatAreNotSizesAreLeftOut) {
    struct Case {
        const char* text;
        std::optional<std::int64_t> memTotal;
    };
    const Case cases[] = {
        {"MemTotal: 16 kB\n", 16 * kKiB},
        {"MemTotal:16 kB", 16 * kKiB},
        {"MemTotal:\t 16 kB \r\n", 16 * kKiB},
        {"MemTotal: 16\n", std::nullopt},     // no unit: a count, not a size
        {"MemTotal: 16 MB\n", std::nullopt},  // not the kernel's unit
        {"MemTotal: -16 kB\n", std::nullopt},
        {"MemTotal: 1 6 kB\n", std::nullopt},
        {"MemTotal: 0x10 kB\n", std::nullopt},
        {"MemTotal: kB\n", std::nullopt},
        {"MemTotal 16 kB\n", std::nullopt},
        {"MemTotalX: 16 kB\n", std::nullopt},
        {"memtotal: 16 kB\n", std::nullopt},
        {"MemTotal: 9007199254740991 kB\n", 9007199254740991 * kKiB},  // 2^53 - 1, fits
        {"MemTotal: 9007199254740992 kB\n", std::nullopt},             // times 1024 passes 2^63
        {"MemTotal: 99999999999999999999999 kB\n", std::nullopt},
        {"MemTotal: 5 kB\nMemTotal: 7 kB\n", 5 * kKiB},
        {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(proc::ParseMeminfo(c.text).memTotal, c.memTotal) << '"' << c.text << '"';
}

TEST(ProcText, PathsUnderARoot) {
    EXPECT_EQ(proc::UnderRoot("/", "proc/meminfo"), "/proc/meminfo");
    EXPECT_EQ(proc::UnderRoot("/tmp/t", "/proc/meminfo"), "/tmp/t/proc/meminfo");
    EXPECT_EQ(proc::UnderRoot("/tmp/t/", "proc"), "/tmp/t/proc");
    EXPECT_EQ(proc::UnderRoot("", "proc"), "/proc");
}

// This machine's /proc: MemTotal is the kernel's totalram, which sysinfo reports too.
TEST(ProcMeminfoSource, LiveSystem) {
    struct sysinfo info {};
    ASSERT_EQ(sysinfo(&info), 0);
    const MemoryStatus s = ProcMeminfoSource().Snapshot();
    EXPECT_EQ(s.totalPhys, static_cast<std::int64_t>(info.totalram) * info.mem_unit);
    EXPECT_GT(s.availPhys, 0);
    EXPECT_LE(s.availPhys, s.totalPhys);
    EXPECT_GT(s.totalPageFile, 0);
    EXPECT_GE(s.availPageFile, 0);
    EXPECT_LE(s.availPageFile, s.totalPageFile);
    const auto headroom = ProcMeminfoSource().ReadMemAvailablePlusSwapFree();
    ASSERT_TRUE(headroom.has_value());
    EXPECT_GT(*headroom, 0);
}

}  // namespace
}  // namespace orp
