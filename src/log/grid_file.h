#pragma once
// The two files written from a table with a header row: the grid file (the cleaning log's
// "orpram.orl", which it is also read back from) and the comma-separated export. Plain bytes as
// the cells hold them, every line ending in CR LF.
//
// Grid file:  "C,R" / "cw i,w" per column / "c,r,text" per non-empty cell, row by row.
// Both writers replace their file atomically (see file_replace.h).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "log/string_table.h"

namespace orp {

class GridFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

void SaveGridFile(const StringTable& table, const std::string& fileName);  // "Cannot Create "
// `pump` is called after every cell line (the window processes messages there); may be empty.
// Cells the file does not mention keep their text. Throws "Cannot open file " + name.
void LoadGridFile(StringTable& table, const std::string& fileName,
                  const std::function<void()>& pump = {});
void SaveCSV(const StringTable& table, const std::string& fileName);  // "Cannot Create file "

std::string GridFileText(const StringTable& table);  // the exact bytes SaveGridFile writes
std::string CsvText(const StringTable& table);       // the exact bytes SaveCSV writes
std::string EncodeCsvCell(const std::string& text);

// A cell's text in the grid file: line breaks become TAB (for CR) and BS (for LF) so that a cell
// stays on its line; anything else is written as it is.
std::string EncodeGridCell(const std::string& text);
// The reader's side: BS marks an encoded text, whose TABs and BSs become CR and LF; the cell
// then keeps only its first line.
std::string DecodeGridCell(std::string_view text);

// A number in the grid file: optional sign, decimal digits, within 32 bits; nothing else.
std::optional<int> ParseGridNumber(std::string_view text);

// What the reader will spend on one file, so that a hostile or endless one (no line ends, a
// link to a device) costs bounded memory and time. The rest of a longer line is skipped;
// input beyond the total is not read.
struct GridReadLimits {
    std::size_t maxLineBytes = 64 * 1024;
    std::uint64_t maxTotalBytes = 128ull * 1024 * 1024;
};
// Widths outside 0..kMaxGridColWidth cannot be shown and are ignored on reading.
constexpr int kMaxGridColWidth = 65535;

// LoadGridFile's reader on any stream. `name` only labels a read error.
void LoadGridStream(StringTable& table, std::istream& in, const std::function<void()>& pump = {},
                    const GridReadLimits& limits = {}, const std::string& name = {});

}  // namespace orp
