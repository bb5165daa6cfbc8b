#include "platform/linux/xdg_autostart.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <system_error>

#include "platform/linux/file_io.h"
#include "platform/linux/xdg_dirs.h"

namespace orp {

namespace {

constexpr std::size_t kMaxEntryBytes = 64 * 1024;

[[noreturn]] void Fail(const std::string& what) {
    throw RunEntriesError(what);
}

[[noreturn]] void Fail(const std::string& what, int err) {
    Fail(what + ": " + std::strerror(err));
}

bool ValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t len = 0;
        std::uint32_t cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            len = 2;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + len > s.size()) return false;
        for (std::size_t k = 1; k < len; ++k) {
            const auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) ||
            (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
            return false;
        i += len;
    }
    return true;
}

// A desktop entry holds UTF-8 text; of the control characters only those with a string escape.
void CheckText(std::string_view s, const char* what) {
    if (!ValidUtf8(s)) Fail(std::string(what) + " is not UTF-8 text");
    for (char c : s)
        if ((static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\t' && c != '\r') ||
            c == 0x7f)
            Fail(std::string(what) + " holds a control character");
}

// The escapes of the string type: backslash, and the control characters it may hold.
std::string EscapeString(std::string_view s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out.push_back(c);
        }
    }
    // A leading blank would be taken for the space after '='.
    if (!out.empty() && out.front() == ' ') out.replace(0, 1, "\\s");
    return out;
}

std::string UnescapeString(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 == s.size()) {
            out.push_back(s[i]);
            continue;
        }
        switch (s[++i]) {
            case 's':
                out.push_back(' ');
                break;
            case 'n':
                out.push_back('\n');
                break;
            case 't':
                out.push_back('\t');
                break;
            case 'r':
                out.push_back('\r');
                break;
            case '\\':
                out.push_back('\\');
                break;
            default:  // not a string escape: both characters stand
                out.push_back('\\');
                out.push_back(s[i]);
        }
    }
    return out;
}

// The path of a Run-style command line: the text inside the enclosing quotes, or all of it.
std::string PathOf(const std::string& commandLine) {
    if (commandLine.size() >= 2 && commandLine.front() == '"' && commandLine.back() == '"')
        return commandLine.substr(1, commandLine.size() - 2);
    return commandLine;
}

// The value of `key` in the [Desktop Entry] group, or nullopt.
std::optional<std::string> DesktopEntryValue(std::string_view text, std::string_view key) {
    bool inGroup = false;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        const std::size_t nl = text.find('\n', pos);
        std::string_view line =
            text.substr(pos, nl == std::string_view::npos ? std::string_view::npos : nl - pos);
        pos = nl == std::string_view::npos ? text.size() + 1 : nl + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty() && line.front() == '[') {
            inGroup = line == "[Desktop Entry]";
            continue;
        }
        if (!inGroup || line.empty() || line.front() == '#') continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        std::string_view k = line.substr(0, eq);
        while (!k.empty() && k.back() == ' ') k.remove_suffix(1);
        if (k != key) continue;
        std::string_view v = line.substr(eq + 1);
        while (!v.empty() && v.front() == ' ') v.remove_prefix(1);
        return std::string(v);
    }
    return std::nullopt;
}

}  // namespace

XdgAutostartEntries::XdgAutostartEntries(std::string directory) : dir_(std::move(directory)) {}

std::string XdgAutostartEntries::DefaultDirectory() {
    return XdgConfigHome() + "/autostart";
}

std::string XdgAutostartEntries::FileFor(const std::string& name) const {
    bool control = false;
    for (char c : name) control = control || static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos ||
        control)
        Fail("\"" + name + "\" cannot name a login entry");
    return dir_ + "/" + name + ".desktop";
}

void XdgAutostartEntries::Open() {
    try {
        fileio::MakeDirectories(dir_, 0700);
    } catch (const std::system_error& e) {
        Fail(e.what());
    }
    if (::access(dir_.c_str(), W_OK | X_OK) != 0) Fail("cannot write in " + dir_, errno);
}

bool XdgAutostartEntries::Exists(const std::string& name) {
    const std::string file = FileFor(name);
    struct stat st {};
    if (::stat(file.c_str(), &st) == 0) return true;
    if (errno == ENOENT || errno == ENOTDIR) return false;
    Fail("cannot look at " + file, errno);
}

std::string XdgAutostartEntries::Read(const std::string& name) {
    const std::string file = FileFor(name);
    std::optional<std::string> text;
    try {
        text = fileio::ReadFile(file, kMaxEntryBytes);
    } catch (const std::system_error& e) {
        Fail(e.what());
    }
    if (!text) Fail("no login entry " + file);
    return CommandLineFrom(*text);
}

void XdgAutostartEntries::Write(const std::string& name, const std::string& commandLine) {
    const std::string file = FileFor(name);
    const std::string entry = DesktopEntryFor(name, commandLine);
    try {
        fileio::WriteFileAtomically(file, entry, 0644);
    } catch (const std::system_error& e) {
        Fail(e.what());
    }
}

void XdgAutostartEntries::Delete(const std::string& name) {
    const std::string file = FileFor(name);
    if (::unlink(file.c_str()) != 0 && errno != ENOENT) Fail("cannot remove " + file, errno);
}

std::string XdgAutostartEntries::ExecValueFor(const std::string& path) {
    // First the command line: one argument in double quotes, in which ", `, $ and \ take a
    // backslash, and every % is doubled so it is not read as a field code.
    std::string arg = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            arg.push_back('\\');
        else if (c == '%')
            arg.push_back('%');
        arg.push_back(c);
    }
    arg.push_back('"');
    // Then the whole line as a value of the string type, whose own escapes come on top.
    return EscapeString(arg);
}

std::string XdgAutostartEntries::DesktopEntryFor(const std::string& name,
                                                 const std::string& commandLine) {
    const std::string path = PathOf(commandLine);
    if (path.empty()) Fail("a login entry needs a program to start");
    CheckText(path, "the program's path");
    CheckText(name, "the entry's name");
    std::string out = "[Desktop Entry]\n";
    out += "Type=Application\n";
    out += "Version=1.4\n";
    out += "Name=" + EscapeString(name) + "\n";
    out += "Comment=Memory monitor and optimiser, started when you log in\n";
    out += "Exec=" + ExecValueFor(path) + "\n";
    out += "Terminal=false\n";
    out += "X-GNOME-Autostart-enabled=true\n";
    return out;
}

std::string XdgAutostartEntries::CommandLineFrom(const std::string& desktopEntry) {
    const auto exec = DesktopEntryValue(desktopEntry, "Exec");
    if (!exec) Fail("the login entry has no Exec line");
    std::string line = UnescapeString(*exec);
    std::string unpercent;
    for (std::size_t i = 0; i < line.size(); ++i) {
        unpercent.push_back(line[i]);
        if (line[i] == '%' && i + 1 < line.size() && line[i + 1] == '%') ++i;
    }
    line = std::move(unpercent);
    if (line.empty() || line.front() != '"') return line;  // not ours: as it stands
    std::string path;
    std::size_t i = 1;
    for (; i < line.size() && line[i] != '"'; ++i) {
        const char c = line[i];
        if (c == '\\' && i + 1 < line.size() &&
            std::string_view("\"`$\\").find(line[i + 1]) != std::string_view::npos) {
            path.push_back(line[++i]);
            continue;
        }
        path.push_back(c);
    }
    if (i >= line.size()) return line;  // unterminated quote: as it stands
    if (line.find_first_not_of(' ', i + 1) != std::string::npos) return line;  // has arguments
    return "\"" + path + "\"";
}

}  // namespace orp
