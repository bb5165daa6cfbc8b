#include "ui/string_table_model.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTableView>
#include <string>
#include <vector>

namespace orp {
namespace {

// A log-shaped table: header and `rows` data rows, cells "r<row>c<col>".
StringTable MakeTable(int cols, int rows) {
    StringTable t(cols, rows + 1);
    for (int c = 0; c < cols; ++c) t.SetCell(c, 0, "H" + std::to_string(c));
    for (int r = 1; r <= rows; ++r)
        for (int c = 0; c < cols; ++c)
            t.SetCell(c, r, "r" + std::to_string(r) + "c" + std::to_string(c));
    return t;
}

QString Text(const StringTableModel& m, int row, int col) {
    return m.data(m.index(row, col)).toString();
}

TEST(StringTableModel, HeaderRowBecomesHorizontalHeader) {
    StringTable t = MakeTable(3, 2);
    StringTableModel m(t);
    EXPECT_EQ(m.rowCount(), 2);
    EXPECT_EQ(m.columnCount(), 3);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(m.headerData(c, Qt::Horizontal).toString(), QString::fromStdString(t.Cell(c, 0)));
        for (int r = 0; r < 2; ++r)
            EXPECT_EQ(Text(m, r, c), QString::fromStdString(t.Cell(c, r + 1)));
    }
    EXPECT_FALSE(m.data(m.index(2, 0)).isValid());  // no row past the end
    EXPECT_FALSE(m.headerData(3, Qt::Horizontal).isValid());
}

TEST(StringTableModel, TextIsUtf8) {
    StringTable t(1, 2);
    t.SetCell(0, 1,
              "gr\xC3\xBC\xC3\x9F"
              "e");
    StringTableModel m(t);
    EXPECT_EQ(Text(m, 0, 0), QString::fromUtf8("grüße"));
}

TEST(StringTableModel, FirstColumnLeftOthersRight) {
    StringTable t = MakeTable(5, 2);
    StringTableModel m(t);
    for (int c = 0; c < 5; ++c) {
        const Qt::Alignment h = c == 0 ? Qt::AlignLeft : Qt::AlignRight;
        const auto cell = m.data(m.index(1, c), Qt::TextAlignmentRole).value<Qt::Alignment>();
        const auto head =
            m.headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>();
        EXPECT_EQ(cell & Qt::AlignHorizontal_Mask, h) << "column " << c;
        EXPECT_EQ(head & Qt::AlignHorizontal_Mask, h) << "header of column " << c;
        EXPECT_EQ(cell & Qt::AlignVertical_Mask, Qt::AlignVCenter);
    }
}

TEST(StringTableModel, CellsCannotBeEdited) {
    StringTable t = MakeTable(2, 1);
    StringTableModel m(t);
    const Qt::ItemFlags f = m.flags(m.index(0, 1));
    EXPECT_FALSE(f & Qt::ItemIsEditable);
    EXPECT_TRUE(f & Qt::ItemIsSelectable);
    EXPECT_FALSE(m.setData(m.index(0, 1), QStringLiteral("x")));
    EXPECT_EQ(t.Cell(1, 1), "r1c1");
}

// Records the model's structural and data signals, and checks at each one that the model's
// counts agree with what the signal announces.
struct SignalLog {
    int inserted = 0, removed = 0, resets = 0, dataChanges = 0, headerChanges = 0;
    int firstInserted = -1, firstRemoved = -1;
    QModelIndex lastTopLeft, lastBottomRight;

