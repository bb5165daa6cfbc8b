#include "ui/string_table_model.h"

#include <QHeaderView>
#include <QTableView>
#include <algorithm>
#include <memory>

namespace orp {

Qt::Alignment GridCellAlignment(int /*tableRow*/, int col) {
    return (col > 0 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

StringTableModel::StringTableModel(StringTable& table, QObject* parent)
    : QAbstractTableModel(parent),
      table_(table),
      rows_(table.RowCount() - 1),
      cols_(table.ColCount()) {
    table_.SetListener([this](StringTable::Change c) { OnTableChanged(c); });
}

StringTableModel::~StringTableModel() {
    table_.SetListener(nullptr);
}

int StringTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int StringTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : cols_;
}

QVariant StringTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_ || index.column() >= cols_) return {};
    const int tableRow = index.row() + 1;
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(table_.Cell(index.column(), tableRow));
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(GridCellAlignment(tableRow, index.column()));
        default:
            return {};
    }
}

QVariant StringTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (section < 0 || section >= cols_) return {};
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(table_.Cell(section, 0));
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(GridCellAlignment(0, section));
        default:
            return {};
    }
}

Qt::ItemFlags StringTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void StringTableModel::OnTableChanged(StringTable::Change change) {
    switch (change) {
        case StringTable::Change::Widths:
            emit columnWidthsChanged();
            return;
        case StringTable::Change::Cells:
            AllCellsChanged();
            return;
        case StringTable::Change::Shape:
            break;
    }
    const int newRows = table_.RowCount() - 1;
    const int newCols = table_.ColCount();
    if (newCols != cols_) {
        // Columns come and go only when a file is loaded; start the views afresh.
        beginResetModel();
        rows_ = newRows;
        cols_ = newCols;
        endResetModel();
        return;
    }
    // The table says that its shape changed, not where: rows are reported as added or removed
    // at the end, and every cell as changed. Views keep their selection by row number, as the
    // grids always did, and keep their scroll position across a rebuild.
    if (newRows > rows_) {
        beginInsertRows(QModelIndex(), rows_, newRows - 1);
        rows_ = newRows;
        endInsertRows();
    } else if (newRows < rows_) {
        beginRemoveRows(QModelIndex(), newRows, rows_ - 1);
        rows_ = newRows;
        endRemoveRows();
    }
    AllCellsChanged();
}

void StringTableModel::AllCellsChanged() {
    if (cols_ <= 0) return;
    emit headerDataChanged(Qt::Horizontal, 0, cols_ - 1);
    if (rows_ > 0)
        emit dataChanged(index(0, 0), index(rows_ - 1, cols_ - 1),
                         {Qt::DisplayRole, Qt::TextAlignmentRole});
}

namespace {

void ApplyTableWidths(QHeaderView* header, const StringTable& table) {
    for (int c = 0; c < table.ColCount() && c < header->count(); ++c)
        header->resizeSection(c, std::clamp(table.ColWidth(c), 0, kMaxGridColumnWidth));
}

}  // namespace

void BindGrid(QTableView* view, StringTableModel* model) {
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    view->setSortingEnabled(false);
    view->setWordWrap(false);
    view->setCornerButtonEnabled(false);
    view->setTextElideMode(Qt::ElideRight);

    QHeaderView* rowsHeader = view->verticalHeader();
    rowsHeader->hide();
    rowsHeader->setMinimumSectionSize(1);
    rowsHeader->setSectionResizeMode(QHeaderView::Fixed);
    rowsHeader->setDefaultSectionSize(kGridRowHeight);

    QHeaderView* header = view->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(false);
    header->setSectionsMovable(false);
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setMinimumSectionSize(8);
    header->setDefaultSectionSize(StringTable::kDefaultColWidth);
    header->setFixedHeight(kGridRowHeight);
    QFont bold = header->font();
    bold.setBold(true);
    header->setFont(bold);

    // Only the user's resizes go back to the table: while the table's widths are being
    // applied (also after a reset, when the header starts from default sizes), resizes are ours.
    auto applying = std::make_shared<bool>(false);
    const auto apply = [header, model, applying] {
        *applying = true;
        ApplyTableWidths(header, model->Table());
        *applying = false;
    };
    QObject::connect(header, &QHeaderView::sectionResized, model,
                     [model, applying](int logical, int, int newSize) {
                         if (!*applying) model->Table().SetColWidth(logical, newSize);
                     });
    QObject::connect(model, &QAbstractItemModel::modelReset, view, apply);
    QObject::connect(model, &StringTableModel::columnWidthsChanged, view, apply);
    apply();
}

}  // namespace orp
