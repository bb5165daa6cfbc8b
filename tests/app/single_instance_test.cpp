// The single-instance guard between two starts in the same process: the second finds the first
// and asks it to come forward, unless the two belong to different runtime folders.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <memory>

#include "app/single_instance.h"

namespace orp {
namespace {

// Points the user's runtime folder elsewhere for the life of the object.
class RuntimeDir {
public:
    explicit RuntimeDir(const QString& dir) : old_(qgetenv("XDG_RUNTIME_DIR")) {
        qputenv("XDG_RUNTIME_DIR", dir.toLocal8Bit());
    }
    ~RuntimeDir() { qputenv("XDG_RUNTIME_DIR", old_); }

private:
    QByteArray old_;
};

TEST(SingleInstance, ASecondStartFindsTheFirstOnlyInTheSameRuntimeFolder) {
    struct Case {
        const char* what;
        bool sameFolder;
        bool comeForward;
        bool secondFindsFirst;
        bool firstAsked;
    };
    const Case cases[] = {
        {"plain second start", true, true, true, true},
        {"a command-line start leaves the window alone", true, false, true, false},
        {"another user session's folder", false, true, false, false},
    };
    for (const Case& c : cases) {
        QTemporaryDir a, b;
        ASSERT_TRUE(a.isValid() && b.isValid());
        bool asked = false;
        std::unique_ptr<SingleInstanceGuard> first, second;
        {
            RuntimeDir in(a.path());
            first = std::make_unique<SingleInstanceGuard>("ORPRAM", nullptr, true);
        }
        QObject::connect(first.get(), &SingleInstanceGuard::ActivationRequested,
                         [&asked] { asked = true; });
        {
            RuntimeDir in(c.sameFolder ? a.path() : b.path());
            second = std::make_unique<SingleInstanceGuard>("ORPRAM", nullptr, c.comeForward);
        }
        EXPECT_FALSE(first->AnotherInstanceRunning()) << c.what;
        EXPECT_EQ(second->AnotherInstanceRunning(), c.secondFindsFirst) << c.what;
        // The request travels through the socket: let the first one read it.
        second.reset();
        const QDeadlineTimer deadline(c.firstAsked ? 5000 : 300);
        while (!asked && !deadline.hasExpired()) QCoreApplication::processEvents();
        EXPECT_EQ(asked, c.firstAsked) << c.what;
        // The socket is in the runtime folder, where no other user can reach it.
        EXPECT_FALSE(QDir(a.path()).entryList(QDir::System | QDir::NoDotAndDotDot).isEmpty())
            << c.what;
    }
}

}  // namespace
}  // namespace orp
