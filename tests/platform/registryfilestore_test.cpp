#include "failingcalls.h"
#include "printers.h"
#include "registrycontract.h"
#include "registryfilestore.h"
#include "registryproblems.h"
#include "testfiles.h"
#include "tmpfsmount.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray utf16File(const QString &text)
{
    QByteArray out("\xFF\xFE", 2);
    for (const QChar c : text) {
        out.append(static_cast<char>(c.unicode() & 0xFF));
        out.append(static_cast<char>(c.unicode() >> 8));
    }
    return out;
}

QString lines(const QStringList &lines)
{
    return lines.join(u"\r\n"_s) + u"\r\n"_s;
}

class FileFixture : public StoreFixture
{
public:
    FileFixture()
        : m_store(m_dir.filePath(u"Ordevan/registry.reg"_s))
    {
        m_store.setLockTimeout(200);
    }

    RegistryStore &store() override { return m_store; }

    void seed(std::u16string_view path, std::u16string_view name,
              const RegistryValue &value) override
    {
        const QString file = m_store.path();
        QDir().mkpath(QFileInfo(file).absolutePath());
        const QByteArray bytes = readAll(file);
        RegFile doc = bytes.isEmpty() ? RegFile() : RegFile::parse(bytes);
        RegData data{RegType::Binary, QByteArray("\x01\x02\x03", 3)};
        if (value.kind == ValueKind::ExpandString)
            data
                = RegData::fromString(QString::fromStdU16String(value.text), RegType::ExpandString);
        doc.setValue(u"HKEY_CURRENT_USER\\"_s + QString::fromStdU16String(std::u16string(path)),
                     QString::fromStdU16String(std::u16string(name)), data);
        writeAll(file, doc.serialize());
    }

    // A folder where the lock file should go makes every save fail.
    bool refuseWrites() override
    {
        QFile::remove(m_store.path() + u".lock"_s);
        return QDir().mkpath(m_store.path() + u".lock"_s);
    }
    bool holdsBatches() const override { return true; }

private:
    QTemporaryDir m_dir;
    RegistryFileStore m_store;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(File, RegistryContract,
                         testing::Values(StoreParam{"File",
                                                    [] {
                                                        return std::make_unique<FileFixture>();
                                                    }}),
                         storeParamName);

class RegistryFileStoreTest : public testing::Test
{
protected:
    RegistryFileStoreTest()
        : path(dir.filePath(u"registry.reg"_s))
        , store(path)
        , reg(store)
    {
        store.setLockTimeout(200);
    }

