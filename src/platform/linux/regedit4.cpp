#include "platform/linux/regedit4.h"

#include <optional>

#include "platform/registry_path.h"

namespace orp {

namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::string_view kEol = "\r\n";
// The export breaks hex data before a line would pass this column.
constexpr std::size_t kHexLineLimit = 77;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsControl(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && EqualsNoCase(s.substr(0, prefix.size()), prefix);
}

// Canonical (lower-case, normalised) form of a key path, or nullopt when it names no key.
std::optional<std::string> CanonicalOrNothing(std::string_view path) {
    try {
        return CanonicalKeyPath(path);
    } catch (const RegistryError&) {
        return std::nullopt;
    }
}

// Reads a quoted string starting at s[pos] == '"', with the escapes \\ and \". On success pos
// is just past the closing quote. Control characters other than tab are refused, and so is
// tab where `allowTab` is false (value names).
bool ReadQuoted(std::string_view s, std::size_t& pos, std::string& out, bool allowTab,
                std::string& why) {
    ++pos;  // opening quote
    out.clear();
    while (pos < s.size()) {
        const char c = s[pos];
        if (c == '"') {
            ++pos;
            return true;
        }
        if (c == '\\') {
            if (pos + 1 >= s.size()) break;
            const char e = s[pos + 1];
            if (e != '\\' && e != '"') {
                why = "unknown escape in a quoted text";
                return false;
            }
            out.push_back(e);
            pos += 2;
            continue;
        }
        if (IsControl(c) && !(allowTab && c == '\t')) {
            why = "control character in a quoted text";
            return false;
        }
        out.push_back(c);
        ++pos;
    }
    why = "quoted text without its closing quote";
    return false;
}

// "aa,bb,cc" (blanks allowed around bytes, a trailing comma tolerated) into raw bytes.
bool ReadHexBytes(std::string_view s, std::string& out) {
    out.clear();
    s = Trim(s);
    if (s.empty()) return true;
    std::size_t pos = 0;
    while (pos < s.size()) {
        while (pos < s.size() && IsBlank(s[pos])) ++pos;
        if (pos >= s.size()) return false;
        const int hi = HexDigit(s[pos]);
        if (hi < 0) return false;
        int value = hi;
        ++pos;
        if (pos < s.size() && HexDigit(s[pos]) >= 0) {
            value = value * 16 + HexDigit(s[pos]);
            ++pos;
        }
        out.push_back(static_cast<char>(value));
        while (pos < s.size() && IsBlank(s[pos])) ++pos;
        if (pos >= s.size()) return true;
        if (s[pos] != ',') return false;
        ++pos;
        while (pos < s.size() && IsBlank(s[pos])) ++pos;
        if (pos >= s.size()) return true;  // trailing comma
    }
    return true;
}

// hex(1) holds a string's bytes and usually its terminating NUL. It becomes a string value only
// when that loses nothing: no NUL inside, nothing after the terminator.
bool DecodeHexString(const std::string& bytes, std::string& text) {
    std::string_view b = bytes;
    if (!b.empty() && b.back() == '\0') b.remove_suffix(1);
    if (b.find('\0') != std::string_view::npos) return false;
    text.assign(b);
    return true;
}

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    Regedit4Parse Run() {
        if (text_.substr(0, 3) == "\xEF\xBB\xBF") text_.remove_prefix(3);
        if (Trim(text_).empty()) return std::move(result_);  // an empty store holds no keys
        bool sawHeader = false;
        std::string_view line;
        while (NextLine(line)) {
            const std::string_view t = Trim(line);
            if (!sawHeader && !t.empty()) {
                sawHeader = true;
                if (t == kHeader) continue;
                Problem(lineNo_, "the first line is not \"REGEDIT4\"");
                if (t.front() != '[') continue;  // reported once is enough
            }
            if (t.empty() || t.front() == ';') continue;
            if (t.find('\0') != std::string_view::npos) {
                Problem(lineNo_, "NUL byte in the line");
                continue;
            }
            if (t.front() == '[') {
                Section(t);
            } else if (t.front() == '"' || t.front() == '@') {
                ValueLine(t);
            } else {
                Problem(lineNo_, "neither a key nor a value");
            }
        }
        return std::move(result_);
    }

private:
    bool NextLine(std::string_view& line) {
        if (pos_ >= text_.size()) return false;
        const std::size_t nl = text_.find('\n', pos_);
        const std::size_t end = nl == std::string_view::npos ? text_.size() : nl;
        line = text_.substr(pos_, end - pos_);
        pos_ = nl == std::string_view::npos ? text_.size() : nl + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        ++lineNo_;
        return true;
    }

    void Problem(std::size_t line, std::string reason) {
        ++result_.problemCount;
        if (result_.problems.size() < Regedit4Parse::kMaxProblems)
            result_.problems.push_back({line, std::move(reason)});
    }

