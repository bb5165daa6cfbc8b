#pragma once
// Ctrl+Alt+A through an X11 key grab on the root window, on a connection and thread of its own
// so that it works whether or not the program has the focus or a window at all.
#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

#include "platform/hot_key.h"

struct xcb_connection_t;

namespace orp {

class X11GlobalHotKey : public IGlobalHotKey {
public:
    X11GlobalHotKey() = default;
    ~X11GlobalHotKey() override;
    bool Register(std::function<void()> onPress) override;
    void Unregister() override;

private:
    void Loop();

    xcb_connection_t* conn_ = nullptr;
    std::uint8_t key_ = 0;  // the keycode grabbed on root_, 0 when none
    std::uint32_t root_ = 0;
    std::function<void()> onPress_;
    std::thread thread_;
    int wake_[2] = {-1, -1};
    std::atomic<bool> stop_{false};
};

}  // namespace orp
