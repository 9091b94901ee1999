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

// Value types as the registry numbers them. A stored value may carry any
// other number too; those are kept as they are.
namespace StoredType {
inline constexpr std::uint32_t String = 1; // REG_SZ
inline constexpr std::uint32_t ExpandString = 2; // REG_EXPAND_SZ
inline constexpr std::uint32_t Binary = 3; // REG_BINARY
inline constexpr std::uint32_t DWord = 4; // REG_DWORD
inline constexpr std::uint32_t MultiString = 7; // REG_MULTI_SZ
inline constexpr std::uint32_t QWord = 11; // REG_QWORD
} // namespace StoredType

// A value exactly as the registry holds it: its type and its data bytes,
// whatever they are. What is put back from one is what was there, so that an
// earlier state can be restored kind and bytes included.
struct StoredValue
{
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;

    // UTF-16LE with the closing NUL, as the registry keeps text.
    static StoredValue fromString(std::u16string_view text,
                                  std::uint32_t type = StoredType::String);
    // A REG_DWORD: four little-endian bytes.
    static StoredValue fromInteger(std::int32_t value);

    friend bool operator==(const StoredValue &, const StoredValue &) = default;
};

// The value as the tool reads it: String and ExpandString as their text up
// to the first NUL, a REG_DWORD of exactly four bytes as Integer, anything
// else as Other.
RegistryValue decodeValue(const StoredValue &value);

// One open key. Closing it is destroying it.
class RegistryKey
{
public:
    virtual ~RegistryKey() = default;

    // No value of that name: nullopt. An empty name is the key's default value.
    // Raises ERegistryStoreError when the store cannot be read at all.
    virtual std::optional<StoredValue> storedValue(std::u16string_view name) = 0;
    // Replaces a value of any kind with exactly this one. False when the
    // store refused the write; ERegistryStoreError when it could not store
    // anything.
    virtual bool setStoredValue(std::u16string_view name, const StoredValue &value) = 0;
    // True when the value is gone afterwards, also when there was none;
    // false when the store refused; ERegistryStoreError as for a write.
    virtual bool deleteValue(std::u16string_view name) = 0;

    // The value as the tool reads it (decodeValue).
    std::optional<RegistryValue> value(std::u16string_view name);
    // Both replace a value of any kind, as setStoredValue does.
    bool setString(std::u16string_view name, std::u16string_view text);
    bool setInteger(std::u16string_view name, std::int32_t value);
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
    // A store that keeps what it read of a registry another program holds
    // (a running Wine server) forgets it, so that the next reads show that
    // registry as it is now. Reading it costs a run of another program: it
    // is read again only when the user asks (Read Settings, Undo) and after
    // a save, never while the window is merely shown or edited.
    virtual void refresh() { }
    // The keys of HKEY_CURRENT_USER about to be read: such a store reads
    // them all at once, side by side.
    virtual void readAhead(const std::vector<std::u16string> &) { }
};
