#pragma once
// Everything the main window reaches outside itself, handed in at construction so the real
// program passes the system's adapters and the tests pass fakes.
#include <QDateTime>

#include <functional>
#include <string>
#include <vector>

namespace orp {

class IMemoryStatusSource;
class IBlockHeap;
class IRegistry;
class IProcessorTimes;
class IProcessSource;
class IRunEntries;
class IUserDialogs;
class IGlobalHotKey;

struct WindowPorts {
    IMemoryStatusSource* memory = nullptr;
    IBlockHeap* heap = nullptr;
    IRegistry* registry = nullptr;
    IProcessorTimes* processor = nullptr;
    IProcessSource* processes = nullptr;
    IRunEntries* runEntries = nullptr;
    IUserDialogs* dialogs = nullptr;
    IGlobalHotKey* hotKey = nullptr;  // may be null: no hot key on this desktop

    std::string exeName;              // full path of the running executable
    std::vector<std::string> params;  // command-line parameters without the program path
    std::string fileVersion;          // empty when none is compiled in
    // Whether the desktop has a notification area now. Asked each time it matters: a panel can
    // start after the program (a login where autostart entries race the panel).
    std::function<bool()> trayAvailable = [] { return true; };
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
};

}  // namespace orp
