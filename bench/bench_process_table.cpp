// One full rebuild of the process table from /proc against `ps -e -o comm=,rss=` listing the
// same processes, measured alternately in the same run. Prints the ratio (goal: at most 1.0).
//
// Usage: bench_process_table [children (default 1000)] [repetitions (default 9)]
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "log/string_table.h"
#include "platform/linux/proc_process_source.h"
#include "processes/process_table.h"

namespace {

using Clock = std::chrono::steady_clock;

// Children that only wait; all of them are killed and reaped when this goes out of scope, on
// the error paths too. Should the bench itself be killed, the kernel ends them (death signal).
class PausedChildren {
public:
    explicit PausedChildren(int count) {
        const pid_t parent = ::getpid();
        pids_.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            const pid_t pid = ::fork();
            if (pid < 0) throw std::runtime_error("fork failed after " + std::to_string(i));
            if (pid == 0) {
                ::prctl(PR_SET_PDEATHSIG, SIGKILL);
                if (::getppid() != parent) ::_exit(0);
                while (true) ::pause();
            }
            pids_.push_back(pid);
        }
    }
    ~PausedChildren() {
        for (pid_t pid : pids_) ::kill(pid, SIGKILL);
        for (pid_t pid : pids_) {
            while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
            }
        }
    }
    PausedChildren(const PausedChildren&) = delete;
    PausedChildren& operator=(const PausedChildren&) = delete;

private:
    std::vector<pid_t> pids_;
};

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Runs ps and reads all its output; returns the number of lines.
int RunPs() {
    FILE* p = ::popen("ps -e -o comm=,rss=", "r");
    if (!p) throw std::runtime_error("popen failed");
    char buf[65536];
    int lines = 0;
    std::size_t got;
    while ((got = std::fread(buf, 1, sizeof buf, p)) > 0) lines += std::count(buf, buf + got, '\n');
    if (::pclose(p) != 0) throw std::runtime_error("ps failed");
    return lines;
}

int Run(int children, int reps) {
    PausedChildren kids(children);
    orp::StringTable table;
    orp::ResetProcessTable(table);
    orp::ProcProcessSource source;
    const orp::ProcessSortState sort{0, true};

    std::vector<double> ours, ps;
    int psLines = 0;
    for (int r = 0; r < reps; ++r) {
        // Alternate which goes first so neither always meets warm kernel caches.
        for (int k = 0; k < 2; ++k) {
            if ((r + k) % 2 == 0) {
                const auto t0 = Clock::now();
                orp::RefreshProcessTable(table, source, true, sort);
                ours.push_back(Seconds(Clock::now() - t0));
            } else {
                const auto t0 = Clock::now();
                psLines = RunPs();
                ps.push_back(Seconds(Clock::now() - t0));
            }
        }
    }
    const int rows = table.RowCount() - 1;
    if (rows < children) {
        std::fprintf(stderr, "only %d process rows for %d children\n", rows, children);
        return 1;
    }
    const double mo = Median(ours), mp = Median(ps);
    std::printf("processes listed: table %d rows, ps %d lines (%d paused children)\n", rows,
                psLines, children);
    std::printf("RefreshProcessTable (ProcProcessSource): median %.3f ms, best %.3f ms\n", mo * 1e3,
                *std::min_element(ours.begin(), ours.end()) * 1e3);
    std::printf("ps -e -o comm=,rss=:                     median %.3f ms, best %.3f ms\n", mp * 1e3,
                *std::min_element(ps.begin(), ps.end()) * 1e3);
    std::printf("ratio table / ps (median of %d): %.3f (goal <= 1.0)\n", reps, mo / mp);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const int children = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    const int reps = argc > 2 ? std::max(1, std::atoi(argv[2])) : 9;
    try {
        return Run(children, reps);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_process_table: %s\n", e.what());
        return 1;
    }
}
