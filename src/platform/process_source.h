#pragma once
// Port: the list of running processes with their memory use.
//
// Contract
// - SetActive(true) connects to the system's process information, SetActive(false) lets go of
//   it; Active() tells which. While not active the list reads as empty.
// - ClearCache() drops the list held, so that the next Count() reads the system again.
// - Count() on an active source with no cached list takes a fresh listing and keeps it; it
//   throws std::runtime_error when the listing itself failed. A process that ends while it is
//   being listed is left out, never an error.
// - At(i) is entry i, 0 <= i < Count(), in the order the system listed them; throws
//   std::out_of_range otherwise.
// - Sizes are bytes, 64-bit, uncut; a figure the system does not report reads as 0.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace orp {

struct ProcessEntry {
    std::string name;                      // may be empty
    std::uint64_t workingSetSize = 0;      // resident now
    std::uint64_t peakWorkingSetSize = 0;  // resident at most
    std::uint64_t pageFileUsage = 0;       // swapped out
};

class IProcessSource {
public:
    virtual ~IProcessSource() = default;
    virtual bool Active() const = 0;
    virtual void SetActive(bool active) = 0;
    virtual void ClearCache() = 0;
    virtual int Count() = 0;
    virtual const ProcessEntry& At(int index) = 0;
};

}  // namespace orp
