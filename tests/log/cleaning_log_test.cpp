#include "log/cleaning_log.h"

#include <gtest/gtest.h>

#include "fakes/scratch_dir.h"
#include "log/grid_file.h"

namespace orp {
namespace {

using test::ReadBytes;
using test::ScratchDir;
using test::WriteBytes;

const char* const kHeaders[] = {"Date & Time", "Free RAM", "Used RAM", "Target RAM", "RAM Cleared"};
const int kWidths[] = {172, 90, 90, 82, 80};

StringTable FreshLog() {
    StringTable log;
    ResetLog(log);
    return log;
}

void LogRun(StringTable& log, const std::string& tag) {
    StartLogRow(log, "time " + tag, "free " + tag, "used " + tag);
    SetLogTarget(log, "target " + tag);
    SetLogCleared(log, "cleared " + tag);
}

std::vector<std::string> RowOf(const StringTable& log, int row) {
    std::vector<std::string> cells;
    for (int c = 0; c < log.ColCount(); ++c) cells.push_back(log.Cell(c, row));
    return cells;
}

TEST(CleaningLog, ResetGivesTheDesignContents) {
    StringTable log(9, 7);
    log.SetCell(3, 4, "old");
    ResetLog(log);
    ASSERT_EQ(log.ColCount(), 5);
    ASSERT_EQ(log.RowCount(), 2);
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(log.Cell(c, 0), kHeaders[c]);
        EXPECT_EQ(log.ColWidth(c), kWidths[c]);
        EXPECT_EQ(log.Cell(c, 1), "");
        EXPECT_EQ(LogHeader(c), kHeaders[c]);
        EXPECT_EQ(LogInitialWidth(c), kWidths[c]);
    }
}

TEST(CleaningLog, StartingARowInsertsOnlyWhenRowOneIsTaken) {
    struct Case {
        const char* name;
        std::function<void(StringTable&)> before;
        int rows;                       // row count afterwards
        std::vector<std::string> row2;  // row 2 afterwards (empty: no row 2 expected)
    };
    const Case cases[] = {
        {"empty log: row 1 is reused", [](StringTable&) {}, 2, {}},
        {"a complete row moves down",
         [](StringTable& l) { LogRun(l, "old"); },
         3,
         {"time old", "free old", "used old", "target old", "cleared old"}},
        {"a row without free memory is reused",
         [](StringTable& l) { l.SetCell(0, 1, "time failed"); },
         2,
         {}},
        {"free memory alone marks row 1 as taken",
         [](StringTable& l) { l.SetCell(1, 1, "f"); },
         3,
         {"", "f", "", "", ""}},
        {"a header-only log gets its row", [](StringTable& l) { l.SetRowCount(1); }, 2, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StringTable log = FreshLog();
        c.before(log);
        StartLogRow(log, "time new", "free new", "used new");
        ASSERT_EQ(log.RowCount(), c.rows);
        EXPECT_EQ(RowOf(log, 0),
                  std::vector<std::string>(std::begin(kHeaders), std::end(kHeaders)));
        EXPECT_EQ(log.Cell(0, 1), "time new");
        EXPECT_EQ(log.Cell(1, 1), "free new");
        EXPECT_EQ(log.Cell(2, 1), "used new");
        if (!c.row2.empty()) {
            EXPECT_EQ(RowOf(log, 2), c.row2);
        }
    }
}

TEST(CleaningLog, RunsAreListedNewestFirst) {
    StringTable log = FreshLog();
    LogRun(log, "1");
    LogRun(log, "2");
    LogRun(log, "3");
    ASSERT_EQ(log.RowCount(), 4);
    for (int r = 1; r <= 3; ++r) {
        const std::string tag = std::to_string(4 - r);
        EXPECT_EQ(RowOf(log, r),
                  (std::vector<std::string>{"time " + tag, "free " + tag, "used " + tag,
                                            "target " + tag, "cleared " + tag}));
    }
}

TEST(CleaningLog, ANarrowLoadedLogGetsItsColumnsBack) {
    StringTable log(3, 2);
    log.SetCell(0, 0, "Date & Time");
    log.SetCell(1, 1, "free old");
    log.SetColWidth(0, 150);
    LogRun(log, "new");
    ASSERT_EQ(log.ColCount(), 5);
    EXPECT_EQ(log.Cell(3, 0), "Target RAM");
    EXPECT_EQ(log.Cell(4, 0), "RAM Cleared");
    EXPECT_EQ(log.ColWidth(0), 150);
    EXPECT_EQ(log.ColWidth(3), 82);
    EXPECT_EQ(log.ColWidth(4), 80);
    EXPECT_EQ(log.Cell(3, 1), "target new");
    EXPECT_EQ(log.Cell(4, 1), "cleared new");
    EXPECT_EQ(log.Cell(1, 2), "free old");
}

TEST(CleaningLog, AFullLogDropsItsOldestRow) {
    StringTable log = FreshLog();
    const int cap = StringTable::MaxRowsFor(5);
    log.SetRowCount(cap);
    log.SetCell(1, 1, "newest old");
    log.SetCell(1, cap - 2, "second oldest");
    log.SetCell(1, cap - 1, "oldest");
    LogRun(log, "new");
    EXPECT_EQ(log.RowCount(), cap);
    EXPECT_EQ(log.Cell(1, 1), "free new");
    EXPECT_EQ(log.Cell(1, 2), "newest old");
    EXPECT_EQ(log.Cell(1, cap - 1), "second oldest");
}

TEST(CleaningLog, ClearLeavesTheHeaderAndOneEmptyRow) {
    StringTable log = FreshLog();
    LogRun(log, "1");
    LogRun(log, "2");
    log.SetColWidth(2, 140);
    ClearLog(log);
    ASSERT_EQ(log.RowCount(), 2);
    EXPECT_EQ(RowOf(log, 0), std::vector<std::string>(std::begin(kHeaders), std::end(kHeaders)));
    EXPECT_EQ(RowOf(log, 1), std::vector<std::string>(5));
    EXPECT_EQ(log.ColWidth(2), 140);
    // The next run reuses row 1.
    LogRun(log, "3");
    EXPECT_EQ(log.RowCount(), 2);
}

TEST(CleaningLog, CsvNamesAlwaysGainTheExtension) {
    const std::pair<std::string, std::string> cases[] = {
        {"runs", "runs.csv"},
        {"runs.csv", "runs.csv.csv"},
        {"/home/u/My Logs/runs.CSV", "/home/u/My Logs/runs.CSV.csv"},
        {"", ".csv"},
    };
    for (const auto& [chosen, written] : cases) EXPECT_EQ(WithCsvExtension(chosen), written);

    ScratchDir dir;
    StringTable log = FreshLog();
    LogRun(log, "1");
    ASSERT_TRUE(SaveLogCsv(log, dir.File("runs.csv")));
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"runs.csv.csv"});
    EXPECT_EQ(ReadBytes(dir.File("runs.csv.csv")), CsvText(log));
    EXPECT_FALSE(SaveLogCsv(log, dir.File("missing/runs")));
}

