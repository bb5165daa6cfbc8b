#include "platform/linux/reg_file_registry.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>

#include "platform/linux/regedit4.h"
#include "temp_dir.h"

namespace orp {
namespace {

using test::ListDir;
using test::ModeOf;
using test::ReadAll;
using test::TempDir;
using test::WriteAll;

constexpr RegRoot kUser = RegRoot::CurrentUser;
constexpr RegRoot kMachine = RegRoot::LocalMachine;
const std::string kKey = "software\\Kestovar\\Orrindo Pro";

// Runs `body` in a child process and returns its exit status (or 128 + signal). The child
// never returns into the test runner.
int InChild(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        int rc = 99;
        try {
            rc = body();
        } catch (...) {
            rc = 98;
        }
        ::_exit(rc);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(RegFileRegistry, WritesExportFormatPrivately) {
    TempDir tmp;
    const std::string dir = tmp / "config/orrindo-pro";
    RegFileRegistry reg(dir + "/user.reg", tmp / "etc/machine.reg");
    EXPECT_FALSE(reg.KeyExists(kUser, kKey));
    reg.CreateKey(kUser, kKey);
    reg.WriteDword(kUser, kKey, "Attempts", 2);
    reg.WriteDword(kUser, kKey, "Global Font", 0xFFFFFF);
    reg.WriteString(kUser, kKey, "Path", "C:\\a \"b\"");
    EXPECT_EQ(ReadAll(dir + "/user.reg"),
              "REGEDIT4\r\n\r\n"
              "[HKEY_CURRENT_USER\\software\\Kestovar\\Orrindo Pro]\r\n"
              "\"Attempts\"=dword:00000002\r\n"
              "\"Global Font\"=dword:00ffffff\r\n"
              "\"Path\"=\"C:\\\\a \\\"b\\\"\"\r\n"
              "\r\n");
    EXPECT_EQ(ModeOf(dir + "/user.reg"), 0600u);
    EXPECT_EQ(ModeOf(dir), 0700u);
    EXPECT_EQ(ModeOf(tmp / "config"), 0700u);
    EXPECT_EQ(reg.ReadDword(kUser, kKey, "attempts"), 2u);
    EXPECT_EQ(reg.ReadString(kUser, kKey, "PATH"), "C:\\a \"b\"");
    EXPECT_FALSE(std::filesystem::exists(tmp / "etc"));  // nothing machine-wide was touched

    reg.CreateKey(kMachine, kKey);
    reg.WriteString(kMachine, kKey, "Install Location", "/opt/o/");
    EXPECT_EQ(ModeOf(tmp / "etc/machine.reg"), 0644u);
    EXPECT_NE(ReadAll(tmp / "etc/machine.reg")
                  .find("[HKEY_LOCAL_MACHINE\\software\\Kestovar\\Orrindo Pro]\r\n"
                        "\"Install Location\"=\"/opt/o/\"\r\n"),
              std::string::npos);
    EXPECT_FALSE(reg.ValueExists(kUser, kKey, "Install Location"));
}

TEST(RegFileRegistry, KeysAndValues) {
    TempDir tmp;
    RegFileRegistry reg(tmp / "user.reg", tmp / "machine.reg");
    reg.CreateKey(kUser, "\\Software\\A\\B\\C");
    reg.WriteDword(kUser, "software\\a\\b\\c", "X", 1);
    struct Case {
        const char* what;
        std::function<bool()> holds;
    };
    const std::vector<Case> cases = {
        {"a parent exists with its child", [&] { return reg.KeyExists(kUser, "SOFTWARE\\A"); }},
        {"case and leading backslash do not matter",
         [&] { return reg.KeyExists(kUser, "\\software\\a\\b\\c\\"); }},
        {"a sibling does not exist", [&] { return !reg.KeyExists(kUser, "Software\\A\\D"); }},
        {"a prefix of a name is not a parent",
         [&] {
             return !reg.KeyExists(kUser,
                                   "Software\\A\\B\\"
                                   "C2");
         }},
        {"the other root is apart", [&] { return !reg.KeyExists(kMachine, "Software\\A"); }},
        {"a value of a missing key is absent",
         [&] { return !reg.ValueExists(kUser, "Software\\Z", "X"); }},
        {"the value name ignores case",
         [&] { return reg.ValueExists(kUser, "Software\\A\\B\\C", "x"); }},
        {"the key keeps its first spelling",
         [&] {
             return ReadAll(tmp / "user.reg").find("[HKEY_CURRENT_USER\\Software\\A\\B\\C]") !=
                    std::string::npos;
         }},
    };
    for (const Case& c : cases) EXPECT_TRUE(c.holds()) << c.what;
}

TEST(RegFileRegistry, FailuresThrow) {
    TempDir tmp;
    RegFileRegistry reg(tmp / "user.reg", tmp / "machine.reg");
    struct Case {
        const char* what;
        std::function<void()> act;
    };
    const std::vector<Case> beforeAnyFile = {
        {"write without a file", [&] { reg.WriteDword(kUser, kKey, "A", 1); }},
        {"read without a file", [&] { reg.ReadDword(kUser, kKey, "A"); }},
        {"delete without a file", [&] { reg.DeleteValue(kUser, kKey, "A"); }},
    };
    for (const Case& c : beforeAnyFile) EXPECT_THROW(c.act(), RegistryError) << c.what;
    EXPECT_TRUE(ListDir(tmp.path()).empty()) << "a failed write must not create files";

    reg.CreateKey(kUser, kKey);
    reg.WriteDword(kUser, kKey, "Dword", 5);
    reg.WriteString(kUser, kKey, "Text", "t");
    const std::string before = ReadAll(tmp / "user.reg");
    const std::vector<Case> cases = {
        {"write into a missing key", [&] { reg.WriteDword(kUser, "software\\Other", "A", 1); }},
        {"read from a missing key", [&] { reg.ReadDword(kUser, "software\\Other", "A"); }},
        {"delete in a missing key", [&] { reg.DeleteValue(kUser, "software\\Other", "A"); }},
        {"missing value", [&] { reg.ReadDword(kUser, kKey, "Nothing"); }},
        {"string read as DWORD", [&] { reg.ReadDword(kUser, kKey, "Text"); }},
        {"DWORD read as string", [&] { reg.ReadString(kUser, kKey, "Dword"); }},
        {"empty key path", [&] { reg.KeyExists(kUser, ""); }},
        {"empty component", [&] { reg.CreateKey(kUser, "software\\\\x"); }},
        {"control character in a key", [&] { reg.CreateKey(kUser, "software\nx"); }},
        {"control character in a name", [&] { reg.WriteDword(kUser, kKey, "a\nb", 1); }},
        {"NUL in a string", [&] { reg.WriteString(kUser, kKey, "S", std::string("a\0b", 3)); }},
    };
    for (const Case& c : cases) EXPECT_THROW(c.act(), RegistryError) << c.what;
    EXPECT_EQ(ReadAll(tmp / "user.reg"), before);
    EXPECT_NO_THROW(reg.DeleteValue(kUser, kKey, "Nothing"));
    reg.DeleteValue(kUser, kKey, "dword");
    EXPECT_FALSE(reg.ValueExists(kUser, kKey, "Dword"));
    EXPECT_TRUE(reg.ValueExists(kUser, kKey, "Text"));
}

TEST(RegFileRegistry, TwoObjectsSeeEachOthersWrites) {
    TempDir tmp;
    RegFileRegistry a(tmp / "user.reg", tmp / "machine.reg");
    RegFileRegistry b(tmp / "user.reg", tmp / "machine.reg");
    a.CreateKey(kUser, kKey);
    EXPECT_TRUE(b.KeyExists(kUser, kKey));
    for (std::uint32_t i = 0; i < 5; ++i) {
        a.WriteDword(kUser, kKey, "Target RAM", i);
        EXPECT_EQ(b.ReadDword(kUser, kKey, "Target RAM"), i);
        b.WriteDword(kUser, kKey, "CPU Threshold", 10 + i);
        EXPECT_EQ(a.ReadDword(kUser, kKey, "CPU Threshold"), 10 + i);
    }
    b.DeleteValue(kUser, kKey, "Target RAM");
    EXPECT_FALSE(a.ValueExists(kUser, kKey, "Target RAM"));
    WriteAll(tmp / "user.reg", "REGEDIT4\r\n\r\n");  // changed behind both of them
    EXPECT_FALSE(a.KeyExists(kUser, kKey));
}

TEST(RegFileRegistry, UnreadableLinesAreSetAsideBeforeTheFirstRewrite) {
    TempDir tmp;
    const std::string file = tmp / "user.reg";
    const std::string original =
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\software\\Kestovar\\Orrindo Pro]\r\n"
        "\"Attempts\"=dword:00000004\r\n"
        "\"IEC\"=dword:zz\r\n"
        "\x01\x02 binary tail\r\n"
        "\"Target RAM\"=dword:00000021\r\n";
    WriteAll(file, original);
    RegFileRegistry reg(file, tmp / "machine.reg");
    EXPECT_EQ(reg.ReadDword(kUser, kKey, "Attempts"), 4u);
    EXPECT_EQ(reg.ReadDword(kUser, kKey, "Target RAM"), 0x21u);
    EXPECT_FALSE(reg.ValueExists(kUser, kKey, "IEC"));
    EXPECT_EQ(ListDir(tmp.path()), std::vector<std::string>{"user.reg"}) << "reading keeps it";

    reg.WriteDword(kUser, kKey, "IEC", 1);
    std::vector<std::string> names = ListDir(tmp.path());
    ASSERT_EQ(names.size(), 3u);  // user.reg, user.reg.corrupt-<time>, user.reg.lock
    EXPECT_EQ(names[0], "user.reg");
    EXPECT_EQ(names[1].rfind("user.reg.corrupt-", 0), 0u);
    EXPECT_EQ(names[2], "user.reg.lock");
    EXPECT_EQ(ReadAll(tmp / names[1]), original);
    EXPECT_TRUE(ParseRegedit4(ReadAll(file)).clean());
    EXPECT_EQ(reg.ReadDword(kUser, kKey, "Attempts"), 4u);
    EXPECT_EQ(reg.ReadDword(kUser, kKey, "Target RAM"), 0x21u);
    EXPECT_EQ(reg.ReadDword(kUser, kKey, "IEC"), 1u);

    reg.WriteDword(kUser, kKey, "IEC", 0);  // the file is sound now: nothing more set aside
    EXPECT_EQ(ListDir(tmp.path()).size(), 3u);
}

TEST(RegFileRegistry, AnOversizedFileIsKeptWholeAndNotRead) {
    TempDir tmp;
    const std::string file = tmp / "user.reg";
    std::string big = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\software\\Kestovar\\Orrindo Pro]\r\n";
    big += std::string(RegFileRegistry::kMaxFileBytes, ';');
    WriteAll(file, big);
    RegFileRegistry reg(file, tmp / "machine.reg");
    EXPECT_FALSE(reg.KeyExists(kUser, kKey));
    reg.CreateKey(kUser, kKey);
    reg.WriteDword(kUser, kKey, "Attempts", 3);
    std::string aside;
    for (const std::string& n : ListDir(tmp.path()))
        if (n.rfind("user.reg.corrupt-", 0) == 0) aside = n;
    ASSERT_FALSE(aside.empty());
    EXPECT_EQ(std::filesystem::file_size(tmp / aside), big.size());
    EXPECT_EQ(reg.ReadDword(kUser, kKey, "Attempts"), 3u);
}

TEST(RegFileRegistry, AFailedWriteKeepsTheOldFile) {
    TempDir tmp;
    const std::string file = tmp / "user.reg";
    RegFileRegistry reg(file, tmp / "machine.reg");
    reg.CreateKey(kUser, kKey);
    reg.WriteDword(kUser, kKey, "Attempts", 2);
    const std::string before = ReadAll(file);
    // The child may write files of at most 200 bytes: the new file cannot be completed, as on a
    // full disk.
    const int rc = InChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit lim{200, 200};
        if (::setrlimit(RLIMIT_FSIZE, &lim) != 0) return 3;
        try {
            reg.WriteString(kUser, kKey, "Long", std::string(500, 'x'));
        } catch (const RegistryAccessDenied&) {
            return 2;
        } catch (const RegistryError&) {
            return 0;
        }
        return 1;
    });
    EXPECT_EQ(rc, 0) << "1: no error reported, 2: taken for missing rights, 3: no limit";
    EXPECT_EQ(ReadAll(file), before);
    EXPECT_EQ(ListDir(tmp.path()), (std::vector<std::string>{"user.reg", "user.reg.lock"}))
        << "the temporary file must be gone";
    EXPECT_FALSE(reg.ValueExists(kUser, kKey, "Long"));
}

