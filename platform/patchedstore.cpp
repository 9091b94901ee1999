#include "patchedstore.h"

#include "text.h"

namespace {

bool hasLineBreak(const QString &text)
{
    return text.contains(u'\r') || text.contains(u'\n');
}

} // namespace

bool applyChange(RegistryDocument &document, const RegistryChange &change)
{
    switch (change.kind) {
    case RegistryChange::Kind::AddKey:
        document.addKey(change.key);
        return true;
    case RegistryChange::Kind::SetValue:
        return document.setValue(change.key, change.name, change.data);
    case RegistryChange::Kind::DeleteValue:
        document.removeValue(change.key, change.name);
        return true;
    }
    return false;
}

class PatchedStore::DocumentKey : public RegistryKey
{
public:
    DocumentKey(PatchedStore &store, QString key, QString path)
        : m_store(store)
        , m_key(std::move(key))
        , m_path(std::move(path))
    { }

    std::optional<StoredValue> storedValue(std::u16string_view name) override
    {
        const auto data = m_store.current(m_key).value(m_key, fromU16(name));
        if (!data)
            return std::nullopt;
        return data->stored();
    }

    bool setStoredValue(std::u16string_view name, const StoredValue &value) override
    {
        return m_store.change({RegistryChange::Kind::SetValue, m_key, m_path, fromU16(name),
                               RegData::fromStored(value)});
    }

    bool deleteValue(std::u16string_view name) override
    {
        return m_store.change(
            {RegistryChange::Kind::DeleteValue, m_key, m_path, fromU16(name), {}});
    }

private:
    PatchedStore &m_store;
    QString m_key;
    QString m_path;
};

std::unique_ptr<RegistryKey> PatchedStore::openKey(RootKey root, std::u16string_view path,
                                                   bool create)
{
    const QString relative = fromU16(path);
    // A line break or a bracket would end the key's line in the file early.
    if (hasLineBreak(relative) || relative.contains(u']'))
        return nullptr;
    const auto key = documentKey(root, relative);
    if (!key)
        return nullptr;
    if (!relative.isEmpty() && !current(*key, true).hasKey(*key)) {
        if (!create)
            return nullptr;
        change({RegistryChange::Kind::AddKey, *key, relative, {}, {}});
    }
    return std::make_unique<DocumentKey>(*this, *key, relative);
}

void PatchedStore::beginBatch()
{
    ++m_batchDepth;
}

std::vector<RefusedWrite> PatchedStore::commitBatch()
{
    if (m_batchDepth == 0 || --m_batchDepth > 0)
        return {};
    const QList<RegistryChange> changes = std::exchange(m_changes, {});
    std::unique_ptr<WriteHold> hold = std::move(m_hold);
    endBatch();
    if (changes.isEmpty())
        return {};
    if (!hold)
        hold = holdForWriting();
    return store(changes);
}

// An inner batch's writes stay in the outer one, which stores or drops them.
void PatchedStore::cancelBatch()
{
    if (m_batchDepth == 0 || --m_batchDepth > 0)
        return;
    m_changes.clear();
    endBatch();
}

void PatchedStore::endBatch()
{
    m_batchDocument.reset();
    m_hold.reset();
    m_holdTried = false;
}

// Inside a batch, reads see the registry as the batch first read it, with
// the batch's changes made.
const RegistryDocument &PatchedStore::current(const QString &key, bool opening)
{
    if (m_batchDepth == 0)
        return load(key, opening);
    // Held from the batch's first read, so that what it reads cannot change
    // before it writes. A store that cannot be held for writing (a read-only
    // one) can still be read; its writes fail at the commit.
    if (!m_holdTried) {
        m_holdTried = true;
        try {
            m_hold = holdForWriting();
        } catch (const ERegistryStoreError &) { }
    }
    if (!m_batchDocument || !m_batchDocument->covers(key)) {
        m_batchDocument = load(key, opening).clone();
        for (const RegistryChange &change : std::as_const(m_changes))
            applyChange(*m_batchDocument, change);
    }
    return *m_batchDocument;
}

bool PatchedStore::change(RegistryChange change)
{
    if (change.kind != RegistryChange::Kind::AddKey && hasLineBreak(change.name)) {
        // The formats cannot hold such a name, so it can neither be written
        // nor asked to go; one that is not there is gone already.
        return change.kind == RegistryChange::Kind::DeleteValue
            && !current(change.key).value(change.key, change.name);
    }
    if (m_batchDepth > 0) {
        current(change.key);
        if (!applyChange(*m_batchDocument, change))
            return false;
        m_changes.append(std::move(change));
        return true;
    }
    const std::unique_ptr<WriteHold> hold = holdForWriting();
    return store({std::move(change)}).empty();
}
