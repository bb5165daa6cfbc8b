#pragma once
// A heap that hands out addresses it never backs with memory and keeps a ledger of them, so a
// test can see every block obtained, refused, released, released twice or never released.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "platform/block_heap.h"

namespace orp::testing {

class FakeHeap : public IBlockHeap {
public:
    enum class State { Held, Released, ReleaseFailed };

    // 1-based number of the Obtain call that is refused (0: none); with refuseOnwards every
    // later call is refused too.
    std::int64_t refuseAt = 0;
    bool refuseOnwards = false;
    // 1-based number of the Release call that reports failure (0: none). The block counts as
    // not given back, but a second attempt on it is still a fault.
    std::int64_t failReleaseAt = 0;
    // Runs at the start of every Obtain call: lets a test look at its caller in mid-run.
    std::function<void()> onObtain;

    void* Obtain(std::size_t bytes) override {
        ++obtainCalls;
        if (onObtain) onObtain();
        if (refuseAt != 0 && (obtainCalls == refuseAt || (refuseOnwards && obtainCalls > refuseAt)))
            return nullptr;
        next_ += 4096;
        void* block = reinterpret_cast<void*>(next_);
        ledger_[block] = State::Held;
        obtainedOrder.push_back(block);
        obtainedBytes.push_back(bytes);
        ++held_;
        if (held_ > maxHeld) maxHeld = held_;
        return block;
    }

    bool Release(void* block, std::size_t bytes) override {
        ++releaseCalls;
        auto it = ledger_.find(block);
        if (it == ledger_.end()) {
            ++unknownReleases;
            return false;
        }
        if (it->second != State::Held) {
            ++repeatedReleases;
            return false;
        }
        if (bytes != obtainedBytes[IndexOf(block)]) ++sizeMismatches;
        releasedOrder.push_back(block);
        --held_;
        if (failReleaseAt != 0 && releaseCalls == failReleaseAt) {
            it->second = State::ReleaseFailed;
            return false;
        }
        it->second = State::Released;
        return true;
    }

    // Blocks obtained and never offered back.
    std::int64_t Outstanding() const { return held_; }
    std::int64_t Obtained() const { return static_cast<std::int64_t>(obtainedOrder.size()); }
    // Faults of the caller: releasing what was not obtained, or twice, or with another size.
    std::int64_t Misuses() const { return unknownReleases + repeatedReleases + sizeMismatches; }

    std::int64_t obtainCalls = 0, releaseCalls = 0;
    std::int64_t unknownReleases = 0, repeatedReleases = 0, sizeMismatches = 0;
    std::int64_t maxHeld = 0;
    std::vector<void*> obtainedOrder, releasedOrder;
    std::vector<std::size_t> obtainedBytes;

private:
    std::size_t IndexOf(void* block) const {
        for (std::size_t i = 0; i < obtainedOrder.size(); ++i)
            if (obtainedOrder[i] == block) return i;
        return 0;
    }

    std::uintptr_t next_ = 0x10000;
    std::map<void*, State> ledger_;
    std::int64_t held_ = 0;
};

}  // namespace orp::testing
