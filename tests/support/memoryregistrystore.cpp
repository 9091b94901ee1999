#include "memoryregistrystore.h"

#include <algorithm>

namespace {

char16_t foldChar(char16_t c)
{
    if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return static_cast<char16_t>(c - 0x20);
    if (c == 0xFF)
        return 0x178;
    return c;
}

std::u16string foldText(std::u16string_view text)
{
    std::u16string out(text);
    std::transform(out.begin(), out.end(), out.begin(), foldChar);
    return out;
}

} // namespace

class MemoryRegistryStore::OpenKey : public RegistryKey
{
public:
    OpenKey(MemoryRegistryStore &store, std::u16string foldedPath)
        : m_store(store)
        , m_path(std::move(foldedPath))
    { }

    std::optional<StoredValue> storedValue(std::u16string_view name) override
    {
        if (m_store.m_storeError)
            throw *m_store.m_storeError;
        return valueIn(m_store.findKey(m_path), name);
    }

    bool setStoredValue(std::u16string_view name, const StoredValue &value) override
    {
        if (m_store.m_refuseWrites)
            return false;
        ++m_store.m_writes;
        Key &key = m_store.m_keys[m_path];
        for (auto &[valueName, stored] : key.values) {
            if (foldText(valueName) == foldText(name)) {
                stored = value;
                return true;
            }
        }
        key.values.emplace_back(name, value);
        return true;
    }

    bool deleteValue(std::u16string_view name) override
    {
        if (m_store.m_refuseWrites)
            return false;
        ++m_store.m_writes;
        if (Key *key = m_store.findKey(m_path)) {
            std::erase_if(key->values, [&](const auto &entry) {
                return foldText(entry.first) == foldText(name);
            });
        }
        return true;
    }

private:
    MemoryRegistryStore &m_store;
    std::u16string m_path;
};

std::u16string MemoryRegistryStore::folded(RootKey root, std::u16string_view path)
{
    std::u16string full(rootKeyName(root));
    if (!path.empty())
        full += u'\\' + foldText(path);
    return full;
}

MemoryRegistryStore::Key *MemoryRegistryStore::findKey(const std::u16string &foldedPath)
{
    const auto it = m_keys.find(foldedPath);
    return it == m_keys.end() ? nullptr : &it->second;
}

const MemoryRegistryStore::Key *MemoryRegistryStore::findKey(const std::u16string &foldedPath) const
{
    const auto it = m_keys.find(foldedPath);
    return it == m_keys.end() ? nullptr : &it->second;
}

bool MemoryRegistryStore::exists(const std::u16string &foldedPath) const
{
    if (foldedPath.find(u'\\') == std::u16string::npos)
        return true; // a root always exists
    if (m_keys.contains(foldedPath))
        return true;
    const auto prefix = foldedPath + u'\\';
    const auto it = m_keys.lower_bound(prefix);
    return it != m_keys.end() && it->first.starts_with(prefix);
}

std::unique_ptr<RegistryKey> MemoryRegistryStore::openKey(RootKey root, std::u16string_view path,
                                                          bool create)
{
    m_opened.emplace_back(path);
    if (m_storeError)
        throw *m_storeError;
    auto key = folded(root, path);
    if (!exists(key)) {
        if (!create || m_refuseWrites)
            return nullptr;
        m_keys[key];
    }
    return std::make_unique<OpenKey>(*this, std::move(key));
}

void MemoryRegistryStore::put(RootKey root, std::u16string_view path, std::u16string_view name,
                              const RegistryValue &value)
{
    switch (value.kind) {
    case ValueKind::String:
        return putStored(root, path, name, StoredValue::fromString(value.text));
    case ValueKind::ExpandString:
        return putStored(root, path, name,
                         StoredValue::fromString(value.text, StoredType::ExpandString));
    case ValueKind::Integer:
        return putStored(root, path, name, StoredValue::fromInteger(value.integer));
    case ValueKind::Other:
        break;
    }
    putStored(root, path, name, StoredValue{StoredType::Binary, {}});
}

void MemoryRegistryStore::putStored(RootKey root, std::u16string_view path,
                                    std::u16string_view name, StoredValue value)
{
    auto &values = m_keys[folded(root, path)].values;
    std::erase_if(values,
                  [&](const auto &entry) { return foldText(entry.first) == foldText(name); });
    values.emplace_back(name, std::move(value));
}

std::optional<RegistryValue> MemoryRegistryStore::get(RootKey root, std::u16string_view path,
                                                      std::u16string_view name) const
{
    const auto stored = getStored(root, path, name);
    if (!stored)
        return std::nullopt;
    return decodeValue(*stored);
}

std::optional<StoredValue> MemoryRegistryStore::getStored(RootKey root, std::u16string_view path,
                                                          std::u16string_view name) const
{
    return valueIn(findKey(folded(root, path)), name);
}

std::optional<StoredValue> MemoryRegistryStore::valueIn(const Key *key, std::u16string_view name)
{
    if (!key)
        return std::nullopt;
    for (const auto &[valueName, value] : key->values) {
        if (foldText(valueName) == foldText(name))
            return value;
    }
    return std::nullopt;
}

bool MemoryRegistryStore::hasKey(RootKey root, std::u16string_view path) const
{
    return exists(folded(root, path));
}
