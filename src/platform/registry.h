#pragma once
// Port: a hierarchical store of typed values, shaped like the Windows registry so that the
// settings code reads the same on every platform.
//
// Contract
// - Two roots: CurrentUser (per user, always writable by its owner) and LocalMachine (shared;
//   writing it may be refused for an ordinary account).
// - Key paths use backslashes and compare case-insensitively; a leading backslash is allowed
//   and means the same key. Value names compare case-insensitively too.
// - Every call is complete in itself (open, act, close): nothing is cached between calls, so a
//   change made by another process is seen by the next call.
// - Failures throw RegistryError: a key that must exist and does not, a missing value, a value
//   of the other type, a write that was refused. Queries (KeyExists, ValueExists) do not throw
//   for absence (a value of a missing key is simply absent); they throw only when the store
//   itself cannot be read.
// - A write refused because this account may not change that root (an ordinary user and the
//   machine-wide root) throws RegistryAccessDenied, a RegistryError: it is what opening a key
//   with full access reports on Windows, and callers that must tell "may not" from "could not"
//   (disk full, broken store) catch it apart.
// - CreateKey makes the key (and its parents) when absent and leaves an existing key as it is
//   (nothing is written then, so nothing can be refused); writing a value never creates its
//   key: the key must exist, else RegistryError.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace orp {

enum class RegRoot { CurrentUser, LocalMachine };
enum class RegType { Dword, String };

class RegistryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class RegistryAccessDenied : public RegistryError {
public:
    using RegistryError::RegistryError;
};

class IRegistry {
public:
    virtual ~IRegistry() = default;
    virtual bool KeyExists(RegRoot root, const std::string& key) = 0;
    virtual void CreateKey(RegRoot root, const std::string& key) = 0;
    virtual bool ValueExists(RegRoot root, const std::string& key, const std::string& name) = 0;
    virtual std::uint32_t ReadDword(RegRoot root, const std::string& key,
                                    const std::string& name) = 0;
    virtual std::string ReadString(RegRoot root, const std::string& key,
                                   const std::string& name) = 0;
    virtual void WriteDword(RegRoot root, const std::string& key, const std::string& name,
                            std::uint32_t value) = 0;
    virtual void WriteString(RegRoot root, const std::string& key, const std::string& name,
                             const std::string& value) = 0;
    // Deleting a value that does not exist is not an error; a missing key is.
    virtual void DeleteValue(RegRoot root, const std::string& key, const std::string& name) = 0;
};

}  // namespace orp
