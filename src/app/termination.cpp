#include "app/termination.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>
#include <csignal>

#include "app/application.h"

namespace orp {

namespace {
int gSignalPipe[2] = {-1, -1};

void OnSignal(int) {
    // Only async-signal-safe work here: the byte wakes the event loop.
    const char b = 1;
    [[maybe_unused]] ssize_t n = write(gSignalPipe[1], &b, 1);
}
}  // namespace

void EndOnTerminationSignals(QObject* parent) {
    if (pipe2(gSignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, parent);
    QObject::connect(notifier, &QSocketNotifier::activated, parent, [] {
        char buf[16];
        while (read(gSignalPipe[0], buf, sizeof buf) > 0) {
        }
        if (auto* app = OrpApplication::Instance()) app->RequestEnd(0);
    });
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int s : {SIGTERM, SIGINT, SIGHUP}) sigaction(s, &sa, nullptr);
}

}  // namespace orp