    explicit SignalLog(StringTableModel& m) {
        QObject::connect(&m, &QAbstractItemModel::rowsInserted,
                         [this](const QModelIndex&, int first, int last) {
                             inserted += last - first + 1;
                             firstInserted = first;
                         });
        QObject::connect(&m, &QAbstractItemModel::rowsRemoved,
                         [this](const QModelIndex&, int first, int last) {
                             removed += last - first + 1;
                             firstRemoved = first;
                         });
        QObject::connect(&m, &QAbstractItemModel::modelReset, [this] { ++resets; });
        QObject::connect(&m, &QAbstractItemModel::dataChanged,
                         [this](const QModelIndex& tl, const QModelIndex& br) {
                             ++dataChanges;
                             lastTopLeft = tl;
                             lastBottomRight = br;
                         });
        QObject::connect(&m, &QAbstractItemModel::headerDataChanged,
                         [this](Qt::Orientation o, int, int) {
                             if (o == Qt::Horizontal) ++headerChanges;
                         });
    }
    bool CoversAll(const StringTableModel& m) const {
        return lastTopLeft == m.index(0, 0) &&
               lastBottomRight == m.index(m.rowCount() - 1, m.columnCount() - 1);
    }
};

TEST(StringTableModel, SignalsFollowTableChanges) {
    struct Case {
        const char* name;
        void (*change)(StringTable&);
        int rowsAfter;
        int inserted, removed, resets;
        bool allDataChanged;
    };
    // Starting from a header and four rows of four columns.
    const Case cases[] = {
        {"run inserts a row at the top", [](StringTable& t) { t.InsertRow(1); }, 5, 1, 0, 0, true},
        {"clear log",
         [](StringTable& t) {
             t.SetRowCount(2);
             t.ClearCells();
         },
         1, 0, 3, 0, true},
        {"sort",
         [](StringTable& t) {
             t.SortRows(1, [](const auto& a, const auto& b) { return a[0] > b[0]; });
         },
         4, 0, 0, 0, true},
        {"rebuild in a batch",
         [](StringTable& t) {
             StringTable::Batch batch(t);
             t.TruncateRows(1);
             for (int i = 0; i < 6; ++i) t.InsertRow(1);
             t.SetCell(0, 1, "new");
         },
         6, 2, 0, 0, true},
        {"cut to the header", [](StringTable& t) { t.TruncateRows(1); }, 0, 0, 4, 0, false},
        {"one cell", [](StringTable& t) { t.SetCell(2, 3, "x"); }, 4, 0, 0, 0, true},
        {"file with other columns", [](StringTable& t) { t.SetColCount(5); }, 4, 0, 0, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StringTable t = MakeTable(4, 4);
        StringTableModel m(t);
        QTableView view;  // a real view must stay in step with the signals
        view.setModel(&m);
        SignalLog log(m);
        c.change(t);
        EXPECT_EQ(m.rowCount(), c.rowsAfter);
        EXPECT_EQ(view.verticalHeader()->count(), c.rowsAfter);
        EXPECT_EQ(view.horizontalHeader()->count(), t.ColCount());
        EXPECT_EQ(log.inserted, c.inserted);
        EXPECT_EQ(log.removed, c.removed);
        EXPECT_EQ(log.resets, c.resets);
        if (c.allDataChanged) {
            EXPECT_GE(log.dataChanges, 1);
            EXPECT_TRUE(log.CoversAll(m));
        }
        if (c.resets == 0) {
            EXPECT_GE(log.headerChanges, 1);
        }
        for (int r = 0; r < m.rowCount(); ++r)
            for (int col = 0; col < m.columnCount(); ++col)
                ASSERT_EQ(Text(m, r, col), QString::fromStdString(t.Cell(col, r + 1)))
                    << "row " << r << " column " << col;
    }
}

TEST(StringTableModel, HeaderChangeReachesTheView) {
    StringTable t = MakeTable(2, 1);
    StringTableModel m(t);
    SignalLog log(m);
    t.SetCell(1, 0, "Free RAM");
    EXPECT_GE(log.headerChanges, 1);
    EXPECT_EQ(m.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Free RAM"));
}

TEST(StringTableModel, ReleasesTheTableWhenDestroyed) {
    StringTable t = MakeTable(2, 1);
    { StringTableModel m(t); }
    t.InsertRow(1);  // would call into the destroyed model
    t.SetCell(0, 1, "x");
    EXPECT_EQ(t.RowCount(), 3);
}

// --- the grid binding --------------------------------------------------------------------------

struct BoundGrid {
    StringTable table = MakeTable(5, 3);
    StringTableModel model{table};
    QTableView view;
    BoundGrid() {
        const int widths[] = {172, 90, 90, 82, 80};
        for (int c = 0; c < 5; ++c) table.SetColWidth(c, widths[c]);
        BindGrid(&view, &model);
        view.resize(600, 200);
        view.show();
        QApplication::processEvents();
    }
    QHeaderView* Header() { return view.horizontalHeader(); }
};

TEST(BindGrid, ViewTakesTableWidthsAndRowHeight) {
    BoundGrid g;
    for (int c = 0; c < 5; ++c) EXPECT_EQ(g.Header()->sectionSize(c), g.table.ColWidth(c)) << c;
    for (int r = 0; r < g.model.rowCount(); ++r) EXPECT_EQ(g.view.rowHeight(r), 21);
    EXPECT_EQ(g.view.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

TEST(BindGrid, WidthSetInTableReachesView) {
    BoundGrid g;
    g.table.SetColWidth(2, 133);
    EXPECT_EQ(g.Header()->sectionSize(2), 133);
    EXPECT_EQ(g.table.ColWidth(2), 133);
}

void Drag(QWidget* target, QPoint from, QPoint to) {
    QMouseEvent press(QEvent::MouseButtonPress, from, target->mapToGlobal(from), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QMouseEvent move(QEvent::MouseMove, to, target->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, to, target->mapToGlobal(to), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

TEST(BindGrid, ColumnDraggedByUserIsWrittenBackToTable) {
    BoundGrid g;
    QHeaderView* h = g.Header();
    const int edge = h->sectionViewportPosition(1) + h->sectionSize(1) - 1;
    const int y = h->height() / 2;
    Drag(h->viewport(), QPoint(edge, y), QPoint(edge + 37, y));
    EXPECT_EQ(h->sectionSize(1), 90 + 37);
    EXPECT_EQ(g.table.ColWidth(1), 90 + 37);
    EXPECT_EQ(g.table.ColWidth(0), 172);  // its neighbours are untouched
    EXPECT_EQ(g.table.ColWidth(2), 90);
}

TEST(BindGrid, ResetDoesNotOverwriteTableWidths) {
    // A loaded file with another shape makes the view start afresh, in either direction.
    for (const int cols : {6, 3}) {
        SCOPED_TRACE(cols);
        BoundGrid g;
        g.view.horizontalScrollBar()->setValue(g.view.horizontalScrollBar()->maximum());
        g.table.SetColCount(cols);
        QApplication::processEvents();
        const int expected[] = {172, 90, 90, 82, 80, StringTable::kDefaultColWidth};
        for (int c = 0; c < cols; ++c) {
            EXPECT_EQ(g.table.ColWidth(c), expected[c]) << c;
            EXPECT_EQ(g.Header()->sectionSize(c), expected[c]) << c;
        }
    }
}

TEST(BindGrid, AbsurdWidthFromFileIsShownCapped) {
    BoundGrid g;
    g.table.SetColWidth(0, 1'000'000'000);
    g.table.SetColWidth(1, -50);
    EXPECT_EQ(g.Header()->sectionSize(0), kMaxGridColumnWidth);
    EXPECT_EQ(g.Header()->sectionSize(1), 0);
    EXPECT_GT(g.Header()->length(), 0);             // no overflow of the header's total
    EXPECT_EQ(g.table.ColWidth(0), 1'000'000'000);  // the view's cap is not a user's resize
}

TEST(BindGrid, ClickSelectsTheWholeRow) {
    BoundGrid g;
    const QRect cell = g.view.visualRect(g.model.index(1, 3));
    const QPoint at = cell.center();
    QMouseEvent press(QEvent::MouseButtonPress, at, g.view.viewport()->mapToGlobal(at),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, g.view.viewport()->mapToGlobal(at),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(g.view.viewport(), &press);
    QApplication::sendEvent(g.view.viewport(), &release);
    const auto rows = g.view.selectionModel()->selectedRows();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows.front().row(), 1);
    EXPECT_EQ(g.view.selectionModel()->selectedIndexes().size(), g.model.columnCount());
}

}  // namespace
}  // namespace orp
