// ordevanctl as a script runs it: the real binary, on a settings file and
// a backups folder of each test's own.

#include "printers.h"
#include "regfile.h"
#include "testfiles.h"
#include "tmpfsmount.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

struct CtlRun
{
    int exit = -1;
    QString out;
    QString err;
    QByteArray rawOut;
};

const QString Seed
    = u"Windows Registry Editor Version 5.00\r\n"
      u"\r\n"
      u"[HKEY_CURRENT_USER\\Software\\Tarsel\\Ordevan8]\r\n"
      u"\"Version\"=\"8v3\"\r\n"
      u"\r\n"
      u"[HKEY_CURRENT_USER\\Software\\VOB\\CD Wizard\\8.0]\r\n"
      u"\"MainWindowLeft\"=dword:0000012c\r\n"
      u"\"SkinName\"=\"Default\"\r\n"
      u"\"InterfaceType\"=\"ditAny\"\r\n"
      u"\"ShowToolTips\"=\"True\"\r\n"
      u"\"Other\"=hex:01,02\r\n"
      u"\r\n"
      u"[HKEY_CURRENT_USER\\Software\\vob\\CD Wizard\\8.0\\Copy]\r\n"
      u"\r\n"
      u"[HKEY_CURRENT_USER\\Software\\vob\\CD Wizard\\8.0\\Copy\\CurrentSettings]\r\n"
      u"\r\n"
      u"[HKEY_CURRENT_USER\\Software\\vob\\CD Wizard\\8.0\\DataPath]\r\n"_s;

class CtlTest : public testing::Test
{
protected:
    void SetUp() override { writeStore(Seed); }

    void writeStore(const QString &text)
    {
        QFile file(store);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("\xFF\xFE");
        file.write(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    }
    QByteArray storeBytes() const
    {
        QFile file(store);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    std::optional<RegData> stored(const QString &name) const
    {
        return RegFile::parse(storeBytes())
            .value(u"HKEY_CURRENT_USER\\Software\\VOB\\CD Wizard\\8.0"_s, name);
    }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"XDG_CONFIG_HOME"_s, dir.filePath(u"config"_s));
        return environment;
    }
    CtlRun ctl(QStringList arguments) const
    {
        QProcess process;
        process.setProcessEnvironment(environment());
        arguments.prepend(store);
        arguments.prepend(u"--settings-file"_s);
        process.start(QStringLiteral(ORDEVANCTL), arguments);
        EXPECT_TRUE(process.waitForFinished(30000));
        CtlRun run;
        run.exit = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.rawOut = process.readAllStandardOutput();
        run.out = QString::fromUtf8(run.rawOut);
        run.err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }
    QStringList backups() const
    {
        return QDir(dir.filePath(u"config/Ordevan/backups"_s)).entryList(QDir::Files);
    }

    QTemporaryDir dir;
    QString store = dir.filePath(u"registry.reg"_s);
};

} // namespace

