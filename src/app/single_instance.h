#pragma once
// One running instance per user and executable name. The first instance listens on a local
// socket named after the executable's file name in upper case, in the user's runtime folder
// ($XDG_RUNTIME_DIR); a later one finds it there and asks it to come forward.
#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;

namespace orp {

class SingleInstanceGuard : public QObject {
    Q_OBJECT
public:
    // `name` is the executable's file name in upper case (ORPRAM).
    // A start that only runs a command does not disturb the running instance's window.
    SingleInstanceGuard(const QString& name, QObject* parent, bool askToComeForward);
    ~SingleInstanceGuard() override;

    // True when another instance was running; that instance has been asked to come forward.
    bool AnotherInstanceRunning() const { return another_; }

signals:
    // A later instance asked this one to come forward.
    void ActivationRequested();

private:
    QString serverName_;
    bool another_ = false;
    std::unique_ptr<QLockFile> startLock_;
    QLocalServer* server_ = nullptr;
};

}  // namespace orp
