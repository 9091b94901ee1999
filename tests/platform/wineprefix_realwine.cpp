// The Wine prefix store against the real Wine, in a prefix of its own:
// run by scripts/wine-tests, which sets ORDEVAN_WINE_TESTS and WINEPREFIX
// to a fresh prefix it made. Each test starts and stops that prefix's
// server as it needs; no other server is touched.

#include "printers.h"
#include "regedit.h"
#include "registrycontract.h"
#include "roundtripvalues.h"
#include "testfiles.h"
#include "wineprefixstore.h"
#include "winereg.h"
#include "wineserver.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

QString prefix()
{
    return qEnvironmentVariable("WINEPREFIX");
}

bool enabled()
{
    return qEnvironmentVariableIsSet("ORDEVAN_WINE_TESTS") && !prefix().isEmpty();
}

void wineserver(const QString &argument)
{
    QProcess server;
    server.start(u"wineserver"_s, {argument});
    server.waitForFinished(60000);
}

// A server of this prefix, started here and left running.
void startServer()
{
    if (wineServerRunning(prefix()))
        return;
    wineserver(u"-p"_s);
    QElapsedTimer clock;
    clock.start();
    while (!wineServerRunning(prefix()) && clock.elapsed() < 20000)
        QThread::msleep(50);
}

// Ends this prefix's server, which writes user.reg as it goes.
void stopServer()
{
    wineserver(u"-k"_s);
    wineserver(u"-w"_s);
    QElapsedTimer clock;
    clock.start();
    while (wineServerRunning(prefix()) && clock.elapsed() < 20000)
        QThread::msleep(50);
}

QString qt(std::u16string_view text)
{
    return QString::fromStdU16String(std::u16string(text));
}

RegData roundTripData(const RoundTripValue &value)
{
    return value.integer ? RegData::fromDWord(static_cast<quint32>(value.number))
                         : RegData::fromString(qt(value.text));
}

// Imports a file of values through the registry editor, as another Windows
// program would set them.
void importThroughWine(const RegFile &file)
{
    startServer();
    WineRegedit regedit(prefix());
    ASSERT_EQ(regedit.importFile(file.serialize()).outcome, Regedit::Outcome::Done);
}

std::optional<RegFile> exportThroughWine(const QString &key)
{
    startServer();
    WineRegedit regedit(prefix());
    const Regedit::Result result = regedit.exportKey(key);
    if (result.outcome != Regedit::Outcome::Done)
        return std::nullopt;
    return RegFile::parse(result.bytes, RegFile::Dialect::WineEditor);
}

class RealWine : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!enabled())
            GTEST_SKIP() << "for scripts/wine-tests, in a prefix of its own";
    }
};

// The real prefix, with or without its server, behind the shared contract.
class RealPrefixFixture : public StoreFixture
{
public:
    explicit RealPrefixFixture(bool server)
        : m_server(server)
        , m_store(prefix())
    {
        // Each test starts without the keys the contract uses.
        const QString removal = u"Windows Registry Editor Version 5.00\r\n\r\n"
                                u"[-HKEY_CURRENT_USER\\Software\\Tarsel]\r\n\r\n"
                                u"[-HKEY_CURRENT_USER\\Software\\VOB]\r\n"_s;
        QByteArray bytes("\xFF\xFE", 2);
        bytes.append(reinterpret_cast<const char *>(removal.utf16()), removal.size() * 2);
        startServer();
        WineRegedit(prefix()).importFile(bytes);
        if (!server)
            stopServer();
    }

    RegistryStore &store() override { return m_store; }

    void seed(std::u16string_view path, std::u16string_view name,
              const RegistryValue &value) override
    {
        RegData data{RegType::Binary, QByteArray("\x01\x02\x03", 3)};
        if (value.kind == ValueKind::ExpandString)
            data = RegData::fromString(qt(value.text), RegType::ExpandString);
        if (m_server) {
            RegFile file;
            file.setValue(u"HKEY_CURRENT_USER\\"_s + qt(path), qt(name), data);
            importThroughWine(file);
        } else {
            const QString userReg = prefix() + u"/user.reg"_s;
            WineRegFile file = WineRegFile::parse(readAll(userReg));
            file.setValue(qt(path), qt(name), data, 1796771100);
            QFile out(userReg);
            out.open(QIODevice::WriteOnly | QIODevice::Truncate);
            out.write(file.serialize());
        }
    }

