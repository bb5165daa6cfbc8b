#pragma once
// A hot key that keeps the handler it was given, so a test can press the key, from any thread,
// and can refuse the registration as a desktop without key grabs would.
#include <functional>

#include "platform/hot_key.h"

namespace orp {

class FakeHotKey : public IGlobalHotKey {
public:
    bool refuse = false;  // Register answers false: Wayland, or the key is taken
    int registrations = 0;
    int unregistrations = 0;

    bool Register(std::function<void()> onPress) override {
        ++registrations;
        if (refuse) return false;
        onPress_ = std::move(onPress);
        return true;
    }
    void Unregister() override {
        ++unregistrations;
        onPress_ = nullptr;
    }
    bool Registered() const { return static_cast<bool>(onPress_); }
    void Press() {
        if (onPress_) onPress_();
    }

private:
    std::function<void()> onPress_;
};

}  // namespace orp
