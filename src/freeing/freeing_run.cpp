#include "freeing/freeing_run.h"

#include <limits>
#include <stdexcept>

#include "memory/units.h"

namespace orp {

namespace {

// The heap promises not to throw; a block it fails on anyway counts as not released, exactly
// like one it reports as failed, and the run goes on with the next.
bool ReleaseOne(IBlockHeap& heap, void* block, std::size_t bytes) noexcept {
    if (block == nullptr) return false;
    try {
        return heap.Release(block, bytes);
    } catch (...) {
        return false;
    }
}

std::int64_t ProgressMaximum(std::int64_t blockCount) {
    if (blockCount <= 0) return 0;
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    return blockCount > kMax / 2 ? kMax : 2 * blockCount;
}

}  // namespace

FreeingRunStats RunFreeingPasses(IBlockHeap& heap, IFreeingRunHost& host, std::int64_t blockCount,
                                 std::size_t blockBytes, std::vector<void*>& blocks) {
    if (!blocks.empty()) throw std::logic_error("a freeing run is already in progress");

    FreeingRunStats stats;
    const std::int64_t maximum = ProgressMaximum(blockCount);
    // blocks[0 .. released) have been handed back in this pass; the rest are still held.
    std::size_t released = 0;
    try {
        for (int pass = 1;; ++pass) {
            const int passes = host.PassesWanted();
            if (pass > passes || host.AbortRequested()) break;
            host.PumpMessages();
            host.PassStarting(pass, passes);

            std::int64_t position = 0;
            bool refused = false;
            for (std::int64_t j = 1; j <= blockCount && !host.AbortRequested(); ++j) {
                // The slot exists before the block does, so a block is never held without
                // being on the list that the clean-up below walks.
                blocks.push_back(nullptr);
                void* block = heap.Obtain(blockBytes);
                if (block == nullptr) {
                    blocks.pop_back();
                    refused = true;
                    break;
                }
                blocks.back() = block;
                ++stats.blocksObtained;
                ++position;
                host.Progress(position, maximum, PercentOf(position, maximum));
                host.PumpMessages();
            }

            // Not interrupted by an abort: every block of the pass goes back, in the order
            // obtained, each exactly once.
            while (released < blocks.size()) {
                host.PumpMessages();
                void* block = blocks[released];
                ++released;
                if (ReleaseOne(heap, block, blockBytes)) ++stats.blocksReleased;
                ++position;
                host.Progress(position, maximum, PercentOf(position, maximum));
                host.PumpMessages();
            }
            blocks.clear();
            released = 0;

            if (refused) stats.obtainRefused = true;
            host.PassFinished();
            ++stats.passesRun;
            if (refused) break;
        }
    } catch (...) {
        for (std::size_t i = released; i < blocks.size(); ++i) {
            ReleaseOne(heap, blocks[i], blockBytes);
        }
        blocks.clear();
        throw;
    }
    return stats;
}

}  // namespace orp
