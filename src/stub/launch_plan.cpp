#include "stub/launch_plan.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <thread>

namespace orp::stub {

std::string ProgramBeside(const std::string& launcherPath) {
    const auto slash = launcherPath.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string("./") : launcherPath.substr(0, slash + 1);
    return folder + "ORPRAM";
}

std::chrono::milliseconds TrayWaitLimit(const char* text) {
    if (!text || !*text) return kDefaultTrayWait;
    long long seconds = 0;
    const char* end = text + std::strlen(text);
    const auto [stop, ec] = std::from_chars(text, end, seconds);
    if (ec == std::errc::result_out_of_range && *text != '-') return kLongestTrayWait;
    if (ec != std::errc() || stop != end || seconds < 0) return kDefaultTrayWait;
    return std::min<std::chrono::milliseconds>(std::chrono::seconds(seconds), kLongestTrayWait);
}

bool WaitFor(const std::function<bool()>& present, std::chrono::milliseconds limit,
             std::chrono::milliseconds step, const std::function<Clock::time_point()>& now,
             const std::function<void(std::chrono::milliseconds)>& sleep) {
    const Clock::time_point deadline = now() + limit;
    while (true) {
        if (present()) return true;
        const Clock::time_point at = now();
        if (at >= deadline) return false;
        // The last sleep ends at the deadline, so the final question is asked there.
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - at);
        const auto nap = std::max(std::chrono::milliseconds(1), std::min(step, left));
        if (sleep)
            sleep(nap);
        else
            std::this_thread::sleep_for(nap);
    }
}

}  // namespace orp::stub
