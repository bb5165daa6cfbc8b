#include "settings/autostart.h"

#include <gtest/gtest.h>

#include "fakes/fake_registry.h"
#include "fakes/fake_run_entries.h"

namespace orp {
namespace {

TEST(QuotedPath, AddsOnlyTheMissingQuotes) {
    const std::pair<std::string, std::string> cases[] = {
        {"/opt/orrindo/ORPstub", "\"/opt/orrindo/ORPstub\""},
        {"/opt/my apps/ORPstub", "\"/opt/my apps/ORPstub\""},
        {"\"/opt/orrindo/ORPstub\"", "\"/opt/orrindo/ORPstub\""},
        {"\"/opt/orrindo/ORPstub", "\"/opt/orrindo/ORPstub\""},
        {"/opt/orrindo/ORPstub\"", "\"/opt/orrindo/ORPstub\""},
        {"C:\\Program Files\\Orrindo\\ORPstub.exe", "\"C:\\Program Files\\Orrindo\\ORPstub.exe\""},
        {"", "\"\""},
        {"\"", "\"\""},
        {"\"\"", "\"\""},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(QuotedPath(in), out) << in;
}

TEST(RegisterAutoStart, Table) {
    enum Fault { None, OpenFails, WriteFails };
    struct Case {
        const char* what;
        std::map<std::string, std::string> before;
        bool enable;
        std::string path;
        Fault fault;
        bool result;
        std::map<std::string, std::string> after;
    };
    const std::string launcher = "/opt/o/ORPstub";
    const std::string quoted = "\"/opt/o/ORPstub\"";
    const std::vector<Case> cases = {
        {"enable on a clean system", {}, true, launcher, None, true, {{"Orrindo Pro", quoted}}},
        {"enable removes the older entry",
         {{"Orrindo", "\"old\""}, {"Other", "\"x\""}},
         true,
         launcher,
         None,
         true,
         {{"Orrindo Pro", quoted}, {"Other", "\"x\""}}},
        {"enable replaces an earlier path",
         {{"Orrindo Pro", "\"/elsewhere\""}},
         true,
         launcher,
         None,
         true,
         {{"Orrindo Pro", quoted}}},
        {"a quoted path is written unchanged",
         {},
         true,
         quoted,
         None,
         true,
         {{"Orrindo Pro", quoted}}},
        {"disable removes only the entry",
         {{"Orrindo Pro", quoted}, {"Orrindo", "\"old\""}},
         false,
         launcher,
         None,
         true,
         {{"Orrindo", "\"old\""}}},
        {"disable with nothing registered", {}, false, launcher, None, true, {}},
        {"cannot open, enable",
         {{"Orrindo", "\"old\""}},
         true,
         launcher,
         OpenFails,
         false,
         {{"Orrindo", "\"old\""}}},
        {"cannot open, disable",
         {{"Orrindo Pro", quoted}},
         false,
         launcher,
         OpenFails,
         false,
         {{"Orrindo Pro", quoted}}},
        {"cannot write, enable", {}, true, launcher, WriteFails, false, {}},
        {"cannot write, disable",
         {{"Orrindo Pro", quoted}},
         false,
         launcher,
         WriteFails,
         false,
         {{"Orrindo Pro", quoted}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeRunEntries run;
        for (const auto& [name, value] : c.before) run.Set(name, value);
        run.SetOpenFails(c.fault == OpenFails);
        run.SetWriteFails(c.fault == WriteFails);
        EXPECT_EQ(RegisterAutoStart(run, c.enable, c.path), c.result);
        EXPECT_EQ(run.entries(), c.after);
    }
}

TEST(SetAlwaysUnloadDLL, WritesOneOrZeroAndNeverDeletes) {
    constexpr RegRoot kMachine = RegRoot::LocalMachine;
    const std::string key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer";
    struct Case {
        const char* what;
        std::optional<std::uint32_t> before;
        bool enable;
        bool readOnly, failWrites;
        bool result;
        std::optional<std::uint32_t> after;
    };
    const std::vector<Case> cases = {
        {"on, fresh system", std::nullopt, true, false, false, true, 1u},
        {"off, fresh system", std::nullopt, false, false, false, true, 0u},
        {"off after on", 1u, false, false, false, true, 0u},
        {"on after off", 0u, true, false, false, true, 1u},
        {"may not write", 1u, false, true, false, false, 1u},
        {"may not write, fresh", std::nullopt, true, true, false, false, std::nullopt},
        {"broken store", 0u, true, false, true, false, 0u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeRegistry reg;
        if (c.before) reg.SetDword(kMachine, key, "AlwaysUnloadDLL", *c.before);
        reg.SetMachineReadOnly(c.readOnly);
        reg.SetFailWrites(c.failWrites);
        EXPECT_EQ(SetAlwaysUnloadDLL(reg, c.enable), c.result);
        EXPECT_EQ(reg.Dword(kMachine, key, "AlwaysUnloadDLL"), c.after);
        EXPECT_FALSE(reg.HasKey(RegRoot::CurrentUser, key));
    }
}

}  // namespace
}  // namespace orp