TEST_F(CtlTest, ListGetAndDescribe)
{
    const CtlRun all = ctl({u"list"_s});
    ASSERT_EQ(all.exit, 0) << all.err.toStdString();
    EXPECT_TRUE(all.out.contains(u"MainWindowLeft\t300\tPIXELS\t\n"_s)) << all.out.toStdString();
    EXPECT_TRUE(all.out.contains(u"SkinName\tDefault\tSTRING\t8v3\n"_s));
    EXPECT_FALSE(all.out.contains(u"ShowSplashScreen"_s)) << "a setting of 8.0.0.x";
    const CtlRun general = ctl({u"list"_s, u"general"_s});
    EXPECT_LT(general.out.count(u'\n'), all.out.count(u'\n'));
    EXPECT_EQ(ctl({u"list"_s, u"data path"_s}).exit, 0);
    EXPECT_EQ(ctl({u"list"_s, u"Percorso Dati"_s}).exit, 0);
    const CtlRun noPage = ctl({u"list"_s, u"Nowhere"_s});
    EXPECT_EQ(noPage.exit, 2);
    EXPECT_TRUE(noPage.err.contains(u"There is no page \"Nowhere\""_s));

    EXPECT_EQ(ctl({u"get"_s, u"mainwindowleft"_s}).out, u"300\n"_s);
    EXPECT_EQ(ctl({u"get"_s, u"LanguageFile"_s}).out, u"\n"_s) << "a missing text reads empty";
    const CtlRun unknown = ctl({u"get"_s, u"NoSuchValue"_s});
    EXPECT_EQ(unknown.exit, 2);
    EXPECT_TRUE(unknown.err.contains(u"No list of InstantCopy 8.0.3.x has a setting named "
                                     u"NoSuchValue."_s));
    // 8.0.0.x has a list of its own, and no key in this store yet.
    const CtlRun otherRelease = ctl({u"--release"_s, u"8.0.0"_s, u"get"_s, u"ShowSplashScreen"_s});
    EXPECT_EQ(otherRelease.exit, 1);
    EXPECT_TRUE(otherRelease.err.contains(u"do not exist in the registry yet"_s))
        << otherRelease.err.toStdString();
    EXPECT_EQ(ctl({u"--release"_s, u"8.0.0"_s, u"set"_s, u"ShowSplashScreen"_s, u"False"_s}).exit,
              1);

    const CtlRun described = ctl({u"describe"_s, u"InterfaceType"_s});
    EXPECT_TRUE(described.out.contains(u"Allowed: one of: ditNone, ditAny, ditASPI, ditASAPI, "
                                       u"ditMiniPort\n"_s))
        << described.out.toStdString();
    EXPECT_TRUE(described.out.contains(u"ditAny tries them all"_s)) << "markup removed";
    EXPECT_FALSE(described.out.contains(u"<b>"_s));
    const CtlRun italian = ctl({u"--lang"_s, u"it"_s, u"describe"_s, u"CpuUsage"_s});
    EXPECT_TRUE(italian.out.contains(u"Valori ammessi: un numero intero da 0 a 100"_s))
        << italian.out.toStdString();
    EXPECT_EQ(storeBytes(),
              QByteArray("\xFF\xFE")
                  + QByteArray(reinterpret_cast<const char *>(Seed.utf16()), Seed.size() * 2))
        << "reading writes nothing";
}

TEST_F(CtlTest, SetChecksAsTheEditorsDoAndWritesOnlyThatValue)
{
    const QByteArray before = storeBytes();
    const struct
    {
        QStringList arguments;
        const char16_t *allowed;
    } refused[] = {
        {{u"MainWindowLeft"_s, u"1281"_s}, u"a whole number from 0 to 1280"},
        {{u"MainWindowLeft"_s, u"-1"_s}, u"a whole number from 0 to 1280"},
        {{u"MainWindowLeft"_s, u"12x"_s}, u"a whole number from 0 to 1280"},
        {{u"LogLevel"_s, u"four"_s}, u"a 32-bit whole number"},
        {{u"LogLevel"_s, u"4294967296"_s}, u"a 32-bit whole number"},
        {{u"InterfaceType"_s, u"ditSCSI"_s}, u"one of: ditNone, ditAny, ditASPI"},
        {{u"ShowToolTips"_s, u"yes"_s}, u"True or False"},
        // Texts the window would take for the read-error marker, or could
        // not hold on its one line.
        {{u"SkinName"_s, u"Read error log"_s}, u"does not say \"read error\""},
        {{u"SkinName"_s, u"two\nlines"_s}, u"any text on one line"},
    };
    for (const auto &c : refused) {
        const CtlRun run = ctl(QStringList{u"set"_s} + c.arguments);
        EXPECT_EQ(run.exit, 2) << c.arguments.join(u' ').toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf16(c.allowed))) << run.err.toStdString();
    }
    EXPECT_EQ(storeBytes(), before) << "nothing written on refusal";
    EXPECT_TRUE(backups().isEmpty());

    ASSERT_EQ(ctl({u"set"_s, u"MainWindowLeft"_s, u"1280"_s}).exit, 0);
    ASSERT_EQ(ctl({u"set"_s, u"InterfaceType"_s, u"ditaspi"_s}).exit, 0);
    ASSERT_EQ(ctl({u"set"_s, u"ShowToolTips"_s, u"false"_s}).exit, 0);
    ASSERT_EQ(ctl({u"set"_s, u"LogLevel"_s, u"$10"_s}).exit, 0);
    EXPECT_EQ(stored(u"MainWindowLeft"_s), RegData::fromDWord(1280));
    EXPECT_EQ(stored(u"InterfaceType"_s), RegData::fromString(u"ditASPI"_s));
    EXPECT_EQ(stored(u"ShowToolTips"_s), RegData::fromString(u"False"_s));
    EXPECT_EQ(stored(u"LogLevel"_s), RegData::fromDWord(16));
    EXPECT_EQ(stored(u"LanguageFile"_s), std::nullopt) << "other missing values stay missing";
    EXPECT_EQ(backups().size(), 4) << "a backup before each save";

    // Restore undoes the newest save, then the one before.
    ASSERT_EQ(ctl({u"restore"_s}).exit, 0);
    EXPECT_EQ(stored(u"LogLevel"_s), std::nullopt);
    const CtlRun listed = ctl({u"backups"_s});
    EXPECT_EQ(listed.out.count(u'\t'), 10) << listed.out.toStdString();
    EXPECT_TRUE(listed.out.contains(u"\n5 backups kept: the newest "_s));
}

