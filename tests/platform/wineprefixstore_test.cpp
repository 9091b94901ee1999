#include "failingcalls.h"
#include "heapinuse.h"
#include "printers.h"
#include "registrycontract.h"
#include "registryproblems.h"
#include "testfiles.h"
#include "tmpfsmount.h"
#include "wineprefixstore.h"
#include "winereg.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gmock/gmock.h>

using namespace Qt::Literals::StringLiterals;

namespace {

QString qt(std::u16string_view text)
{
    return QString::fromStdU16String(std::u16string(text));
}

RegData dataOf(const RegistryValue &value)
{
    switch (value.kind) {
    case ValueKind::String:
        return RegData::fromString(qt(value.text));
    case ValueKind::ExpandString:
        return RegData::fromString(qt(value.text), RegType::ExpandString);
    case ValueKind::Integer:
        return RegData::fromDWord(static_cast<quint32>(value.integer));
    case ValueKind::Other:
        break;
    }
    return {RegType::Binary, QByteArray("\x01\x02\x03", 3)};
}

const QByteArray UserReg = "WINE REGISTRY Version 2\n"
                           ";; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n"
                           "\n"
                           "#arch=win64\n"
                           "\n"
                           "[Control Panel\\\\Desktop] 1796771035\n"
                           "#time=1dd87686676bdaa\n"
                           "\"Wallpaper\"=\"\"\n";

// A running Wine server, as its registry editor shows it: imports go into
// its registry (but for the names it is told to refuse), exports come out
// of it in the registry editor's format.
class FakeServer : public Regedit
{
public:
    Result importFile(const QByteArray &file) override
    {
        ++imports;
        RegFile imported = RegFile::parse(file);
        lastImport = file;
        imported.visitWithDeletions([this](const QString &key, const std::optional<QString> &name,
                                           const std::optional<RegData> &data) {
            if (!name)
                registry.addKey(key);
            else if (refuse.contains(*name))
                return;
            else if (data)
                registry.setValue(key, *name, *data);
            else
                registry.removeValue(key, *name);
        });
        return {Outcome::Done, {}, {}};
    }

    Result exportKey(const QString &key) override
    {
        ++exports;
        if (!registry.hasKey(key))
            return {Outcome::NoSuchKey, {}, {}};
        RegFile out;
        registry.visit(
            [&](const QString &at, const std::optional<QString> &name, const RegData &data) {
                if (at.compare(key, Qt::CaseInsensitive) != 0
                    && !at.startsWith(key + u'\\', Qt::CaseInsensitive))
                    return;
                if (name)
                    out.setValue(at, *name, data);
                else
                    out.addKey(at);
            });
        return {Outcome::Done, out.serialize(), {}};
    }

    RegFile registry;
    QStringList refuse;
    QByteArray lastImport;
    int imports = 0;
    int exports = 0;
};

// A prefix with no server running: its user.reg is read and patched.
class PrefixFixture : public StoreFixture
{
public:
    PrefixFixture()
        : m_store(m_dir.path(), FileCalls::system(), nullptr, [] { return false; })
    {
        writeAll(m_store.userRegPath(), UserReg);
        m_store.setLockTimeout(200);
    }

    RegistryStore &store() override { return m_store; }

    void seed(std::u16string_view path, std::u16string_view name,
              const RegistryValue &value) override
    {
        WineRegFile file = WineRegFile::parse(readAll(m_store.userRegPath()));
        file.setValue(qt(path), qt(name), dataOf(value), 1796771100);
        writeAll(m_store.userRegPath(), file.serialize());
    }

