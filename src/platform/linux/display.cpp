#include "platform/display.h"

#include <xcb/xcb.h>

#include <cstdlib>

namespace orp {

bool DisplayAvailable() {
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (wayland && *wayland) return true;
    const char* x = std::getenv("DISPLAY");
    if (!x || !*x) return false;
    // A DISPLAY variable left over from another session is common under ssh and cron: only a
    // real connection tells whether boxes can be shown.
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    const bool ok = c && !xcb_connection_has_error(c);
    if (c) xcb_disconnect(c);
    return ok;
}

}  // namespace orp