    QTemporaryDir dir;
    QString path;
    RegistryFileStore store;
    RegistryAccessor reg;
};

// What the store raises for `action`, in English and Italian.
template<typename Action>
std::pair<QString, QString> storeError(Action &&action)
{
    try {
        action();
    } catch (const ERegistryStoreError &e) {
        return {QString::fromStdU16String(e.text(Language::English)),
                QString::fromStdU16String(e.text(Language::Italian))};
    }
    ADD_FAILURE() << "no ERegistryStoreError";
    return {};
}

TEST_F(RegistryFileStoreTest, WritesTheRegistryEditorsFormat)
{
    ASSERT_TRUE(reg.openKey(u"\\Software\\Tarsel\\Ordevan8\\", true));
    reg.writeString(u"Language", u"Italian");
    reg.writeString(u"PathIC8", u"C:\\Program Files\\VOB\\\"8\"\\ICopy.exe");
    reg.writeInteger(u"Count", 700);
    reg.writeInteger(u"Negative", -1);

    EXPECT_EQ(readAll(path),
              utf16File(lines({
                  u"Windows Registry Editor Version 5.00"_s,
                  u""_s,
                  u"[HKEY_CURRENT_USER\\Software\\Tarsel\\Ordevan8]"_s,
                  u"\"Language\"=\"Italian\""_s,
                  u"\"PathIC8\"=\"C:\\\\Program Files\\\\VOB\\\\\\\"8\\\"\\\\ICopy.exe\""_s,
                  u"\"Count\"=dword:000002bc"_s,
                  u"\"Negative\"=dword:ffffffff"_s,
                  u""_s,
              })));
}

TEST_F(RegistryFileStoreTest, LeavesEverythingItDoesNotTouchByteForByte)
{
    const QStringList original = {
        u"Windows Registry Editor Version 5.00"_s,
        u""_s,
        u"; kept as it is"_s,
        u"[HKEY_CURRENT_USER\\Software\\Other]"_s,
        u"\"Blob\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\\"_s,
        u"  17,18,19"_s,
        u"\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00"_s,
        u"\"Wide\"=hex(b):01,00,00,00,00,00,00,00"_s,
        u"@=\"default\""_s,
        u""_s,
        u"[HKEY_CURRENT_USER\\Software\\VOB\\CD Wizard\\8.0\\Copy]"_s,
        u"\"Odd\"=hex(5):00,00,02,bc"_s,
        u"\"MaxSize\"=dword:000002bc"_s,
        u"\"Name\"=\"old\""_s,
        u""_s,
        u"[HKEY_LOCAL_MACHINE\\Software\\Elsewhere]"_s,
        u"\"X\"=\"y\""_s,
        u""_s,
    };
    writeAll(path, utf16File(lines(original)));

    ASSERT_TRUE(reg.openKey(u"\\Software\\vob\\CD Wizard\\8.0\\COPY", false));
    EXPECT_EQ(reg.readInteger(u"MaxSize"), 700);
    EXPECT_THROW(reg.readInteger(u"Odd"), ERegistryError);
    EXPECT_EQ(readAll(path), utf16File(lines(original))) << "reading changes nothing";

    reg.writeString(u"Name", u"new");
    reg.writeInteger(u"Added", 3);
    QStringList expected = original;
    expected[13] = u"\"Name\"=\"new\""_s;
    expected.insert(14, u"\"Added\"=dword:00000003"_s);
    EXPECT_EQ(readAll(path), utf16File(lines(expected)));

    // A new key goes after the subtree of its nearest ancestor with a section.
    ASSERT_TRUE(reg.openKey(u"\\Software\\Other\\Sub", true));
    expected.insert(10, u"[HKEY_CURRENT_USER\\Software\\Other\\Sub]"_s);
    expected.insert(11, u""_s);
    EXPECT_EQ(readAll(path), utf16File(lines(expected)));
}

TEST_F(RegistryFileStoreTest, ReadsUtf8AndEightBitFiles)
{
    writeAll(path,
             u"Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\A]\n"
             u"\"Text\"=\"caffè €\"\n\"N\"=dword:0000000a\n"_s.toUtf8());
    ASSERT_TRUE(reg.openKey(u"\\Software\\A", false));
    EXPECT_EQ(reg.readString(u"Text"), u"caffè €");

    writeAll(path,
             "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\"
             "Software\\A]\r\n\"Text\"=\"\xC3\xA8\"\r\n");
    EXPECT_EQ(reg.readString(u"Text"), u"è");

    // REGEDIT4 files are 8-bit text, and so is the text inside their hex values.
    writeAll(path,
             "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\A]\r\n\"Text\"=\"caff\xE8 \x80\"\r\n"
             "\"Path\"=hex(2):25,57,49,4e,44,49,52,25,5c,e8,00\r\n");
    EXPECT_EQ(reg.readString(u"Text"), u"caffè €");
    EXPECT_EQ(reg.readString(u"Path"), u"%WINDIR%\\è");

    // Saving writes the version 5 form: UTF-16, and UTF-16 text in hex values.
    reg.writeInteger(u"N", 1);
    EXPECT_EQ(readAll(path),
              utf16File(lines({u"Windows Registry Editor Version 5.00"_s, u""_s,
                               u"[HKEY_CURRENT_USER\\Software\\A]"_s, u"\"Text\"=\"caffè €\""_s,
                               u"\"Path\"=hex(2):25,00,57,00,49,00,4e,00,44,00,49,00,52,00,25,00,"
                               u"5c,00,e8,00,00,\\"_s,
                               u"  00"_s, u"\"N\"=dword:00000001"_s})));
}

TEST_F(RegistryFileStoreTest, ADamagedFileIsNeverOverwrittenAndSaysWhere)
{
    const QByteArray damaged = utf16File(lines({
        u"Windows Registry Editor Version 5.00"_s,
        u""_s,
        u"[HKEY_CURRENT_USER\\Software\\Tarsel\\Ordevan8]"_s,
        u"\"Language\"=\"Italian\""_s,
        u"\"Version\"=dword:xyz"_s,
    }));
    writeAll(path, damaged);

    const auto [english, italian]
        = storeError([&] { reg.openKey(u"\\Software\\Tarsel\\Ordevan8\\", true); });
    EXPECT_THAT(english.toStdString(),
                testing::HasSubstr(QDir::toNativeSeparators(path).toStdString()));
    EXPECT_THAT(english.toStdString(), testing::HasSubstr("line 5"));
    EXPECT_THAT(english.toStdString(), testing::HasSubstr("hexadecimal digits"));
    EXPECT_THAT(italian.toStdString(), testing::HasSubstr("riga 5"));
    EXPECT_THAT(italian.toStdString(), testing::HasSubstr("cifre esadecimali"))
        << "the reason is in the interface language too";
    EXPECT_THROW(reg.openKey(u"\\Software\\Tarsel\\Ordevan8\\", false), ERegistryStoreError);
    EXPECT_THROW(reg.openKey(u"\\Software\\Other", true), ERegistryStoreError);
    EXPECT_EQ(readAll(path), damaged);

    // Once repaired on disk, the file is used again.
    writeAll(path, utf16File(lines({u"Windows Registry Editor Version 5.00"_s})));
    EXPECT_TRUE(reg.openKey(u"\\Software\\Tarsel\\Ordevan8\\", true));
    reg.writeString(u"Language", u"English");
    EXPECT_EQ(reg.readString(u"Language"), u"English");
}

TEST_F(RegistryFileStoreTest, AKeyOpenWhenTheFileIsDamagedOnDiskFailsToRead)
{
    ASSERT_TRUE(reg.openKey(u"\\Software\\A", true));
    reg.writeString(u"Text", u"x");
    writeAll(path, "garbage");
    EXPECT_THROW(reg.readString(u"Text"), ERegistryStoreError);
    EXPECT_THROW(reg.writeString(u"Text", u"y"), ERegistryStoreError);
    EXPECT_EQ(readAll(path), "garbage");
}

TEST_F(RegistryFileStoreTest, AFolderThatCannotBeCreatedIsAnErrorTheCallerSees)
{
    writeAll(dir.filePath(u"blocker"_s), "a file where a folder should be");
    RegistryFileStore blocked(dir.filePath(u"blocker/Ordevan/registry.reg"_s));
    RegistryAccessor accessor(blocked);

    const auto [english, italian]
        = storeError([&] { accessor.openKey(u"\\Software\\Tarsel\\Ordevan8\\", true); });
    EXPECT_THAT(english.toStdString(), testing::HasSubstr("folder cannot be created"));
    // Opening the root needs no write; writing into it fails.
    ASSERT_TRUE(accessor.openKey(u"\\", false));
    EXPECT_THROW(accessor.writeString(u"Language", u"English"), ERegistryStoreError);
}

TEST_F(RegistryFileStoreTest, WhatIsNotARegularFileIsNeitherReadNorReplaced)
{
    QDir().mkpath(path);
    const auto [english, italian] = storeError([&] { reg.openKey(u"\\Software\\A", true); });
    EXPECT_THAT(english.toStdString(), testing::HasSubstr("not a regular file"));
    EXPECT_THAT(italian.toStdString(), testing::HasSubstr("non è un file normale"));
    QDir().rmdir(path);

    // A pipe in the file's place must not hang the tool.
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    EXPECT_THROW(reg.openKey(u"\\Software\\A", true), ERegistryStoreError);
}

TEST_F(RegistryFileStoreTest, ChangesMadeByAnotherInstanceAreSeen)
{
    RegistryFileStore other(path);
    RegistryAccessor otherReg(other);
    ASSERT_TRUE(reg.openKey(u"\\Software\\A", true));
    reg.writeString(u"Mine", u"1");
    ASSERT_TRUE(otherReg.openKey(u"\\Software\\A", false));
    EXPECT_EQ(otherReg.readString(u"Mine"), u"1");

    for (int i = 0; i < 20; ++i) {
        otherReg.writeInteger(u"Theirs", i);
        EXPECT_EQ(reg.readInteger(u"Theirs"), i);
        reg.writeInteger(u"Mine", i);
        EXPECT_EQ(otherReg.readInteger(u"Mine"), i);
    }
}

TEST_F(RegistryFileStoreTest, ADeletionTakesOnlyTheValuesLinesAndLeavesItsKey)
{
    QStringList expected = {
        u"Windows Registry Editor Version 5.00"_s,
        u""_s,
        u"; kept as it is"_s,
        u"[HKEY_CURRENT_USER\\Software\\Other]"_s,
        u"\"Blob\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\\"_s,
        u"  17,18,19"_s,
        u"\"Twice\"=\"one\""_s,
        u"@=\"default\""_s,
        u"\"twice\"=\"two\""_s,
        u""_s,
        u"[HKEY_CURRENT_USER\\Software\\VOB\\CD Wizard\\8.0\\Copy]"_s,
        u"\"Only\"=\"alone\""_s,
        u""_s,
        u"[hkey_current_user\\software\\other]"_s,
        u"\"TWICE\"=dword:00000001"_s,
        u"\"Kept\"=hex(b):01,00,00,00,00,00,00,00"_s,
        u""_s,
    };
    writeAll(path, utf16File(lines(expected)));

    // Every line of the name goes, in each section of the key.
    ASSERT_TRUE(reg.openKey(u"\\Software\\Other", false));
    reg.deleteValue(u"Twice");
    for (const int line : {14, 8, 6})
        expected.removeAt(line);
    EXPECT_EQ(readAll(path), utf16File(lines(expected)));
    EXPECT_FALSE(reg.readStoredValue(u"twice"));

    // Lines the data goes on over go with it.
    reg.deleteValue(u"Blob");
    expected.removeAt(5);
    expected.removeAt(4);
    EXPECT_EQ(readAll(path), utf16File(lines(expected)));
    EXPECT_EQ(reg.readStoredValue(u"Kept"),
              (StoredValue{StoredType::QWord, {1, 0, 0, 0, 0, 0, 0, 0}}));

    // A value that is not there: the file stays as it is.
    reg.deleteValue(u"Twice");
    EXPECT_EQ(readAll(path), utf16File(lines(expected)));

    // The key's last value leaves its section behind.
    ASSERT_TRUE(reg.openKey(u"\\Software\\VOB\\CD Wizard\\8.0\\Copy", false));
    reg.deleteValue(u"Only");
    expected.removeAt(expected.indexOf(u"\"Only\"=\"alone\""_s));
    EXPECT_EQ(readAll(path), utf16File(lines(expected)));
    reg.closeKey();
    EXPECT_TRUE(reg.openKey(u"\\Software\\VOB\\CD Wizard\\8.0\\Copy", false));
}

TEST_F(RegistryFileStoreTest, ABatchOfDeletionsIsOneChangeOfTheFile)
{
    FailingCalls calls;
    RegistryFileStore counted(path, calls);
    RegistryAccessor accessor(counted);
    ASSERT_TRUE(accessor.openKey(u"\\Software\\A", true));
    for (int i = 0; i < 10; ++i)
        accessor.writeInteger(QString::number(i).toStdU16String(), i);
    const int renames = calls.count("rename");
    {
        RegistryBatch batch(counted);
        for (int i = 0; i < 10; i += 2)
            accessor.deleteValue(QString::number(i).toStdU16String());
        accessor.writeStoredValue(u"1", StoredValue{0, {}}); // REG_NONE, empty
        EXPECT_EQ(calls.count("rename"), renames) << "nothing is stored before the commit";
        batch.commit();
    }
    EXPECT_EQ(calls.count("rename"), renames + 1);
    const RegFile written = RegFile::parse(readAll(path));
    const QString key = u"HKEY_CURRENT_USER\\Software\\A"_s;
    EXPECT_FALSE(written.value(key, u"0"_s));
    EXPECT_FALSE(written.value(key, u"8"_s));
    EXPECT_EQ(written.value(key, u"1"_s), (RegData{0, {}}));
    EXPECT_EQ(written.value(key, u"9"_s), RegData::fromDWord(9));
}

TEST_F(RegistryFileStoreTest, ValueNamesWithLineBreaksAreRefused)
{
    ASSERT_TRUE(reg.openKey(u"\\Software\\A", true));
    EXPECT_THROW(reg.writeString(u"two\nlines", u"x"), ERegistryError);
    EXPECT_FALSE(reg.openKey(u"\\Software\\A\nB", true));
    EXPECT_FALSE(reg.openKey(u"\\Software\\A]B", true));
    EXPECT_NO_THROW(RegFile::parse(readAll(path)));
}

TEST_F(RegistryFileStoreTest, ABatchIsOneChangeOfTheFile)
{
    FailingCalls calls;
    RegistryFileStore counted(path, calls);
    RegistryAccessor accessor(counted);
    {
        RegistryBatch batch(counted);
        ASSERT_TRUE(accessor.openKey(u"\\Software\\A", true));
        for (int i = 0; i < 56; ++i)
            accessor.writeInteger(QString::number(i).toStdU16String(), i);
        EXPECT_EQ(accessor.readInteger(u"55"), 55) << "the batch reads its own writes";
        EXPECT_EQ(calls.count("rename"), 0) << "nothing is stored before the commit";
        batch.commit();
    }
    EXPECT_EQ(calls.count("rename"), 1);
    ASSERT_TRUE(reg.openKey(u"\\Software\\A", false));
    EXPECT_EQ(reg.readInteger(u"0"), 0);
    EXPECT_EQ(reg.readInteger(u"55"), 55);

    // Nothing to store, nothing written; a batch left without commit stores nothing.
    const QByteArray before = readAll(path);
    {
        RegistryBatch batch(counted);
        ASSERT_TRUE(accessor.openKey(u"\\Software\\A", true));
        batch.commit();
    }
    {
        RegistryBatch batch(counted);
        accessor.writeInteger(u"0", 1000);
    }
    EXPECT_EQ(calls.count("rename"), 1);
    EXPECT_EQ(readAll(path), before);
    EXPECT_EQ(accessor.readInteger(u"0"), 0) << "the dropped write is gone from reads too";
}

TEST_F(RegistryFileStoreTest, NoOtherWriterComesBetweenWhatABatchReadsAndWhatItWrites)
{
    ASSERT_TRUE(reg.openKey(u"\\Software\\A", true));
    reg.writeString(u"Mine", u"old");
    reg.writeString(u"Theirs", u"old");
    EXPECT_EQ(reg.readString(u"Theirs"), u"old");

    // Another instance saves after this one last read: the batch starts from it.
    RegistryFileStore other(path);
    other.setLockTimeout(100);
    RegistryAccessor otherReg(other);
    ASSERT_TRUE(otherReg.openKey(u"\\Software\\A", false));
    otherReg.writeString(u"Theirs", u"new");
    {
        RegistryBatch batch(store);
        EXPECT_EQ(reg.readString(u"Theirs"), u"new");
        reg.writeString(u"Mine", u"new");
        // Once the batch has read, nobody writes until it has written.
        EXPECT_THROW(otherReg.writeString(u"Theirs", u"newer"), ERegistryStoreError);
        batch.commit();
    }
    otherReg.writeString(u"Theirs", u"newest");

    RegistryFileStore fresh(path);
    RegistryAccessor freshReg(fresh);
    ASSERT_TRUE(freshReg.openKey(u"\\Software\\A", false));
    EXPECT_EQ(freshReg.readString(u"Mine"), u"new");
    EXPECT_EQ(freshReg.readString(u"Theirs"), u"newest");
}

TEST_F(RegistryFileStoreTest, CopiesLeftByAKilledWriterAreRemovedByTheNext)
{
    ASSERT_TRUE(reg.openKey(u"\\Software\\A", true));
    reg.writeString(u"Value", u"x");
    for (const char *name : {".registry.reg.abc.tmp", ".registry.reg.0z9.tmp"})
        writeAll(dir.filePath(QString::fromLatin1(name)), QByteArray(1000, 'k'));
    writeAll(dir.filePath(u".other.reg.abc.tmp"_s), "not ours");
    reg.writeString(u"Value", u"y");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{u".other.reg.abc.tmp"_s, u"registry.reg"_s, u"registry.reg.lock"_s}));

    // Without the lock (a start), only those too old to be a write going on.
    for (const char *name : {".registry.reg.old.tmp", ".registry.reg.new.tmp"})
        writeAll(dir.filePath(QString::fromLatin1(name)), "k");
    QFile old(dir.filePath(u".registry.reg.old.tmp"_s));
    ASSERT_TRUE(old.open(QIODevice::ReadWrite));
    old.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime);
    removeStaleCopies(FileCalls::system(), dir.filePath(u"registry.reg"_s), StaleCopySeconds);
    EXPECT_TRUE(QFile::exists(dir.filePath(u".registry.reg.new.tmp"_s)));
    EXPECT_FALSE(QFile::exists(old.fileName()));
}