    bool refuseWrites() override
    {
        QFile::remove(m_store.userRegPath() + u".lock"_s);
        return QDir().mkpath(m_store.userRegPath() + u".lock"_s);
    }
    bool holdsBatches() const override { return true; }

private:
    QTemporaryDir m_dir;
    WinePrefixStore m_store;
};

// A prefix whose server runs: everything goes through its registry editor.
class ServerFixture : public StoreFixture
{
public:
    ServerFixture()
        : m_server(new FakeServer)
        , m_store(m_dir.path(), FileCalls::system(), std::unique_ptr<Regedit>(m_server),
                  [] { return true; })
    {
        writeAll(m_store.userRegPath(), UserReg);
    }

    RegistryStore &store() override { return m_store; }

    void seed(std::u16string_view path, std::u16string_view name,
              const RegistryValue &value) override
    {
        m_server->registry.setValue(u"HKEY_CURRENT_USER\\"_s + qt(path), qt(name), dataOf(value));
    }

    bool refuseWrites() override { return false; }
    bool holdsBatches() const override { return true; }
    bool keepsTextAfterItsNul() const override { return false; }

private:
    QTemporaryDir m_dir;
    FakeServer *m_server;
    WinePrefixStore m_store;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(WinePrefix, RegistryContract,
                         testing::Values(StoreParam{"Prefix",
                                                    [] {
                                                        return std::make_unique<PrefixFixture>();
                                                    }},
                                         StoreParam{"RunningServer",
                                                    [] {
                                                        return std::make_unique<ServerFixture>();
                                                    }}),
                         storeParamName);

class WinePrefixStoreTest : public testing::Test
{
protected:
    WinePrefixStoreTest()
        : path(dir.filePath(u"user.reg"_s))
    {
        writeAll(path, UserReg);
    }

    // The store as it is while no server runs, or while one does.
    std::unique_ptr<WinePrefixStore> prefixStore(FileCalls &calls = FileCalls::system())
    {
        auto store = std::make_unique<WinePrefixStore>(dir.path(), calls, nullptr,
                                                       [this] { return serverRunning; });
        store->setLockTimeout(200);
        return store;
    }
    std::unique_ptr<WinePrefixStore> serverStore()
    {
        serverRunning = true;
        server = new FakeServer;
        return std::make_unique<WinePrefixStore>(dir.path(), FileCalls::system(),
                                                 std::unique_ptr<Regedit>(server),
                                                 [this] { return serverRunning; });
    }