TEST_F(CtlTest, SetResetAndLoadSayWhatTheyChanged)
{
    const QString file = dir.filePath(u"load.reg"_s);
    writeAll(file,
             "Windows Registry Editor Version 5.00\r\n"
             "[HKEY_CURRENT_USER\\Software\\VOB\\CD Wizard\\8.0]\r\n\"SkinName\"=\"Light\"\r\n");
    const struct
    {
        QStringList arguments;
        QString told;
    } steps[] = {
        {{u"set"_s, u"MainWindowLeft"_s, u"5"_s}, u"MainWindowLeft: 300 -> 5\n"_s},
        {{u"set"_s, u"MainWindowLeft"_s, u"5"_s}, u"nothing to change\n"_s},
        {{u"set"_s, u"LanguageFile"_s, u"a.lng"_s}, u"LanguageFile: (none) -> a.lng\n"_s},
        {{u"load"_s, file}, u"SkinName: Default -> Light\n"_s},
        {{u"load"_s, file}, u"nothing to change\n"_s},
        {{u"reset"_s, u"MainWindowLeft"_s, u"SkinName"_s},
         u"MainWindowLeft: 5 -> 120\nSkinName: Light -> Default\n"_s},
        {{u"--quiet"_s, u"set"_s, u"SkinName"_s, u"Dark"_s}, QString()},
        {{u"--lang"_s, u"it"_s, u"set"_s, u"SkinName"_s, u"Dark"_s}, u"nulla da cambiare\n"_s},
    };
    for (const auto &step : steps) {
        const CtlRun run = ctl(step.arguments);
        EXPECT_EQ(run.exit, 0) << run.err.toStdString();
        EXPECT_EQ(run.out, step.told) << step.arguments.join(u' ').toStdString();
    }
}

// Bytes that are not UTF-8 would be stored as replacement characters.
TEST_F(CtlTest, ATextThatIsNotUtf8IsRefused)
{
    const QByteArray before = storeBytes();
    QProcess shell;
    shell.setProcessEnvironment(environment());
    shell.start(u"sh"_s,
                {u"-c"_s,
                 u"exec \"$0\" --settings-file \"$1\" set SkinName \"$(printf 'D\\351')\""_s,
                 QStringLiteral(ORDEVANCTL), store});
    ASSERT_TRUE(shell.waitForFinished(30000));
    EXPECT_EQ(shell.exitCode(), 2);
    EXPECT_TRUE(shell.readAllStandardError().contains("Argument 5 is not UTF-8 text"));
    EXPECT_EQ(storeBytes(), before);
}

TEST_F(CtlTest, ResetBringsBackTheListsDefaults)
{
    ASSERT_EQ(ctl({u"reset"_s, u"MainWindowLeft"_s, u"SkinName"_s}).exit, 0);
    EXPECT_EQ(stored(u"MainWindowLeft"_s), RegData::fromDWord(120));
    EXPECT_EQ(stored(u"SkinName"_s), RegData::fromString(u"Default"_s));
    EXPECT_EQ(stored(u"Other"_s), (RegData{RegType::Binary, QByteArray("\x01\x02", 2)}));
    ASSERT_EQ(ctl({u"reset"_s, u"--page"_s, u"General"_s}).exit, 0);
    EXPECT_EQ(stored(u"LanguageFile"_s), RegData::fromString(u"English.lng"_s));
    EXPECT_EQ(ctl({u"reset"_s, u"NoSuchValue"_s}).exit, 2);
    EXPECT_EQ(ctl({u"reset"_s}).exit, 2);
    EXPECT_EQ(ctl({u"reset"_s, u"--page"_s, u""_s}).exit, 2) << "an empty page is no page";
    ASSERT_EQ(ctl({u"reset"_s, u"--all"_s}).exit, 0);
    EXPECT_EQ(ctl({u"get"_s, u"BufferSize"_s}).out, u"32\n"_s);
    // 8.0.0.x's keys do not exist in this store: nothing of them is saved.
    const CtlRun older = ctl({u"--release"_s, u"8.0.0"_s, u"reset"_s, u"--all"_s});
    EXPECT_EQ(older.exit, 1);
    EXPECT_TRUE(older.err.contains(u"do not exist in the registry yet"_s))
        << older.err.toStdString();
    EXPECT_EQ(ctl({u"--release"_s, u"8.0.0"_s, u"list"_s}).exit, 1) << "no defaults as values";
}

