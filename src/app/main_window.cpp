// The window's construction, its start-up sequence and its life between tray and screen.
#include "app/main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QShowEvent>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTimer>

#include "app/application.h"
#include "app/user_dialogs.h"
#include "log/cleaning_log.h"
#include "platform/hot_key.h"
#include "platform/registry.h"
#include "settings/autostart.h"
#include "settings/command_line.h"
#include "ui/app_icon.h"
#include "ui/controls.h"
#include "ui/scope_graph.h"
#include "ui/string_table_model.h"
#include "ui/style.h"

namespace orp {

namespace {
std::string DirectoryOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}
}  // namespace

TfrmORmain::TfrmORmain(WindowPorts ports, QWidget* parent)
    : QWidget(parent), FPorts(std::move(ports)) {
    setObjectName(QStringLiteral("frmORmain"));
    setWindowTitle(QStringLiteral(" Orrindo Pro 2.2"));
    // Title bar with close and maximise only: minimising and the window menu are not offered.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowIcon(AppIcon());
    ResetLog(FLog);
    ResetProcessTable(FProcessTable);

    BuildPages();
    BuildTray();
    BuildTimers();
    ConnectHandlers();
    if (FPorts.hotKey)
        FPorts.hotKey->Register([this] {
            QMetaObject::invokeMethod(this, &TfrmORmain::LMDGlobalHotKey2KeyDown,
                                      Qt::QueuedConnection);
        });

    // FormCreate. An error in a step ends the sequence there and is shown; the window lives on
    // in the tray with FStarting still true, so the guarded handlers keep doing nothing.
    Guarded([this] { StartUp(); });
}

TfrmORmain::~TfrmORmain() {
    if (FPorts.hotKey) FPorts.hotKey->Unregister();
    FormDestroy();
}

void TfrmORmain::StartUp() {
    FStarting = true;
    FExeName = FPorts.exeName;
    FExePath = DirectoryOf(FExeName);
    LoadLog(FLog, FExePath, [] { QCoreApplication::processEvents(); });
    FLogSync.Loaded(FLog, FExePath);
    ApplyPanelColours();
    UpdateTotalRAM();
    FAbortRequested = false;
    RegisterInstallation(*FPorts.registry, FExePath, FPorts.fileVersion);
    EnsureSettings(*FPorts.registry);
    ApplySettings();
    FQuietTicks = 0;
    pg_RAM->setCurrentWidget(tab_FreeMemory);
    RefreshProcessTable();
    SortProcessTable(0, true);
    UpdateTotalRAM();
    {
        // Settings that could not be read leave the sliders in their design state; the clamps
        // of these steps must not write that state over the choices the user has stored.
        FHoldStores = !FSettingsRead;
        struct Release {
            bool& flag;
            ~Release() { flag = false; }
        } release{FHoldStores};
        UpdateTargetCaption();
        ShowAutoFreeAmount();
        ShowAutoTriggerAmount();
        CopyCPULoad();
        CPUThresholdChanged();
    }
    scpGraph->SetActive(true);
    FHelpDocument = QString::fromStdString(FExePath) + QStringLiteral("Orrindo Pro.chm");
    // With settings that could not be read the boxes show their design state, not the user's
    // choice: re-applying that would silently remove a working login entry.
    if (FSettingsRead) {
        RegisterAutoStart(*FPorts.runEntries, chbAuto_Start->isChecked(), FExePath + "ORPstub");
        SetAlwaysUnloadDLL(*FPorts.registry, cbx_Unload_DLLs->isChecked());
    }
    tmrCheckCPU->start();
    pnlAbout->setCaption(QStringLiteral("About Orrindo Pro (version ") +
                         QString::fromStdString(FPorts.fileVersion) + QStringLiteral(")"));
    if (ExamineCommandLine()) RequestEnd();
    FStarting = false;
}

void TfrmORmain::FormDestroy() {
    SaveLogAtEnd();
}

void TfrmORmain::SaveLogFile() {
    if (SaveLog(FLog, FExePath)) FLogSync.Saved(FLog);
}

