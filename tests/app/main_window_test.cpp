// The real window, offscreen, over fake ports: start-up, life between tray and screen, the
// figures it shows and the settings it applies and stores.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTimer>

#include "app/application.h"
#include "fakes/window_fixture.h"
#include "settings/settings_store.h"
#include "ui/controls.h"
#include "ui/gradient_bar.h"
#include "ui/scope_graph.h"

namespace orp {
namespace {

constexpr RegRoot kUser = RegRoot::CurrentUser;
std::optional<std::uint32_t> Stored(const FakeRegistry& r, const char* name) {
    return r.Dword(kUser, kSettingsKeyPath, name);
}

TEST(MainWindowStartUp, FirstStartStaysInTheTrayWithDefaultsStoredAndShown) {
    WindowFixture f;
    TfrmORmain& w = f.Create();
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(w.Starting());
    EXPECT_EQ(f.Find<QTabWidget>("pg_RAM")->currentWidget(), f.Find<QWidget>("tab_FreeMemory"));
    ASSERT_EQ(w.LogTable().RowCount(), 2);
    EXPECT_EQ(w.LogTable().Cell(0, 1), "");
    EXPECT_TRUE(f.dialogs.messages.isEmpty());

    const std::pair<const char*, std::uint32_t> defaults[] = {{"Auto Start", 0},
                                                              {"Update Period", 1},
                                                              {"Attempts", 2},
                                                              {"Automatic RAM Freeing", 0},
                                                              {"Automatic RAM Free Silent", 1},
                                                              {"Automatic Level", 15},
                                                              {"Automatic Trigger Level", 15},
                                                              {"CPU Threshold", 75},
                                                              {"Target RAM", 20},
                                                              {"Monitor View", 1},
                                                              {"Global Font", 16777215},
                                                              {"Unload DLLs", 1},
                                                              {"IEC", 1},
                                                              {"Processes", 1},
                                                              {"Processes Update", 30}};
    for (const auto& [name, value] : defaults) EXPECT_EQ(Stored(f.registry, name), value) << name;

    EXPECT_EQ(f.Find<QSlider>("tbrTarget")->value(), 20);
    EXPECT_EQ(f.Find<QSlider>("tbrAuto_Level")->value(), 15);
    EXPECT_EQ(f.Find<QSlider>("tbrAuto_Trigger_Level")->value(), 15);
    EXPECT_EQ(f.Find<QSlider>("tbrCPU_Threshold")->value(), 75);
    EXPECT_EQ(f.Find<QSpinBox>("spnAtempts")->value(), 2);
    EXPECT_EQ(f.Find<QLabel>("lblttempts")->text(), "attempts to free target RAM.");
    EXPECT_EQ(f.Find<QLabel>("lblSec")->text(), "second.");
    EXPECT_TRUE(f.Find<QCheckBox>("chbUsedRAM")->isChecked());
    EXPECT_TRUE(f.Find<QCheckBox>("cbx_Unload_DLLs")->isChecked());
    EXPECT_TRUE(f.Find<QCheckBox>("chbAuto_Free_Silent")->isChecked());
    EXPECT_FALSE(f.Find<QCheckBox>("chbAuto_Free")->isChecked());
    EXPECT_TRUE(f.Find<QRadioButton>("rb_IEC")->isChecked());
    EXPECT_EQ(f.Find<QSpinBox>("spn_Process")->value(), 30);
    // The later steps ran: caption, amounts, help path, About caption.
    EXPECT_EQ(f.Find<TsuiPanel>("pnlFree")->caption(), "RAM to free: 20% (200 MiB)");
    EXPECT_EQ(f.Find<TsuiPanel>("pnlAbout")->caption(), "About Orrindo Pro (version 2.2.0.1)");
    EXPECT_EQ(w.HelpDocument(), f.dir.path() + "/Orrindo Pro.chm");
    EXPECT_TRUE(f.Find<ScopeGraph>("scpGraph")->Active());
}

TEST(MainWindowStartUp, AnErrorEndsTheSequenceAtItsStepAndKeepsTheGuardsOn) {
    WindowFixture f;
    f.registry.SetFailWrites(true);  // creating the settings key with its defaults fails
    f.params = {"/f:50", "/a:2", "/s:true"};
    TfrmORmain& w = f.Create();
    ASSERT_EQ(f.dialogs.messages.size(), 1);
    EXPECT_TRUE(f.dialogs.messages[0].startsWith("Orrindo Pro has encountered an error:\r\n\r\n"));
    EXPECT_TRUE(w.Starting());
    // Steps before the failure ran, steps after it did not.
    EXPECT_EQ(f.Find<TsuiPanel>("pnlTotal")->caption(), "Total RAM:1024 MiB");
    EXPECT_EQ(f.Find<TsuiPanel>("pnlFree")->caption(), "Targeted RAM to free: 0%");
    EXPECT_EQ(f.Find<TsuiPanel>("pnlAbout")->caption(), "About Orrindo Pro (version )");
    EXPECT_TRUE(f.runEntries.entries().empty());
    EXPECT_EQ(f.heap.obtainCalls, 0);  // the command line was never examined
    // A handler guarded by start-up still does nothing.
    f.Find<QCheckBox>("chbAuto_Start")->setChecked(true);
    EXPECT_TRUE(f.runEntries.entries().empty());
}

TEST(MainWindowStartUp, StoredChoicesAreAppliedWithoutEchoingOutside) {
    WindowFixture f;
    f.Create();
    f.window.reset();
    f.registry.SetDword(kUser, kSettingsKeyPath, "Auto Start", 1);
    f.registry.SetDword(kUser, kSettingsKeyPath, "Attempts", 25);
    f.registry.SetDword(kUser, kSettingsKeyPath, "CPU Threshold", 10);
    f.registry.SetDword(kUser, kSettingsKeyPath, "Monitor View", 9);
    f.runEntries.Set("Orrindo", "\"/old/ORPRAM\"");
    f.Create();
    // Ticking the box while starting registers the launcher, not the running program.
    EXPECT_EQ(f.runEntries.Get("Orrindo Pro"), "\"" + f.dir.path().toStdString() + "/ORPstub\"");
    EXPECT_FALSE(f.runEntries.Get("Orrindo").has_value());
    EXPECT_EQ(f.Find<QSpinBox>("spnAtempts")->value(), 10);
    EXPECT_EQ(Stored(f.registry, "Attempts"), 10u);
    EXPECT_EQ(f.Find<QSlider>("tbrCPU_Threshold")->value(), 33);
    EXPECT_EQ(Stored(f.registry, "CPU Threshold"), 33u);
    EXPECT_FALSE(f.Find<QCheckBox>("chbUsedRAM")->isChecked());
    EXPECT_TRUE(f.Find<QCheckBox>("chbFreeRAM")->isChecked());
    EXPECT_TRUE(f.Find<QCheckBox>("chbCPU")->isChecked());
}

TEST(MainWindowStartUp, AValueOfTheWrongTypeIsReportedAtEveryStartAndShowing) {
    WindowFixture f;
    f.Create();
    f.window.reset();
    f.registry.MakeWrongType(kUser, kSettingsKeyPath, "IEC");
    f.registry.SetDword(kUser, kSettingsKeyPath, "Target RAM", 60);
    f.Create();
    EXPECT_EQ(f.dialogs.messages, QStringList{"Unable to access Orrindo settings."});
    EXPECT_EQ(f.Find<QSlider>("tbrTarget")->value(), 5);  // design 0, clamped by the caption
    f.window->ShowMainWindow1Click();
    EXPECT_EQ(f.dialogs.messages.size(), 2);
    EXPECT_EQ(f.Find<QSlider>("tbrTarget")->value(), 5);
}

TEST(MainWindowLife, ShowingReappliesTheStoreAndClosingHidesToTheTray) {
    WindowFixture f;
    TfrmORmain& w = f.Create();
    f.registry.SetDword(kUser, kSettingsKeyPath, "Target RAM", 40);
    w.ShowMainWindow1Click();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(f.Find<QSlider>("tbrTarget")->value(), 40);
    w.close();
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(w.EndRequested());
}

TEST(MainWindowLife, WithoutANotificationAreaClosingMinimises) {
    WindowFixture f;
    f.trayAvailable = false;
    TfrmORmain& w = f.Create();
    w.ShowMainWindow1Click();
    w.close();
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.isMinimized());
}

TEST(MainWindowLife, ExitRequestsTheEndAndDestructionSavesTheLog) {
    WindowFixture f;
    TfrmORmain& w = f.Create();
    w.LogTable().SetCell(0, 1, "kept");
    f.window->TrayMenu()->findChild<QAction*>("erminate1")->trigger();
    EXPECT_TRUE(w.EndRequested());
    f.window.reset();
    QFile log(QString::fromStdString(f.LogPath()));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("0,1,kept\r\n"));
}