TEST(CleaningLog, TheFileBesideTheExecutableKeepsRowsAndWidths) {
    struct Case {
        const char* name;
        std::function<void(StringTable&)> change;
    };
    const Case cases[] = {
        {"runs and a changed width",
         [](StringTable& l) {
             LogRun(l, "1");
             LogRun(l, "2");
             l.SetColWidth(0, 200);
         }},
        {"a cleared log stays cleared",
         [](StringTable& l) {
             LogRun(l, "1");
             ClearLog(l);
         }},
        {"a row whose run did not finish", [](StringTable& l) { StartLogRow(l, "t", "f", "u"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir dir;
        StringTable log = FreshLog();
        c.change(log);
        ASSERT_TRUE(SaveLog(log, dir.Dir()));
        EXPECT_EQ(ReadBytes(dir.File("orpram.orl")), GridFileText(log));
        StringTable next = FreshLog();
        int pumps = 0;
        ASSERT_TRUE(LoadLog(next, dir.Dir(), [&] { ++pumps; }));
        EXPECT_TRUE(next.SameContents(log));
        EXPECT_GE(pumps, 5);  // at least the header's cell lines
    }
}

TEST(CleaningLog, LoadAndSaveFailuresAreReportedNotThrown) {
    ScratchDir dir;
    StringTable log = FreshLog();
    LogRun(log, "1");

    // No file yet: nothing to load, and that is no failure.
    StringTable fresh = FreshLog();
    EXPECT_TRUE(LoadLog(fresh, dir.Dir()));
    EXPECT_TRUE(fresh.SameContents(FreshLog()));

    // A log file that is a directory cannot be read.
    std::filesystem::create_directory(dir.File("orpram.orl"));
    EXPECT_FALSE(LoadLog(fresh, dir.Dir()));
    EXPECT_FALSE(SaveLog(log, dir.Dir()));
    std::filesystem::remove(dir.File("orpram.orl"));

    // A pump that throws ends the load; what was read stays, nothing escapes.
    WriteBytes(dir.File("orpram.orl"), "5,3\r\n0,1,a\r\n0,2,b\r\n");
    EXPECT_FALSE(LoadLog(fresh, dir.Dir(), [] { throw std::runtime_error("window gone"); }));
    EXPECT_EQ(fresh.RowCount(), 3);
    EXPECT_EQ(fresh.Cell(0, 1), "a");
    EXPECT_EQ(fresh.Cell(0, 2), "");

    EXPECT_FALSE(SaveLog(log, dir.File("no-such-dir") + "/"));
}

}  // namespace
}  // namespace orp
