#pragma once
// Port: one system-wide hot key (Ctrl+Alt+A), active whether or not the program has the focus.
//
// Contract
// - Register(onPress) grabs the key; false when it cannot (no X server, Wayland, the key is
//   taken by another program). Nothing is reported to the user either way.
// - onPress runs on the adapter's own thread: the caller hands it to its UI thread.
// - Unregister() (and destruction) lets the key go and stops the thread; safe to repeat.
#include <functional>

namespace orp {

class IGlobalHotKey {
public:
    virtual ~IGlobalHotKey() = default;
    virtual bool Register(std::function<void()> onPress) = 0;
    virtual void Unregister() = 0;
};

}  // namespace orp
