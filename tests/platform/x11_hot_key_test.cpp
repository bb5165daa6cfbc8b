// The X11 hot key against a real X server of its own (Xvfb), with keys typed through the XTEST
// extension by xdotool, so the grab is exercised the way a user's keyboard would reach it. Both
// programs are optional on a build machine: without them the tests are skipped.
#include "platform/linux/x11_hot_key.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>

namespace orp {
namespace {

bool OnPath(const char* program) {
    return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}

// The key that types "a" on the server, looked up the way any client would.
xcb_keycode_t KeycodeOfA(xcb_connection_t* c) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    xcb_get_keyboard_mapping_reply_t* map = xcb_get_keyboard_mapping_reply(
        c, xcb_get_keyboard_mapping(c, setup->min_keycode, count), nullptr);
    if (!map) return 0;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
    xcb_keycode_t found = 0;
    for (int i = 0; i < count * map->keysyms_per_keycode && !found; ++i)
        if (syms[i] == 0x61)
            found = static_cast<xcb_keycode_t>(setup->min_keycode + i / map->keysyms_per_keycode);
    std::free(map);
    return found;
}

// An environment variable set for one scope and put back as it was.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

// A private X server; the display number is the one it found free and reported itself.
class Xvfb {
public:
    Xvfb() {
        int fds[2];
        if (pipe(fds) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            const int devNull = open("/dev/null", O_WRONLY);
            if (devNull >= 0) dup2(devNull, STDERR_FILENO);
            // -noreset: like a desktop, whose window manager stays connected, the server does
            // not start over each time its last client leaves.
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-noreset",
                   "-screen", "0", "640x480x24", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        char c;
        // The server writes its number once it accepts connections.
        while (pid_ > 0 && poll(&p, 1, 20000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        if (!number.empty()) display_ = ":" + number;
    }
    ~Xvfb() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    const std::string& Display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

// Counts presses delivered on the adapter's thread and lets the test wait for them.
class Presses {
public:
    std::function<void()> Callback() {
        return [this] {
            std::lock_guard<std::mutex> lock(m_);
            ++count_;
            cv_.notify_all();
        };
    }
    // The count once it has reached at least `wanted`, or what it is when the server has had
    // ample time (a missing press fails the test rather than hanging it).
    int WaitFor(int wanted) {
        std::unique_lock<std::mutex> lock(m_);
        cv_.wait_for(lock, std::chrono::seconds(10), [&] { return count_ >= wanted; });
        return count_;
    }
    int Count() {
        std::lock_guard<std::mutex> lock(m_);
        return count_;
    }

private:
    std::mutex m_;
    std::condition_variable cv_;
    int count_ = 0;
};

class X11HotKey : public ::testing::Test {
protected:
    void SetUp() override {
        if (!OnPath("Xvfb") || !OnPath("xdotool")) GTEST_SKIP() << "needs Xvfb and xdotool";
        server_.emplace();
        if (server_->Display().empty()) GTEST_SKIP() << "Xvfb did not start";
        display_.emplace("DISPLAY", server_->Display().c_str());
        wayland_.emplace("WAYLAND_DISPLAY", nullptr);
    }
    void TearDown() override {
        wayland_.reset();
        display_.reset();
        server_.reset();
    }
    void Type(const std::string& keys) {
        const std::string cmd = "xdotool key " + keys;
        ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    }

    std::optional<Xvfb> server_;
    std::optional<ScopedEnv> display_, wayland_;
};

TEST_F(X11HotKey, CtrlAltAArrivesWithAnyLockOnAndNothingElseDoes) {
    X11GlobalHotKey hotKey;
    Presses presses;
    ASSERT_TRUE(hotKey.Register(presses.Callback()));
    const char* locks[] = {"", "Num_Lock", "Caps_Lock", "Num_Lock Caps_Lock"};
    int expected = 0;
    for (const char* lock : locks) {
        SCOPED_TRACE(std::string("locks on: ") + lock);
        if (*lock) Type(lock);  // a lock key toggles its lock on
        // Keys without the exact combination come first: had the grab taken any of them, it
        // would be counted before the real press behind it.
        Type("ctrl+a alt+a ctrl+shift+alt+a ctrl+alt+b");
        Type("ctrl+alt+a");
        ++expected;
        EXPECT_EQ(presses.WaitFor(expected), expected);
        if (*lock) Type(lock);
    }
}

TEST_F(X11HotKey, AKeyTakenByAnotherProgramIsNotRegistered) {
    xcb_connection_t* other = xcb_connect(server_->Display().c_str(), nullptr);
    ASSERT_FALSE(xcb_connection_has_error(other));
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(other)).data->root;
    const xcb_keycode_t a = KeycodeOfA(other);
    ASSERT_NE(a, 0);
    xcb_generic_error_t* err = xcb_request_check(
        other, xcb_grab_key_checked(other, 1, root, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1, a,
                                    XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    ASSERT_EQ(err, nullptr);

    X11GlobalHotKey hotKey;
    Presses presses;
    EXPECT_FALSE(hotKey.Register(presses.Callback()));
    // The other program lets the key go (a round trip, so the server has done it before we ask).
    err = xcb_request_check(
        other, xcb_ungrab_key_checked(other, a, root, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1));
    ASSERT_EQ(err, nullptr);
    xcb_disconnect(other);
    EXPECT_TRUE(hotKey.Register(presses.Callback()));
    Type("ctrl+alt+a");
    EXPECT_EQ(presses.WaitFor(1), 1);
}

TEST_F(X11HotKey, UnregisterLetsTheKeyGo) {
    X11GlobalHotKey hotKey;
    Presses presses;
    ASSERT_TRUE(hotKey.Register(presses.Callback()));
    hotKey.Unregister();
    hotKey.Unregister();  // harmless twice

    // Free for another program now, and no longer delivered to us.
    X11GlobalHotKey second;
    Presses secondPresses;
    ASSERT_TRUE(second.Register(secondPresses.Callback()));
    Type("ctrl+alt+a");
    EXPECT_EQ(secondPresses.WaitFor(1), 1);
    EXPECT_EQ(presses.Count(), 0);
}

TEST_F(X11HotKey, AWaylandSessionRegistersNothingEvenWithAnXServerAtHand) {
    // Under Wayland the X server is a compatibility layer that sees keys only while one of its
    // own windows has the focus: a grab there would seem to work and then never fire.
    ScopedEnv wayland("WAYLAND_DISPLAY", "wayland-0");
    X11GlobalHotKey hotKey;
    Presses presses;
    EXPECT_FALSE(hotKey.Register(presses.Callback()));
    // Nothing of ours holds the key.
    X11GlobalHotKey other;
    {
        ScopedEnv x11("WAYLAND_DISPLAY", nullptr);
        EXPECT_TRUE(other.Register(presses.Callback()));
    }
}

TEST(X11HotKeyWithoutServer, NoServerRegistersNothing) {
    for (const char* display : {static_cast<const char*>(nullptr), ":4093"}) {
        SCOPED_TRACE(display ? display : "DISPLAY unset");
        ScopedEnv env("DISPLAY", display);
        ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
        X11GlobalHotKey hotKey;
        EXPECT_FALSE(hotKey.Register([] {}));
        hotKey.Unregister();
    }
}

}  // namespace
}  // namespace orp
