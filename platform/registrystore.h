#pragma once

// The storage behind the registry accessor. Only the standard library is used
// here, so that the Windows implementation builds without Qt.

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

// A registry operation that failed; the message is UTF-8.
class ERegistryError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// UTF-8 for exception texts.
std::string toUtf8(std::u16string_view text);

enum class RootKey { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig };

// The full name a root key has in registry paths and export files.
std::u16string_view rootKeyName(RootKey root);

enum class ValueKind {
    String, // REG_SZ
    ExpandString, // REG_EXPAND_SZ, read as plain text (no expansion)
    Integer, // REG_DWORD
    Other // any kind the tool does not handle (binary, multi-string, 64-bit, ...)
};

struct RegistryValue
{
    ValueKind kind = ValueKind::Other;
    std::u16string text; // String and ExpandString
    std::int32_t integer{}; // Integer

    friend bool operator==(const RegistryValue &, const RegistryValue &) = default;
};

// One open key. Closing it is destroying it.
class RegistryKey
{
public:
    virtual ~RegistryKey() = default;

    // No value of that name: nullopt. An empty name is the key's default value.
    // Raises ERegistryError when the store cannot be read at all.
    virtual std::optional<RegistryValue> value(std::u16string_view name) = 0;
    // Both replace a value of any kind. False when the store refused the write.
    virtual bool setString(std::u16string_view name, std::u16string_view text) = 0;
    virtual bool setInteger(std::u16string_view name, std::int32_t value) = 0;
};

class RegistryStore
{
public:
    virtual ~RegistryStore() = default;

    // `path` is relative to the root: components separated by single
    // backslashes, none empty, no leading or trailing backslash; an empty path
    // is the root itself. Key names match without regard to letter case.
    // Returns nullptr when the key does not exist (and `create` is false) or
    // cannot be opened or created.
    virtual std::unique_ptr<RegistryKey> openKey(RootKey root, std::u16string_view path,
                                                 bool create)
        = 0;
};
