#include "platform/linux/proc_text.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <limits>

namespace orp::proc {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// "   8000000 kB" -> 8192000000; a unitless figure (the huge-page counts) is not a size.
std::optional<std::int64_t> ParseKilobytes(std::string_view value) {
    value = Trim(value);
    if (value.size() < 3 || value.substr(value.size() - 2) != "kB") return std::nullopt;
    const auto kib = ParseByteCount(value.substr(0, value.size() - 2));
    if (!kib || *kib > std::numeric_limits<std::int64_t>::max() / 1024) return std::nullopt;
    return *kib * 1024;
}

}  // namespace

std::string UnderRoot(const std::string& root, std::string_view relative) {
    while (!relative.empty() && relative.front() == '/') relative.remove_prefix(1);
    std::string path = root.empty() ? std::string("/") : root;
    if (path.back() != '/') path += '/';
    path += relative;
    return path;
}

std::optional<std::string_view> ReadSmallFile(const char* path, char* buffer,
                                              std::size_t capacity) {
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::size_t length = 0;
    bool failed = false;
    while (length < capacity) {
        const ssize_t n = ::read(fd, buffer + length, capacity - length);
        if (n < 0) {
            if (errno == EINTR) continue;
            failed = true;
            break;
        }
        if (n == 0) break;
        length += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (failed) return std::nullopt;
    return std::string_view(buffer, length);
}

std::optional<std::int64_t> ParseByteCount(std::string_view text) {
    text = Trim(text);
    if (text.empty()) return std::nullopt;
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (value > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
        return std::nullopt;
    return static_cast<std::int64_t>(value);
}

MeminfoFields ParseMeminfo(std::string_view text) {
    MeminfoFields f;
    struct Slot {
        std::string_view name;
        std::optional<std::int64_t> MeminfoFields::*field;
    };
    static constexpr Slot kSlots[] = {
        {"MemTotal", &MeminfoFields::memTotal},
        {"MemFree", &MeminfoFields::memFree},
        {"MemAvailable", &MeminfoFields::memAvailable},
        {"SwapTotal", &MeminfoFields::swapTotal},
        {"SwapFree", &MeminfoFields::swapFree},
        {"CommitLimit", &MeminfoFields::commitLimit},
        {"Committed_AS", &MeminfoFields::committedAS},
    };
    while (!text.empty()) {
        const std::size_t eol = text.find('\n');
        const std::string_view line = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        const std::string_view name = line.substr(0, colon);
        for (const Slot& slot : kSlots) {
            // The kernel writes each field once; a repeated one does not overwrite the first.
            if (name == slot.name && !(f.*slot.field)) {
                f.*slot.field = ParseKilobytes(line.substr(colon + 1));
                break;
            }
        }
    }
    return f;
}

MeminfoFields ReadMeminfo(const char* path) {
    char buffer[8192];
    const auto text = ReadSmallFile(path, buffer, sizeof buffer);
    return text ? ParseMeminfo(*text) : MeminfoFields{};
}

}  // namespace orp::proc