TEST_F(RegistryFileStoreTest, ARelativeLinkBehindALinkedFolderIsSavedWhereItPoints)
{
    // ~/.config is a link elsewhere, and the file a relative link from there.
    ASSERT_TRUE(QDir().mkpath(dir.filePath(u"real/cfg/Ordevan"_s)));
    ASSERT_TRUE(QDir().mkpath(dir.filePath(u"real/dot"_s)));
    ASSERT_TRUE(QDir().mkpath(dir.filePath(u"home"_s)));
    ASSERT_TRUE(QFile::link(dir.filePath(u"real/cfg"_s), dir.filePath(u"home/.config"_s)));
    ASSERT_EQ(
        ::symlink("../../dot/registry.reg",
                  QFile::encodeName(dir.filePath(u"real/cfg/Ordevan/registry.reg"_s)).constData()),
        0);
    RegistryFileStore linked(dir.filePath(u"home/.config/Ordevan/registry.reg"_s));
    RegistryAccessor accessor(linked);
    ASSERT_TRUE(accessor.openKey(u"\\Software\\A", true));
    accessor.writeString(u"Value", u"saved");
    EXPECT_TRUE(QFileInfo(dir.filePath(u"real/cfg/Ordevan/registry.reg"_s)).isSymLink());
    EXPECT_TRUE(readAll(dir.filePath(u"real/dot/registry.reg"_s)).contains("s\0a\0v\0e\0d\0"));
    EXPECT_FALSE(QFile::exists(dir.filePath(u"home/dot/registry.reg"_s)));
}

