#pragma once
// The memory status from /proc/meminfo, in 64-bit byte counts.
//   totalPhys      MemTotal
//   availPhys      MemAvailable (MemFree on kernels before 3.14, which lack it), at most
//                  MemTotal so that "used" never goes negative
//   totalPageFile  the commit limit: MemTotal + SwapTotal, or the kernel's CommitLimit when
//                  vm.overcommit_memory is 2 (strict accounting; only then is it enforced)
//   availPageFile  the limit minus Committed_AS, not below 0 (heuristic overcommit lets
//                  Committed_AS run past the limit)
// The root directory stands for "/" so that tests can read fixture trees.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/memory_status.h"

namespace orp {

class ProcMeminfoSource : public IMemoryStatusSource {
public:
    explicit ProcMeminfoSource(const std::string& root = "/");

    // All zeros when MemTotal cannot be read.
    MemoryStatus Snapshot() override;

    // MemAvailable + SwapFree: what can still be taken before the kernel has nothing left to
    // reclaim or swap out. nullopt when it cannot be read.
    std::optional<std::int64_t> ReadMemAvailablePlusSwapFree() const;

private:
    std::string meminfoPath_;
    std::string overcommitPath_;
};

}  // namespace orp
