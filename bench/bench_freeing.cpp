// A freeing run through the real heap against the plainest loop that does the same work:
// mmap, write every byte, munmap, for the same 1 MiB blocks in the same process. The run may
// cost a little more (the list of blocks, the progress arithmetic, the headroom readings);
// the ratio says how much. Rounds alternate which goes first so that neither always finds
// the page allocator warm.
#include <sys/mman.h>
#include <time.h>

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
constexpr int kRounds = 9;

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

// Processor time of this thread, page faults included: much less disturbed than the wall
// clock by other programs sharing the machine's cores.
double CpuSeconds() {
    timespec ts{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

struct Timing {
    double wall = 0, cpu = 0;
};

Timing TimeRun(orp::MmapBlockHeap& heap, std::vector<void*>& blocks, bool& complete) {
    SilentHost host;
    const double c0 = CpuSeconds();
    const auto t0 = Clock::now();
    const orp::FreeingRunStats stats =
        orp::RunFreeingPasses(heap, host, kBlocks, kBlockBytes, blocks);
    const auto t1 = Clock::now();
    const double c1 = CpuSeconds();
    complete = stats.blocksObtained == kBlocks && stats.blocksReleased == kBlocks;
    return {Seconds(t0, t1), c1 - c0};
}

Timing TimeReference(std::vector<void*>& held, bool& complete) {
    const double c0 = CpuSeconds();
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
    const double c1 = CpuSeconds();
    complete = n == kBlocks;
    return {Seconds(t0, t1), c1 - c0};
}

double ResidentMiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    }
    return -1;
}

// One headroom reading, the heap's only extra work per block budget.
double ReadingSeconds() {
    orp::MemoryHeadroomReader reader;
    constexpr int kReads = 2000;
    const auto t0 = Clock::now();
    for (int i = 0; i < kReads; ++i) {
        if (!reader.Read()) return -1;
    }
    return Seconds(t0, Clock::now()) / kReads;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double Best(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
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

    std::vector<double> runWall, refWall, runCpu, refCpu, wallRatios, cpuRatios;
    for (int round = 0; round < kRounds; ++round) {
        Timing run, ref;
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
        runWall.push_back(run.wall);
        refWall.push_back(ref.wall);
        runCpu.push_back(run.cpu);
        refCpu.push_back(ref.cpu);
        wallRatios.push_back(ref.wall / run.wall);
        cpuRatios.push_back(ref.cpu / run.cpu);
    }
    const double rssEnd = ResidentMiB();
    const std::int64_t readings = heap.Checks();
    const double reading = ReadingSeconds();

    std::printf("bench_freeing: %lld blocks of %zu bytes (%.1f GiB), one pass, %d rounds\n",
                static_cast<long long>(kBlocks), kBlockBytes,
                kBlocks * static_cast<double>(kBlockBytes) / (1 << 30), kRounds);
    std::printf(
        "freeing run (RunFreeingPasses + MmapBlockHeap): best %.1f ms, median %.1f ms"
        " wall; best %.1f ms processor\n",
        Best(runWall) * 1e3, Median(runWall) * 1e3, Best(runCpu) * 1e3);
    std::printf(
        "reference loop (mmap + memset + munmap):        best %.1f ms, median %.1f ms"
        " wall; best %.1f ms processor\n",
        Best(refWall) * 1e3, Median(refWall) * 1e3, Best(refCpu) * 1e3);
    std::printf("throughput ratio run/reference, best processor times (goal >= 0.95): %.3f\n",
                Best(refCpu) / Best(runCpu));
    std::printf("throughput ratio run/reference, best wall times (goal >= 0.95):      %.3f\n",
                Best(refWall) / Best(runWall));
    std::printf(
        "throughput ratio run/reference, median of rounds, processor / wall:  %.3f / %.3f\n",
        Median(cpuRatios), Median(wallRatios));
    const double perRun = readings / double(kRounds + 1);
    std::printf("headroom readings: %.1f per run, %.1f us each, %.2f %% of the run's best time\n",
                perRun, reading * 1e6, 100.0 * perRun * reading / Best(runWall));
    std::printf("resident size after first run minus before (goal <= 8): %.2f MiB\n",
                rssAfter - rssBefore);
    std::printf("resident size after all rounds minus before:            %.2f MiB\n",
                rssEnd - rssBefore);
    if (!allComplete) std::printf("WARNING: a run or the reference could not obtain every block\n");
    return allComplete ? 0 : 1;
}
