#include "platform/linux/x11_hot_key.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace orp {

namespace {
constexpr xcb_keysym_t kKeysymLowerA = 0x61;
constexpr xcb_keysym_t kKeysymUpperA = 0x41;

xcb_keycode_t KeycodeOf(xcb_connection_t* c) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    const xcb_keycode_t first = setup->min_keycode;
    const int count = setup->max_keycode - setup->min_keycode + 1;
    xcb_get_keyboard_mapping_reply_t* reply =
        xcb_get_keyboard_mapping_reply(c, xcb_get_keyboard_mapping(c, first, count), nullptr);
    if (!reply) return 0;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply);
    const int per = reply->keysyms_per_keycode;
    xcb_keycode_t found = 0;
    for (int k = 0; k < count && !found; ++k)
        for (int i = 0; i < per; ++i)
            if (syms[k * per + i] == kKeysymLowerA || syms[k * per + i] == kKeysymUpperA) {
                found = static_cast<xcb_keycode_t>(first + k);
                break;
            }
    std::free(reply);
    return found;
}

// Caps Lock and Num Lock are modifiers to X: the grab must name every combination with them,
// or the key stops working whenever either lock is on.
std::vector<uint16_t> ModifierCombinations() {
    const uint16_t base = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;
    const uint16_t locks[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                              XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};
    std::vector<uint16_t> out;
    for (uint16_t l : locks) out.push_back(base | l);
    return out;
}
}  // namespace

X11GlobalHotKey::~X11GlobalHotKey() { Unregister(); }

bool X11GlobalHotKey::Register(std::function<void()> onPress) {
    Unregister();
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (wayland && *wayland) return false;  // a Wayland session does not let clients grab keys
    conn_ = xcb_connect(nullptr, nullptr);
    if (!conn_ || xcb_connection_has_error(conn_)) {
        Unregister();
        return false;
    }
    const xcb_keycode_t key = KeycodeOf(conn_);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(conn_)).data->root;
    bool ok = key != 0;
    for (uint16_t mods : ModifierCombinations()) {
        if (!ok) break;
        xcb_generic_error_t* err = xcb_request_check(
            conn_, xcb_grab_key_checked(conn_, 1, root, mods, key, XCB_GRAB_MODE_ASYNC,
                                        XCB_GRAB_MODE_ASYNC));
        if (err) {
            ok = false;  // taken by another program
            std::free(err);
        }
    }
    if (!ok || pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) {
        Unregister();
        return false;
    }
    onPress_ = std::move(onPress);
    stop_ = false;
    thread_ = std::thread([this] { Loop(); });
    return true;
}

void X11GlobalHotKey::Loop() {
    const int fd = xcb_get_file_descriptor(conn_);
    while (!stop_) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) continue;
        if (fds[1].revents) break;
        while (xcb_generic_event_t* ev = xcb_poll_for_event(conn_)) {
            if ((ev->response_type & 0x7f) == XCB_KEY_PRESS && onPress_) onPress_();
            std::free(ev);
        }
        if (xcb_connection_has_error(conn_)) break;
    }
}

void X11GlobalHotKey::Unregister() {
    if (thread_.joinable()) {
        stop_ = true;
        const char b = 1;
        [[maybe_unused]] ssize_t n = write(wake_[1], &b, 1);
        thread_.join();
    }
    for (int& fd : wake_) {
        if (fd >= 0) close(fd);
        fd = -1;
    }
    if (conn_) xcb_disconnect(conn_);  // the server drops the grabs with the connection
    conn_ = nullptr;
    onPress_ = nullptr;
}

}  // namespace orp
