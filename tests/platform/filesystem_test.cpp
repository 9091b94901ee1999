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
    void SetUp() override
    {
        ASSERT_TRUE(QDir(dir.path()).mkpath(u"Tool/Data"_s));
        QFile file(dir.filePath(u"Tool/Data/General_Eng.txt"_s));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    // The folder in the tool's own form: backslashes and upper case, as the
    // tool builds its paths.
    QString toolForm(const QString &relative) const
    {
        return toToolPath(dir.path()) + u'\\' + relative;
    }

    QTemporaryDir dir;
    LocalFileSystem files;
};

TEST_F(FileSystemTest, FindsPathsThatDifferOnlyInLetterCase)
{
    const QString wanted = toolForm(u"TOOL\\DATA\\GENERAL_ENG.TXT"_s);
    EXPECT_EQ(files.localPath(wanted), dir.filePath(u"Tool/Data/General_Eng.txt"_s));
    EXPECT_TRUE(files.isFile(wanted));
    EXPECT_TRUE(files.isFile(toolForm(u"Tool\\Data\\General_Eng.txt"_s)));
}

TEST_F(FileSystemTest, FoldersAndMissingFilesAreNotFiles)
{
    EXPECT_FALSE(files.isFile(toolForm(u"TOOL\\DATA"_s)));
    EXPECT_FALSE(files.isFile(toolForm(u"TOOL\\DATA\\COPY_ENG.TXT"_s)));
    EXPECT_FALSE(files.isFile(toolForm(u"NOWHERE\\DATA\\GENERAL_ENG.TXT"_s)));
    EXPECT_FALSE(files.isFile(QString()));
    // What cannot be found keeps the case it was given.
    EXPECT_EQ(files.localPath(toolForm(u"TOOL\\MISSING\\X.TXT"_s)),
              dir.filePath(u"Tool/MISSING/X.TXT"_s));
}

TEST_F(FileSystemTest, ThePreferredMatchIsTheExactOne)
{
    ASSERT_TRUE(QDir(dir.path()).mkpath(u"Tool/DATA"_s));
    QFile file(dir.filePath(u"Tool/DATA/GENERAL_ENG.TXT"_s));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    EXPECT_EQ(files.localPath(toolForm(u"Tool\\DATA\\GENERAL_ENG.TXT"_s)),
              dir.filePath(u"Tool/DATA/GENERAL_ENG.TXT"_s));
}

TEST_F(FileSystemTest, TheExecutablePathIsInTheToolsForm)
{
    const QString path = files.executablePath();
    EXPECT_EQ(fromToolPath(path), QCoreApplication::applicationFilePath());
    EXPECT_FALSE(path.contains(u'/'));
    EXPECT_TRUE(files.isFile(path));
}
