#include "registryfilestore.h"

#include "documentfile.h"

#include <QStandardPaths>

using namespace Qt::Literals::StringLiterals;

namespace {

// A registry-export file as a document; keys are named from their root.
class RegFileDocument : public RegistryDocument
{
public:
    explicit RegFileDocument(RegFile file)
        : m_file(std::move(file))
    { }

    std::unique_ptr<RegistryDocument> clone() const override
    {
        return std::make_unique<RegFileDocument>(m_file);
    }
    bool hasKey(const QString &key) const override { return m_file.hasKey(key); }
    std::optional<RegData> value(const QString &key, const QString &name) const override
    {
        return m_file.value(key, name);
    }
    void addKey(const QString &key) override { m_file.addKey(key); }
    bool setValue(const QString &key, const QString &name, const RegData &data) override
    {
        return m_file.setValue(key, name, data);
    }
    void removeValue(const QString &key, const QString &name) override
    {
        m_file.removeValue(key, name);
    }
    QByteArray serialize() const override { return m_file.serialize(); }

private:
    RegFile m_file;
};

} // namespace

RegistryFileStore::RegistryFileStore(QString path, FileCalls &calls)
    : m_calls(calls)
    , m_file(std::make_unique<DocumentFile>(
          std::move(path), calls, [](const QByteArray &bytes, bool exists) {
              return std::make_unique<RegFileDocument>(exists ? RegFile::parse(bytes) : RegFile());
          }))
{ }

RegistryFileStore::~RegistryFileStore() = default;

QString RegistryFileStore::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + u"/Ordevan/registry.reg"_s;
}

const QString &RegistryFileStore::path() const
{
    return m_file->path();
}

std::optional<QString> RegistryFileStore::documentKey(RootKey root, const QString &path) const
{
    const QString rootName = QString::fromStdU16String(std::u16string(rootKeyName(root)));
    return path.isEmpty() ? rootName : rootName + u'\\' + path;
}

const RegistryDocument &RegistryFileStore::load(const QString &, bool)
{
    return m_file->document();
}

std::unique_ptr<WriteHold> RegistryFileStore::holdForWriting()
{
    struct Hold : WriteHold
    {
        explicit Hold(FileLock held)
            : lock(std::move(held))
        { }
        FileLock lock;
    };
    auto hold = std::make_unique<Hold>(
        lockForWriting(*m_file, m_calls, path() + u".lock"_s, m_lockTimeout));
    // Only a holder writes the file's temporary copies: any found now were
    // left by a writer that was killed.
    removeStaleCopies(m_calls, path());
    return hold;
}

// On the file as another instance may have left it before the hold.
std::vector<RefusedWrite> RegistryFileStore::store(const QList<RegistryChange> &changes)
{
    std::unique_ptr<RegistryDocument> changed = m_file->document().clone();
    for (const RegistryChange &change : changes)
        applyChange(*changed, change);
    m_file->save(std::move(changed));
    return {};
}
