#pragma once

namespace orp {
// True when a graphical session can be reached (Wayland, or an X server that answers).
bool DisplayAvailable();
}  // namespace orp
