#include "printers.h"
#include "testfiles.h"
#include "winedrives.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// A prefix whose dosdevices folder links drives as winecfg leaves them.
class WineDrivesTest : public testing::Test
{
protected:
    WineDrivesTest()
        : prefix(dir.filePath(u"prefix"_s))
        , driveC(prefix + u"/drive_c"_s)
    {
        QDir().mkpath(prefix + u"/dosdevices"_s);
        QDir().mkpath(driveC + u"/Program Files/VOB/InstantCopy 8"_s);
        writeAll(driveC + u"/Program Files/VOB/InstantCopy 8/ICopy.exe"_s, "MZ");
        link(u"c:"_s, u"../drive_c"_s);
        link(u"z:"_s, u"/"_s);
        link(u"c::"_s, u"/dev/sda1"_s);
        link(u"com1"_s, u"/dev/ttyS0"_s);
    }

    void link(const QString &name, const QString &target)
    {
        ASSERT_TRUE(QFile::link(target, prefix + u"/dosdevices/"_s + name)) << name.toStdString();
    }
    WineDrives drives() const { return WineDrives::of(prefix); }

    QTemporaryDir dir;
    QString prefix, driveC;
};

} // namespace

TEST_F(WineDrivesTest, WindowsPathsAreFoundThroughTheDrivesWhateverTheirCase)
{
    const QString program = driveC + u"/Program Files/VOB/InstantCopy 8/ICopy.exe"_s;
    for (const QString &path : {u"C:\\Program Files\\VOB\\InstantCopy 8\\ICopy.exe"_s,
                                u"c:\\program files\\vob\\INSTANTCOPY 8\\icopy.EXE"_s,
                                u"C:/Program Files/VOB/InstantCopy 8/ICopy.exe"_s,
                                u"C:\\\\Program Files\\.\\VOB\\\\InstantCopy 8\\ICopy.exe"_s,
                                u"\\\\?\\C:\\Program Files\\VOB\\InstantCopy 8\\ICopy.exe"_s,
                                u"C:\\Program Files.\\VOB \\InstantCopy 8\\ICopy.exe. "_s,
                                u"C:\\Windows\\..\\Program Files\\VOB\\InstantCopy 8\\ICopy.exe"_s})
        EXPECT_EQ(drives().toLocal(path), program) << path.toStdString();

    // The entry written as asked wins over one that differs only in case;
    // what does not exist is kept as written.
    QDir().mkpath(driveC + u"/program files"_s);
    EXPECT_EQ(drives().toLocal(u"C:\\program files\\x"_s), driveC + u"/program files/x"_s);
    EXPECT_EQ(drives().toLocal(u"C:\\PROGRAM FILES\\New Folder\\ICopy.exe"_s),
              driveC + u"/Program Files/New Folder/ICopy.exe"_s);

    EXPECT_EQ(drives().toLocal(u"Z:\\etc\\hostname"_s), u"/etc/hostname"_s);
    EXPECT_EQ(drives().toLocal(u"C:\\"_s), driveC);
}

TEST_F(WineDrivesTest, WhatNamesNoFileOfADriveMapsToNothing)
{
    for (const QString &path :
         {u""_s, u"ICopy.exe"_s, u"Program Files\\ICopy.exe"_s, u"\\Program Files\\ICopy.exe"_s,
          u"C:"_s, u"C:ICopy.exe"_s, u"\\\\server\\share\\ICopy.exe"_s, u"D:\\ICopy.exe"_s,
          u"1:\\ICopy.exe"_s, u"\u00e9:\\ICopy.exe"_s, u"C:\\ICopy\0.exe"_s,
          u"/home/user/ICopy.exe"_s})
        EXPECT_EQ(drives().toLocal(path), std::nullopt) << path.toStdString();

    // Going up never leaves the drive, as on Windows.
    EXPECT_EQ(drives().toLocal(u"C:\\..\\..\\..\\dosdevices\\z:\\etc"_s),
              driveC + u"/dosdevices/z:/etc"_s);
    EXPECT_EQ(drives().toLocal(u"C:\\..\\..\\user.reg"_s), driveC + u"/user.reg"_s);

    // A prefix without drives.
    EXPECT_TRUE(WineDrives::of(dir.filePath(u"nowhere"_s)).empty());
    EXPECT_EQ(WineDrives::of(dir.filePath(u"nowhere"_s)).toLocal(u"C:\\x"_s), std::nullopt);
}

