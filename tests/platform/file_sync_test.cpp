#include "platform/file_sync.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include "fakes/scratch_dir.h"
#include "log/cleaning_log.h"
#include "log/file_replace.h"
#include "log/grid_file.h"

namespace orp {
namespace {

using test::ReadBytes;
using test::ScratchDir;
using test::WriteBytes;

TEST(SyncToStorage, SyncsFilesAndDirectoriesAndFailsForMissingPaths) {
    ScratchDir dir;
    WriteBytes(dir.File("f"), "data");
    EXPECT_TRUE(SyncToStorage(dir.File("f")));
    EXPECT_TRUE(SyncToStorage(dir.Path()));
    EXPECT_FALSE(SyncToStorage(dir.File("missing")));
    EXPECT_FALSE(SyncToStorage(""));
}

// Stands in for a full disk: the process may not grow any file beyond `bytes`, and a write
// past that point fails with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lim = old_;
        lim.rlim_cur = bytes;
        ok_ = setrlimit(RLIMIT_FSIZE, &lim) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    bool Ok() const { return ok_; }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
    bool ok_ = false;
};

StringTable ALongLog() {
    StringTable log;
    ResetLog(log);
    for (int i = 0; i < 2000; ++i) {
        StartLogRow(log, "01/01/2024 09:00:" + std::to_string(i), "100 MiB", "900 MiB");
        SetLogTarget(log, "500 MiB");
        SetLogCleared(log, "50 MiB");
    }
    return log;
}

TEST(AtomicSaveOnAFullDisk, TheWriteFailsAndThePreviousFileStays) {
    using Writer = void (*)(const StringTable&, const std::string&);
    const std::pair<const char*, Writer> writers[] = {{"grid file", &SaveGridFile},
                                                      {"csv", &SaveCSV}};
    const StringTable log = ALongLog();
    ASSERT_GT(GridFileText(log).size(), 64u * 1024);
    for (const auto& [name, write] : writers) {
        SCOPED_TRACE(name);
        ScratchDir dir;
        const std::string target = dir.File("orpram.orl");
        WriteBytes(target, "previous contents");
        {
            FileSizeLimit full(16 * 1024);
            ASSERT_TRUE(full.Ok());
            try {
                write(log, target);
                ADD_FAILURE() << "a write that hit the limit was reported as success";
            } catch (const GridFileError& e) {
                EXPECT_EQ(std::string(e.what()).rfind("I/O error writing " + target, 0), 0u)
                    << e.what();
            }
        }
        EXPECT_EQ(ReadBytes(target), "previous contents");
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"orpram.orl"});
    }
}

TEST(AtomicSaveOnAFullDisk, SaveLogReportsFalseAndKeepsTheLog) {
    ScratchDir dir;
    const StringTable log = ALongLog();
    ASSERT_TRUE(SaveLog(log, dir.Dir()));
    const std::string before = ReadBytes(dir.File(kLogFileName));
    StringTable longer = log;
    StartLogRow(longer, "02/01/2024 09:00:00", "1 MiB", "2 MiB");
    {
        FileSizeLimit full(16 * 1024);
        ASSERT_TRUE(full.Ok());
        EXPECT_FALSE(SaveLog(longer, dir.Dir()));
    }
    EXPECT_EQ(ReadBytes(dir.File(kLogFileName)), before);
    StringTable loaded;
    ASSERT_TRUE(LoadLog(loaded, dir.Dir()));
    EXPECT_TRUE(loaded.SameContents(log));
}

TEST(GridFilesAndFifos, NeitherTheReaderNorTheWritersBlockOnAFifo) {
    ScratchDir dir;
    const std::string fifo = dir.File("orpram.orl");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    StringTable log;
    ResetLog(log);
    EXPECT_FALSE(LoadLog(log, dir.Dir()));
    EXPECT_FALSE(SaveLog(log, dir.Dir()));
    EXPECT_THROW(SaveCSV(log, fifo), GridFileError);
    EXPECT_EQ(std::filesystem::status(fifo).type(), std::filesystem::file_type::fifo);
}

TEST(AtomicSaveWithTheSystemsSync, SavesThroughTheInstalledSyncer) {
    SetFileSyncer(SyncToStorage);
    ScratchDir dir;
    const StringTable log = ALongLog();
    const bool saved = SaveLog(log, dir.Dir());
    SetFileSyncer({});
    ASSERT_TRUE(saved);
    EXPECT_EQ(ReadBytes(dir.File(kLogFileName)), GridFileText(log));
}

}  // namespace
}  // namespace orp
