#include "app/single_instance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

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
    // Socket and lock live in the user's runtime directory, so one user's sessions (or a test
    // with its own runtime directory) never find another's instance.
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    serverName_ = QStringLiteral("%1/%2-%3").arg(dir, name).arg(getuid());
    // Two instances started in the same instant must not both decide they are the first: the
    // check-and-listen below runs under a lock file.
    startLock_ = std::make_unique<QLockFile>(serverName_ + QStringLiteral(".lock"));
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
