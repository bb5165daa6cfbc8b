#include "memory/cpu_load.h"
#include "memory/units.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace orp {

namespace {

int InstancePercent(double usage) {
    // A NaN or infinite share is a broken sample, not a load: refuse it so the last figure stays.
    if (!std::isfinite(usage)) throw std::domain_error("processor usage is not a number");
    const long double p = RoundHalfEven(static_cast<long double>(usage) * 100.0L);
    return static_cast<int>(std::clamp(p, 0.0L, 100.0L));
}

}  // namespace

int CombineProcessorLoad(const std::vector<int>& instancePercents, bool lastIsTotal) {
    if (instancePercents.empty()) throw std::invalid_argument("no processor instances");
    long double load = 0;
    if (lastIsTotal) {
        load = instancePercents.back();
    } else {
        long double sum = 0;
        for (int p : instancePercents) sum += p;
        load = RoundHalfEven(sum / static_cast<long double>(instancePercents.size()));
    }
    // An idle machine shows 1, never 0.
    return static_cast<int>(std::clamp(load, 1.0L, 100.0L));
}

int SampleProcessorLoad(IProcessorTimes& times) {
    // A failed sample would leave the previous pair of samples in place; showing their share
    // again would present an old figure as a new one, so it ends the step like any other error.
    if (!times.Sample()) throw std::runtime_error("processor times could not be sampled");
    const int count = times.InstanceCount();
    if (count <= 0) throw std::runtime_error("no processor instances");
    std::vector<int> percents;
    percents.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) percents.push_back(InstancePercent(times.InstanceUsage(i)));
    return CombineProcessorLoad(percents, times.HasTotalInstance());
}

}  // namespace orp
