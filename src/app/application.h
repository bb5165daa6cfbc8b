#pragma once
// The application object: title, the end request, and the one place where an error that would
// otherwise cross the event loop is caught and shown.
#include <QApplication>

namespace orp {

class IUserDialogs;

inline constexpr const char* kApplicationTitle = "Orrindo Pro 2.2";

// "Orrindo Pro has encountered an error:" CR LF CR LF and the error's text.
QString ErrorMessageText(const QString& what);

class OrpApplication : public QApplication {
    Q_OBJECT
public:
    OrpApplication(int& argc, char** argv);

    void SetDialogs(IUserDialogs* dialogs) { dialogs_ = dialogs; }
    // Shows the error in the application-wide box; the program goes on.
    void ReportError(const QString& what);

    // Asynchronous: takes effect when control is back in the main loop; repeating is harmless.
    void RequestEnd(int exitCode = 0);
    bool EndRequested() const { return endRequested_; }
    // Runs the message loop unless the end was requested before it started.
    int Run();

    bool notify(QObject* receiver, QEvent* event) override;

    static OrpApplication* Instance();

private:
    IUserDialogs* dialogs_ = nullptr;
    bool endRequested_ = false;
    int exitCode_ = 0;
};

// Runs `step` and sends any exception to the application-wide box; true when it completed.
template <typename F>
bool Guarded(F&& step);

}  // namespace orp

#include <exception>

namespace orp {
template <typename F>
bool Guarded(F&& step) {
    try {
        step();
        return true;
    } catch (const std::exception& e) {
        if (auto* app = OrpApplication::Instance())
            app->ReportError(QString::fromStdString(e.what()));
    } catch (...) {
        if (auto* app = OrpApplication::Instance())
            app->ReportError(QStringLiteral("Unknown error"));
    }
    return false;
}
}  // namespace orp