TEST_F(CtlTest, DumpIsImportableAndLoadAppliesAllOrNothing)
{
    const QString file = dir.filePath(u"dump.reg"_s);
    ASSERT_EQ(ctl({u"dump"_s, u"General"_s, u"-o"_s, file}).exit, 0);
    QFile dumped(file);
    ASSERT_TRUE(dumped.open(QIODevice::ReadOnly));
    const RegFile dump = RegFile::parse(dumped.readAll());
    EXPECT_EQ(
        dump.value(u"HKEY_CURRENT_USER\\Software\\VOB\\CD Wizard\\8.0"_s, u"MainWindowLeft"_s),
        RegData::fromDWord(300));
    EXPECT_FALSE(dump.value(u"HKEY_CURRENT_USER\\Software\\VOB\\CD Wizard\\8.0"_s, u"Other"_s))
        << "only the lists' settings";
    const CtlRun utf8 = ctl({u"dump"_s, u"--utf8"_s});
    EXPECT_TRUE(utf8.out.startsWith(u"Windows Registry Editor Version 5.00\n"_s));
    EXPECT_TRUE(ctl({u"dump"_s}).rawOut.startsWith("\xFF\xFE")) << "piped: as regedit reads";

    // Loading what was dumped changes nothing.
    const QByteArray before = storeBytes();
    ASSERT_EQ(ctl({u"load"_s, file}).exit, 0);
    EXPECT_EQ(storeBytes(), before);

    const auto write = [&](const QByteArray &text) {
        QFile out(file);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(text);
    };
    write("Windows Registry Editor Version 5.00\r\n"
          "[HKEY_CURRENT_USER\\Software\\VOB\\CD Wizard\\8.0]\r\n"
          "\"MainWindowLeft\"=dword:00000010\r\n"
          "\"InterfaceType\"=\"ditMiniPort\"\r\n");
    const CtlRun loaded = ctl({u"load"_s, file});
    ASSERT_EQ(loaded.exit, 0) << loaded.err.toStdString();
    EXPECT_TRUE(loaded.out.contains(u"MainWindowLeft: 300 -> 16\n"_s)) << loaded.out.toStdString();
    EXPECT_EQ(stored(u"InterfaceType"_s), RegData::fromString(u"ditMiniPort"_s));

    const QByteArray loadedBytes = storeBytes();
    const QList<QByteArray> refused = {
        // One bad value among good ones: nothing is written.
        "Windows Registry Editor Version 5.00\r\n"
        "[HKEY_CURRENT_USER\\Software\\VOB\\CD Wizard\\8.0]\r\n"
        "\"MainWindowLeft\"=dword:00000011\r\n"
        "\"InterfaceType\"=\"ditSCSI\"\r\n",
        "Windows Registry Editor Version 5.00\r\n"
        "[HKEY_CURRENT_USER\\Software\\VOB\\CD Wizard\\8.0]\r\n"
        "\"NoSuchValue\"=\"x\"\r\n",
        "Windows Registry Editor Version 5.00\r\n"
        "[HKEY_CURRENT_USER\\Software\\VOB\\CD Wizard\\8.0]\r\n"
        "\"MainWindowLeft\"=\"300\"\r\n",
        "Windows Registry Editor Version 5.00\r\n"
        "[HKEY_CURRENT_USER\\Software\\Microsoft]\r\n"
        "\"MainWindowLeft\"=dword:00000001\r\n",
        "not a registry file",
        // Nothing to load is no export: an empty file, or one cut short.
        "",
        "\xFF\xFE",
        "Windows Registry Editor Version 5.00\r\n",
    };
    for (const QByteArray &text : refused) {
        write(text);
        const CtlRun run = ctl({u"load"_s, file});
        EXPECT_EQ(run.exit, 2) << text.toStdString();
        EXPECT_EQ(storeBytes(), loadedBytes) << text.toStdString();
    }
    EXPECT_EQ(ctl({u"load"_s, dir.filePath(u"missing.reg"_s)}).exit, 2);
}

