#pragma once
// Reading the kernel's small text files (/proc/meminfo, cgroup limits) without the C++ streams:
// a freeing run reads them between blocks, so the reads must not allocate (the heap would then
// hold memory of its own) and must cost little. Nothing here throws.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orp::proc {

// root + "/" + relative, with one slash between them whatever root ends with.
std::string UnderRoot(const std::string& root, std::string_view relative);

// Reads at most `capacity` bytes of the file into `buffer`; nullopt when it cannot be opened
// or read. A longer file is cut at `capacity` (the callers' files are a few KiB at most).
std::optional<std::string_view> ReadSmallFile(const char* path, char* buffer, std::size_t capacity);

// A decimal number of bytes with nothing but white space around it; nullopt for anything else,
// including values beyond the signed 64-bit range.
std::optional<std::int64_t> ParseByteCount(std::string_view text);

// The fields of /proc/meminfo the program uses, converted from kB to bytes. A field that is
// missing, unreadable or beyond 64 bits is left empty.
struct MeminfoFields {
    std::optional<std::int64_t> memTotal, memFree, memAvailable, swapTotal, swapFree, commitLimit,
        committedAS;
};
MeminfoFields ParseMeminfo(std::string_view text);

// Reads and parses <path>; all fields empty when the file cannot be read.
MeminfoFields ReadMeminfo(const char* path);

}  // namespace orp::proc
