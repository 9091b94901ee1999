#pragma once

// The tool's view of the registry: a root key and at most one open key, with
// the reading rules the preferences and the settings pages rely on.

#include "registrystore.h"

class RegistryAccessor
{
public:
    explicit RegistryAccessor(RegistryStore &store);

    RegistryStore &store() { return m_store; }

    RootKey rootKey() const { return m_root; }
    // Changing the root closes the open key.
    void setRootKey(RootKey root);

    // A path that starts with a backslash is taken from the root, any other
    // from the open key (or the root when none is open). A trailing backslash
    // is allowed. On success the new key replaces the open one; on failure the
    // open key stays open.
    bool openKey(std::u16string_view path, bool canCreate);
    void closeKey();
    bool hasOpenKey() const { return m_key != nullptr; }
    // The open key's path from the root, without leading backslash.
    const std::u16string &currentPath() const { return m_path; }

    // The value as stored, of any kind; nullopt when there is none.
    std::optional<RegistryValue> readValue(std::u16string_view name);
    // A missing value reads as empty; a value that is neither a string nor an
    // expandable string raises ERegistryError.
    std::u16string readString(std::u16string_view name);
    // A missing value, or one of another kind, raises ERegistryError.
    std::int32_t readInteger(std::u16string_view name);
    // Both replace a value of any kind; a refused write raises ERegistryError.
    void writeString(std::u16string_view name, std::u16string_view text);
    void writeInteger(std::u16string_view name, std::int32_t value);
    // The value exactly as stored, type and bytes; nullopt when there is none.
    std::optional<StoredValue> readStoredValue(std::u16string_view name);
    // Replaces a value of any kind with exactly this one; a refused write
    // raises ERegistryError.
    void writeStoredValue(std::u16string_view name, const StoredValue &value);
    // Removes the value, if there is one; a refused deletion raises
    // ERegistryError.
    void deleteValue(std::u16string_view name);

private:
    RegistryKey &openedKey(std::u16string_view name);

    RegistryStore &m_store;
    RootKey m_root = RootKey::CurrentUser;
    std::unique_ptr<RegistryKey> m_key;
    std::u16string m_path;
};

// Opens a key for the length of a scope and closes it however the scope
// ends; a failed open leaves nothing open.
class OpenKeyScope
{
public:
    OpenKeyScope(RegistryAccessor &registry, std::u16string_view path, bool canCreate)
        : m_registry(registry)
        , m_open(registry.openKey(path, canCreate))
    { }
    ~OpenKeyScope() { m_registry.closeKey(); }
    OpenKeyScope(const OpenKeyScope &) = delete;
    OpenKeyScope &operator=(const OpenKeyScope &) = delete;

    bool isOpen() const { return m_open; }

private:
    RegistryAccessor &m_registry;
    bool m_open;
};

// A batch of writes for the length of a scope (see RegistryStore): stored by
// commit(), dropped when the scope ends without it.
class RegistryBatch
{
public:
    explicit RegistryBatch(RegistryStore &store)
        : m_store(store)
    {
        m_store.beginBatch();
    }
    ~RegistryBatch()
    {
        if (m_open)
            m_store.cancelBatch();
    }
    RegistryBatch(const RegistryBatch &) = delete;
    RegistryBatch &operator=(const RegistryBatch &) = delete;

    // Raises ERegistryStoreError when nothing could be stored; returns the
    // writes refused while the others were stored.
    std::vector<RefusedWrite> commit()
    {
        m_open = false;
        return m_store.commitBatch();
    }

private:
    RegistryStore &m_store;
    bool m_open = true;
};
