#include "platform/linux/proc_process_source.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string_view>

namespace orp {

namespace {

// The kernel keeps a command name of at most this many bytes and cuts longer ones.
constexpr std::size_t kCommLength = 15;

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

ssize_t ReadSome(int fd, char* buf, std::size_t size) {
    while (true) {
        const ssize_t got = ::read(fd, buf, size);
        if (got >= 0 || errno != EINTR) return got;
    }
}

bool IsAllDigits(const char* s) {
    if (*s == '\0') return false;
    for (; *s; ++s) {
        if (*s < '0' || *s > '9') return false;
    }
    return true;
}

// "  1234 kB" -> bytes, saturating rather than wrapping on absurd figures.
std::uint64_t KilobytesField(std::string_view v) {
    std::size_t i = 0;
    while (i < v.size() && (v[i] == ' ' || v[i] == '\t')) ++i;
    std::uint64_t kb = 0;
    constexpr std::uint64_t kMaxKb = std::numeric_limits<std::uint64_t>::max() / 1024;
    for (; i < v.size() && v[i] >= '0' && v[i] <= '9'; ++i) {
        const auto digit = static_cast<std::uint64_t>(v[i] - '0');
        if (kb > (kMaxKb - digit) / 10) return std::numeric_limits<std::uint64_t>::max();
        kb = kb * 10 + digit;
    }
    return kb * 1024;
}

// The kernel writes a backslash in the command name as "\\" and a newline as "\n".
std::string UnescapeName(std::string_view v) {
    std::string name;
    name.reserve(v.size());
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (v[i] == '\\' && i + 1 < v.size() && (v[i + 1] == '\\' || v[i + 1] == 'n')) {
            name.push_back(v[i + 1] == 'n' ? '\n' : '\\');
            ++i;
        } else {
            name.push_back(v[i]);
        }
    }
    return name;
}

struct StatusFields {
    bool name = false, rss = false, hwm = false, swap = false;
    bool All() const { return name && rss && hwm && swap; }
};

// Takes the line when it is one of the four the table needs.
void TakeStatusLine(std::string_view line, ProcessEntry& e, StatusFields& seen) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return;
    const std::string_view key = line.substr(0, colon);
    const std::string_view value = line.substr(colon + 1);
    if (key == "Name") {
        std::string_view v = value;
        if (!v.empty() && v.front() == '\t') v.remove_prefix(1);
        e.name = UnescapeName(v);
        seen.name = true;
    } else if (key == "VmRSS") {
        e.workingSetSize = KilobytesField(value);
        seen.rss = true;
    } else if (key == "VmHWM") {
        e.peakWorkingSetSize = KilobytesField(value);
        seen.hwm = true;
    } else if (key == "VmSwap") {
        e.pageFileUsage = KilobytesField(value);
        seen.swap = true;
    }
}

// Reads status line by line through a small stack buffer and stops once the four lines are
// in. A line longer than the buffer (a huge Groups list) is none of them and is skipped.
bool ReadStatus(int fd, ProcessEntry& e) {
    char buf[4096];
    std::size_t len = 0;
    bool skippingLongLine = false;
    StatusFields seen;
    while (!seen.All()) {
        const ssize_t got = ReadSome(fd, buf + len, sizeof buf - len);
        if (got < 0) return false;  // ESRCH: the process ended after the open
        if (got == 0) {
            if (len > 0 && !skippingLongLine) TakeStatusLine({buf, len}, e, seen);
            break;
        }
        len += static_cast<std::size_t>(got);
        std::size_t start = 0;
        while (const void* nl = std::memchr(buf + start, '\n', len - start)) {
            const std::size_t eol = static_cast<std::size_t>(static_cast<const char*>(nl) - buf);
            if (skippingLongLine) {
                skippingLongLine = false;
            } else {
                TakeStatusLine({buf + start, eol - start}, e, seen);
            }
            start = eol + 1;
        }
        if (start == 0 && len == sizeof buf) {
            skippingLongLine = true;
            len = 0;
        } else {
            std::memmove(buf, buf + start, len - start);
            len -= start;
        }
    }
    return seen.name;
}

// argv[0]'s base name, when the kernel cut the command name and argv[0] continues it.
void LengthenName(int rootFd, const char* pid, std::string& name) {
    char path[64];
    std::snprintf(path, sizeof path, "%s/cmdline", pid);
    Fd fd(::openat(rootFd, path, O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return;
    char buf[4096];
    const ssize_t got = ReadSome(fd.get(), buf, sizeof buf);
    if (got <= 0) return;
    std::string_view argv0(buf, static_cast<std::size_t>(got));
    argv0 = argv0.substr(0, argv0.find('\0'));
    const std::size_t slash = argv0.rfind('/');
    if (slash != std::string_view::npos) argv0.remove_prefix(slash + 1);
    if (argv0.size() > name.size() && argv0.substr(0, name.size()) == name) name = argv0;
}

}  // namespace

ProcProcessSource::ProcProcessSource(std::string procRoot) : root_(std::move(procRoot)) {}

void ProcProcessSource::SetActive(bool active) {
    if (active) {
        Fd fd(::open(root_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        active_ = fd.get() >= 0;
    } else {
        active_ = false;
    }
    if (!active_) ClearCache();
}

void ProcProcessSource::ClearCache() {
    cached_ = false;
    list_.clear();
}

bool ProcProcessSource::ReadProcess(int rootFd, const char* pid, ProcessEntry& entry) {
    char path[64];
    if (std::snprintf(path, sizeof path, "%s/status", pid) >= static_cast<int>(sizeof path)) {
        return false;
    }
    Fd fd(::openat(rootFd, path, O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return false;
    entry = ProcessEntry{};
    if (!ReadStatus(fd.get(), entry)) return false;
    if (entry.name.size() == kCommLength) LengthenName(rootFd, pid, entry.name);
    return true;
}

void ProcProcessSource::List() {
    DIR* dir = ::opendir(root_.c_str());
    if (!dir) throw std::runtime_error("cannot list " + root_ + ": " + std::strerror(errno));
    std::vector<ProcessEntry> list;
    list.reserve(list_.capacity() > 0 ? list_.capacity() : 512);
    const int rootFd = ::dirfd(dir);
    ProcessEntry entry;
    errno = 0;
    while (const dirent* d = ::readdir(dir)) {
        if ((d->d_type == DT_DIR || d->d_type == DT_UNKNOWN) && IsAllDigits(d->d_name) &&
            ReadProcess(rootFd, d->d_name, entry)) {
            list.push_back(std::move(entry));
        }
        errno = 0;
    }
    const int err = errno;
    ::closedir(dir);
    if (err != 0) throw std::runtime_error("listing " + root_ + " failed: " + std::strerror(err));
    list_ = std::move(list);
    cached_ = true;
}

int ProcProcessSource::Count() {
    if (!active_) return 0;
    if (!cached_) List();
    return static_cast<int>(list_.size());
}

const ProcessEntry& ProcProcessSource::At(int index) {
    if (index < 0 || index >= Count()) throw std::out_of_range("no such process entry");
    return list_[static_cast<std::size_t>(index)];
}

}  // namespace orp
