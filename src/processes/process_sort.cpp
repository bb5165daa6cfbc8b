#include "processes/process_sort.h"

#include <charconv>
#include <cmath>

namespace orp {

namespace {

constexpr int kProcessColumns = 4;
const std::string kSizeSuffix = " K";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Accepts [+-]digits[.digits][(e|E)[+-]digits] with at least one mantissa digit; the words
// "inf" and "nan", which the library readers take, are no cell numbers.
bool IsDecimalSyntax(std::string_view s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        std::size_t expDigits = 0;
        while (i < s.size() && IsDigit(s[i])) ++i, ++expDigits;
        if (expDigits == 0) return false;
    }
    return i == s.size();
}

}  // namespace

void GetColumnFormat(int col, CompareStyle& style, std::string& /*prefix*/, std::string& suffix) {
    if (col == 0) {
        style = CompareStyle::Alphabetic;
    } else if (col >= 1 && col <= 3) {
        suffix = kSizeSuffix;
        style = CompareStyle::Numeric;
    }
}

bool IsRightAligned(int col) {
    return col > 0;
}

std::optional<long double> ReadCellNumber(std::string_view text, std::string_view suffix) {
    std::string cut(text);
    if (!suffix.empty()) {
        const auto at = cut.find(suffix);
        if (at != std::string::npos) cut.erase(at, suffix.size());
    }
    std::string_view s = TrimBlanks(cut);
    if (s.empty()) return 0.0L;
    if (!IsDecimalSyntax(s)) return std::nullopt;
    if (s.front() == '+') s.remove_prefix(1);  // from_chars takes no plus sign
    long double value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

int CompareCells(const std::string& a, const std::string& b, CompareStyle style,
                 std::string_view suffix) {
    if (style == CompareStyle::Alphabetic) {
        const int c = a.compare(b);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    const auto x = ReadCellNumber(a, suffix);
    const auto y = ReadCellNumber(b, suffix);
    if (!x && !y) return 0;
    if (!x) return -1;
    if (!y) return 1;
    return *x < *y ? -1 : (*x > *y ? 1 : 0);
}

bool SortProcessTable(StringTable& table, int column, bool ascending) {
    if (column < 0 || column >= table.ColCount() || column >= kProcessColumns) return false;
    if (table.RowCount() < 2) return false;
    CompareStyle style = CompareStyle::Alphabetic;
    std::string prefix, suffix;
    GetColumnFormat(column, style, prefix, suffix);
    const auto col = static_cast<std::size_t>(column);
    table.SortRows(1, [&](const std::vector<std::string>& r1, const std::vector<std::string>& r2) {
        const int c = CompareCells(r1[col], r2[col], style, suffix);
        return ascending ? c < 0 : c > 0;
    });
    return true;
}

const std::vector<SortMenuEntry>& SortMenuEntries() {
    static const std::vector<SortMenuEntry> entries = [] {
        const char* captions[] = {"Process Name", "Current Memory", "Max. Memory", "Pagefile"};
        const char* items[] = {"itm_ProcessName", "itm_CurrentMemory", "itm_MaxMemory",
                               "itm_Pagefile"};
        std::vector<SortMenuEntry> e;
        for (int dir = 0; dir < 2; ++dir) {
            const bool ascending = dir == 0;
            for (int col = 0; col < kProcessColumns; ++col) {
                e.push_back({captions[col], std::string(items[col]) + (ascending ? "1" : "2"),
                             ascending ? "Sort Ascending" : "Sort Descending",
                             ascending ? "itm_SortAscending1" : "itm_SortDescending1",
                             SortMenuAction::Sort, col, ascending});
            }
        }
        e.push_back({"CSV", "itm_CSV1", "Export to File", "itm_ExporttoFile1",
                     SortMenuAction::ExportCsv, -1, true});
        e.push_back({"", "itm_N6", "", "", SortMenuAction::Separator, -1, true});
        e.push_back({"Refresh Processes", "itm_RefreshProcesses1", "", "", SortMenuAction::Refresh,
                     -1, true});
        return e;
    }();
    return entries;
}

}  // namespace orp
