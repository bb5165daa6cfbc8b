#pragma once
// Port: the heap that a freeing run obtains its zero-filled blocks from.
//
// Contract
// - Obtain(bytes) returns a block of exactly `bytes` bytes every one of which has been written
//   (zero-filled) before it returns, so the memory is really resident; or nullptr when the
//   block cannot be obtained. "Cannot" includes "would push the system towards running out of
//   memory": an adapter refuses before that point, never after.
// - Release(block, bytes) gives the block back to the system (not to a process-private free
//   list) and returns false when that failed. A released block is never touched again.
// - Neither call throws.
#include <cstddef>

namespace orp {

class IBlockHeap {
public:
    virtual ~IBlockHeap() = default;
    virtual void* Obtain(std::size_t bytes) = 0;
    virtual bool Release(void* block, std::size_t bytes) = 0;
};

}  // namespace orp
