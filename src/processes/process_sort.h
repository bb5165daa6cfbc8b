#pragma once
// Sorting of the process table by one of its columns, the per-column compare styles shared with
// the cleaning log's table, and the sort menu as data.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "log/string_table.h"

namespace orp {

enum class CompareStyle { Alphabetic, Numeric };

// grd_ProcessGetFormat: style and suffix for a column (0 alphabetic; 1..3 numeric with " K").
// Any other column leaves all three as they are; the prefix is never touched.
void GetColumnFormat(int col, CompareStyle& style, std::string& prefix, std::string& suffix);
bool IsRightAligned(int col);  // grd_ProcessGetAlignment: col > 0

// The number a numeric cell holds: the first occurrence of `suffix` removed, blanks around it
// ignored, a decimal number with an optional sign, fraction and exponent. Empty reads 0. Texts
// that are no finite number give nothing.
std::optional<long double> ReadCellNumber(std::string_view text, std::string_view suffix);

// Three-way comparison of two cells (<0, 0, >0). Alphabetic: byte by byte, case-sensitive.
// Numeric: by ReadCellNumber; two unreadable texts are equal, and an unreadable text comes
// before every number, so the order is total and a sort over it is well defined.
int CompareCells(const std::string& a, const std::string& b, CompareStyle style,
                 std::string_view suffix);

// SortProcessTable: false (table unchanged) for a column outside 0..3 or a table with no rows.
// The header row stays in place; rows move whole.
bool SortProcessTable(StringTable& table, int column, bool ascending);

// The eleven pop_Sort entries as data, in menu order, so the window builds its menu and wires
// its handlers from one table.
enum class SortMenuAction { Sort, ExportCsv, Separator, Refresh };

struct SortMenuEntry {
    std::string caption;     // the item's caption; empty for the separator
    std::string item;        // the item's name, e.g. "itm_ProcessName1"
    std::string parent;      // the submenu's caption, empty for a top-level item
    std::string parentItem;  // the submenu's name, e.g. "itm_SortAscending1"
    SortMenuAction action = SortMenuAction::Sort;
    int column = -1;        // for Sort
    bool ascending = true;  // for Sort
};

const std::vector<SortMenuEntry>& SortMenuEntries();

}  // namespace orp
