// The Memory and Monitor pages: figures, bars, the graph, the tray hint and the unit switch.
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QSystemTrayIcon>
#include <QTimer>

#include "app/main_window.h"
#include "memory/units.h"
#include "platform/memory_status.h"
#include "settings/settings_store.h"
#include "ui/controls.h"
#include "ui/gradient_bar.h"
#include "ui/scope_graph.h"

namespace orp {

namespace {
QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
constexpr int kFreeChannel = 0, kUsedChannel = 1, kCPUChannel = 2;
}  // namespace

void TfrmORmain::UpdateTotalRAM() {
    FTotalRAM = NominalTotal(FPorts.memory->Snapshot().totalPhys, FUseIEC);
    pnlTotal->setCaption(Q(TotalCaption(FTotalRAM, FUseIEC)));
    lblTRAM->setText(pnlTotal->caption());
}

void TfrmORmain::UpdateMemoryFigures() {
    const RamFigures f = ComputeRamFigures(FPorts.memory->Snapshot(), FUseIEC);
    FTotalRAM = f.total;
    FFreeRAM = f.free;
    FUsedRAM = f.used;
    lblUsedRAM->setText(Q(FormatAmount(f.used, FUseIEC)));
    lblFreeRAM->setText(Q(FormatAmount(f.free, FUseIEC)));
    FTrayHint = Q(orp::TrayHint(f.free, FUseIEC));
    tryIcon->setToolTip(FTrayHint);
    pbrUsedRAM->setValue(f.usedPercent);
    pbrFreeRAM->setValue(f.freePercent);
    UpdateGraphChannels(f.freePercent);
    scpGraph->AddSample(kCPUChannel, pbrCPU->value());
}

void TfrmORmain::UpdateGraphChannels(int freePercent) {
    scpGraph->SetChannelVisible(kFreeChannel, chbFreeRAM->isChecked());
    scpGraph->SetChannelVisible(kUsedChannel, chbUsedRAM->isChecked());
    scpGraph->SetChannelVisible(kCPUChannel, chbCPU->isChecked());
    scpGraph->AddSample(kUsedChannel, 100 - freePercent);
    scpGraph->AddSample(kFreeChannel, freePercent);
}

void TfrmORmain::UpdateVirtualMemoryFigures() {
    const VirtualFigures v = ComputeVirtualFigures(FPorts.memory->Snapshot(), FUseIEC);
    lbl_Virtual_Memory_Total->setText(QStringLiteral("Total: ") +
                                      Q(FormatAmount(v.total, FUseIEC)));
    lbl_Page->setText(QStringLiteral("Used: ") + Q(FormatAmount(v.used, FUseIEC)));
    pbrVirtualMemory->setValue(v.percent);
}

void TfrmORmain::tmrUsageTimer() {
    UpdateMemoryFigures();
    QCoreApplication::processEvents();
    UpdateVirtualMemoryFigures();
}

void TfrmORmain::spnSecChange() {
    const int v = spnSec->value();
    lblSec->setText(v == 1 ? QStringLiteral("second.") : QStringLiteral("seconds."));
    tmrUsage->setInterval(v * 1000);
    if (!StoreUpdatePeriod(*FPorts.registry, v)) Message(msg::kUpdatePeriod);
}

void TfrmORmain::StoreMonitorView() {
    const MonitorView view{chbUsedRAM->isChecked(), chbFreeRAM->isChecked(), chbCPU->isChecked()};
    if (!StoreMonitorViewCode(*FPorts.registry, EncodeMonitorView(view)))
        Message(msg::kMonitorView);
}

void TfrmORmain::ApplyUnitChoice() {
    if (rb_IEC->isChecked()) {
        FUseIEC = true;
        StoreIEC(*FPorts.registry, true);
    } else {
        StoreIEC(*FPorts.registry, false);
        FUseIEC = false;
    }
    UpdateTotalRAM();
    UpdateTargetCaption();
    UpdateMemoryFigures();
    UpdateVirtualMemoryFigures();
    ShowAutoFreeAmount();
    AutoTriggerChanged();
}

}  // namespace orp