    void Section(std::string_view t) {
        current_ = nullptr;  // values after a bad header belong to no key we know
        if (t.back() != ']') return Problem(lineNo_, "key line without its closing bracket");
        const std::string_view inner = t.substr(1, t.size() - 2);
        if (!inner.empty() && inner.front() == '-')
            return Problem(lineNo_, "a key removal is not a stored key");
        std::vector<std::string> parts;
        try {
            parts = SplitKeyPath(inner);
        } catch (const RegistryError& e) {
            return Problem(lineNo_, e.what());
        }
        if (parts.front().front() == '-')
            return Problem(lineNo_, "a key removal is not a stored key");
        current_ = &result_.document.Add(JoinKeyPath(parts, parts.size()));
    }

    void ValueLine(std::string_view t) {
        const std::size_t startLine = lineNo_;
        std::string why;
        Regedit4Value v;
        std::size_t pos = 0;
        if (t.front() == '@') {
            pos = 1;
        } else if (!ReadQuoted(t, pos, v.name, false, why)) {
            return Problem(startLine, why);
        }
        while (pos < t.size() && IsBlank(t[pos])) ++pos;
        if (pos >= t.size() || t[pos] != '=') return Problem(startLine, "no '=' after the name");
        ++pos;
        while (pos < t.size() && IsBlank(t[pos])) ++pos;
        std::string_view data = t.substr(pos);

        if (!data.empty() && data.front() == '"') {
            std::size_t p = 0;
            if (!ReadQuoted(data, p, v.text, true, why)) return Problem(startLine, why);
            if (!Trim(data.substr(p)).empty())
                return Problem(startLine, "text after the closing quote");
            v.type = Regedit4Value::Type::String;
        } else if (StartsWithNoCase(data, "dword:")) {
            const std::string_view digits = Trim(data.substr(6));
            if (digits.empty() || digits.size() > 8)
                return Problem(startLine, "a DWORD needs one to eight hex digits");
            std::uint32_t n = 0;
            for (char c : digits) {
                const int d = HexDigit(c);
                if (d < 0) return Problem(startLine, "a DWORD needs one to eight hex digits");
                n = n * 16 + static_cast<std::uint32_t>(d);
            }
            v.type = Regedit4Value::Type::Dword;
            v.dword = n;
        } else if (StartsWithNoCase(data, "hex")) {
            if (!ReadBinary(data.substr(3), v, why)) return Problem(startLine, why);
        } else if (data == "-") {
            return Problem(startLine, "a value removal is not a stored value");
        } else {
            return Problem(startLine, "unknown value type");
        }
        if (!current_) return Problem(startLine, "value outside a key");
        current_->Set(std::move(v));
    }

    // After "hex": an optional "(type)", a colon, and bytes that may continue on the next lines
    // (a line ending in a backslash).
    bool ReadBinary(std::string_view rest, Regedit4Value& v, std::string& why) {
        std::string tag = "hex";
        if (!rest.empty() && rest.front() == '(') {
            const std::size_t close = rest.find(')');
            if (close == std::string_view::npos || close < 2 || close > 9) {
                why = "bad hex type";
                return false;
            }
            std::string_view num = rest.substr(1, close - 1);
            std::uint32_t type = 0;
            for (char c : num) {
                const int d = HexDigit(c);
                if (d < 0) {
                    why = "bad hex type";
                    return false;
                }
                type = type * 16 + static_cast<std::uint32_t>(d);
            }
            tag = "hex(" + ToHex(type) + ")";
            rest.remove_prefix(close + 1);
        }
        if (rest.empty() || rest.front() != ':') {
            why = "no ':' after the hex type";
            return false;
        }
        rest.remove_prefix(1);
        std::string joined;
        std::string_view piece = Trim(rest);
        bool failed = false;
        while (!piece.empty() && piece.back() == '\\') {
            piece.remove_suffix(1);
            joined.append(piece);
            const std::size_t pos = pos_, lineNo = lineNo_;
            std::string_view next;
            if (!NextLine(next)) {
                failed = true;
                break;
            }
            piece = Trim(next);
            // A line that starts a key, a value or a comment is not more hex: leave it to be read
            // as what it is rather than swallow a key header and misfile the values after it.
            if (!piece.empty() && (piece.front() == '[' || piece.front() == '"' ||
                                   piece.front() == '@' || piece.front() == ';')) {
                pos_ = pos;
                lineNo_ = lineNo;
                failed = true;
                break;
            }
        }
        if (failed) {
            why = "hex data breaks off";
            return false;
        }
        joined.append(piece);
        if (!ReadHexBytes(joined, v.bytes)) {
            why = "bad hex bytes";
            return false;
        }
        if (tag == "hex(1)" && DecodeHexString(v.bytes, v.text)) {
            v.type = Regedit4Value::Type::String;
            v.bytes.clear();
            return true;
        }
        v.type = Regedit4Value::Type::Binary;
        v.text = tag;
        return true;
    }

