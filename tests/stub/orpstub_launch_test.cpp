// The real launcher, copied into a folder beside a stand-in ORPRAM script that records how it
// was started. The notification area is played by this test: an X server of its own (when Xvfb
// is installed) whose tray selection the test takes, and a private session bus on which the
// test answers as the StatusNotifier watcher.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QObject>

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "fakes/scratch_dir.h"

namespace orp {
namespace {

namespace fs = std::filesystem;
using Env = std::map<std::string, std::string>;
using namespace std::chrono_literals;

// How long a launch may take before the test calls it hung. Far below the 600 s the launcher is
// told to wait in the cases where it must not wait at all, far above any honest start.
constexpr auto kHangGuard = 60s;
constexpr int kProgramStatus = 7;

// The stand-in program: writes its pid, arguments and whether the flag file existed, then ends
// with a status of its own so the launcher's status shows the program replaced it.
constexpr const char* kFakeProgram = R"(#!/bin/sh
{
  echo "pid=$$"
  for a in "$@"; do echo "arg=$a"; done
  if [ -e "$ORP_TEST_FLAG" ]; then echo "flag=set"; else echo "flag=unset"; fi
} > "$ORP_TEST_RECORD.part"
mv "$ORP_TEST_RECORD.part" "$ORP_TEST_RECORD"
exit 7
)";

bool OnPath(const std::string& tool) {
    for (const char* dir : {"/usr/bin", "/bin", "/usr/local/bin"})
        if (::access((std::string(dir) + "/" + tool).c_str(), X_OK) == 0) return true;
    return false;
}

struct Launch {
    pid_t pid = -1;
    std::optional<int> status;  // exit status once ended
};

class LaunchFolder {
public:
    explicit LaunchFolder(bool withProgram = true) {
        fs::copy_file(ORPSTUB_PATH, Launcher());
        if (withProgram) {
            test::WriteBytes(dir_.File("ORPRAM"), kFakeProgram);
            fs::permissions(dir_.File("ORPRAM"), fs::perms::owner_all);
        }
    }
    std::string Launcher() const { return dir_.File("ORPstub"); }
    std::string Record() const { return dir_.File("record"); }
    std::string Flag() const { return dir_.File("flag"); }
    std::string Errors() const { return dir_.File("stderr"); }
    bool Started() const { return fs::exists(Record()); }
    std::vector<std::string> RecordLines() const {
        std::vector<std::string> lines;
        std::string text = test::ReadBytes(Record()), line;
        for (char c : text) {
            if (c == '\n')
                lines.push_back(std::move(line)), line.clear();
            else
                line.push_back(c);
        }
        return lines;
    }

    Launch Start(Env env, const std::vector<std::string>& args = {}) const {
        env["PATH"] = "/usr/bin:/bin";
        env["ORP_TEST_RECORD"] = Record();
        env["ORP_TEST_FLAG"] = Flag();
        std::vector<std::string> envText, argText{Launcher()};
        for (const auto& [k, v] : env) envText.push_back(k + "=" + v);
        argText.insert(argText.end(), args.begin(), args.end());
        std::vector<char*> envp, argv;
        for (auto& s : envText) envp.push_back(s.data());
        for (auto& s : argText) argv.push_back(s.data());
        envp.push_back(nullptr);
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, Errors().c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        Launch l;
        const int rc =
            posix_spawn(&l.pid, Launcher().c_str(), &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0) l.pid = -1;
        return l;
    }

private:
    test::ScratchDir dir_;
};

// Lets Qt answer bus calls while waiting for the launch to end; kills it when it hangs.
void AwaitEnd(Launch& l) {
    ASSERT_GT(l.pid, 0);
    const auto deadline = std::chrono::steady_clock::now() + kHangGuard;
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        const pid_t got = ::waitpid(l.pid, &status, WNOHANG);
        if (got == l.pid) {
            ASSERT_TRUE(WIFEXITED(status));
            l.status = WEXITSTATUS(status);
            return;
        }
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(20ms);
    }
    ::kill(l.pid, SIGKILL);
    ::waitpid(l.pid, nullptr, 0);
    FAIL() << "the launcher did not end";
}

