#include "platform/linux/proc_process_source.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

namespace orp {
namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kK = 1024;

const std::string kTree = std::string(ORP_FIXTURES) + "/proc_tree";

using Row = std::tuple<std::string, std::uint64_t, std::uint64_t, std::uint64_t>;

std::vector<Row> Listing(IProcessSource& s) {
    std::vector<Row> rows;
    for (int i = 0; i < s.Count(); ++i) {
        const ProcessEntry& e = s.At(i);
        rows.emplace_back(e.name, e.workingSetSize, e.peakWorkingSetSize, e.pageFileUsage);
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

class TempTree {
public:
    TempTree() {
        std::string tmpl = (fs::temp_directory_path() / "orp-proc-XXXXXX").string();
        if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
        dir_ = tmpl;
    }
    ~TempTree() {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    void Process(int pid, const std::string& name, int rssKb, bool withStatus) const {
        const fs::path d = dir_ / std::to_string(pid);
        fs::create_directories(d);
        std::ofstream(d / "cmdline", std::ios::binary) << name << '\0';
        if (withStatus) {
            std::ofstream(d / "status", std::ios::binary)
                << "Name:\t" << name << "\nVmHWM:\t" << rssKb << " kB\nVmRSS:\t" << rssKb
                << " kB\nVmSwap:\t0 kB\n";
        }
    }
    std::string Root() const { return dir_.string(); }
    const fs::path& Path() const { return dir_; }

private:
    fs::path dir_;
};

TEST(ProcProcessSource, FixtureTree) {
    ProcProcessSource source(kTree);
    source.SetActive(true);
    ASSERT_TRUE(source.Active());
    std::vector<Row> expected = {
        {"systemd", 11000 * kK, 12000 * kK, 0},
        {"kthreadd", 0, 0, 0},  // kernel thread without memory lines
        {"(sd-pam)", 3000 * kK, 3100 * kK, 200 * kK},
        {"my app (beta)", 512 * kK, 600 * kK, 7 * kK},
        {"gnome-shell-calendar-server", 20000 * kK, 21000 * kK, 0},  // cut name lengthened
        {"systemd-journald", 9000 * kK, 9500 * kK, 0},
        {"chromium-browse", 30000 * kK, 31000 * kK, 0},  // argv[0] does not continue it
        {"kworker/u8:3-ev", 0, 0, 0},
        {"back\\slash\nnl", 1 * kK, 1 * kK, 0},                 // the kernel's escapes undone
        {"bigproc", 4195328 * kK, 4195329 * kK, 5242880 * kK},  // above 4 GiB, not cut
        {"manygroups", 2048 * kK, 4096 * kK, 1024 * kK},        // past a Groups line of 10 KB
        {"zombie", 0, 0, 0},
        // not listed: 500 (vanished, no status), 602 (no Name line), self, sys, 123abc, 99999
    };
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Listing(source), expected);
    EXPECT_THROW(source.At(static_cast<int>(expected.size())), std::out_of_range);
    EXPECT_THROW(source.At(-1), std::out_of_range);
}

TEST(ProcProcessSource, ConnectionAndCache) {
    TempTree tree;
    tree.Process(10, "alpha", 100, true);
    tree.Process(11, "beta", 200, true);
    ProcProcessSource source(tree.Root());
    EXPECT_EQ(source.Count(), 0) << "not connected reads as empty";
    source.SetActive(true);
    ASSERT_EQ(source.Count(), 2);

    fs::remove_all(tree.Path() / "11");
    tree.Process(12, "gamma", 300, true);
    EXPECT_EQ(source.Count(), 2) << "the cached list is kept until it is dropped";
    source.ClearCache();
    const std::vector<Row> expected = {{"alpha", 100 * kK, 100 * kK, 0},
                                       {"gamma", 300 * kK, 300 * kK, 0}};
    EXPECT_EQ(Listing(source), expected);

    source.SetActive(false);
    EXPECT_FALSE(source.Active());
    EXPECT_EQ(source.Count(), 0);

    ProcProcessSource missing(tree.Root() + "/no-such-dir");
    missing.SetActive(true);
    EXPECT_FALSE(missing.Active());
    EXPECT_EQ(missing.Count(), 0);
}

TEST(ProcProcessSource, VanishedProcessesAreSkippedWithoutEndingTheListing) {
    // Every other process is gone by the time its status is read; the directory order is the
    // file system's, so the gaps fall all through the listing.
    TempTree tree;
    std::vector<Row> expected;
    for (int pid = 100; pid < 160; ++pid) {
        const bool alive = pid % 2 == 0;
        tree.Process(pid, "p" + std::to_string(pid), pid, alive);
        if (alive) expected.emplace_back("p" + std::to_string(pid), pid * kK, pid * kK, 0);
    }
    std::sort(expected.begin(), expected.end());
    ProcProcessSource source(tree.Root());
    source.SetActive(true);
    EXPECT_EQ(Listing(source), expected);
}

TEST(ProcProcessSource, ReadProcessOfAPidThatIsNotThere) {
    const int root = ::open(kTree.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(root, 0);
    ProcessEntry e;
    EXPECT_FALSE(ProcProcessSource::ReadProcess(root, "500", e));
    EXPECT_FALSE(ProcProcessSource::ReadProcess(root, "31337", e));
    EXPECT_TRUE(ProcProcessSource::ReadProcess(root, "400", e));
    EXPECT_EQ(e.name, "gnome-shell-calendar-server");
    ::close(root);
}

std::string OwnName() {
    // The kernel's command name, lengthened the same way from argv[0].
    std::ifstream comm("/proc/self/comm");
    std::string name;
    std::getline(comm, name);
    if (name.size() == 15) {
        std::ifstream cmd("/proc/self/cmdline", std::ios::binary);
        std::string argv0;
        std::getline(cmd, argv0, '\0');
        argv0 = fs::path(argv0).filename().string();
        if (argv0.size() > name.size() && argv0.compare(0, name.size(), name) == 0) name = argv0;
    }
    return name;
}

TEST(ProcProcessSource, LiveMachineListsThisProcess) {
    ProcProcessSource source;
    source.SetActive(true);
    ASSERT_GT(source.Count(), 1);
    const std::string own = OwnName();
    const int root = ::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(root, 0);
    ProcessEntry self;
    ASSERT_TRUE(ProcProcessSource::ReadProcess(root, std::to_string(::getpid()).c_str(), self));
    ::close(root);
    EXPECT_EQ(self.name, own);
    EXPECT_GT(self.workingSetSize, 0u);
    EXPECT_GE(self.peakWorkingSetSize, self.workingSetSize);
    bool listed = false;
    for (int i = 0; i < source.Count(); ++i) {
        listed |= source.At(i).name == own && source.At(i).workingSetSize > 0;
    }
    EXPECT_TRUE(listed) << own << " is not in the listing";
}

}  // namespace
}  // namespace orp
