#include "processes/process_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_process_source.h"

namespace orp {
namespace {

constexpr std::uint64_t kGiB = 1024ull * 1024 * 1024;
constexpr std::uint64_t kMiB = 1024ull * 1024;

TEST(FormatProcessSize, SizeCells) {
    struct Case {
        std::int64_t value;
        std::string text;
    };
    const Case cases[] = {
        {0, "0"},
        {1023, "1023"},
        {1024, "1"},
        {1535, "1"},
        {1536, "2"},
        {2560, "2"},  // tie goes to the even neighbour
        {3584, "4"},
        {9999, "10"},
        {10000, "10"},
        {4294967295, "4194304"},
        {static_cast<std::int64_t>(4 * kGiB + kMiB), "4195328"},  // not cut to 32 bits
        {static_cast<std::int64_t>(64 * kGiB), "67108864"},
        {INT64_MAX, "9007199254740992"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatProcessSize(c.value), c.text) << c.value;
}

TEST(ProcessSizeValue, KeepsEveryBitThatFitsAndCapsTheRest) {
    EXPECT_EQ(ProcessSizeValue(4 * kGiB + kMiB), static_cast<std::int64_t>(4 * kGiB + kMiB));
    EXPECT_EQ(ProcessSizeValue(UINT64_MAX), INT64_MAX);
}

TEST(IsListedProcess, ExcludesOnlyTheTwoNamesWhole) {
    struct Case {
        std::string name;
        bool listed;
    };
    const Case cases[] = {
        {"system idle process", false},
        {"System Idle Process", false},
        {"SYSTEM IDLE PROCESS", false},
        {"orpram.exe", false},
        {"ORPRAM.EXE", false},
        {"OrpRam.Exe", false},
        {"orpram.exe2", true},
        {"orpram.exe ", true},
        {" orpram.exe", true},
        {"orpram", true},  // a copy under another file name is listed
        {"system idle", true},
        {"", true},
        {"bash", true},
    };
    for (const auto& c : cases) EXPECT_EQ(IsListedProcess(c.name), c.listed) << c.name;
}

TEST(AsciiLower, OnlyAsciiLettersChange) {
    struct Case {
        std::string in, out;
    };
    const Case cases[] = {
        {"Firefox-ESR", "firefox-esr"},
        {"AZ az @[`{", "az az @[`{"},
        {"\xC3\x84Z.EXE", "\xC3\x84z.exe"},  // "ÄZ.EXE": the UTF-8 bytes stay
        {"(sd-PAM)", "(sd-pam)"},
    };
    for (const auto& c : cases) EXPECT_EQ(AsciiLower(c.in), c.out) << c.in;
}

ProcessEntry Entry(std::string name, std::uint64_t ws, std::uint64_t peak, std::uint64_t pf) {
    return ProcessEntry{std::move(name), ws, peak, pf};
}

std::vector<std::vector<std::string>> Rows(const StringTable& t) {
    std::vector<std::vector<std::string>> rows;
    for (int r = 0; r < t.RowCount(); ++r) rows.push_back(t.Row(r));
    return rows;
}

const std::vector<std::string> kHeader = {"Process Name", "Used RAM", "Max. Used RAM",
                                          "Pagefile Used"};

class RefreshProcessTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProcessTable(table);
        source.processes = {
            Entry("Bash", 4096, 8192, 0),
            Entry("System Idle Process", 0, 0, 0),
            Entry("Xorg", 4 * kGiB + kMiB, 5 * kGiB, 1536),
            Entry("", 2560, 2560, 1023),
        };
    }
    StringTable table;
    FakeProcessSource source;
};

TEST_F(RefreshProcessTableTest, ResetGivesTheDesignedTable) {
    EXPECT_EQ(table.ColCount(), 4);
    EXPECT_EQ(table.RowCount(), 2);
    const int widths[] = {187, 115, 111, 100};
    for (int c = 0; c < 4; ++c) EXPECT_EQ(table.ColWidth(c), widths[c]) << c;
    EXPECT_EQ(table.Row(0), kHeader);
}

TEST_F(RefreshProcessTableTest, RowsComeInReverseSourceOrderBeforeSorting) {
    // Column 4 is no sort column, so the rows are left in the order they were written.
    RefreshProcessTable(table, source, true, ProcessSortState{4, true});
    const std::vector<std::vector<std::string>> expected = {
        kHeader,
        {"", "2 K", "2 K", "1023 K"},
        {"xorg", "4195328 K", "5242880 K", "2 K"},
        {"bash", "4 K", "8 K", "0 K"},
    };
    EXPECT_EQ(Rows(table), expected);
    EXPECT_FALSE(source.Active()) << "the rebuild lets go of the source at its end";
    EXPECT_EQ(source.queries, 1);
}

TEST_F(RefreshProcessTableTest, RebuildSortsByTheCurrentChoice) {
    RefreshProcessTable(table, source, true, ProcessSortState{1, false});
    ASSERT_EQ(table.RowCount(), 4);
    EXPECT_EQ(table.Cell(0, 1), "xorg");
    EXPECT_EQ(table.Cell(0, 2), "bash");
    EXPECT_EQ(table.Cell(0, 3), "");
    RefreshProcessTable(table, source, true, ProcessSortState{0, true});
    EXPECT_EQ(table.Cell(0, 1), "");
    EXPECT_EQ(table.Cell(0, 2), "bash");
    EXPECT_EQ(table.Cell(0, 3), "xorg");
}

TEST_F(RefreshProcessTableTest, FailuresAndDisplayOff) {
    struct Case {
        std::string name;
        bool displayOn;
        bool connectFails, connectThrows, queryFails;
        int failAtEntry;
        // the names in column 0 after the rebuild, header first
        std::vector<std::string> names;
        bool activeAfter;
    };
    const Case cases[] = {
        {"display off changes nothing and stays connected",
         false,
         false,
         false,
         false,
         -1,
         {"Process Name", "old-b", "old-a"},
         true},
        {"connection failure leaves the header alone",
         true,
         true,
         false,
         false,
         -1,
         {"Process Name"},
         false},
        {"connection that throws leaves the header alone",
         true,
         false,
         true,
         false,
         -1,
         {"Process Name"},
         false},
        {"query failure keeps the previous rows, sorted",
         true,
         false,
         false,
         true,
         -1,
         {"Process Name", "old-a", "old-b"},
         false},
        {"failing entry ends the listing, earlier rows stay",
         true,
         false,
         false,
         false,
         2,
         {"Process Name", "bash"},
         false},
        {"failing first entry leaves the header alone",
         true,
         false,
         false,
         false,
         0,
         {"Process Name"},
         false},
    };
    for (const auto& c : cases) {
        StringTable t;
        ResetProcessTable(t);
        t.SetRowCount(3);
        t.SetCell(0, 1, "old-b");
        t.SetCell(1, 1, "7 K");
        t.SetCell(0, 2, "old-a");
        t.SetCell(1, 2, "9 K");
        FakeProcessSource s;
        s.processes = source.processes;
        s.connectFails = c.connectFails;
        s.connectThrows = c.connectThrows;
        s.queryFails = c.queryFails;
        s.failAtEntry = c.failAtEntry;

        RefreshProcessTable(t, s, c.displayOn, ProcessSortState{0, true});

        std::vector<std::string> names;
        for (int r = 0; r < t.RowCount(); ++r) names.push_back(t.Cell(0, r));
        EXPECT_EQ(names, c.names) << c.name;
        EXPECT_EQ(s.Active(), c.activeAfter) << c.name;
        EXPECT_GE(s.cacheDrops, 1) << c.name << ": the cached list is always dropped";
        EXPECT_EQ(s.queries, c.displayOn && !c.connectFails && !c.connectThrows ? 1 : 0) << c.name;
    }
}

TEST_F(RefreshProcessTableTest, MoreProcessesThanTheTableHoldsNeverOverwriteTheHeader) {
    const int capacity = StringTable::MaxRowsFor(kProcessTableColumns);
    source.processes.clear();
    for (int i = 0; i < capacity + 5; ++i)
        source.processes.push_back(Entry("p" + std::to_string(i), 1, 1, 1));
    RefreshProcessTable(table, source, true, ProcessSortState{4, true});  // no sort: as written
    ASSERT_EQ(table.RowCount(), capacity);
    EXPECT_EQ(table.Row(0), kHeader);
    EXPECT_EQ(table.Cell(0, capacity - 1), "p0");  // the first listed goes lowest
    int empty = 0;
    for (int r = 1; r < capacity; ++r) empty += table.Cell(0, r).empty();
    EXPECT_EQ(empty, 0);
}

TEST_F(RefreshProcessTableTest, PrepareConnectsOnlyWhenNeededAndAlwaysDropsTheList) {
    EXPECT_TRUE(PrepareProcessQuery(source));
    EXPECT_TRUE(source.Active());
    EXPECT_EQ(source.Count(), 4);
    EXPECT_TRUE(PrepareProcessQuery(source));
    EXPECT_EQ(source.connects, 1);
    EXPECT_EQ(source.cacheDrops, 2);
    EXPECT_EQ(source.Count(), 4);
    EXPECT_EQ(source.queries, 2) << "the second query must list afresh";
    source.SetActive(false);
    source.connectThrows = true;
    EXPECT_TRUE(PrepareProcessQuery(source));
}

TEST(ChooseProcessSort, RemembersAValidChoiceEvenWithoutRows) {
    StringTable t;
    ResetProcessTable(t);
    t.TruncateRows(1);
    ProcessSortState state;
    EXPECT_TRUE(ChooseProcessSort(t, state, 3, false));
    EXPECT_EQ(state.column, 3);
    EXPECT_FALSE(state.ascending);
    EXPECT_FALSE(ChooseProcessSort(t, state, 4, true));
    EXPECT_FALSE(ChooseProcessSort(t, state, -1, true));
    EXPECT_EQ(state.column, 3);
    EXPECT_FALSE(state.ascending);
}

}  // namespace
}  // namespace orp
