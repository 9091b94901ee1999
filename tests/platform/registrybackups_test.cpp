#include "backupcheck.h"
#include "memoryregistrystore.h"
#include "mutation.h"
#include "printers.h"
#include "registryaccessor.h"
#include "registrybackups.h"
#include "storechoice.h"
#include "testfiles.h"
#include "tmpfsmount.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString Store = u"the settings file /home/anna/.config/Ordevan/registry.reg"_s;
const QString Top = u"Software\\VOB\\CD Wizard"_s;
const QString Key = Top + u"\\8.0"_s;

StoredValue bytes(std::uint32_t type, std::vector<std::uint8_t> data)
{
    return {type, std::move(data)};
}

// One value of every kind, and one that did not exist.
QList<BackupValue> everyKind()
{
    return {
        {RootKey::CurrentUser, Key, u"Text"_s,
         StoredValue::fromString(u"C:\\Program Files\\\"x\"")},
        {RootKey::CurrentUser, Key, u"Expand"_s,
         StoredValue::fromString(u"%TEMP%\\a", StoredType::ExpandString)},
        {RootKey::CurrentUser, Key, u"Number"_s, StoredValue::fromInteger(-2)},
        {RootKey::CurrentUser, Key, u"Blob"_s, bytes(StoredType::Binary, {0, 1, 0xFE, 0xFF})},
        {RootKey::CurrentUser, Key, u"Empty"_s, bytes(StoredType::Binary, {})},
        {RootKey::CurrentUser, Key, u"Lines"_s,
         bytes(StoredType::MultiString, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0})},
        {RootKey::CurrentUser, Key, u"Wide"_s, bytes(StoredType::QWord, {1, 2, 3, 4, 5, 6, 7, 8})},
        {RootKey::CurrentUser, Key, u"Odd"_s, bytes(0x12345, {9})},
        {RootKey::CurrentUser, Key, u"SzTail"_s, bytes(StoredType::String, {'a', 0, 0, 0, 'z', 0})},
        {RootKey::CurrentUser, Key + u"\\Copy"_s, u"Created"_s, std::nullopt},
    };
}