TEST_F(RegistryFileStoreTest, ASaveThatFailsAnywhereStoresNothingAndSaysWhy)
{
    ASSERT_TRUE(reg.openKey(u"\\Software\\A", true));
    for (int i = 0; i < 20; ++i)
        reg.writeString(QString::number(i).toStdU16String(), u"old");
    const QByteArray old = readAll(path);

    FailingCalls calls;
    calls.limitWrites(128);
    auto save = [&](RegistryFileStore &target) {
        RegistryAccessor accessor(target);
        RegistryBatch batch(target);
        if (!accessor.openKey(u"\\Software\\A", false))
            throw std::logic_error("no key");
        for (int i = 0; i < 20; ++i)
            accessor.writeString(QString::number(i).toStdU16String(), u"new");
        batch.commit();
    };
    {
        RegistryFileStore counting(path, calls);
        save(counting);
        writeAll(path, old);
    }
    const int writes = calls.count("write");
    ASSERT_GT(writes, 3);
    for (const char *kind : {"open", "write", "fsync", "close", "rename", "flock"}) {
        const int count = std::string(kind) == "write" ? writes : 3;
        for (int nth = 1; nth <= count; ++nth) {
            calls.failAt(kind, nth, ENOSPC);
            RegistryFileStore failing(path, calls);
            failing.setLockTimeout(0);
            try {
                save(failing);
            } catch (const ERegistryStoreError &e) {
                EXPECT_EQ(readAll(path), old) << kind << " " << nth;
                const QString english = QString::fromStdU16String(e.text(Language::English));
                const QString italian = QString::fromStdU16String(e.text(Language::Italian));
                EXPECT_TRUE(english.contains(u"cannot be saved"_s)
                            || english.contains(u"cannot be read"_s)
                            || english.contains(u"locked"_s))
                    << english.toStdString();
                EXPECT_NE(english, italian);
                continue;
            }
            // Failing a call the save did not need, or one after the rename.
            EXPECT_TRUE(!calls.failed() || readAll(path) != old) << kind << " " << nth;
            writeAll(path, old);
        }
    }
}