// A dump never replaces the store, through any link, and is not done
// unless written whole.
TEST_F(CtlTest, ADumpIsRefusedOverTheStoreAndFailsWhenNotWritten)
{
    const QByteArray before = storeBytes();
    const QString link = dir.filePath(u"link.reg"_s), hard = dir.filePath(u"hard.reg"_s);
    ASSERT_TRUE(QFile::link(store, link));
    ASSERT_EQ(::link(QFile::encodeName(store).constData(), QFile::encodeName(hard).constData()), 0);
    const TmpfsMount full(u"64k"_s);
    const bool fullDisk = full.mounted() && full.fill();
    const QString onFullDisk = fullDisk ? full.filePath(u"dump.reg"_s) : u"/dev/full"_s;
    const char16_t *const isStore = u"is the file of the settings being edited";
    for (const auto &[output, exit, told] : {std::tuple{store, 2, isStore},
                                             {link, 2, isStore},
                                             {hard, 2, isStore},
                                             {u"/dev/full"_s, 1, u"No space"},
                                             {onFullDisk, 1, u"No space left on device"}}) {
        const CtlRun run = ctl({u"dump"_s, u"-o"_s, output});
        EXPECT_EQ(run.exit, exit) << output.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf16(told))) << run.err.toStdString();
    }
    EXPECT_EQ(storeBytes(), before);
    EXPECT_TRUE(!fullDisk
                || QDir(full.path()).entryList(QDir::Files | QDir::Hidden)
                    == QStringList{u"filler"_s})
        << "nothing left of the dump";
}

TEST_F(CtlTest, UsageAndStoreFailures)
{
    EXPECT_EQ(ctl({u"--help"_s}).exit, 0);
    EXPECT_TRUE(ctl({u"--help"_s, u"--lang"_s, u"it"_s}).out.contains(u"\n  --quiet "_s));
    EXPECT_TRUE(ctl({u"--version"_s}).out.startsWith(u"ordevanctl 8.0.4.0"_s));
    EXPECT_EQ(ctl({}).exit, 2);
    EXPECT_EQ(ctl({u"frobnicate"_s}).exit, 2);
    EXPECT_EQ(ctl({u"--release"_s, u"9"_s, u"list"_s}).exit, 2);
    EXPECT_EQ(ctl({u"--lang"_s, u"fr"_s, u"list"_s}).exit, 2);
    EXPECT_EQ(ctl({u"get"_s}).exit, 2);
    EXPECT_EQ(ctl({u"restore"_s}).exit, 2) << "no save to undo";
    ASSERT_TRUE(QDir().mkpath(dir.filePath(u"config/Ordevan"_s)));
    writeAll(dir.filePath(u"config/Ordevan/backups"_s), {}); // a file where the folder should be
    for (const QString &command : {u"backups"_s, u"restore"_s}) {
        const CtlRun run = ctl({command});
        EXPECT_EQ(run.exit, 1);
        EXPECT_TRUE(run.err.contains(u"is a file"_s)) << run.err.toStdString();
    }

    // A damaged store: told, never written.
    writeStore(u"Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\Software\r\n"_s);
    const QByteArray damaged = storeBytes();
    const CtlRun get = ctl({u"get"_s, u"MainWindowLeft"_s});
    EXPECT_EQ(get.exit, 1);
    EXPECT_TRUE(get.err.contains(u"line 2"_s)) << get.err.toStdString();
    EXPECT_FALSE(get.err.contains(u'\r')) << "a terminal would write over the cause";
    EXPECT_EQ(ctl({u"set"_s, u"MainWindowLeft"_s, u"5"_s}).exit, 1);
    EXPECT_EQ(storeBytes(), damaged);
}

