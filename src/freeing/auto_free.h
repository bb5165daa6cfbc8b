#pragma once
// The automatic-freeing rule run on every processor-check tick, and the limits of the three
// sliders of the automatic panel. Pure functions of the tick's inputs, so the window only
// gathers the figures and acts on the answer.
#include <cstdint>

namespace orp {

struct AutoFreeTick {
    bool autoFreeOn = false;         // chbAuto_Free
    int cpuLoad = 0;                 // FCPULoad, percent
    int cpuThreshold = 0;            // FCPUThreshold, percent
    std::int64_t freeRAM = 0;        // FFreeRAM, display units
    std::int64_t triggerAmount = 0;  // FAutoTriggerAmount, display units
};

// A run may start only after this many consecutive quiet ticks (one minute at one a second).
constexpr int kQuietTicksNeeded = 60;

// One processor-check tick of the rule, after the load figure has been refreshed: updates
// quietTicks and answers true when RunAutoFree must run now. Switched off: the count is left alone,
// so switching on again continues it. A load equal to the threshold is quiet. Once armed, every
// quiet tick tests free RAM against the trigger until it is strictly below; the count is set to 0
// just before a run.
bool DecideAutoFree(std::int32_t& quietTicks, const AutoFreeTick& tick);

int ClampAutoLevel(int position);     // tbrAuto_Level: 5..75
int ClampAutoTrigger(int position);   // tbrAuto_Trigger_Level: at most 75, 0 allowed
int ClampCPUThreshold(int position);  // tbrCPU_Threshold: at least 25

// ShowAutoFreeAmount raises the CPU threshold to this when it is lower.
constexpr int kAutoLevelThresholdFloor = 33;
int RaiseThresholdForAutoLevel(int thresholdPosition);

}  // namespace orp
