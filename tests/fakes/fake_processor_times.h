#pragma once
// Processor times set by hand: the busy share of each instance, whether the last one is the
// overall total, and a switch that makes sampling fail.
#include <cmath>
#include <stdexcept>
#include <vector>

#include "platform/processor_times.h"

namespace orp {

class FakeProcessorTimes : public IProcessorTimes {
public:
    std::vector<double> usages;  // one per instance, in index order
    bool hasTotal = false;
    bool sampleFails = false;
    int samples = 0;  // Sample() calls, failed ones included

    bool Sample() override {
        ++samples;
        return !sampleFails;
    }
    int InstanceCount() override {
        if (samples == 0) Sample();
        return static_cast<int>(usages.size());
    }
    bool HasTotalInstance() override { return hasTotal; }
    double InstanceUsage(int index) override {
        if (index < 0 || index >= static_cast<int>(usages.size())) {
            throw std::out_of_range("no such processor instance");
        }
        return usages[static_cast<std::size_t>(index)];
    }
};

}  // namespace orp
