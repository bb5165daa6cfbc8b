#pragma once
// SIGTERM, SIGINT and SIGHUP (log-off, shut-down, kill, a closed terminal) become an ordinary end
// request, so the window is destroyed normally and the log is saved.
class QObject;

namespace orp {
void EndOnTerminationSignals(QObject* parent);
}  // namespace orp
