#pragma once

// An in-memory registry for tests: key and value names match without regard
// to letter case (ASCII and Latin-1 letters), values keep the case they were
// first written with, and writes can be made to fail.

#include "registrystore.h"

#include <map>
#include <vector>

class MemoryRegistryStore : public RegistryStore
{
public:
    std::unique_ptr<RegistryKey> openKey(RootKey root, std::u16string_view path,
                                         bool create) override;

    // Puts any value in place, creating its key; for seeding kinds the
    // accessor cannot write. A value of kind Other goes in as an empty
    // REG_BINARY.
    void put(RootKey root, std::u16string_view path, std::u16string_view name,
             const RegistryValue &value);
    void putStored(RootKey root, std::u16string_view path, std::u16string_view name,
                   StoredValue value);
    std::optional<RegistryValue> get(RootKey root, std::u16string_view path,
                                     std::u16string_view name) const;
    std::optional<StoredValue> getStored(RootKey root, std::u16string_view path,
                                         std::u16string_view name) const;
    bool hasKey(RootKey root, std::u16string_view path) const;

    void setRefuseWrites(bool refuse) { m_refuseWrites = refuse; }
    // From now on every open and read raises `error`, as a store that cannot
    // be read at all does; nullopt ends it.
    void setStoreError(std::optional<ERegistryStoreError> error)
    {
        m_storeError = std::move(error);
    }
    bool refusesWrites() const { return m_refuseWrites; }
    // Writes and deletions made through open keys.
    int writeCount() const { return m_writes; }
    // Every key opened, as passed to openKey, in order.
    const std::vector<std::u16string> &openedKeys() const { return m_opened; }

private:
    struct Key
    {
        std::vector<std::pair<std::u16string, StoredValue>> values;
    };
    class OpenKey;

    static std::u16string folded(RootKey root, std::u16string_view path);
    static std::optional<StoredValue> valueIn(const Key *key, std::u16string_view name);
    Key *findKey(const std::u16string &foldedPath);
    const Key *findKey(const std::u16string &foldedPath) const;
    bool exists(const std::u16string &foldedPath) const;

    std::map<std::u16string, Key> m_keys;
    bool m_refuseWrites = false;
    std::optional<ERegistryStoreError> m_storeError;
    int m_writes = 0;
    std::vector<std::u16string> m_opened;
};
