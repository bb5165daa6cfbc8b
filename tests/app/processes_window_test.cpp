// The Processes page through the real window: the rebuild at start-up and on its timer, the
// pop_Sort menu, the display switch and period on the Settings page, and the CSV export.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QSpinBox>
#include <QTimer>

#include <string>
#include <vector>

#include "fakes/window_fixture.h"
#include "settings/settings_store.h"

namespace orp {
namespace {

constexpr RegRoot kUser = RegRoot::CurrentUser;
constexpr std::uint64_t K = 1024;

std::optional<std::uint32_t> Stored(const FakeRegistry& r, const char* name) {
    return r.Dword(kUser, kSettingsKeyPath, name);
}

// Sizes chosen so that no two rows tie in any column and text order differs from number order
// ("1 K" < "10 K" < "100 K" < "9 K" as text).
std::vector<ProcessEntry> SampleProcesses() {
    return {
        {"Bash", 9 * K, 100 * K, 10 * K},  {"System Idle Process", 50 * K, 50 * K, 50 * K},
        {"zsh", 100 * K, 9 * K, 0},        {"ORPRAM.EXE", 70 * K, 70 * K, 70 * K},
        {"Xorg", 10 * K, 10 * K, 100 * K}, {"orpram", 1 * K, 1000 * K, 9 * K},
    };
}

std::vector<std::string> Column(const StringTable& t, int col) {
    std::vector<std::string> out;
    for (int r = 1; r < t.RowCount(); ++r) out.push_back(t.Cell(col, r));
    return out;
}

std::vector<std::string> Names(const TfrmORmain& w) {
    return Column(w.ProcessTable(), 0);
}

QTimer* ProcessTimer(const WindowFixture& f) {
    return f.window->findChild<QTimer*>("tmr_Process");
}

void Tick(QTimer* timer) {
    // The timer's own signal, so the wiring from tick to rebuild is exercised too.
    ASSERT_TRUE(QMetaObject::invokeMethod(timer, "timeout"));
}

void Trigger(const WindowFixture& f, const char* item) {
    auto* a = f.Find<QAction>(item);
    ASSERT_NE(a, nullptr) << item;
    a->trigger();
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

TEST(ProcessesWindow, StartUpFillsTheTableSortedByName) {
    WindowFixture f;
    f.processes.processes = SampleProcesses();
    TfrmORmain& w = f.Create();
    const StringTable& t = w.ProcessTable();
    ASSERT_EQ(t.ColCount(), 4);
    EXPECT_EQ(t.Row(0), (std::vector<std::string>{"Process Name", "Used RAM", "Max. Used RAM",
                                                  "Pagefile Used"}));
    EXPECT_EQ(Names(w), (std::vector<std::string>{"bash", "orpram", "xorg", "zsh"}));
    EXPECT_EQ(t.Row(1), (std::vector<std::string>{"bash", "9 K", "100 K", "10 K"}));
    EXPECT_EQ(t.Row(4), (std::vector<std::string>{"zsh", "100 K", "9 K", "0 K"}));
    EXPECT_EQ(f.processes.queries, 1);
    EXPECT_FALSE(f.processes.Active());  // let go at the end of the rebuild
    EXPECT_TRUE(ProcessTimer(f)->isActive());
}

TEST(ProcessesWindow, DisplayOffAtStartUpShowsTheHeaderAndOneEmptyRowAndReadsNothing) {
    WindowFixture f;
    f.processes.processes = SampleProcesses();
    f.Create();
    f.window.reset();
    f.registry.SetDword(kUser, kSettingsKeyPath, "Processes", 0);
    const int queriesBefore = f.processes.queries;
    TfrmORmain& w = f.Create();
    const StringTable& t = w.ProcessTable();
    ASSERT_EQ(t.RowCount(), 2);
    EXPECT_EQ(t.Cell(0, 0), "Process Name");
    EXPECT_EQ(t.Row(1), (std::vector<std::string>(4, "")));
    EXPECT_EQ(f.processes.queries, queriesBefore);
    EXPECT_FALSE(ProcessTimer(f)->isActive());
    EXPECT_FALSE(f.Find<QCheckBox>("cbx_Process")->isChecked());
}

TEST(ProcessesWindow, SortMenuItemsOrderTheRows) {
    struct Case {
        const char* item;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"itm_ProcessName1", {"bash", "orpram", "xorg", "zsh"}},
        {"itm_CurrentMemory1", {"orpram", "bash", "xorg", "zsh"}},  // 1, 9, 10, 100 K
        {"itm_MaxMemory1", {"zsh", "xorg", "bash", "orpram"}},      // 9, 10, 100, 1000 K
        {"itm_Pagefile1", {"zsh", "orpram", "bash", "xorg"}},       // 0, 9, 10, 100 K
        {"itm_ProcessName2", {"zsh", "xorg", "orpram", "bash"}},
        {"itm_CurrentMemory2", {"zsh", "xorg", "bash", "orpram"}},
        {"itm_MaxMemory2", {"orpram", "bash", "xorg", "zsh"}},
        {"itm_Pagefile2", {"xorg", "bash", "orpram", "zsh"}},
    };
    WindowFixture f;
    f.processes.processes = SampleProcesses();
    TfrmORmain& w = f.Create();
    for (const Case& c : cases) {
        Trigger(f, c.item);
        EXPECT_EQ(Names(w), c.names) << c.item;
        EXPECT_EQ(w.ProcessTable().Cell(0, 0), "Process Name") << c.item;
    }
}

TEST(ProcessesWindow, SortItemsLeaveATableWithoutRowsAlone) {
    WindowFixture f;
    f.processes.processes = {{"System Idle Process", 1, 1, 1}};  // nothing listed
    TfrmORmain& w = f.Create();
    ASSERT_EQ(w.ProcessTable().RowCount(), 1);
    const StringTable before = w.ProcessTable();
    for (const char* item : {"itm_ProcessName2", "itm_CurrentMemory1", "itm_Pagefile2"}) {
        Trigger(f, item);
        EXPECT_TRUE(w.ProcessTable().SameContents(before)) << item;
    }
}

TEST(ProcessesWindow, TheChosenOrderHoldsAcrossTimerRebuilds) {
    WindowFixture f;
    f.processes.processes = SampleProcesses();
    TfrmORmain& w = f.Create();
    Trigger(f, "itm_Pagefile2");
    f.processes.processes.push_back({"Newcomer", 5 * K, 5 * K, 50 * K});
    Tick(ProcessTimer(f));
    EXPECT_EQ(f.processes.queries, 2);
    EXPECT_EQ(Names(w), (std::vector<std::string>{"xorg", "newcomer", "bash", "orpram", "zsh"}));
    // A second tick with the same processes gives the same table.
    const StringTable once = w.ProcessTable();
    Tick(ProcessTimer(f));
    EXPECT_TRUE(w.ProcessTable().SameContents(once));
}

TEST(ProcessesWindow, RefreshProcessesRebuildsAtOnce) {
    WindowFixture f;
    f.processes.processes = SampleProcesses();
    TfrmORmain& w = f.Create();
    f.processes.processes = {{"Init", 3 * K, 4 * K, 0}};
    Trigger(f, "itm_RefreshProcesses1");
    ASSERT_EQ(w.ProcessTable().RowCount(), 2);
    EXPECT_EQ(w.ProcessTable().Row(1), (std::vector<std::string>{"init", "3 K", "4 K", "0 K"}));
}

TEST(ProcessesWindow, WithTheDisplayOffRefreshOnlyConnectsAndExportWritesTheLastRows) {
    WindowFixture f;
    f.processes.processes = SampleProcesses();
    TfrmORmain& w = f.Create();
    f.Find<QCheckBox>("cbx_Process")->setChecked(false);
    const StringTable shown = w.ProcessTable();
    const int queries = f.processes.queries;
    f.processes.processes = {{"Init", 3 * K, 4 * K, 0}};
    Trigger(f, "itm_RefreshProcesses1");
    EXPECT_TRUE(w.ProcessTable().SameContents(shown));
    EXPECT_EQ(f.processes.queries, queries);
    EXPECT_TRUE(f.processes.Active());  // opened, and left open until a complete rebuild

    const QString chosen = f.dir.path() + "/left";
    f.dialogs.saveName = chosen;
    Trigger(f, "itm_CSV1");
    const QByteArray text = ReadAll(chosen + ".csv");
    EXPECT_TRUE(text.contains("\r\nbash,9 K,100 K,10 K\r\n")) << text.toStdString();
    EXPECT_FALSE(text.contains("init"));
}

TEST(ProcessesWindow, DisplaySwitchDrivesTheTimerAndIsStoredSilently) {
    struct Case {
        const char* what;
        bool userStoreFails;
    };
    for (const Case& c : {Case{"store works", false}, Case{"store fails", true}}) {
        SCOPED_TRACE(c.what);
        WindowFixture f;
        f.processes.processes = SampleProcesses();
        f.Create();
        if (c.userStoreFails) f.registry.SetUserReadOnly(true);
        auto* box = f.Find<QCheckBox>("cbx_Process");
        box->setChecked(false);
        EXPECT_FALSE(ProcessTimer(f)->isActive());
        EXPECT_EQ(Stored(f.registry, "Processes"), c.userStoreFails ? 1u : 0u);
        const int queries = f.processes.queries;
        box->setChecked(true);
        EXPECT_TRUE(ProcessTimer(f)->isActive());
        EXPECT_EQ(f.processes.queries, queries);  // the next rebuild is the next tick
        EXPECT_EQ(Stored(f.registry, "Processes"), 1u);
        EXPECT_TRUE(f.dialogs.messages.isEmpty());
    }
}

TEST(ProcessesWindow, UpdatePeriodSetsTheIntervalAndIsStored) {
    struct Case {
        int typed;
        int shown;  // after the spin edit's own range
        int intervalMs;
    };
    const Case cases[] = {
        {5, 5, 5000},    {180000, 180000, 180000000}, {4, 5, 5000}, {200000, 180000, 180000000},
        {61, 61, 61000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        WindowFixture f;
        f.Create();
        auto* spin = f.Find<QSpinBox>("spn_Process");
        spin->setValue(c.typed);
        EXPECT_EQ(spin->value(), c.shown);
        EXPECT_EQ(ProcessTimer(f)->interval(), c.intervalMs);
        EXPECT_EQ(Stored(f.registry, "Processes Update"), static_cast<std::uint32_t>(c.shown));
        EXPECT_TRUE(f.dialogs.messages.isEmpty());
    }
}

TEST(ProcessesWindow, UpdatePeriodStoreFailureIsShownAndTheIntervalStillChanges) {
    WindowFixture f;
    f.Create();
    f.registry.SetUserReadOnly(true);
    f.Find<QSpinBox>("spn_Process")->setValue(45);
    EXPECT_EQ(ProcessTimer(f)->interval(), 45000);
    EXPECT_EQ(f.dialogs.messages, QStringList{"Unable to processes update period."});
    EXPECT_EQ(Stored(f.registry, "Processes Update"), 30u);
}

TEST(ProcessesWindow, StoredPeriodIsInForceAfterTheNextStart) {
    WindowFixture f;
    f.Create();
    f.Find<QSpinBox>("spn_Process")->setValue(90);
    f.window.reset();
    f.Create();
    EXPECT_EQ(f.Find<QSpinBox>("spn_Process")->value(), 90);
    EXPECT_EQ(ProcessTimer(f)->interval(), 90000);
    EXPECT_TRUE(ProcessTimer(f)->isActive());
}

TEST(ProcessesWindow, CsvExportWritesHeaderAndRowsAsShown) {
    WindowFixture f;
    f.processes.processes = SampleProcesses();
    TfrmORmain& w = f.Create();
    Trigger(f, "itm_CurrentMemory2");
    const QString chosen = f.dir.path() + "/report";
    f.dialogs.saveName = chosen;
    Trigger(f, "itm_CSV1");
    EXPECT_EQ(f.dialogs.saveDialogs, 1);
    EXPECT_TRUE(f.dialogs.messages.isEmpty());
    const QByteArray text = ReadAll(chosen + ".csv");
    const QList<QByteArray> lines = text.split('\n');
    ASSERT_EQ(lines.size(), w.ProcessTable().RowCount() + 1);  // the last line end ends the file
    EXPECT_TRUE(lines.back().isEmpty());
    EXPECT_EQ(lines[0], "Process Name,Used RAM,Max. Used RAM,Pagefile Used\r");
    const std::vector<std::string> order = {"zsh", "xorg", "bash", "orpram"};
    for (std::size_t i = 0; i < order.size(); ++i) {
        const auto& row = w.ProcessTable().Row(static_cast<int>(i) + 1);
        ASSERT_EQ(row[0], order[i]);
        const std::string line = row[0] + "," + row[1] + "," + row[2] + "," + row[3] + "\r";
        EXPECT_EQ(lines[static_cast<int>(i) + 1].toStdString(), line);
    }
}

TEST(ProcessesWindow, CsvExportFileNames) {
    struct Case {
        const char* chosen;  // below the test folder; empty: the user cancels
        const char* written;
    };
    const Case cases[] = {
        {"report", "report.csv"},           {"report.csv", "report.csv.csv"},
        {"REPORT.CSV", "REPORT.CSV.csv"},   {"", nullptr},
        {"no such folder/report", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen);
        WindowFixture f;
        f.Create();
        const QString base = f.dir.path() + "/";
        if (*c.chosen) f.dialogs.saveName = base + c.chosen;
        Trigger(f, "itm_CSV1");
        EXPECT_EQ(f.dialogs.saveDialogs, 1);
        EXPECT_TRUE(f.dialogs.messages.isEmpty());
        const QStringList files = QDir(f.dir.path()).entryList({"*.csv", "*.CSV"}, QDir::Files);
        if (c.written) {
            EXPECT_EQ(files, QStringList{c.written});
            EXPECT_TRUE(ReadAll(base + c.written).startsWith("Process Name,Used RAM,"));
        } else {
            EXPECT_TRUE(files.isEmpty());
        }
    }
}

TEST(ProcessesWindow, CsvExportKeepsAwkwardNamesOnOneRecord) {
    WindowFixture f;
    // Linux lets a program name itself with commas, quotes and line breaks.
    f.processes.processes = {{"A,\"B\nc", 2 * K, 2 * K, 0},
                             {"two\nlines", 3 * K, 3 * K, 0},
                             {"say \"x\"", 4 * K, 4 * K, 0}};
    f.Create();
    const QString chosen = f.dir.path() + "/odd";
    f.dialogs.saveName = chosen;
    Trigger(f, "itm_CSV1");
    EXPECT_EQ(ReadAll(chosen + ".csv"),
              "Process Name,Used RAM,Max. Used RAM,Pagefile Used\r\n"
              "\"a,\"\"b\nc\",2 K,2 K,0 K\r\n"
              "\"say \"\"x\"\"\",4 K,4 K,0 K\r\n"
              "\"two\nlines\",3 K,3 K,0 K\r\n");
}

}  // namespace
}  // namespace orp