    QTemporaryDir dir;
    QString path;
    bool serverRunning = false;
    FakeServer *server = nullptr;
};

TEST_F(WinePrefixStoreTest, ASaveOfSeveralValuesPatchesUserRegOnceAsWineWouldWriteIt)
{
    FailingCalls calls;
    auto store = prefixStore(calls);
    RegistryAccessor reg(*store);
    {
        RegistryBatch batch(*store);
        ASSERT_TRUE(reg.openKey(u"\\Software\\VOB\\CD Wizard\\8.0\\Copy", true));
        reg.writeInteger(u"MaxCdSize", 700);
        reg.writeString(u"ImageName", u"caffè \"1\".img");
        ASSERT_TRUE(reg.openKey(u"\\software\\vob\\CD Wizard\\8.0", true));
        reg.writeString(u"Language", u"Italiano");
        batch.commit();
    }
    EXPECT_EQ(calls.count("rename"), 1);
    const QByteArray written = readAll(path);
    EXPECT_TRUE(written.startsWith(UserReg)) << "the lines before stay as they were";
    EXPECT_THAT(written.toStdString(),
                testing::HasSubstr("\n[Software\\\\VOB\\\\CD Wizard\\\\8.0] "));
    EXPECT_THAT(written.toStdString(), testing::HasSubstr("\n\"Language\"=\"Italiano\"\n"));
    EXPECT_THAT(written.toStdString(),
                testing::HasSubstr("\n[Software\\\\VOB\\\\CD Wizard\\\\8.0\\\\Copy] "));
    EXPECT_THAT(written.toStdString(),
                testing::HasSubstr("\"ImageName\"=\"caff\\xe8 \\\"1\\\".img\"\n"
                                   "\"MaxCdSize\"=dword:000002bc\n"));
    EXPECT_FALSE(written.contains('\r'));
    EXPECT_NO_THROW(WineRegFile::parse(written));

    // Other roots are not in a prefix's user registry.
    EXPECT_FALSE(store->openKey(RootKey::LocalMachine, u"Software", true));
}

// A batch works on a copy of what was read, and a save writes the file from
// it: neither holds the file's bytes a second time.
TEST_F(WinePrefixStoreTest, ALargeUserRegIsHeldOnceThroughABatchAndASave)
{
    QByteArray large = UserReg;
    for (int key = 0; large.size() < 20'000'000; ++key)
        large += "\n[Software\\\\Other\\\\Key" + QByteArray::number(key) + "] 1\n\"V\"=\""
            + QByteArray(200, 'v') + "\"\n";
    writeAll(path, large);
    const auto heapBefore = heapInUse();
    auto store = prefixStore();
    RegistryAccessor reg(*store);
    {
        RegistryBatch batch(*store);
        ASSERT_TRUE(reg.openKey(u"\\Software\\Other\\Key5", false));
        reg.writeInteger(u"N", 5);
        batch.commit();
    }
    EXPECT_EQ(reg.readInteger(u"N"), 5);
    if (heapBefore) {
        EXPECT_LT(qsizetype(*heapInUse() - *heapBefore), large.size() * 3 / 2);
    }
    const QByteArray written = readAll(path);
    EXPECT_TRUE(written.startsWith(large.first(large.indexOf("[Software\\\\Other\\\\Key5]"))));
    EXPECT_TRUE(written.endsWith(large.sliced(large.indexOf("[Software\\\\Other\\\\Key6]"))));
}

TEST_F(WinePrefixStoreTest, AUserRegWineWouldNotReadIsNeverWrittenAndSaysWhere)
{
    const QByteArray damaged = "WINE REGISTRY Version 2\n[Software\\\\A] 1\n\"V\"=dword:xyz\n";
    writeAll(path, damaged);
    auto store = prefixStore();
    RegistryAccessor reg(*store);
    try {
        reg.openKey(u"\\Software\\A", true);
        FAIL() << "opened";
    } catch (const ERegistryStoreError &e) {
        const QString italian = QString::fromStdU16String(e.text(Language::Italian));
        EXPECT_TRUE(italian.contains(u"riga 3"_s)) << italian.toStdString();
        EXPECT_TRUE(italian.contains(QDir::toNativeSeparators(path)));
    }
    EXPECT_EQ(readAll(path), damaged);
}

// Cut anywhere, a user.reg is either still one Wine reads as written, and
// a write goes into it, or it is refused and left as it is.
TEST_F(WinePrefixStoreTest, ATruncatedUserRegIsWrittenOnlyWhereItIsWhole)
{
    const QByteArray whole = UserReg
        + "\n[Software\\\\A] 1796771035\n\"Bytes\"=hex:01,02,03,\\\n  "
          "04,05\n\"Text\"=\"caff\\xe8\"\n";
    int refused = 0;
    for (qsizetype size = UserReg.size(); size <= whole.size(); ++size) {
        const QByteArray cut = whole.first(size);
        writeAll(path, cut);
        bool readable = true;
        try {
            WineRegFile::parse(cut);
        } catch (const RegFileError &) {
            readable = false;
        }
        auto store = prefixStore();
        RegistryAccessor reg(*store);
        try {
            RegistryBatch batch(*store);
            ASSERT_TRUE(reg.openKey(u"\\Software\\B", true));
            reg.writeString(u"V", u"x");
            batch.commit();
            EXPECT_TRUE(readable) << "written into: " << cut.toStdString();
            EXPECT_TRUE(readAll(path).startsWith(cut.first(cut.lastIndexOf('\n') + 1)));
        } catch (const ERegistryStoreError &e) {
            ++refused;
            EXPECT_FALSE(readable) << toUtf8(e.text(Language::English));
            EXPECT_EQ(readAll(path), cut);
        }
    }
    EXPECT_GT(refused, 20);
}

// A real read-only file system, where the machine lets us mount one.
TEST_F(WinePrefixStoreTest, AReadOnlyPrefixIsReadAndAWriteIsRefusedWithItsReason)
{
    const TmpfsMount mountPoint(u"64k"_s);
    if (!mountPoint.mounted())
        GTEST_SKIP() << "no tmpfs can be mounted here";
    writeAll(mountPoint.filePath(u"user.reg"_s), UserReg);
    ASSERT_TRUE(mountPoint.makeReadOnly());

    WinePrefixStore store(mountPoint.path(), FileCalls::system(), nullptr, [] { return false; });
    store.setLockTimeout(200);
    RegistryAccessor reg(store);
    ASSERT_TRUE(reg.openKey(u"\\Control Panel\\Desktop", false));
    EXPECT_EQ(reg.readString(u"Wallpaper"), u"");
    try {
        RegistryBatch batch(store);
        reg.writeString(u"Wallpaper", u"x");
        batch.commit();
        FAIL() << "written on a read-only file system";
    } catch (const ERegistryStoreError &e) {
        EXPECT_THAT(toUtf8(e.text(Language::English)),
                    testing::HasSubstr("the file system is read-only"));
        EXPECT_THAT(toUtf8(e.text(Language::Italian)),
                    testing::HasSubstr("il file system è di sola lettura"));
    }
    EXPECT_EQ(readAll(mountPoint.filePath(u"user.reg"_s)), UserReg);
}

TEST_F(WinePrefixStoreTest, ALinkedUserRegIsWrittenThroughToItsTarget)
{
    ASSERT_TRUE(QDir().mkpath(dir.filePath(u"elsewhere"_s)));
    const QString target = dir.filePath(u"elsewhere/user.reg"_s);
    ASSERT_TRUE(QFile::rename(path, target));
    ASSERT_TRUE(QFile::link(target, path));
    auto store = prefixStore();
    RegistryAccessor reg(*store);
    ASSERT_TRUE(reg.openKey(u"\\Software\\A", true));
    reg.writeString(u"V", u"x");
    EXPECT_TRUE(QFileInfo(path).isSymLink());
    EXPECT_TRUE(readAll(target).contains("\"V\"=\"x\"\n"));
}

TEST_F(WinePrefixStoreTest, WhileAServerRunsUserRegIsNeverWrittenAndASaveIsOneImport)
{
    auto store = serverStore();
    RegistryAccessor reg(*store);
    ASSERT_TRUE(reg.openKey(u"\\Software\\VOB\\CD Wizard\\8.0", true));
    server->refuse = {u"Refused"_s};
    {
        RegistryBatch batch(*store);
        ASSERT_TRUE(reg.openKey(u"\\Software\\VOB\\CD Wizard\\8.0", false));
        reg.writeInteger(u"MaxCdSize", 700);
        reg.writeString(u"Refused", u"x");
        reg.writeString(u"Text", u"\"quoted\" \\ é");
        const int imports = server->imports;
        const std::vector<RefusedWrite> refused = batch.commit();
        EXPECT_EQ(server->imports, imports + 1);
        EXPECT_EQ(refused,
                  (std::vector<RefusedWrite>{{u"Software\\VOB\\CD Wizard\\8.0", u"Refused"}}));
    }
    EXPECT_EQ(readAll(path), UserReg);
    EXPECT_EQ(reg.readInteger(u"MaxCdSize"), 700);
    EXPECT_EQ(reg.readString(u"Text"), u"\"quoted\" \\ é");

    // What the save read back serves every read after it, whatever key is
    // opened below the program's; a refresh asks the server once more.
    const int exports = server->exports;
    for (int again = 0; again < 2; ++again) {
        ASSERT_TRUE(reg.openKey(u"\\Software\\VOB\\CD Wizard", false));
        ASSERT_TRUE(reg.openKey(u"\\Software\\VOB\\CD Wizard\\8.0", false));
        reg.readString(u"Text");
        reg.readInteger(u"MaxCdSize");
        EXPECT_EQ(server->exports - exports, again);
        store->refresh();
    }
    // A start's reads, read ahead: one export each, none after.
    store->readAhead({u"Software\\VOB\\CD Wizard", u"Software\\Tarsel\\Ordevan8"});
    reg.openKey(u"\\Software\\Tarsel\\Ordevan8", false);
    ASSERT_TRUE(reg.openKey(u"\\Software\\VOB\\CD Wizard\\8.0", false));
    EXPECT_EQ(server->exports - exports, 3);

    // Once the server has gone, user.reg is what is read and written.
    serverRunning = false;
    ASSERT_TRUE(reg.openKey(u"\\Software\\Other", true));
    reg.writeString(u"V", u"x");
    EXPECT_TRUE(readAll(path).contains("[Software\\\\Other] "));
}

TEST_F(WinePrefixStoreTest, WhileAServerRunsAValueWrittenTwiceInABatchIsNotReportedRefused)
{
    auto store = serverStore();
    RegistryAccessor reg(*store);
    ASSERT_TRUE(reg.openKey(u"\\Software\\VOB\\CD Wizard\\8.0", true));
    server->refuse = {u"Refused"_s};
    RegistryBatch batch(*store);
    reg.writeString(u"Twice", u"first");
    reg.writeInteger(u"Number", 1);
    reg.writeString(u"twice", u"second");
    reg.writeString(u"Refused", u"x");
    reg.writeString(u"Refused", u"y");
    reg.writeInteger(u"Number", 2);
    EXPECT_EQ(batch.commit(),
              (std::vector<RefusedWrite>{{u"Software\\VOB\\CD Wizard\\8.0", u"Refused"}}))
        << "what the batch left was stored; only the refused name is reported, once";
    ASSERT_TRUE(reg.openKey(u"\\Software\\VOB\\CD Wizard\\8.0", false));
    EXPECT_EQ(reg.readString(u"Twice"), u"second");
    EXPECT_EQ(reg.readInteger(u"Number"), 2);
}

TEST_F(WinePrefixStoreTest, ARegistryEditorThatCannotRunIsAProblemOfTheStore)
{
    class Broken : public Regedit
    {
        Result importFile(const QByteArray &) override
        {
            return {Outcome::Failed, {}, u"wine is not on the search path"_s};
        }
        Result exportKey(const QString &) override
        {
            return {Outcome::Failed, {}, u"wine is not on the search path"_s};
        }
    };
    WinePrefixStore store(dir.path(), FileCalls::system(), std::make_unique<Broken>(),
                          [] { return true; });
    RegistryAccessor reg(store);
    try {
        reg.openKey(u"\\Software\\A", false);
        FAIL() << "opened";
    } catch (const ERegistryStoreError &e) {
        EXPECT_THAT(toUtf8(e.text(Language::English)),
                    testing::HasSubstr("wine is not on the search path"));
        EXPECT_THAT(toUtf8(e.text(Language::Italian)),
                    testing::HasSubstr("editor del registro di Wine"));
    }
}

namespace {

// The text of a registry-export file as the store hands it to the editor.
QString importText(const QByteArray &file)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(file.constData() + 2),
                              file.size() / 2 - 1);
}

// `bytes` without the key line that starts at `keyLine` and the line after
// it, its time.
QByteArray withoutKeyTime(QByteArray bytes, const QByteArray &keyLine)
{
    const qsizetype at = bytes.indexOf(keyLine);
    if (at < 0)
        return bytes;
    const qsizetype end = bytes.indexOf('\n', bytes.indexOf('\n', at) + 1);
    return bytes.remove(at, end + 1 - at);
}

} // namespace