TEST_F(WineDrivesTest, FilesAreNamedFromTheClosestDriveAfterLinksAreResolved)
{
    const QString program = driveC + u"/Program Files/VOB/InstantCopy 8/ICopy.exe"_s;
    const QString windows = u"C:\\Program Files\\VOB\\InstantCopy 8\\ICopy.exe"_s;
    EXPECT_EQ(drives().toWindows(program), windows);
    // Through the drive's own link, or through any other link to its folders.
    EXPECT_EQ(
        drives().toWindows(prefix + u"/dosdevices/c:/Program Files/VOB/InstantCopy 8/ICopy.exe"_s),
        windows);
    ASSERT_TRUE(QFile::link(driveC + u"/Program Files/VOB"_s, dir.filePath(u"shortcut"_s)));
    EXPECT_EQ(drives().toWindows(dir.filePath(u"shortcut/InstantCopy 8/ICopy.exe"_s)), windows);
    // A file that does not exist yet is named all the same.
    EXPECT_EQ(drives().toWindows(driveC + u"/Program Files/New/ICopy.exe"_s),
              u"C:\\Program Files\\New\\ICopy.exe"_s);

    // Outside drive_c, z: names it; a drive on a folder inside drive_c is
    // closer than c:; the letter is upper case whatever the link's case.
    QDir().mkpath(dir.filePath(u"elsewhere"_s));
    const QString outside = dir.filePath(u"elsewhere/ICopy.exe"_s);
    writeAll(outside, "MZ");
    EXPECT_EQ(drives().toWindows(outside),
              u"Z:"_s + QFileInfo(outside).canonicalFilePath().replace(u'/', u'\\'));
    link(u"d:"_s, driveC + u"/Program Files/VOB"_s);
    EXPECT_EQ(drives().toWindows(program), u"D:\\InstantCopy 8\\ICopy.exe"_s);
    EXPECT_EQ(drives().toLocal(u"d:\\instantcopy 8\\icopy.exe"_s),
              driveC + u"/Program Files/VOB/InstantCopy 8/ICopy.exe"_s);

    // Without z:, what no drive holds cannot be named.
    QFile::remove(prefix + u"/dosdevices/z:"_s);
    EXPECT_EQ(drives().toWindows(outside), std::nullopt);
    EXPECT_EQ(drives().toWindows(u"relative/ICopy.exe"_s), std::nullopt);
}

TEST_F(WineDrivesTest, NamesWindowsCannotHoldAreRefusedAndDrivesAreOnlyLetters)
{
    for (const QString &name : {u"back\\slash"_s, u"say \"hi\""_s, u"star*"_s, u"a:b"_s,
                                u"<less>"_s, u"what?"_s, u"pi|pe"_s, u"tab\there"_s})
        EXPECT_EQ(drives().toWindows(driveC + u"/"_s + name + u"/ICopy.exe"_s), std::nullopt)
            << name.toStdString();
    // What Windows allows, shell syntax included, is kept as it is.
    const QString odd = u"It's odd $(touch x) & `id` ; [1] {2} #%\u00e9\u4e2d"_s;
    EXPECT_EQ(drives().toWindows(driveC + u"/"_s + odd + u"/ICopy.exe"_s),
              u"C:\\"_s + odd + u"\\ICopy.exe"_s);

    // A dangling drive still maps; raw devices, ports and odd entries are no drives.
    link(u"e:"_s, dir.filePath(u"unmounted"_s));
    link(u"ab:"_s, u"/"_s);
    link(u"1:"_s, u"/"_s);
    EXPECT_EQ(drives().toLocal(u"E:\\setup.exe"_s), dir.filePath(u"unmounted/setup.exe"_s));
    EXPECT_EQ(drives().toLocal(u"C::\\x"_s), std::nullopt);
    EXPECT_EQ(drives().toLocal(u"1:\\x"_s), std::nullopt);
}
