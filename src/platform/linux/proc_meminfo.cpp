#include "platform/linux/proc_meminfo.h"

#include <algorithm>
#include <limits>

#include "platform/linux/proc_text.h"

namespace orp {

namespace {

constexpr int kOvercommitNever = 2;  // vm.overcommit_memory: strict commit accounting

std::int64_t SaturatingSum(std::int64_t a, std::int64_t b) {
    return a > std::numeric_limits<std::int64_t>::max() - b
               ? std::numeric_limits<std::int64_t>::max()
               : a + b;
}

// A missing or unreadable setting reads as the kernel's default, heuristic overcommit.
int OvercommitMode(const std::string& path) {
    char buffer[64];
    const auto text = proc::ReadSmallFile(path.c_str(), buffer, sizeof buffer);
    if (!text) return 0;
    const auto mode = proc::ParseByteCount(*text);
    return mode && *mode <= 2 ? static_cast<int>(*mode) : 0;
}

}  // namespace

ProcMeminfoSource::ProcMeminfoSource(const std::string& root)
    : meminfoPath_(proc::UnderRoot(root, "proc/meminfo")),
      overcommitPath_(proc::UnderRoot(root, "proc/sys/vm/overcommit_memory")) {}

MemoryStatus ProcMeminfoSource::Snapshot() {
    const proc::MeminfoFields f = proc::ReadMeminfo(meminfoPath_.c_str());
    MemoryStatus s;
    if (!f.memTotal) return s;
    s.totalPhys = *f.memTotal;
    s.availPhys = std::min(f.memAvailable.value_or(f.memFree.value_or(0)), s.totalPhys);

    const std::int64_t swapTotal = f.swapTotal.value_or(0);
    s.totalPageFile = OvercommitMode(overcommitPath_) == kOvercommitNever && f.commitLimit
                          ? *f.commitLimit
                          : SaturatingSum(s.totalPhys, swapTotal);
    s.availPageFile = std::max<std::int64_t>(0, s.totalPageFile - f.committedAS.value_or(0));
    return s;
}

std::optional<std::int64_t> ProcMeminfoSource::ReadMemAvailablePlusSwapFree() const {
    const proc::MeminfoFields f = proc::ReadMeminfo(meminfoPath_.c_str());
    const auto available = f.memAvailable ? f.memAvailable : f.memFree;
    if (!available) return std::nullopt;
    return SaturatingSum(*available, f.swapFree.value_or(0));
}

}  // namespace orp