    static std::string ToHex(std::uint32_t n) {
        static const char* digits = "0123456789abcdef";
        std::string out;
        do {
            out.insert(out.begin(), digits[n % 16]);
            n /= 16;
        } while (n);
        return out;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t lineNo_ = 0;
    Regedit4Parse result_;
    Regedit4Key* current_ = nullptr;
};

void AppendQuoted(std::string& out, std::string_view s) {
    out.push_back('"');
    for (char c : s) {
        if (c == '\\' || c == '"') out.push_back('\\');
        out.push_back(c);
    }
    out.push_back('"');
}

void AppendHex(std::string& out, std::size_t lineLen, std::string_view tag, std::string_view b) {
    static const char* digits = "0123456789abcdef";
    out.append(tag);
    out.push_back(':');
    lineLen += tag.size() + 1;
    for (std::size_t i = 0; i < b.size(); ++i) {
        const auto byte = static_cast<unsigned char>(b[i]);
        out.push_back(digits[byte >> 4]);
        out.push_back(digits[byte & 15]);
        if (i + 1 == b.size()) break;
        out.push_back(',');
        lineLen += 3;
        if (lineLen >= kHexLineLimit) {
            out.append("\\\r\n  ");
            lineLen = 2;
        }
    }
}

}  // namespace

bool FitsQuotedString(std::string_view text) {
    for (char c : text)
        if (IsControl(c)) return false;
    return true;
}

const Regedit4Value* Regedit4Key::Find(std::string_view name) const {
    auto it = index_.find(AsciiLower(name));
    return it == index_.end() ? nullptr : &values_[it->second];
}

void Regedit4Key::Set(Regedit4Value value) {
    const std::string lower = AsciiLower(value.name);
    auto it = index_.find(lower);
    if (it != index_.end()) {
        value.name = values_[it->second].name;
        values_[it->second] = std::move(value);
        return;
    }
    index_.emplace(lower, values_.size());
    values_.push_back(std::move(value));
}

bool Regedit4Key::Remove(std::string_view name) {
    auto it = index_.find(AsciiLower(name));
    if (it == index_.end()) return false;
    const std::size_t at = it->second;
    values_.erase(values_.begin() + static_cast<std::ptrdiff_t>(at));
    index_.erase(it);
    for (auto& [n, i] : index_)
        if (i > at) --i;
    return true;
}

const Regedit4Key* Regedit4Document::Find(std::string_view path) const {
    const auto canonical = CanonicalOrNothing(path);
    if (!canonical) return nullptr;
    auto it = index_.find(*canonical);
    return it == index_.end() ? nullptr : &keys_[it->second];
}

Regedit4Key* Regedit4Document::Find(std::string_view path) {
    return const_cast<Regedit4Key*>(static_cast<const Regedit4Document*>(this)->Find(path));
}

Regedit4Key& Regedit4Document::Add(const std::string& path) {
    const auto parts = SplitKeyPath(path);  // throws for a path that names no key
    const std::string normal = JoinKeyPath(parts, parts.size());
    const std::string canonical = AsciiLower(normal);
    auto it = index_.find(canonical);
    if (it != index_.end()) return keys_[it->second];
    index_.emplace(canonical, keys_.size());
    keys_.emplace_back(normal);
    return keys_.back();
}

Regedit4Parse ParseRegedit4(std::string_view text) {
    return Parser(text).Run();
}

std::string FormatRegedit4(const Regedit4Document& document) {
    std::string out;
    out.append(kHeader).append(kEol).append(kEol);
    for (const Regedit4Key& key : document.keys()) {
        out.push_back('[');
        out.append(key.path());
        out.push_back(']');
        out.append(kEol);
        for (const Regedit4Value& v : key.values()) {
            const std::size_t lineStart = out.size();
            if (v.name.empty())
                out.push_back('@');
            else
                AppendQuoted(out, v.name);
            out.push_back('=');
            switch (v.type) {
                case Regedit4Value::Type::Dword: {
                    static const char* digits = "0123456789abcdef";
                    out.append("dword:");
                    for (int shift = 28; shift >= 0; shift -= 4)
                        out.push_back(digits[(v.dword >> shift) & 15]);
                    break;
                }
                case Regedit4Value::Type::String:
                    if (FitsQuotedString(v.text)) {
                        AppendQuoted(out, v.text);
                    } else {
                        std::string bytes = v.text;
                        bytes.push_back('\0');
                        AppendHex(out, out.size() - lineStart, "hex(1)", bytes);
                    }
                    break;
                case Regedit4Value::Type::Binary:
                    AppendHex(out, out.size() - lineStart, v.text, v.bytes);
                    break;
            }
            out.append(kEol);
        }
        out.append(kEol);
    }
    return out;
}

}  // namespace orp
