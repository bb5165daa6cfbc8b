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
