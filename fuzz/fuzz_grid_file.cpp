// Any bytes as a grid file: loading never crashes, runs away or claims unbounded memory, and
// whatever was loaded is saved as a file that loads back to the very same table.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "log/cleaning_log.h"
#include "log/grid_file.h"

namespace {

const std::filesystem::path& WorkDir() {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() /
                 ("orp-fuzz-grid-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(WorkDir(), ec);
        });
        return d;
    }();
    return dir;
}

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

// Tables of the largest shapes take the sanitized build most of a second each and would crowd
// out everything else; the unit tests load those shapes, the fuzzer spends its time elsewhere.
constexpr long long kMostCellsWorthFuzzing = 4096;

bool AsksForAHugeTable(const std::string& bytes) {
    const auto lineEnd = bytes.find('\n');
    const std::string_view first = std::string_view(bytes).substr(0, lineEnd);
    const auto comma = first.find(',');
    if (comma == std::string_view::npos) return false;
    auto cols = orp::ParseGridNumber(first.substr(0, comma));
    auto rows = orp::ParseGridNumber(first.substr(comma + 1));
    if (!cols || !rows) {
        // A CR before the line end makes the count unreadable; look past it too.
        rows = orp::ParseGridNumber(first.substr(comma + 1, first.size() - comma - 2));
        if (!cols || !rows) return false;
    }
    const long long c = std::clamp(*cols, 1, orp::StringTable::kMaxCols);
    const long long r = std::clamp(*rows, 1, orp::StringTable::MaxRowsFor(static_cast<int>(c)));
    return c * r > kMostCellsWorthFuzzing;
}

// Save, reload into a fresh table, compare.
void CheckSaveReload(const orp::StringTable& loaded, const std::string& file) {
    orp::SaveGridFile(loaded, file);
    orp::StringTable again;
    orp::LoadGridFile(again, file);
    Check(again.SameContents(loaded), "save and reload changed the table");
    Check(orp::GridFileText(again) == orp::GridFileText(loaded), "writer output differs");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (AsksForAHugeTable(bytes)) return -1;  // not kept in the corpus
    const std::string in = (WorkDir() / "in.orl").string();
    const std::string out = (WorkDir() / "out.orl").string();
    {
        std::ofstream f(in, std::ios::binary | std::ios::trunc);
        f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    // The real reader on a real file.
    orp::StringTable loaded;
    std::size_t pumps = 0;
    orp::LoadGridFile(loaded, in, [&] { ++pumps; });
    Check(pumps <= size, "more pumps than lines");
    Check(static_cast<long long>(loaded.RowCount()) * loaded.ColCount() <=
              orp::StringTable::kMaxCells,
          "cell cap exceeded");
    CheckSaveReload(loaded, out);

    // The same bytes with tiny limits, so that cut lines and the total limit are reached often.
    if (size > 0) {
        const orp::GridReadLimits limits{1 + data[0] % 32u, 1 + (size * data[0]) % (size + 1)};
        std::istringstream stream(bytes);
        orp::StringTable cut;
        orp::LoadGridStream(cut, stream, {}, limits);
        CheckSaveReload(cut, out);
    }

    // The log's row rules on whatever shape the file gave.
    orp::StartLogRow(loaded, "t", "f", "u");
    Check(loaded.Cell(orp::kLogFree, 1) == "f" && loaded.ColCount() >= orp::kLogCols,
          "the run's row was lost");
    orp::SetLogCleared(loaded, "c");
    Check(loaded.Cell(orp::kLogCleared, 1) == "c", "the run's last cell was lost");
    orp::ClearLog(loaded);
    Check(loaded.RowCount() == 2 && loaded.Cell(orp::kLogFree, 1).empty(), "clear failed");
    return 0;
}
