#pragma once
// What the login launcher decides before it hands over to the program: which file to start and
// how long to wait for the desktop's notification area, so that the program's tray icon lands
// in it rather than finding no tray and showing its window instead.
#include <chrono>
#include <functional>
#include <string>

namespace orp::stub {

// The program beside the launcher: the folder of `launcherPath` followed by "ORPRAM".
std::string ProgramBeside(const std::string& launcherPath);

inline constexpr std::chrono::seconds kDefaultTrayWait{30};
inline constexpr std::chrono::seconds kLongestTrayWait{600};

// The wait for the notification area from the text of ORP_TRAY_WAIT (whole seconds). Unset or
// unreadable: the default; above the longest: the longest; 0: no waiting.
std::chrono::milliseconds TrayWaitLimit(const char* text);

using Clock = std::chrono::steady_clock;

// Asks `present` until it answers true or `limit` has passed since the call, sleeping `step`
// between questions; `present` is always asked at least once and once more at the limit.
// True when it answered true.
bool WaitFor(const std::function<bool()>& present, std::chrono::milliseconds limit,
             std::chrono::milliseconds step,
             const std::function<Clock::time_point()>& now = Clock::now,
             const std::function<void(std::chrono::milliseconds)>& sleep = {});

}  // namespace orp::stub
