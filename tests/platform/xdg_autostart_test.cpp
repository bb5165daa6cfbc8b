#include "platform/linux/xdg_autostart.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "temp_dir.h"

namespace orp {
namespace {

using test::ModeOf;
using test::ReadAll;
using test::TempDir;
using test::WriteAll;

// The Exec value for each path, derived by hand from the desktop-entry rules: the path in
// double quotes with ", `, $ and \ escaped by a backslash and % doubled; then the string-type
// escapes (\\ for a backslash, \n \t \r for those characters) over the whole value.
struct ExecCase {
    std::string path;
    std::string exec;
};
const std::vector<ExecCase> kExecCases = {
    {"/opt/orrindo/ORPstub", R"("/opt/orrindo/ORPstub")"},
    {"/opt/my apps/ORPstub", R"("/opt/my apps/ORPstub")"},
    {"/opt/a\"b/ORPstub", R"("/opt/a\\"b/ORPstub")"},
    {"/opt/back\\slash/ORPstub", R"("/opt/back\\\\slash/ORPstub")"},
    {"/opt/$HOME/ORPstub", R"("/opt/\\$HOME/ORPstub")"},
    {"/opt/`id`/ORPstub", R"("/opt/\\`id\\`/ORPstub")"},
    {"/opt/100%/ORPstub", R"("/opt/100%%/ORPstub")"},
    {"/opt/%f %u/ORPstub", R"("/opt/%%f %%u/ORPstub")"},
    {"/opt/it's;&|<>~*?#()=/ORPstub", R"("/opt/it's;&|<>~*?#()=/ORPstub")"},
    {"/opt/new\nline/ORPstub", R"("/opt/new\nline/ORPstub")"},
    {"/opt/tab\there/ORPstub", R"("/opt/tab\there/ORPstub")"},
    {"/opt/caf\xc3\xa9/ORPstub", "\"/opt/caf\xc3\xa9/ORPstub\""},
    {"/opt/all \" ` $ \\ % of them/ORPstub", R"("/opt/all \\" \\` \\$ \\\\ %% of them/ORPstub")"},
};

TEST(XdgAutostart, ExecValueEscaping) {
    for (const ExecCase& c : kExecCases)
        EXPECT_EQ(XdgAutostartEntries::ExecValueFor(c.path), c.exec) << c.path;
}

TEST(XdgAutostart, WriteThenReadGivesTheRunValueBack) {
    TempDir tmp;
    XdgAutostartEntries run(tmp / "autostart");
    run.Open();
    for (const ExecCase& c : kExecCases) {
        SCOPED_TRACE(c.path);
        const std::string quoted = "\"" + c.path + "\"";
        run.Write("Orrindo Pro", quoted);
        EXPECT_TRUE(run.Exists("Orrindo Pro"));
        EXPECT_EQ(run.Read("Orrindo Pro"), quoted);
        const std::string text = ReadAll(tmp / "autostart/Orrindo Pro.desktop");
        EXPECT_NE(text.find("\nExec=" + c.exec + "\n"), std::string::npos);
        run.Write("Orrindo Pro", c.path);  // an unquoted path means the same program
        EXPECT_EQ(ReadAll(tmp / "autostart/Orrindo Pro.desktop"), text);
    }
}

TEST(XdgAutostart, EntriesAreFiles) {
    TempDir tmp;
    const std::string dir = tmp / "cfg/autostart";
    XdgAutostartEntries run(dir);
    run.Open();
    EXPECT_EQ(ModeOf(dir), 0700u);
    EXPECT_FALSE(run.Exists("Orrindo"));
    WriteAll(dir + "/Orrindo.desktop",
             "[Desktop Entry]\nType=Application\nName=Orrindo\n"
             "Exec=\"/old/ORPstub\"\n");
    EXPECT_TRUE(run.Exists("Orrindo"));
    EXPECT_EQ(run.Read("Orrindo"), "\"/old/ORPstub\"");
    run.Write("Orrindo Pro", "\"/opt/o/ORPstub\"");
    EXPECT_EQ(test::ListDir(dir),
              (std::vector<std::string>{"Orrindo Pro.desktop", "Orrindo.desktop"}));
    EXPECT_EQ(ReadAll(dir + "/Orrindo Pro.desktop"),
              "[Desktop Entry]\n"
              "Type=Application\n"
              "Version=1.4\n"
              "Name=Orrindo Pro\n"
              "Comment=Memory monitor and optimiser, started when you log in\n"
              "Exec=\"/opt/o/ORPstub\"\n"
              "Terminal=false\n"
              "X-GNOME-Autostart-enabled=true\n");
    run.Delete("Orrindo");
    run.Delete("Orrindo");  // already gone: fine
    EXPECT_FALSE(run.Exists("Orrindo"));
    EXPECT_THROW(run.Read("Orrindo"), RunEntriesError);
}

TEST(XdgAutostart, Refusals) {
    TempDir tmp;
    XdgAutostartEntries run(tmp / "autostart");
    run.Open();
    struct Case {
        const char* what;
        std::string name, commandLine;
    };
    const std::vector<Case> cases = {
        {"empty path", "Orrindo Pro", ""},
        {"empty quoted path", "Orrindo Pro", "\"\""},
        {"not UTF-8", "Orrindo Pro", "\"/opt/\xff/ORPstub\""},
        {"overlong UTF-8", "Orrindo Pro", "\"/opt/\xc0\xaf/ORPstub\""},
        {"control character", "Orrindo Pro", "\"/opt/\x01/ORPstub\""},
        {"name with a slash", "../evil", "\"/opt/o/ORPstub\""},
        {"empty name", "", "\"/opt/o/ORPstub\""},
        {"name with a newline", "a\nb", "\"/opt/o/ORPstub\""},
    };
    for (const Case& c : cases) {
        EXPECT_THROW(run.Write(c.name, c.commandLine), RunEntriesError) << c.what;
    }
    EXPECT_TRUE(test::ListDir(tmp / "autostart").empty());

    WriteAll(tmp / "file", "x");
    XdgAutostartEntries blocked(tmp / "file/autostart");
    EXPECT_THROW(blocked.Open(), RunEntriesError);
    XdgAutostartEntries notADir(tmp / "file");
    EXPECT_THROW(notADir.Open(), RunEntriesError);
    EXPECT_THROW(notADir.Write("Orrindo Pro", "\"/x\""), RunEntriesError);
}

TEST(XdgAutostart, ForeignExecLinesReadAsTheyStand) {
    const std::pair<std::string, std::string> cases[] = {
        {"[Desktop Entry]\nExec=/usr/bin/thing --flag\n", "/usr/bin/thing --flag"},
        {"[Desktop Entry]\nExec=\"/a b/c\" --flag\n", "\"/a b/c\" --flag"},
        {"[Other]\nExec=wrong\n[Desktop Entry]\nName=x\nExec = \"/right\"\n", "\"/right\""},
        {"[Desktop Entry]\r\nExec=\"/crlf\"\r\n", "\"/crlf\""},
    };
    for (const auto& [text, want] : cases)
        EXPECT_EQ(XdgAutostartEntries::CommandLineFrom(text), want) << text;
    EXPECT_THROW(XdgAutostartEntries::CommandLineFrom("[Desktop Entry]\nName=x\n"),
                 RunEntriesError);
}

// Runs a command, giving its exit status and whatever it printed.
int RunCommand(const std::string& command, std::string& output) {
    output.clear();
    FILE* p = ::popen((command + " 2>&1").c_str(), "r");
    if (!p) return -1;
    char buf[512];
    while (std::fgets(buf, sizeof buf, p)) output += buf;
    const int status = ::pclose(p);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ShellQuote(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

bool HaveTool(const char* name) {
    std::string out;
    return RunCommand(std::string("command -v ") + name, out) == 0;
}

TEST(XdgAutostart, WrittenEntriesPassDesktopFileValidate) {
    if (!HaveTool("desktop-file-validate")) GTEST_SKIP() << "desktop-file-validate not installed";
    TempDir tmp;
    XdgAutostartEntries run(tmp.path());
    for (const ExecCase& c : kExecCases) {
        SCOPED_TRACE(c.path);
        run.Write("Orrindo Pro", "\"" + c.path + "\"");
        std::string out;
        EXPECT_EQ(
            RunCommand("desktop-file-validate " + ShellQuote(tmp / "Orrindo Pro.desktop"), out), 0)
            << out;
        EXPECT_EQ(out.find("error"), std::string::npos) << out;
    }
}

// The real proof of the escaping: a desktop launcher (GLib's, through gio) starts the program
// named by the entry, from directories whose names hold every character that needs care.
TEST(XdgAutostart, ADesktopLauncherStartsThePathWritten) {
    if (!HaveTool("gio")) GTEST_SKIP() << "gio (libglib2.0-bin) not installed";
    // No '%': GLib checks at load time that the program exists under the Exec path as written,
    // before it turns %% back into %, so it refuses such an entry whatever the escaping.
    const std::string nasty[] = {
        "plain",     "with blanks", "quote \" in it",   "back\\slash", "dollar $HOME",
        "tick `id`", "it's",        "semi;colon & amp", "new\nline",   "tab\there",
    };
    TempDir tmp;
    XdgAutostartEntries run(tmp / "autostart");
    run.Open();
    int n = 0;
    for (const std::string& dirName : nasty) {
        SCOPED_TRACE(dirName);
        const std::string dir = tmp / dirName;
        std::filesystem::create_directories(dir);
        const std::string marker = tmp / ("started-" + std::to_string(n++));
        const std::string program = dir + "/ORPstub";
        // The program records how it was called: its argument count and its own path.
        WriteAll(program, "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$0\" > " + ShellQuote(marker) + "\n");
        ::chmod(program.c_str(), 0755);
        run.Write("Orrindo Pro", "\"" + program + "\"");
        std::string out;
        ASSERT_EQ(
            RunCommand("gio launch " + ShellQuote(tmp / "autostart/Orrindo Pro.desktop"), out), 0)
            << out;
        // gio hands the program to the system and returns; wait (boundedly) for its record.
        for (int i = 0; i < 200 && !std::filesystem::exists(marker); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        for (int i = 0; i < 40 && ReadAll(marker).find('|') == std::string::npos; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        EXPECT_EQ(ReadAll(marker), "0|" + program);
    }
}

}  // namespace
}  // namespace orp
