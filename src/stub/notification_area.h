#pragma once
// Looks for a notification area the program's tray icon can use, the two ways Qt's own tray
// looks for one: an X11 system tray manager (the owner of _NET_SYSTEM_TRAY_S<screen>) and a
// StatusNotifier host registered on the session bus.
#include <memory>

class QDBusConnection;
struct xcb_connection_t;

namespace orp::stub {

class NotificationAreaProbe {
public:
    // Connects to the X display named by DISPLAY and looks at the session bus only when
    // DBUS_SESSION_BUS_ADDRESS names one (so that no bus is ever launched on our behalf). Needs
    // a QCoreApplication for the bus.
    NotificationAreaProbe();
    ~NotificationAreaProbe();
    NotificationAreaProbe(const NotificationAreaProbe&) = delete;
    NotificationAreaProbe& operator=(const NotificationAreaProbe&) = delete;

    // A graphical session a notification area could appear in: a reachable X display, or a
    // Wayland one. Without it waiting is pointless.
    bool SessionAvailable() const;
    bool Present();

private:
    bool XTrayPresent();
    bool StatusNotifierHostPresent();

    xcb_connection_t* x_ = nullptr;
    int screen_ = 0;
    unsigned trayAtom_ = 0;
    bool wayland_ = false;
    bool busNamed_ = false;
    std::unique_ptr<QDBusConnection> bus_;
};

}  // namespace orp::stub