class BackupsTest : public testing::Test
{
protected:
    QString folder() const { return dir.filePath(u"backups"_s); }
    QStringList files() const
    {
        return QDir(folder()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    QTemporaryDir dir;
    RegistryBackups backups{dir.filePath(u"backups"_s), Store};
};

} // namespace

TEST_F(BackupsTest, ABackupIsARegistryEditorFileThatReadsBackExactly)
{
    const QString path = backups.write(everyKind());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray raw = file.readAll();
    ASSERT_TRUE(raw.startsWith("\xFF\xFE")) << "UTF-16LE with its byte-order mark";
    const QString text = QStringDecoder(QStringDecoder::Utf16LE)(raw.mid(2));
    EXPECT_TRUE(text.startsWith(u"Windows Registry Editor Version 5.00\r\n"_s));
    EXPECT_TRUE(text.contains(u"[HKEY_CURRENT_USER\\Software\\VOB\\CD Wizard\\8.0\\Copy]\r\n"
                              u"\"Created\"=-\r\n"_s))
        << text.toStdString();
    EXPECT_TRUE(text.contains(u"\"Number\"=dword:fffffffe\r\n"_s));
    EXPECT_TRUE(text.contains(u"; Ordevan backup of "_s + Store));

    EXPECT_EQ(backups.read(path), everyKind());
    const QList<BackupInfo> listed = backups.list();
    ASSERT_EQ(listed.size(), 1);
    EXPECT_EQ(listed[0].path, path);
    EXPECT_EQ(listed[0].values, everyKind().size());
    EXPECT_LE(std::abs(listed[0].time.secsTo(QDateTime::currentDateTimeUtc())), 60);
}

TEST_F(BackupsTest, OnlyThisStoresBackupsAreListedOrRead)
{
    const RegistryBackups other(folder(), u"the Wine prefix /home/anna/.wine"_s);
    const QString theirs = other.write(everyKind());
    backups.write(everyKind().mid(0, 2));
    ASSERT_EQ(backups.list().size(), 1);
    EXPECT_EQ(backups.list()[0].values, 2);
    EXPECT_THROW(backups.read(theirs), ERegistryStoreError);

    // Files that are not backups are left alone and never listed.
    QFile stray(folder() + u"/2026-01-01_00-00-00.000Z.reg"_s);
    ASSERT_TRUE(stray.open(QIODevice::WriteOnly));
    stray.write("Windows Registry Editor Version 5.00\r\n[HKEY_NOWHERE\\x]\r\n\"a\"=-\r\n");
    stray.close();
    QFile notes(folder() + u"/notes.txt"_s);
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.close();
    EXPECT_EQ(backups.list().size(), 1);
    EXPECT_THROW(backups.read(stray.fileName()), ERegistryStoreError);
    EXPECT_THROW(backups.read(folder() + u"/missing.reg"_s), ERegistryStoreError);
}

TEST_F(BackupsTest, TheNewestFiftyAreKeptWhateverTheirTimes)
{
    // Older than the days every backup is kept for.
    const QDateTime start = QDateTime::currentDateTimeUtc().addDays(-100);
    QStringList written;
    for (int i = 0; i < 55; ++i) // five of them in the same millisecond
        written.append(backups.write(everyKind(), start.addSecs(i < 5 ? 0 : i)));
    EXPECT_EQ(QSet<QString>(written.begin(), written.end()).size(), 55);
    EXPECT_EQ(files().size(), backups.retention().newest);
    EXPECT_FALSE(QFile::exists(written[4]));
    EXPECT_TRUE(QFile::exists(written[5]));
    const QList<BackupInfo> listed = backups.list();
    ASSERT_EQ(listed.size(), backups.retention().newest);
    EXPECT_EQ(listed.first().path, written.last()) << "newest first";

    // Another store's backups are not pushed out by these, nor these by them.
    const RegistryBackups other(folder(), u"another store"_s);
    const QString theirs = other.write(everyKind(), start.addSecs(-3600));
    backups.write(everyKind(), start.addSecs(100));
    EXPECT_TRUE(QFile::exists(theirs));
    EXPECT_EQ(backups.list().size(), backups.retention().newest);

    // After the clock went back, the backup just written is kept all the same.
    const QString late = backups.write(everyKind(), start.addSecs(-7200));
    EXPECT_TRUE(QFile::exists(late));
    EXPECT_EQ(backups.newest()->path, backups.list().first().path);
}

// Saves made so many days ago, oldest first, and how many of them the
// retention keeps: the newest 2, or all of the last 10 days, within 3.5
// backups' bytes.
TEST_F(BackupsTest, TheRetentionKeepsTheLastDaysOrTheNewestWithinItsBytes)
{
    const qint64 size = QFileInfo(backups.write(everyKind())).size();
    const struct
    {
        QList<int> ages;
        qsizetype kept;
    } cases[] = {{{50, 40, 35, 20}, 2}, {{40, 9, 6, 3}, 3}, {{9, 8, 7, 6, 5}, 3}, {{40, 30, 5}, 2}};
    for (const auto &c : cases) {
        QTemporaryDir folder;
        RegistryBackups some(folder.path(), Store);
        some.setRetention({2, 10, size * 7 / 2});
        for (const int age : c.ages)
            some.write(everyKind(), QDateTime::currentDateTimeUtc().addDays(-age));
        EXPECT_EQ(some.list().size(), c.kept) << c.ages.size();
    }

    // The backup being restored stays, however old: a retry finds it.
    for (int i = 0; i < backups.retention().newest; ++i)
        backups.write(everyKind(), QDateTime::currentDateTimeUtc().addDays(-40).addSecs(i));
    const QString restored = backups.list().last().path;
    MemoryRegistryStore store;
    restoreBackup(store, backups, restored);
    EXPECT_TRUE(QFile::exists(restored));
    EXPECT_NO_THROW(restoreBackup(store, backups, restored));
}

// The clock ran a day ahead and was put right: what was written since is
// newer all the same, and goes after the future's backup. Backups written
// before they were numbered go first, in the order of their names.
TEST_F(BackupsTest, BackupsAreOrderedAsWrittenWhateverTheClockSaid)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QStringList written;
    for (const int day : {2, -3}) {
        const QDateTime time = now.addDays(day);
        written.append(folder() + time.toString(u"/yyyy-MM-dd_HH-mm-ss.zzz'Z.reg'"_s));
        QDir().mkpath(folder());
        writeAll(written.last(), *backupFile(everyKind(), Store, time));
    }
    written.prepend(backups.write(everyKind(), now.addDays(1)));
    written.prepend(backups.write(everyKind(), now));
    QStringList listed;
    for (const BackupInfo &backup : backups.list())
        listed.append(backup.path);
    EXPECT_EQ(listed, written);
    EXPECT_EQ(backups.newest()->path, written.first());

    backups.setRetention({2, 0, BackupRetention().bytes});
    const QString last = backups.write(everyKind(), now.addSecs(-60));
    EXPECT_EQ(files(), (QStringList{QFileInfo(last).fileName(), QFileInfo(written[0]).fileName()}));
}

