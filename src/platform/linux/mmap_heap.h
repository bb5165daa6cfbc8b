#pragma once
// The heap of a freeing run: every block is its own anonymous mapping, written through when it
// is obtained and unmapped when it is released, so the memory really goes back to the system.
// (malloc would not do: after a large free glibc raises its mmap threshold and serves the next
// blocks from its own heap, which it keeps, so the program would hold what it "freed".)
//
// Safety floor. Obtain refuses (nullptr) a block that would take the headroom of
// memory_headroom.h below SafetyFloorBytes: past that point Linux does not fail an
// allocation, it kills a process. Reading /proc for every block would cost a good part of the
// run, so the heap reads the headroom H once and then spends a budget of
//     B = min(H - floor, maxBytesBetweenChecks)
// charging every block ChargeFor(bytes), which is at least what the block can take from the
// headroom: all its pages, their page-table entries and two pages for page-table pages and
// the mapping's own record. While the budget lasts, this heap's blocks alone cannot bring the
// headroom below H - B >= floor. When the next block's charge exceeds what is left, when the
// reading is older than maxCheckAge, or on the first block, it reads again; if the fresh
// budget still does not cover the block, the block is refused. Releasing never adds to the
// budget (it only makes the next reading larger). What other programs allocate in between is
// bounded only by the window (64 MiB of blocks or 50 ms by default); the floor is their margin.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/block_heap.h"
#include "platform/linux/memory_headroom.h"

namespace orp {

struct HeapCheckRate {
    std::int64_t maxBytesBetweenChecks = std::int64_t{64} << 20;
    std::chrono::nanoseconds maxCheckAge = std::chrono::milliseconds(50);
};

class MmapBlockHeap : public IBlockHeap {
public:
    // Called for every reading; nullopt means "cannot tell", and no block is given then.
    using HeadroomProbe = std::function<std::optional<MemoryHeadroom>()>;

    // Reads the headroom under `root` (normally "/"; a fixture tree in tests).
    explicit MmapBlockHeap(const std::string& root = "/");
    explicit MmapBlockHeap(HeadroomProbe probe, HeapCheckRate rate = {});

    void* Obtain(std::size_t bytes) override;
    bool Release(void* block, std::size_t bytes) override;

    // What one block of `bytes` may take from the headroom, at most.
    static std::int64_t ChargeFor(std::size_t bytes);
    // Readings taken so far.
    std::int64_t Checks() const { return checks_; }

private:
    void Measure(std::chrono::steady_clock::time_point now);

    HeadroomProbe probe_;
    HeapCheckRate rate_;
    bool measured_ = false;
    std::int64_t budget_ = 0;
    std::chrono::steady_clock::time_point measuredAt_{};
    std::int64_t checks_ = 0;
};

}  // namespace orp
