#include "processes/process_sort.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orp {
namespace {

StringTable TableOf(const std::vector<std::vector<std::string>>& processRows) {
    StringTable t(4, 1 + static_cast<int>(processRows.size()));
    const char* header[] = {"Process Name", "Used RAM", "Max. Used RAM", "Pagefile Used"};
    for (int c = 0; c < 4; ++c) t.SetCell(c, 0, header[c]);
    for (std::size_t r = 0; r < processRows.size(); ++r) {
        for (int c = 0; c < 4; ++c) t.SetCell(c, static_cast<int>(r) + 1, processRows[r][c]);
    }
    return t;
}

std::vector<std::string> Column(const StringTable& t, int col) {
    std::vector<std::string> v;
    for (int r = 1; r < t.RowCount(); ++r) v.push_back(t.Cell(col, r));
    return v;
}

TEST(SortProcessTable, OrdersByEitherStyleInEitherDirection) {
    const std::vector<std::vector<std::string>> rows = {
        {"bash", "100 K", "9 K", "3 K"},
        {"zsh", "9 K", "100 K", "2 K"},
        {"Xorg", "10 K", "10 K", "1 K"},
        {"apache2", "1023 K", "1 K", ""},
    };
    struct Case {
        int column;
        bool ascending;
        std::vector<std::string> names;  // column 0 after the sort
    };
    const Case cases[] = {
        {0, true, {"Xorg", "apache2", "bash", "zsh"}},  // byte order: capitals first
        {0, false, {"zsh", "bash", "apache2", "Xorg"}},
        {1, true, {"zsh", "Xorg", "bash", "apache2"}},  // 9 K < 10 K < 100 K < 1023 K
        {1, false, {"apache2", "bash", "Xorg", "zsh"}},
        {2, true, {"apache2", "bash", "Xorg", "zsh"}},
        {2, false, {"zsh", "Xorg", "bash", "apache2"}},
        {3, true, {"apache2", "Xorg", "zsh", "bash"}},  // empty counts as 0
        {3, false, {"bash", "zsh", "Xorg", "apache2"}},
    };
    for (const auto& c : cases) {
        StringTable t = TableOf(rows);
        ASSERT_TRUE(SortProcessTable(t, c.column, c.ascending)) << c.column;
        EXPECT_EQ(Column(t, 0), c.names) << "column " << c.column << " asc " << c.ascending;
        EXPECT_EQ(t.Cell(0, 0), "Process Name") << "the header row stays in place";
        // Rows move whole: each name keeps its own sizes.
        for (int r = 1; r < t.RowCount(); ++r) {
            for (const auto& orig : rows) {
                if (orig[0] == t.Cell(0, r)) {
                    EXPECT_EQ(t.Row(r), orig) << c.column;
                }
            }
        }
    }
}

TEST(SortProcessTable, RefusesWithoutChanging) {
    struct Case {
        std::string name;
        int column;
        int processRows;
    };
    const Case cases[] = {
        {"column 4", 4, 3},
        {"column 99", 99, 3},
        {"column -1", -1, 3},
        {"table without process rows", 0, 0},
        {"table without process rows, numeric column", 2, 0},
    };
    for (const auto& c : cases) {
        std::vector<std::vector<std::string>> rows;
        for (int i = 0; i < c.processRows; ++i) {
            rows.push_back({std::string(1, static_cast<char>('z' - i)), "3 K", "2 K", "1 K"});
        }
        StringTable t = TableOf(rows);
        const StringTable before = t;
        int changes = 0;
        t.SetListener([&](StringTable::Change) { ++changes; });
        EXPECT_FALSE(SortProcessTable(t, c.column, true)) << c.name;
        for (int r = 0; r < t.RowCount(); ++r) EXPECT_EQ(t.Row(r), before.Row(r)) << c.name;
        EXPECT_EQ(t.RowCount(), before.RowCount()) << c.name;
        EXPECT_EQ(changes, 0) << c.name;
    }
}

TEST(SortProcessTable, UnreadableCellsGiveAWellDefinedOrder) {
    // Many mixed keys: a comparison that is no strict weak order lets std::sort run off the
    // ends of the rows; this one must put the unreadable texts first and the numbers in order.
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < 200; ++i) {
        std::string size = i % 3 == 0 ? "n/a" : std::to_string((i * 7919) % 1000) + " K";
        rows.push_back({"p" + std::to_string(i), size, "", ""});
    }
    StringTable t = TableOf(rows);
    ASSERT_TRUE(SortProcessTable(t, 1, true));
    const auto sizes = Column(t, 1);
    ASSERT_EQ(sizes.size(), rows.size());
    std::size_t i = 0;
    while (i < sizes.size() && sizes[i] == "n/a") ++i;
    EXPECT_EQ(i, 67u);
    for (std::size_t j = i + 1; j < sizes.size(); ++j) {
        EXPECT_LE(std::stoi(sizes[j - 1]), std::stoi(sizes[j])) << j;
    }
}