// Names are times in UTC, whatever the local zone: the hour a local clock
// skips in spring is a time all the same.
TEST_F(BackupsTest, NamesReadAsUtcInAnyZone)
{
    const QByteArray zone = qgetenv("TZ");
    qputenv("TZ", "Europe/Rome");
    const QDateTime skipped(QDate(2026, 3, 29), QTime(2, 30, 12, 345), QTimeZone::utc());
    const QString path = backups.write(everyKind(), skipped);
    EXPECT_TRUE(path.endsWith(u"/2026-03-29_02-30-12.345Z.reg"_s)) << path.toStdString();
    const auto newest = backups.newest();
    ASSERT_TRUE(newest);
    EXPECT_EQ(newest->time, skipped);
    if (zone.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", zone);
}

TEST_F(BackupsTest, ABackupThatCannotBeWrittenSaysWhyAndLeavesNothing)
{
    // The folder cannot be made: a file is in the way.
    QFile inTheWay(dir.filePath(u"file"_s));
    ASSERT_TRUE(inTheWay.open(QIODevice::WriteOnly));
    inTheWay.close();
    const RegistryBackups blocked(dir.filePath(u"file/backups"_s), Store);
    try {
        blocked.write(everyKind());
        FAIL() << "written";
    } catch (const ERegistryStoreError &e) {
        EXPECT_TRUE(QString::fromStdU16String(e.text(Language::English)).contains(u"backup"_s));
        EXPECT_TRUE(
            QString::fromStdU16String(e.text(Language::Italian)).contains(u"copia di sicurezza"_s));
    }

    // A full disk: nothing of the backup stays, not even an empty file.
    const TmpfsMount full(u"64k"_s);
    if (full.mounted()) {
        ASSERT_TRUE(full.fill());
        const RegistryBackups onFull(full.path(), Store);
        EXPECT_THROW(onFull.write(everyKind()), ERegistryStoreError);
        EXPECT_EQ(QDir(full.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{u"filler"_s});
    }

    TmpfsMount mount(u"64k"_s);
    if (!mount.mounted())
        GTEST_SKIP() << "a read-only folder needs a mount of its own";
    ASSERT_TRUE(QDir().mkpath(mount.filePath(u"backups"_s)));
    ASSERT_TRUE(mount.makeReadOnly());
    const RegistryBackups readOnly(mount.filePath(u"backups"_s), Store);
    EXPECT_THROW(readOnly.write(everyKind()), ERegistryStoreError);
    EXPECT_TRUE(QDir(mount.filePath(u"backups"_s)).isEmpty());
}

TEST_F(BackupsTest, RestoringPutsKindsBackDeletesWhatWasCreatedAndCanBeUndone)
{
    MemoryRegistryStore store;
    RegistryAccessor registry(store);
    ASSERT_TRUE(registry.openKey(u"\\" + Key.toStdU16String(), true));
    // The state before a save: a binary value and an integer; no "Created".
    registry.writeStoredValue(u"Blob", bytes(StoredType::Binary, {1, 2}));
    registry.writeInteger(u"Number", 5);
    const QString backup = backups.write({
        {RootKey::CurrentUser, Key, u"Blob"_s, bytes(StoredType::Binary, {1, 2})},
        {RootKey::CurrentUser, Key, u"Number"_s, StoredValue::fromInteger(5)},
        {RootKey::CurrentUser, Key, u"Created"_s, std::nullopt},
    });
    // The save: text over the binary value, a new value.
    registry.writeString(u"Blob", u"text");
    registry.writeInteger(u"Number", 6);
    registry.writeString(u"Created", u"new");
    registry.writeString(u"Untouched", u"stays");

    const RestoreOutcome restored = restoreBackup(store, backups, backup);
    EXPECT_EQ(restored.values, 3);
    EXPECT_TRUE(restored.refused.isEmpty());
    EXPECT_EQ(registry.readStoredValue(u"Blob"), bytes(StoredType::Binary, {1, 2}));
    EXPECT_EQ(registry.readInteger(u"Number"), 5);
    EXPECT_EQ(registry.readStoredValue(u"Created"), std::nullopt);
    EXPECT_EQ(registry.readString(u"Untouched"), u"stays");

    // The restore was backed up first: restoring that backup redoes the save.
    ASSERT_EQ(backups.list().first().path, restored.undoBackup);
    restoreBackup(store, backups, restored.undoBackup);
    EXPECT_EQ(registry.readString(u"Blob"), u"text");
    EXPECT_EQ(registry.readString(u"Created"), u"new");

    // A store that refuses writes: the values are named, nothing else changes.
    store.setRefuseWrites(true);
    const RestoreOutcome refused = restoreBackup(store, backups, backup);
    EXPECT_EQ(refused.refused.size(), 3);
    EXPECT_EQ(registry.readString(u"Blob"), u"text");
}

TEST_F(BackupsTest, ARestoreThatStoresNothingLeavesNoBackupBehind)
{
    MemoryRegistryStore store;
    const QString backup
        = backups.write({{RootKey::CurrentUser, Key, u"Number"_s, StoredValue::fromInteger(5)}});
    store.setStoreError(ERegistryStoreError(u"broken", u"rotto"));
    EXPECT_THROW(restoreBackup(store, backups, backup), ERegistryStoreError);
    EXPECT_EQ(files(), QStringList{QFileInfo(backup).fileName()});
}

TEST(BackupFiles, HostileFilesAreRefusedWithoutHarm)
{
    const QByteArray header
        = "Windows Registry Editor Version 5.00\r\n\r\n; Ordevan backup of S\r\n";
    const QByteArray key = "[HKEY_CURRENT_USER\\Software\\VOB\\CD Wizard\\8.0]\r\n";
    const QList<QByteArray> files = {
        {},
        "\xFF\xFE",
        header + key + "\"x\"=hex(2):00,0", // cut short
        header + key + "\"x\"=dword:123456789\r\n",
        "Windows Registry Editor Version 5.00\r\n" + key + "\"x\"=-\r\n", // no store named
        // Keys a save never writes: a file planted in the folder must not reach them.
        header + key
            + "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]"
              "\r\n\"x\"=\"evil.exe\"\r\n",
        header + "[HKEY_LOCAL_MACHINE\\Software\\VOB\\CD Wizard]\r\n\"x\"=-\r\n",
        header + "[HKEY_CURRENT_USER\\Software\\VOB\\CD Wizard Else]\r\n\"x\"=-\r\n",
        header + "[HKEY_CURRENT_USER\\Software\\VOB\\CD Wizard\\]\r\n\"x\"=-\r\n",
        header + "[NOT_A_ROOT\\A]\r\n\"x\"=-\r\n",
        // Names and keys a save never writes, and no store could write back.
        header + key + "\"a\x01b\"=-\r\n",
        header
            + QByteArray("[HKEY_CURRENT_USER\\Software\\VOB\\CD Wizard\\8\x00]\r\n\"x\"=-\r\n", 54),
        header + "[HKEY_CURRENT_USER\\Software\\VOB\\CD Wizard\\\\8.0]\r\n\"x\"=-\r\n",
    };
    for (const QByteArray &bytes : files)
        EXPECT_EQ(parseBackup(bytes, u"S"_s, Top), std::nullopt) << bytes.toStdString();
    const auto good = parseBackup(
        header + "[HKEY_CURRENT_USER\\software\\vob\\cd wizard]\r\n\"x\"=-\r\n", u"S"_s, Top);
    ASSERT_TRUE(good);
    EXPECT_EQ(*good,
              (QList<BackupValue>{
                  {RootKey::CurrentUser, u"software\\vob\\cd wizard"_s, u"x"_s, std::nullopt}}));

    // Read as an import reads it: the last line of a value counts, keys and
    // names match without regard to case, and values come key by key.
    const auto merged = parseBackup(
        header + key + "\"x\"=-\r\n\"y\"=dword:00000001\r\n"
            + "[HKEY_CURRENT_USER\\Software\\VOB\\CD Wizard\\Copy]\r\n" + "\"z\"=-\r\n"
            + "[HKEY_CURRENT_USER\\software\\vob\\cd wizard\\8.0]\r\n" + "\"X\"=dword:00000002\r\n",
        u"S"_s, Top);
    ASSERT_TRUE(merged);
    EXPECT_EQ(*merged,
              (QList<BackupValue>{
                  {RootKey::CurrentUser, Key, u"x"_s, StoredValue::fromInteger(2)},
                  {RootKey::CurrentUser, Key, u"y"_s, StoredValue::fromInteger(1)},
                  {RootKey::CurrentUser, Top + u"\\Copy"_s, u"z"_s, std::nullopt},
              }));
}

TEST(BackupFiles, RandomInputsAreReadBackAsWrittenOrRefused)
{
    QFile seed(QStringLiteral(ORDEVAN_FUZZ_SEEDS "/backup_seeds/unicode.reg"));
    ASSERT_TRUE(seed.open(QIODevice::ReadOnly));
    const QByteArray seedBytes = seed.readAll();
    checkBackupInput(seedBytes);
    ASSERT_TRUE(parseBackup(seedBytes, u"S"_s, Top)) << "the seed is a backup";
    QRandomGenerator random(20261209);
    QElapsedTimer clock;
    clock.start();
    int runs = 0;
    for (; runs < 5000 && clock.elapsed() < 2000; ++runs)
        checkBackupInput(mutatedInput(seedBytes, random, "\\\"[]=,:@;-\r\n\0"));
    EXPECT_GT(runs, 500);
}
