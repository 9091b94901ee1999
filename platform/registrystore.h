#pragma once

// The storage behind the registry accessor. Only the standard library is used
// here, so that the Windows implementation builds without Qt.

#include "language.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// A registry operation that failed; the message is UTF-8.
class ERegistryError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// UTF-8 for exception texts.
std::string toUtf8(std::u16string_view text);

// The store as a whole cannot be read, or a save cannot be stored: a
// damaged or unreadable file, a full disk, a lock held by another program.
// The user is told why, in either interface language.
class ERegistryStoreError : public ERegistryError
{
public:
    ERegistryStoreError(std::u16string english, std::u16string italian);
    const std::u16string &text(Language language) const
    {
        return language == Language::Italian ? m_italian : m_english;
    }

private:
    std::u16string m_english;
    std::u16string m_italian;
};

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

// A write of a batch that the store refused, while it stored the others:
// the key as it was opened, relative to its root, and the value's name.
struct RefusedWrite
{
    std::u16string key;
    std::u16string name;

    friend bool operator==(const RefusedWrite &, const RefusedWrite &) = default;
};

// One open key. Closing it is destroying it.
class RegistryKey
{
public:
    virtual ~RegistryKey() = default;

    // No value of that name: nullopt. An empty name is the key's default value.
    // Raises ERegistryStoreError when the store cannot be read at all.
    virtual std::optional<RegistryValue> value(std::u16string_view name) = 0;
    // Both replace a value of any kind. False when the store refused the
    // write; ERegistryStoreError when it could not store anything.
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
    // cannot be opened or created; raises ERegistryStoreError when the store
    // cannot be read at all.
    virtual std::unique_ptr<RegistryKey> openKey(RootKey root, std::u16string_view path,
                                                 bool create)
        = 0;

    // Writes made between beginBatch() and commitBatch() are stored together
    // when the outermost batch commits: all of them or none where the store
    // can hold writes back (a file), so that a save is one change however
    // many values it holds and a kill leaves the old or the new state; one
    // by one as they are made where it cannot (the Windows registry), where
    // the batch only groups the reporting. Reads inside a batch see its
    // writes. Batches nest.
    virtual void beginBatch() { }
    // Raises ERegistryStoreError when the batch's writes could not be
    // stored; then none of them is. A store that writes through another
    // program may store some and refuse others: those are returned.
    virtual std::vector<RefusedWrite> commitBatch() { return {}; }
    // Drops the writes of the batch that are not stored yet.
    virtual void cancelBatch() { }
};
