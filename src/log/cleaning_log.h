#pragma once
// The cleaning log: one row per freeing run below a header row, newest at row 1, kept in
// "orpram.orl" beside the executable. An empty log is the header and one empty row.
#include <functional>
#include <string>

#include "log/string_table.h"

namespace orp {

constexpr const char* kLogFileName = "orpram.orl";
constexpr int kLogCols = 5;
enum LogCol { kLogDateTime = 0, kLogFree = 1, kLogUsed = 2, kLogTarget = 3, kLogCleared = 4 };

// Header text and initial width of log column `col` (0..4).
const std::string& LogHeader(int col);
int LogInitialWidth(int col);

constexpr const char* kClearLogQuestion =
    "You should save the log before clearing all results.\r\n\r\n"
    "Do you wish to continue and clear the log now?";

// The design contents: 5 columns, 2 rows, the headers, widths 172, 90, 90, 82, 80.
void ResetLog(StringTable& log);

// The first step of a run: a new row at 1 unless cell (1, 1) is empty (the log is empty and
// row 1 is reused), then columns 0..2. A log loaded narrower or shorter than its design is
// first widened to its five columns and two rows, and a log at the row cap drops its oldest row,
// so the run's row is never lost.
void StartLogRow(StringTable& log, const std::string& dateTime, const std::string& freeText,
                 const std::string& usedText);
void SetLogTarget(StringTable& log, const std::string& text);   // column 3 of row 1
void SetLogCleared(StringTable& log, const std::string& text);  // column 4 of row 1

// Clear Log answered with Yes: 2 rows, row 1 emptied, the header stays.
void ClearLog(StringTable& log);

// `exePath` is the executable's directory with its trailing '/'. A missing file is no error
// (true, the log untouched); a failure leaves what was read and gives false. Neither throws.
bool LoadLog(StringTable& log, const std::string& exePath, const std::function<void()>& pump = {});
bool SaveLog(const StringTable& log, const std::string& exePath);
std::string LogFilePath(const std::string& exePath);

// Save Log: ".csv" is appended to the chosen name, even to one that already ends in ".csv".
std::string WithCsvExtension(const std::string& chosen);
// Writes the log as CSV under WithCsvExtension(chosen); false on failure, never throws.
bool SaveLogCsv(const StringTable& log, const std::string& chosen);

}  // namespace orp