// Keeps the launch running for a while, answering bus calls; it must not end in that time.
void ExpectStillWaiting(const Launch& l, const LaunchFolder& folder) {
    const auto until = std::chrono::steady_clock::now() + 1500ms;
    while (std::chrono::steady_clock::now() < until) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_FALSE(folder.Started()) << "started before a notification area was there";
    siginfo_t info{};
    // Looked at, not reaped: AwaitEnd collects the status.
    EXPECT_EQ(::waitid(P_PID, static_cast<id_t>(l.pid), &info, WEXITED | WNOHANG | WNOWAIT), 0);
    EXPECT_EQ(info.si_pid, 0) << "the launcher ended early";
}

void ExpectProgramRan(const Launch& l, const LaunchFolder& folder,
                      const std::vector<std::string>& args = {}, const char* flag = nullptr) {
    ASSERT_EQ(l.status, kProgramStatus) << test::ReadBytes(folder.Errors());
    std::vector<std::string> expected{"pid=" + std::to_string(l.pid)};  // the same process
    for (const auto& a : args) expected.push_back("arg=" + a);
    const std::vector<std::string> lines = folder.RecordLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.end() - 1), expected);
    if (flag) {
        EXPECT_EQ(lines.back(), std::string("flag=") + flag);
    }
}

TEST(OrpStub, StartsTheProgramBesideItWithoutWaitingWhereNoTrayCanCome) {
    struct Case {
        const char* what;
        Env env;
    };
    const Case cases[] = {
        {"no graphical session", {{"ORP_TRAY_WAIT", "600"}}},
        {"an X display that cannot be reached", {{"ORP_TRAY_WAIT", "600"}, {"DISPLAY", ":4999"}}},
        {"waiting switched off", {{"ORP_TRAY_WAIT", "0"}, {"WAYLAND_DISPLAY", "wayland-x"}}},
    };
    const std::vector<std::string> args{"/f:50", "two words", "\"q\""};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LaunchFolder folder;
        Launch l = folder.Start(c.env, args);
        AwaitEnd(l);
        ExpectProgramRan(l, folder, args);
    }
}

TEST(OrpStub, WithoutTheProgramItSaysSoAndFails) {
    LaunchFolder folder(/*withProgram=*/false);
    Launch l = folder.Start({{"ORP_TRAY_WAIT", "600"}, {"WAYLAND_DISPLAY", "wayland-x"}});
    AwaitEnd(l);
    EXPECT_EQ(l.status, 127);
    EXPECT_NE(
        test::ReadBytes(folder.Errors()).find(fs::path(folder.Launcher()).parent_path() / "ORPRAM"),
        std::string::npos);
    EXPECT_FALSE(folder.Started());
}

TEST(OrpStub, ASessionWithoutATrayIsWaitedForOnlyUpToTheLimit) {
    LaunchFolder folder;
    // A bus that does not answer stands for a session without any notification area.
    Launch l = folder.Start({{"ORP_TRAY_WAIT", "1"},
                             {"WAYLAND_DISPLAY", "wayland-x"},
                             {"DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus"}});
    AwaitEnd(l);
    ExpectProgramRan(l, folder);
}

// ---- an X server of the test's own ------------------------------------------------------------

