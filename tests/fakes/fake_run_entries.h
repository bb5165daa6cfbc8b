#pragma once
// In-memory login entries for tests, with switches for the ways a real place fails.
//
//   FakeRunEntries run;
//   run.Set("Orrindo", "\"C:\\old.exe\"");   // seed, no switch applies
//   run.SetOpenFails(true);                   // Open() throws RunEntriesError
//   run.SetWriteFails(true);                  // Write and Delete throw RunEntriesError
//   run.Get("Orrindo Pro");                   // optional<string>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/run_entries.h"

namespace orp {

class FakeRunEntries : public IRunEntries {
public:
    void SetOpenFails(bool on) { openFails_ = on; }
    void SetWriteFails(bool on) { writeFails_ = on; }
    void Set(const std::string& name, const std::string& commandLine) {
        entries_[name] = commandLine;
    }
    std::optional<std::string> Get(const std::string& name) const {
        auto it = entries_.find(name);
        if (it == entries_.end()) return std::nullopt;
        return it->second;
    }
    const std::map<std::string, std::string>& entries() const { return entries_; }
    int openCount() const { return openCount_; }

    void Open() override {
        if (openFails_) throw RunEntriesError("the login entries cannot be opened");
        ++openCount_;
    }
    bool Exists(const std::string& name) override { return entries_.count(name) != 0; }
    std::string Read(const std::string& name) override {
        auto it = entries_.find(name);
        if (it == entries_.end()) throw RunEntriesError("no login entry " + name);
        return it->second;
    }
    void Write(const std::string& name, const std::string& commandLine) override {
        if (writeFails_) throw RunEntriesError("the login entry cannot be written");
        entries_[name] = commandLine;
    }
    void Delete(const std::string& name) override {
        if (writeFails_) throw RunEntriesError("the login entry cannot be removed");
        entries_.erase(name);
    }

private:
    std::map<std::string, std::string> entries_;
    bool openFails_ = false;
    bool writeFails_ = false;
    int openCount_ = 0;
};

}  // namespace orp