void TfrmORmain::SaveLogAtEnd() {
    // Another instance's run wrote the file and nothing changed here: the file already holds
    // all this grid has, and more.
    if (FLogSync.FileChangedElsewhere(FExePath) && !FLogSync.ChangedHere(FLog)) return;
    SaveLogFile();
}

void TfrmORmain::TakeInLogWrittenElsewhere() {
    if (!FLogSync.FileChangedElsewhere(FExePath) || FLogSync.ChangedHere(FLog)) return;
    StringTable::Batch batch(FLog);
    ResetLog(FLog);
    LoadLog(FLog, FExePath);
    FLogSync.Loaded(FLog, FExePath);
}

void TfrmORmain::RequestEnd() {
    FEndRequested = true;
    if (auto* app = OrpApplication::Instance()) app->RequestEnd(FExitCode);
}

void TfrmORmain::Message(const QString& text) {
    FPorts.dialogs->ShowMessage(text);
}

// ---- tray life ----

void TfrmORmain::BuildTray() {
    popTaskBar = new QMenu(this);
    popTaskBar->setObjectName(QStringLiteral("popTaskBar"));
    QMenu* clean = popTaskBar->addMenu(QStringLiteral("Cleam RAM"));
    clean->setObjectName(QStringLiteral("CleamRAM1"));
    for (int p : {95, 90, 85, 80, 75, 70, 65, 60, 55, 50, 40, 30, 20, 10}) {
        QAction* a = clean->addAction(QString::number(p));
        a->setObjectName(QStringLiteral("Preset%1").arg(p));
        connect(a, &QAction::triggered, this, [this, p] { RunPreset(p, false); });
    }
    popTaskBar->addSeparator()->setObjectName(QStringLiteral("N4"));
    struct Named {
        const char* name;
        const char* caption;
        int percent;
    };
    for (const Named& n :
         {Named{"LightClean1", "Light Clean", 25}, Named{"MediumClean1", "Medium Clean", 55},
          Named{"HeavyClean1", "Heavy Clean", 80}}) {
        QAction* a = popTaskBar->addAction(QString::fromLatin1(n.caption));
        a->setObjectName(QString::fromLatin1(n.name));
        const int p = n.percent;
        connect(a, &QAction::triggered, this, [this, p] { RunPreset(p, true); });
    }
    popTaskBar->addSeparator()->setObjectName(QStringLiteral("N3"));
    QAction* show = popTaskBar->addAction(QStringLiteral("Show Main Window"));
    show->setObjectName(QStringLiteral("ShowMainWindow1"));
    connect(show, &QAction::triggered, this, &TfrmORmain::ShowMainWindow1Click);
    popTaskBar->addSeparator()->setObjectName(QStringLiteral("N2"));
    QAction* exit = popTaskBar->addAction(QStringLiteral("Exit Orrindo Pro"));
    exit->setObjectName(QStringLiteral("erminate1"));
    connect(exit, &QAction::triggered, this, &TfrmORmain::erminate1Click);
    StylePopupMenu(popTaskBar);
    StylePopupMenu(clean);

    tryIcon = new QSystemTrayIcon(AppIcon(), this);
    tryIcon->setObjectName(QStringLiteral("tryIcon"));
    tryIcon->setContextMenu(popTaskBar);
    tryIcon->setToolTip(QStringLiteral("Orrindo Pro"));
    // Every double click begins with a click, which has already toggled the window; answering
    // the double click as well would put it straight back.
    connect(tryIcon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason r) {
                if (r == QSystemTrayIcon::Trigger) ToggleFromTray();
            });
    // Shown also where there is no notification area yet: a panel that starts after the
    // program (both started at login) gets the icon as soon as it is there.
    // Offscreen (a command run without a display) there is nothing to dock to.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) tryIcon->show();
}

void TfrmORmain::ShowMainWindow1Click() {
    ShowAndRaise();
}

void TfrmORmain::erminate1Click() {
    RequestEnd();
}

