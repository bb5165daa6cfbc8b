#include "log/string_table.h"

#include <gtest/gtest.h>

namespace orp {
namespace {

TEST(StringTable, ResizeKeepsCellsAndClampsCounts) {
    StringTable t(5, 2);
    t.SetCell(4, 1, "x");
    t.SetRowCount(0);
    EXPECT_EQ(t.RowCount(), 1);
    t.SetRowCount(3);
    EXPECT_EQ(t.Cell(4, 1), "");  // row 1 was dropped with the shrink
    t.SetCell(2, 2, "y");
    t.SetColCount(StringTable::kMaxCols + 10);
    EXPECT_EQ(t.ColCount(), StringTable::kMaxCols);
    EXPECT_EQ(t.Cell(2, 2), "y");
    EXPECT_EQ(t.Cell(99, 99), "");
}

TEST(StringTable, ShapesStayWithinTheCellCap) {
    using T = StringTable;
    struct Case {
        const char* name;
        std::function<void(T&)> change;
        int cols, rows;
    };
    const Case cases[] = {
        {"rows capped", [](T& t) { t.SetSize(5, 2'000'000'000); }, 5, T::kMaxRows},
        {"wide tables get fewer rows", [](T& t) { t.SetSize(256, T::kMaxRows); }, 256,
         T::kMaxCells / 256},
        {"columns first, then rows",
         [](T& t) {
             t.SetSize(1, T::kMaxRows);
             t.SetSize(256, 2);
         },
         256, 2},
        {"more columns on many rows are capped",
         [](T& t) {
             t.SetRowCount(T::kMaxRows);
             t.SetColCount(256);
         },
         T::kMaxCells / T::kMaxRows, T::kMaxRows},
        {"more rows on many columns are capped",
         [](T& t) {
             t.SetColCount(256);
             t.SetRowCount(T::kMaxRows);
         },
         256, T::MaxRowsFor(256)},
        {"no insert beyond the cap",
         [](T& t) {
             t.SetSize(256, T::kMaxRows);
             t.InsertRow(1);
         },
         256, T::MaxRowsFor(256)},
        {"counts below 1", [](T& t) { t.SetSize(-4, 0); }, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        T t(5, 2);
        c.change(t);
        EXPECT_EQ(t.ColCount(), c.cols);
        EXPECT_EQ(t.RowCount(), c.rows);
        EXPECT_LE(static_cast<long long>(t.ColCount()) * t.RowCount(), T::kMaxCells);
        EXPECT_EQ(static_cast<int>(t.Row(t.RowCount() - 1).size()), c.cols);
    }
}

TEST(StringTable, SetSizeKeepsCellsThatStillFitAndReportsOnce) {
    StringTable t(3, 3);
    t.SetCell(1, 1, "kept");
    t.SetCell(2, 2, "dropped");
    t.SetColWidth(0, 99);
    int shapes = 0;
    t.SetListener([&](StringTable::Change c) { shapes += c == StringTable::Change::Shape; });
    t.SetSize(2, 5);
    EXPECT_EQ(shapes, 1);
    EXPECT_EQ(t.Cell(1, 1), "kept");
    EXPECT_EQ(t.Cell(2, 2), "");
    EXPECT_EQ(t.ColWidth(0), 99);
    t.SetSize(3, 5);
    EXPECT_EQ(t.Cell(2, 2), "");  // a dropped column comes back empty
    EXPECT_EQ(t.ColWidth(2), StringTable::kDefaultColWidth);
}

TEST(StringTable, InsertRowMovesOlderRowsDown) {
    StringTable t(2, 2);
    t.SetCell(0, 1, "old");
    t.InsertRow(1);
    EXPECT_EQ(t.RowCount(), 3);
    EXPECT_EQ(t.Cell(0, 1), "");
    EXPECT_EQ(t.Cell(0, 2), "old");
}

TEST(StringTable, BatchReportsOnceAtTheEnd) {
    StringTable t(2, 2);
    int shapes = 0, cells = 0;
    t.SetListener([&](StringTable::Change c) {
        shapes += c == StringTable::Change::Shape;
        cells += c == StringTable::Change::Cells;
    });
    {
        StringTable::Batch b(t);
        t.InsertRow(1);
        t.SetCell(0, 1, "a");
        t.InsertRow(1);
        EXPECT_EQ(shapes + cells, 0);
    }
    EXPECT_EQ(shapes, 1);
    EXPECT_EQ(cells, 0);
}

}  // namespace
}  // namespace orp
