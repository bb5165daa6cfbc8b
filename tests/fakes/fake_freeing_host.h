#pragma once
// A freeing-run host that records what the run asks of the window (pumps, pass starts,
// progress, refreshes) and can be told to abort or to throw at a chosen call.
#include <cstdint>
#include <functional>
#include <ostream>
#include <stdexcept>
#include <vector>

#include "freeing/freeing_run.h"

namespace orp::testing {

struct HostEvent {
    enum class Kind { Pump, PassStarting, Progress, PassFinished };
    Kind kind = Kind::Pump;
    std::int64_t a = 0, b = 0;  // pass/passes or position/maximum
    int percent = 0;

    static HostEvent Pump() { return {Kind::Pump}; }
    static HostEvent Pass(int pass, int passes) { return {Kind::PassStarting, pass, passes}; }
    static HostEvent Step(std::int64_t pos, std::int64_t max, int pct) {
        return {Kind::Progress, pos, max, pct};
    }
    static HostEvent Refresh() { return {Kind::PassFinished}; }

    friend bool operator==(const HostEvent&, const HostEvent&) = default;
    friend std::ostream& operator<<(std::ostream& os, const HostEvent& e) {
        switch (e.kind) {
            case Kind::Pump:
                return os << "Pump";
            case Kind::PassStarting:
                return os << "Pass(" << e.a << " of " << e.b << ")";
            case Kind::Progress:
                return os << "Progress(" << e.a << "/" << e.b << " " << e.percent << "%)";
            case Kind::PassFinished:
                return os << "PassFinished";
        }
        return os;
    }
};

class HostThrow : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class FakeFreeingHost : public IFreeingRunHost {
public:
    std::function<int()> passes = [] { return 1; };
    std::function<bool()> abortWhen = [] { return false; };
    std::function<void()> onPump = [] {};
    std::function<void()> onPassFinished = [] {};
    // 1-based number of the call that throws HostThrow (0: none).
    std::int64_t throwAtPump = 0, throwAtProgress = 0, throwAtPassFinished = 0;

    int PassesWanted() override { return passes(); }
    bool AbortRequested() override {
        ++abortPolls;
        return abortWhen();
    }
    void PumpMessages() override {
        events.push_back(HostEvent::Pump());
        ++pumps;
        onPump();
        if (pumps == throwAtPump) throw HostThrow("pump");
    }
    void PassStarting(int pass, int passesShown) override {
        events.push_back(HostEvent::Pass(pass, passesShown));
    }
    void Progress(std::int64_t position, std::int64_t maximum, int percent) override {
        events.push_back(HostEvent::Step(position, maximum, percent));
        ++progressCalls;
        if (progressCalls == throwAtProgress) throw HostThrow("progress");
    }
    void PassFinished() override {
        events.push_back(HostEvent::Refresh());
        ++refreshes;
        onPassFinished();
        if (refreshes == throwAtPassFinished) throw HostThrow("refresh");
    }

    std::int64_t Count(HostEvent::Kind kind) const {
        std::int64_t n = 0;
        for (const auto& e : events) n += e.kind == kind;
        return n;
    }

    std::vector<HostEvent> events;
    std::int64_t pumps = 0, progressCalls = 0, refreshes = 0, abortPolls = 0;
};

}  // namespace orp::testing
