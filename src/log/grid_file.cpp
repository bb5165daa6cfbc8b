#include "log/grid_file.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <istream>
#include <vector>

#include "log/file_replace.h"

namespace orp {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

bool Contains(std::string_view s, char c) {
    return s.find(c) != std::string_view::npos;
}

void Append(std::string& out, int n) {
    out += std::to_string(n);
}

// One line of the grid file, without its line end. The first line is the size line; every
// later line is a width line or a cell line. Whatever cannot be read or placed is ignored.
class LineReader {
public:
    LineReader(StringTable& table, const std::function<void()>& pump)
        : table_(table), pump_(pump) {}

    void Line(std::string_view line) {
        if (first_) {
            first_ = false;
            SizeLine(line);
        } else if (line.substr(0, 2) == "cw") {
            WidthLine(line);
        } else {
            CellLine(line);
            if (pump_) pump_();
        }
    }

private:
    void SizeLine(std::string_view line) {
        // An empty size line leaves the table's size as it was.
        const auto comma = line.find(',');
        if (comma == std::string_view::npos) return;
        const auto cols = ParseGridNumber(line.substr(0, comma));
        const auto rows = ParseGridNumber(line.substr(comma + 1));
        if (cols && rows) table_.SetSize(std::max(*cols, 1), std::max(*rows, 1));
    }

    void WidthLine(std::string_view line) {
        // "cw i,w": the index starts at the fourth character, whatever the third one is.
        const auto comma = line.find(',');
        if (comma == std::string_view::npos || comma < 3) return;
        const auto col = ParseGridNumber(line.substr(3, comma - 3));
        const auto width = ParseGridNumber(line.substr(comma + 1));
        if (!col || !width || *col < 0 || *col >= table_.ColCount()) return;
        if (*width < 0 || *width > kMaxGridColWidth) return;
        table_.SetColWidth(*col, *width);
    }

    void CellLine(std::string_view line) {
        // "c,r,text": the text is everything after the second comma, commas included.
        const auto c1 = line.find(',');
        if (c1 == std::string_view::npos) return;
        const auto c2 = line.find(',', c1 + 1);
        if (c2 == std::string_view::npos) return;
        const auto col = ParseGridNumber(line.substr(0, c1));
        const auto row = ParseGridNumber(line.substr(c1 + 1, c2 - c1 - 1));
        if (!col || !row || !table_.InRange(*col, *row)) return;
        table_.SetCell(*col, *row, DecodeGridCell(line.substr(c2 + 1)));
    }

    StringTable& table_;
    const std::function<void()>& pump_;
    bool first_ = true;
};

}  // namespace

std::optional<int> ParseGridNumber(std::string_view text) {
    // from_chars takes a minus but no plus; "+-1" must not slip through as -1.
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') return std::nullopt;
    }
    if (text.empty()) return std::nullopt;
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, 10);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

std::string EncodeGridCell(const std::string& text) {
    // A lone LF must be encoded as well as CR: written raw it would end the line, and what
    // follows it would be read back as a line of its own (even as another cell).
    if (!Contains(text, '\r') && !Contains(text, '\n')) return text;
    std::string out = text;
    for (char& c : out) {
        if (c == '\r')
            c = '\t';
        else if (c == '\n')
            c = '\b';
    }
    return out;
}

std::string DecodeGridCell(std::string_view text) {
    std::string out(text);
    if (Contains(out, '\b')) {
        for (char& c : out) {
            if (c == '\t')
                c = '\r';
            else if (c == '\b')
                c = '\n';
        }
    }
    const auto cr = out.find('\r');
    if (cr != std::string::npos) out.resize(cr);
    return out;
}

std::string GridFileText(const StringTable& table) {
    const int cols = table.ColCount(), rows = table.RowCount();
    std::string out;
    Append(out, cols);
    out += ',';
    Append(out, rows);
    out += kLineEnd;
    for (int c = 0; c < cols; ++c) {
        out += "cw ";
        Append(out, c);
        out += ',';
        Append(out, table.ColWidth(c));
        out += kLineEnd;
    }
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            const std::string& text = table.Cell(c, r);
            if (text.empty()) continue;
            Append(out, c);
            out += ',';
            Append(out, r);
            out += ',';
            out += EncodeGridCell(text);
            out += kLineEnd;
        }
    }
    return out;
}

