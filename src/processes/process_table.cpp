#include "processes/process_table.h"
#include "memory/units.h"

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "processes/process_sort.h"

namespace orp {

namespace {

constexpr const char* kHeaders[kProcessTableColumns] = {"Process Name", "Used RAM", "Max. Used RAM",
                                                        "Pagefile Used"};
constexpr int kWidths[kProcessTableColumns] = {187, 115, 111, 100};
const std::string kSizeSuffix = " K";

std::string SizeCell(std::uint64_t bytes) {
    return FormatProcessSize(ProcessSizeValue(bytes)) + kSizeSuffix;
}

}  // namespace

std::string AsciiLower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

bool IsListedProcess(const std::string& name) {
    const std::string lower = AsciiLower(name);
    return lower != "system idle process" && lower != "orpram.exe";
}

std::string FormatProcessSize(std::int64_t value) {
    if (value < 1024) return std::to_string(value);
    // A 64-bit significand holds every int64 exactly, so the division is the only rounding.
    const long double k = RoundHalfEven(static_cast<long double>(value) / 1024.0L);
    return std::to_string(static_cast<std::int64_t>(k));
}

std::int64_t ProcessSizeValue(std::uint64_t bytes) {
    constexpr auto kTop = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    return static_cast<std::int64_t>(bytes > kTop ? kTop : bytes);
}

void SetProcessHeaders(StringTable& table) {
    for (int c = 0; c < kProcessTableColumns; ++c) table.SetCell(c, 0, kHeaders[c]);
}

void ResetProcessTable(StringTable& table) {
    StringTable::Batch batch(table);
    table.SetColCount(kProcessTableColumns);
    table.SetRowCount(2);
    table.ClearCells();
    for (int c = 0; c < kProcessTableColumns; ++c) table.SetColWidth(c, kWidths[c]);
    SetProcessHeaders(table);
}

bool PrepareProcessQuery(IProcessSource& source) {
    try {
        if (!source.Active()) source.SetActive(true);
    } catch (...) {
        // A source that cannot connect reads as empty; the rebuild shows the header alone.
    }
    try {
        // Dropped even when connecting failed, so no old list is ever shown as a fresh one.
        source.ClearCache();
    } catch (...) {
    }
    return true;
}

void RefreshProcessTable(StringTable& table, IProcessSource& source, bool displayOn,
                         const ProcessSortState& sort) {
    PrepareProcessQuery(source);
    if (!displayOn) return;

    // The window's model hears of the rebuild once, at its end, not once per row.
    StringTable::Batch batch(table);

    int n = 0;
    try {
        n = source.Count();
        table.TruncateRows(1);
        table.ClearCells();
        SetProcessHeaders(table);
    } catch (...) {
        n = 0;  // the query failed: the previous rows stay and are sorted again below
    }

    // Each listed entry goes in directly below the header, so later entries end up above
    // earlier ones. Collecting first and writing once gives the same rows without moving every
    // row already written at each insertion.
    std::vector<std::vector<std::string>> rows;
    try {
        rows.reserve(static_cast<std::size_t>(n > 0 ? n : 0));
        for (int i = 0; i < n; ++i) {
            const ProcessEntry& e = source.At(i);
            std::string name = AsciiLower(e.name);
            if (!IsListedProcess(name)) continue;
            rows.push_back({std::move(name), SizeCell(e.workingSetSize),
                            SizeCell(e.peakWorkingSetSize), SizeCell(e.pageFileUsage)});
        }
    } catch (...) {
        // The first failure ends the listing; what was listed before it is kept.
    }
    if (!rows.empty()) {
        const int first = table.RowCount();
        table.SetRowCount(first + static_cast<int>(rows.size()));
        int row = table.RowCount() - 1;
        for (auto& cells : rows) {
            // A table at its size cap has fewer rows than listed processes; the header stays.
            if (row < 1) break;
            for (int c = 0; c < kProcessTableColumns; ++c) {
                table.SetCell(c, row, std::move(cells[static_cast<std::size_t>(c)]));
            }
            --row;
        }
    }

    try {
        source.SetActive(false);
    } catch (...) {
    }
    try {
        SortProcessTable(table, sort.column, sort.ascending);
    } catch (...) {
    }
}

bool ChooseProcessSort(StringTable& table, ProcessSortState& state, int column, bool ascending) {
    if (column < 0 || column >= table.ColCount() || column >= kProcessTableColumns) return false;
    state = {column, ascending};
    SortProcessTable(table, column, ascending);
    return true;
}

}  // namespace orp
