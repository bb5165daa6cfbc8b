// Settings: applying the store to the controls, the handlers that write it back, and the
// controls that reach outside the program (login entry, DLL switch).
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>

#include "app/main_window.h"
#include "app/user_dialogs.h"
#include "settings/autostart.h"
#include "settings/settings_store.h"
#include "ui/controls.h"
#include "ui/hyperlink_label.h"
#include "ui/scope_graph.h"

namespace orp {

void TfrmORmain::ApplySettings() {
    if (!ReadSettings(*FPorts.registry, FSettings)) {
        Message(QString::fromLatin1(msg::kAccess));
        return;
    }
    FSettingsRead = true;
    const TSettings& s = FSettings;
    tbrTarget->setValue(s.TargetRAM);
    tbrAuto_Level->setValue(s.AutoLevel);
    tbrAuto_Trigger_Level->setValue(s.AutoTriggerLevel);
    tbrCPU_Threshold->setValue(s.CPUThreshold);
    spnSec->setValue(s.UpdatePeriod);
    spnAtempts->setValue(s.Attempts);
    cbx_Unload_DLLs->setChecked(s.UnloadDLLs);
    chbAuto_Start->setChecked(s.AutoStart);
    chbAuto_Free->setChecked(s.AutoFree);
    chbAuto_Free_Silent->setChecked(s.AutoFreeSilent);
    if (const auto view = DecodeMonitorView(s.MonitorView)) {
        chbUsedRAM->setChecked(view->usedRAM);
        chbFreeRAM->setChecked(view->freeRAM);
        chbCPU->setChecked(view->cpu);
    }
    FUseIEC = s.IEC;
    if (s.IEC)
        rb_IEC->setChecked(true);
    else
        rb_SI->setChecked(true);
    cbx_Process->setChecked(s.Processes);
    tmr_Process->setInterval(static_cast<int>(
        std::clamp<std::int64_t>(std::int64_t{s.ProcessesUpdate} * 1000, 0, INT32_MAX)));
    if (s.Processes)
        tmr_Process->start();
    else
        tmr_Process->stop();
    spn_Process->setValue(s.ProcessesUpdate);
}

void TfrmORmain::spnAtemptsChange() {
    const int v = spnAtempts->value();
    lblttempts->setText(v == 1 ? QStringLiteral("attempt to free target RAM.")
                               : QStringLiteral("attempts to free target RAM."));
    if (!StoreAttempts(*FPorts.registry, v)) Message(QString::fromLatin1(msg::kAttempts));
}

void TfrmORmain::AutoStartSwitched() {
    if (FStarting) return;
    RegisterAutoStart(*FPorts.runEntries, chbAuto_Start->isChecked(), FExeName);
    if (!StoreAutoStart(*FPorts.registry, chbAuto_Start->isChecked()))
        Message(QString::fromLatin1(msg::kAutoStart));
}

void TfrmORmain::UnloadDLLsSwitched() {
    if (FStarting) return;
    SetAlwaysUnloadDLL(*FPorts.registry, cbx_Unload_DLLs->isChecked());
    if (!StoreUnloadDLLs(*FPorts.registry, cbx_Unload_DLLs->isChecked()))
        Message(QString::fromLatin1(msg::kUnloadDLLs));
}

void TfrmORmain::ConnectHandlers() {
    auto onToggle = [this](QAbstractButton* b, void (TfrmORmain::*handler)()) {
        connect(b, &QAbstractButton::toggled, this, [this, handler] { (this->*handler)(); });
    };
    connect(tbrTarget, &QSlider::valueChanged, this, &TfrmORmain::tbrTargetChange);
    connect(btnFreeRAM, &QPushButton::clicked, this, &TfrmORmain::btnFreeRAMClick);
    connect(btn_Abort, &QPushButton::clicked, this, &TfrmORmain::btn_AbortClick);
    // The window itself stays enabled during a run (only its pages are disabled), so Esc reaches
    // it and is the user's way to stop a run; the engine finishes the pass's releases first.
    auto* abort = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    abort->setObjectName(QStringLiteral("AbortShortcut"));
    connect(abort, &QShortcut::activated, this, &TfrmORmain::btn_AbortClick);
    connect(tbrAuto_Level, &QSlider::valueChanged, this, &TfrmORmain::AutoLevelChanged);
    connect(tbrAuto_Trigger_Level, &QSlider::valueChanged, this, &TfrmORmain::AutoTriggerChanged);
    connect(tbrCPU_Threshold, &QSlider::valueChanged, this, &TfrmORmain::CPUThresholdChanged);
    connect(btnTest_Auto_Free, &QPushButton::clicked, this, &TfrmORmain::RunAutoFree);
    connect(spnSec, &QSpinBox::valueChanged, this, &TfrmORmain::spnSecChange);
    connect(spnAtempts, &QSpinBox::valueChanged, this, &TfrmORmain::spnAtemptsChange);
    connect(spn_Process, &QSpinBox::valueChanged, this, &TfrmORmain::spn_ProcessChange);
    onToggle(chbAuto_Free, &TfrmORmain::AutoFreeSwitched);
    onToggle(chbAuto_Free_Silent, &TfrmORmain::AutoFreeSilentSwitched);
    onToggle(chbAuto_Start, &TfrmORmain::AutoStartSwitched);
    onToggle(cbx_Unload_DLLs, &TfrmORmain::UnloadDLLsSwitched);
    onToggle(cbx_Process, &TfrmORmain::ApplyProcessDisplayOption);
    onToggle(chbUsedRAM, &TfrmORmain::StoreMonitorView);
    onToggle(chbFreeRAM, &TfrmORmain::StoreMonitorView);
    onToggle(chbCPU, &TfrmORmain::StoreMonitorView);
    // One group: each button's click handler runs when it becomes ticked, like a click would.
    auto unitClick = [this](bool checked) {
        if (checked && !FStarting) ApplyUnitChoice();
    };
    connect(rb_IEC, &QRadioButton::toggled, this, unitClick);
    connect(rb_SI, &QRadioButton::toggled, this, unitClick);
    connect(btn_Help, &QAbstractButton::clicked, this, &TfrmORmain::btn_HelpClick);
    connect(lblWebSite, &TVrHyperLink::clicked, this, &TfrmORmain::lblWebSiteClick);
    connect(VrHyperLink2, &TVrHyperLink::clicked, this, &TfrmORmain::VrHyperLink2Click);
}

}  // namespace orp
