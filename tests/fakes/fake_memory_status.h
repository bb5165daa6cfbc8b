#pragma once
// A memory status set by the byte.
#include "platform/memory_status.h"

namespace orp {

class FakeMemoryStatus : public IMemoryStatusSource {
public:
    MemoryStatus status;
    int snapshots = 0;
    MemoryStatus Snapshot() override {
        ++snapshots;
        return status;
    }
};

}  // namespace orp