TEST_F(WinePrefixStoreTest, ADeletionTakesOnlyItsLinesFromUserRegAndTimesItsKey)
{
    const QByteArray original = UserReg
        + "\"Zed\"=hex:01,02,\\\n  03\n"
          "\n[Software\\\\A] 1796771035\n#time=1dd87686676bdaa\n\"V\"=\"x\"\n\"v\"=\"y\"\n";
    writeAll(path, original);
    auto store = prefixStore();
    RegistryAccessor reg(*store);
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    ASSERT_TRUE(reg.openKey(u"\\Control Panel\\Desktop", false));
    reg.deleteValue(u"zed");
    const QByteArray written = readAll(path);

    QByteArray expected = original;
    expected.replace("\"Zed\"=hex:01,02,\\\n  03\n", "");
    EXPECT_EQ(withoutKeyTime(written, "[Control Panel\\\\Desktop] "),
              withoutKeyTime(expected, "[Control Panel\\\\Desktop] "));
    const qsizetype keyLine = written.indexOf("[Control Panel\\\\Desktop] ") + 25;
    EXPECT_GE(written.mid(keyLine, written.indexOf('\n', keyLine) - keyLine).toLongLong(), before)
        << "the key line has the change's time";
    EXPECT_FALSE(written.contains("#time=1dd87686676bdaa\n\"Wallpaper\""));

    // Both lines of a duplicated name go; the key's last value leaves the key.
    ASSERT_TRUE(reg.openKey(u"\\Software\\A", false));
    reg.deleteValue(u"V");
    const WineRegFile read = WineRegFile::parse(readAll(path));
    EXPECT_FALSE(read.value(u"Software\\A"_s, u"v"_s));
    EXPECT_TRUE(read.hasKey(u"Software\\A"_s));
    EXPECT_EQ(read.value(u"Control Panel\\Desktop"_s, u"Wallpaper"_s),
              RegData::fromString(QString()));
    EXPECT_TRUE(readAll(path).startsWith(UserReg.first(UserReg.indexOf("[Control Panel"))));

    // Nothing to delete: user.reg is not touched.
    const QByteArray unchanged = readAll(path);
    reg.deleteValue(u"V");
    EXPECT_EQ(readAll(path), unchanged);
}

