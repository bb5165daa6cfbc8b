#pragma once
// An in-memory registry for tests: both roots, case-insensitive keys and value names (the case
// first used is kept), and switches that make it fail the way a real one does.
//
//   FakeRegistry reg;
//   reg.SetDword(RegRoot::CurrentUser, kSettingsKeyPath, "IEC", 1);   // seed, no switches apply
//   reg.SetMachineReadOnly(true);       // machine-wide writes refused: RegistryAccessDenied
//   reg.SetFailWrites(true);            // every write fails: RegistryError (a broken store)
//   reg.FailWritesAfter(3);             // three writes succeed, then every write fails
//   reg.MakeWrongType(RegRoot::CurrentUser, kSettingsKeyPath, "IEC");  // DWORD <-> string
//   reg.Dword(RegRoot::CurrentUser, kSettingsKeyPath, "IEC");          // optional<uint32_t>
//   reg.writes();                       // every successful write, in order
#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "platform/registry.h"
#include "platform/registry_path.h"

namespace orp {

class FakeRegistry : public IRegistry {
public:
    using Data = std::variant<std::uint32_t, std::string>;
    struct Value {
        std::string name;  // as first written
        Data data;
    };
    struct Key {
        std::string path;                     // as first created
        std::map<std::string, Value> values;  // by lower-case name
        std::vector<std::string> order;       // lower-case names in creation order
    };
    // One successful mutating call, for tests that check what was written and in which order.
    struct Write {
        enum class Kind { CreateKey, Dword, String, Delete } kind;
        RegRoot root;
        std::string key;
        std::string name;
        Data data;
    };

    // ---- switches ---------------------------------------------------------------------------
    void SetMachineReadOnly(bool on) { machineReadOnly_ = on; }
    void SetUserReadOnly(bool on) { userReadOnly_ = on; }
    void SetFailWrites(bool on) { failWrites_ = on; }
    // Lets `n` more writes succeed; every write after them fails. A negative n switches it off.
    void FailWritesAfter(int n) { writesLeft_ = n; }
    // Queries and reads throw, as when the store itself cannot be read.
    void SetFailReads(bool on) { failReads_ = on; }

    // ---- seeding and inspection (no switch applies) ----------------------------------------
    void SetDword(RegRoot root, const std::string& key, const std::string& name, std::uint32_t v) {
        Put(Make(root, key), name, v);
    }
    void SetString(RegRoot root, const std::string& key, const std::string& name,
                   const std::string& v) {
        Put(Make(root, key), name, v);
    }
    void AddKey(RegRoot root, const std::string& key) { Make(root, key); }
    void RemoveKey(RegRoot root, const std::string& key) {
        const std::string k = CanonicalKeyPath(key);
        auto& m = keys_[Index(root)];
        for (auto it = m.begin(); it != m.end();) {
            if (it->first == k || it->first.rfind(k + "\\", 0) == 0)
                it = m.erase(it);
            else
                ++it;
        }
    }
    void RemoveValue(RegRoot root, const std::string& key, const std::string& name) {
        if (Key* k = Find(root, key)) Erase(*k, name);
    }
    // Replaces a DWORD by a string (and a string by the DWORD 0), keeping the name.
    void MakeWrongType(RegRoot root, const std::string& key, const std::string& name) {
        Value* v = FindValue(root, key, name);
        if (!v) throw std::logic_error("MakeWrongType: no such value " + name);
        if (std::holds_alternative<std::uint32_t>(v->data))
            v->data = std::string("not a number");
        else
            v->data = std::uint32_t{0};
    }

    bool HasKey(RegRoot root, const std::string& key) const { return Find(root, key) != nullptr; }
    bool Has(RegRoot root, const std::string& key, const std::string& name) const {
        return FindValue(root, key, name) != nullptr;
    }
    std::optional<std::uint32_t> Dword(RegRoot root, const std::string& key,
                                       const std::string& name) const {
        const Value* v = FindValue(root, key, name);
        if (!v || !std::holds_alternative<std::uint32_t>(v->data)) return std::nullopt;
        return std::get<std::uint32_t>(v->data);
    }
    std::optional<std::string> String(RegRoot root, const std::string& key,
                                      const std::string& name) const {
        const Value* v = FindValue(root, key, name);
        if (!v || !std::holds_alternative<std::string>(v->data)) return std::nullopt;
        return std::get<std::string>(v->data);
    }
    // Value names of a key in creation order, in the case first used; empty for a missing key.
    std::vector<std::string> ValueNames(RegRoot root, const std::string& key) const {
        std::vector<std::string> out;
        if (const Key* k = Find(root, key))
            for (const std::string& lower : k->order) out.push_back(k->values.at(lower).name);
        return out;
    }
    const std::vector<Write>& writes() const { return writes_; }
    void ClearWrites() { writes_.clear(); }

