// ORPstub: the login launcher named by the login entry. At login the desktop starts its
// autostart entries alongside the panel, so the notification area may not be there yet; the
// program, finding none, would show its window instead of a tray icon. So the launcher waits,
// a bounded time, for a notification area to appear, then becomes ORPRAM from its own folder
// (same process, arguments passed on).
#include <unistd.h>

#include <QCoreApplication>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "stub/launch_plan.h"
#include "stub/notification_area.h"

namespace {

std::string SelfPath() {
    char buf[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return {};
    return std::string(buf, static_cast<std::size_t>(n));
}

void WaitForNotificationArea(int argc, char** argv) {
    const auto limit = orp::stub::TrayWaitLimit(std::getenv("ORP_TRAY_WAIT"));
    if (limit.count() == 0) return;
    QCoreApplication app(argc, argv);  // the session bus wants one
    orp::stub::NotificationAreaProbe probe;
    if (!probe.SessionAvailable()) return;
    orp::stub::WaitFor([&probe] { return probe.Present(); }, limit, std::chrono::milliseconds(250));
}

}  // namespace

int main(int argc, char** argv) {
    const std::string self = SelfPath();
    if (self.empty()) {
        std::perror("ORPstub: cannot find its own folder");
        return 127;
    }
    const std::string program = orp::stub::ProgramBeside(self);
    // A missing program is said at once rather than after the wait.
    if (::access(program.c_str(), X_OK) != 0) {
        std::fprintf(stderr, "ORPstub: cannot start %s: %s\n", program.c_str(),
                     std::strerror(errno));
        return 127;
    }
    WaitForNotificationArea(argc, argv);

    std::vector<char*> args;
    args.push_back(const_cast<char*>(program.c_str()));
    for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
    args.push_back(nullptr);
    ::execv(program.c_str(), args.data());
    std::fprintf(stderr, "ORPstub: cannot start %s: %s\n", program.c_str(), std::strerror(errno));
    return 127;
}
