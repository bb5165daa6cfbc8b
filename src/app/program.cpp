#include "app/program.h"

#include <QFileInfo>
#include <QSessionManager>
#include <QSystemTrayIcon>

#include <cstdio>
#include <memory>

#include "app/application.h"
#include "app/main_window.h"
#include "app/single_instance.h"
#include "app/termination.h"
#include "app/user_dialogs.h"
#include "log/file_replace.h"
#include "platform/display.h"
#include "platform/file_sync.h"
#include "platform/linux/mmap_heap.h"
#include "platform/linux/proc_meminfo.h"
#include "platform/linux/proc_process_source.h"
#include "platform/linux/proc_stat_times.h"
#include "platform/linux/reg_file_registry.h"
#include "platform/linux/x11_hot_key.h"
#include "platform/linux/xdg_autostart.h"
#include "ui/style.h"

namespace orp {

namespace {
std::string ExecutablePath() {
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().toStdString();
}
}  // namespace

int RunProgram(int argc, char** argv) {
    std::vector<std::string> params(argv + 1, argv + argc);
    // The log and the exports are on disk, not only in the page cache, before they replace the
    // previous file.
    SetFileSyncer(SyncToStorage);
    const bool display = DisplayAvailable();
    if (!display) {
        if (params.empty()) {
            std::fprintf(stderr,
                         "ORPRAM: no graphical desktop to show the tray icon on.\n"
                         "Use the command line to free memory without one, e.g.: ORPRAM /f:50 "
                         "/a:2 /s:true (ORPRAM /? for help).\n");
            return 1;
        }
        // Scripts, cron and ssh: everything runs, nothing is drawn. Qt's own notes about the
        // missing desktop would only fill the job's mail; our messages go to stderr directly.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtCriticalMsg || type == QtFatalMsg)
                std::fprintf(stderr, "%s\n", qPrintable(text));
        });
    }

    OrpApplication app(argc, argv);
    std::unique_ptr<IUserDialogs> dialogs;
    if (display)
        dialogs = std::make_unique<QtUserDialogs>();
    else
        dialogs = std::make_unique<ConsoleUserDialogs>();
    app.SetDialogs(dialogs.get());
    if (display) ApplyApplicationStyle(app);
    EndOnTerminationSignals(&app);

    const std::string exe = ExecutablePath();
    SingleInstanceGuard guard(QFileInfo(QString::fromStdString(exe)).fileName().toUpper(), nullptr,
                              /*askToComeForward=*/params.empty());
    if (guard.AnotherInstanceRunning()) app.RequestEnd(0);

    ProcMeminfoSource memory;
    MmapBlockHeap heap;
    std::unique_ptr<RegFileRegistry> registry = RegFileRegistry::ForCurrentUser();
    ProcStatProcessorTimes processor;
    ProcProcessSource processes;
    XdgAutostartEntries runEntries;
    X11GlobalHotKey hotKey;

    WindowPorts ports;
    ports.memory = &memory;
    ports.heap = &heap;
    ports.registry = registry.get();
    ports.processor = &processor;
    ports.processes = &processes;
    ports.runEntries = &runEntries;
    ports.dialogs = dialogs.get();
    ports.hotKey = display ? &hotKey : nullptr;
    ports.exeName = exe;
    ports.params = params;
    ports.fileVersion = ORP_VERSION;
    const bool tray = display && QSystemTrayIcon::isSystemTrayAvailable();
    ports.trayAvailable = [display] { return display && QSystemTrayIcon::isSystemTrayAvailable(); };

    TfrmORmain window(std::move(ports));
    QObject::connect(&guard, &SingleInstanceGuard::ActivationRequested, &window,
                     &TfrmORmain::ShowMainWindow1Click);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager&) { window.SessionEnding(); });
    // Without a notification area the window is the only way in.
    if (display && !tray && params.empty() && !app.EndRequested()) window.ShowAndRaise();
    const int rc = app.Run();
    return window.EndRequested() ? window.ExitCode() : rc;
}

}  // namespace orp
