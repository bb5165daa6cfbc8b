#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "fakes/scratch_dir.h"
#include "log/cleaning_log.h"
#include "log/grid_file.h"

namespace orp {
namespace {

using test::ReadBytes;
using test::ScratchDir;

TEST(Csv, CellEncodings) {
    struct Case {
        std::string text, written;
    };
    const Case cases[] = {
        {"plain", "plain"},
        {" 12 MiB ", " 12 MiB "},
        {"", "\"\""},
        {"a,b", "\"a,b\""},                  // 5 bytes
        {"say \"x\"", "\"say \"\"x\"\"\""},  // 11 bytes
        {"\"", "\"\"\"\""},
        {"a,\"b\"", "\"a,\"\"b\"\"\""},
        {"a,b\r\nc", "\"a,b\vc\""},  // CR LF in a comma cell becomes VT
        {"a,b\r\n\r\nc", "\"a,b\v\vc\""},
        {"a,b\nc\rd", "\"a,b\nc\rd\""},    // lone breaks in a comma cell stay
        {"one\r\ntwo", "\"one\r\ntwo\""},  // breaks without comma: enclosed
        {"one\ntwo", "\"one\ntwo\""},
        {"one\rtwo", "\"one\rtwo\""},
        {"q\"\r\nr", "\"q\"\"\r\nr\""},
        {"tab\there", "tab\there"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(EncodeCsvCell(c.text), c.written);
    }
    EXPECT_EQ(EncodeCsvCell("a,b").size(), 5u);
    EXPECT_EQ(EncodeCsvCell("say \"x\"").size(), 11u);
}

TEST(Csv, RowsAreLinesOfCommaSeparatedCells) {
    StringTable log;
    ResetLog(log);
    EXPECT_EQ(CsvText(log),
              "Date & Time,Free RAM,Used RAM,Target RAM,RAM Cleared\r\n"
              "\"\",\"\",\"\",\"\",\"\"\r\n");

    StringTable processes(4, 3);
    const char* header[] = {"Process", "Memory", "Peak", "Swap"};
    for (int c = 0; c < 4; ++c) processes.SetCell(c, 0, header[c]);
    processes.SetCell(0, 1, "bash");
    processes.SetCell(1, 1, "4,096 K");
    processes.SetCell(0, 2, "x");
    EXPECT_EQ(CsvText(processes),
              "Process,Memory,Peak,Swap\r\n"
              "bash,\"4,096 K\",\"\",\"\"\r\n"
              "x,\"\",\"\",\"\"\r\n");

    StringTable single(1, 1);
    EXPECT_EQ(CsvText(single), "\"\"\r\n");
}

// The table the CSV readers' check uses: every kind of cell the encoder has a rule for.
StringTable AwkwardCells() {
    const std::vector<std::vector<std::string>> rows = {
        {"Date & Time", "Free RAM", "Used RAM", "Target RAM", "RAM Cleared"},
        {"a,b", "say \"x\"", "", "one\r\ntwo", "one\ntwo"},
        {"one\rtwo", "a,b\r\nc", "a,b\nc", "q\"\r\nr", "\"\""},
        {",", "\r\n", "\n\n", "a,\"b\"\r\n", "plain"},
    };
    StringTable t(5, static_cast<int>(rows.size()));
    for (int r = 0; r < t.RowCount(); ++r)
        for (int c = 0; c < 5; ++c) t.SetCell(c, r, rows[r][c]);
    return t;
}

std::string Hex(const std::string& s) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (unsigned char ch : s) {
        out += digits[ch >> 4];
        out += digits[ch & 15];
    }
    return out;
}

// SaveCSV writes exactly CsvText. With ORP_CSV_SAMPLE set (tests/log/csv_reads_back.py does
// that) the file goes there, with the cells beside it in "<file>.cells" (hex, one row a line),
// so that a real CSV reader can check that every row reads back as one row.
TEST(Csv, SaveWritesTheTextAndFeedsTheReadersCheck) {
    const StringTable table = AwkwardCells();
    ScratchDir dir;
    const char* sample = std::getenv("ORP_CSV_SAMPLE");
    const std::string file = sample ? std::string(sample) : dir.File("sample.csv");
    SaveCSV(table, file);
    EXPECT_EQ(ReadBytes(file), CsvText(table));
    if (!sample) return;
    std::ofstream cells(file + ".cells", std::ios::binary | std::ios::trunc);
    for (int r = 0; r < table.RowCount(); ++r) {
        for (int c = 0; c < table.ColCount(); ++c) cells << (c ? " " : "") << Hex(table.Cell(c, r));
        cells << "\n";
    }
    ASSERT_TRUE(cells.good());
}

}  // namespace
}  // namespace orp