TEST(MainWindowLife, TrayMenuHasItsItemsInOrder) {
    WindowFixture f;
    f.Create();
    QStringList captions;
    for (QAction* a : f.window->TrayMenu()->actions())
        captions << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(captions, (QStringList{"Cleam RAM", "-", "Light Clean", "Medium Clean", "Heavy Clean",
                                     "-", "Show Main Window", "-", "Exit Orrindo Pro"}));
}

TEST(MainWindowLife, ErrorTextHasTheBlankLine) {
    EXPECT_EQ(ErrorMessageText("boom"), "Orrindo Pro has encountered an error:\r\n\r\nboom");
}

TEST(MainWindowViews, RefreshShowsFiguresBarsGraphAndTrayHint) {
    struct Case {
        std::int64_t total, avail;
        const char* used;
        const char* free;
        int usedBar, freeBar;
    };
    const std::int64_t M = WindowFixture::kMiB;
    const Case cases[] = {
        {1073741824, 327155712, "712 MiB", "313 MiB", 69, 31},
        {199 * M, 140 * M, "59 MiB", "141 MiB", 29, 70},  // 59 and 141 of 200 units
    };
    for (const Case& c : cases) {
        WindowFixture f;
        TfrmORmain& w = f.Create();
        f.memory.status.totalPhys = c.total;
        f.memory.status.availPhys = c.avail;
        w.UpdateMemoryFigures();
        EXPECT_EQ(f.Find<QLabel>("lblUsedRAM")->text(), c.used);
        EXPECT_EQ(f.Find<QLabel>("lblFreeRAM")->text(), c.free);
        EXPECT_EQ(f.Find<GradientBar>("pbrUsedRAM")->value(), c.usedBar);
        EXPECT_EQ(f.Find<GradientBar>("pbrFreeRAM")->value(), c.freeBar);
        auto* graph = f.Find<ScopeGraph>("scpGraph");
        EXPECT_EQ(graph->Samples(0).back(), c.freeBar);
        EXPECT_EQ(graph->Samples(1).back(), 100 - c.freeBar);  // complement, not the used bar
        EXPECT_EQ(w.TrayHint(), QString("Orrindo Pro: ") + c.free + " free");
    }
}