TEST(ReadCellNumber, ReadsTheNumberBehindTheSuffix) {
    struct Case {
        std::string text;
        std::string suffix;
        bool readable;
        long double value;
    };
    const Case cases[] = {
        {"1023 K", " K", true, 1023}, {"", " K", true, 0},
        {" K", " K", true, 0},        {"4195328 K", " K", true, 4195328},
        {"12 K K", " K", false, 0},  // only the first " K" goes
        {"12", " K", true, 12},       {"1.5 K", " K", true, 1.5L},
        {"-3 K", " K", true, -3},     {"+3", " K", true, 3},
        {"2e3 K", " K", true, 2000},  {"K 12", " K", false, 0},
        {"12K", " K", false, 0},      {"abc", " K", false, 0},
        {"inf K", " K", false, 0},    {"nan", " K", false, 0},
        {"1e99999", " K", false, 0},  {".", " K", false, 0},
        {"1e", " K", false, 0},       {"12 MiB", " K", false, 0},
        {"12 MiB", "", false, 0},
    };
    for (const auto& c : cases) {
        const auto v = ReadCellNumber(c.text, c.suffix);
        ASSERT_EQ(v.has_value(), c.readable) << '"' << c.text << '"';
        if (v) {
            EXPECT_EQ(*v, c.value) << c.text;
        }
    }
}

TEST(CompareCells, NumericAndAlphabetic) {
    struct Case {
        std::string a, b;
        CompareStyle style;
        int expected;
    };
    const Case cases[] = {
        {"9 K", "10 K", CompareStyle::Numeric, -1},
        {"100 K", "10 K", CompareStyle::Numeric, 1},
        {"9 K", "10 K", CompareStyle::Alphabetic, 1},
        {"", "0 K", CompareStyle::Numeric, 0},
        {"x", "y", CompareStyle::Numeric, 0},  // neither readable: equal
        {"x", "0 K", CompareStyle::Numeric, -1},
        {"5 K", "x", CompareStyle::Numeric, 1},
        {"Zsh", "bash", CompareStyle::Alphabetic, -1},
        {"bash", "bash", CompareStyle::Alphabetic, 0},
        {"\xC3\xA9", "z", CompareStyle::Alphabetic, 1},  // bytes compare unsigned
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CompareCells(c.a, c.b, c.style, " K"), c.expected) << c.a << " vs " << c.b;
    }
}

TEST(ColumnFormat, StylesAndAlignment) {
    struct Case {
        int col;
        CompareStyle style;
        std::string suffix;
        bool right;
    };
    // Start from values the handler must leave alone where it does not set them.
    const Case cases[] = {
        {0, CompareStyle::Alphabetic, "keep", false}, {1, CompareStyle::Numeric, " K", true},
        {2, CompareStyle::Numeric, " K", true},       {3, CompareStyle::Numeric, " K", true},
        {4, CompareStyle::Numeric, "keep", true},     {-1, CompareStyle::Numeric, "keep", false},
    };
    for (const auto& c : cases) {
        CompareStyle style = CompareStyle::Numeric;
        std::string prefix = "keep", suffix = "keep";
        GetColumnFormat(c.col, style, prefix, suffix);
        EXPECT_EQ(style, c.style) << c.col;
        EXPECT_EQ(suffix, c.suffix) << c.col;
        EXPECT_EQ(prefix, "keep") << c.col;
        EXPECT_EQ(IsRightAligned(c.col), c.right) << c.col;
    }
}

TEST(SortMenuEntries, MenuOrderCaptionsAndActions) {
    struct Expected {
        std::string parent, caption, item;
        SortMenuAction action;
        int column;
        bool ascending;
    };
    const Expected expected[] = {
        {"Sort Ascending", "Process Name", "itm_ProcessName1", SortMenuAction::Sort, 0, true},
        {"Sort Ascending", "Current Memory", "itm_CurrentMemory1", SortMenuAction::Sort, 1, true},
        {"Sort Ascending", "Max. Memory", "itm_MaxMemory1", SortMenuAction::Sort, 2, true},
        {"Sort Ascending", "Pagefile", "itm_Pagefile1", SortMenuAction::Sort, 3, true},
        {"Sort Descending", "Process Name", "itm_ProcessName2", SortMenuAction::Sort, 0, false},
        {"Sort Descending", "Current Memory", "itm_CurrentMemory2", SortMenuAction::Sort, 1, false},
        {"Sort Descending", "Max. Memory", "itm_MaxMemory2", SortMenuAction::Sort, 2, false},
        {"Sort Descending", "Pagefile", "itm_Pagefile2", SortMenuAction::Sort, 3, false},
        {"Export to File", "CSV", "itm_CSV1", SortMenuAction::ExportCsv, -1, true},
        {"", "", "itm_N6", SortMenuAction::Separator, -1, true},
        {"", "Refresh Processes", "itm_RefreshProcesses1", SortMenuAction::Refresh, -1, true},
    };
    const auto& entries = SortMenuEntries();
    ASSERT_EQ(entries.size(), std::size(expected));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto& e = entries[i];
        EXPECT_EQ(e.parent, expected[i].parent) << i;
        EXPECT_EQ(e.caption, expected[i].caption) << i;
        EXPECT_EQ(e.item, expected[i].item) << i;
        EXPECT_EQ(e.action, expected[i].action) << i;
        if (e.action == SortMenuAction::Sort) {
            EXPECT_EQ(e.column, expected[i].column) << i;
            EXPECT_EQ(e.ascending, expected[i].ascending) << i;
        }
    }
}

}  // namespace
}  // namespace orp
