#pragma once
// The Qt face of a StringTable, shared by the cleaning log and the process table. The table's
// row 0 is the view's horizontal header; the table's rows 1.. are the model's rows 0...
#include <QAbstractTableModel>
#include <QPointer>

#include "log/string_table.h"

class QTableView;

namespace orp {

// The alignment both grids use: column 0 left, every later column right; vertically centred.
Qt::Alignment GridCellAlignment(int tableRow, int col);

class StringTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The model becomes the table's listener (one listener per table) and releases it when
    // destroyed. The table must outlive the model.
    explicit StringTableModel(StringTable& table, QObject* parent = nullptr);
    ~StringTableModel() override;

    StringTable& Table() { return table_; }
    const StringTable& Table() const { return table_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // The table's column widths changed (loaded from a file, set by code).
    void columnWidthsChanged();

private:
    void OnTableChanged(StringTable::Change change);
    void AllCellsChanged();

    StringTable& table_;
    // What the views were last told; the table tells us only after it has changed, so the
    // difference from these is what the row signals describe.
    int rows_ = 0;
    int cols_ = 0;
};

// Gives a view the grids' behaviour: whole-row single selection, no editing, rows 21 px high,
// no row header, a vertical scroll bar always shown, bold column headers, columns the user may
// resize. A width the user drags is written back to the table (so it reaches the log file);
// widths set in the table are applied to the view. The view does not sort.
void BindGrid(QTableView* view, StringTableModel* model);

// The widest column a table may ask for; wider ones (a damaged file) are shown at this width,
// so the header's total length cannot overflow.
inline constexpr int kMaxGridColumnWidth = 4096;
inline constexpr int kGridRowHeight = 21;

}  // namespace orp
