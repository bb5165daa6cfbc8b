#include "log/cleaning_log.h"

#include <algorithm>
#include <array>
#include <filesystem>

#include "log/grid_file.h"

namespace orp {

namespace {

const std::array<std::string, kLogCols> kHeaders = {"Date & Time", "Free RAM", "Used RAM",
                                                    "Target RAM", "RAM Cleared"};
constexpr std::array<int, kLogCols> kWidths = {172, 90, 90, 82, 80};
const std::string kNoHeader;

// A log file may describe fewer columns or rows than the log is made of; the missing columns
// come back with their headers and widths.
void EnsureLogShape(StringTable& log) {
    const int oldCols = log.ColCount();
    if (oldCols < kLogCols || log.RowCount() < 2) {
        StringTable::Batch batch(log);
        log.SetSize(std::max(oldCols, kLogCols), std::max(log.RowCount(), 2));
        for (int c = oldCols; c < kLogCols; ++c) {
            log.SetCell(c, 0, kHeaders[c]);
            log.SetColWidth(c, kWidths[c]);
        }
    }
}

}  // namespace

const std::string& LogHeader(int col) {
    return col >= 0 && col < kLogCols ? kHeaders[col] : kNoHeader;
}

int LogInitialWidth(int col) {
    return col >= 0 && col < kLogCols ? kWidths[col] : 0;
}

void ResetLog(StringTable& log) {
    StringTable::Batch batch(log);
    log.SetSize(kLogCols, 2);
    log.ClearCells();
    for (int c = 0; c < kLogCols; ++c) {
        log.SetCell(c, 0, kHeaders[c]);
        log.SetColWidth(c, kWidths[c]);
    }
}

void StartLogRow(StringTable& log, const std::string& dateTime, const std::string& freeText,
                 const std::string& usedText) {
    StringTable::Batch batch(log);
    EnsureLogShape(log);
    if (!log.Cell(kLogFree, 1).empty()) {
        if (log.RowCount() >= StringTable::MaxRowsFor(log.ColCount()))
            log.TruncateRows(log.RowCount() - 1);
        log.InsertRow(1);
    }
    log.SetCell(kLogDateTime, 1, dateTime);
    log.SetCell(kLogFree, 1, freeText);
    log.SetCell(kLogUsed, 1, usedText);
}

void SetLogTarget(StringTable& log, const std::string& text) {
    log.SetCell(kLogTarget, 1, text);
}

void SetLogCleared(StringTable& log, const std::string& text) {
    log.SetCell(kLogCleared, 1, text);
}

void ClearLog(StringTable& log) {
    StringTable::Batch batch(log);
    log.SetRowCount(2);
    for (int c = 0; c < log.ColCount(); ++c) log.SetCell(c, 1, std::string());
}

std::string LogFilePath(const std::string& exePath) {
    return exePath + kLogFileName;
}

bool LoadLog(StringTable& log, const std::string& exePath, const std::function<void()>& pump) {
    try {
        const std::string path = LogFilePath(exePath);
        std::error_code ec;
        const bool exists = std::filesystem::exists(path, ec);
        if (ec) return false;
        if (!exists) return true;
        LoadGridFile(log, path, pump);
        return true;
    } catch (...) {
        return false;
    }
}

bool SaveLog(const StringTable& log, const std::string& exePath) {
    try {
        SaveGridFile(log, LogFilePath(exePath));
        return true;
    } catch (...) {
        return false;
    }
}

std::string WithCsvExtension(const std::string& chosen) {
    return chosen + ".csv";
}

bool SaveLogCsv(const StringTable& log, const std::string& chosen) {
    try {
        SaveCSV(log, WithCsvExtension(chosen));
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace orp
