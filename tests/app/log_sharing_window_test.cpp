// The tray instance and a command-line run beside it share "orpram.orl": neither may lose the
// other's rows.
#include <gtest/gtest.h>

#include <QSpinBox>

#include "fakes/window_fixture.h"
#include "log/cleaning_log.h"
#include "log/grid_file.h"

namespace orp {
namespace {

void RunElsewhere(const std::string& dir) {
    StringTable other;
    ResetLog(other);
    ASSERT_TRUE(LoadLog(other, dir));
    StartLogRow(other, "from cron", "100 MiB", "900 MiB");
    ASSERT_TRUE(SaveLog(other, dir));
}

StringTable FileLog(const WindowFixture& f) {
    StringTable t;
    LoadGridFile(t, f.LogPath());
    return t;
}

TEST(SharedLog, ARunHereTakesInTheRowWrittenElsewhereFirst) {
    WindowFixture f;
    TfrmORmain& w = f.Create();
    f.Find<QSpinBox>("spnAtempts")->setValue(1);
    w.UpdateMemoryFigures();
    w.CleanRAM(10);
    RunElsewhere(f.dir.path().toStdString() + "/");
    w.CleanRAM(10);
    const StringTable file = FileLog(f);
    ASSERT_EQ(file.RowCount(), 4);
    EXPECT_EQ(file.Cell(1, 1), "314 MiB");  // this instance's second run, newest
    EXPECT_EQ(file.Cell(0, 2), "from cron");
    EXPECT_EQ(file.Cell(3, 3), std::to_string(w.TargetBlocks(10)) + " MiB");
    EXPECT_EQ(w.LogTable().RowCount(), 4);
}

TEST(SharedLog, EndingWithNothingNewHereKeepsTheRowWrittenElsewhere) {
    WindowFixture f;
    f.Create();
    RunElsewhere(f.dir.path().toStdString() + "/");
    f.window.reset();
    EXPECT_EQ(FileLog(f).Cell(0, 1), "from cron");
}

TEST(SharedLog, WhatTheUserDidHereWinsAtTheEnd) {
    WindowFixture f;
    TfrmORmain& w = f.Create();
    f.Find<QSpinBox>("spnAtempts")->setValue(1);
    w.CleanRAM(10);  // saved
    f.dialogs.answerYes = true;
    w.itm_ClearLog1Click();  // not saved until the end
    RunElsewhere(f.dir.path().toStdString() + "/");
    f.window.reset();
    const StringTable file = FileLog(f);
    EXPECT_EQ(file.RowCount(), 2);
    EXPECT_EQ(file.Cell(0, 1), "");
}

}  // namespace
}  // namespace orp
