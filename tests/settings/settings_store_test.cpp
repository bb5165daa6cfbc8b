#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "fakes/fake_registry.h"

namespace orp {
namespace {

constexpr RegRoot kUser = RegRoot::CurrentUser;
constexpr RegRoot kMachine = RegRoot::LocalMachine;

// The stored values with their defaults, in the order they are written and read.
struct Expected {
    const char* name;
    std::uint32_t def;
};
const std::vector<Expected> kTable = {
    {"Auto Start", 0},
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
    {"Processes Update", 30},
};

// Each record field seen as the DWORD it was read from, by table position.
std::uint32_t FieldAt(const TSettings& s, std::size_t i) {
    const std::uint32_t fields[] = {
        s.AutoStart,
        static_cast<std::uint32_t>(s.UpdatePeriod),
        static_cast<std::uint32_t>(s.Attempts),
        s.AutoFree,
        s.AutoFreeSilent,
        static_cast<std::uint32_t>(s.AutoLevel),
        static_cast<std::uint32_t>(s.AutoTriggerLevel),
        static_cast<std::uint32_t>(s.CPUThreshold),
        static_cast<std::uint32_t>(s.TargetRAM),
        static_cast<std::uint32_t>(s.MonitorView),
        static_cast<std::uint32_t>(s.GlobalFont),
        s.UnloadDLLs,
        s.IEC,
        s.Processes,
        static_cast<std::uint32_t>(s.ProcessesUpdate),
    };
    return fields[i];
}

// A record whose integers differ from every stored value and whose flags are the opposite of
// the markers below, so a field that the read did or did not touch shows.
TSettings Sentinel() {
    TSettings s;
    s.AutoStart = false;
    s.UpdatePeriod = 901;
    s.Attempts = 902;
    s.AutoFree = false;
    s.AutoFreeSilent = true;
    s.AutoLevel = 903;
    s.AutoTriggerLevel = 904;
    s.CPUThreshold = 905;
    s.TargetRAM = 906;
    s.MonitorView = 907;
    s.GlobalFont = 908;
    s.UnloadDLLs = true;
    s.IEC = true;
    s.Processes = true;
    s.ProcessesUpdate = 909;
    return s;
}

// The sentinel with every flag flipped: unlike every default.
TSettings NotDefaults() {
    TSettings s = Sentinel();
    s.AutoStart = !s.AutoStart;
    s.AutoFree = !s.AutoFree;
    s.AutoFreeSilent = !s.AutoFreeSilent;
    s.UnloadDLLs = !s.UnloadDLLs;
    s.IEC = !s.IEC;
    s.Processes = !s.Processes;
    return s;
}

// Stored values unlike the defaults: integers 40+i, flags the opposite of their default.
std::uint32_t Marker(std::size_t i) {
    const std::uint32_t d = kTable[i].def;
    if (d == 0) return 1;
    if (d == 1 && (i == 4 || i == 11 || i == 12 || i == 13)) return 0;
    return 40 + static_cast<std::uint32_t>(i);
}

void SeedMarkers(FakeRegistry& reg) {
    for (std::size_t i = 0; i < kTable.size(); ++i)
        reg.SetDword(kUser, kSettingsKeyPath, kTable[i].name, Marker(i));
}

TEST(SettingsStore, EmptyStoreGetsExactlyTheDefaultsAllDword) {
    FakeRegistry reg;
    RegisterInstallation(reg, "/opt/orrindo/", "2.2.0.1");
    EnsureSettings(reg);

    std::vector<std::string> expectedNames;
    for (const Expected& e : kTable) expectedNames.push_back(e.name);
    EXPECT_EQ(reg.ValueNames(kUser, kSettingsKeyPath), expectedNames);
    for (const Expected& e : kTable) {
        SCOPED_TRACE(e.name);
        EXPECT_EQ(reg.Dword(kUser, kSettingsKeyPath, e.name), e.def);
    }
    EXPECT_FALSE(reg.Has(kUser, kSettingsKeyPath, "Theme"));
    EXPECT_EQ(SettingValueNames(), expectedNames);

    TSettings s = NotDefaults();
    ASSERT_TRUE(ReadSettings(reg, s));
    EXPECT_FALSE(s.AutoStart);
    EXPECT_EQ(s.UpdatePeriod, 1);
    EXPECT_EQ(s.Attempts, 2);
    EXPECT_FALSE(s.AutoFree);
    EXPECT_TRUE(s.AutoFreeSilent);
    EXPECT_EQ(s.AutoLevel, 15);
    EXPECT_EQ(s.AutoTriggerLevel, 15);
    EXPECT_EQ(s.CPUThreshold, 75);
    EXPECT_EQ(s.TargetRAM, 20);
    EXPECT_EQ(s.MonitorView, 1);
    EXPECT_EQ(s.GlobalFont, 0xFFFFFF);
    EXPECT_TRUE(s.UnloadDLLs);
    EXPECT_TRUE(s.IEC);
    EXPECT_TRUE(s.Processes);
    EXPECT_EQ(s.ProcessesUpdate, 30);
}

TEST(SettingsStore, DeletedValueIsRecreatedAndOthersKept) {
    for (std::size_t gone = 0; gone < kTable.size(); ++gone) {
        SCOPED_TRACE(kTable[gone].name);
        FakeRegistry reg;
        SeedMarkers(reg);
        reg.RemoveValue(kUser, kSettingsKeyPath, kTable[gone].name);
        EnsureSettings(reg);
        for (std::size_t i = 0; i < kTable.size(); ++i)
            EXPECT_EQ(reg.Dword(kUser, kSettingsKeyPath, kTable[i].name),
                      i == gone ? kTable[i].def : Marker(i))
                << kTable[i].name;
    }
}

TEST(SettingsStore, DefaultsNeverOverwriteExistingValues) {
    FakeRegistry reg;
    SeedMarkers(reg);
    reg.ClearWrites();
    WriteDefaultSettings(reg, false);
    EnsureSettings(reg);
    EXPECT_TRUE(reg.writes().empty());
}

TEST(SettingsStore, FailedReadStopsAtTheBadValueAndKeepsTheRest) {
    enum class Fault { WrongType, Missing };
    for (Fault fault : {Fault::WrongType, Fault::Missing}) {
        for (std::size_t bad = 0; bad < kTable.size(); ++bad) {
            SCOPED_TRACE(std::string(kTable[bad].name) +
                         (fault == Fault::WrongType ? " wrong type" : " missing"));
            FakeRegistry reg;
            SeedMarkers(reg);
            if (fault == Fault::WrongType)
                reg.MakeWrongType(kUser, kSettingsKeyPath, kTable[bad].name);
            else
                reg.RemoveValue(kUser, kSettingsKeyPath, kTable[bad].name);
            const TSettings before = Sentinel();
            TSettings s = before;
            EXPECT_FALSE(ReadSettings(reg, s));
            for (std::size_t i = 0; i < kTable.size(); ++i) {
                const std::uint32_t stored = Marker(i);
                const std::uint32_t want = i < bad ? stored : FieldAt(before, i);
                EXPECT_EQ(FieldAt(s, i), want) << kTable[i].name;
            }
        }
    }
}

TEST(SettingsStore, WrongTypeSurvivesEnsureSoEveryReadFails) {
    FakeRegistry reg;
    EnsureSettings(reg);
    reg.MakeWrongType(kUser, kSettingsKeyPath, "IEC");
    EnsureSettings(reg);
    TSettings s;
    EXPECT_FALSE(ReadSettings(reg, s));
    EXPECT_EQ(reg.String(kUser, kSettingsKeyPath, "IEC"), "not a number");
}

TEST(SettingsStore, ReadWithoutKeyFailsAndChangesNothing) {
    FakeRegistry reg;
    const TSettings before = Sentinel();
    TSettings s = before;
    EXPECT_FALSE(ReadSettings(reg, s));
    for (std::size_t i = 0; i < kTable.size(); ++i) EXPECT_EQ(FieldAt(s, i), FieldAt(before, i));
}

TEST(SettingsStore, FlagsAreTrueWhenNotZeroAndIntegersSigned) {
    FakeRegistry reg;
    EnsureSettings(reg);
    reg.SetDword(kUser, kSettingsKeyPath, "Auto Start", 2);
    reg.SetDword(kUser, kSettingsKeyPath, "IEC", 0xFFFFFFFFu);
    reg.SetDword(kUser, kSettingsKeyPath, "Processes", 0);
    reg.SetDword(kUser, kSettingsKeyPath, "Attempts", 0xFFFFFFFFu);
    reg.SetDword(kUser, kSettingsKeyPath, "Monitor View", 0x80000000u);
    TSettings s;
    ASSERT_TRUE(ReadSettings(reg, s));
    EXPECT_TRUE(s.AutoStart);
    EXPECT_TRUE(s.IEC);
    EXPECT_FALSE(s.Processes);
    EXPECT_EQ(s.Attempts, -1);
    EXPECT_EQ(s.MonitorView, INT_MIN);
}

TEST(SettingsStore, KeyNamesCompareWithoutCase) {
    FakeRegistry reg;
    reg.AddKey(kUser, "SOFTWARE\\KESTOVAR\\ORRINDO PRO");
    EXPECT_TRUE(SettingsKeyExists(reg));
    EXPECT_TRUE(StoreIEC(reg, false));
    EXPECT_EQ(reg.Dword(kUser, "\\Software\\Kestovar\\Orrindo Pro", "iec"), 0u);
}

struct WriterCase {
    const char* name;
    std::function<bool(IRegistry&)> store;
    std::uint32_t stored;
};

TEST(SettingsStore, EachWriterWritesItsOneValue) {
    const std::vector<WriterCase> cases = {
        {"Target RAM", [](IRegistry& r) { return StoreTargetRAM(r, 55); }, 55},
        {"CPU Threshold", [](IRegistry& r) { return StoreCPUThreshold(r, 61); }, 61},
        {"Attempts", [](IRegistry& r) { return StoreAttempts(r, 7); }, 7},
        {"Automatic RAM Freeing", [](IRegistry& r) { return StoreAutoFree(r, true); }, 1},
        {"Automatic RAM Free Silent", [](IRegistry& r) { return StoreAutoFreeSilent(r, false); },
         0},
        {"Automatic Level", [](IRegistry& r) { return StoreAutoLevel(r, 33); }, 33},
        {"Automatic Trigger Level", [](IRegistry& r) { return StoreAutoTriggerLevel(r, 12); }, 12},
        {"Update Period", [](IRegistry& r) { return StoreUpdatePeriod(r, 30); }, 30},
        {"Auto Start", [](IRegistry& r) { return StoreAutoStart(r, true); }, 1},
        {"Unload DLLs", [](IRegistry& r) { return StoreUnloadDLLs(r, false); }, 0},
        {"Monitor View", [](IRegistry& r) { return StoreMonitorViewCode(r, 6); }, 6},
        {"IEC", [](IRegistry& r) { return StoreIEC(r, false); }, 0},
        {"Processes", [](IRegistry& r) { return StoreProcesses(r, false); }, 0},
        {"Processes Update", [](IRegistry& r) { return StoreProcessesUpdate(r, 180000); }, 180000},
        {"Attempts", [](IRegistry& r) { return StoreAttempts(r, -5); }, 0xFFFFFFFBu},
    };
    for (const WriterCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeRegistry reg;
        EnsureSettings(reg);
        reg.ClearWrites();
        ASSERT_TRUE(c.store(reg));
        ASSERT_EQ(reg.writes().size(), 1u);
        EXPECT_EQ(reg.writes()[0].kind, FakeRegistry::Write::Kind::Dword);
        for (const Expected& e : kTable)
            EXPECT_EQ(reg.Dword(kUser, kSettingsKeyPath, e.name),
                      std::string(e.name) == c.name ? c.stored : e.def)
                << e.name;
    }
}

TEST(SettingsStore, WritersFailWithoutCreatingTheKey) {
    enum class Fault { KeyMissing, WritesFail, UserReadOnly };
    const std::vector<std::function<bool(IRegistry&)>> writers = {
        [](IRegistry& r) { return StoreTargetRAM(r, 1); },
        [](IRegistry& r) { return StoreCPUThreshold(r, 1); },
        [](IRegistry& r) { return StoreAttempts(r, 1); },
        [](IRegistry& r) { return StoreAutoFree(r, true); },
        [](IRegistry& r) { return StoreAutoFreeSilent(r, true); },
        [](IRegistry& r) { return StoreAutoLevel(r, 1); },
        [](IRegistry& r) { return StoreAutoTriggerLevel(r, 1); },
        [](IRegistry& r) { return StoreUpdatePeriod(r, 1); },
        [](IRegistry& r) { return StoreAutoStart(r, true); },
        [](IRegistry& r) { return StoreUnloadDLLs(r, true); },
        [](IRegistry& r) { return StoreMonitorViewCode(r, 1); },
        [](IRegistry& r) { return StoreIEC(r, true); },
        [](IRegistry& r) { return StoreProcesses(r, true); },
        [](IRegistry& r) { return StoreProcessesUpdate(r, 1); },
    };
    for (Fault fault : {Fault::KeyMissing, Fault::WritesFail, Fault::UserReadOnly}) {
        for (std::size_t w = 0; w < writers.size(); ++w) {
            SCOPED_TRACE("writer " + std::to_string(w) + " fault " +
                         std::to_string(static_cast<int>(fault)));
            FakeRegistry reg;
            if (fault != Fault::KeyMissing) EnsureSettings(reg);
            reg.SetFailWrites(fault == Fault::WritesFail);
            reg.SetUserReadOnly(fault == Fault::UserReadOnly);
            reg.ClearWrites();
            EXPECT_FALSE(writers[w](reg));
            EXPECT_TRUE(reg.writes().empty());
            EXPECT_EQ(reg.HasKey(kUser, kSettingsKeyPath), fault != Fault::KeyMissing);
        }
    }
}

TEST(SettingsStore, CreatingTheKeyReportsErrorsFillingGapsDoesNot) {
    {
        FakeRegistry reg;  // no key: the first defaults pass must report a refused write
        reg.FailWritesAfter(3);
        EXPECT_THROW(EnsureSettings(reg), RegistryError);
    }
    {
        FakeRegistry reg;
        reg.SetFailWrites(true);
        EXPECT_THROW(WriteDefaultSettings(reg, false), RegistryError);
        EXPECT_NO_THROW(WriteDefaultSettings(reg, true));
    }
    {
        FakeRegistry reg;  // key present, values missing: gaps are filled quietly or not at all
        reg.AddKey(kUser, kSettingsKeyPath);
        reg.SetFailWrites(true);
        EXPECT_NO_THROW(EnsureSettings(reg));
        EXPECT_TRUE(reg.ValueNames(kUser, kSettingsKeyPath).empty());
    }
}

TEST(SettingsStore, RegisterInstallation) {
    enum class Machine { Writable, ReadOnly, WritesFail };
    struct Case {
        const char* what;
        Machine machine;
        bool oldLocation, oldVersion;  // machine-wide values present before the start
        bool throws;
        const char* location;  // expected afterwards; nullptr = absent
        const char* version;
    };
    const std::vector<Case> cases = {
        {"fresh, may write", Machine::Writable, false, false, false, "/new/", "2.2"},
        {"old values, may write", Machine::Writable, true, true, false, "/new/", "2.2"},
        {"only location", Machine::Writable, true, false, false, "/new/", "2.2"},
        {"only version", Machine::Writable, false, true, false, "/new/", "2.2"},
        {"fresh, may not write", Machine::ReadOnly, false, false, false, nullptr, nullptr},
        {"old values, may not write", Machine::ReadOnly, true, true, false, "/old/", "1.0"},
        {"old values, broken store", Machine::WritesFail, true, true, true, "/old/", "1.0"},
        {"fresh, broken store", Machine::WritesFail, false, false, false, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeRegistry reg;
        EnsureSettings(reg);
        if (c.oldLocation) reg.SetString(kMachine, kSettingsKeyPath, "Install Location", "/old/");
        if (c.oldVersion) reg.SetString(kMachine, kSettingsKeyPath, "Current Version", "1.0");
        reg.SetMachineReadOnly(c.machine == Machine::ReadOnly);
        // A broken store refuses machine-wide writes only; the per-user key already exists.
        if (c.machine == Machine::WritesFail) reg.FailWritesAfter(0);
        if (c.throws)
            EXPECT_THROW(RegisterInstallation(reg, "/new/", "2.2"), RegistryError);
        else
            EXPECT_NO_THROW(RegisterInstallation(reg, "/new/", "2.2"));
        EXPECT_EQ(reg.String(kMachine, kSettingsKeyPath, "Install Location"),
                  c.location ? std::optional<std::string>(c.location) : std::nullopt);
        EXPECT_EQ(reg.String(kMachine, kSettingsKeyPath, "Current Version"),
                  c.version ? std::optional<std::string>(c.version) : std::nullopt);
    }
}

TEST(SettingsStore, RegisterInstallationCreatesUserDefaultsFirst) {
    FakeRegistry reg;
    reg.SetMachineReadOnly(true);
    RegisterInstallation(reg, "/opt/o/", "2.2");
    TSettings s;
    EXPECT_TRUE(ReadSettings(reg, s));
    EXPECT_EQ(s.TargetRAM, 20);

    FakeRegistry broken;  // no per-user key and no write succeeds: the start must hear of it
    broken.SetFailWrites(true);
    EXPECT_THROW(RegisterInstallation(broken, "/opt/o/", "2.2"), RegistryError);
}

TEST(SettingsStore, WriteInstallInfoKeepsExistingValues) {
    FakeRegistry reg;
    reg.SetString(kMachine, kSettingsKeyPath, "Install Location", "/kept/");
    WriteInstallInfo(reg, "/new/", "2.2");
    EXPECT_EQ(reg.String(kMachine, kSettingsKeyPath, "Install Location"), "/kept/");
    EXPECT_EQ(reg.String(kMachine, kSettingsKeyPath, "Current Version"), "2.2");
}

TEST(MonitorViewCode, TableBothWays) {
    struct Row {
        std::int32_t code;
        bool used, free, cpu;
    };
    const Row rows[] = {
        {0, false, false, false}, {1, true, true, true},   {2, false, true, true},
        {3, true, false, true},   {4, true, true, false},  {5, false, false, true},
        {6, false, true, false},  {7, true, false, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.code);
        const auto v = DecodeMonitorView(r.code);
        ASSERT_TRUE(v.has_value());
        EXPECT_EQ(v->usedRAM, r.used);
        EXPECT_EQ(v->freeRAM, r.free);
        EXPECT_EQ(v->cpu, r.cpu);
        EXPECT_EQ(EncodeMonitorView(MonitorView{r.used, r.free, r.cpu}), r.code);
    }
    for (std::int32_t outside : {-1, 8, 9, 100, INT_MIN, INT_MAX}) {
        SCOPED_TRACE(outside);
        EXPECT_FALSE(DecodeMonitorView(outside).has_value());
    }
}

TEST(SettingsStore, FailureTextsAreExact) {
    const std::pair<const char*, const char*> texts[] = {
        {msg::kAccess, "Unable to access Orrindo settings."},
        {msg::kTargetRAM, "Unable to store automatic RAM level."},
        {msg::kUpdatePeriod, "Unable to store update period."},
        {msg::kAttempts, "Unable to attempts to free."},
        {msg::kAutoLevel, "Unable to automatic RAM to free level."},
        {msg::kAutoTriggerLevel, "Unable to automatic RAM to free trigger level."},
        {msg::kCPUThreshold, "Unable to store cpu threshold."},
        {msg::kMonitorView, "Unable to store monitor view."},
        {msg::kAutoStart, "Unable to store auto start."},
        {msg::kProcessesUpdate, "Unable to processes update period."},
    };
    for (const auto& [have, want] : texts) EXPECT_STREQ(have, want);
    for (const char* own : {msg::kAutoFree, msg::kAutoFreeSilent, msg::kUnloadDLLs})
        EXPECT_EQ(std::string(own).rfind("Unable to ", 0), 0u) << own;
}

}  // namespace
}  // namespace orp
