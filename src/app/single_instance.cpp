#include "app/single_instance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

#include <unistd.h>

namespace orp {

namespace {
constexpr char kComeForward[] = "show\n";

bool AskRunningInstance(const QString& serverName, bool comeForward) {
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(500)) return false;
    socket.write(comeForward ? kComeForward : "\n");
    socket.waitForBytesWritten(500);
    socket.disconnectFromServer();
    return true;
}
}  // namespace

SingleInstanceGuard::SingleInstanceGuard(const QString& name, QObject* parent,
                                         bool askToComeForward)
    : QObject(parent) {
    // The socket lives in the user's private runtime folder, not in the shared temporary one:
    // there nobody else can take its name first, answer in the running instance's place, or
    // make every start end at once.
    // Cron and ssh often lack XDG_RUNTIME_DIR; the session's folder under /run/user is the same
    // place the desktop instance uses, so a scripted start still finds it.
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty()) {
        const QString session = QStringLiteral("/run/user/%1").arg(getuid());
        const QFileInfo info(session);
        dir = info.isDir() && info.ownerId() == getuid() ? session : QDir::tempPath();
    }
    serverName_ = dir + QLatin1Char('/') + QStringLiteral("%1-%2").arg(name).arg(getuid());
    // Two instances started in the same instant must not both decide they are the first: the
    // check-and-listen below runs under a lock file.
    startLock_ = std::make_unique<QLockFile>(serverName_ + ".lock");
    startLock_->setStaleLockTime(0);
    startLock_->tryLock(3000);

    if (AskRunningInstance(serverName_, askToComeForward)) {
        another_ = true;
    } else {
        // Nobody answers: a socket file left by a crashed instance is stale.
        QLocalServer::removeServer(serverName_);
        server_ = new QLocalServer(this);
        server_->setSocketOptions(QLocalServer::UserAccessOption);
        if (server_->listen(serverName_)) {
            connect(server_, &QLocalServer::newConnection, this, [this] {
                while (QLocalSocket* s = server_->nextPendingConnection()) {
                    connect(s, &QLocalSocket::readyRead, this, [this, s] {
                        if (s->readAll().contains('s')) emit ActivationRequested();
                    });
                    connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
                }
            });
        }
    }
    startLock_->unlock();
}

SingleInstanceGuard::~SingleInstanceGuard() = default;

}  // namespace orp