TEST(MainWindowViews, GraphChannelsFollowTheBoxesAndHiddenOnesKeepTheirHistory) {
    WindowFixture f;
    TfrmORmain& w = f.Create();
    auto* graph = f.Find<ScopeGraph>("scpGraph");
    f.Find<QCheckBox>("chbCPU")->setChecked(false);
    EXPECT_TRUE(graph->ChannelVisible(2));  // applied by the next refresh, not by the click
    const auto before = graph->Samples(2).size();
    w.UpdateMemoryFigures();
    EXPECT_FALSE(graph->ChannelVisible(2));
    EXPECT_EQ(graph->Samples(2).size(), before + 1);
    EXPECT_EQ(graph->Samples(2).back(), 1);  // the CPU bar's design value
}

TEST(MainWindowViews, MonitorViewCodesAreStoredOnEveryClick) {
    WindowFixture f;
    f.Create();
    auto* used = f.Find<QCheckBox>("chbUsedRAM");
    auto* free = f.Find<QCheckBox>("chbFreeRAM");
    auto* cpu = f.Find<QCheckBox>("chbCPU");
    used->setChecked(false);
    free->setChecked(false);
    cpu->setChecked(false);
    EXPECT_EQ(Stored(f.registry, "Monitor View"), 0u);
    cpu->setChecked(true);
    EXPECT_EQ(Stored(f.registry, "Monitor View"), 5u);
    used->setChecked(true);
    free->setChecked(true);
    EXPECT_EQ(Stored(f.registry, "Monitor View"), 1u);
}

