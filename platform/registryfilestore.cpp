#include "registryfilestore.h"

#include "registryproblems.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::Literals::StringLiterals;

namespace {

QString qtText(std::u16string_view text)
{
    return QString(reinterpret_cast<const QChar *>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

RegistryValue toRegistryValue(const RegData &data)
{
    if (data.type == RegType::String)
        return {ValueKind::String, data.text().toStdU16String(), 0};
    if (data.type == RegType::ExpandString)
        return {ValueKind::ExpandString, data.text().toStdU16String(), 0};
    if (const auto dword = data.dword())
        return {ValueKind::Integer, {}, static_cast<std::int32_t>(*dword)};
    return {};
}

bool hasLineBreak(const QString &text)
{
    return text.contains(u'\r') || text.contains(u'\n');
}

} // namespace

class RegistryFileStore::FileKey : public RegistryKey
{
public:
    FileKey(RegistryFileStore &store, QString path)
        : m_store(store)
        , m_path(std::move(path))
    { }

    std::optional<RegistryValue> value(std::u16string_view name) override
    {
        const auto data = m_store.current().value(m_path, qtText(name));
        if (!data)
            return std::nullopt;
        return toRegistryValue(*data);
    }

    bool setString(std::u16string_view name, std::u16string_view text) override
    {
        return m_store.change({m_path, qtText(name), RegData::fromString(qtText(text))});
    }

    bool setInteger(std::u16string_view name, std::int32_t value) override
    {
        return m_store.change(
            {m_path, qtText(name), RegData::fromDWord(static_cast<quint32>(value))});
    }

private:
    RegistryFileStore &m_store;
    QString m_path;
};

RegistryFileStore::RegistryFileStore(QString path, FileCalls &calls)
    : m_path(std::move(path))
    , m_calls(calls)
{ }

QString RegistryFileStore::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + u"/Ordevan/registry.reg"_s;
}

std::unique_ptr<RegistryKey> RegistryFileStore::openKey(RootKey root, std::u16string_view path,
                                                        bool create)
{
    const QString relative = qtText(path);
    // A line break or a bracket would end the key's line in the file early.
    if (hasLineBreak(relative) || relative.contains(u']'))
        return nullptr;
    const QString keyPath
        = qtText(rootKeyName(root)) + (relative.isEmpty() ? QString() : u'\\' + relative);

    if (!relative.isEmpty() && !current().hasKey(keyPath)) {
        if (!create)
            return nullptr;
        change({keyPath, std::nullopt, {}});
    }
    return std::make_unique<FileKey>(*this, keyPath);
}

void RegistryFileStore::beginBatch()
{
    ++m_batchDepth;
}

void RegistryFileStore::commitBatch()
{
    if (m_batchDepth == 0 || --m_batchDepth > 0)
        return;
    const QList<Change> changes = std::exchange(m_changes, {});
    std::optional<RegFile> prepared = std::exchange(m_batchFile, std::nullopt);
    if (changes.isEmpty())
        return;

    const FileLock lock = lockFile();
    // Another instance may have saved since the batch began: its changes are
    // kept and this batch's are made again on top of them.
    const quint64 generation = m_batchGeneration;
    refresh();
    RegFile changed = prepared && generation == m_generation ? std::move(*prepared) : *m_file;
    if (generation != m_generation) {
        for (const Change &change : changes)
            apply(changed, change);
    }
    save(std::move(changed));
}

void RegistryFileStore::cancelBatch()
{
    if (m_batchDepth == 0 || --m_batchDepth > 0)
        return;
    m_changes.clear();
    m_batchFile.reset();
}

const RegFile &RegistryFileStore::current()
{
    if (m_batchDepth > 0 && m_batchFile)
        return *m_batchFile;
    refresh();
    if (m_batchDepth == 0)
        return *m_file;
    m_batchFile = *m_file;
    m_batchGeneration = m_generation;
    return *m_batchFile;
}

void RegistryFileStore::apply(RegFile &file, const Change &change)
{
    if (change.name)
        file.setValue(change.keyPath, *change.name, change.data);
    else
        file.addKey(change.keyPath);
}

bool RegistryFileStore::change(Change change)
{
    if (change.name && hasLineBreak(*change.name))
        return false; // the format cannot hold such a name
    if (m_batchDepth > 0) {
        current();
        apply(*m_batchFile, change);
        m_changes.append(std::move(change));
        return true;
    }
    const FileLock lock = lockFile();
    refresh();
    RegFile changed = *m_file;
    apply(changed, change);
    save(std::move(changed));
    return true;
}

FileLock RegistryFileStore::lockFile()
{
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath()))
        fail(RegistryFileProblem::Kind::Unwritable, RegistryFileFault::FolderNotCreated);
    FileLock lock(m_calls, m_path + u".lock"_s);
    switch (lock.lock(m_lockTimeout)) {
    case FileLock::Outcome::Locked:
        break;
    case FileLock::Outcome::HeldByAnother:
        fail(RegistryFileProblem::Kind::Locked, RegistryFileFault::LockedByAnother);
    case FileLock::Outcome::CannotCreate:
        fail(RegistryFileProblem::Kind::Unwritable, RegistryFileFault::LockNotCreated,
             lock.error());
    }
    return lock;
}

