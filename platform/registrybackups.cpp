#include "registrybackups.h"

#include "plainfile.h"
#include "regfile.h"
#include "registryaccessor.h"
#include "text.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QStandardPaths>
#include <QTimeZone>

#include <array>

using namespace Qt::Literals::StringLiterals;

namespace {

// "2026-12-09_06-30-12.345Z.reg", in UTC: sorted by name, sorted by time.
const QString NameFormat = u"yyyy-MM-dd_HH-mm-ss.zzz"_s;
const QString NameEnd = u"Z.reg"_s;
const QString StoreComment = u"; Ordevan backup of "_s;
// The order of a store's backups, one more in each than in any before it:
// their names tell the clock, which may have been wrong.
const QString SequenceComment = u"; backup number "_s;
// Far above any backup of a save; a larger file is not one of ours.
constexpr qint64 MaxBackupSize = 16 * 1024 * 1024;

QString fullKey(RootKey root, const QString &key)
{
    const QString rootName = fromU16(rootKeyName(root));
    return key.isEmpty() ? rootName : rootName + u'\\' + key;
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

// Read from a damaged file, such a key or name could not be written back
// as it was read; a save never writes one.
bool hasControlCharacter(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x20; });
}

QString backupName(const QDateTime &time)
{
    return time.toUTC().toString(NameFormat) + NameEnd;
}

// Read as UTC from the start: read as local time first, a name in the hour
// a clock skips would not be a time at all.
std::optional<QDateTime> backupTime(const QString &fileName)
{
    if (fileName.size() != NameFormat.size() + NameEnd.size() || !fileName.endsWith(NameEnd))
        return std::nullopt;
    const QDate date = QDate::fromString(fileName.left(10), u"yyyy-MM-dd"_s);
    const QTime time = QTime::fromString(fileName.mid(11, 12), u"HH-mm-ss.zzz"_s);
    if (!date.isValid() || !time.isValid() || fileName[10] != u'_')
        return std::nullopt;
    return QDateTime(date, time, QTimeZone::utc());
}

// A reason, told in either language.
struct Reason
{
    QString english;
    QString italian;
};

ERegistryStoreError notWritten(const QString &folder, const Reason &why)
{
    const QString where = QDir::toNativeSeparators(folder);
    return ERegistryStoreError(
        u"The backup of the values about to be saved could not be written in %1: %2."_s
            .arg(where, why.english)
            .toStdU16String(),
        u"Non è stato possibile scrivere in %1 la copia di sicurezza dei valori da salvare: %2."_s
            .arg(where, why.italian)
            .toStdU16String());
}

ERegistryStoreError notRestored(const QString &path, const Reason &why)
{
    const QString where = QDir::toNativeSeparators(path);
    return ERegistryStoreError(
        u"The backup %1 cannot be restored: %2."_s.arg(where, why.english).toStdU16String(),
        u"Impossibile ripristinare la copia di sicurezza %1: %2."_s.arg(where, why.italian)
            .toStdU16String());
}

// The sequence number a backup's comments give; 0 for none, or for one
// that is not a single plain number.
qint64 sequenceOf(const QStringList &comments)
{
    qint64 found = 0;
    for (const QString &comment : comments) {
        if (!comment.startsWith(SequenceComment))
            continue;
        const QStringView digits = QStringView(comment).sliced(SequenceComment.size());
        bool number = digits.size() <= 18
            && std::all_of(digits.begin(), digits.end(), [](QChar c) { return c.isDigit(); });
        const qint64 sequence = number ? digits.toLongLong(&number) : 0;
        if (found || !number || sequence <= 0)
            return 0;
        found = sequence;
    }
    return found;
}

} // namespace

