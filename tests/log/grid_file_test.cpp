#include "log/grid_file.h"

#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>
#include <tuple>

#include "fakes/scratch_dir.h"
#include "log/cleaning_log.h"
#include "log/file_replace.h"

namespace orp {
namespace {

using test::ReadBytes;
using test::ScratchDir;
using test::WriteBytes;

std::string Lines(std::initializer_list<std::string> lines) {
    std::string out;
    for (const auto& l : lines) out += l + "\r\n";
    return out;
}

StringTable FreshLog() {
    StringTable log;
    ResetLog(log);
    return log;
}

// Saving what was loaded and loading that into a fresh table must give it back unchanged:
// the writer's output is always something the reader takes whole.
void ExpectSaveReloadKeepsTable(const StringTable& loaded) {
    ScratchDir dir;
    const std::string file = dir.File("again.orl");
    SaveGridFile(loaded, file);
    StringTable again;
    LoadGridFile(again, file);
    EXPECT_TRUE(again.SameContents(loaded)) << GridFileText(loaded) << "---\n"
                                            << GridFileText(again);
}

TEST(GridFile, EmptyLogIsWrittenByteForByte) {
    const std::string expected =
        Lines({"5,2", "cw 0,172", "cw 1,90", "cw 2,90", "cw 3,82", "cw 4,80", "0,0,Date & Time",
               "1,0,Free RAM", "2,0,Used RAM", "3,0,Target RAM", "4,0,RAM Cleared"});
    EXPECT_EQ(GridFileText(FreshLog()), expected);

    ScratchDir dir;
    SaveGridFile(FreshLog(), dir.File("orpram.orl"));
    EXPECT_EQ(ReadBytes(dir.File("orpram.orl")), expected);
}

TEST(GridFile, CellTextEncodingKeepsEachCellOnItsLine) {
    struct Case {
        std::string text, encoded, readBack;
    };
    const Case cases[] = {
        {"400 MiB", "400 MiB", "400 MiB"},
        {"a,b,,c", "a,b,,c", "a,b,,c"},
        {"tab\there", "tab\there", "tab\there"},
        {"one\r\ntwo", "one\t\btwo", "one"},   // cells hold one line
        {"one\rtwo", "one\ttwo", "one\ttwo"},  // no BS: the TAB is read as a TAB
        {"one\ntwo", "one\btwo", "one\ntwo"},  // a lone LF must not end the file's line
        {"end\r\n", "end\t\b", "end"},
        {std::string("nul\0byte", 8), std::string("nul\0byte", 8), std::string("nul\0byte", 8)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(EncodeGridCell(c.text), c.encoded);
        EXPECT_EQ(DecodeGridCell(c.encoded), c.readBack);
        EXPECT_EQ(EncodeGridCell(c.text).find('\n'), std::string::npos);
    }
}

TEST(GridFile, SaveThenLoadGivesTheSameTable) {
    struct CellText {
        int col, row;
        std::string text, readBack;
    };
    struct Case {
        const char* name;
        int cols, rows;
        std::vector<std::pair<int, int>> widths;
        std::vector<CellText> cells;
    };
    const Case cases[] = {
        {"log with three runs and a widened column",
         5,
         4,
         {{0, 172}, {1, 90}, {2, 120}, {3, 82}, {4, 80}},
         {{0, 0, "Date & Time", "Date & Time"},
          {4, 0, "RAM Cleared", "RAM Cleared"},
          {0, 1, "03/02/2024 10:11:12", "03/02/2024 10:11:12"},
          {3, 1, "400 MiB", "400 MiB"},
          {4, 3, "0 MB", "0 MB"}}},
        {"commas and blanks survive",
         3,
         2,
         {{0, 0}, {1, 5}, {2, 65535}},
         {{0, 1, "a,b,,c,", "a,b,,c,"}, {1, 1, " 5 MiB ", " 5 MiB "}, {2, 1, ",", ","}}},
        {"line breaks",
         2,
         3,
         {},
         // A CR without LF gets no BS mark, so it comes back as the TAB it was written as.
         {{0, 1, "x\r\ny", "x"}, {1, 1, "p\nq", "p\nq"}, {0, 2, "z\r", "z\t"}}},
        {"a single cell", 1, 1, {{0, 0}}, {{0, 0, "only", "only"}}},
        {"a wide table", 40, 2, {{39, 7}}, {{39, 1, "last", "last"}, {0, 1, "first", "first"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StringTable saved(c.cols, c.rows);
        for (const auto& [col, width] : c.widths) saved.SetColWidth(col, width);
        for (const auto& cell : c.cells) saved.SetCell(cell.col, cell.row, cell.text);

        ScratchDir dir;
        SaveGridFile(saved, dir.File("t.orl"));
        StringTable loaded;
        LoadGridFile(loaded, dir.File("t.orl"));

        ASSERT_EQ(loaded.ColCount(), c.cols);
        ASSERT_EQ(loaded.RowCount(), c.rows);
        for (int col = 0; col < c.cols; ++col) EXPECT_EQ(loaded.ColWidth(col), saved.ColWidth(col));
        for (const auto& cell : c.cells) EXPECT_EQ(loaded.Cell(cell.col, cell.row), cell.readBack);
        int nonEmpty = 0;
        for (int r = 0; r < loaded.RowCount(); ++r)
            for (int col = 0; col < loaded.ColCount(); ++col)
                nonEmpty += !loaded.Cell(col, r).empty();
        EXPECT_EQ(nonEmpty, static_cast<int>(c.cells.size()));
    }
}

TEST(GridFileReader, IgnoresWhatCannotBePlaced) {
    struct Cell {
        int col, row;
        std::string text;
    };
    struct Case {
        const char* name;
        std::string file;
        int cols, rows;
        std::vector<Cell> cells;                  // expected texts after the load
        std::vector<std::pair<int, int>> widths;  // expected widths after the load
    };
    const int maxRows5 = StringTable::MaxRowsFor(5);
    const Case cases[] = {
        {"empty file", "", 5, 2, {{0, 0, "Date & Time"}}, {{0, 172}}},
        {"empty size line keeps the size", "\r\n1,1,x\r\n", 5, 2, {{1, 1, "x"}}, {}},
        {"counts below 1 become 1", "0,-7\r\n", 1, 1, {{0, 0, "Date & Time"}}, {{0, 172}}},
        {"plus sign",
         "+6,3\r\n5,2,x\r\n",
         6,
         3,
         {{5, 2, "x"}},
         {{5, StringTable::kDefaultColWidth}}},
        {"huge row count is capped",
         "5,2000000000\r\n0,99999,last\r\n0,100000,beyond\r\n",
         5,
         maxRows5,
         {{0, maxRows5 - 1, "last"}},
         {}},
        {"huge table is capped in cells",
         "256,2000000000\r\n",
         256,
         StringTable::MaxRowsFor(256),
         {},
         {}},
        {"overflowing count: line ignored", "99999999999,2\r\n", 5, 2, {}, {}},
        {"size line without comma", "7\r\n", 5, 2, {}, {}},
        {"size line with blanks", " 7,3\r\n", 5, 2, {}, {}},
        {"size line with junk after the count", "7,3x\r\n", 5, 2, {}, {}},
        {"size line with three numbers", "7,3,1\r\n", 5, 2, {}, {}},
        {"LF line ends", "6,3\n0,2,x\ncw 0,9\n", 6, 3, {{0, 2, "x"}}, {{0, 9}}},
        {"width lines",
         "5,2\r\ncw 4,300\r\ncw 5,10\r\ncw -1,10\r\ncw 1,abc\r\ncw 2,99999999999\r\ncw 3,-5\r\n"
         "cwX0,7\r\ncw\r\ncw,1\r\ncw 1,2,3\r\ncw 2,70000\r\n",
         5,
         2,
         {},
         {{0, 7}, {1, 90}, {2, 90}, {3, 82}, {4, 300}}},
        {"cell lines",
         "5,3\r\n4,1,a,b,c\r\n5,1,beyond\r\n0,3,beyond\r\n-1,0,neg\r\nx,0,bad\r\n1,1\r\n"
         "2,2,\r\n0,0,\r\n 1,2,blank\r\n1 ,2,blank\r\n3,+2,plus\r\n",
         5,
         3,
         {{4, 1, "a,b,c"}, {0, 0, ""}, {1, 0, "Free RAM"}, {1, 2, ""}, {3, 2, "plus"}},
         {}},
        {"decoding",
         "5,3\r\n0,1,a\tb\bc\r\n1,1,a\bb\r\n2,1,a\tb\r\n3,1,a\rb\r\n4,1,tail\r\r\n",
         5,
         3,
         {{0, 1, "a"}, {1, 1, "a\nb"}, {2, 1, "a\tb"}, {3, 1, "a"}, {4, 1, "tail"}},
         {}},
        {"NUL bytes",
         std::string("5,2\r\n0,1,a\0b\r\n1\0,1,x\r\n", 21),
         5,
         2,
         {{0, 1, std::string("a\0b", 3)}, {1, 1, ""}},
         {}},
        {"binary junk",
         "\xff\xfe\x00\x01\r\n\x80,\x81,\x82\n\n\n,,,,\r\n",
         5,
         2,
         {{0, 0, "Date & Time"}},
         {{0, 172}}},
        {"a width line first is no size line", "cw 0,5\r\ncw 0,6\r\n", 5, 2, {}, {{0, 6}}},
        {"last line without line end", "5,2\r\n0,1,last", 5, 2, {{0, 1, "last"}}, {}},
        {"a lone CR does not end a line",
         "5,2\r1,1,x\r\n0,1,y\r\n",
         5,
         2,
         {{0, 1, "y"}, {1, 1, ""}},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir dir;
        WriteBytes(dir.File("t.orl"), c.file);
        StringTable log = FreshLog();
        LoadGridFile(log, dir.File("t.orl"));
        EXPECT_EQ(log.ColCount(), c.cols);
        EXPECT_EQ(log.RowCount(), c.rows);
        for (const auto& cell : c.cells) EXPECT_EQ(log.Cell(cell.col, cell.row), cell.text);
        for (const auto& [col, width] : c.widths) EXPECT_EQ(log.ColWidth(col), width);
        ExpectSaveReloadKeepsTable(log);
    }
}

TEST(GridFileReader, LongLinesAreCutAndTheRestSkipped) {
    const GridReadLimits limits{16, 1 << 20};
    struct Case {
        const char* name;
        std::string input;
        std::string cell01, cell11;
    };
    const Case cases[] = {
        {"a long cell line keeps its first bytes",
         "5,2\r\n0,1," + std::string(40, 'x') + "\r\n1,1,y\r\n", std::string(12, 'x'), "y"},
        {"a line of exactly the limit is whole", "5,2\r\n0,1,abcdefghijkl\r\n1,1,y\r\n",
         "abcdefghijkl", "y"},
        {"limit plus its CR", "5,2\r\n0,1,abcdefghijkl\r\n", "abcdefghijkl", ""},
        {"a cut line's tail is not a line", "5,2\r\n0,1," + std::string(20, 'x') + "1,1,z\r\n",
         std::string(12, 'x'), ""},
        {"no line ends at all", "5,2\r\n0,1," + std::string(100000, 'q'), std::string(12, 'q'), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StringTable log = FreshLog();
        std::istringstream in(c.input);
        LoadGridStream(log, in, {}, limits);
        EXPECT_EQ(log.Cell(0, 1), c.cell01);
        EXPECT_EQ(log.Cell(1, 1), c.cell11);
    }
}

TEST(GridFileReader, ALineWithoutEndIsBoundedInTheRealReader) {
    ScratchDir dir;
    WriteBytes(dir.File("t.orl"), "5,2\r\n0,1," + std::string(3 << 20, 'w'));
    StringTable log = FreshLog();
    LoadGridFile(log, dir.File("t.orl"));
    EXPECT_EQ(log.Cell(0, 1).size(), GridReadLimits{}.maxLineBytes - 4);
}

// An endless source (the log file replaced by a link to a device, say): bytes are counted so
// that a reader that does not stop fails the test instead of running forever.
class EndlessSource : public std::streambuf {
public:
    EndlessSource(std::string pattern, std::uint64_t giveUpAfter)
        : pattern_(std::move(pattern)), giveUpAfter_(giveUpAfter) {}
    std::uint64_t Handed() const { return handed_; }

protected:
    int_type underflow() override {
        if (handed_ >= giveUpAfter_) return traits_type::eof();
        chunk_.clear();
        while (chunk_.size() < 4096) chunk_ += pattern_;
        handed_ += chunk_.size();
        setg(chunk_.data(), chunk_.data(), chunk_.data() + chunk_.size());
        return traits_type::to_int_type(chunk_[0]);
    }

private:
    std::string pattern_, chunk_;
    std::uint64_t giveUpAfter_, handed_ = 0;
};

TEST(GridFileReader, StopsAtTheTotalLimitOfAnEndlessInput) {
    const GridReadLimits limits{1024, 1 << 20};
    const std::string patterns[] = {std::string(1, '\0'), "0,1,x\n", "cw 0,5\r\n"};
    for (const auto& pattern : patterns) {
        SCOPED_TRACE(pattern);
        EndlessSource source(pattern, 64 << 20);
        std::istream in(&source);
        StringTable log = FreshLog();
        int pumps = 0;
        LoadGridStream(
            log, in, [&] { ++pumps; }, limits);
        EXPECT_LE(source.Handed(), limits.maxTotalBytes + 2 * 64 * 1024);
        EXPECT_LE(static_cast<std::uint64_t>(pumps), limits.maxTotalBytes / pattern.size());
    }
}

TEST(GridFileReader, PumpsAfterEveryCellLineAndSurvivesChangesMadeThere) {
    ScratchDir dir;
    WriteBytes(dir.File("t.orl"),
               Lines({"5,3", "cw 0,100", "0,1,a", "cw 1,100", "9,9,ignored", "junk", "0,2,b"}));
    StringTable log = FreshLog();
    int pumps = 0;
    LoadGridFile(log, dir.File("t.orl"), [&] {
        ++pumps;
        // What the window may do while messages are processed: here, shrink the table.
        if (pumps == 1) log.SetRowCount(2);
    });
    EXPECT_EQ(pumps, 4);
    EXPECT_EQ(log.Cell(0, 1), "a");
    EXPECT_EQ(log.RowCount(), 2);  // 0,2,b no longer fits and is ignored
    EXPECT_EQ(log.ColWidth(1), 100);
}

TEST(GridFileReader, OpenFailuresNameTheFile) {
    ScratchDir dir;
    std::filesystem::create_directory(dir.File("a-directory.orl"));
    const std::string names[] = {dir.File("missing.orl"), dir.File("a-directory.orl"),
                                 dir.File("no-such-dir/x.orl")};
    for (const auto& name : names) {
        SCOPED_TRACE(name);
        StringTable log = FreshLog();
        try {
            LoadGridFile(log, name);
            ADD_FAILURE() << "no error";
        } catch (const GridFileError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot open file " + name);
        }
        EXPECT_TRUE(log.SameContents(FreshLog()));
    }
}

// ---- atomic replacement ---------------------------------------------------------------------

struct SyncerGuard {
    explicit SyncerGuard(FileSyncer s) { SetFileSyncer(std::move(s)); }
    ~SyncerGuard() { SetFileSyncer({}); }
};

using Writer = void (*)(const StringTable&, const std::string&);
struct WriterCase {
    const char* name;
    Writer write;
    std::string (*text)(const StringTable&);
    std::string cannotCreate;
};
const WriterCase kWriters[] = {
    {"grid file", &SaveGridFile, &GridFileText, "Cannot Create "},
    {"csv", &SaveCSV, &CsvText, "Cannot Create file "},
};

StringTable SomeRuns() {
    StringTable log = FreshLog();
    StartLogRow(log, "01/01/2024 09:00:00", "100 MiB", "900 MiB");
    SetLogTarget(log, "500 MiB");
    SetLogCleared(log, "50 MiB");
    return log;
}

TEST(AtomicSave, FailuresKeepThePreviousFileAndLeaveNoTemporary) {
    for (const auto& w : kWriters) {
        SCOPED_TRACE(w.name);
        ScratchDir dir;
        const std::string target = dir.File("out");
        WriteBytes(target, "previous contents");

        // A syncer that fails stands for the system refusing to write the data back.
        {
            SyncerGuard guard([](const std::string&) { return false; });
            try {
                w.write(SomeRuns(), target);
                ADD_FAILURE() << "a failed sync was reported as success";
            } catch (const GridFileError& e) {
                EXPECT_EQ(std::string(e.what()).rfind("I/O error writing " + target, 0), 0u)
                    << e.what();
            }
        }
        EXPECT_EQ(ReadBytes(target), "previous contents");
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"out"});

        // A directory where the file should go cannot be replaced.
        std::filesystem::create_directory(dir.File("taken"));
        try {
            w.write(SomeRuns(), dir.File("taken"));
            ADD_FAILURE() << "replacing a directory was reported as success";
        } catch (const GridFileError& e) {
            EXPECT_EQ(std::string(e.what()), w.cannotCreate + dir.File("taken"));
        }
        EXPECT_TRUE(std::filesystem::is_directory(dir.File("taken")));
        EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"out", "taken"}));
    }
}

TEST(AtomicSave, ADirectoryThatVanishedIsReportedWithTheFileName) {
    for (const auto& w : kWriters) {
        SCOPED_TRACE(w.name);
        std::string target;
        {
            ScratchDir dir;
            target = dir.File("orpram.orl");
        }
        try {
            w.write(SomeRuns(), target);
            ADD_FAILURE() << "no error";
        } catch (const GridFileError& e) {
            EXPECT_EQ(std::string(e.what()), w.cannotCreate + target);
        }
    }
}

TEST(AtomicSave, NewBytesAreSyncedBesideTheOldFileBeforeTheyReplaceIt) {
    for (const auto& w : kWriters) {
        SCOPED_TRACE(w.name);
        ScratchDir dir;
        const std::string target = dir.File("out");
        WriteBytes(target, "previous contents");
        const std::string expected = w.text(SomeRuns());

        std::vector<std::string> synced;
        bool checkedTemporary = false;
        {
            SyncerGuard guard([&](const std::string& path) {
                synced.push_back(path);
                if (path.rfind(TemporaryPrefixFor(target), 0) == 0) {
                    EXPECT_EQ(ReadBytes(path), expected);
                    EXPECT_EQ(ReadBytes(target), "previous contents");
                    checkedTemporary = true;
                }
                return true;
            });
            w.write(SomeRuns(), target);
        }
        EXPECT_TRUE(checkedTemporary);
        ASSERT_EQ(synced.size(), 2u);
        EXPECT_EQ(synced[1], dir.Path());  // the rename is made durable with its directory
        EXPECT_EQ(ReadBytes(target), expected);
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"out"});
    }
}

TEST(AtomicSave, ReadOnlyPlacesKeepTheOldFile) {
    namespace fs = std::filesystem;
    ScratchDir dir;
    // A read-only directory, and a read-only file in a writable one.
    const std::string sub = dir.File("ro");
    fs::create_directory(sub);
    const std::string inReadOnlyDir = sub + "/orpram.orl";
    const std::string readOnlyFile = dir.File("orpram.orl");
    WriteBytes(inReadOnlyDir, "previous contents");
    WriteBytes(readOnlyFile, "previous contents");
    fs::permissions(sub, fs::perms::owner_read | fs::perms::owner_exec);
    fs::permissions(readOnlyFile, fs::perms::owner_read);
    {
        std::ofstream probe(sub + "/probe");
        if (probe) GTEST_SKIP() << "this account writes into read-only places (root)";
    }
    for (const auto& w : kWriters) {
        for (const auto& target : {inReadOnlyDir, readOnlyFile}) {
            SCOPED_TRACE(std::string(w.name) + " " + target);
            try {
                w.write(SomeRuns(), target);
                ADD_FAILURE() << "no error";
            } catch (const GridFileError& e) {
                EXPECT_EQ(std::string(e.what()), w.cannotCreate + target);
            }
            EXPECT_EQ(ReadBytes(target), "previous contents");
        }
    }
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"orpram.orl", "ro"}));
}

}  // namespace
}  // namespace orp
