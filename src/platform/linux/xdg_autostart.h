#pragma once
// Login entries as freedesktop autostart files: entry "Orrindo Pro" is the desktop entry
// "<dir>/Orrindo Pro.desktop". The command line of an entry is a path in double quotes, as a
// Run value holds it; the file's Exec line holds that path quoted and escaped so a desktop
// session starts exactly that file, whatever blanks, quotes, backslashes, dollar or percent
// signs it contains.
#include <string>

#include "platform/run_entries.h"

namespace orp {

class XdgAutostartEntries : public IRunEntries {
public:
    explicit XdgAutostartEntries(std::string directory = DefaultDirectory());
    // $XDG_CONFIG_HOME/autostart (by default ~/.config/autostart).
    static std::string DefaultDirectory();

    const std::string& directory() const { return dir_; }
    // The file of an entry; throws RunEntriesError for a name that cannot be a file name.
    std::string FileFor(const std::string& name) const;

    // Creates the directory when absent (private, like the rest of the configuration).
    void Open() override;
    bool Exists(const std::string& name) override;
    std::string Read(const std::string& name) override;
    void Write(const std::string& name, const std::string& commandLine) override;
    void Delete(const std::string& name) override;

    // The whole desktop entry written for a command line. Throws RunEntriesError for a path a
    // desktop entry cannot hold (empty, not UTF-8, control characters other than tab, CR, LF).
    static std::string DesktopEntryFor(const std::string& name, const std::string& commandLine);
    // The Exec value, as it stands in the file, that starts the program at `path`.
    static std::string ExecValueFor(const std::string& path);
    // The command line (a quoted path) back from a desktop entry's text.
    static std::string CommandLineFrom(const std::string& desktopEntry);

private:
    std::string dir_;
};

}  // namespace orp
