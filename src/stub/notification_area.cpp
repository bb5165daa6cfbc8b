#include "stub/notification_area.h"

#include <xcb/xcb.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>

#include <cstdlib>
#include <string>

namespace orp::stub {

namespace {

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString kBusName = QStringLiteral("orpstub-probe");
constexpr int kBusCallTimeoutMs = 2000;

bool Named(const char* variable) {
    const char* v = std::getenv(variable);
    return v && *v;
}

}  // namespace

NotificationAreaProbe::NotificationAreaProbe() {
    if (Named("DISPLAY")) {
        x_ = xcb_connect(nullptr, &screen_);
        if (xcb_connection_has_error(x_)) {
            xcb_disconnect(x_);
            x_ = nullptr;
        } else {
            const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(screen_);
            const xcb_intern_atom_cookie_t cookie =
                xcb_intern_atom(x_, 0, static_cast<std::uint16_t>(name.size()), name.c_str());
            if (xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(x_, cookie, nullptr)) {
                trayAtom_ = reply->atom;
                std::free(reply);
            }
        }
    }
    wayland_ = Named("WAYLAND_DISPLAY");
    busNamed_ = Named("DBUS_SESSION_BUS_ADDRESS");
}

NotificationAreaProbe::~NotificationAreaProbe() {
    if (x_) xcb_disconnect(x_);
    if (bus_) {
        bus_.reset();
        QDBusConnection::disconnectFromBus(kBusName);
    }
}

bool NotificationAreaProbe::SessionAvailable() const {
    return x_ != nullptr || wayland_;
}

bool NotificationAreaProbe::Present() {
    return XTrayPresent() || StatusNotifierHostPresent();
}

bool NotificationAreaProbe::XTrayPresent() {
    if (!x_ || trayAtom_ == XCB_ATOM_NONE) return false;
    const xcb_get_selection_owner_cookie_t cookie = xcb_get_selection_owner(x_, trayAtom_);
    xcb_get_selection_owner_reply_t* reply = xcb_get_selection_owner_reply(x_, cookie, nullptr);
    if (!reply) return false;
    const bool owned = reply->owner != XCB_WINDOW_NONE;
    std::free(reply);
    return owned;
}

bool NotificationAreaProbe::StatusNotifierHostPresent() {
    if (!busNamed_) return false;
    // The bus may come up after us at login: a connection that failed is tried again.
    if (!bus_ || !bus_->isConnected()) {
        bus_.reset();
        QDBusConnection::disconnectFromBus(kBusName);
        bus_ = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, kBusName));
        if (!bus_->isConnected()) return false;
    }
    QDBusMessage get = QDBusMessage::createMethodCall(
        kWatcherService, kWatcherPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << kWatcherService << QStringLiteral("IsStatusNotifierHostRegistered");
    // Asking must not start a watcher that nobody runs.
    get.setAutoStartService(false);
    const QDBusMessage reply = bus_->call(get, QDBus::Block, kBusCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return false;
    return reply.arguments().constFirst().value<QDBusVariant>().variant().toBool();
}

}  // namespace orp::stub
