// Freeing through the window: the run's log row and display, the command line, the presets and
// the rule that one run excludes another.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>

#include "fakes/window_fixture.h"
#include "log/grid_file.h"
#include "settings/command_line.h"
#include "settings/settings_store.h"
#include "ui/gradient_bar.h"

namespace orp {
namespace {

constexpr RegRoot kUser = RegRoot::CurrentUser;

TEST(CleanRAM, FirstRunFillsRowOneAndTheNextRunGoesOnTop) {
    WindowFixture f;
    TfrmORmain& w = f.Create();
    w.UpdateMemoryFigures();  // 1025 units total, 314 free
    const std::int64_t n = w.TargetBlocks(20);
    ASSERT_EQ(n, 200);  // round(10.25) × 20
    w.CleanRAM(20);
    const StringTable& log = w.LogTable();
    ASSERT_EQ(log.RowCount(), 2);
    EXPECT_FALSE(log.Cell(0, 1).empty());
    EXPECT_EQ(log.Cell(1, 1), "314 MiB");
    EXPECT_EQ(log.Cell(2, 1), "711 MiB");
    EXPECT_EQ(log.Cell(3, 1), "200 MiB");
    EXPECT_EQ(log.Cell(4, 1), "0 MiB");
    EXPECT_EQ(f.heap.obtainCalls, 2 * n);  // two passes: the stored default
    EXPECT_EQ(f.heap.releaseCalls, 2 * n);

    // More free memory after the second run: the difference is recorded.
    f.memory.status.availPhys += 100 * WindowFixture::kMiB;
    w.CleanRAM(20);
    ASSERT_EQ(log.RowCount(), 3);
    EXPECT_EQ(log.Cell(4, 1), "100 MiB");
    EXPECT_EQ(log.Cell(4, 2), "0 MiB");
    // Both runs reached the file.
    StringTable reloaded;
    LoadGridFile(reloaded, f.LogPath());
    EXPECT_EQ(reloaded.RowCount(), 3);
    EXPECT_EQ(reloaded.Cell(4, 1), "100 MiB");
}

TEST(CleanRAM, RestoresTheWindowAndTimersAndLeavesNoBlockHeld) {
    WindowFixture f;
    TfrmORmain& w = f.Create();
    f.Find<QSpinBox>("spnAtempts")->setValue(1);
    w.CleanRAM(10);
    EXPECT_TRUE(f.Find<QTabWidget>("pg_RAM")->isEnabled());
    EXPECT_TRUE(f.Find<QPushButton>("btnFreeRAM")->isEnabled());
    EXPECT_TRUE(f.Find<QWidget>("pnlPass")->isHidden());
    EXPECT_TRUE(f.Find<QWidget>("pnlFreeing_RAM")->isHidden());
    EXPECT_EQ(f.Find<QLabel>("lblPass")->text(), "Pass 1 of 1");
    EXPECT_EQ(f.Find<QLabel>("lblWorking")->text(), "100%");
    EXPECT_TRUE(f.window->findChild<QTimer*>("tmrUsage")->isActive());
    EXPECT_TRUE(f.window->findChild<QTimer*>("tmrCheckCPU")->isActive());
    EXPECT_TRUE(f.window->findChild<QTimer*>("tmr_Process")->isActive());
    EXPECT_EQ(f.heap.obtainCalls, f.heap.releaseCalls);
}

TEST(CleanRAM, EscAbortsAfterTheBlockInHandAndTheRunIsStillLogged) {
    WindowFixture f;
    TfrmORmain& w = f.Create();
    f.Find<QSpinBox>("spnAtempts")->setValue(2);
    auto* esc = w.findChild<QShortcut*>("AbortShortcut");
    ASSERT_NE(esc, nullptr);
    EXPECT_EQ(esc->key(), QKeySequence(Qt::Key_Escape));
    f.heap.onObtain = [&] {
        if (f.heap.obtainCalls == 5) emit esc->activated();
    };
    w.UpdateMemoryFigures();
    w.CleanRAM(20);
    EXPECT_EQ(f.heap.obtainCalls, 5);
    EXPECT_EQ(f.heap.releaseCalls, 5);
    EXPECT_EQ(w.LogTable().Cell(4, 1), "0 MiB");
    // The next run starts afresh: an abort applies to the run it was given in.
    f.heap.onObtain = nullptr;
    f.Find<QSpinBox>("spnAtempts")->setValue(1);
    w.CleanRAM(10);
    EXPECT_EQ(f.heap.obtainCalls, 5 + w.TargetBlocks(10));
}

TEST(CleanRAM, ATriggerDuringARunIsIgnored) {
    WindowFixture f;
    TfrmORmain& w = f.Create();
    f.Find<QSpinBox>("spnAtempts")->setValue(1);
    const std::int64_t n = w.TargetBlocks(10);
    // Delivered by the run's own message processing, as a tray click would be.
    QMetaObject::invokeMethod(
        &w, [&w] { w.RunPreset(95, false); }, Qt::QueuedConnection);
    QMetaObject::invokeMethod(
        &w, [&w] { w.CleanRAM(50); }, Qt::QueuedConnection);
    w.CleanRAM(10);
    EXPECT_EQ(f.heap.obtainCalls, n);
    EXPECT_EQ(w.LogTable().RowCount(), 2);
}

TEST(CommandLine, ValidCommandRunsSilentlyStoresPassesAndEnds) {
    WindowFixture f;
    f.params = {"/F:50", "/A:4", "/S:YES"};
    TfrmORmain& w = f.Create();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(w.EndRequested());
    EXPECT_EQ(w.ExitCode(), 0);
    const std::int64_t n = 10 * 50;  // refreshed first: round(1025 / 100) × 50
    EXPECT_EQ(f.heap.obtainCalls, 4 * n);
    EXPECT_EQ(f.registry.Dword(kUser, kSettingsKeyPath, "Attempts"), 4u);
    EXPECT_EQ(w.LogTable().Cell(3, 1), "500 MiB");
    EXPECT_TRUE(QFile::exists(QString::fromStdString(f.LogPath())));
}

TEST(CommandLine, NotSilentShowsTheMemoryPage) {
    WindowFixture f;
    f.params = {"/a:2", "/s:no", "/f:50"};
    TfrmORmain& w = f.Create();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(f.Find<QTabWidget>("pg_RAM")->currentWidget(), f.Find<QWidget>("tab_FreeMemory"));
    EXPECT_GT(f.heap.obtainCalls, 0);
}

TEST(CommandLine, InvalidCommandsEndWithoutARunAndWithAStatus) {
    const std::vector<std::vector<std::string>> cases = {
        {"/f:abc", "/a:2", "/s:t"}, {"/f:50", "/a:2"}, {"/f:50", "/a:2", "extra"}};
    for (const auto& params : cases) {
        WindowFixture f;
        f.params = params;
        TfrmORmain& w = f.Create();
        EXPECT_TRUE(w.EndRequested());
        EXPECT_NE(w.ExitCode(), 0);
        EXPECT_EQ(f.heap.obtainCalls, 0);
        EXPECT_EQ(w.LogTable().Cell(0, 1), "");
    }
}

TEST(CommandLine, HelpIsShownAndEndsTheProgram) {
    WindowFixture f;
    f.params = {"/?"};
    TfrmORmain& w = f.Create();
    ASSERT_EQ(f.dialogs.helps.size(), 1);
    EXPECT_EQ(f.dialogs.helps[0].toStdString(), CommandLineHelpText());
    EXPECT_TRUE(w.EndRequested());
    EXPECT_EQ(w.ExitCode(), 0);
}

TEST(Presets, OnePassAttemptsRestoredAndWindowBackInTheTray) {
    WindowFixture f;
    TfrmORmain& w = f.Create();
    auto* attempts = f.Find<QSpinBox>("spnAtempts");
    attempts->setValue(3);
    w.ShowMainWindow1Click();
    w.TrayMenu()->findChild<QAction*>("MediumClean1")->trigger();
    EXPECT_EQ(f.heap.obtainCalls, w.TargetBlocks(55));
    EXPECT_EQ(attempts->value(), 3);
    EXPECT_EQ(f.registry.Dword(kUser, kSettingsKeyPath, "Attempts"), 3u);
    EXPECT_FALSE(w.isVisible());
    // The bar shows the preset, the slider and the caption keep the target.
    EXPECT_EQ(f.Find<GradientBar>("pbrTargetRAM")->value(), 55);
    EXPECT_EQ(f.Find<QSlider>("tbrTarget")->value(), 20);
}

TEST(Presets, NinetyFivePassesTheSlidersLimit) {
    WindowFixture f;
    TfrmORmain& w = f.Create();
    w.TrayMenu()->findChild<QAction*>("Preset95")->trigger();
    EXPECT_EQ(w.LogTable().Cell(3, 1), std::to_string(w.TargetBlocks(95)) + " MiB");
    EXPECT_EQ(f.Find<GradientBar>("pbrTargetRAM")->value(), 20);
}

TEST(TargetSlider, ClampsShowsAndStoresOnRelease) {
    WindowFixture f;
    TfrmORmain& w = f.Create();
    auto* slider = f.Find<QSlider>("tbrTarget");
    slider->setValue(100);
    EXPECT_EQ(slider->value(), 90);
    EXPECT_EQ(f.Find<GradientBar>("pbrTargetRAM")->value(), 90);
    EXPECT_EQ(f.registry.Dword(kUser, kSettingsKeyPath, "Target RAM"), 20u);  // not yet released
    w.tbrTargetMouseUp();
    EXPECT_EQ(f.registry.Dword(kUser, kSettingsKeyPath, "Target RAM"), 90u);
    slider->setValue(0);
    EXPECT_EQ(slider->value(), 5);
    f.registry.SetFailWrites(true);
    w.tbrTargetMouseUp();
    EXPECT_EQ(f.dialogs.messages, QStringList{"Unable to store automatic RAM level."});
}

TEST(HotKey, TogglesTheTestButton) {
    WindowFixture f;
    TfrmORmain& w = f.Create();
    auto* button = f.Find<QPushButton>("btnTest_Auto_Free");
    EXPECT_TRUE(button->isHidden());
    w.LMDGlobalHotKey2KeyDown();
    EXPECT_FALSE(button->isHidden());
    w.LMDGlobalHotKey2KeyDown();
    EXPECT_TRUE(button->isHidden());
}

}  // namespace
}  // namespace orp
