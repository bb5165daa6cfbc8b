#include "platform/linux/proc_stat_times.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string_view>

namespace orp {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads one unsigned decimal field after blanks; false when there is none.
bool NextField(std::string_view& s, std::uint64_t& value) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    if (i == s.size() || !IsDigit(s[i])) return false;
    std::uint64_t v = 0;
    while (i < s.size() && IsDigit(s[i])) {
        v = v * 10 + static_cast<std::uint64_t>(s[i] - '0');
        ++i;
    }
    s.remove_prefix(i);
    value = v;
    return true;
}

}  // namespace

ProcStatProcessorTimes::ProcStatProcessorTimes(std::string procRoot)
    : path_(std::move(procRoot) + "/stat") {}

std::vector<ProcStatProcessorTimes::Times> ProcStatProcessorTimes::Parse(const std::string& text) {
    std::vector<Times> perCpu;
    Times total;
    bool haveTotal = false;
    std::string_view rest(text);
    while (!rest.empty()) {
        const std::size_t eol = rest.find('\n');
        std::string_view line = rest.substr(0, eol);
        rest = eol == std::string_view::npos ? std::string_view() : rest.substr(eol + 1);
        if (line.substr(0, 3) != "cpu") {
            if (!perCpu.empty() || haveTotal) break;
            continue;
        }
        const std::size_t nameEnd = line.find(' ');
        if (nameEnd == std::string_view::npos) continue;
        const std::string_view name = line.substr(0, nameEnd);
        if (name.size() > 3 && !std::all_of(name.begin() + 3, name.end(), IsDigit)) continue;
        line.remove_prefix(nameEnd);
        // user nice system idle iowait irq softirq steal; guest and guest_nice are already
        // inside user and nice, so adding them would count those jiffies twice.
        std::uint64_t f[8] = {};
        int n = 0;
        while (n < 8 && NextField(line, f[n])) ++n;
        if (n < 4) continue;  // not even an idle figure: no usable line
        Times t;
        t.name = std::string(name);
        t.idle = f[3] + f[4];
        for (int i = 0; i < n; ++i) t.total += f[i];
        if (name.size() == 3) {
            total = std::move(t);
            haveTotal = true;
        } else {
            perCpu.push_back(std::move(t));
        }
    }
    if (haveTotal) perCpu.push_back(std::move(total));
    return perCpu;
}

bool ProcStatProcessorTimes::ReadStat(std::string& text) const {
    const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    // The processor lines come first; the interrupt counters after them can run to hundreds of
    // kilobytes on large machines, so reading stops at the first complete line that is not a
    // processor's.
    constexpr std::size_t kMaxText = 4u << 20;
    char buf[16384];
    std::size_t unchecked = 0;  // start of the first line not yet looked at
    bool ok = true, done = false;
    while (!done && text.size() < kMaxText) {
        const ssize_t got = ::read(fd, buf, sizeof buf);
        if (got < 0) {
            if (errno == EINTR) continue;
            ok = false;
            break;
        }
        if (got == 0) break;
        text.append(buf, static_cast<std::size_t>(got));
        for (std::size_t eol; (eol = text.find('\n', unchecked)) != std::string::npos;) {
            if (text.compare(unchecked, 3, "cpu") != 0) {
                done = true;
                break;
            }
            unchecked = eol + 1;
        }
    }
    ::close(fd);
    return ok;
}

bool ProcStatProcessorTimes::Sample() {
    std::string text;
    if (!ReadStat(text)) return false;
    std::vector<Times> next = Parse(text);
    if (next.empty()) return false;
    previous_ = std::move(current_);
    current_ = std::move(next);
    sampled_ = true;
    return true;
}

int ProcStatProcessorTimes::InstanceCount() {
    if (!sampled_) Sample();
    return static_cast<int>(current_.size());
}

bool ProcStatProcessorTimes::HasTotalInstance() {
    if (!sampled_) Sample();
    return !current_.empty() && current_.back().name == "cpu";
}

double ProcStatProcessorTimes::InstanceUsage(int index) {
    if (index < 0 || index >= static_cast<int>(current_.size())) {
        throw std::out_of_range("no such processor instance");
    }
    const Times& now = current_[static_cast<std::size_t>(index)];
    // Processors can come and go between samples: match by name, not by position.
    const auto before = std::find_if(previous_.begin(), previous_.end(),
                                     [&](const Times& t) { return t.name == now.name; });
    if (before == previous_.end()) return 0.0;
    if (now.total <= before->total) return 0.0;  // the time stamp did not advance
    const std::uint64_t span = now.total - before->total;
    // The kernel's iowait can step backwards on a single processor; a falling idle figure
    // counts as no idle time rather than wrapping round.
    const std::uint64_t idle = now.idle > before->idle ? now.idle - before->idle : 0;
    const double busy = 1.0 - static_cast<double>(std::min(idle, span)) / static_cast<double>(span);
    return std::clamp(busy, 0.0, 1.0);
}

}  // namespace orp
