#pragma once
// A process source held in memory. It behaves like the real one (connect, cached listing,
// access by index) and can be told to fail at each of the places a real source fails.
#include <stdexcept>
#include <vector>

#include "platform/process_source.h"

namespace orp {

class FakeProcessSource : public IProcessSource {
public:
    std::vector<ProcessEntry> processes;  // what the next listing returns, in this order

    bool connectFails = false;   // SetActive(true) leaves the source disconnected
    bool connectThrows = false;  // SetActive(true) throws
    bool queryFails = false;     // the listing throws std::runtime_error
    int failAtEntry = -1;        // At(failAtEntry) throws std::runtime_error

    int connects = 0;     // SetActive(true) calls
    int disconnects = 0;  // SetActive(false) calls
    int cacheDrops = 0;   // ClearCache calls
    int queries = 0;      // listings taken

    bool Active() const override { return active_; }

    void SetActive(bool active) override {
        if (active) {
            ++connects;
            if (connectThrows) throw std::runtime_error("cannot connect");
            if (connectFails) return;
        } else {
            ++disconnects;
        }
        active_ = active;
        if (!active_) Drop();
    }

    void ClearCache() override {
        ++cacheDrops;
        Drop();
    }

    int Count() override {
        if (!active_) return 0;
        if (!cached_) {
            ++queries;
            if (queryFails) throw std::runtime_error("query failed");
            list_ = processes;
            cached_ = true;
        }
        return static_cast<int>(list_.size());
    }

    const ProcessEntry& At(int index) override {
        if (index == failAtEntry) throw std::runtime_error("entry unreadable");
        if (index < 0 || index >= Count()) throw std::out_of_range("no such process entry");
        return list_[static_cast<std::size_t>(index)];
    }

private:
    void Drop() {
        cached_ = false;
        list_.clear();
    }

    bool active_ = false;
    bool cached_ = false;
    std::vector<ProcessEntry> list_;
};

}  // namespace orp
