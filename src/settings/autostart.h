#pragma once
// The two switches that reach outside the program: the login auto-start entry and the
// machine-wide "unload unused DLLs" value. Both report failure only through their result.
#include <string>

#include "platform/registry.h"
#include "platform/run_entries.h"

namespace orp {

inline constexpr const char* kRunEntryName = "Orrindo Pro";
// Written by older versions; removed whenever auto-start is registered.
inline constexpr const char* kOlderRunEntryName = "Orrindo";
// The leading backslash makes the path absolute from the root.
inline constexpr const char* kExplorerKeyPath =
    "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer";
inline constexpr const char* kAlwaysUnloadDLLName = "AlwaysUnloadDLL";

// Enable: writes the run entry with the quoted Path and removes the older entry. Disable:
// removes the run entry only (a missing one is fine). False when the entries could not be used.
bool RegisterAutoStart(IRunEntries& run, bool Enable, std::string Path);
// Writes "AlwaysUnloadDLL" as 1 or 0 (switching off writes 0, never deletes), creating its key
// when absent. False on any registry error.
bool SetAlwaysUnloadDLL(IRegistry& reg, bool Enable);
// Encloses the path in double quotes, adding only the quote that is missing at either end, so
// a quoted path stays as it is.
std::string QuotedPath(const std::string& path);

}  // namespace orp