TEST(MainWindowViews, UpdatePeriodLabelTimerAndStore) {
    WindowFixture f;
    f.Create();
    auto* spin = f.Find<QSpinBox>("spnSec");
    auto* timer = f.window->findChild<QTimer*>("tmrUsage");
    spin->setValue(2);
    EXPECT_EQ(f.Find<QLabel>("lblSec")->text(), "seconds.");
    EXPECT_EQ(timer->interval(), 2000);
    EXPECT_EQ(Stored(f.registry, "Update Period"), 2u);
    f.registry.SetFailWrites(true);
    spin->setValue(30);
    EXPECT_EQ(timer->interval(), 30000);  // in force although the store failed
    EXPECT_EQ(f.dialogs.messages, QStringList{"Unable to store update period."});
}

TEST(MainWindowViews, UnitSwitchRewritesEveryAmountAndStores) {
    WindowFixture f;
    f.memory.status.totalPhys = 1073741824;
    TfrmORmain& w = f.Create();
    EXPECT_EQ(f.Find<TsuiPanel>("pnlTotal")->caption(), "Total RAM:1024 MiB");
    f.Find<QRadioButton>("rb_SI")->setChecked(true);
    EXPECT_FALSE(w.UseIEC());
    EXPECT_EQ(Stored(f.registry, "IEC"), 0u);
    EXPECT_EQ(f.Find<TsuiPanel>("pnlTotal")->caption(), "Total RAM:1074 MB");
    EXPECT_EQ(f.Find<QLabel>("lblTRAM")->text(), "Total RAM:1074 MB");
    EXPECT_TRUE(f.Find<QLabel>("lblFreeRAM")->text().endsWith(" MB"));
    EXPECT_TRUE(f.Find<QLabel>("lbl_Page")->text().endsWith(" MB"));
    EXPECT_TRUE(f.Find<QLabel>("lblAutoRAMtoFree")->text().endsWith(" MB"));
    EXPECT_TRUE(f.Find<QLabel>("lblRAMTrigger")->text().endsWith(" MB"));
    EXPECT_TRUE(f.Find<TsuiPanel>("pnlFree")->caption().endsWith(" MB)"));
    EXPECT_TRUE(w.TrayHint().endsWith(" MB free"));
}

TEST(MainWindowLog, ClearLogAsksAndOnlyYesClears) {
    WindowFixture f;
    TfrmORmain& w = f.Create();
    w.LogTable().InsertRow(1);
    w.LogTable().SetCell(0, 1, "a");
    w.LogTable().SetCell(0, 2, "b");
    f.dialogs.answerYes = false;
    w.itm_ClearLog1Click();
    ASSERT_EQ(f.dialogs.questions.size(), 1);
    EXPECT_EQ(f.dialogs.questions[0],
              "You should save the log before clearing all results.\r\n\r\nDo you wish to "
              "continue and clear the log now?");
    EXPECT_EQ(w.LogTable().RowCount(), 3);
    f.dialogs.answerYes = true;
    w.itm_ClearLog1Click();
    EXPECT_EQ(w.LogTable().RowCount(), 2);
    EXPECT_EQ(w.LogTable().Cell(0, 1), "");
    EXPECT_EQ(w.LogTable().Cell(0, 0), "Date & Time");
}

TEST(MainWindowLog, SaveLogAppendsCsvAlwaysAndCancelWritesNothing) {
    WindowFixture f;
    TfrmORmain& w = f.Create();
    const QString base = f.dir.path() + "/runs";
    f.dialogs.saveName = std::nullopt;
    w.itm_SaveLog1Click();
    EXPECT_FALSE(QFile::exists(base + ".csv"));
    for (const QString& chosen : {base, base + ".csv"}) {
        f.dialogs.saveName = chosen;
        w.itm_SaveLog1Click();
        EXPECT_TRUE(QFile::exists(chosen + ".csv")) << chosen.toStdString();
    }
}

}  // namespace
}  // namespace orp
