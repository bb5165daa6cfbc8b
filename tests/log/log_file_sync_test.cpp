#include "log/log_file_sync.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fakes/scratch_dir.h"
#include "log/cleaning_log.h"
#include "log/grid_file.h"

namespace orp {
namespace {

// Another instance's command-line run: load the shared file, add a row, save.
void RunElsewhere(const std::string& dir, const std::string& when) {
    StringTable other;
    ResetLog(other);
    ASSERT_TRUE(LoadLog(other, dir));
    StartLogRow(other, when, "100 MiB", "900 MiB");
    ASSERT_TRUE(SaveLog(other, dir));
}

TEST(LogFileSync, TellsChangesElsewhereFromChangesHere) {
    test::ScratchDir d;
    StringTable log;
    ResetLog(log);
    ASSERT_TRUE(SaveLog(log, d.Dir()));
    LogFileSync sync;
    sync.Loaded(log, d.Dir());
    EXPECT_FALSE(sync.FileChangedElsewhere(d.Dir()));
    EXPECT_FALSE(sync.ChangedHere(log));

    RunElsewhere(d.Dir(), "cron");
    EXPECT_TRUE(sync.FileChangedElsewhere(d.Dir()));
    EXPECT_FALSE(sync.ChangedHere(log));

    log.SetColWidth(0, 200);
    EXPECT_TRUE(sync.ChangedHere(log));
    ASSERT_TRUE(SaveLog(log, d.Dir()));
    sync.Saved(log);
    EXPECT_FALSE(sync.FileChangedElsewhere(d.Dir()));
    EXPECT_FALSE(sync.ChangedHere(log));

    // A file that vanished is not a write made elsewhere.
    std::filesystem::remove(LogFilePath(d.Dir()));
    EXPECT_FALSE(sync.FileChangedElsewhere(d.Dir()));
}

TEST(LogFileSync, AMalformedFileLoadedIsNoChangeElsewhereSoTheEndRewritesIt) {
    test::ScratchDir d;
    test::WriteBytes(LogFilePath(d.Dir()), "5,2\r\ngarbage\r\n0,0,Date & Time\r\n");
    StringTable log;
    ResetLog(log);
    ASSERT_TRUE(LoadLog(log, d.Dir()));
    LogFileSync sync;
    sync.Loaded(log, d.Dir());
    EXPECT_FALSE(sync.FileChangedElsewhere(d.Dir()));
    EXPECT_NE(GridFileText(log), test::ReadBytes(LogFilePath(d.Dir())));
}

}  // namespace
}  // namespace orp
