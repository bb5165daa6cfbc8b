#pragma once
// The REGEDIT4 text format, the registry's own export format, as the store of our file-backed
// registry: a "REGEDIT4" line, then sections "[HKEY_...\path]" each followed by its values
// ("Name"=dword:0000001e, "Name"="text", @="default", "Name"=hex(N):aa,bb,...).
//
// Reading never fails: every line that cannot be read is reported with its number and skipped,
// so the caller can keep what was readable and set the original aside. Reading is linear in the
// input. Writing produces CR LF lines exactly as the export writes them; anything the reader
// returns can be written and read back to the same document.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orp {

struct Regedit4Value {
    enum class Type { Dword, String, Binary };
    std::string name;  // as written; empty for the default value "@"
    Type type = Type::String;
    std::uint32_t dword = 0;
    std::string text;   // String: the text. Binary: the type tag, "hex" or "hex(2)" etc.
    std::string bytes;  // Binary: the raw bytes
    bool operator==(const Regedit4Value&) const = default;
};

class Regedit4Key {
public:
    explicit Regedit4Key(std::string path) : path_(std::move(path)) {}
    // The full path with its root, components joined by one backslash, in the case first seen.
    const std::string& path() const { return path_; }
    const std::vector<Regedit4Value>& values() const { return values_; }
    // Names compare without case.
    const Regedit4Value* Find(std::string_view name) const;
    // Replaces the value of the same name in place (keeping that name's spelling) or appends.
    void Set(Regedit4Value value);
    bool Remove(std::string_view name);
    bool operator==(const Regedit4Key& o) const { return path_ == o.path_ && values_ == o.values_; }

private:
    std::string path_;
    std::vector<Regedit4Value> values_;
    std::unordered_map<std::string, std::size_t> index_;  // lower-case name → position
};

class Regedit4Document {
public:
    const std::vector<Regedit4Key>& keys() const { return keys_; }
    // Paths compare without case, as component lists (no leading or doubled backslashes).
    const Regedit4Key* Find(std::string_view path) const;
    Regedit4Key* Find(std::string_view path);
    // The key of that path, appended when absent.
    Regedit4Key& Add(const std::string& path);
    bool operator==(const Regedit4Document& o) const { return keys_ == o.keys_; }

private:
    std::vector<Regedit4Key> keys_;
    std::unordered_map<std::string, std::size_t> index_;  // lower-case path → position
};

struct Regedit4Problem {
    std::size_t line;  // 1-based
    std::string reason;
};

struct Regedit4Parse {
    static constexpr std::size_t kMaxProblems = 100;
    Regedit4Document document;
    std::vector<Regedit4Problem> problems;  // the first kMaxProblems
    std::size_t problemCount = 0;           // all of them
    bool clean() const { return problemCount == 0; }
};

Regedit4Parse ParseRegedit4(std::string_view text);
std::string FormatRegedit4(const Regedit4Document& document);

// True when a text can be held in a quoted string value; otherwise the writer stores it as
// hex(1) bytes. A text holding a NUL cannot be stored at all.
bool FitsQuotedString(std::string_view text);

}  // namespace orp