std::optional<QList<BackupValue>> parseBackup(const QByteArray &bytes, const QString &store,
                                              const QString &under, qint64 *sequence)
{
    RegFile file;
    try {
        file = RegFile::parse(bytes);
    } catch (const RegFileError &) {
        return std::nullopt;
    }
    // A key deleted whole is more than a backup holds, and would make an
    // import differ from a restore.
    const QStringList comments = file.comments();
    if (!comments.contains(storeLine(store)) || !file.deletedKeys().isEmpty())
        return std::nullopt;
    if (sequence)
        *sequence = sequenceOf(comments);
    // Only the keys a save writes: a file put in the folder by someone else
    // cannot reach any other.
    const QString top = fullKey(RootKey::CurrentUser, under);
    const qsizetype rootLength = fromU16(rootKeyName(RootKey::CurrentUser)).size() + 1;
    QList<BackupValue> values;
    QHash<QString, QString> spelling; // of each key, by the key in lower case
    QHash<QString, qsizetype> places; // of each value in `values`
    bool usable = true;
    file.visitWithDeletions([&](const QString &key, const std::optional<QString> &name,
                                const std::optional<RegData> &data) {
        const bool inside = key.compare(top, Qt::CaseInsensitive) == 0
            || (key.startsWith(top + u'\\', Qt::CaseInsensitive) && !key.endsWith(u'\\'));
        if (!inside || hasControlCharacter(key) || key.contains(u"\\\\"_s)
            || (name && hasControlCharacter(*name)))
            usable = false;
        if (!name || !usable)
            return;
        // As an import reads it: keys and names match without regard to
        // case, and the last line of a value is the one that counts.
        const QString folded = key.toLower();
        const QString below = spelling.value(folded, key).mid(rootLength);
        spelling.insert(folded, spelling.value(folded, key));
        const std::optional<StoredValue> stored
            = data ? std::optional(data->stored()) : std::nullopt;
        const QString id = folded + u'\n' + name->toLower();
        if (const auto at = places.constFind(id); at != places.constEnd()) {
            values[*at].value = stored;
            return;
        }
        places.insert(id, values.size());
        values.append({RootKey::CurrentUser, below, *name, stored});
    });
    if (!usable)
        return std::nullopt;
    // Key by key, as a backup is written, however the file's sections were
    // ordered.
    QHash<QString, qsizetype> keyOrder;
    for (const BackupValue &value : std::as_const(values))
        keyOrder.insert(value.key.toLower(), keyOrder.value(value.key.toLower(), keyOrder.size()));
    std::stable_sort(values.begin(), values.end(), [&](const BackupValue &a, const BackupValue &b) {
        return keyOrder.value(a.key.toLower()) < keyOrder.value(b.key.toLower());
    });
    return values;
}

RegistryBackups::RegistryBackups(QString folder, QString store, QString under)
    : m_folder(std::move(folder))
    , m_store(std::move(store))
    , m_under(std::move(under))
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
                                     const QDateTime &now, qint64 sequence)
{
    RegFile file;
    file.addComment(storeLine(store));
    if (sequence > 0)
        file.addComment(SequenceComment + QString::number(sequence));
    file.addComment(u"; written before a save, on "_s + now.toString(Qt::ISODateWithMs));
    for (const BackupValue &value : values) {
        const QString key = fullKey(value.root, value.key);
        const bool added = value.value
            ? file.setValue(key, value.name, RegData::fromStored(*value.value))
            : file.addDeletion(key, value.name);
        if (!added)
            return std::nullopt;
    }
    return file.serialize();
}

QString RegistryBackups::write(const QList<BackupValue> &values, const QDateTime &now,
                               const QString &restoring) const
{
    const QList<BackupInfo> before = list();
    qint64 sequence = 0;
    for (const BackupInfo &backup : before)
        sequence = std::max(sequence, backup.sequence);
    const auto bytes = backupFile(values, m_store, now, sequence + 1);
    if (!bytes) {
        throw notWritten(m_folder,
                         {u"a value name cannot be written in a registry file"_s,
                          u"il nome di un valore non può essere scritto in un file "
                          u"del registro"_s});
    }
    if (!QDir().mkpath(m_folder)) {
        throw notWritten(
            m_folder, {u"the folder cannot be created"_s, u"la cartella non può essere creata"_s});
    }
    // Two backups in the same millisecond get the next free name.
    QDateTime time = now.toUTC();
    QString path;
    do {
        path = m_folder + u'/' + backupName(time);
        time = time.addMSecs(1);
    } while (QFile::exists(path));

    // Every write checked and on disk before the backup has its name: a
    // full disk must stop the save, not leave an empty backup behind.
    if (const PlainFileResult written = writePlainFile(path, *bytes); !written) {
        throw notWritten(m_folder,
                         {plainFileProblem(written, Language::English),
                          plainFileProblem(written, Language::Italian)});
    }
    QList<BackupInfo> newestFirst = before;
    newestFirst.prepend({path, now.toUTC(), values.size(), bytes->size(), sequence + 1});
    // Ages are counted on the clock, whatever time the backup is named by.
    removeOld(newestFirst, {path, restoring}, QDateTime::currentDateTimeUtc());
    return path;
}

