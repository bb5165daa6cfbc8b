#include "log/string_table.h"

#include <algorithm>

namespace orp {

namespace {
const std::string kEmpty;
int Clamp(int v, int lo, int hi) {
    return std::min(std::max(v, lo), hi);
}
}  // namespace

int StringTable::MaxRowsFor(int cols) {
    return std::min(kMaxRows, kMaxCells / Clamp(cols, 1, kMaxCols));
}

StringTable::StringTable(int cols, int rows) {
    cols = Clamp(cols, 1, kMaxCols);
    rows = Clamp(rows, 1, MaxRowsFor(cols));
    widths_.assign(cols, kDefaultColWidth);
    rows_.assign(rows, std::vector<std::string>(cols));
}

void StringTable::SetColCount(int cols) {
    cols = Clamp(cols, 1, std::min(kMaxCols, kMaxCells / RowCount()));
    if (cols == ColCount()) return;
    widths_.resize(cols, kDefaultColWidth);
    for (auto& r : rows_) r.resize(cols);
    Notify(Change::Shape);
}

void StringTable::SetRowCount(int rows) {
    rows = Clamp(rows, 1, MaxRowsFor(ColCount()));
    if (rows == RowCount()) return;
    rows_.resize(rows, std::vector<std::string>(ColCount()));
    Notify(Change::Shape);
}

void StringTable::SetSize(int cols, int rows) {
    cols = Clamp(cols, 1, kMaxCols);
    rows = Clamp(rows, 1, MaxRowsFor(cols));
    if (cols == ColCount() && rows == RowCount()) return;
    // Rows first when shrinking them, so the cell cap never narrows the columns on the way.
    if (rows < RowCount()) rows_.resize(rows);
    widths_.resize(cols, kDefaultColWidth);
    for (auto& r : rows_) r.resize(cols);
    rows_.resize(rows, std::vector<std::string>(cols));
    Notify(Change::Shape);
}

bool StringTable::InRange(int col, int row) const {
    return col >= 0 && row >= 0 && col < ColCount() && row < RowCount();
}

const std::string& StringTable::Cell(int col, int row) const {
    return InRange(col, row) ? rows_[row][col] : kEmpty;
}

void StringTable::SetCell(int col, int row, std::string text) {
    if (!InRange(col, row)) return;
    if (rows_[row][col] == text) return;
    rows_[row][col] = std::move(text);
    Notify(Change::Cells);
}

int StringTable::ColWidth(int col) const {
    return col >= 0 && col < ColCount() ? widths_[col] : 0;
}

void StringTable::SetColWidth(int col, int width) {
    if (col < 0 || col >= ColCount() || widths_[col] == width) return;
    widths_[col] = width;
    Notify(Change::Widths);
}

void StringTable::InsertRow(int row) {
    if (row < 0 || row > RowCount() || RowCount() >= MaxRowsFor(ColCount())) return;
    rows_.insert(rows_.begin() + row, std::vector<std::string>(ColCount()));
    Notify(Change::Shape);
}

void StringTable::TruncateRows(int keepRows) {
    keepRows = Clamp(keepRows, 1, RowCount());
    if (keepRows == RowCount()) return;
    rows_.resize(keepRows);
    Notify(Change::Shape);
}

void StringTable::ClearCells() {
    for (auto& r : rows_) std::fill(r.begin(), r.end(), std::string());
    Notify(Change::Cells);
}

void StringTable::SortRows(int firstRow,
                           const std::function<bool(const std::vector<std::string>&,
                                                    const std::vector<std::string>&)>& less) {
    if (firstRow < 0 || firstRow >= RowCount()) return;
    std::stable_sort(rows_.begin() + firstRow, rows_.end(), less);
    Notify(Change::Cells);
}

void StringTable::Notify(Change c) {
    if (batchDepth_ > 0) {
        pendingShape_ |= c == Change::Shape;
        pendingCells_ |= c == Change::Cells;
        pendingWidths_ |= c == Change::Widths;
        return;
    }
    if (listener_) listener_(c);
}

StringTable::Batch::~Batch() {
    if (--t_.batchDepth_ > 0) return;
    const bool shape = t_.pendingShape_, cells = t_.pendingCells_, widths = t_.pendingWidths_;
    t_.pendingShape_ = t_.pendingCells_ = t_.pendingWidths_ = false;
    if (!t_.listener_) return;
    if (shape)
        t_.listener_(Change::Shape);
    else if (cells)
        t_.listener_(Change::Cells);
    if (widths) t_.listener_(Change::Widths);
}

}  // namespace orp
