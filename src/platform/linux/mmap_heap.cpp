#include "platform/linux/mmap_heap.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace orp {

namespace {

std::int64_t PageBytes() {
    static const std::int64_t page = [] {
        const long p = ::sysconf(_SC_PAGESIZE);
        return p > 0 ? static_cast<std::int64_t>(p) : std::int64_t{4096};
    }();
    return page;
}

// Far beyond any block a run asks for, and small enough that the charge cannot overflow.
constexpr std::size_t kLargestBlock = std::size_t{1} << 40;

}  // namespace

MmapBlockHeap::MmapBlockHeap(const std::string& root)
    : MmapBlockHeap(
          [reader = std::make_shared<MemoryHeadroomReader>(root)] { return reader->Read(); }) {}

MmapBlockHeap::MmapBlockHeap(HeadroomProbe probe, HeapCheckRate rate)
    : probe_(std::move(probe)), rate_(rate) {}

std::int64_t MmapBlockHeap::ChargeFor(std::size_t bytes) {
    const std::int64_t page = PageBytes();
    const std::int64_t pages = (static_cast<std::int64_t>(bytes) + page - 1) / page;
    // 8 bytes of page table per page, and two pages for the table pages a mapping may need at
    // its ends plus the kernel's record of the mapping.
    return pages * page + pages * 8 + 2 * page;
}

void MmapBlockHeap::Measure(std::chrono::steady_clock::time_point now) {
    ++checks_;
    measured_ = true;
    measuredAt_ = now;
    const std::optional<MemoryHeadroom> h = probe_ ? probe_() : std::nullopt;
    if (!h) {
        budget_ = 0;
        return;
    }
    budget_ =
        std::min(h->availableBytes - SafetyFloorBytes(h->domainBytes), rate_.maxBytesBetweenChecks);
}

void* MmapBlockHeap::Obtain(std::size_t bytes) {
    if (bytes == 0 || bytes > kLargestBlock) return nullptr;
    const std::int64_t charge = ChargeFor(bytes);
    const auto now = std::chrono::steady_clock::now();
    if (!measured_ || charge > budget_ || now - measuredAt_ >= rate_.maxCheckAge) {
        Measure(now);
        if (charge > budget_) return nullptr;
    }
    void* block =
        ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED) return nullptr;
    budget_ -= charge;
    // Writing every byte is the point: it makes each page resident, which is what pushes the
    // other programs' idle pages out.
    std::memset(block, 0, bytes);
    return block;
}

bool MmapBlockHeap::Release(void* block, std::size_t bytes) {
    if (block == nullptr || bytes == 0) return false;
    return ::munmap(block, bytes) == 0;
}

}  // namespace orp
