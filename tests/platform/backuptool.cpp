// The file-store side of the check that a backup imported with the registry
// editor gives what Undo last save gives:
//   backup_tool prepare <dir>   makes <dir>/store.reg as it is before a
//                               save, saves into it (a backup first, in
//                               <dir>/backups), copies the result to
//                               <dir>/after.reg and prints the backup's path
//   backup_tool check <dir> <export>
//                               undoes the save in store.reg and compares
//                               the key with <export>, the registry
//                               editor's export after it imported after.reg
//                               and then the backup; exit 1 on a difference

#include "regfile.h"
#include "registryaccessor.h"
#include "registrybackups.h"
#include "registryfilestore.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString Key = u"Software\\Ordevan\\BackupTest"_s;
const QString FullKey = u"HKEY_CURRENT_USER\\"_s + Key;
const QString Store = u"the backup round trip"_s;

StoredValue raw(std::uint32_t type, std::vector<std::uint8_t> data)
{
    return {type, std::move(data)};
}

// Every kind a backup must give back as it was, and the save over them.
struct Change
{
    std::u16string name;
    std::optional<StoredValue> before;
    StoredValue saved;
};

const std::vector<Change> &changes()
{
    static const std::vector<Change> list = {
        {u"Text", StoredValue::fromString(u"before \"quoted\" è"), StoredValue::fromString(u"x")},
        {u"Expand", StoredValue::fromString(u"%WINDIR%\\x", StoredType::ExpandString),
         StoredValue::fromString(u"plain")},
        {u"Number", StoredValue::fromInteger(-7), StoredValue::fromInteger(8)},
        {u"Blob", raw(StoredType::Binary, {0, 1, 0x7F, 0xFF}), StoredValue::fromInteger(1)},
        {u"Lines", raw(StoredType::MultiString, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}),
         StoredValue::fromString(u"one line")},
        {u"Wide", raw(StoredType::QWord, {1, 2, 3, 4, 5, 6, 7, 8}), StoredValue::fromInteger(2)},
        {u"Created", std::nullopt, StoredValue::fromString(u"made by the save")},
    };
    return list;
}

int prepare(const QString &dir)
{
    RegistryFileStore store(dir + u"/store.reg"_s);
    RegistryAccessor registry(store);
    if (!registry.openKey(u'\\' + Key.toStdU16String(), true))
        return 1;
    for (const Change &change : changes()) {
        if (change.before)
            registry.writeStoredValue(change.name, *change.before);
    }
    registry.writeString(u"Untouched", u"stays");

    // The save, as the window makes one: what it replaces is backed up
    // first, in the batch that writes.
    const RegistryBackups backups(dir + u"/backups"_s, Store, u"Software\\Ordevan"_s);
    RegistryBatch batch(store);
    QList<BackupValue> replaced;
    for (const Change &change : changes()) {
        replaced.append({RootKey::CurrentUser, Key, QString::fromStdU16String(change.name),
                         registry.readStoredValue(change.name)});
    }
    const QString backup = backups.write(replaced);
    for (const Change &change : changes())
        registry.writeStoredValue(change.name, change.saved);
    batch.commit();
    QFile::remove(dir + u"/after.reg"_s);
    if (!QFile::copy(dir + u"/store.reg"_s, dir + u"/after.reg"_s))
        return 1;
    std::printf("%s\n", qUtf8Printable(backup));
    return 0;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int check(const QString &dir, const QString &exportPath)
{
    RegistryFileStore store(dir + u"/store.reg"_s);
    const RegistryBackups backups(dir + u"/backups"_s, Store, u"Software\\Ordevan"_s);
    const RestoreOutcome undone = restoreBackup(store, backups, backups.list().first().path);
    if (!undone.refused.isEmpty())
        return 1;

    const RegFile undoneFile = RegFile::parse(readAll(dir + u"/store.reg"_s));
    const RegFile exported = RegFile::parse(readAll(exportPath), RegFile::Dialect::WineEditor);
    int differences = 0;
    QStringList names;
    for (const Change &change : changes())
        names.append(QString::fromStdU16String(change.name));
    names.append(u"Untouched"_s);
    for (const QString &name : names) {
        const auto mine = undoneFile.value(FullKey, name);
        const auto theirs = exported.value(FullKey, name);
        if (mine != theirs) {
            std::fprintf(stderr, "value '%s' differs: undo %s, registry editor %s\n",
                         qUtf8Printable(name), mine ? mine->bytes.toHex().constData() : "(none)",
                         theirs ? theirs->bytes.toHex().constData() : "(none)");
            ++differences;
        }
    }
    // And the undo is the state before the save.
    for (const Change &change : changes()) {
        const auto now = undoneFile.value(FullKey, QString::fromStdU16String(change.name));
        const bool same = change.before ? now && now->type == change.before->type
                && now->bytes
                    == QByteArray(reinterpret_cast<const char *>(change.before->data.data()),
                                  static_cast<qsizetype>(change.before->data.size()))
                                        : !now;
        if (!same) {
            std::fprintf(stderr, "value '%s' is not as before the save\n",
                         toUtf8(change.name).c_str());
            ++differences;
        }
    }
    std::printf("checked %lld values: %d differences\n", static_cast<long long>(names.size()),
                differences);
    return differences == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    try {
        if (args.size() == 3 && args[1] == u"prepare"_s)
            return prepare(args[2]);
        if (args.size() == 4 && args[1] == u"check"_s)
            return check(args[2], args[3]);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "backup_tool: %s\n", e.what());
        return 1;
    }
    std::fprintf(stderr, "usage: backup_tool prepare <dir> | check <dir> <export>\n");
    return 2;
}