void SaveGridFile(const StringTable& table, const std::string& fileName) {
    ReplaceFile(fileName, GridFileText(table), "Cannot Create ");
}

void LoadGridStream(StringTable& table, std::istream& in, const std::function<void()>& pump,
                    const GridReadLimits& limits, const std::string& name) {
    LineReader reader(table, pump);
    std::vector<char> buffer(64 * 1024);
    std::string line;
    bool cut = false;  // the current line grew past the limit; its rest is being skipped
    auto endLine = [&] {
        // The CR of a CR LF belongs to the line end, unless the cut already dropped it.
        if (!cut && !line.empty() && line.back() == '\r') line.pop_back();
        reader.Line(line);
        line.clear();
        cut = false;
    };

    std::uint64_t total = 0;
    while (total < limits.maxTotalBytes) {
        const auto want = static_cast<std::streamsize>(
            std::min<std::uint64_t>(buffer.size(), limits.maxTotalBytes - total));
        in.read(buffer.data(), want);
        const auto got = in.gcount();
        if (in.bad()) throw GridFileError("I/O error reading " + name);
        total += static_cast<std::uint64_t>(got);

        const char* p = buffer.data();
        const char* end = p + got;
        while (p < end) {
            const char* lf = static_cast<const char*>(std::memchr(p, '\n', end - p));
            const char* stop = lf ? lf : end;
            const std::size_t room =
                limits.maxLineBytes - std::min(limits.maxLineBytes, line.size());
            const std::size_t part = static_cast<std::size_t>(stop - p);
            line.append(p, std::min(part, room));
            if (part > room) cut = true;
            if (!lf) break;
            endLine();
            p = lf + 1;
        }
        if (got < want) break;
    }
    // The last line needs no line end.
    if (!line.empty() || cut) endLine();
}

void LoadGridFile(StringTable& table, const std::string& fileName,
                  const std::function<void()>& pump) {
    // Only a plain file: a FIFO would block the start-up, a device could be endless.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(fileName, ec))
        throw GridFileError("Cannot open file " + fileName);
    std::ifstream in(fileName, std::ios::binary);
    if (!in) throw GridFileError("Cannot open file " + fileName);
    LoadGridStream(table, in, pump, {}, fileName);
}

std::string EncodeCsvCell(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 2);
    for (char c : text) {
        out += c;
        if (c == '"') out += '"';
    }
    const bool comma = Contains(out, ',');
    // A line break left bare would split the row for every CSV reader, so a cell holding one
    // is enclosed like a cell holding a double quote.
    if (!comma && (Contains(out, '"') || Contains(out, '\r') || Contains(out, '\n')))
        out = '"' + out + '"';
    if (out.empty()) return "\"\"";
    if (comma) {
        std::string joined;
        joined.reserve(out.size() + 2);
        joined += '"';
        for (std::size_t i = 0; i < out.size(); ++i) {
            if (out[i] == '\r' && i + 1 < out.size() && out[i + 1] == '\n') {
                joined += '\v';
                ++i;
            } else {
                joined += out[i];
            }
        }
        joined += '"';
        out = std::move(joined);
    }
    return out;
}

std::string CsvText(const StringTable& table) {
    std::string out;
    for (int r = 0; r < table.RowCount(); ++r) {
        for (int c = 0; c < table.ColCount(); ++c) {
            if (c > 0) out += ',';
            out += EncodeCsvCell(table.Cell(c, r));
        }
        out += kLineEnd;
    }
    return out;
}

void SaveCSV(const StringTable& table, const std::string& fileName) {
    ReplaceFile(fileName, CsvText(table), "Cannot Create file ");
}

}  // namespace orp
