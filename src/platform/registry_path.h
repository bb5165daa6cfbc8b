#pragma once
// Key paths and value names as every registry of ours compares them: components separated by
// backslashes, a leading backslash meaning the same key, letters compared without case (ASCII;
// the names the program uses are ASCII). Shared by the file-backed registry and the test fake
// so that both accept and refuse the same paths.
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace orp {

inline char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

inline std::string AsciiLower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = AsciiLower(c);
    return out;
}

inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

// Splits a key path into its components. Leading and trailing backslashes are dropped; an empty
// path, an empty component ("a\\b") or a control character cannot name a key and throws, so a
// caller's typo never lands in some other key.
inline std::vector<std::string> SplitKeyPath(std::string_view path) {
    while (!path.empty() && path.front() == '\\') path.remove_prefix(1);
    while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    if (path.empty()) throw RegistryError("empty registry key path");
    std::vector<std::string> parts;
    std::string current;
    for (char c : path) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            throw RegistryError("registry key path holds a control character");
        if (c == '\\') {
            if (current.empty()) throw RegistryError("registry key path has an empty component");
            parts.push_back(std::move(current));
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    parts.push_back(std::move(current));
    return parts;
}

inline std::string JoinKeyPath(const std::vector<std::string>& parts, std::size_t count) {
    std::string out;
    for (std::size_t i = 0; i < count && i < parts.size(); ++i) {
        if (i) out.push_back('\\');
        out += parts[i];
    }
    return out;
}

// The canonical spelling used for comparison: components joined by one backslash, lower case.
inline std::string CanonicalKeyPath(std::string_view path) {
    const auto parts = SplitKeyPath(path);
    return AsciiLower(JoinKeyPath(parts, parts.size()));
}

inline const char* RootName(RegRoot root) {
    return root == RegRoot::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

}  // namespace orp
