#include "app/application.h"

#include "app/user_dialogs.h"

#include <cstdio>

namespace orp {

QString ErrorMessageText(const QString& what) {
    return QStringLiteral("Orrindo Pro has encountered an error:\r\n\r\n") + what;
}

OrpApplication::OrpApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("ORPRAM"));
    setApplicationDisplayName(QString::fromLatin1(kApplicationTitle));
    setApplicationVersion(QStringLiteral(ORP_VERSION));
    // Living in the tray: a hidden main window must not end the program.
    setQuitOnLastWindowClosed(false);
}

OrpApplication* OrpApplication::Instance() {
    return qobject_cast<OrpApplication*>(qApp);
}

void OrpApplication::ReportError(const QString& what) {
    const QString text = ErrorMessageText(what);
    if (dialogs_)
        dialogs_->ShowMessage(text);
    else
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

void OrpApplication::RequestEnd(int exitCode) {
    if (!endRequested_) exitCode_ = exitCode;
    endRequested_ = true;
    QMetaObject::invokeMethod(
        this, [this] { exit(exitCode_); }, Qt::QueuedConnection);
}

int OrpApplication::Run() {
    // A queued quit can be eaten by message processing that happens before the loop starts (a
    // command-line run pumps messages), so the flag decides, not the queue.
    if (endRequested_) return exitCode_;
    const int rc = exec();
    return endRequested_ ? exitCode_ : rc;
}

bool OrpApplication::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    Guarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

}  // namespace orp