void RegistryFileStore::save(RegFile changed)
{
    const QByteArray bytes = changed.serialize();
    if (const FileResult result = replaceFile(m_calls, m_path, bytes); !result)
        failWith(RegistryFileProblem::Kind::Unwritable, result);
    m_file = std::move(changed);
    m_bytes = bytes;
    ++m_generation;
    FileStamp stamp;
    if (fileStamp(m_calls, m_path, stamp))
        m_stamp = stamp;
    else
        m_stamp.reset(); // read again next time
}

// Brings the file as read up to date with the disk.
void RegistryFileStore::refresh()
{
    FileStamp now;
    if (const FileResult result = fileStamp(m_calls, m_path, now); !result) {
        forget();
        failWith(RegistryFileProblem::Kind::Unreadable, result);
    }
    if (m_stamp == now) {
        if (m_damage)
            throw registryFileError(*m_damage); // parsed once, not at every read
        if (m_file)
            return;
    }

    QByteArray bytes;
    FileStamp stamp;
    if (const FileResult result
        = readRegularFile(m_calls, m_path, RegFile::MaxFileSize, bytes, stamp);
        !result) {
        forget();
        failWith(RegistryFileProblem::Kind::Unreadable, result);
    }
    m_stamp = stamp;
    if (m_file && bytes == m_bytes)
        return;
    try {
        m_file = stamp.exists ? RegFile::parse(bytes) : RegFile();
        m_bytes = bytes;
        m_damage.reset();
        ++m_generation;
    } catch (const RegFileError &e) {
        m_file.reset();
        m_bytes.clear();
        m_damage = RegistryFileProblem{
            RegistryFileProblem::Kind::Damaged, m_path, e.line(), e.fault(), {}};
        throw registryFileError(*m_damage);
    }
}

void RegistryFileStore::forget()
{
    m_file.reset();
    m_stamp.reset();
    m_bytes.clear();
    m_damage.reset();
}

void RegistryFileStore::fail(RegistryFileProblem::Kind kind, RegistryFileFault fault,
                             const QString &systemError) const
{
    throw registryFileError(RegistryFileProblem{kind, m_path, 0, fault, systemError});
}

void RegistryFileStore::failWith(RegistryFileProblem::Kind kind, const FileResult &result) const
{
    switch (result.failure) {
    case FileFailure::NotRegular:
        fail(kind, RegistryFileFault::NotRegularFile);
    case FileFailure::TooLarge:
        fail(RegistryFileProblem::Kind::Damaged, RegistryFileFault::TooLarge);
    case FileFailure::System:
    case FileFailure::None:
        break;
    }
    fail(kind, RegistryFileFault::System, result.error);
}
