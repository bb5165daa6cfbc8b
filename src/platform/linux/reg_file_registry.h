#pragma once
// The registry port kept in two REGEDIT4 files: the current user's (private, mode 0600) and the
// machine-wide one (readable by all, writable by root only, which is what makes the machine
// root refuse an ordinary account).
//
// Every call reads its file afresh, so another process's change is seen at once. Every change
// is a read-modify-write under an exclusive lock on "<file>.lock" and replaces the file
// atomically, so two instances never lose each other's writes and a crash or a full disk keeps
// the previous file. A file with unreadable lines still serves the values it can read; before
// it is first rewritten, the original is kept beside it as "<file>.corrupt-<UTC time>".
#include <sys/types.h>

#include <memory>
#include <string>

#include "platform/linux/regedit4.h"
#include "platform/registry.h"

namespace orp {

class RegFileRegistry : public IRegistry {
public:
    // A file larger than this is not one of ours; it is treated as wholly unreadable.
    static constexpr std::size_t kMaxFileBytes = 8u << 20;

    RegFileRegistry(std::string userFile, std::string machineFile);
    // $XDG_CONFIG_HOME/orrindo-pro/user.reg and /etc/orrindo-pro/machine.reg.
    static std::unique_ptr<RegFileRegistry> ForCurrentUser();
    static std::string DefaultUserFile();
    static std::string DefaultMachineFile();

    const std::string& userFile() const { return user_.path; }
    const std::string& machineFile() const { return machine_.path; }

    bool KeyExists(RegRoot root, const std::string& key) override;
    void CreateKey(RegRoot root, const std::string& key) override;
    bool ValueExists(RegRoot root, const std::string& key, const std::string& name) override;
    std::uint32_t ReadDword(RegRoot root, const std::string& key, const std::string& name) override;
    std::string ReadString(RegRoot root, const std::string& key, const std::string& name) override;
    void WriteDword(RegRoot root, const std::string& key, const std::string& name,
                    std::uint32_t value) override;
    void WriteString(RegRoot root, const std::string& key, const std::string& name,
                     const std::string& value) override;
    void DeleteValue(RegRoot root, const std::string& key, const std::string& name) override;

private:
    struct Store {
        std::string path;
        RegRoot root;
        mode_t fileMode;
        mode_t dirMode;  // for directories it has to create
    };
    struct Loaded {
        Regedit4Document document;
        bool exists = false;
        bool clean = true;
    };
    // How a change went: whether the file must be rewritten.
    enum class Change { None, Rewrite };

    const Store& StoreOf(RegRoot root) const;
    Loaded Load(const Store& store) const;
    const Regedit4Value& ExistingValue(const Loaded& loaded, RegRoot root, const std::string& key,
                                       const std::string& name) const;
    template <typename F>
    void Modify(RegRoot root, bool mayCreateFile, F&& change);
    void SetValue(RegRoot root, const std::string& key, Regedit4Value value);

    Store user_;
    Store machine_;
};

}  // namespace orp
