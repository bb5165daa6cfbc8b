// Automatic freeing, the processor figure and the target caption through the real window: the
// rule driven tick by tick over fake processor times and memory status, the automatic panel's
// limits and stored values, and what the window shows before, during and after a run.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>

#include <QCoreApplication>

#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "fakes/window_fixture.h"
#include "settings/settings_store.h"
#include "ui/controls.h"
#include "ui/gradient_bar.h"
#include "ui/scope_graph.h"

namespace orp {
namespace {

constexpr RegRoot kUser = RegRoot::CurrentUser;
constexpr std::int64_t kMiB = WindowFixture::kMiB;

std::optional<std::uint32_t> Stored(const FakeRegistry& r, const char* name) {
    return r.Dword(kUser, kSettingsKeyPath, name);
}

// The processor figure the fakes report: every instance, the overall total last, at one share.
void SetLoad(WindowFixture& f, int percent) {
    const double share = percent / 100.0;
    f.processor.usages = {share, share, share};
    f.processor.hasTotal = true;
}

// Free memory as the usage timer would see it on its next tick.
void SetAvailable(WindowFixture& f, std::int64_t availMiB) {
    f.memory.status.availPhys = availMiB * kMiB;
    f.window->UpdateMemoryFigures();
}

// A window after start-up with its timers left to the test, 1,024 MiB installed (1,025 units
// after a refresh) and free RAM below the default trigger of 15 % (154 units).
TfrmORmain& Armed(WindowFixture& f) {
    TfrmORmain& w = f.Create();
    f.QuietTimers();
    SetAvailable(f, 100);
    SetLoad(f, 20);
    return w;
}

struct Step {
    enum Kind { Ticks, AutoOn, AutoOff, Load, AvailMiB, TriggerLevel, TestButton } kind;
    int value = 0;
};

struct Scenario {
    const char* name;
    std::vector<Step> steps;
    std::vector<int> runsAfterTicks;  // ticks handled so far when each run happened
    std::int32_t endQuiet;
};

TEST(AutoFreeWindow, TheRuleTickByTick) {
    using S = Step;
    const Scenario scenarios[] = {
        {"first run at the 60th quiet tick, the next 60 ticks after it",
         {{S::AutoOn}, {S::Ticks, 130}},
         {60, 120},
         10},
        {"a load equal to the threshold is quiet, one above resets",
         {{S::AutoOn},
          {S::Load, 75},
          {S::Ticks, 59},
          {S::Load, 76},
          {S::Ticks, 1},
          {S::Load, 75},
          {S::Ticks, 60}},
         {120},
         0},
        {"free RAM equal to the trigger starts nothing; one unit less does",
         {{S::AutoOn}, {S::AvailMiB, 153}, {S::Ticks, 70}, {S::AvailMiB, 152}, {S::Ticks, 1}},
         {71},
         0},
        {"trigger level 0 never starts a run",
         {{S::AutoOn}, {S::TriggerLevel, 0}, {S::AvailMiB, 0}, {S::Ticks, 200}},
         {},
         200},
        {"switched off at 45 and on again: the count continues from 45",
         {{S::AutoOn},
          {S::Ticks, 45},
          {S::AutoOff},
          {S::Load, 100},
          {S::Ticks, 30},
          {S::Load, 20},
          {S::AutoOn},
          {S::Ticks, 15}},
         {90},
         0},
        {"automatic freeing off: ticks refresh the figure and count nothing",
         {{S::Ticks, 100}},
         {},
         0},
        {"the test button runs with freeing off and leaves the count alone",
         {{S::AutoOn}, {S::Ticks, 10}, {S::AutoOff}, {S::TestButton}, {S::AutoOn}, {S::Ticks, 50}},
         {10, 60},
         0},
    };
    for (const Scenario& s : scenarios) {
        SCOPED_TRACE(s.name);
        WindowFixture f;
        TfrmORmain& w = Armed(f);
        auto* autoFree = f.Find<QCheckBox>("chbAuto_Free");
        std::vector<int> runs;
        int ticks = 0;
        std::int64_t obtained = f.heap.obtainCalls;
        const int samplesBefore = f.processor.samples;
        auto noteRun = [&] {
            if (f.heap.obtainCalls != obtained) runs.push_back(ticks);
            obtained = f.heap.obtainCalls;
        };
        for (const Step& step : s.steps) {
            switch (step.kind) {
                case S::Ticks:
                    for (int i = 0; i < step.value; ++i) {
                        w.tmrCheckCPUTimer();
                        ++ticks;
                        noteRun();
                    }
                    break;
                case S::AutoOn:
                    autoFree->setChecked(true);
                    break;
                case S::AutoOff:
                    autoFree->setChecked(false);
                    break;
                case S::Load:
                    SetLoad(f, step.value);
                    break;
                case S::AvailMiB:
                    SetAvailable(f, step.value);
                    break;
                case S::TriggerLevel:
                    f.Find<QSlider>("tbrAuto_Trigger_Level")->setValue(step.value);
                    break;
                case S::TestButton: {
                    const std::int32_t before = w.QuietTicks();
                    w.LMDGlobalHotKey2KeyDown();  // the button is hidden until the hot key
                    f.Find<QPushButton>("btnTest_Auto_Free")->click();
                    EXPECT_EQ(w.QuietTicks(), before);
                    noteRun();
                    break;
                }
            }
        }
        EXPECT_EQ(runs, s.runsAfterTicks);
        EXPECT_EQ(w.QuietTicks(), s.endQuiet);
        // Each run frees the automatic level (15 %: round(1025 / 100) × 15) in one pass.
        EXPECT_EQ(f.heap.obtainCalls, static_cast<std::int64_t>(runs.size()) * 150);
        EXPECT_EQ(f.processor.samples, samplesBefore + ticks);  // one sample a tick
    }
}

// What a run of the rule looks like: where the window is during the run and after it, and the
// attempts held at 1 for the run only.
TEST(AutoFreeWindow, SilentAndNotSilentWithTheWindowHiddenAndShown) {
    struct Case {
        const char* name;
        bool silent;
        bool shownOnSettingsPage;
        bool visibleDuring;
        bool memoryPageDuring;
        bool visibleAfter;
    };
    const Case cases[] = {
        {"not silent, in the tray: shown on the Memory page, back to the tray", false, false, true,
         true, false},
        {"not silent, open on Settings: switched to the Memory page, stays open", false, true, true,
         true, true},
        {"silent, in the tray: never shown", true, false, false, true, false},
        {"silent, open on Settings: left as it was", true, true, true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WindowFixture f;
        TfrmORmain& w = Armed(f);
        auto* pages = f.Find<QTabWidget>("pg_RAM");
        auto* memoryPage = f.Find<QWidget>("tab_FreeMemory");
        auto* settingsPage = f.Find<QWidget>("tab_Settings");
        auto* attempts = f.Find<QSpinBox>("spnAtempts");
        f.Find<QCheckBox>("chbAuto_Free_Silent")->setChecked(c.silent);
        f.Find<QCheckBox>("chbAuto_Free")->setChecked(true);
        attempts->setValue(3);
        if (c.shownOnSettingsPage) {
            w.ShowMainWindow1Click();
            pages->setCurrentWidget(settingsPage);
        }
        struct Seen {
            bool visible;
            QWidget* page;
            std::optional<std::uint32_t> storedAttempts;
            int attempts;
        };
        std::optional<Seen> during;
        f.heap.onObtain = [&] {
            if (!during)
                during = Seen{w.isVisible(), pages->currentWidget(), Stored(f.registry, "Attempts"),
                              attempts->value()};
        };
        for (int i = 0; i < 60; ++i) w.tmrCheckCPUTimer();

        ASSERT_TRUE(during.has_value()) << "no run at the 60th tick";
        EXPECT_EQ(during->visible, c.visibleDuring);
        if (c.visibleDuring) {
            EXPECT_EQ(during->page, c.memoryPageDuring ? memoryPage : settingsPage);
        }
        EXPECT_EQ(during->storedAttempts, 1u);
        EXPECT_EQ(during->attempts, 1);
        EXPECT_EQ(f.heap.obtainCalls, 150);  // one pass, not three

        EXPECT_EQ(w.isVisible(), c.visibleAfter);
        if (c.visibleAfter) {
            EXPECT_EQ(pages->currentWidget(), c.memoryPageDuring ? memoryPage : settingsPage);
        }
        EXPECT_EQ(attempts->value(), 3);
        EXPECT_EQ(Stored(f.registry, "Attempts"), 3u);
        EXPECT_EQ(f.Find<QLabel>("lblttempts")->text(), "attempts to free target RAM.");
        EXPECT_EQ(w.LogTable().Cell(3, 1), "150 MiB");
        EXPECT_EQ(w.QuietTicks(), 0);
    }
}

TEST(AutoFreeWindow, ARunEndedByAnErrorStillRestoresTheAttemptsAndTheTray) {
    struct Case {
        const char* name;
        void (*start)(TfrmORmain&);
    };
    const Case cases[] = {
        {"Light Clean", [](TfrmORmain& w) { w.RunPreset(25, true); }},
        {"automatic run, not silent", [](TfrmORmain& w) { w.RunAutoFree(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WindowFixture f;
        TfrmORmain& w = Armed(f);
        f.Find<QCheckBox>("chbAuto_Free_Silent")->setChecked(false);
        f.Find<QSpinBox>("spnAtempts")->setValue(3);
        f.heap.onObtain = [] { throw std::runtime_error("the heap broke its promise"); };
        EXPECT_THROW(c.start(w), std::runtime_error);
        EXPECT_EQ(f.Find<QSpinBox>("spnAtempts")->value(), 3);
        EXPECT_EQ(Stored(f.registry, "Attempts"), 3u);
        EXPECT_FALSE(w.isVisible());
        EXPECT_FALSE(w.Running());
    }
}

TEST(AutoFreeWindow, SliderLimitsLabelsAmountsAndStoredValues) {
    struct Case {
        const char* slider;
        int moveTo;
        int shown;
        const char* setting;
        const char* percentLabel;
        const char* amountLabel;  // null: the slider has no amount
        const char* amount;
    };
    // The amounts are of the start-up total, 1,024 units: 1024 / 100 × level, rounded once.
    const Case cases[] = {
        {"tbrAuto_Level", 80, 75, "Automatic Level", "lblAuto_Level", "lblAutoRAMtoFree",
         "768 MiB"},
        {"tbrAuto_Level", 2, 5, "Automatic Level", "lblAuto_Level", "lblAutoRAMtoFree", "51 MiB"},
        {"tbrAuto_Level", 33, 33, "Automatic Level", "lblAuto_Level", "lblAutoRAMtoFree",
         "338 MiB"},
        {"tbrAuto_Trigger_Level", 90, 75, "Automatic Trigger Level", "lblAuto_Level_Trigger",
         "lblRAMTrigger", "768 MiB"},
        {"tbrAuto_Trigger_Level", 0, 0, "Automatic Trigger Level", "lblAuto_Level_Trigger",
         "lblRAMTrigger", "0 MiB"},
        {"tbrAuto_Trigger_Level", 2, 2, "Automatic Trigger Level", "lblAuto_Level_Trigger",
         "lblRAMTrigger", "20 MiB"},
        {"tbrCPU_Threshold", 10, 25, "CPU Threshold", "lblCPU_Threshold", nullptr, nullptr},
        {"tbrCPU_Threshold", 100, 100, "CPU Threshold", "lblCPU_Threshold", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.slider) + " to " + std::to_string(c.moveTo));
        WindowFixture f;
        TfrmORmain& w = f.Create();
        auto* slider = f.Find<QSlider>(c.slider);
        slider->setValue(c.moveTo);
        EXPECT_EQ(slider->value(), c.shown);
        EXPECT_EQ(Stored(f.registry, c.setting), static_cast<std::uint32_t>(c.shown));
        EXPECT_EQ(f.Find<QLabel>(c.percentLabel)->text(), QString::number(c.shown) + "%");
        if (c.amountLabel) {
            EXPECT_EQ(f.Find<QLabel>(c.amountLabel)->text(), c.amount);
        }
        if (std::string(c.slider) == "tbrCPU_Threshold") {
            EXPECT_EQ(w.CPUThreshold(), c.shown);
        }
        EXPECT_TRUE(f.dialogs.messages.isEmpty());
    }
}

TEST(AutoFreeWindow, TheThresholdsTwoLowerLimits) {
    WindowFixture f;
    TfrmORmain& w = f.Create();
    auto* threshold = f.Find<QSlider>("tbrCPU_Threshold");
    threshold->setValue(10);
    ASSERT_EQ(threshold->value(), 25);
    EXPECT_EQ(w.CPUThreshold(), 25);
    // Holds through a trigger change; the next change of the automatic level raises it.
    f.Find<QSlider>("tbrAuto_Trigger_Level")->setValue(30);
    EXPECT_EQ(threshold->value(), 25);
    f.Find<QSlider>("tbrAuto_Level")->setValue(20);
    EXPECT_EQ(threshold->value(), 33);
    EXPECT_EQ(f.Find<QLabel>("lblCPU_Threshold")->text(), "33%");
    EXPECT_EQ(Stored(f.registry, "CPU Threshold"), 33u);
    EXPECT_EQ(w.CPUThreshold(), 33);
    // The unit switch runs the same raise.
    threshold->setValue(28);
    f.Find<QRadioButton>("rb_SI")->setChecked(true);
    EXPECT_EQ(threshold->value(), 33);
    EXPECT_EQ(Stored(f.registry, "CPU Threshold"), 33u);
}

TEST(AutoFreeWindow, AFailedStoreIsReportedAndTheNewValueHolds) {
    struct Case {
        const char* name;
        void (*change)(WindowFixture&);
        const char* message;
    };
    const Case cases[] = {
        {"level", [](WindowFixture& f) { f.Find<QSlider>("tbrAuto_Level")->setValue(40); },
         "Unable to automatic RAM to free level."},
        {"trigger",
         [](WindowFixture& f) { f.Find<QSlider>("tbrAuto_Trigger_Level")->setValue(40); },
         "Unable to automatic RAM to free trigger level."},
        {"threshold", [](WindowFixture& f) { f.Find<QSlider>("tbrCPU_Threshold")->setValue(40); },
         "Unable to store cpu threshold."},
        {"switch", [](WindowFixture& f) { f.Find<QCheckBox>("chbAuto_Free")->setChecked(true); },
         "Unable to store automatic RAM freeing."},
        {"silent",
         [](WindowFixture& f) { f.Find<QCheckBox>("chbAuto_Free_Silent")->setChecked(false); },
         "Unable to store automatic RAM freeing silent mode."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WindowFixture f;
        TfrmORmain& w = f.Create();
        f.registry.SetFailWrites(true);
        c.change(f);
        EXPECT_EQ(f.dialogs.messages, QStringList{c.message});
        if (std::string(c.name) == "threshold") {
            EXPECT_EQ(w.CPUThreshold(), 40);  // in force although not stored
        }
    }
}

TEST(AutoFreeWindow, StoredChoicesOfThePanelAreShownAfterStartUp) {
    WindowFixture f;
    f.Create();
    f.window.reset();
    f.registry.SetDword(kUser, kSettingsKeyPath, "Automatic RAM Freeing", 1);
    f.registry.SetDword(kUser, kSettingsKeyPath, "Automatic RAM Free Silent", 0);
    f.registry.SetDword(kUser, kSettingsKeyPath, "Automatic Level", 90);
    f.registry.SetDword(kUser, kSettingsKeyPath, "Automatic Trigger Level", 20);
    TfrmORmain& w = f.Create();
    EXPECT_TRUE(f.Find<QCheckBox>("chbAuto_Free")->isChecked());
    EXPECT_FALSE(f.Find<QCheckBox>("chbAuto_Free_Silent")->isChecked());
    EXPECT_EQ(f.Find<QSlider>("tbrAuto_Level")->value(), 75);
    EXPECT_EQ(Stored(f.registry, "Automatic Level"), 75u);
    EXPECT_EQ(f.Find<QLabel>("lblAutoRAMtoFree")->text(), "768 MiB");
    EXPECT_EQ(f.Find<QLabel>("lblRAMTrigger")->text(), "205 MiB");  // 1024 / 100 × 20 = 204.8
    EXPECT_EQ(w.AutoFreeAmount(), 768);
    EXPECT_EQ(w.AutoTriggerAmount(), 205);
    EXPECT_EQ(w.QuietTicks(), 0);
    EXPECT_TRUE(f.dialogs.messages.isEmpty());
}

TEST(AutoFreeWindow, AmountsFollowTheUnitSystem) {
    WindowFixture f;
    f.memory.status.totalPhys = 2048 * kMiB;  // 2,048 units in IEC, 2,147 in SI
    TfrmORmain& w = f.Create();
    // 2048 / 100 × 15 = 307.2; 2147 / 100 × 15 = 322.05.
    EXPECT_EQ(f.Find<QLabel>("lblAutoRAMtoFree")->text(), "307 MiB");
    EXPECT_EQ(f.Find<QLabel>("lblRAMTrigger")->text(), "307 MiB");
    f.Find<QRadioButton>("rb_SI")->setChecked(true);
    EXPECT_EQ(f.Find<QLabel>("lblAutoRAMtoFree")->text(), "322 MB");
    EXPECT_EQ(f.Find<QLabel>("lblRAMTrigger")->text(), "322 MB");
    EXPECT_EQ(w.AutoFreeAmount(), 322);
    EXPECT_EQ(w.AutoTriggerAmount(), 322);
    f.Find<QRadioButton>("rb_IEC")->setChecked(true);
    EXPECT_EQ(f.Find<QLabel>("lblRAMTrigger")->text(), "307 MiB");
    EXPECT_EQ(w.AutoTriggerAmount(), 307);
}

TEST(HotKeyWindow, APressOnTheKeysOwnThreadTogglesTheButtonOnTheWindowsThread) {
    WindowFixture f;
    TfrmORmain& w = f.Create();
    ASSERT_TRUE(f.hotKey.Registered());
    ASSERT_FALSE(w.isVisible());
    auto* button = f.Find<QPushButton>("btnTest_Auto_Free");
    for (bool hiddenAfter : {false, true, false}) {
        std::thread([&] { f.hotKey.Press(); }).join();
        EXPECT_NE(button->isHidden(), hiddenAfter);  // handed over, not run on the key's thread
        QCoreApplication::processEvents();
        EXPECT_EQ(button->isHidden(), hiddenAfter);
    }
    f.window.reset();
    EXPECT_FALSE(f.hotKey.Registered());  // the key is let go with the window
}

TEST(HotKeyWindow, AKeyThatCannotBeRegisteredIsNotReported) {
    WindowFixture f;
    f.hotKey.refuse = true;
    TfrmORmain& w = f.Create();
    EXPECT_EQ(f.hotKey.registrations, 1);
    EXPECT_FALSE(w.Starting());
    EXPECT_TRUE(f.dialogs.messages.isEmpty());
    EXPECT_TRUE(f.Find<QPushButton>("btnTest_Auto_Free")->isHidden());
}

TEST(ProcessorFigure, IdleShowsOneAndAFailedSampleKeepsTheLastFigure) {
    WindowFixture f;
    TfrmORmain& w = Armed(f);
    auto* label = f.Find<QLabel>("lbl_Used_CPU");
    auto* bar = f.Find<GradientBar>("pbrCPU");
    struct Tick {
        int load;          // percent every instance reports
        bool sampleFails;  // the sample cannot be taken
        const char* shown;
        int figure;
    };
    const Tick ticks[] = {
        {0, false, "1%", 1},     // idle: 1, never 0
        {50, false, "50%", 50},  // one of two processors busy
        {90, true, "50%", 50},   // failed: the previous figure stays
        {90, false, "90%", 90}, {100, false, "100%", 100}, {0, true, "100%", 100},
    };
    for (const Tick& t : ticks) {
        SCOPED_TRACE(std::string(t.shown) + (t.sampleFails ? " after a failed sample" : ""));
        SetLoad(f, t.load);
        f.processor.sampleFails = t.sampleFails;
        w.tmrCheckCPUTimer();
        EXPECT_EQ(label->text(), t.shown);
        EXPECT_EQ(bar->value(), t.figure);
        EXPECT_EQ(w.CPULoad(), t.figure);
    }
}

TEST(ProcessorFigure, TheRuleGoesOnComparingTheLastGoodFigure) {
    WindowFixture f;
    TfrmORmain& w = Armed(f);
    f.Find<QCheckBox>("chbAuto_Free")->setChecked(true);
    SetLoad(f, 90);  // above the threshold of 75
    w.tmrCheckCPUTimer();
    f.processor.sampleFails = true;
    SetLoad(f, 0);
    for (int i = 0; i < 70; ++i) w.tmrCheckCPUTimer();
    EXPECT_EQ(w.QuietTicks(), 0);
    EXPECT_EQ(f.heap.obtainCalls, 0);
    f.processor.sampleFails = false;
    for (int i = 0; i < 60; ++i) w.tmrCheckCPUTimer();
    EXPECT_EQ(f.heap.obtainCalls, 150);
}

TEST(ProcessorFigure, ATickDuringStartUpDoesNothing) {
    WindowFixture f;
    // A saved log makes start-up process pending messages while it reads it, which is where a
    // tick of the already running timer is delivered.
    f.Create();
    f.window->CleanRAM(10);
    f.window.reset();
    f.registry.SetDword(kUser, kSettingsKeyPath, "Automatic RAM Freeing", 1);
    f.memory.status.availPhys = 10 * kMiB;
    f.processor.usages = {0, 0, 0};
    const std::int64_t obtainedBefore = f.heap.obtainCalls;
    const int samplesBefore = f.processor.samples;

    int ticksDuringStartUp = 0;
    QTimer::singleShot(0, [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* w = qobject_cast<TfrmORmain*>(top);
            if (!w || !w->Starting()) continue;
            for (int i = 0; i < 100; ++i) w->tmrCheckCPUTimer();
            ticksDuringStartUp += 100;
        }
    });
    TfrmORmain& w = f.Create();
    ASSERT_EQ(ticksDuringStartUp, 100);
    EXPECT_EQ(f.processor.samples, samplesBefore);
    EXPECT_EQ(f.heap.obtainCalls, obtainedBefore);
    EXPECT_EQ(f.Find<QLabel>("lbl_Used_CPU")->text(), "0");
    EXPECT_EQ(f.Find<GradientBar>("pbrCPU")->value(), 1);
    EXPECT_EQ(w.CPULoad(), 1);  // copied from the bar by start-up
}

TEST(TargetCaption, RoundsTheHundredthTiesToEven) {
    struct Case {
        std::int64_t totalBytes;
        bool si;
        int position;
        const char* caption;
    };
    // IEC totals read one unit above the whole MiB (1249 MiB installed: 1,250 units).
    const Case cases[] = {
        {1249 * kMiB, false, 50, "RAM to free: 50% (600 MiB)"},  // 12.5 → 12
        {1349 * kMiB, false, 50, "RAM to free: 50% (700 MiB)"},  // 13.5 → 14
        {1250 * 1000000LL, true, 50, "RAM to free: 50% (600 MB)"},
        {1249 * kMiB, false, 100, "RAM to free: 90% (1080 MiB)"},
        {1249 * kMiB, false, 0, "RAM to free: 5% (60 MiB)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        WindowFixture f;
        f.memory.status.totalPhys = c.totalBytes;
        f.memory.status.availPhys = c.totalBytes / 4;
        TfrmORmain& w = f.Create();
        if (c.si) f.Find<QRadioButton>("rb_SI")->setChecked(true);
        w.UpdateMemoryFigures();
        auto* slider = f.Find<QSlider>("tbrTarget");
        slider->setValue(c.position);
        w.tbrTargetMouseUp();
        const int shown = slider->value();
        EXPECT_EQ(f.Find<TsuiPanel>("pnlFree")->caption(), c.caption);
        EXPECT_EQ(f.Find<GradientBar>("pbrTargetRAM")->value(), shown);
        EXPECT_EQ(f.Find<ScopeGraph>("scpGraph")->BaseLine(), shown);
        EXPECT_EQ(Stored(f.registry, "Target RAM"), static_cast<std::uint32_t>(shown));
    }
}

TEST(Presets, EachRunsOnePassOfItsPercentage) {
    struct Case {
        const char* action;
        int percent;
        bool setsBar;
    };
    const Case cases[] = {
        {"LightClean1", 25, true}, {"MediumClean1", 55, true}, {"HeavyClean1", 80, true},
        {"Preset95", 95, false},   {"Preset40", 40, false},    {"Preset10", 10, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        WindowFixture f;
        TfrmORmain& w = f.Create();
        f.QuietTimers();
        w.UpdateMemoryFigures();  // 1,025 units: 10 per percent
        f.Find<QSpinBox>("spnAtempts")->setValue(3);
        std::optional<std::uint32_t> attemptsDuring;
        f.heap.onObtain = [&] {
            if (!attemptsDuring) attemptsDuring = Stored(f.registry, "Attempts");
        };
        w.TrayMenu()->findChild<QAction*>(c.action)->trigger();
        EXPECT_EQ(f.heap.obtainCalls, 10 * c.percent);
        EXPECT_EQ(w.LogTable().Cell(3, 1), std::to_string(10 * c.percent) + " MiB");
        EXPECT_EQ(attemptsDuring, 1u);
        EXPECT_EQ(Stored(f.registry, "Attempts"), 3u);
        EXPECT_EQ(f.Find<GradientBar>("pbrTargetRAM")->value(), c.setsBar ? c.percent : 20);
        EXPECT_EQ(f.Find<QSlider>("tbrTarget")->value(), 20);
        EXPECT_FALSE(w.isVisible());
    }
}

}  // namespace
}  // namespace orp