void TfrmORmain::ShowAndRaise() {
    CentreOnFirstShow();
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
    repaint();
}

void TfrmORmain::CentreOnFirstShow() {
    // Where the window manager would put a new window is its own policy; the first showing is
    // centred on the primary monitor, later ones keep where the user left it.
    if (FPlaced) return;
    FPlaced = true;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    // Before the first showing the frame is known only where the platform knows it already.
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

bool TfrmORmain::TrayAvailable() const {
    return FPorts.trayAvailable();
}

void TfrmORmain::HideToTray() {
    // Without a notification area a hidden window could never be reached again.
    if (!TrayAvailable()) {
        showMinimized();
        return;
    }
    hide();
}

void TfrmORmain::ToggleFromTray() {
    if (isVisible() && !isMinimized())
        HideToTray();
    else
        ShowAndRaise();
}

void TfrmORmain::closeEvent(QCloseEvent* event) {
    // FormCloseQuery: closing never ends the program; it goes back to the tray. A session that
    // is ending is let through (commitDataRequest has saved the log by then).
    if (FSessionEnding) {
        event->accept();
        return;
    }
    event->ignore();
    HideToTray();
}

void TfrmORmain::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Minimising goes to the tray like closing does. The window keeps its minimised state while
    // hidden (clearing it would map the hidden window again on X11); showing restores it.
    // Hiding is left to the event loop: the state change is still being delivered.
    if (event->type() == QEvent::WindowStateChange && isMinimized() && TrayAvailable())
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (isMinimized()) hide();
            },
            Qt::QueuedConnection);
}

void TfrmORmain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // FormShow: the store wins over the controls every time the window becomes visible.
    if (!event->spontaneous()) Guarded([this] { ApplySettings(); });
}

void TfrmORmain::SessionEnding() {
    FSessionEnding = true;
    SaveLogAtEnd();
}

void TfrmORmain::BuildTimers() {
    // All three count from the moment the window exists; their handlers decide what a tick
    // during start-up may do.
    tmrUsage = new QTimer(this);
    tmrUsage->setObjectName(QStringLiteral("tmrUsage"));
    tmrUsage->setInterval(1000);
    tmrCheckCPU = new QTimer(this);
    tmrCheckCPU->setObjectName(QStringLiteral("tmrCheckCPU"));
    tmrCheckCPU->setInterval(1000);
    tmr_Process = new QTimer(this);
    tmr_Process->setObjectName(QStringLiteral("tmr_Process"));
    tmr_Process->setInterval(30000);
    connect(tmrUsage, &QTimer::timeout, this, &TfrmORmain::tmrUsageTimer);
    connect(tmrCheckCPU, &QTimer::timeout, this, &TfrmORmain::tmrCheckCPUTimer);
    connect(tmr_Process, &QTimer::timeout, this, &TfrmORmain::RefreshProcessTable);
    tmrUsage->start();
    tmrCheckCPU->start();
    tmr_Process->start();
}

// ---- command line ----

bool TfrmORmain::ExamineCommandLine() {
    const std::vector<std::string>& params = FPorts.params;
    bool helpShown = false;
    if (HasSwitch(params, "help") || HasSwitch(params, "?")) {
        FPorts.dialogs->ShowHelp(QString::fromStdString(CommandLineHelpText()));
        RequestEnd();
        helpShown = true;
    }
    if (params.empty()) return helpShown;

    struct EndOnLeave {
        TfrmORmain* w;
        ~EndOnLeave() { w->RequestEnd(); }
    } endOnLeave{this};

    const FreeingCommand command = ParseFreeingCommand(params);
    if (!command.Runs()) {
        // Invalid commands stay silent, but scripts can tell from the status.
        if (!helpShown) FExitCode = 2;
        return helpShown;
    }
    if (!command.silent) {
        pg_RAM->setCurrentWidget(tab_FreeMemory);
        ShowAndRaise();
    }
    UpdateMemoryFigures();
    SetAttempts(command.passes);
    CleanRAM(command.percent);
    return helpShown;
}

}  // namespace orp
