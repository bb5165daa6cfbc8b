#pragma once
// Two instances share one log file: the program in the tray, and a command-line run started
// beside it (by cron, say), which loads the file, adds its row and saves. The tray instance
// still holds the log as it was and would write it back over that row at its next save. This
// remembers what the file and the grid held at the last load or save, so the window can take a
// file written elsewhere back in before it adds a row, and not write over it at exit when it has
// nothing of its own to add. What the user changed here (Clear Log, column widths) still wins.
#include <string>

#include "log/string_table.h"

namespace orp {

class LogFileSync {
public:
    // After the log was loaded from the file beside `exePath`.
    void Loaded(const StringTable& log, const std::string& exePath);
    // After the log was saved: the file now holds exactly the grid's text.
    void Saved(const StringTable& log);
    // The file exists and holds other bytes than at the last load or save. A file that vanished
    // is not a change made elsewhere: the grid is all that is left of it.
    bool FileChangedElsewhere(const std::string& exePath) const;
    // The grid differs from what was last loaded or saved.
    bool ChangedHere(const StringTable& log) const;

private:
    std::string fileBytes_;
    std::string gridText_;
};

}  // namespace orp
