// Freeing memory: the run itself, the target slider, the Free RAM button, the tray presets, the
// hot key, the processor figure and the automatic rule.
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>

#include "app/main_window.h"
#include "freeing/auto_free.h"
#include "freeing/freeing_run.h"
#include "freeing/target.h"
#include "log/cleaning_log.h"
#include "memory/cpu_load.h"
#include "memory/units.h"
#include "settings/settings_store.h"
#include "ui/controls.h"
#include "ui/gradient_bar.h"
#include "ui/scope_graph.h"

namespace orp {

namespace {
QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// Errors in these steps of a run are ignored and the run goes on.
template <typename F>
void Ignoring(F&& f) {
    try {
        f();
    } catch (...) {
    }
}

// The window's side of the run's loop: labels, progress and message processing.
class WindowRunHost : public IFreeingRunHost {
public:
    WindowRunHost(QSpinBox* attempts, QLabel* pass, QLabel* working, QProgressBar* bar,
                  const bool& abort, std::function<void()> refresh)
        : attempts_(attempts),
          pass_(pass),
          working_(working),
          bar_(bar),
          abort_(abort),
          refresh_(std::move(refresh)) {}
    int PassesWanted() override { return attempts_->value(); }
    bool AbortRequested() override { return abort_; }
    void PumpMessages() override { QCoreApplication::processEvents(); }
    void PassStarting(int pass, int passes) override {
        bar_->setValue(0);
        pass_->setText(QStringLiteral("Pass %1 of %2").arg(pass).arg(passes));
    }
    void Progress(std::int64_t position, std::int64_t, int percent) override {
        // QProgressBar holds an int; the scale is rebased on the run's own maximum.
        bar_->setValue(static_cast<int>(position));
        working_->setText(QString::number(percent) + QLatin1Char('%'));
    }
    void PassFinished() override { refresh_(); }

private:
    QSpinBox* attempts_;
    QLabel* pass_;
    QLabel* working_;
    QProgressBar* bar_;
    const bool& abort_;
    std::function<void()> refresh_;
};
}  // namespace

std::int64_t TfrmORmain::TargetBlocks(int percent) const {
    return orp::TargetBlocks(FTotalRAM, percent);
}

void TfrmORmain::CleanRAM(int percent) {
    // Live triggers (the tray menu) can reach here while a run pumps messages; the engine's
    // single block list and pass panel allow one run at a time, so a second request is ignored.
    if (FRunning) return;
    FRunning = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{FRunning};

    // A command-line run beside this instance may have added its row to the file meanwhile.
    Ignoring([&] { TakeInLogWrittenElsewhere(); });
    Ignoring([&] {
        StartLogRow(FLog, LogDateTime().toStdString(), lblFreeRAM->text().toStdString(),
                    lblUsedRAM->text().toStdString());
    });
    const std::int64_t freeBefore = FFreeRAM;
    const std::int64_t n = TargetBlocks(percent);
    Ignoring([&] { SetLogTarget(FLog, FormatAmount(n, FUseIEC)); });

    tmrUsage->stop();
    tmrCheckCPU->stop();
    tmr_Process->stop();

    pbrWorking->setValue(0);
    PlaceRunPanels();
    pnlPass->show();
    pnlPass->raise();
    lblPass->setText(QStringLiteral("Pass 1 of %1").arg(spnAtempts->value()));
    // QProgressBar is int; a block count beyond that cannot be obtained anyway.
    pbrWorking->setMaximum(static_cast<int>(std::min<std::int64_t>(2 * n, INT32_MAX)));
    pg_RAM->setEnabled(false);
    btnFreeRAM->setEnabled(false);
    pnlFreeing_RAM->show();
    pnlFreeing_RAM->raise();
    QCoreApplication::processEvents();

    FAbortRequested = false;
    WindowRunHost host(spnAtempts, lblPass, lblWorking, pbrWorking, FAbortRequested,
                       [this] { UpdateMemoryFigures(); });
    try {
        RunFreeingPasses(*FPorts.heap, host, n, static_cast<std::size_t>(BlockBytes(FUseIEC)),
                         FBlocks);
    } catch (...) {
        RestoreAfterRun();
        throw;
    }
    RestoreAfterRun();

    const std::int64_t cleared = RamCleared(freeBefore, FFreeRAM);
    bool written = true;
    Ignoring([&] {
        written = false;
        SetLogCleared(FLog, FormatAmount(cleared, FUseIEC));
        written = true;
    });
    if (written) SaveLogFile();
}

void TfrmORmain::RestoreAfterRun() {
    pnlFreeing_RAM->hide();
    pnlPass->hide();
    pg_RAM->setEnabled(true);
    btnFreeRAM->setEnabled(true);
    tmrUsage->start();
    tmrCheckCPU->start();
    ApplyProcessDisplayOption();
    FBlocks.clear();
}

void TfrmORmain::btn_AbortClick() {
    FAbortRequested = true;
}

void TfrmORmain::UpdateTargetCaption() {
    if (tbrTarget->value() > 90) tbrTarget->setValue(90);
    if (tbrTarget->value() < 5) tbrTarget->setValue(5);
    const int position = tbrTarget->value();
    scpGraph->SetBaseLine(position);
    pnlFree->setCaption(Q(TargetCaption(position, TargetBlocks(position), FUseIEC)));
}

void TfrmORmain::tbrTargetChange() {
    pbrTargetRAM->setValue(tbrTarget->value());
    UpdateTargetCaption();
    if (!FStarting) UpdateMemoryFigures();
}

void TfrmORmain::tbrTargetMouseUp() {
    UpdateTargetCaption();
    if (!StoreTargetRAM(*FPorts.registry, tbrTarget->value())) Message(msg::kTargetRAM);
}

void TfrmORmain::btnFreeRAMClick() {
    CleanRAM(tbrTarget->value());
}

void TfrmORmain::SetAttempts(int value) {
    spnAtempts->setValue(value);
}

void TfrmORmain::RunPreset(int percent, bool setsTargetBar) {
    if (FRunning) return;
    const int attempts = spnAtempts->value();
    SetAttempts(1);
    if (setsTargetBar) pbrTargetRAM->setValue(percent);
    ShowAndRaise();
    pg_RAM->setCurrentWidget(tab_FreeMemory);
    repaint();
    // An error that ends the run still puts the user's number of attempts back (it is stored,
    // so it would otherwise stay 1 for good) and the window back in the tray.
    const auto finish = [&] {
        SetAttempts(attempts);
        HideToTray();
    };
    try {
        CleanRAM(percent);
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void TfrmORmain::LMDGlobalHotKey2KeyDown() {
    btnTest_Auto_Free->setVisible(btnTest_Auto_Free->isHidden());
}

// ---- processor load ----

void TfrmORmain::UpdateCPULoad() {
    try {
        const int load = SampleProcessorLoad(*FPorts.processor);
        pbrCPU->setValue(load);
        lbl_Used_CPU->setText(QString::number(load) + QLatin1Char('%'));
    } catch (...) {
        // A failed sample keeps the last figure; the next tick tries again.
    }
}

void TfrmORmain::CopyCPULoad() {
    FCPULoad = pbrCPU->value();
}

// ---- automatic freeing ----

void TfrmORmain::tmrCheckCPUTimer() {
    if (FStarting) return;
    UpdateCPULoad();
    CopyCPULoad();
    AutoFreeTick tick;
    tick.autoFreeOn = chbAuto_Free->isChecked();
    tick.cpuLoad = FCPULoad;
    tick.cpuThreshold = FCPUThreshold;
    tick.freeRAM = FFreeRAM;
    tick.triggerAmount = FAutoTriggerAmount;
    if (DecideAutoFree(FQuietTicks, tick)) RunAutoFree();
}

void TfrmORmain::RunAutoFree() {
    if (FRunning) return;
    const bool wasVisible = isVisible() && !isMinimized();
    const int attempts = spnAtempts->value();
    SetAttempts(1);
    if (!chbAuto_Free_Silent->isChecked()) {
        ShowAndRaise();
        pg_RAM->setCurrentWidget(tab_FreeMemory);
        repaint();
    }
    QCoreApplication::processEvents();
    const auto finish = [&] {
        SetAttempts(attempts);
        if (!wasVisible) HideToTray();
    };
    try {
        CleanRAM(tbrAuto_Level->value());
    } catch (...) {
        finish();  // as for a preset: the stored attempts are not left at 1
        throw;
    }
    finish();
}

void TfrmORmain::AutoLevelChanged() {
    lblAuto_Level->setText(QString::number(tbrAuto_Level->value()) + QLatin1Char('%'));
    ShowAutoFreeAmount();
    if (!FHoldStores && !StoreAutoLevel(*FPorts.registry, tbrAuto_Level->value()))
        Message(msg::kAutoLevel);
}

void TfrmORmain::ShowAutoFreeAmount() {
    const int clamped = ClampAutoLevel(tbrAuto_Level->value());
    if (clamped != tbrAuto_Level->value()) tbrAuto_Level->setValue(clamped);
    const int threshold = RaiseThresholdForAutoLevel(tbrCPU_Threshold->value());
    if (threshold != tbrCPU_Threshold->value()) tbrCPU_Threshold->setValue(threshold);
    const int level = tbrAuto_Level->value();
    lblAuto_Level->setText(QString::number(level) + QLatin1Char('%'));
    lblCPU_Threshold->setText(QString::number(tbrCPU_Threshold->value()) + QLatin1Char('%'));
    FAutoFreeAmount = LevelAmount(FTotalRAM, level);
    lblAutoRAMtoFree->setText(Q(FormatAmount(FAutoFreeAmount, FUseIEC)));
}

void TfrmORmain::AutoTriggerChanged() {
    lblAuto_Level_Trigger->setText(QString::number(tbrAuto_Trigger_Level->value()) +
                                   QLatin1Char('%'));
    ShowAutoTriggerAmount();
    if (!FHoldStores && !StoreAutoTriggerLevel(*FPorts.registry, tbrAuto_Trigger_Level->value()))
        Message(msg::kAutoTriggerLevel);
}

void TfrmORmain::ShowAutoTriggerAmount() {
    const int clamped = ClampAutoTrigger(tbrAuto_Trigger_Level->value());
    if (clamped != tbrAuto_Trigger_Level->value()) tbrAuto_Trigger_Level->setValue(clamped);
    FAutoTriggerAmount = LevelAmount(FTotalRAM, tbrAuto_Trigger_Level->value());
    lblRAMTrigger->setText(Q(FormatAmount(FAutoTriggerAmount, FUseIEC)));
}

void TfrmORmain::CPUThresholdChanged() {
    const int clamped = ClampCPUThreshold(tbrCPU_Threshold->value());
    if (clamped != tbrCPU_Threshold->value()) tbrCPU_Threshold->setValue(clamped);
    const int position = tbrCPU_Threshold->value();
    lblCPU_Threshold->setText(QString::number(position) + QLatin1Char('%'));
    if (!FHoldStores && !StoreCPUThreshold(*FPorts.registry, position)) Message(msg::kCPUThreshold);
    FCPUThreshold = position;
}

void TfrmORmain::AutoFreeSwitched() {
    if (FStarting) return;
    if (!StoreAutoFree(*FPorts.registry, chbAuto_Free->isChecked())) Message(msg::kAutoFree);
}

void TfrmORmain::AutoFreeSilentSwitched() {
    if (FStarting) return;
    if (!StoreAutoFreeSilent(*FPorts.registry, chbAuto_Free_Silent->isChecked()))
        Message(msg::kAutoFreeSilent);
}

}  // namespace orp
