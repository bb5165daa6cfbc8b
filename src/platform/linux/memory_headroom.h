#pragma once
// How much memory can still be taken before something gets killed for it.
//
// On Linux, running out of memory does not make an allocation fail: the OOM killer ends some
// process, usually the largest, and that process loses its unsaved work. A freeing run must
// therefore stop before that point, not notice it afterwards. The headroom is the smaller of
//   - the system's: MemAvailable + SwapFree (page cache the kernel can drop, plus room to swap
//     other programs out, which is what a freeing run is for), and
//   - each memory cgroup limit above this process (v2 memory.max - memory.current, v1
//     memory.limit_in_bytes - memory.usage_in_bytes), since hitting one summons the OOM killer
//     inside that group even when the machine has plenty.
// The cgroup figures count page cache as used, so a limited group reads tighter than it is:
// the safe side.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orp {

struct MemoryHeadroom {
    std::int64_t availableBytes = 0;  // what can still be taken, not below 0
    std::int64_t domainBytes = 0;     // the size of what limits it: MemTotal or a cgroup limit
};

// What a freeing run leaves untouched: max(256 MiB, 5 % of the limiting domain). The 256 MiB
// keep a small machine's desktop, shell and the program itself alive; 5 % scales that to the
// working sets of a large one. It is also the margin for other programs that allocate while
// a run is between two readings.
std::int64_t SafetyFloorBytes(std::int64_t domainBytes);

class MemoryHeadroomReader {
public:
    // Finds the process's memory cgroups once, from <root>/proc/self/cgroup; limits are read
    // afresh by every Read(). A cgroup path that leaves the visible hierarchy (a cgroup
    // namespace shows such paths with "..") cannot be followed and is left out.
    explicit MemoryHeadroomReader(const std::string& root = "/");

    // nullopt when /proc/meminfo cannot be read. Does not allocate.
    std::optional<MemoryHeadroom> Read() const;

    // The number of cgroup levels whose limit is read (for tests and diagnostics).
    std::size_t LimitCount() const { return limits_.size(); }

private:
    struct LimitFiles {
        std::string limit;  // "max" or a byte count
        std::string usage;
    };
    std::string meminfoPath_;
    std::vector<LimitFiles> limits_;
};

}  // namespace orp