// The machine-wide file belongs to root; an ordinary account reads it and is refused writes.
TEST(RegFileRegistry, MachineFileRefusesAnOrdinaryAccount) {
    TempDir tmp;
    const std::string etc = tmp / "etc";
    RegFileRegistry admin(tmp / "root-user.reg", etc + "/machine.reg");
    admin.CreateKey(kMachine, kKey);
    admin.WriteString(kMachine, kKey, "Install Location", "/opt/o/");
    const std::string before = ReadAll(etc + "/machine.reg");

    const bool root = ::geteuid() == 0;
    const std::string home = tmp / "home";
    std::filesystem::create_directories(home);
    if (root) {
        ::chmod(tmp.path().c_str(), 0755);
        ::chmod(etc.c_str(), 0755);
        ::chown(home.c_str(), 65534, 65534);
    } else {
        ::chmod(etc.c_str(), 0555);
        ::chmod((etc + "/machine.reg").c_str(), 0444);
    }
    const int rc = InChild([&] {
        if (root && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return 90;
        RegFileRegistry user(home + "/user.reg", etc + "/machine.reg");
        RegFileRegistry elsewhere(home + "/u2.reg", etc + "/missing/machine.reg");
        int failures = 0;
        auto denied = [&](int bit, const std::function<void()>& act) {
            try {
                act();
                failures |= bit;
            } catch (const RegistryAccessDenied&) {
            } catch (...) {
                failures |= bit;
            }
        };
        denied(1, [&] { user.WriteString(kMachine, kKey, "Install Location", "/home/x/"); });
        denied(2, [&] { user.CreateKey(kMachine, "software\\New"); });
        denied(4, [&] { user.DeleteValue(kMachine, kKey, "Install Location"); });
        denied(8, [&] { elsewhere.CreateKey(kMachine, kKey); });
        try {
            user.CreateKey(kMachine, kKey);  // opening an existing key asks for nothing
            if (user.ReadString(kMachine, kKey, "Install Location") != "/opt/o/") failures |= 16;
            user.CreateKey(kUser, kKey);
            user.WriteDword(kUser, kKey, "Attempts", 2);
            if (user.ReadDword(kUser, kKey, "Attempts") != 2) failures |= 32;
        } catch (...) {
            failures |= 64;
        }
        return failures;
    });
    EXPECT_EQ(rc, 0) << "bit mask of the checks that failed in the child";
    EXPECT_EQ(ReadAll(etc + "/machine.reg"), before);
    ::chmod(etc.c_str(), 0755);
}

TEST(RegFileRegistry, TwoProcessesWritingAtOnceLoseNothing) {
    TempDir tmp;
    const std::string file = tmp / "user.reg";
    RegFileRegistry(file, tmp / "machine.reg").CreateKey(kUser, kKey);
    constexpr int kEach = 200;
    int go[2];
    ASSERT_EQ(::pipe(go), 0);
    pid_t pids[2];
    for (int p = 0; p < 2; ++p) {
        pids[p] = ::fork();
        if (pids[p] == 0) {
            ::close(go[1]);
            char c;
            if (::read(go[0], &c, 1) != 0) ::_exit(97);  // both start when the pipe closes
            int rc = 0;
            try {
                RegFileRegistry reg(file, tmp / "machine.reg");
                for (int i = 0; i < kEach; ++i)
                    reg.WriteDword(kUser, kKey, "p" + std::to_string(p) + "-" + std::to_string(i),
                                   static_cast<std::uint32_t>(p * 1000 + i));
            } catch (...) {
                rc = 1;
            }
            ::_exit(rc);
        }
    }
    ::close(go[0]);
    ::close(go[1]);
    for (pid_t pid : pids) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const Regedit4Parse parse = ParseRegedit4(ReadAll(file));
    EXPECT_TRUE(parse.clean());
    RegFileRegistry reg(file, tmp / "machine.reg");
    int found = 0;
    for (int p = 0; p < 2; ++p)
        for (int i = 0; i < kEach; ++i) {
            const std::string name = "p" + std::to_string(p) + "-" + std::to_string(i);
            if (reg.ValueExists(kUser, kKey, name) &&
                reg.ReadDword(kUser, kKey, name) == static_cast<std::uint32_t>(p * 1000 + i))
                ++found;
        }
    EXPECT_EQ(found, 2 * kEach);
}

TEST(RegFileRegistry, DefaultLocations) {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old ? old : "";
    ::setenv("XDG_CONFIG_HOME", "/cfg/here", 1);
    EXPECT_EQ(RegFileRegistry::DefaultUserFile(), "/cfg/here/orrindo-pro/user.reg");
    ::setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    const std::string fallback = RegFileRegistry::DefaultUserFile();
    EXPECT_EQ(fallback.rfind("/"), fallback.size() - std::string("/user.reg").size());
    EXPECT_NE(fallback.find("/.config/orrindo-pro/user.reg"), std::string::npos);
    EXPECT_EQ(fallback.front(), '/');
    if (old)
        ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(RegFileRegistry::DefaultMachineFile(), "/etc/orrindo-pro/machine.reg");
    const auto reg = RegFileRegistry::ForCurrentUser();
    EXPECT_EQ(reg->machineFile(), "/etc/orrindo-pro/machine.reg");
}

}  // namespace
}  // namespace orp
