#pragma once
// The per-user settings, their defaults and the installation values, kept in the registry port.
// Every function opens what it needs through the registry, acts and returns: nothing is cached,
// so the store is always what the registry holds at that moment.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace orp {

constexpr const char* kSettingsKeyPath = "software\\Kestovar\\Orrindo Pro";

// The fifteen value names, in the order the defaults are written and the values are read.
namespace setting {
inline constexpr const char* kAutoStart = "Auto Start";
inline constexpr const char* kUpdatePeriod = "Update Period";
inline constexpr const char* kAttempts = "Attempts";
inline constexpr const char* kAutoFree = "Automatic RAM Freeing";
inline constexpr const char* kAutoFreeSilent = "Automatic RAM Free Silent";
inline constexpr const char* kAutoLevel = "Automatic Level";
inline constexpr const char* kAutoTriggerLevel = "Automatic Trigger Level";
inline constexpr const char* kCPUThreshold = "CPU Threshold";
inline constexpr const char* kTargetRAM = "Target RAM";
inline constexpr const char* kMonitorView = "Monitor View";
inline constexpr const char* kGlobalFont = "Global Font";
inline constexpr const char* kUnloadDLLs = "Unload DLLs";
inline constexpr const char* kIEC = "IEC";
inline constexpr const char* kProcesses = "Processes";
inline constexpr const char* kProcessesUpdate = "Processes Update";
// Machine-wide, under the same key path, both strings.
inline constexpr const char* kInstallLocation = "Install Location";
inline constexpr const char* kCurrentVersion = "Current Version";
}  // namespace setting

struct TSettings {
    bool AutoStart = false;
    std::int32_t UpdatePeriod = 0;
    std::int32_t Attempts = 0;
    bool AutoFree = false;
    bool AutoFreeSilent = false;
    std::int32_t AutoLevel = 0;
    std::int32_t AutoTriggerLevel = 0;
    std::int32_t CPUThreshold = 0;
    std::int32_t TargetRAM = 0;
    std::int32_t MonitorView = 0;
    std::int32_t GlobalFont = 0;
    bool UnloadDLLs = false;
    bool IEC = false;
    bool Processes = false;
    std::int32_t ProcessesUpdate = 0;
};

// True when the per-user key exists.
bool SettingsKeyExists(IRegistry& reg);
// Creates the per-user key when absent and gives every missing value its default; existing
// values are never changed. With ignoreErrors a registry error ends it quietly, otherwise it
// reaches the caller.
void WriteDefaultSettings(IRegistry& reg, bool ignoreErrors);
// After it, every missing value has its default. Creating a missing key reports its errors;
// filling single missing values does not.
void EnsureSettings(IRegistry& reg);
// Makes the machine-wide installation values describe this executable. Creating the per-user
// key and overwriting an existing machine-wide value report their errors, except that an
// account which may not write the machine-wide root is left alone, as it would be on a system
// that refuses it the key.
void RegisterInstallation(IRegistry& reg, const std::string& exePath,
                          const std::string& fileVersion);
// Creates the machine-wide key when absent and writes the installation values that do not
// exist yet. Every registry error is ignored.
void WriteInstallInfo(IRegistry& reg, const std::string& exePath, const std::string& fileVersion);
// Reads the fifteen values in order into `settings`; false at the first one that is missing or
// not a DWORD (or when the key is missing), leaving the fields from there on as they were.
bool ReadSettings(IRegistry& reg, TSettings& settings);

// One-value writers: the per-user key must exist (it is never created here); false when the
// key is missing or the write is refused.
bool StoreTargetRAM(IRegistry& reg, std::int32_t value);
bool StoreCPUThreshold(IRegistry& reg, std::int32_t value);
bool StoreAttempts(IRegistry& reg, std::int32_t value);
bool StoreAutoFree(IRegistry& reg, bool value);
bool StoreAutoFreeSilent(IRegistry& reg, bool value);
bool StoreAutoLevel(IRegistry& reg, std::int32_t value);
bool StoreAutoTriggerLevel(IRegistry& reg, std::int32_t value);
bool StoreUpdatePeriod(IRegistry& reg, std::int32_t value);
bool StoreAutoStart(IRegistry& reg, bool value);
bool StoreUnloadDLLs(IRegistry& reg, bool value);
bool StoreMonitorViewCode(IRegistry& reg, std::int32_t value);
bool StoreIEC(IRegistry& reg, bool value);
bool StoreProcesses(IRegistry& reg, bool value);
bool StoreProcessesUpdate(IRegistry& reg, std::int32_t value);

// The fifteen value names in table order.
const std::vector<std::string>& SettingValueNames();
// The default of each value, in the same order, as stored (flags 0 or 1).
const std::vector<std::uint32_t>& SettingDefaultValues();

// Texts shown when a store fails (and when the settings cannot be read).
namespace msg {
inline constexpr const char* kAccess = "Unable to access Orrindo settings.";
inline constexpr const char* kTargetRAM = "Unable to store automatic RAM level.";
inline constexpr const char* kUpdatePeriod = "Unable to store update period.";
inline constexpr const char* kAttempts = "Unable to attempts to free.";
inline constexpr const char* kAutoLevel = "Unable to automatic RAM to free level.";
inline constexpr const char* kAutoTriggerLevel = "Unable to automatic RAM to free trigger level.";
inline constexpr const char* kCPUThreshold = "Unable to store cpu threshold.";
inline constexpr const char* kAutoFree = "Unable to store automatic RAM freeing.";
inline constexpr const char* kAutoFreeSilent = "Unable to store automatic RAM freeing silent mode.";
inline constexpr const char* kMonitorView = "Unable to store monitor view.";
inline constexpr const char* kAutoStart = "Unable to store auto start.";
inline constexpr const char* kUnloadDLLs = "Unable to store unload DLLs.";
inline constexpr const char* kProcessesUpdate = "Unable to processes update period.";
}  // namespace msg

// Which graph channels are shown, and the code 0..7 that records them (a list of the eight
// combinations, not a bit mask).
struct MonitorView {
    bool usedRAM, freeRAM, cpu;
};
// nullopt for a code outside 0..7: the caller then leaves its check boxes as they are.
std::optional<MonitorView> DecodeMonitorView(std::int32_t code);
std::int32_t EncodeMonitorView(MonitorView v);

}  // namespace orp