TEST_F(RegistryFileStoreTest, ALockLeftBehindByAKillDoesNotHoldUpASave)
{
    // An empty lock file a moment old, as a process killed while taking the
    // lock leaves it.
    writeAll(path + u".lock"_s, {});
    store.setLockTimeout(10000);
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(reg.openKey(u"\\Software\\A", true));
    reg.writeString(u"Value", u"stored");
    EXPECT_LT(timer.elapsed(), 2000);
    EXPECT_EQ(reg.readString(u"Value"), u"stored");
}

// A real full file system: a small tmpfs, where the machine lets us mount one.
TEST(RegistryFileStoreDiskTest, AFullDiskLeavesTheFileByteIdenticalAndSaysSo)
{
    const TmpfsMount mountPoint(u"12k"_s);
    if (!mountPoint.mounted())
        GTEST_SKIP() << "no tmpfs can be mounted here";

    const QString path = mountPoint.filePath(u"registry.reg"_s);
    RegistryFileStore store(path);
    RegistryAccessor reg(store);
    ASSERT_TRUE(reg.openKey(u"\\Software\\VOB\\CD Wizard\\8.0\\Copy", true));
    for (int i = 0; i < 60; ++i)
        reg.writeString(u"Value" + QString::number(i).toStdU16String(), u"x");
    const QByteArray before = readAll(path);
    ASSERT_GT(before.size(), 1500);

    // Fill the rest of the disk.
    {
        QFile filler(mountPoint.filePath(u"filler"_s));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(512, 'f');
        while (filler.write(block) == block.size()) { }
    }
    try {
        RegistryBatch batch(store);
        for (int i = 0; i < 60; ++i)
            reg.writeString(u"Value" + QString::number(i).toStdU16String(), u"a longer value");
        batch.commit();
        FAIL() << "saved on a full disk";
    } catch (const ERegistryStoreError &e) {
        EXPECT_THAT(toUtf8(e.text(Language::English)),
                    testing::HasSubstr("no space left on the disk"));
        EXPECT_THAT(toUtf8(e.text(Language::Italian)),
                    testing::HasSubstr("spazio esaurito sul disco"));
    }
    EXPECT_EQ(readAll(path), before);
    EXPECT_EQ(QDir(mountPoint.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{u"filler"_s, u"registry.reg"_s, u"registry.reg.lock"_s}))
        << "no temporary file is left on the full disk";
    RegistryFileStore fresh(path);
    RegistryAccessor freshReg(fresh);
    ASSERT_TRUE(freshReg.openKey(u"\\Software\\VOB\\CD Wizard\\8.0\\Copy", false));
    EXPECT_EQ(freshReg.readString(u"Value59"), u"x");
}
