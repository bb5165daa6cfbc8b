#pragma once
// Port: raw processor times, sampled on request.
//
// Contract
// - Sample() takes a new sample; the current one becomes the previous one. Returns false when
//   no figures could be read (the previous sample is then kept as it was).
// - InstanceCount() is the number of instances: one per processor, plus one overall-total
//   instance when HasTotalInstance() is true (it is then the LAST instance). The first call
//   takes a sample when none was taken yet.
// - InstanceUsage(i) is the busy share 0..1 of instance i between the last two samples; 0 when
//   both samples carry the same time stamp or only one sample exists. An index outside
//   0..count-1 throws std::out_of_range.
#include <stdexcept>

namespace orp {

class IProcessorTimes {
public:
    virtual ~IProcessorTimes() = default;
    virtual bool Sample() = 0;
    virtual int InstanceCount() = 0;
    virtual bool HasTotalInstance() = 0;
    virtual double InstanceUsage(int index) = 0;
};

}  // namespace orp
