#pragma once
// Port: the system's memory status, taken as one snapshot per call.
//
// Contract
// - Snapshot() never fails: a source that cannot read the system reports zeros, the figures
//   then read as "nothing" rather than stopping a tick or a run.
// - All fields are byte counts, 64-bit, never negative.
//   totalPhys      physical memory usable by the system
//   availPhys      physical memory available now without swapping
//   totalPageFile  the commit limit (physical memory plus swap, or the kernel's strict limit)
//   availPageFile  commit still available, not below 0
// - No snapshot is cached; every call reads afresh.
#include <cstdint>

namespace orp {

struct MemoryStatus {
    std::int64_t totalPhys = 0;
    std::int64_t availPhys = 0;
    std::int64_t totalPageFile = 0;
    std::int64_t availPageFile = 0;
};

class IMemoryStatusSource {
public:
    virtual ~IMemoryStatusSource() = default;
    virtual MemoryStatus Snapshot() = 0;
};

}  // namespace orp