TEST_F(WinePrefixStoreTest, WhileAServerRunsADeletionIsImportedAndReadBack)
{
    auto store = serverStore();
    RegistryAccessor reg(*store);
    ASSERT_TRUE(reg.openKey(u"\\Software\\VOB\\CD Wizard\\8.0", true));
    for (const char16_t *name : {u"Gone", u"Refused", u"Twice", u"Passing", u"Kept"})
        reg.writeString(name, u"before");
    server->refuse = {u"Refused"_s};
    {
        RegistryBatch batch(*store);
        ASSERT_TRUE(reg.openKey(u"\\Software\\VOB\\CD Wizard\\8.0", false));
        reg.deleteValue(u"Gone");
        reg.deleteValue(u"Refused");
        // Only what the batch leaves is looked for in what the server holds.
        reg.writeString(u"Twice", u"first");
        reg.writeString(u"Twice", u"second");
        reg.writeString(u"Passing", u"p");
        reg.deleteValue(u"Passing");
        reg.deleteValue(u"Kept");
        reg.writeStoredValue(u"Kept", StoredValue{0x12345, {1, 2}});
        const std::vector<RefusedWrite> refused = batch.commit();
        EXPECT_EQ(refused,
                  (std::vector<RefusedWrite>{{u"Software\\VOB\\CD Wizard\\8.0", u"Refused"}}));
    }
    const QString imported = importText(server->lastImport);
    EXPECT_THAT(imported.toStdString(), testing::HasSubstr("\r\n\"Gone\"=-\r\n"));
    EXPECT_THAT(imported.toStdString(), testing::HasSubstr("\r\n\"Refused\"=-\r\n"));
    EXPECT_THAT(imported.toStdString(), testing::HasSubstr("\r\n\"Passing\"=-\r\n"));
    EXPECT_THAT(imported.toStdString(), testing::HasSubstr("\r\n\"Kept\"=hex(12345):01,02\r\n"));
    EXPECT_EQ(readAll(path), UserReg) << "user.reg is never written while the server runs";

    ASSERT_TRUE(reg.openKey(u"\\Software\\VOB\\CD Wizard\\8.0", false));
    EXPECT_FALSE(reg.readStoredValue(u"Gone"));
    EXPECT_FALSE(reg.readStoredValue(u"Passing"));
    EXPECT_EQ(reg.readString(u"Refused"), u"before");
    EXPECT_EQ(reg.readString(u"Twice"), u"second");
    EXPECT_EQ(reg.readStoredValue(u"Kept"), (StoredValue{0x12345, {1, 2}}));

    // Outside a batch, a deletion the server did not make is an error.
    EXPECT_THROW(reg.deleteValue(u"Refused"), ERegistryError);
    EXPECT_NO_THROW(reg.deleteValue(u"NeverThere"));
}