    bool refuseWrites() override { return false; }
    bool holdsBatches() const override { return true; }
    bool keepsTextAfterItsNul() const override { return !m_server; }

private:
    bool m_server;
    WinePrefixStore m_store;
};

StoreParam realPrefix(const char *name, bool server)
{
    return {name, [server]() -> std::unique_ptr<StoreFixture> {
                if (!enabled())
                    return nullptr;
                return std::make_unique<RealPrefixFixture>(server);
            }};
}

} // namespace

INSTANTIATE_TEST_SUITE_P(RealWine, RegistryContract,
                         testing::Values(realPrefix("NoServer", false),
                                         realPrefix("ServerRunning", true)),
                         storeParamName);

TEST_F(RealWine, WhatWineWroteIsReadFromUserRegAsWineHeldIt)
{
    RegFile file;
    const QString key = u"HKEY_CURRENT_USER\\Software\\Ordevan\\FromWine"_s;
    for (const RoundTripValue &value : RoundTripValues)
        file.setValue(key, qt(value.name), roundTripData(value));
    file.setValue(key, u"Expand"_s, RegData::fromString(u"%WINDIR%\\è"_s, RegType::ExpandString));
    importThroughWine(file);
    stopServer(); // which writes user.reg

    WinePrefixStore store(prefix());
    RegistryAccessor reg(store);
    ASSERT_TRUE(reg.openKey(u"\\Software\\Ordevan\\FromWine", false));
    for (const RoundTripValue &value : RoundTripValues) {
        if (value.integer)
            EXPECT_EQ(reg.readInteger(value.name), value.number) << toUtf8(value.name);
        else
            EXPECT_EQ(reg.readString(value.name), value.text) << toUtf8(value.name);
    }
    EXPECT_EQ(reg.readValue(u"Expand"),
              (RegistryValue{ValueKind::ExpandString, u"%WINDIR%\\è", 0}));
}

TEST_F(RealWine, WhatTheStoreWroteIsWhatWineReadsAndNothingElseChanged)
{
    stopServer();
    const QString userReg = prefix() + u"/user.reg"_s;
    const QByteArray before = readAll(userReg);
    {
        WinePrefixStore store(prefix());
        RegistryAccessor reg(store);
        RegistryBatch batch(store);
        ASSERT_TRUE(reg.openKey(u"\\Software\\Ordevan\\FromStore", true));
        for (const RoundTripValue &value : RoundTripValues) {
            if (value.integer)
                reg.writeInteger(value.name, value.number);
            else
                reg.writeString(value.name, value.text);
        }
        batch.commit();
    }
    // Outside the new key's section, every line is as it was.
    const QByteArray after = readAll(userReg);
    const qsizetype start = after.indexOf("\n[Software\\\\Ordevan\\\\FromStore] ");
    ASSERT_GT(start, 0);
    const qsizetype end = after.indexOf("\n\n", start + 1);
    QByteArray outside = after;
    outside.remove(start, (end < 0 ? after.size() : end + 1) - start);
    EXPECT_EQ(outside, before);

    const auto exported = exportThroughWine(u"HKEY_CURRENT_USER\\Software\\Ordevan\\FromStore"_s);
    ASSERT_TRUE(exported);
    int differences = 0;
    for (const RoundTripValue &value : RoundTripValues) {
        const auto read
            = exported->value(u"HKEY_CURRENT_USER\\Software\\Ordevan\\FromStore"_s, qt(value.name));
        if (read != roundTripData(value)) {
            ++differences;
            ADD_FAILURE() << "differs: " << toUtf8(value.name);
        }
    }
    EXPECT_EQ(differences, 0);
}