    // ---- IRegistry ----------------------------------------------------------------------------
    bool KeyExists(RegRoot root, const std::string& key) override {
        CheckRead();
        return Find(root, key) != nullptr;
    }
    void CreateKey(RegRoot root, const std::string& key) override {
        CheckRead();
        if (Find(root, key)) return;  // an existing key is only opened: nothing to refuse
        CheckWrite(root);
        Make(root, key);
        Log(Write::Kind::CreateKey, root, key, "", std::uint32_t{0});
    }
    bool ValueExists(RegRoot root, const std::string& key, const std::string& name) override {
        CheckRead();
        return FindValue(root, key, name) != nullptr;
    }
    std::uint32_t ReadDword(RegRoot root, const std::string& key,
                            const std::string& name) override {
        const Value& v = Existing(root, key, name);
        if (!std::holds_alternative<std::uint32_t>(v.data))
            throw RegistryError("value \"" + name + "\" is not a DWORD");
        return std::get<std::uint32_t>(v.data);
    }
    std::string ReadString(RegRoot root, const std::string& key, const std::string& name) override {
        const Value& v = Existing(root, key, name);
        if (!std::holds_alternative<std::string>(v.data))
            throw RegistryError("value \"" + name + "\" is not a string");
        return std::get<std::string>(v.data);
    }
    void WriteDword(RegRoot root, const std::string& key, const std::string& name,
                    std::uint32_t value) override {
        Key& k = ExistingKey(root, key);
        CheckWrite(root);
        Put(k, name, value);
        Log(Write::Kind::Dword, root, key, name, value);
    }
    void WriteString(RegRoot root, const std::string& key, const std::string& name,
                     const std::string& value) override {
        Key& k = ExistingKey(root, key);
        CheckWrite(root);
        Put(k, name, value);
        Log(Write::Kind::String, root, key, name, value);
    }
    void DeleteValue(RegRoot root, const std::string& key, const std::string& name) override {
        Key& k = ExistingKey(root, key);
        if (!k.values.count(AsciiLower(name))) return;
        CheckWrite(root);
        Erase(k, name);
        Log(Write::Kind::Delete, root, key, name, std::uint32_t{0});
    }

private:
    static int Index(RegRoot root) { return root == RegRoot::CurrentUser ? 0 : 1; }

    const Key* Find(RegRoot root, const std::string& key) const {
        const auto& m = keys_[Index(root)];
        auto it = m.find(CanonicalKeyPath(key));
        return it == m.end() ? nullptr : &it->second;
    }
    Key* Find(RegRoot root, const std::string& key) {
        return const_cast<Key*>(static_cast<const FakeRegistry*>(this)->Find(root, key));
    }
    const Value* FindValue(RegRoot root, const std::string& key, const std::string& name) const {
        const Key* k = Find(root, key);
        if (!k) return nullptr;
        auto it = k->values.find(AsciiLower(name));
        return it == k->values.end() ? nullptr : &it->second;
    }
    Value* FindValue(RegRoot root, const std::string& key, const std::string& name) {
        return const_cast<Value*>(
            static_cast<const FakeRegistry*>(this)->FindValue(root, key, name));
    }
    // Creates the key and its parents, as a real registry does.
    Key& Make(RegRoot root, const std::string& key) {
        const auto parts = SplitKeyPath(key);
        auto& m = keys_[Index(root)];
        Key* last = nullptr;
        for (std::size_t n = 1; n <= parts.size(); ++n) {
            const std::string path = JoinKeyPath(parts, n);
            auto [it, added] = m.try_emplace(AsciiLower(path));
            if (added) it->second.path = path;
            last = &it->second;
        }
        return *last;
    }
    Key& ExistingKey(RegRoot root, const std::string& key) {
        CheckRead();
        Key* k = Find(root, key);
        if (!k) throw RegistryError("registry key \"" + key + "\" does not exist");
        return *k;
    }
    const Value& Existing(RegRoot root, const std::string& key, const std::string& name) {
        Key& k = ExistingKey(root, key);
        auto it = k.values.find(AsciiLower(name));
        if (it == k.values.end()) throw RegistryError("registry value \"" + name + "\" is missing");
        return it->second;
    }
    static void Put(Key& k, const std::string& name, Data data) {
        const std::string lower = AsciiLower(name);
        auto it = k.values.find(lower);
        if (it != k.values.end()) {
            it->second.data = std::move(data);
            return;
        }
        k.values.emplace(lower, Value{name, std::move(data)});
        k.order.push_back(lower);
    }
    static void Erase(Key& k, const std::string& name) {
        const std::string lower = AsciiLower(name);
        k.values.erase(lower);
        std::erase(k.order, lower);
    }
    void CheckRead() const {
        if (failReads_) throw RegistryError("the registry cannot be read");
    }
    void CheckWrite(RegRoot root) {
        if ((root == RegRoot::LocalMachine && machineReadOnly_) ||
            (root == RegRoot::CurrentUser && userReadOnly_))
            throw RegistryAccessDenied(std::string("access denied to ") + RootName(root));
        if (failWrites_) throw RegistryError("the registry refused the write");
        if (writesLeft_ == 0) throw RegistryError("the registry refused the write");
        if (writesLeft_ > 0) --writesLeft_;
    }
    void Log(Write::Kind kind, RegRoot root, const std::string& key, const std::string& name,
             Data data) {
        writes_.push_back(Write{kind, root, key, name, std::move(data)});
    }

    std::map<std::string, Key> keys_[2];
    std::vector<Write> writes_;
    bool machineReadOnly_ = false;
    bool userReadOnly_ = false;
    bool failWrites_ = false;
    bool failReads_ = false;
    int writesLeft_ = -1;
};

}  // namespace orp
