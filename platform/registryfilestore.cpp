#include "registryfilestore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

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
        if (!m_store.refresh())
            throw ERegistryError("The registry file " + m_store.m_path.toStdString()
                                 + " cannot be read");
        const auto data = m_store.read(m_path, qtText(name));
        if (!data)
            return std::nullopt;
        return toRegistryValue(*data);
    }

    bool setString(std::u16string_view name, std::u16string_view text) override
    {
        return m_store.write(m_path, qtText(name), RegData::fromString(qtText(text)));
    }

    bool setInteger(std::u16string_view name, std::int32_t value) override
    {
        return m_store.write(m_path, qtText(name), RegData::fromDWord(static_cast<quint32>(value)));
    }

private:
    RegistryFileStore &m_store;
    QString m_path;
};

RegistryFileStore::RegistryFileStore(QString path)
    : m_path(std::move(path))
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
    if (relative.contains(u'\r') || relative.contains(u'\n') || relative.contains(u']'))
        return nullptr;
    const QString keyPath
        = qtText(rootKeyName(root)) + (relative.isEmpty() ? QString() : u'\\' + relative);

    if (!refresh())
        return nullptr;
    if (!relative.isEmpty() && !m_file->hasKey(keyPath)) {
        if (!create || !modify([&](RegFile &file) { return file.addKey(keyPath), true; }))
            return nullptr;
    }
    return std::make_unique<FileKey>(*this, keyPath);
}

std::optional<RegData> RegistryFileStore::read(const QString &keyPath, const QString &name)
{
    return m_file->value(keyPath, name);
}

bool RegistryFileStore::write(const QString &keyPath, const QString &name, const RegData &data)
{
    return modify([&](RegFile &file) { return file.setValue(keyPath, name, data); });
}

std::optional<RegistryFileStore::Stamp> RegistryFileStore::stamp(QString *error) const
{
    struct stat info
    {
    };
    if (::stat(QFile::encodeName(m_path).constData(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return Stamp{}; // not there yet: the first save creates it
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return std::nullopt;
    }
    if (!S_ISREG(info.st_mode)) {
        *error = u"not a regular file"_s;
        return std::nullopt;
    }
    return Stamp{true,
                 static_cast<quint64>(info.st_dev),
                 static_cast<quint64>(info.st_ino),
                 static_cast<qint64>(info.st_size),
                 static_cast<qint64>(info.st_mtim.tv_sec),
                 static_cast<qint64>(info.st_mtim.tv_nsec)};
}

// Brings the in-memory file up to date with the disk. False while the file
// cannot be read or parsed.
bool RegistryFileStore::refresh(bool force)
{
    QString error;
    const auto now = stamp(&error);
    if (!now) {
        m_file.reset();
        m_stamp.reset();
        report(RegistryFileProblem::Kind::Unreadable, RegistryFileFault::System, error);
        return false;
    }
    if (!force && m_stamp == now)
        return m_file.has_value();

    QByteArray bytes;
    if (now->exists) {
        if (now->size > RegFile::MaxFileSize) {
            m_file.reset();
            m_stamp = now;
            report(RegistryFileProblem::Kind::Damaged, RegistryFileFault::TooLarge);
            return false;
        }
        QFile file(m_path);
        if (!file.open(QIODevice::ReadOnly)) {
            m_file.reset();
            m_stamp.reset();
            report(RegistryFileProblem::Kind::Unreadable, RegistryFileFault::System,
                   file.errorString());
            return false;
        }
        bytes = file.readAll();
    }
    m_stamp = now;
    if (m_file && bytes == m_bytes)
        return true;

    try {
        m_file = now->exists ? RegFile::parse(bytes) : RegFile();
        m_bytes = bytes;
        m_reported.reset();
        return true;
    } catch (const RegFileError &e) {
        m_file.reset();
        report(RegistryFileProblem::Kind::Damaged, e.fault(), {}, e.line());
        return false;
    }
}

bool RegistryFileStore::modify(const std::function<bool(RegFile &)> &change)
{
    const QFileInfo info(m_path);
    if (!QDir().mkpath(info.absolutePath())) {
        report(RegistryFileProblem::Kind::Unwritable, RegistryFileFault::FolderNotCreated);
        return false;
    }
    QLockFile lock(m_path + u".lock"_s);
    if (!lock.tryLock(m_lockTimeout)) {
        if (lock.error() == QLockFile::LockFailedError)
            report(RegistryFileProblem::Kind::Locked, RegistryFileFault::LockedByAnother);
        else
            report(RegistryFileProblem::Kind::Unwritable, RegistryFileFault::LockNotCreated);
        return false;
    }
    // Another process may have saved between our last read and the lock.
    if (!refresh(true))
        return false;

    RegFile changed = *m_file;
    if (!change(changed))
        return false;
    const QByteArray bytes = changed.serialize();

    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        report(RegistryFileProblem::Kind::Unwritable, RegistryFileFault::System,
               file.errorString());
        return false;
    }
    QString error;
    m_file = std::move(changed);
    m_bytes = bytes;
    m_stamp = stamp(&error);
    m_reported.reset();
    return true;
}

void RegistryFileStore::report(RegistryFileProblem::Kind kind, RegistryFileFault fault,
                               const QString &systemError, int line)
{
    RegistryFileProblem problem{kind, m_path, line, fault, systemError};
    if (m_reported == problem)
        return;
    m_reported = problem;
    if (m_reporter)
        m_reporter(problem);
}
