#pragma once
// Processor times from the kernel's /proc/stat: one instance per `cpuN` line in file order,
// then the aggregate `cpu` line as the overall-total instance (the last one).
#include <cstdint>
#include <string>
#include <vector>

#include "platform/processor_times.h"

namespace orp {

class ProcStatProcessorTimes : public IProcessorTimes {
public:
    explicit ProcStatProcessorTimes(std::string procRoot = "/proc");

    bool Sample() override;
    int InstanceCount() override;
    bool HasTotalInstance() override;
    double InstanceUsage(int index) override;

    struct Times {
        std::string name;         // "cpu0", ..., "cpu" for the total
        std::uint64_t idle = 0;   // idle + iowait
        std::uint64_t total = 0;  // every jiffy counted, the instance's own time stamp
    };
    // The processor lines of a /proc/stat text, per-processor ones first and the total last.
    // Empty when the text holds no processor line.
    static std::vector<Times> Parse(const std::string& text);

private:
    bool ReadStat(std::string& text) const;

    std::string path_;
    std::vector<Times> previous_;
    std::vector<Times> current_;
    bool sampled_ = false;
};

}  // namespace orp