TEST_F(CtlTest, AReadOnlyStoreIsToldAndKeptAsItWas)
{
    TmpfsMount mount(u"64k"_s);
    if (!mount.mounted())
        GTEST_SKIP() << "a read-only store needs a mount of its own";
    store = mount.filePath(u"registry.reg"_s);
    writeStore(Seed);
    const QByteArray before = storeBytes();
    ASSERT_TRUE(mount.makeReadOnly());
    const CtlRun run = ctl({u"set"_s, u"MainWindowLeft"_s, u"5"_s});
    EXPECT_EQ(run.exit, 1);
    EXPECT_TRUE(run.err.contains(u"Nothing was saved."_s)) << run.err.toStdString();
    EXPECT_EQ(storeBytes(), before);
    EXPECT_EQ(ctl({u"get"_s, u"MainWindowLeft"_s}).out, u"300\n"_s);
}

// Nothing but a regular file is read: a device never ends, a pipe with no
// writer never begins.
TEST_F(CtlTest, OnlyRegularFilesAreRead)
{
    const QString folder = dir.filePath(u"config/Ordevan/backups"_s);
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::link(u"/dev/zero"_s, folder + u"/2026-01-01_00-00-00.000Z.reg"_s));
    const QString pipe = dir.filePath(u"pipe.reg"_s);
    for (const QString &path : QStringList{pipe, folder + u"/2026-01-02_00-00-00.000Z.reg"_s})
        ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);

    ASSERT_EQ(ctl({u"set"_s, u"SkinName"_s, u"Dark"_s}).exit, 0);
    const CtlRun listed = ctl({u"backups"_s});
    EXPECT_TRUE(listed.out.contains(u"skipped "_s + folder
                                    + u"/2026-01-01_00-00-00.000Z.reg: it is not a regular file"_s))
        << listed.out.toStdString();
    EXPECT_EQ(ctl({u"restore"_s}).exit, 0);
    EXPECT_EQ(stored(u"SkinName"_s), RegData::fromString(u"Default"_s));
    const CtlRun load = ctl({u"load"_s, pipe});
    EXPECT_EQ(load.exit, 2);
    EXPECT_TRUE(load.err.contains(u"it is not a regular file"_s)) << load.err.toStdString();
}

// A Wine prefix with no Wine running: its user.reg is patched in place.
TEST_F(CtlTest, AWinePrefixIsEditedInItsUserReg)
{
    const QString prefix = dir.filePath(u"prefix"_s);
    ASSERT_TRUE(QDir().mkpath(prefix));
    const QByteArray userReg = "WINE REGISTRY Version 2\n"
                               ";; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n"
                               "\n"
                               "#arch=win64\n"
                               "\n"
                               "[Software\\\\VOB\\\\CD Wizard\\\\8.0] 1796771035\n"
                               "#time=1dd87686676bdaa\n"
                               "\"MainWindowLeft\"=dword:0000012c\n"
                               "\"SkinName\"=\"Default\"\n";
    QFile file(prefix + u"/user.reg"_s);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(userReg);
    file.close();

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_CONFIG_HOME"_s, dir.filePath(u"config"_s));
    process.setProcessEnvironment(environment);
    const auto run = [&](const QStringList &arguments) {
        process.start(QStringLiteral(ORDEVANCTL),
                      QStringList{u"--wine-prefix"_s, prefix} + arguments);
        EXPECT_TRUE(process.waitForFinished(30000));
        return QString::fromUtf8(process.readAllStandardOutput());
    };
    EXPECT_EQ(run({u"get"_s, u"MainWindowLeft"_s}), u"300\n"_s);
    EXPECT_EQ(QDir(prefix).entryList(QDir::Files | QDir::Hidden), QStringList{u"user.reg"_s})
        << "a read writes nothing into the prefix";
    run({u"set"_s, u"SkinName"_s, u"Dark"_s});
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    EXPECT_TRUE(written.contains("\n\"SkinName\"=\"Dark\"\n")) << written.toStdString();
    EXPECT_TRUE(written.startsWith(userReg.left(userReg.indexOf("[Software"))))
        << "the lines before stay as they were";
    EXPECT_EQ(run({u"get"_s, u"SkinName"_s}), u"Dark\n"_s);
    file.close();
    run({u"dump"_s, u"-o"_s, file.fileName()});
    EXPECT_EQ(process.exitCode(), 2) << "a dump never replaces the prefix's user.reg";
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), written);

    // A folder that is no prefix (a typo) is told as one.
    process.start(QStringLiteral(ORDEVANCTL), {u"--wine-prefix"_s, dir.path(), u"list"_s});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardError()),
              u"ordevanctl: %1 is not a Wine prefix (it has no user.reg).\n"_s.arg(dir.path()));
}

