#include "freeing/auto_free.h"

#include <algorithm>
#include <limits>

namespace orp {

bool DecideAutoFree(std::int32_t& quietTicks, const AutoFreeTick& tick) {
    if (!tick.autoFreeOn) return false;
    // A machine left armed but never below the trigger keeps counting; after 68 years of ticks
    // the count would overflow, so it stops at the top instead.
    if (quietTicks < std::numeric_limits<std::int32_t>::max()) ++quietTicks;
    if (tick.cpuLoad > tick.cpuThreshold) {
        quietTicks = 0;
        return false;
    }
    if (quietTicks < kQuietTicksNeeded) return false;
    if (tick.freeRAM < tick.triggerAmount) {
        quietTicks = 0;
        return true;
    }
    return false;
}

int ClampAutoLevel(int position) {
    return std::clamp(position, 5, 75);
}

int ClampAutoTrigger(int position) {
    return std::min(position, 75);
}

int ClampCPUThreshold(int position) {
    return std::max(position, 25);
}

int RaiseThresholdForAutoLevel(int thresholdPosition) {
    return std::max(thresholdPosition, kAutoLevelThresholdFloor);
}

}  // namespace orp
