#include "log/log_file_sync.h"

#include <fstream>
#include <optional>
#include <sstream>

#include "log/cleaning_log.h"
#include "log/grid_file.h"

namespace orp {

namespace {
// Larger than any log the loader would take in whole; beyond it the comparison is of the
// first part only, which is all the loader reads anyway.
constexpr std::streamsize kMaxBytes = 128ll * 1024 * 1024;

std::optional<std::string> ReadLogFile(const std::string& exePath) {
    std::ifstream in(LogFilePath(exePath), std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes;
    char buf[64 * 1024];
    while (in && static_cast<std::streamsize>(bytes.size()) < kMaxBytes) {
        in.read(buf, sizeof buf);
        bytes.append(buf, static_cast<std::size_t>(in.gcount()));
    }
    return bytes;
}
}  // namespace

void LogFileSync::Loaded(const StringTable& log, const std::string& exePath) {
    fileBytes_ = ReadLogFile(exePath).value_or(std::string());
    gridText_ = GridFileText(log);
}

void LogFileSync::Saved(const StringTable& log) {
    gridText_ = GridFileText(log);
    fileBytes_ = gridText_;
}

bool LogFileSync::FileChangedElsewhere(const std::string& exePath) const {
    const std::optional<std::string> now = ReadLogFile(exePath);
    return now && *now != fileBytes_;
}

bool LogFileSync::ChangedHere(const StringTable& log) const {
    return GridFileText(log) != gridText_;
}

}  // namespace orp