class XServer {
public:
    XServer() {
        int fds[2];
        if (::pipe(fds) != 0) return;
        const std::string fd = std::to_string(fds[1]);
        std::vector<std::string> argText{"/usr/bin/Xvfb", "-displayfd", fd,  "-nolisten",
                                         "tcp",           "-screen",    "0", "320x240x24"};
        std::vector<char*> argv;
        for (auto& s : argText) argv.push_back(s.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        std::string number;
        char c;
        while (pid_ > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n') number.push_back(c);
        ::close(fds[0]);
        if (!number.empty()) display_ = ":" + number;
    }
    ~XServer() {
        if (x_) xcb_disconnect(x_);
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    const std::string& Display() const { return display_; }

    // Becomes the system tray manager of screen 0, as a panel's notification area does.
    bool TakeTraySelection() {
        x_ = xcb_connect(display_.c_str(), nullptr);
        if (xcb_connection_has_error(x_)) return false;
        xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x_)).data;
        const xcb_window_t w = xcb_generate_id(x_);
        xcb_create_window(x_, XCB_COPY_FROM_PARENT, w, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        const char* name = "_NET_SYSTEM_TRAY_S0";
        xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
            x_, xcb_intern_atom(x_, 0, static_cast<std::uint16_t>(strlen(name)), name), nullptr);
        if (!atom) return false;
        xcb_set_selection_owner(x_, w, atom->atom, XCB_CURRENT_TIME);
        xcb_get_selection_owner_reply_t* owner =
            xcb_get_selection_owner_reply(x_, xcb_get_selection_owner(x_, atom->atom), nullptr);
        const bool ok = owner && owner->owner == w;
        free(owner);
        free(atom);
        return ok;
    }

private:
    pid_t pid_ = -1;
    std::string display_;
    xcb_connection_t* x_ = nullptr;
};

TEST(OrpStub, OnAnXDisplayItWaitsForTheSystemTray) {
    if (!OnPath("Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
    struct Case {
        const char* what;
        bool trayFirst;  // the tray is there before the launch
        const char* limit;
    };
    const Case cases[] = {
        {"tray already there", true, "600"},
        {"tray appears later", false, "600"},
        {"no tray within the limit", false, "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        XServer x;
        ASSERT_FALSE(x.Display().empty());
        LaunchFolder folder;
        if (c.trayFirst) {
            ASSERT_TRUE(x.TakeTraySelection());
        }
        Launch l = folder.Start({{"ORP_TRAY_WAIT", c.limit}, {"DISPLAY", x.Display()}});
        const bool trayLater = !c.trayFirst && std::string(c.limit) == "600";
        if (trayLater) {
            ExpectStillWaiting(l, folder);
            test::WriteBytes(folder.Flag(), "");
            ASSERT_TRUE(x.TakeTraySelection());
        }
        AwaitEnd(l);
        ExpectProgramRan(l, folder, {}, trayLater ? "set" : "unset");
    }
}

// ---- a private session bus, with the test as the StatusNotifier watcher ------------------------

class Watcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
public:
    bool host = false;
    bool hostRegistered() const { return host; }
};

class SessionBus {
public:
    SessionBus() {
        int fds[2];
        if (::pipe(fds) != 0) return;
        std::vector<std::string> argText{"/usr/bin/dbus-daemon", "--session", "--nofork",
                                         "--print-address=" + std::to_string(fds[1])};
        std::vector<char*> argv;
        for (auto& s : argText) argv.push_back(s.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        char c;
        while (pid_ > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n') address_.push_back(c);
        ::close(fds[0]);
    }
    ~SessionBus() {
        QDBusConnection::disconnectFromBus(QStringLiteral("watcher"));
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    const std::string& Address() const { return address_; }

    bool ServeWatcher(Watcher* w) {
        QDBusConnection bus =
            QDBusConnection::connectToBus(QString::fromStdString(address_), "watcher");
        return bus.isConnected() &&
               bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), w,
                                  QDBusConnection::ExportAllProperties) &&
               bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"));
    }

private:
    pid_t pid_ = -1;
    std::string address_;
};

TEST(OrpStub, OnTheSessionBusItWaitsForAStatusNotifierHost) {
    if (!OnPath("dbus-daemon")) GTEST_SKIP() << "dbus-daemon is not installed";
    struct Case {
        const char* what;
        bool hostFirst;
        const char* limit;
    };
    const Case cases[] = {
        {"host already registered", true, "600"},
        {"host registers later", false, "600"},
        {"watcher without a host within the limit", false, "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SessionBus bus;
        ASSERT_FALSE(bus.Address().empty());
        Watcher watcher;
        watcher.host = c.hostFirst;
        ASSERT_TRUE(bus.ServeWatcher(&watcher));
        LaunchFolder folder;
        Launch l = folder.Start({{"ORP_TRAY_WAIT", c.limit},
                                 {"WAYLAND_DISPLAY", "wayland-x"},
                                 {"DBUS_SESSION_BUS_ADDRESS", bus.Address()}});
        const bool hostLater = !c.hostFirst && std::string(c.limit) == "600";
        if (hostLater) {
            ExpectStillWaiting(l, folder);
            test::WriteBytes(folder.Flag(), "");
            watcher.host = true;
        }
        AwaitEnd(l);
        ExpectProgramRan(l, folder, {}, hostLater ? "set" : "unset");
    }
}

}  // namespace
}  // namespace orp

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "orpstub_launch_test.moc"
