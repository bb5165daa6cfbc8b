#pragma once
// The table of text cells behind both of the program's grids (the cleaning log and the process
// table): row 0 is the header, every cell holds text, and each column has a width in pixels.
// Widgets show it through a model; file formats read and write it. It knows nothing of either.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orp {

class StringTable {
public:
    // Dimensions are capped so that a hostile file cannot make the table claim all memory: every
    // cell is a std::string even when empty (32 bytes), so the cap is on cells as well as rows.
    // At the caps the table holds about 40 MB of empty cells; a log gains one row per run, so
    // 100,000 rows is years of use.
    static constexpr int kMaxCols = 256;
    static constexpr int kMaxRows = 100'000;
    static constexpr int kMaxCells = 1'000'000;
    static constexpr int kDefaultColWidth = 64;
    // The most rows a table of `cols` columns may have.
    static int MaxRowsFor(int cols);

    StringTable(int cols = 1, int rows = 1);

    int ColCount() const { return static_cast<int>(widths_.size()); }
    int RowCount() const { return static_cast<int>(rows_.size()); }
    // Counts below 1 become 1, above the caps become the cap. Cells kept where they still fit.
    void SetColCount(int cols);
    void SetRowCount(int rows);
    // Both counts at once (columns first, then rows within the cell cap), one shape change.
    void SetSize(int cols, int rows);

    // Out-of-range reads give an empty text; out-of-range writes are ignored.
    const std::string& Cell(int col, int row) const;
    void SetCell(int col, int row, std::string text);
    bool InRange(int col, int row) const;

    int ColWidth(int col) const;
    void SetColWidth(int col, int width);

    // Inserts an empty row before `row` (0..RowCount()); moves the rows from there down.
    // Ignored when the table already has MaxRowsFor(ColCount()) rows.
    void InsertRow(int row);
    // Removes every row from `firstRow` down, leaving at least one row.
    void TruncateRows(int keepRows);
    void ClearCells();
    // Reorders rows firstRow..RowCount()-1 by `less` on whole rows.
    void SortRows(int firstRow, const std::function<bool(const std::vector<std::string>&,
                                                         const std::vector<std::string>&)>& less);
    const std::vector<std::string>& Row(int row) const { return rows_.at(row); }

    // Same counts, widths and cell texts (listeners are not compared).
    bool SameContents(const StringTable& other) const {
        return widths_ == other.widths_ && rows_ == other.rows_;
    }

    // Observers (the Qt model) are told after every change; Batch defers it to the batch's end.
    enum class Change { Cells, Shape, Widths };
    using Listener = std::function<void(Change)>;
    void SetListener(Listener listener) { listener_ = std::move(listener); }

    class Batch {
    public:
        explicit Batch(StringTable& t) : t_(t) { ++t_.batchDepth_; }
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        StringTable& t_;
    };

private:
    void Notify(Change c);

    std::vector<std::vector<std::string>> rows_;
    std::vector<int> widths_;
    Listener listener_;
    int batchDepth_ = 0;
    bool pendingShape_ = false;
    bool pendingCells_ = false;
    bool pendingWidths_ = false;
};

}  // namespace orp
