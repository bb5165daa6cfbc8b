#include "settings/settings_store.h"

#include <array>

namespace orp {

namespace {

constexpr RegRoot kUser = RegRoot::CurrentUser;
constexpr RegRoot kMachine = RegRoot::LocalMachine;

// One row per stored value, in table order: its name, its default and where it goes in the
// record. Flags are read as true for anything but 0, integers as signed 32-bit.
struct SettingRow {
    const char* name;
    std::uint32_t defaultValue;
    void (*assign)(TSettings&, std::uint32_t);
};

constexpr bool Flag(std::uint32_t v) {
    return v != 0;
}
constexpr std::int32_t Int(std::uint32_t v) {
    return static_cast<std::int32_t>(v);
}

const std::array<SettingRow, 15> kRows = {{
    {setting::kAutoStart, 0, [](TSettings& s, std::uint32_t v) { s.AutoStart = Flag(v); }},
    {setting::kUpdatePeriod, 1, [](TSettings& s, std::uint32_t v) { s.UpdatePeriod = Int(v); }},
    {setting::kAttempts, 2, [](TSettings& s, std::uint32_t v) { s.Attempts = Int(v); }},
    {setting::kAutoFree, 0, [](TSettings& s, std::uint32_t v) { s.AutoFree = Flag(v); }},
    {setting::kAutoFreeSilent, 1,
     [](TSettings& s, std::uint32_t v) { s.AutoFreeSilent = Flag(v); }},
    {setting::kAutoLevel, 15, [](TSettings& s, std::uint32_t v) { s.AutoLevel = Int(v); }},
    {setting::kAutoTriggerLevel, 15,
     [](TSettings& s, std::uint32_t v) { s.AutoTriggerLevel = Int(v); }},
    {setting::kCPUThreshold, 75, [](TSettings& s, std::uint32_t v) { s.CPUThreshold = Int(v); }},
    {setting::kTargetRAM, 20, [](TSettings& s, std::uint32_t v) { s.TargetRAM = Int(v); }},
    {setting::kMonitorView, 1, [](TSettings& s, std::uint32_t v) { s.MonitorView = Int(v); }},
    {setting::kGlobalFont, 0xFFFFFF, [](TSettings& s, std::uint32_t v) { s.GlobalFont = Int(v); }},
    {setting::kUnloadDLLs, 1, [](TSettings& s, std::uint32_t v) { s.UnloadDLLs = Flag(v); }},
    {setting::kIEC, 1, [](TSettings& s, std::uint32_t v) { s.IEC = Flag(v); }},
    {setting::kProcesses, 1, [](TSettings& s, std::uint32_t v) { s.Processes = Flag(v); }},
    {setting::kProcessesUpdate, 30,
     [](TSettings& s, std::uint32_t v) { s.ProcessesUpdate = Int(v); }},
}};

void WriteDefaults(IRegistry& reg) {
    reg.CreateKey(kUser, kSettingsKeyPath);
    for (const SettingRow& row : kRows)
        if (!reg.ValueExists(kUser, kSettingsKeyPath, row.name))
            reg.WriteDword(kUser, kSettingsKeyPath, row.name, row.defaultValue);
}

bool StoreDword(IRegistry& reg, const char* name, std::uint32_t value) {
    try {
        reg.WriteDword(kUser, kSettingsKeyPath, name, value);
        return true;
    } catch (const RegistryError&) {
        return false;
    }
}

bool StoreInt(IRegistry& reg, const char* name, std::int32_t value) {
    return StoreDword(reg, name, static_cast<std::uint32_t>(value));
}

bool StoreFlag(IRegistry& reg, const char* name, bool value) {
    return StoreDword(reg, name, value ? 1u : 0u);
}

// Overwrites one existing machine-wide value, or leaves the job to WriteInstallInfo when the
// value is absent. A refusal for lack of rights is the case of a key that cannot be opened with
// full access: nothing is written and nothing is said. Any other failure reaches the caller.
void UpdateInstallValue(IRegistry& reg, const char* name, const std::string& data,
                        const std::string& exePath, const std::string& fileVersion) {
    bool exists = false;
    try {
        exists = reg.ValueExists(kMachine, kSettingsKeyPath, name);
    } catch (const RegistryError&) {
        exists = false;  // an unreadable machine store is one we cannot open either
    }
    if (!exists) {
        WriteInstallInfo(reg, exePath, fileVersion);
        return;
    }
    try {
        reg.WriteString(kMachine, kSettingsKeyPath, name, data);
    } catch (const RegistryAccessDenied&) {
    }
}

}  // namespace

bool SettingsKeyExists(IRegistry& reg) {
    return reg.KeyExists(kUser, kSettingsKeyPath);
}

void WriteDefaultSettings(IRegistry& reg, bool ignoreErrors) {
    if (!ignoreErrors) {
        WriteDefaults(reg);
        return;
    }
    try {
        WriteDefaults(reg);
    } catch (const RegistryError&) {
    }
}

void EnsureSettings(IRegistry& reg) {
    if (!SettingsKeyExists(reg)) WriteDefaultSettings(reg, false);
    for (const SettingRow& row : kRows)
        if (!reg.ValueExists(kUser, kSettingsKeyPath, row.name)) WriteDefaultSettings(reg, true);
}

void RegisterInstallation(IRegistry& reg, const std::string& exePath,
                          const std::string& fileVersion) {
    if (!SettingsKeyExists(reg)) WriteDefaultSettings(reg, false);
    UpdateInstallValue(reg, setting::kInstallLocation, exePath, exePath, fileVersion);
    UpdateInstallValue(reg, setting::kCurrentVersion, fileVersion, exePath, fileVersion);
}

void WriteInstallInfo(IRegistry& reg, const std::string& exePath, const std::string& fileVersion) {
    try {
        reg.CreateKey(kMachine, kSettingsKeyPath);
        if (!reg.ValueExists(kMachine, kSettingsKeyPath, setting::kInstallLocation))
            reg.WriteString(kMachine, kSettingsKeyPath, setting::kInstallLocation, exePath);
        if (!reg.ValueExists(kMachine, kSettingsKeyPath, setting::kCurrentVersion))
            reg.WriteString(kMachine, kSettingsKeyPath, setting::kCurrentVersion, fileVersion);
    } catch (const RegistryError&) {
    }
}

bool ReadSettings(IRegistry& reg, TSettings& settings) {
    for (const SettingRow& row : kRows) {
        std::uint32_t value = 0;
        try {
            value = reg.ReadDword(kUser, kSettingsKeyPath, row.name);
        } catch (const RegistryError&) {
            return false;
        }
        row.assign(settings, value);
    }
    return true;
}

bool StoreTargetRAM(IRegistry& reg, std::int32_t v) {
    return StoreInt(reg, setting::kTargetRAM, v);
}
bool StoreCPUThreshold(IRegistry& reg, std::int32_t v) {
    return StoreInt(reg, setting::kCPUThreshold, v);
}
bool StoreAttempts(IRegistry& reg, std::int32_t v) {
    return StoreInt(reg, setting::kAttempts, v);
}
bool StoreAutoFree(IRegistry& reg, bool v) {
    return StoreFlag(reg, setting::kAutoFree, v);
}
bool StoreAutoFreeSilent(IRegistry& reg, bool v) {
    return StoreFlag(reg, setting::kAutoFreeSilent, v);
}
bool StoreAutoLevel(IRegistry& reg, std::int32_t v) {
    return StoreInt(reg, setting::kAutoLevel, v);
}
bool StoreAutoTriggerLevel(IRegistry& reg, std::int32_t v) {
    return StoreInt(reg, setting::kAutoTriggerLevel, v);
}
bool StoreUpdatePeriod(IRegistry& reg, std::int32_t v) {
    return StoreInt(reg, setting::kUpdatePeriod, v);
}
bool StoreAutoStart(IRegistry& reg, bool v) {
    return StoreFlag(reg, setting::kAutoStart, v);
}
bool StoreUnloadDLLs(IRegistry& reg, bool v) {
    return StoreFlag(reg, setting::kUnloadDLLs, v);
}
bool StoreMonitorViewCode(IRegistry& reg, std::int32_t v) {
    return StoreInt(reg, setting::kMonitorView, v);
}
bool StoreIEC(IRegistry& reg, bool v) {
    return StoreFlag(reg, setting::kIEC, v);
}
bool StoreProcesses(IRegistry& reg, bool v) {
    return StoreFlag(reg, setting::kProcesses, v);
}
bool StoreProcessesUpdate(IRegistry& reg, std::int32_t v) {
    return StoreInt(reg, setting::kProcessesUpdate, v);
}

const std::vector<std::string>& SettingValueNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> out;
        for (const SettingRow& row : kRows) out.emplace_back(row.name);
        return out;
    }();
    return names;
}

const std::vector<std::uint32_t>& SettingDefaultValues() {
    static const std::vector<std::uint32_t> values = [] {
        std::vector<std::uint32_t> out;
        for (const SettingRow& row : kRows) out.push_back(row.defaultValue);
        return out;
    }();
    return values;
}

namespace {
// Code → (Used RAM, Free RAM, CPU).
constexpr std::array<MonitorView, 8> kViews = {{
    {false, false, false},
    {true, true, true},
    {false, true, true},
    {true, false, true},
    {true, true, false},
    {false, false, true},
    {false, true, false},
    {true, false, false},
}};
}  // namespace

std::optional<MonitorView> DecodeMonitorView(std::int32_t code) {
    if (code < 0 || code >= static_cast<std::int32_t>(kViews.size())) return std::nullopt;
    return kViews[static_cast<std::size_t>(code)];
}

std::int32_t EncodeMonitorView(MonitorView v) {
    for (std::size_t i = 0; i < kViews.size(); ++i)
        if (kViews[i].usedRAM == v.usedRAM && kViews[i].freeRAM == v.freeRAM &&
            kViews[i].cpu == v.cpu)
            return static_cast<std::int32_t>(i);
    return 0;  // unreachable: the table holds all eight combinations
}

}  // namespace orp
