#pragma once
// The process table: one row per listed process (name in lower case, three sizes in " K"
// cells), rebuilt in full from the process source and sorted by the current choice.
#include <cstdint>
#include <string>

#include "log/string_table.h"
#include "platform/process_source.h"

namespace orp {

constexpr int kProcessTableColumns = 4;

// ASCII letters A-Z only; every other byte (UTF-8 included) stays as it is.
std::string AsciiLower(std::string s);
// False for "system idle process" and "orpram.exe" in any letter case, true otherwise.
bool IsListedProcess(const std::string& name);
// The number part of a size cell: below 1024 the value itself, otherwise value / 1024 brought
// to the nearest whole number, ties to even. The whole 64-bit value counts.
std::string FormatProcessSize(std::int64_t value);
// Sizes come from the source unsigned; anything beyond the signed range is shown as its top.
std::int64_t ProcessSizeValue(std::uint64_t bytes);

void SetProcessHeaders(
    StringTable& table);  // "Process Name","Used RAM","Max. Used RAM","Pagefile Used"
// The designed table: 4 columns 187, 115, 111 and 100 wide, the header row with its texts and
// one empty row.
void ResetProcessTable(StringTable& table);

// Connects the source when it is not connected and drops its cached list, so that the next
// access lists the processes afresh. Swallows every failure; always true.
bool PrepareProcessQuery(IProcessSource& source);

struct ProcessSortState {
    int column = 0;
    bool ascending = true;
};

// Rebuilds the table (as made by ResetProcessTable) from the source; displayOn is
// cbx_Process. The source is prepared on every call and let go at the end of a rebuild.
// Display off: the source is prepared and nothing else happens. A failed listing keeps the
// previous rows, sorted again. A failure while reading one entry ends the listing; the rows
// already made stay. Rows appear in the reverse of the source's order before the sort. No
// failure leaves this function.
void RefreshProcessTable(StringTable& table, IProcessSource& source, bool displayOn,
                         const ProcessSortState& sort);

// A sort menu choice: remembers it in `state` whenever the column is one of the table's, also
// when the table has no rows yet (the next rebuild applies it), and sorts. False for a column
// that is no column of the table; then nothing changes.
bool ChooseProcessSort(StringTable& table, ProcessSortState& state, int column, bool ascending);

}  // namespace orp
