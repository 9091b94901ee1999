#include "filesystem.h"
#include "printers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

class FileSystemTest : public testing::Test
{
protected:
    void SetUp() override { makeFile(u"Tool/Data/General_Eng.txt"_s); }

    void makeFile(const QString &relative)
    {
        const QString path = dir.filePath(relative);
        ASSERT_TRUE(QDir().mkpath(path.section(u'/', 0, -2)));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    QTemporaryDir dir;
    LocalFileSystem files;
};

// Where file names ignore case (Windows), every spelling is the file itself.
#ifndef Q_OS_WIN
TEST_F(FileSystemTest, NamesInsideTheFolderAreFoundWhateverTheirCase)
{
    const QString tool = dir.filePath(u"Tool"_s);
    EXPECT_EQ(files.localPathIn(tool, u"DATA\\GENERAL_ENG.TXT"_s),
              dir.filePath(u"Tool/Data/General_Eng.txt"_s));
    EXPECT_EQ(files.localPathIn(tool, u"Data\\General_Eng.txt"_s),
              dir.filePath(u"Tool/Data/General_Eng.txt"_s));
    // What cannot be found keeps the case it was given.
    EXPECT_EQ(files.localPathIn(tool, u"DATA\\MISSING\\X.TXT"_s),
              dir.filePath(u"Tool/Data/MISSING/X.TXT"_s));

    // The exact name wins over one that differs only in case.
    makeFile(u"Tool/DATA/GENERAL_ENG.TXT"_s);
    EXPECT_EQ(files.localPathIn(tool, u"DATA\\GENERAL_ENG.TXT"_s),
              dir.filePath(u"Tool/DATA/GENERAL_ENG.TXT"_s));
}

TEST_F(FileSystemTest, TheFolderItselfIsTakenAsItIs)
{
    // A sibling that differs only in case is never taken for the folder.
    makeFile(u"TOOL/DATA/GENERAL_ENG.TXT"_s);
    EXPECT_EQ(files.localPathIn(dir.filePath(u"Tool"_s), u"DATA\\GENERAL_ENG.TXT"_s),
              dir.filePath(u"Tool/Data/General_Eng.txt"_s));
}
#endif

TEST_F(FileSystemTest, PathsOfTheUserAreUsedAsTheyAre)
{
    EXPECT_TRUE(files.isFile(dir.filePath(u"Tool/Data/General_Eng.txt"_s)));
    EXPECT_FALSE(files.isFile(dir.filePath(u"Tool/Data"_s))) << "a folder";
    EXPECT_FALSE(files.isFile(QString()));
#ifndef Q_OS_WIN
    EXPECT_FALSE(files.isFile(dir.filePath(u"Tool/Data/GENERAL_ENG.TXT"_s)));
    // A backslash is a letter of a name here, not a separator.
    makeFile(u"back\\slash/ICopy.exe"_s);
    EXPECT_TRUE(files.isFile(dir.filePath(u"back\\slash/ICopy.exe"_s)));
    EXPECT_FALSE(files.isFile(dir.filePath(u"back/slash/ICopy.exe"_s)));
#endif
}

TEST_F(FileSystemTest, TheExecutable)
{
    const QString path = files.executablePath();
    EXPECT_EQ(path, toToolPath(QCoreApplication::applicationFilePath()));
    EXPECT_FALSE(path.contains(u'/'));
    EXPECT_EQ(files.executableFolder(), QCoreApplication::applicationDirPath());
    EXPECT_TRUE(files.isFile(QCoreApplication::applicationFilePath()));
}
