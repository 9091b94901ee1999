#include "printers.h"
#include "programlauncher.h"
#include "testfiles.h"
#include "wineprogramlauncher.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// A program that runs `script` (shell commands) when started.
void writeProgram(const QString &path, const QByteArray &script)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n" + script + "\n");
    file.close();
    file.setPermissions(file.permissions() | QFile::ExeOwner);
}

QByteArray quoted(const QString &path)
{
    return "'" + QFile::encodeName(path) + "'";
}

// PATH set to one folder for the life of the object.
class SearchPath
{
public:
    explicit SearchPath(const QString &folder)
        : m_old(qgetenv("PATH"))
    {
        qputenv("PATH", QFile::encodeName(folder));
    }
    ~SearchPath() { qputenv("PATH", m_old); }

private:
    QByteArray m_old;
};

} // namespace

TEST(ProgramLauncherTest, StartsExactlyThePathNeverAProgramItsPrefixNames)
{
    QTemporaryDir dir;
    const QString wrong = dir.filePath(u"wrong"_s);
    const QString right = dir.filePath(u"right"_s);
    writeProgram(dir.filePath(u"Program"_s), "touch " + quoted(wrong));
    writeProgram(dir.filePath(u"Program Files/VOB/InstantCopy 8/ICopy.exe"_s),
                 "touch " + quoted(right));

    LocalProgramLauncher launcher;
    EXPECT_EQ(launcher.launch(dir.filePath(u"Program Files/VOB/InstantCopy 8/ICopy.exe"_s)),
              LaunchResult::Started);
    EXPECT_TRUE(fileAppears(right));
    QTest::qWait(100);
    EXPECT_FALSE(QFile::exists(wrong));
}

TEST(ProgramLauncherTest, WhatCannotStartIsAFailure)
{
    QTemporaryDir dir;
    writeAll(dir.filePath(u"ICopy.exe"_s), "not a program");
    LocalProgramLauncher launcher;
    EXPECT_EQ(launcher.launch(dir.filePath(u"missing/ICopy.exe"_s)), LaunchResult::NotStarted);
    EXPECT_EQ(launcher.launch(dir.path()), LaunchResult::NotStarted);
    EXPECT_EQ(launcher.launch(dir.filePath(u"ICopy.exe"_s)), LaunchResult::NotStarted);
    EXPECT_EQ(launcher.launch(QString()), LaunchResult::NotStarted);
}

TEST(ProgramLauncherTest, AWindowsProgramWithoutWineSaysSo)
{
    QTemporaryDir dir;
    writeAll(dir.filePath(u"ICopy.exe"_s), "MZ\x90\0 a Windows program"_ba);
    const SearchPath path(dir.filePath(u"empty"_s));
    LocalProgramLauncher launcher;
    EXPECT_EQ(launcher.launch(dir.filePath(u"ICopy.exe"_s)), LaunchResult::NoWine);
}

// A prefix with the copy program installed, and a `wine` on the search path
// that writes down how it was started instead of running anything.
class WineLauncherTest : public testing::Test
{
protected:
    WineLauncherTest()
        : prefix(dir.filePath(u"pre fix"_s))
        , bin(dir.filePath(u"bin"_s))
        , record(dir.filePath(u"record"_s))
        , path(bin)
    {
        QDir().mkpath(prefix + u"/dosdevices"_s);
        QDir().mkpath(prefix + u"/drive_c/Program Files"_s);
        QFile::link(u"../drive_c"_s, prefix + u"/dosdevices/c:"_s);
        QFile::link(u"/"_s, prefix + u"/dosdevices/z:"_s);
        writeProgram(bin + u"/wine"_s,
                     "{ printf '%s\\n' \"$#\" \"$1\" \"$PWD\" \"$WINEPREFIX\"; } > "
                         + quoted(record));
    }

    QString install(const QString &folder)
    {
        const QString file = prefix + u"/drive_c/Program Files/"_s + folder + u"/ICopy.exe"_s;
        QDir().mkpath(QFileInfo(file).absolutePath());
        writeAll(file, "MZ");
        return file;
    }

    QTemporaryDir dir;
    QString prefix, bin, record;
    SearchPath path;
};

TEST_F(WineLauncherTest, TheProgramRunsUnderWineInItsPrefixFromItsFolder)
{
    // Blanks, quotes and shell syntax in the folder's name are only names.
    const QString file = install(u"It's odd $(touch pwned) & `id`"_s);
    WineProgramLauncher launcher(prefix);
    const auto stored = launcher.storedPath(file);
    ASSERT_TRUE(stored);
    EXPECT_EQ(*stored, u"C:\\Program Files\\It's odd $(touch pwned) & `id`\\ICopy.exe"_s);
    EXPECT_EQ(launcher.localFile(*stored), file);

    // As the Windows build would store it, in other letter case.
    ASSERT_EQ(launcher.launch(u"c:\\PROGRAM FILES\\it's odd $(touch pwned) & `id`\\icopy.exe"_s),
              LaunchResult::Started);
    ASSERT_TRUE(fileAppears(record));
    QTest::qWait(100);
    const QStringList lines = QString::fromUtf8(readAll(record)).split(u'\n');
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[0], u"1"_s) << "one argument";
    EXPECT_EQ(lines[1], file);
    EXPECT_EQ(lines[2], QFileInfo(file).absolutePath());
    EXPECT_EQ(lines[3], prefix);
    EXPECT_FALSE(QFile::exists(QFileInfo(file).absolutePath() + u"/pwned"_s));
    EXPECT_FALSE(QFile::exists(u"pwned"_s));
}

TEST_F(WineLauncherTest, NothingStartsWithoutTheProgramOrWithoutWine)
{
    install(u"IC8"_s);
    WineProgramLauncher launcher(prefix);
    EXPECT_EQ(launcher.browseFolder(), prefix + u"/drive_c/Program Files"_s);
    EXPECT_EQ(launcher.launch(u"C:\\Program Files\\Missing\\ICopy.exe"_s),
              LaunchResult::NotStarted);
    EXPECT_EQ(launcher.launch(u"C:\\Program Files\\IC8"_s), LaunchResult::NotStarted)
        << "a folder is no program";
    EXPECT_EQ(launcher.launch(u"Q:\\IC8\\ICopy.exe"_s), LaunchResult::NotStarted);
    EXPECT_EQ(launcher.launch(QString()), LaunchResult::NotStarted);
    QFile::remove(bin + u"/wine"_s);
    EXPECT_EQ(launcher.launch(u"C:\\Program Files\\IC8\\ICopy.exe"_s), LaunchResult::NoWine);
    QTest::qWait(50);
    EXPECT_FALSE(QFile::exists(record));
}