// What the retention keeps is the newest backups up to the last one it
// keeps: a backup newer than one kept is never removed. Nor are `kept`,
// whatever the rules say: the one just written and the one being restored.
void RegistryBackups::removeOld(const QList<BackupInfo> &newestFirst, const QStringList &kept,
                                const QDateTime &now) const
{
    const QDateTime oldestKept = now.addDays(-m_retention.days);
    // A backup is no younger than one written after it: named by a clock
    // that ran ahead, it would otherwise stay for as long, and keep every
    // backup newer than it.
    QDateTime youngest = now;
    qsizetype keep = 0;
    for (qsizetype i = 0; i < newestFirst.size(); ++i) {
        youngest = std::min(youngest, newestFirst[i].time);
        if (i < m_retention.newest || youngest >= oldestKept)
            keep = i + 1;
    }
    qint64 bytes = 0;
    for (qsizetype i = 0; i < keep; ++i) {
        bytes += newestFirst[i].size;
        if (bytes > m_retention.bytes && i > 0) {
            keep = i;
            break;
        }
    }
    for (qsizetype i = keep; i < newestFirst.size(); ++i) {
        if (!kept.contains(newestFirst[i].path))
            QFile::remove(newestFirst[i].path);
    }
}

// Only a regular file is read, and only so far: a link to a device or a
// pipe named like a backup would never end, or never begin.
std::optional<BackupInfo> RegistryBackups::backupAt(const QString &name,
                                                    QList<SkippedBackup> *skipped) const
{
    const auto time = backupTime(name);
    if (!time)
        return std::nullopt;
    const QString path = m_folder + u'/' + name;
    QByteArray bytes;
    if (const PlainFileResult read = readPlainFile(path, MaxBackupSize, bytes); !read) {
        if (skipped && read.failure != PlainFileResult::Failure::Missing)
            skipped->append({path, read});
        return std::nullopt;
    }
    qint64 sequence = 0;
    const auto values = parseBackup(bytes, m_store, m_under, &sequence);
    if (!values)
        return std::nullopt;
    return BackupInfo{path, *time, values->size(), bytes.size(), sequence};
}

QStringList RegistryBackups::newestNamesFirst() const
{
    return QDir(m_folder).entryList({u"*"_s + NameEnd}, QDir::Files, QDir::Name | QDir::Reversed);
}

// By their sequence numbers; those written before backups had one are
// older than any that has one, and in the order of their names.
QList<BackupInfo> RegistryBackups::list(QList<SkippedBackup> *skipped) const
{
    QList<BackupInfo> backups;
    for (const QString &name : newestNamesFirst()) {
        if (const auto backup = backupAt(name, skipped))
            backups.append(*backup);
    }
    std::stable_sort(backups.begin(), backups.end(), [](const BackupInfo &a, const BackupInfo &b) {
        return a.sequence > b.sequence;
    });
    return backups;
}

std::optional<BackupInfo> RegistryBackups::newest() const
{
    const QList<BackupInfo> backups = list();
    return backups.isEmpty() ? std::nullopt : std::optional(backups.first());
}

QList<BackupValue> RegistryBackups::read(const QString &path) const
{
    QByteArray bytes;
    if (const PlainFileResult read = readPlainFile(path, MaxBackupSize, bytes); !read) {
        throw notRestored(
            path,
            {plainFileProblem(read, Language::English), plainFileProblem(read, Language::Italian)});
    }
    const auto values = parseBackup(bytes, m_store, m_under);
    if (!values) {
        throw notRestored(path,
                          {u"it is damaged, or not a backup of these settings"_s,
                           u"è danneggiata, o non è una copia di queste impostazioni"_s});
    }
    return *values;
}

namespace {

std::u16string keyFromRoot(const QString &key)
{
    return QString(u'\\' + key).toStdU16String();
}

// What `values` are in the store now, read in the batch that changes them.
QList<BackupValue> currentValues(RegistryAccessor &registry, const QList<BackupValue> &values,
                                 const QString &path)
{
    QList<BackupValue> now;
    for (const BackupValue &value : values) {
        BackupValue current{value.root, value.key, value.name, std::nullopt};
        registry.setRootKey(value.root);
        try {
            if (registry.openKey(keyFromRoot(value.key), false))
                current.value = registry.readStoredValue(value.name.toStdU16String());
        } catch (const ERegistryStoreError &) {
            throw;
        } catch (const ERegistryError &) {
            // Not backed up, it could not be undone: nothing is restored.
            const QString named = value.key + u'\\' + value.name;
            throw notRestored(path,
                              {u"the value %1 cannot be read"_s.arg(named),
                               u"il valore %1 non può essere letto"_s.arg(named)});
        }
        now.append(std::move(current));
    }
    return now;
}

} // namespace

RestoreOutcome restoreBackup(RegistryStore &store, const RegistryBackups &backups,
                             const QString &path)
{
    const QList<BackupValue> values = backups.read(path);
    RegistryAccessor registry(store);
    RestoreOutcome outcome;
    RegistryBatch batch(store);
    // Kept whatever happens next: where the store writes through another
    // program, a failure may come after some values were stored.
    outcome.undoBackup = backups.write(currentValues(registry, values, path),
                                       QDateTime::currentDateTimeUtc(), path);

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
    return outcome;
}
