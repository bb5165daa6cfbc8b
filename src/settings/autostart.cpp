#include "settings/autostart.h"

namespace orp {

std::string QuotedPath(const std::string& path) {
    // A lone quote both begins and ends the text; it still needs its partner.
    const bool opens = !path.empty() && path.front() == '"';
    const bool closes = path.size() >= 2 && path.back() == '"';
    std::string out;
    out.reserve(path.size() + 2);
    if (!opens) out.push_back('"');
    out += path;
    if (!closes) out.push_back('"');
    return out;
}

bool RegisterAutoStart(IRunEntries& run, bool Enable, std::string Path) {
    try {
        run.Open();
        if (Enable) {
            const std::string commandLine = QuotedPath(Path);
            if (run.Exists(kOlderRunEntryName)) run.Delete(kOlderRunEntryName);
            run.Write(kRunEntryName, commandLine);
        } else {
            run.Delete(kRunEntryName);
        }
        return true;
    } catch (const RunEntriesError&) {
        return false;
    }
}

bool SetAlwaysUnloadDLL(IRegistry& reg, bool Enable) {
    try {
        reg.CreateKey(RegRoot::LocalMachine, kExplorerKeyPath);
        reg.WriteDword(RegRoot::LocalMachine, kExplorerKeyPath, kAlwaysUnloadDLLName,
                       Enable ? 1u : 0u);
        return true;
    } catch (const RegistryError&) {
        return false;
    }
}

}  // namespace orp