// Wine's registry editor appends a NUL to text that has none, fails on
// text of an odd size, and exports a REG_SZ only up to its first NUL and a
// DWORD as four bytes: such a value would be changed, or could not be told
// stored, so it is never sent.
TEST_F(WinePrefixStoreTest, WhileAServerRunsWhatItsEditorWouldChangeIsRefusedAndNotSent)
{
    auto store = serverStore();
    RegistryAccessor reg(*store);
    ASSERT_TRUE(reg.openKey(u"\\Software\\VOB\\CD Wizard\\8.0", true));
    reg.writeString(u"Kept", u"before");
    StoredValue tail = StoredValue::fromString(u"a");
    tail.data.insert(tail.data.end(), {'b', 0, 0, 0});
    const StoredValue changed[] = {
        tail,
        {StoredType::String, {'a', 0}},
        {StoredType::String, {}},
        {StoredType::ExpandString, {'%', 0, 'x'}},
        {StoredType::MultiString, {'a', 0, 'b', 0}},
        {StoredType::DWord, {1, 2}},
    };
    for (const StoredValue &value : changed) {
        EXPECT_THROW(reg.writeStoredValue(u"Kept", value), ERegistryError)
            << value.data.size() << " bytes of type " << value.type;
        EXPECT_FALSE(importText(server->lastImport).contains(u"Kept"_s));
    }
    {
        RegistryBatch batch(*store);
        ASSERT_TRUE(reg.openKey(u"\\Software\\VOB\\CD Wizard\\8.0", false));
        reg.writeString(u"Kept", u"during");
        for (const StoredValue &value : changed)
            EXPECT_THROW(reg.writeStoredValue(u"Kept", value), ERegistryError);
        EXPECT_EQ(reg.readString(u"Kept"), u"during");
        EXPECT_TRUE(batch.commit().empty());
    }
    ASSERT_TRUE(reg.openKey(u"\\Software\\VOB\\CD Wizard\\8.0", false));
    EXPECT_EQ(reg.readStoredValue(u"Kept"), StoredValue::fromString(u"during"));

    // What it carries as it is goes through.
    const StoredValue carried[] = {
        {StoredType::ExpandString, {'%', 0, 0, 0}},
        {StoredType::MultiString, {'a', 0, 0, 0, 0, 0}},
        {StoredType::Binary, {}},
        {0x12345, {1}},
    };
    for (const StoredValue &value : carried) {
        reg.writeStoredValue(u"Kept", value);
        ASSERT_TRUE(reg.openKey(u"\\Software\\VOB\\CD Wizard\\8.0", false));
        EXPECT_EQ(reg.readStoredValue(u"Kept"), value);
    }
}
