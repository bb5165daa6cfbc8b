#include "platform/linux/reg_file_registry.h"

#include <sys/stat.h>

#include <ctime>
#include <system_error>

#include "platform/linux/file_io.h"
#include "platform/linux/xdg_dirs.h"
#include "platform/registry_path.h"

namespace orp {

namespace {

// The section path of a key: its root's name, then the key's components.
std::string SectionPath(RegRoot root, const std::string& key) {
    const auto parts = SplitKeyPath(key);
    return std::string(RootName(root)) + "\\" + JoinKeyPath(parts, parts.size());
}

// A key exists when its section does, or when a section beneath it does (as in a registry,
// where a key cannot exist without its parents).
bool HasKey(const Regedit4Document& doc, const std::string& section) {
    if (doc.Find(section)) return true;
    const std::string prefix = CanonicalKeyPath(section) + "\\";
    for (const Regedit4Key& k : doc.keys())
        if (AsciiLower(k.path()).rfind(prefix, 0) == 0) return true;
    return false;
}

bool SameData(const Regedit4Value& a, const Regedit4Value& b) {
    return a.type == b.type && a.dword == b.dword && a.text == b.text && a.bytes == b.bytes;
}

void CheckName(const std::string& name) {
    if (!FitsQuotedString(name))
        throw RegistryError("registry value name holds a control character");
}

[[noreturn]] void Rethrow(const std::system_error& e) {
    if (fileio::IsAccessError(e.code().value())) throw RegistryAccessDenied(e.what());
    throw RegistryError(e.what());
}

std::string UtcStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    ::gmtime_r(&now, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y%m%d-%H%M%S", &tm);
    return buf;
}

// Keeps the file that could not be read fully under a name of its own before it is replaced.
void SetAside(const std::string& path) {
    const std::string base = path + ".corrupt-" + UtcStamp();
    for (int n = 1; n < 1000; ++n) {
        const std::string name = n == 1 ? base : base + "-" + std::to_string(n);
        if (fileio::KeepCopy(path, name)) return;
    }
    throw RegistryError("no free name to keep the unreadable " + path);
}

}  // namespace

RegFileRegistry::RegFileRegistry(std::string userFile, std::string machineFile)
    : user_{std::move(userFile), RegRoot::CurrentUser, 0600, 0700},
      machine_{std::move(machineFile), RegRoot::LocalMachine, 0644, 0755} {}

std::string RegFileRegistry::DefaultUserFile() {
    return XdgConfigHome() + "/orrindo-pro/user.reg";
}

std::string RegFileRegistry::DefaultMachineFile() {
    return "/etc/orrindo-pro/machine.reg";
}

std::unique_ptr<RegFileRegistry> RegFileRegistry::ForCurrentUser() {
    return std::make_unique<RegFileRegistry>(DefaultUserFile(), DefaultMachineFile());
}

const RegFileRegistry::Store& RegFileRegistry::StoreOf(RegRoot root) const {
    return root == RegRoot::CurrentUser ? user_ : machine_;
}

RegFileRegistry::Loaded RegFileRegistry::Load(const Store& store) const {
    Loaded out;
    std::optional<std::string> bytes;
    try {
        bytes = fileio::ReadFile(store.path, kMaxFileBytes);
    } catch (const std::system_error& e) {
        Rethrow(e);
    }
    if (!bytes) return out;
    out.exists = true;
    if (bytes->size() > kMaxFileBytes) {
        out.clean = false;
        return out;
    }
    Regedit4Parse parse = ParseRegedit4(*bytes);
    out.clean = parse.clean();
    out.document = std::move(parse.document);
    return out;
}

template <typename F>
void RegFileRegistry::Modify(RegRoot root, bool mayCreateFile, F&& change) {
    const Store& store = StoreOf(root);
    // Without its file no key exists; a write that needs one fails before anything is created.
    if (!mayCreateFile && !fileio::Exists(store.path))
        throw RegistryError("registry file " + store.path + " does not exist");
    try {
        fileio::MakeDirectories(fileio::DirectoryOf(store.path), store.dirMode);
        fileio::ExclusiveLock lock(store.path + ".lock", store.fileMode);
        Loaded loaded = Load(store);
        if (change(loaded.document) == Change::None) return;
        if (loaded.exists && !loaded.clean) SetAside(store.path);
        fileio::WriteFileAtomically(store.path, FormatRegedit4(loaded.document), store.fileMode);
    } catch (const std::system_error& e) {
        Rethrow(e);
    }
}

bool RegFileRegistry::KeyExists(RegRoot root, const std::string& key) {
    const std::string section = SectionPath(root, key);
    return HasKey(Load(StoreOf(root)).document, section);
}

void RegFileRegistry::CreateKey(RegRoot root, const std::string& key) {
    const std::string section = SectionPath(root, key);
    if (HasKey(Load(StoreOf(root)).document, section)) return;  // opening only: nothing to write
    Modify(root, true, [&](Regedit4Document& doc) {
        if (HasKey(doc, section)) return Change::None;
        doc.Add(section);
        return Change::Rewrite;
    });
}

bool RegFileRegistry::ValueExists(RegRoot root, const std::string& key, const std::string& name) {
    const std::string section = SectionPath(root, key);
    const Loaded loaded = Load(StoreOf(root));
    const Regedit4Key* k = loaded.document.Find(section);
    return k && k->Find(name);
}

const Regedit4Value& RegFileRegistry::ExistingValue(const Loaded& loaded, RegRoot root,
                                                    const std::string& key,
                                                    const std::string& name) const {
    const std::string section = SectionPath(root, key);
    const Regedit4Key* k = loaded.document.Find(section);
    if (!k && !HasKey(loaded.document, section))
        throw RegistryError("registry key " + section + " does not exist");
    const Regedit4Value* v = k ? k->Find(name) : nullptr;
    if (!v) throw RegistryError("registry value \"" + name + "\" in " + section + " is missing");
    return *v;
}

std::uint32_t RegFileRegistry::ReadDword(RegRoot root, const std::string& key,
                                         const std::string& name) {
    const Loaded loaded = Load(StoreOf(root));
    const Regedit4Value& v = ExistingValue(loaded, root, key, name);
    if (v.type != Regedit4Value::Type::Dword)
        throw RegistryError("registry value \"" + name + "\" is not a DWORD");
    return v.dword;
}

std::string RegFileRegistry::ReadString(RegRoot root, const std::string& key,
                                        const std::string& name) {
    const Loaded loaded = Load(StoreOf(root));
    const Regedit4Value& v = ExistingValue(loaded, root, key, name);
    if (v.type != Regedit4Value::Type::String)
        throw RegistryError("registry value \"" + name + "\" is not a string");
    return v.text;
}

void RegFileRegistry::SetValue(RegRoot root, const std::string& key, Regedit4Value value) {
    const std::string section = SectionPath(root, key);
    CheckName(value.name);
    Modify(root, false, [&](Regedit4Document& doc) {
        if (!HasKey(doc, section))
            throw RegistryError("registry key " + section + " does not exist");
        Regedit4Key& k = doc.Add(section);
        if (const Regedit4Value* old = k.Find(value.name); old && SameData(*old, value))
            return Change::None;  // a rewrite would change nothing
        k.Set(std::move(value));
        return Change::Rewrite;
    });
}

void RegFileRegistry::WriteDword(RegRoot root, const std::string& key, const std::string& name,
                                 std::uint32_t value) {
    Regedit4Value v;
    v.name = name;
    v.type = Regedit4Value::Type::Dword;
    v.dword = value;
    SetValue(root, key, std::move(v));
}

void RegFileRegistry::WriteString(RegRoot root, const std::string& key, const std::string& name,
                                  const std::string& value) {
    if (value.find('\0') != std::string::npos)
        throw RegistryError("a registry string cannot hold a NUL character");
    Regedit4Value v;
    v.name = name;
    v.type = Regedit4Value::Type::String;
    v.text = value;
    SetValue(root, key, std::move(v));
}

void RegFileRegistry::DeleteValue(RegRoot root, const std::string& key, const std::string& name) {
    const std::string section = SectionPath(root, key);
    const Loaded before = Load(StoreOf(root));
    if (!HasKey(before.document, section))
        throw RegistryError("registry key " + section + " does not exist");
    const Regedit4Key* k = before.document.Find(section);
    if (!k || !k->Find(name)) return;  // nothing to delete is not an error
    Modify(root, false, [&](Regedit4Document& doc) {
        Regedit4Key* target = doc.Find(section);
        if (!target || !target->Remove(name)) return Change::None;
        return Change::Rewrite;
    });
}

}  // namespace orp
