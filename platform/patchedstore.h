#pragma once

// What the stores that keep a registry in a file have in common: the
// registry is read whole into a document, and changed by patching the
// document and writing it back. Writes are journalled, so that a batch is
// made again, all at once, on the registry as it is when the batch is
// stored: what another program changed in the meantime stays.

#include "regfile.h"
#include "registrystore.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

// A registry file held in memory. Keys are named as the store names them in
// its file; keys and value names match without regard to case.
class RegistryDocument
{
public:
    virtual ~RegistryDocument() = default;
    virtual std::unique_ptr<RegistryDocument> clone() const = 0;
    // Whether the document holds what is known of `key`; a document read in
    // parts may not.
    virtual bool covers(const QString &) const { return true; }
    virtual bool hasKey(const QString &key) const = 0;
    virtual std::optional<RegData> value(const QString &key, const QString &name) const = 0;
    virtual void addKey(const QString &key) = 0;
    // False for a name the format cannot hold.
    virtual bool setValue(const QString &key, const QString &name, const RegData &data) = 0;
    // Removes the value, if the key has it.
    virtual void removeValue(const QString &key, const QString &name) = 0;
    // The file as it is to be written.
    virtual QByteArray serialize() const = 0;
};

// One write: a key to add, a value to set or one to delete.
struct RegistryChange
{
    enum class Kind { AddKey, SetValue, DeleteValue };
    Kind kind = Kind::AddKey;
    QString key; // in the document
    QString path; // as it was opened, relative to its root
    QString name; // of the value
    RegData data; // to set
};
// False when the document cannot hold it.
bool applyChange(RegistryDocument &document, const RegistryChange &change);

// Keeps other writers out while it lives.
class WriteHold
{
public:
    virtual ~WriteHold() = default;
};

class PatchedStore : public RegistryStore
{
public:
    std::unique_ptr<RegistryKey> openKey(RootKey root, std::u16string_view path,
                                         bool create) override;
    void beginBatch() override;
    std::vector<RefusedWrite> commitBatch() override;
    void cancelBatch() override;

protected:
    // The key's name in the document; nullopt for one the store does not hold.
    virtual std::optional<QString> documentKey(RootKey root, const QString &path) const = 0;
    // The registry as it is now, holding what is known of `key`; `opening`
    // when the key is being opened, which is when a store that keeps what it
    // read (from another program) asks again. Raises ERegistryStoreError
    // while it cannot be read.
    virtual const RegistryDocument &load(const QString &key, bool opening) = 0;
    // Keeps other writers from changing the registry until it ends, so that
    // what a batch reads before it writes is still so when it writes.
    // Raises ERegistryStoreError when it cannot be had.
    virtual std::unique_ptr<WriteHold> holdForWriting() = 0;
    // Makes `changes` on the registry as it is now, while a hold is held:
    // all of them or none (then it raises ERegistryStoreError), or, where
    // another program stores them, one by one, returning those it refused.
    virtual std::vector<RefusedWrite> store(const QList<RegistryChange> &changes) = 0;

private:
    class DocumentKey;

    const RegistryDocument &current(const QString &key, bool opening = false);
    bool change(RegistryChange change);

    void endBatch();

    int m_batchDepth = 0;
    QList<RegistryChange> m_changes; // of the open batch
    std::unique_ptr<RegistryDocument> m_batchDocument; // the registry with the batch's changes
    std::unique_ptr<WriteHold> m_hold; // from the batch's first read to its end
    bool m_holdTried = false;
};
