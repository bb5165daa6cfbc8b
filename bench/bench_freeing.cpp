// A freeing run through the real heap against the plainest loop that does the same work:
// mmap, write every byte, munmap, for the same 1 MiB blocks in the same process. The run may
// cost a little more (the list of blocks, the progress arithmetic, the headroom readings);
// the ratio says how much. Rounds alternate which goes first so that neither always finds
// the page allocator warm.
#include <sys/mman.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "freeing/freeing_run.h"
#include "platform/linux/mmap_heap.h"

namespace {

constexpr std::int64_t kBlocks = 2048;  // 2 GiB
constexpr std::size_t kBlockBytes = 1048576;
constexpr int kRounds = 7;

class SilentHost : public orp::IFreeingRunHost {
public:
    int PassesWanted() override { return 1; }
    bool AbortRequested() override { return false; }
    void PumpMessages() override {}
    void PassStarting(int, int) override {}
    void Progress(std::int64_t, std::int64_t, int) override {}
    void PassFinished() override {}
};

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

double TimeRun(orp::MmapBlockHeap& heap, std::vector<void*>& blocks, bool& complete) {
    SilentHost host;
    const auto t0 = Clock::now();
    const orp::FreeingRunStats stats =
        orp::RunFreeingPasses(heap, host, kBlocks, kBlockBytes, blocks);
    const auto t1 = Clock::now();
    complete = stats.blocksObtained == kBlocks && stats.blocksReleased == kBlocks;
    return Seconds(t0, t1);
}

double TimeReference(std::vector<void*>& held, bool& complete) {
    const auto t0 = Clock::now();
    std::int64_t n = 0;
    for (; n < kBlocks; ++n) {
        void* p = ::mmap(nullptr, kBlockBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS,
                         -1, 0);
        if (p == MAP_FAILED) break;
        std::memset(p, 0, kBlockBytes);
        held[static_cast<std::size_t>(n)] = p;
    }
    for (std::int64_t i = 0; i < n; ++i) ::munmap(held[static_cast<std::size_t>(i)], kBlockBytes);
    const auto t1 = Clock::now();
    complete = n == kBlocks;
    return Seconds(t0, t1);
}

double ResidentMiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    }
    return -1;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main() {
    orp::MmapBlockHeap heap;
    std::vector<void*> blocks;
    std::vector<void*> held(kBlocks);
    bool complete = true, allComplete = true;

    const double rssBefore = ResidentMiB();
    TimeRun(heap, blocks, complete);  // also the warm-up
    const double rssAfter = ResidentMiB();
    allComplete &= complete;
    TimeReference(held, complete);
    allComplete &= complete;

    std::vector<double> runs, refs, ratios;
    for (int round = 0; round < kRounds; ++round) {
        double run = 0, ref = 0;
        if (round % 2 == 0) {
            run = TimeRun(heap, blocks, complete);
            allComplete &= complete;
            ref = TimeReference(held, complete);
        } else {
            ref = TimeReference(held, complete);
            allComplete &= complete;
            run = TimeRun(heap, blocks, complete);
        }
        allComplete &= complete;
        runs.push_back(run);
        refs.push_back(ref);
        ratios.push_back(ref / run);
    }
    const double rssEnd = ResidentMiB();
    const std::int64_t readings = heap.Checks();

    std::printf("bench_freeing: %lld blocks of %zu bytes (%.1f GiB), one pass, %d rounds\n",
                static_cast<long long>(kBlocks), kBlockBytes,
                kBlocks * static_cast<double>(kBlockBytes) / (1 << 30), kRounds);
    std::printf("freeing run (RunFreeingPasses + MmapBlockHeap), median: %.1f ms  (%.2f GiB/s)\n",
                Median(runs) * 1e3, 2.0 / Median(runs));
    std::printf("reference loop (mmap + memset + munmap), median:    %.1f ms  (%.2f GiB/s)\n",
                Median(refs) * 1e3, 2.0 / Median(refs));
    std::printf("throughput ratio run/reference, median of rounds (goal >= 0.95): %.3f\n",
                Median(ratios));
    std::printf("throughput ratio run/reference, worst round:                   %.3f\n",
                *std::min_element(ratios.begin(), ratios.end()));
    std::printf("headroom readings over %d runs: %lld (%.1f per run)\n", kRounds + 1,
                static_cast<long long>(readings), readings / double(kRounds + 1));
    std::printf("resident size after first run minus before (goal <= 8): %.2f MiB\n",
                rssAfter - rssBefore);
    std::printf("resident size after all rounds minus before:            %.2f MiB\n",
                rssEnd - rssBefore);
    if (!allComplete) std::printf("WARNING: a run or the reference could not obtain every block\n");
    return allComplete ? 0 : 1;
}
