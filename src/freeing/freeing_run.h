#pragma once
// The passes of a freeing run: obtain N zero-filled blocks, release them all, refresh, repeat.
// The window implements the host (pass panel, progress, message pump, abort flag, refresh);
// this loop knows nothing of widgets and can be driven by a test host.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/block_heap.h"

namespace orp {

class IFreeingRunHost {
public:
    virtual ~IFreeingRunHost() = default;
    virtual int PassesWanted() = 0;     // the attempts control, read before every pass
    virtual bool AbortRequested() = 0;  // polled before every pass and every block obtained
    virtual void PumpMessages() = 0;    // process pending window messages
    // Progress position 0 and the pass label "Pass i of n".
    virtual void PassStarting(int pass, int passes) = 0;
    // After every block obtained or released; percent = round(position / maximum * 100).
    virtual void Progress(std::int64_t position, std::int64_t maximum, int percent) = 0;
    virtual void PassFinished() = 0;  // refresh of the memory figures; may throw
};

struct FreeingRunStats {
    int passesRun = 0;
    std::int64_t blocksObtained = 0;  // over all passes
    std::int64_t blocksReleased = 0;  // releases the heap reported as done
    bool obtainRefused = false;       // the heap could not give a block; no pass followed
};

// Runs the passes. Blocks go into `blocks` (the window's list of held blocks) as they are
// obtained and are all released before the next pass; also when PassFinished or any other call
// of the host throws, every block still held is released before the exception leaves (no
// leak), and `blocks` is left empty.
//
// - Messages are pumped once before every pass, once after every block obtained and twice
//   for every block released (before and after it).
// - The progress maximum is 2 * blockCount; it restarts from 0 at every pass.
// - An abort stops the obtaining of the pass; what was obtained is still released, the pass
//   is still refreshed, and no further pass starts.
// - A block the heap cannot give ends the run the same way: the heap refuses when the machine
//   is at its safety floor, and another pass would only drive it back to that edge.
// - A release that fails is not retried; the next block is released.
// - `blocks` must be empty on entry (the engine is not re-entrant); otherwise throws
//   std::logic_error and touches nothing.
FreeingRunStats RunFreeingPasses(IBlockHeap& heap, IFreeingRunHost& host, std::int64_t blockCount,
                                 std::size_t blockBytes, std::vector<void*>& blocks);

}  // namespace orp
