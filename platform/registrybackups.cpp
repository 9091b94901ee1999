#include "registrybackups.h"

#include "regfile.h"
#include "registryaccessor.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTimeZone>

#include <array>

using namespace Qt::Literals::StringLiterals;

namespace {

// "2026-12-09_06-30-12.345Z.reg": sorted by name, sorted by time.
const QString NameFormat = u"yyyy-MM-dd_HH-mm-ss.zzz'Z.reg'"_s;
const QString StoreComment = u"; Ordevan backup of "_s;
// Far above any backup of a save; a larger file is not one of ours.
constexpr qint64 MaxBackupSize = 16 * 1024 * 1024;

constexpr std::array Roots = {RootKey::ClassesRoot, RootKey::CurrentUser, RootKey::LocalMachine,
                              RootKey::Users, RootKey::CurrentConfig};

QString qtText(std::u16string_view text)
{
    return QString(reinterpret_cast<const QChar *>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

QString fullKey(RootKey root, const QString &key)
{
    const QString rootName = qtText(rootKeyName(root));
    return key.isEmpty() ? rootName : rootName + u'\\' + key;
}

// The root and the path below it of a key named in full.
std::optional<std::pair<RootKey, QString>> splitKey(const QString &path)
{
    for (const RootKey root : Roots) {
        const QString name = qtText(rootKeyName(root));
        if (path.compare(name, Qt::CaseInsensitive) == 0)
            return std::pair{root, QString()};
        if (path.size() > name.size() && path[name.size()] == u'\\'
            && path.startsWith(name, Qt::CaseInsensitive))
            return std::pair{root, path.mid(name.size() + 1)};
    }
    return std::nullopt;
}

RegData toRegData(const StoredValue &value)
{
    return {value.type,
            QByteArray(reinterpret_cast<const char *>(value.data.data()),
                       static_cast<qsizetype>(value.data.size()))};
}

StoredValue toStoredValue(const RegData &data)
{
    const auto *bytes = reinterpret_cast<const std::uint8_t *>(data.bytes.constData());
    return {data.type, std::vector<std::uint8_t>(bytes, bytes + data.bytes.size())};
}

// One line, whatever the store's description holds.
QString storeLine(const QString &store)
{
    QString line = store;
    line.replace(u'\r', u' ');
    line.replace(u'\n', u' ');
    // Comments are read back without the blanks that end them.
    return QString(StoreComment + line).trimmed();
}

std::optional<QDateTime> backupTime(const QString &fileName)
{
    const QDateTime time = QDateTime::fromString(fileName, NameFormat);
    if (!time.isValid())
        return std::nullopt;
    return QDateTime(time.date(), time.time(), QTimeZone::utc());
}

ERegistryStoreError notWritten(const QString &folder, const QString &why)
{
    const QString where = QDir::toNativeSeparators(folder);
    return ERegistryStoreError(
        u"The backup of the values about to be saved could not be written in %1: %2."_s
            .arg(where, why)
            .toStdU16String(),
        u"Non è stato possibile scrivere in %1 la copia di sicurezza dei valori da salvare: %2."_s
            .arg(where, why)
            .toStdU16String());
}

ERegistryStoreError notRead(const QString &path, const QString &why)
{
    const QString where = QDir::toNativeSeparators(path);
    return ERegistryStoreError(
        u"The backup %1 cannot be restored: %2."_s.arg(where, why).toStdU16String(),
        u"Impossibile ripristinare la copia di sicurezza %1: %2."_s.arg(where, why)
            .toStdU16String());
}

} // namespace

// The values of a backup file of `store`; nullopt for a file that is not
// one (damaged, of another store, or naming keys of no root).
std::optional<QList<BackupValue>> parseBackup(const QByteArray &bytes, const QString &store)
{
    RegFile file;
    try {
        file = RegFile::parse(bytes);
    } catch (const RegFileError &) {
        return std::nullopt;
    }
    if (!file.comments().contains(storeLine(store)))
        return std::nullopt;
    QList<BackupValue> values;
    bool usable = true;
    file.visitWithDeletions([&](const QString &key, const std::optional<QString> &name,
                                const std::optional<RegData> &data) {
        if (!name)
            return;
        const auto split = splitKey(key);
        if (!split) {
            usable = false;
            return;
        }
        BackupValue value{split->first, split->second, *name, std::nullopt};
        if (data)
            value.value = toStoredValue(*data);
        values.append(std::move(value));
    });
    if (!usable)
        return std::nullopt;
    return values;
}

RegistryBackups::RegistryBackups(QString folder, QString store)
    : m_folder(std::move(folder))
    , m_store(std::move(store))
{ }

QString RegistryBackups::defaultFolder()
{
#ifdef Q_OS_WIN
    // %LOCALAPPDATA%: backups stay on this machine, out of roaming profiles.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + u"/Ordevan/backups"_s;
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + u"/Ordevan/backups"_s;
#endif
}

std::optional<QByteArray> backupFile(const QList<BackupValue> &values, const QString &store,
                                     const QDateTime &now)
{
    RegFile file;
    file.addComment(storeLine(store));
    file.addComment(u"; written before a save, on "_s + now.toString(Qt::ISODateWithMs));
    for (const BackupValue &value : values) {
        const QString key = fullKey(value.root, value.key);
        const bool added = value.value ? file.setValue(key, value.name, toRegData(*value.value))
                                       : file.addDeletion(key, value.name);
        if (!added)
            return std::nullopt;
    }
    return file.serialize();
}

QString RegistryBackups::write(const QList<BackupValue> &values, const QDateTime &now) const
{
    const auto bytes = backupFile(values, m_store, now);
    if (!bytes)
        throw notWritten(m_folder, u"a value name cannot be written in a registry file"_s);
    if (!QDir().mkpath(m_folder))
        throw notWritten(m_folder, u"the folder cannot be created"_s);

    // Two backups in the same millisecond get the next free name.
    QDateTime time = now.toUTC();
    QString path;
    do {
        path = m_folder + u'/' + time.toString(NameFormat);
        time = time.addMSecs(1);
    } while (QFile::exists(path));

    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        throw notWritten(m_folder, out.errorString());
    if (out.write(*bytes) != bytes->size() || !out.commit())
        throw notWritten(m_folder, out.errorString());
    removeOld();
    return path;
}

void RegistryBackups::removeOld() const
{
    QStringList names = QDir(m_folder).entryList({u"*Z.reg"_s}, QDir::Files, QDir::Name);
    names.removeIf([](const QString &name) { return !backupTime(name); });
    for (qsizetype i = 0; i + Kept < names.size(); ++i)
        QFile::remove(m_folder + u'/' + names[i]);
}

QList<BackupInfo> RegistryBackups::list() const
{
    QList<BackupInfo> backups;
    const QStringList names
        = QDir(m_folder).entryList({u"*Z.reg"_s}, QDir::Files, QDir::Name | QDir::Reversed);
    for (const QString &name : names) {
        const auto time = backupTime(name);
        if (!time)
            continue;
        QFile file(m_folder + u'/' + name);
        if (file.size() > MaxBackupSize || !file.open(QIODevice::ReadOnly))
            continue;
        if (const auto values = parseBackup(file.readAll(), m_store))
            backups.append({file.fileName(), *time, values->size()});
    }
    return backups;
}

QList<BackupValue> RegistryBackups::read(const QString &path) const
{
    QFile file(path);
    if (file.size() > MaxBackupSize)
        throw notRead(path, u"it is too large"_s);
    if (!file.open(QIODevice::ReadOnly))
        throw notRead(path, file.errorString());
    const auto values = parseBackup(file.readAll(), m_store);
    if (!values)
        throw notRead(path, u"it is damaged, or not a backup of these settings"_s);
    return *values;
}

namespace {

std::u16string keyFromRoot(const QString &key)
{
    return QString(u'\\' + key).toStdU16String();
}

} // namespace

RestoreOutcome restoreBackup(RegistryStore &store, const RegistryBackups &backups,
                             const QString &path)
{
    const QList<BackupValue> values = backups.read(path);
    RegistryAccessor registry(store);
    RestoreOutcome outcome;
    RegistryBatch batch(store);

    // What the values are now, read in the batch that changes them.
    QList<BackupValue> now;
    for (const BackupValue &value : values) {
        BackupValue current{value.root, value.key, value.name, std::nullopt};
        registry.setRootKey(value.root);
        if (registry.openKey(keyFromRoot(value.key), false))
            current.value = registry.readStoredValue(value.name.toStdU16String());
        now.append(std::move(current));
    }
    outcome.undoBackup = backups.write(now);

    try {
        for (const BackupValue &value : values) {
            registry.setRootKey(value.root);
            const QString named = value.key + u'\\' + value.name;
            // A value that was not there needs no key to be deleted from.
            if (!registry.openKey(keyFromRoot(value.key), value.value.has_value())) {
                if (value.value)
                    outcome.refused.append(named);
                continue;
            }
            try {
                if (value.value)
                    registry.writeStoredValue(value.name.toStdU16String(), *value.value);
                else
                    registry.deleteValue(value.name.toStdU16String());
                ++outcome.values;
            } catch (const ERegistryStoreError &) {
                throw;
            } catch (const ERegistryError &) {
                outcome.refused.append(named);
            }
        }
        registry.closeKey();
        for (const RefusedWrite &write : batch.commit()) {
            outcome.refused.append(QString::fromStdU16String(write.key) + u'\\'
                                   + QString::fromStdU16String(write.name));
            --outcome.values;
        }
    } catch (...) {
        // Nothing was restored: a backup of an unchanged state would only
        // be restored next, to no effect.
        QFile::remove(outcome.undoBackup);
        throw;
    }
    return outcome;
}
