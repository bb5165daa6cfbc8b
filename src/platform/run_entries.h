#pragma once
// Port: the entries that start programs when the user logs in, one per name, each holding a
// command line (a quoted path, as a Windows Run value does).
//
// Contract
// - Open() checks that the place where entries live can be used and throws RunEntriesError
//   when it cannot (it does not create anything a Run key would not already have).
// - Exists / Write / Delete act on one named entry; Write replaces an entry of the same name;
//   Delete of a missing entry is not an error. Every failure throws RunEntriesError.
// - Read returns the command line as written (for checking); throws when missing.
#include <stdexcept>
#include <string>

namespace orp {

class RunEntriesError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class IRunEntries {
public:
    virtual ~IRunEntries() = default;
    virtual void Open() = 0;
    virtual bool Exists(const std::string& name) = 0;
    virtual std::string Read(const std::string& name) = 0;
    virtual void Write(const std::string& name, const std::string& commandLine) = 0;
    virtual void Delete(const std::string& name) = 0;
};

}  // namespace orp