TEST_F(RealWine, ASaveWhileTheServerRunsSurvivesItsEnd)
{
    startServer();
    {
        WinePrefixStore store(prefix());
        RegistryAccessor reg(store);
        RegistryBatch batch(store);
        ASSERT_TRUE(reg.openKey(u"\\Software\\Ordevan\\WhileRunning", true));
        reg.writeString(u"Text", u"kept");
        reg.writeInteger(u"Number", 700);
        EXPECT_TRUE(batch.commit().empty());
    }
    stopServer();
    const WineRegFile file = WineRegFile::parse(readAll(prefix() + u"/user.reg"_s));
    EXPECT_EQ(file.value(u"Software\\Ordevan\\WhileRunning"_s, u"Text"_s),
              RegData::fromString(u"kept"_s));
    EXPECT_EQ(file.value(u"Software\\Ordevan\\WhileRunning"_s, u"Number"_s),
              RegData::fromDWord(700));
}

TEST_F(RealWine, AFileWineChangedAfterTheStoreReadItLosesNothing)
{
    stopServer();
    WinePrefixStore store(prefix());
    RegistryAccessor reg(store);
    ASSERT_TRUE(reg.openKey(u"\\Software\\Ordevan\\Changed", true));
    reg.writeString(u"Mine", u"before");
    EXPECT_EQ(reg.readString(u"Mine"), u"before");

    // A Wine session changes the file under the store.
    RegFile theirs;
    theirs.setValue(u"HKEY_CURRENT_USER\\Software\\Ordevan\\Changed"_s, u"Theirs"_s,
                    RegData::fromString(u"wine"_s));
    importThroughWine(theirs);
    stopServer();

    reg.writeString(u"Mine", u"after");
    const WineRegFile file = WineRegFile::parse(readAll(prefix() + u"/user.reg"_s));
    EXPECT_EQ(file.value(u"Software\\Ordevan\\Changed"_s, u"Mine"_s),
              RegData::fromString(u"after"_s));
    EXPECT_EQ(file.value(u"Software\\Ordevan\\Changed"_s, u"Theirs"_s),
              RegData::fromString(u"wine"_s));
}

TEST_F(RealWine, WhatTheStoreDeletedFromUserRegIsGoneForWineAndNothingElseChanged)
{
    stopServer();
    const QString userReg = prefix() + u"/user.reg"_s;
    const QString key = u"HKEY_CURRENT_USER\\Software\\Ordevan\\Deleted"_s;
    {
        WinePrefixStore store(prefix());
        RegistryAccessor reg(store);
        ASSERT_TRUE(reg.openKey(u"\\Software\\Ordevan\\Deleted", true));
        reg.writeString(u"Gone", u"x");
        reg.writeStoredValue(u"Kept", StoredValue{StoredType::QWord, {1, 2, 3, 4, 5, 6, 7, 8}});
    }
    const QByteArray before = readAll(userReg);
    {
        WinePrefixStore store(prefix());
        RegistryAccessor reg(store);
        ASSERT_TRUE(reg.openKey(u"\\Software\\Ordevan\\Deleted", false));
        reg.deleteValue(u"Gone");
    }
    // Outside the key's section, every byte is as it was.
    const QByteArray after = readAll(userReg);
    const auto outside = [](QByteArray bytes) {
        const qsizetype start = bytes.indexOf("\n[Software\\\\Ordevan\\\\Deleted] ");
        const qsizetype end = bytes.indexOf("\n\n", start + 1);
        return start < 0 ? bytes : bytes.remove(start, (end < 0 ? bytes.size() : end + 1) - start);
    };
    EXPECT_EQ(outside(after), outside(before));

    const auto exported = exportThroughWine(key);
    ASSERT_TRUE(exported);
    EXPECT_FALSE(exported->value(key, u"Gone"_s));
    EXPECT_EQ(exported->value(key, u"Kept"_s),
              (RegData{RegType::QWord, QByteArray("\x01\x02\x03\x04\x05\x06\x07\x08", 8)}));
}
