#include "platform/linux/x11_hot_key.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace orp {

namespace {
constexpr xcb_keysym_t kKeysymLowerA = 0x61;
constexpr xcb_keysym_t kKeysymUpperA = 0x41;
constexpr xcb_keysym_t kKeysymNumLock = 0xff7f;

// The server's keyboard: which keycodes carry which keysyms, and which keycodes set which of the
// eight modifier bits.
struct Keyboard {
    xcb_keycode_t a = 0;       // the key that types "a"
    uint16_t numLockMask = 0;  // the modifier bit Num Lock sets; 0 when it sets none
};

Keyboard ReadKeyboard(xcb_connection_t* c) {
    Keyboard kb;
    const xcb_setup_t* setup = xcb_get_setup(c);
    const xcb_keycode_t first = setup->min_keycode;
    const int count = setup->max_keycode - setup->min_keycode + 1;
    xcb_get_keyboard_mapping_reply_t* map =
        xcb_get_keyboard_mapping_reply(c, xcb_get_keyboard_mapping(c, first, count), nullptr);
    if (!map) return kb;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
    const int per = map->keysyms_per_keycode;
    std::vector<xcb_keycode_t> numLockKeys;
    for (int k = 0; k < count; ++k) {
        for (int i = 0; i < per; ++i) {
            const xcb_keysym_t sym = syms[k * per + i];
            const auto code = static_cast<xcb_keycode_t>(first + k);
            if (!kb.a && (sym == kKeysymLowerA || sym == kKeysymUpperA)) kb.a = code;
            if (sym == kKeysymNumLock) numLockKeys.push_back(code);
        }
    }
    std::free(map);

    // Num Lock sets Mod2 on nearly every server, but that is the keymap's choice, not X's: the
    // modifier map says which bit it really is.
    xcb_get_modifier_mapping_reply_t* mods =
        xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr);
    if (!mods) return kb;
    const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(mods);
    const int perMod = mods->keycodes_per_modifier;
    for (int m = 0; m < 8 && !kb.numLockMask; ++m)
        for (int i = 0; i < perMod; ++i) {
            const xcb_keycode_t code = codes[m * perMod + i];
            if (code &&
                std::find(numLockKeys.begin(), numLockKeys.end(), code) != numLockKeys.end()) {
                kb.numLockMask = static_cast<uint16_t>(1u << m);
                break;
            }
        }
    std::free(mods);
    return kb;
}

// Caps Lock and Num Lock are modifiers to X: the grab must name every combination with them,
// or the key stops working whenever either lock is on.
std::vector<uint16_t> ModifierCombinations(uint16_t numLockMask) {
    const uint16_t base = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;
    std::vector<uint16_t> out;
    for (uint16_t caps : {uint16_t{0}, uint16_t{XCB_MOD_MASK_LOCK}}) {
        out.push_back(base | caps);
        if (numLockMask && !(numLockMask & (base | XCB_MOD_MASK_LOCK)))
            out.push_back(static_cast<uint16_t>(base | caps | numLockMask));
    }
    return out;
}
}  // namespace

X11GlobalHotKey::~X11GlobalHotKey() {
    Unregister();
}

bool X11GlobalHotKey::Register(std::function<void()> onPress) {
    Unregister();
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (wayland && *wayland) return false;  // a Wayland session does not let clients grab keys
    conn_ = xcb_connect(nullptr, nullptr);
    if (!conn_ || xcb_connection_has_error(conn_)) {
        Unregister();
        return false;
    }
    const Keyboard kb = ReadKeyboard(conn_);
    const xcb_keycode_t key = kb.a;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(conn_)).data->root;
    key_ = key;
    root_ = root;
    bool ok = key != 0;
    for (uint16_t mods : ModifierCombinations(kb.numLockMask)) {
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
        // Events read off the socket along with a reply wait in xcb's own queue, where poll()
        // cannot see them: take those first.
        while (xcb_generic_event_t* ev = xcb_poll_for_event(conn_)) {
            if ((ev->response_type & 0x7f) == XCB_KEY_PRESS && onPress_) onPress_();
            std::free(ev);
        }
        if (xcb_connection_has_error(conn_)) break;
        pollfd fds[2] = {{fd, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) continue;
        if (fds[1].revents) break;
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
    if (conn_) {
        // The server would drop the grabs with the connection, but only once it has noticed the
        // connection close; letting the key go with a round trip first means it is free the
        // moment this returns, for a new registration or another program.
        if (key_ && !xcb_connection_has_error(conn_))
            std::free(xcb_request_check(
                conn_, xcb_ungrab_key_checked(conn_, key_, root_, XCB_MOD_MASK_ANY)));
        xcb_disconnect(conn_);
    }
    conn_ = nullptr;
    key_ = 0;
    onPress_ = nullptr;
}

}  // namespace orp