TEST_F(CtlTest, OperandsAreNeverOptionsAndOnlyBackupsAreRestored)
{
    // Options come before the command: what follows is the command's.
    ASSERT_EQ(ctl({u"set"_s, u"SkinName"_s, u"--help"_s}).exit, 0);
    EXPECT_EQ(stored(u"SkinName"_s), RegData::fromString(u"--help"_s));
    ASSERT_EQ(ctl({u"--"_s, u"set"_s, u"SkinName"_s, u"-x-"_s}).exit, 0);
    EXPECT_EQ(stored(u"SkinName"_s), RegData::fromString(u"-x-"_s));
    EXPECT_EQ(ctl({u"set"_s, u"SkinName"_s, u"a"_s, u"--wine-prefix=/nowhere"_s}).exit, 2);
    EXPECT_EQ(ctl({u"--utf8"_s, u"list"_s}).exit, 2) << "an option of dump";

    // A file that is not one of this store's backups is not restored, even
    // one that looks like a backup.
    const QByteArray before = storeBytes();
    const QString planted = dir.filePath(u"planted.reg"_s);
    QFile file(planted);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Windows Registry Editor Version 5.00\r\n; Ordevan backup of the settings file "
               + store.toUtf8()
               + "\r\n[HKEY_CURRENT_USER\\Software\\VOB\\CD Wizard\\8.0]\r\n"
                 "\"SkinName\"=hex:00\r\n");
    file.close();
    const CtlRun refused = ctl({u"restore"_s, planted});
    EXPECT_EQ(refused.exit, 2);
    EXPECT_TRUE(refused.err.contains(u"is not a backup of these settings"_s))
        << refused.err.toStdString();
    EXPECT_EQ(storeBytes(), before);

    // One of them, by its name as `backups` lists it.
    ASSERT_EQ(ctl({u"set"_s, u"SkinName"_s, u"Dark"_s}).exit, 0);
    const QString oldest = backups().first();
    ASSERT_EQ(ctl({u"restore"_s, oldest}).exit, 0);
    EXPECT_EQ(stored(u"SkinName"_s), RegData::fromString(u"Default"_s));
}

TEST_F(CtlTest, AValueOfAnotherKindIsLeftAsTheWindowLeavesIt)
{
    writeStore(QString(Seed).replace(u"\"MainWindowLeft\"=dword:0000012c"_s,
                                     u"\"MainWindowLeft\"=\"300\""_s));
    const QByteArray before = storeBytes();
    for (const QStringList &command : {QStringList{u"set"_s, u"MainWindowLeft"_s, u"5"_s},
                                       QStringList{u"reset"_s, u"MainWindowLeft"_s},
                                       QStringList{u"get"_s, u"MainWindowLeft"_s}}) {
        const CtlRun run = ctl(command);
        EXPECT_EQ(run.exit, 1) << command.join(u' ').toStdString();
        EXPECT_TRUE(run.err.contains(u"stored as another kind"_s)) << run.err.toStdString();
    }
    EXPECT_EQ(storeBytes(), before);
}

TEST_F(CtlTest, LoadRefusesKeyDeletionsAndTakesExpandableTexts)
{
    const QString file = dir.filePath(u"load.reg"_s);
    const auto write = [&](const QByteArray &text) {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(text);
    };
    const QByteArray before = storeBytes();
    write("Windows Registry Editor Version 5.00\r\n"
          "[-HKEY_CURRENT_USER\\Software\\VOB\\CD Wizard\\8.0\\Copy]\r\n");
    EXPECT_EQ(ctl({u"load"_s, file}).exit, 2);
    EXPECT_EQ(storeBytes(), before);
    // The value cells show expandable texts as texts; so does a load.
    write("Windows Registry Editor Version 5.00\r\n"
          "[HKEY_CURRENT_USER\\Software\\VOB\\CD Wizard\\8.0]\r\n"
          "\"SkinName\"=hex(2):44,00,61,00,72,00,6b,00,00,00\r\n");
    const CtlRun loaded = ctl({u"load"_s, file});
    ASSERT_EQ(loaded.exit, 0) << loaded.err.toStdString();
    EXPECT_EQ(loaded.out, u"SkinName: Default -> Dark\n"_s);
    EXPECT_EQ(stored(u"SkinName"_s), RegData::fromString(u"Dark"_s));
    EXPECT_EQ(ctl({u"load"_s, u"/dev/zero"_s}).exit, 2) << "no end, no memory exhausted";
}
