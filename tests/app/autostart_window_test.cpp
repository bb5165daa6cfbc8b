// The two Settings boxes that reach outside the program, through the real window: the login
// entry and the machine-wide DLL switch, at start-up, on a click and on showing the window.
#include <gtest/gtest.h>

#include <QCheckBox>

#include <map>
#include <optional>
#include <string>

#include "fakes/window_fixture.h"
#include "settings/autostart.h"
#include "settings/settings_store.h"

namespace orp {
namespace {

constexpr RegRoot kUser = RegRoot::CurrentUser;
constexpr RegRoot kMachine = RegRoot::LocalMachine;
using Entries = std::map<std::string, std::string>;

std::optional<std::uint32_t> Stored(const FakeRegistry& r, const char* name) {
    return r.Dword(kUser, kSettingsKeyPath, name);
}

std::optional<std::uint32_t> UnloadSwitch(const FakeRegistry& r) {
    return r.Dword(kMachine, kExplorerKeyPath, kAlwaysUnloadDLLName);
}

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

// A window that has started once with "Auto Start" as given, so the box shows it.
TfrmORmain& StartWith(WindowFixture& f, bool autoStart) {
    f.Create();
    if (autoStart) {
        f.window.reset();
        f.registry.SetDword(kUser, kSettingsKeyPath, "Auto Start", 1);
        f.Create();
    }
    return *f.window;
}

TEST(AutoStartWindow, StartUpReappliesTheEntryWithTheLauncher) {
    struct Case {
        const char* what;
        bool autoStart;
        Entries before;
        bool launcherNamed;  // "Orrindo Pro" names ORPstub beside the program
        bool olderKept;      // the older "Orrindo" entry is still there
    };
    const Case cases[] = {
        {"on, clean", true, {}, true, false},
        {"on, older entry removed", true, {{"Orrindo", "\"/old/ORPRAM\""}}, true, false},
        {"on, the running program replaced by the launcher",
         true,
         {{"Orrindo Pro", "\"/somewhere/ORPRAM\""}},
         true,
         false},
        {"off, clean", false, {}, false, false},
        {"off, stale entry removed, older one kept",
         false,
         {{"Orrindo Pro", "\"/somewhere/ORPRAM\""}, {"Orrindo", "\"/old/ORPRAM\""}},
         false,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WindowFixture f;
        if (c.autoStart) f.registry.SetDword(kUser, kSettingsKeyPath, "Auto Start", 1);
        for (const auto& [name, line] : c.before) f.runEntries.Set(name, line);
        f.Create();
        const std::string launcher = f.dir.path().toStdString() + "/ORPstub";
        EXPECT_EQ(f.Find<QCheckBox>("chbAuto_Start")->isChecked(), c.autoStart);
        if (c.launcherNamed) {
            EXPECT_EQ(f.runEntries.Get(kRunEntryName), Quoted(launcher));
        } else {
            EXPECT_FALSE(f.runEntries.Get(kRunEntryName).has_value());
        }
        EXPECT_EQ(f.runEntries.Get(kOlderRunEntryName).has_value(), c.olderKept);
        // Only the machine-wide effect is re-applied; the setting is not written again.
        EXPECT_EQ(Stored(f.registry, "Auto Start"), c.autoStart ? 1u : 0u);
        EXPECT_TRUE(f.dialogs.messages.isEmpty());
    }
}

TEST(AutoStartWindow, ClickingTheBox) {
    enum class Fault { None, EntriesUnusable, StoreFails };
    struct Case {
        const char* what;
        bool startsOn;  // the box's state before the click
        Entries seeded;
        Fault fault;
        bool entryNamesProgram;  // "Orrindo Pro" holds the quoted running program afterwards
        bool olderKept;
        std::uint32_t stored;
        bool message;  // "Unable to store auto start."
    };
    const Case cases[] = {
        {"tick", false, {}, Fault::None, true, false, 1, false},
        {"tick removes the older entry",
         false,
         {{"Orrindo", "\"/old/ORPRAM\""}},
         Fault::None,
         true,
         false,
         1,
         false},
        {"untick removes the entry, keeps the older one",
         true,
         {{"Orrindo", "\"/old/ORPRAM\""}},
         Fault::None,
         false,
         true,
         0,
         false},
        {"tick with unusable entries: silent, still stored",
         false,
         {},
         Fault::EntriesUnusable,
         false,
         false,
         1,
         false},
        // The entry is written before the store is tried, so it stays.
        {"tick, store fails", false, {}, Fault::StoreFails, true, false, 0, true},
        {"untick, store fails", true, {}, Fault::StoreFails, false, false, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WindowFixture f;
        StartWith(f, c.startsOn);
        for (const auto& [name, line] : c.seeded) f.runEntries.Set(name, line);
        if (c.fault == Fault::EntriesUnusable) f.runEntries.SetOpenFails(true);
        if (c.fault == Fault::StoreFails) f.registry.SetUserReadOnly(true);
        auto* box = f.Find<QCheckBox>("chbAuto_Start");
        box->setChecked(!c.startsOn);
        EXPECT_EQ(box->isChecked(), !c.startsOn);
        if (c.entryNamesProgram) {
            EXPECT_EQ(f.runEntries.Get(kRunEntryName), Quoted(f.ExePath()));
        } else {
            EXPECT_FALSE(f.runEntries.Get(kRunEntryName).has_value());
        }
        EXPECT_EQ(f.runEntries.Get(kOlderRunEntryName).has_value(), c.olderKept);
        EXPECT_EQ(Stored(f.registry, "Auto Start"), c.stored);
        EXPECT_EQ(f.dialogs.messages,
                  c.message ? QStringList{"Unable to store auto start."} : QStringList{});
    }
}

TEST(AutoStartWindow, TickedNamesTheProgramUntilTheNextStartThenTheLauncher) {
    WindowFixture f;
    f.Create();
    f.Find<QCheckBox>("chbAuto_Start")->setChecked(true);
    EXPECT_EQ(f.runEntries.Get(kRunEntryName), Quoted(f.ExePath()));
    f.window.reset();
    f.Create();
    EXPECT_TRUE(f.Find<QCheckBox>("chbAuto_Start")->isChecked());
    EXPECT_EQ(f.runEntries.Get(kRunEntryName), Quoted(f.dir.path().toStdString() + "/ORPstub"));
}

TEST(AutoStartWindow, ShowingTheWindowAppliesAStoredChangeLikeAClick) {
    WindowFixture f;
    TfrmORmain& w = f.Create();
    ASSERT_FALSE(f.runEntries.Get(kRunEntryName).has_value());
    // Changed behind the window's back (another instance, an edited store).
    f.registry.SetDword(kUser, kSettingsKeyPath, "Auto Start", 1);
    f.registry.SetDword(kUser, kSettingsKeyPath, "Unload DLLs", 0);
    w.ShowMainWindow1Click();
    EXPECT_TRUE(f.Find<QCheckBox>("chbAuto_Start")->isChecked());
    EXPECT_EQ(f.runEntries.Get(kRunEntryName), Quoted(f.ExePath()));
    EXPECT_FALSE(f.Find<QCheckBox>("cbx_Unload_DLLs")->isChecked());
    EXPECT_EQ(UnloadSwitch(f.registry), 0u);
}

TEST(AutoStartWindow, UnreadableSettingsLeaveTheEntryAndTheSwitchAlone) {
    WindowFixture f;
    f.registry.SetDword(kUser, kSettingsKeyPath, "Auto Start", 1);
    f.Create();
    f.window.reset();
    // The boxes then show their unticked design state, which is not the user's choice.
    f.registry.MakeWrongType(kUser, kSettingsKeyPath, "IEC");
    const std::string launcher = Quoted(f.dir.path().toStdString() + "/ORPstub");
    ASSERT_EQ(f.runEntries.Get(kRunEntryName), launcher);
    ASSERT_EQ(UnloadSwitch(f.registry), 1u);
    f.Create();
    EXPECT_EQ(f.dialogs.messages, QStringList{"Unable to access Orrindo settings."});
    EXPECT_FALSE(f.Find<QCheckBox>("chbAuto_Start")->isChecked());
    EXPECT_EQ(f.runEntries.Get(kRunEntryName), launcher);
    EXPECT_EQ(UnloadSwitch(f.registry), 1u);
}

TEST(UnloadDLLsWindow, FirstStartSetsTheSwitchFromTheDefault) {
    WindowFixture f;
    f.Create();
    EXPECT_EQ(UnloadSwitch(f.registry), 1u);
    EXPECT_EQ(Stored(f.registry, "Unload DLLs"), 1u);
}

TEST(UnloadDLLsWindow, ClickingTheBox) {
    enum class Fault { None, MachineReadOnly, StoreFails };
    struct Case {
        const char* what;
        bool tick;  // the click's new state (the box starts ticked, the default)
        Fault fault;
        std::optional<std::uint32_t> machineSwitch;
        std::uint32_t stored;
        bool message;
    };
    const Case cases[] = {
        {"untick writes 0, present", false, Fault::None, 0u, 0, false},
        {"untick then tick writes 1", true, Fault::None, 1u, 1, false},
        // The switch keeps what the start wrote; an account without the right stays silent.
        {"no machine-wide access", false, Fault::MachineReadOnly, 1u, 0, false},
        {"store fails after the switch is set", false, Fault::StoreFails, 0u, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WindowFixture f;
        f.Create();
        auto* box = f.Find<QCheckBox>("cbx_Unload_DLLs");
        ASSERT_TRUE(box->isChecked());
        if (c.tick) box->setChecked(false);
        if (c.fault == Fault::MachineReadOnly) f.registry.SetMachineReadOnly(true);
        if (c.fault == Fault::StoreFails) f.registry.SetUserReadOnly(true);
        box->setChecked(c.tick);
        EXPECT_EQ(UnloadSwitch(f.registry), c.machineSwitch);
        EXPECT_EQ(Stored(f.registry, "Unload DLLs"), c.stored);
        EXPECT_EQ(f.dialogs.messages,
                  c.message ? QStringList{"Unable to store unload DLLs."} : QStringList{});
    }
}

TEST(UnloadDLLsWindow, UntickedStaysOffAtTheNextStart) {
    WindowFixture f;
    f.Create();
    f.Find<QCheckBox>("cbx_Unload_DLLs")->setChecked(false);
    f.window.reset();
    f.registry.SetDword(kMachine, kExplorerKeyPath, kAlwaysUnloadDLLName, 1);  // set elsewhere
    f.Create();
    EXPECT_FALSE(f.Find<QCheckBox>("cbx_Unload_DLLs")->isChecked());
    EXPECT_EQ(UnloadSwitch(f.registry), 0u);
}

}  // namespace
}  // namespace orp
