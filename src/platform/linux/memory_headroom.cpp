#include "platform/linux/memory_headroom.h"

#include <unistd.h>

#include <algorithm>
#include <limits>
#include <string_view>

#include "platform/linux/proc_text.h"

namespace orp {

namespace {

constexpr std::int64_t kMinimumFloor = std::int64_t{256} << 20;

bool Exists(const std::string& path) {
    return ::access(path.c_str(), R_OK) == 0;
}

bool LeavesHierarchy(std::string_view path) {
    while (!path.empty()) {
        const std::size_t slash = path.find('/');
        if (path.substr(0, slash) == "..") return true;
        if (slash == std::string_view::npos) break;
        path.remove_prefix(slash + 1);
    }
    return false;
}

bool ListsController(std::string_view controllers, std::string_view wanted) {
    while (!controllers.empty()) {
        const std::size_t comma = controllers.find(',');
        if (controllers.substr(0, comma) == wanted) return true;
        if (comma == std::string_view::npos) break;
        controllers.remove_prefix(comma + 1);
    }
    return false;
}

std::optional<std::int64_t> ReadCount(const std::string& path) {
    char buffer[64];
    const auto text = proc::ReadSmallFile(path.c_str(), buffer, sizeof buffer);
    return text ? proc::ParseByteCount(*text) : std::nullopt;
}

}  // namespace

std::int64_t SafetyFloorBytes(std::int64_t domainBytes) {
    return std::max(kMinimumFloor, domainBytes / 20);
}

MemoryHeadroomReader::MemoryHeadroomReader(const std::string& root)
    : meminfoPath_(proc::UnderRoot(root, "proc/meminfo")) {
    char buffer[4096];
    const auto text = proc::ReadSmallFile(proc::UnderRoot(root, "proc/self/cgroup").c_str(), buffer,
                                          sizeof buffer);
    if (!text) return;
    std::string_view rest = *text;
    while (!rest.empty()) {
        const std::size_t eol = rest.find('\n');
        const std::string_view line = rest.substr(0, eol);
        rest = eol == std::string_view::npos ? std::string_view() : rest.substr(eol + 1);
        // "hierarchy-id:controllers:path"; v2 is "0::path".
        const std::size_t first = line.find(':');
        const std::size_t second =
            first == std::string_view::npos ? first : line.find(':', first + 1);
        if (second == std::string_view::npos) continue;
        const std::string_view id = line.substr(0, first);
        const std::string_view controllers = line.substr(first + 1, second - first - 1);
        std::string_view path = line.substr(second + 1);
        if (path.empty() || path.front() != '/' || LeavesHierarchy(path)) continue;

        std::string base, limitName, usageName;
        if (id == "0" && controllers.empty()) {
            base = proc::UnderRoot(root, "sys/fs/cgroup");
            limitName = "memory.max";
            usageName = "memory.current";
        } else if (ListsController(controllers, "memory")) {
            base = proc::UnderRoot(root, "sys/fs/cgroup/memory");
            limitName = "memory.limit_in_bytes";
            usageName = "memory.usage_in_bytes";
        } else {
            continue;
        }
        // The group itself and every ancestor: a parent's limit binds its children too.
        while (true) {
            while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
            const std::string dir = proc::UnderRoot(base, path);
            LimitFiles files{proc::UnderRoot(dir, limitName), proc::UnderRoot(dir, usageName)};
            // The v2 root has no memory.max; a group without the memory controller neither.
            if (Exists(files.limit) && Exists(files.usage)) limits_.push_back(std::move(files));
            if (path == "/") break;
            const std::size_t slash = path.rfind('/');
            path = slash == 0 ? std::string_view("/") : path.substr(0, slash);
        }
    }
}

std::optional<MemoryHeadroom> MemoryHeadroomReader::Read() const {
    const proc::MeminfoFields f = proc::ReadMeminfo(meminfoPath_.c_str());
    const auto available = f.memAvailable ? f.memAvailable : f.memFree;
    if (!f.memTotal || !available) return std::nullopt;
    const std::int64_t swapFree = f.swapFree.value_or(0);
    MemoryHeadroom h;
    h.availableBytes = *available > std::numeric_limits<std::int64_t>::max() - swapFree
                           ? std::numeric_limits<std::int64_t>::max()
                           : *available + swapFree;
    h.domainBytes = *f.memTotal;

    for (const LimitFiles& files : limits_) {
        char buffer[64];
        const auto limitText = proc::ReadSmallFile(files.limit.c_str(), buffer, sizeof buffer);
        if (!limitText) continue;
        if (limitText->substr(0, 3) == "max") continue;  // v2: no limit at this level
        const auto limit = proc::ParseByteCount(*limitText);
        const auto usage = ReadCount(files.usage);
        // A limit that reads as nonsense is not evidence of room: treat the group as full.
        const std::int64_t room = limit && usage ? std::max<std::int64_t>(0, *limit - *usage) : 0;
        if (room < h.availableBytes) {
            h.availableBytes = room;
            h.domainBytes = limit.value_or(0);
        }
    }
    return h;
}

}  // namespace orp
