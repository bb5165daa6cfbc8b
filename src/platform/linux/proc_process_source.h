#pragma once
// The process list from the kernel's /proc: one entry per numeric directory in the order the
// directory lists them, named and sized from PID/status.
#include <string>
#include <vector>

#include "platform/process_source.h"

namespace orp {

class ProcProcessSource : public IProcessSource {
public:
    explicit ProcProcessSource(std::string procRoot = "/proc");

    bool Active() const override { return active_; }
    // Connecting checks that the proc root can be opened; when it cannot, the source stays
    // inactive and reads as empty.
    void SetActive(bool active) override;
    void ClearCache() override;
    int Count() override;
    const ProcessEntry& At(int index) override;

    // Reads the process directory `pid` below the directory open as `rootFd`. False when the
    // process is gone (or its status cannot be read), which the listing treats as "not there".
    static bool ReadProcess(int rootFd, const char* pid, ProcessEntry& entry);

private:
    void List();

    std::string root_;
    bool active_ = false;
    bool cached_ = false;
    std::vector<ProcessEntry> list_;
};

}  // namespace orp
