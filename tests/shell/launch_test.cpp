#include "mainformtesting.h"
#include "printers.h"
#include "standin.h"
#include "testfiles.h"

#include <QElapsedTimer>
#include <QRadioButton>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

class LaunchTest : public MainFormTest
{
protected:
    void SetUp() override { storePreferences(u"False"_s, u"English"_s, u"8v3"_s); }

    QString makeFile(const QString &relative)
    {
        const QString path = dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        return QDir::toNativeSeparators(path);
    }
};

} // namespace

TEST_F(LaunchTest, AnyFileInAFolderWithICopyChoosesThatFolder)
{
    makeFile(u"IC8/ICopy.exe"_s);
    const QString other = makeFile(u"IC8/Other.exe"_s);
    TMainForm &window = start();
    window.show();
    auto *choose = control<ToxButton>(window, "BtnPercorso");
    auto *launch = control<ToxButton>(window, "BtnAvvia");
    EXPECT_FALSE(launch->isEnabled());
    dialogs.answerOpenFile(other);
    QTest::mouseClick(choose, Qt::LeftButton);

    ASSERT_EQ(dialogs.fileRequests.size(), 1);
    const OpenFileRequest &request = dialogs.fileRequests[0];
    EXPECT_EQ(request.title, u"Select InstantCopy 8 executable (ICopy.exe):"_s);
    EXPECT_EQ(request.startPath, QString());
    ASSERT_EQ(request.filters.size(), 2);
    EXPECT_EQ(request.filters[0].description, u"InstantCopy 8 (ICopy.exe)"_s);
    EXPECT_EQ(request.filters[0].pattern, u"ICopy.exe"_s);
    EXPECT_EQ(request.filters[1].description, u"exe files (*.exe)"_s);
    EXPECT_EQ(request.filters[1].pattern, u"*.exe"_s);
    EXPECT_EQ(request.selectedFilter, 0);

    const QString expected = QDir::toNativeSeparators(dir.filePath(u"IC8/ICopy.exe"_s));
    EXPECT_EQ(window.targetPath(), expected);
    EXPECT_EQ(preference(u"PathIC8"), expected);
    EXPECT_TRUE(launch->isEnabled());

    // The dialog starts where the target is, and speaks Italian in Italian.
    control<QRadioButton>(window, "RbItaliano")->setChecked(true);
    dialogs.answerOpenFile(QString());
    QTest::mouseClick(choose, Qt::LeftButton);
    EXPECT_EQ(dialogs.fileRequests[1].startPath, expected);
    EXPECT_EQ(dialogs.fileRequests[1].title,
              u"Selezionare l'eseguibile di InstantCopy 8 (ICopy.exe):"_s);
    EXPECT_EQ(window.targetPath(), expected) << "a cancelled dialog changes nothing";
}

TEST_F(LaunchTest, AFolderWithoutICopyChangesNothingVisible)
{
    const QString lonely = makeFile(u"Empty/Other.exe"_s);
    TMainForm &window = start();
    window.show();
    auto *choose = control<ToxButton>(window, "BtnPercorso");
    auto *launch = control<ToxButton>(window, "BtnAvvia");
    dialogs.answerOpenFile(lonely);
    QTest::mouseClick(choose, Qt::LeftButton);
    EXPECT_FALSE(launch->isEnabled());
    EXPECT_EQ(preference(u"PathIC8"), QString()) << "nothing written";
    EXPECT_TRUE(dialogs.messages.isEmpty());

    // Chosen once a program was found, such a folder leaves the launch
    // button as it was: the next launch uses the new path, fails and says so.
    dialogs.answerOpenFile(makeFile(u"IC8/ICopy.exe"_s));
    QTest::mouseClick(choose, Qt::LeftButton);
    ASSERT_TRUE(launch->isEnabled());
    dialogs.answerOpenFile(lonely);
    QTest::mouseClick(choose, Qt::LeftButton);
    ASSERT_TRUE(launch->isEnabled());
    QTest::mouseClick(launch, Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].caption, u"Ordevan"_s);
    EXPECT_EQ(dialogs.messages[0].text, u"Error starting InstantCopy (Path?)"_s);
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::None);
    EXPECT_EQ(terminations, 0);

    control<QRadioButton>(window, "RbItaliano")->setChecked(true);
    QTest::mouseClick(launch, Qt::LeftButton);
    EXPECT_EQ(dialogs.messages[1].text, u"Errore nell'eseguire InstantCopy (Percorso?)"_s);
}

TEST_F(LaunchTest, LaunchingTheStandInEndsTheTool)
{
    // The stand-in opens the same per-user store: give it this test's home.
    const QByteArray oldHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFileInfo(registryPath).absolutePath().chopped(8).toUtf8());
    const QString standIn = QString::fromUtf8(ORDEVAN_STANDIN);
    TMainForm &window = start();
    window.show();
    auto *launch = control<ToxButton>(window, "BtnAvvia");
    dialogs.answerOpenFile(standIn);
    QTest::mouseClick(control<ToxButton>(window, "BtnPercorso"), Qt::LeftButton);
    ASSERT_TRUE(launch->isEnabled());
    QTest::mouseClick(launch, Qt::LeftButton);
    EXPECT_EQ(terminations, 1);
    EXPECT_TRUE(dialogs.messages.isEmpty());

    QString started;
    QElapsedTimer clock;
    clock.start();
    while (started.isEmpty() && clock.elapsed() < 20000) {
        QTest::qWait(50);
        RegistryFileStore fresh(registryPath);
        RegistryAccessor reg(fresh);
        if (reg.openKey(StandInKey, false))
            started = QString::fromStdU16String(reg.readString(StartedValue));
    }
    qputenv("XDG_CONFIG_HOME", oldHome);
    EXPECT_FALSE(started.isEmpty()) << "the stand-in noted its start";
}

TEST_F(LaunchTest, TheChosenFileIsTheOneStartedWhateverItsFolderIsCalled)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "a backslash is a separator here";
#else
    // A folder whose name holds a backslash, beside the folders its name
    // would make if the backslash were taken for a separator.
    auto program = [&](const QString &relative, const QString &marker) {
        const QString path = makeFile(relative);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\ntouch '" + QFile::encodeName(dir.filePath(marker)) + "'\n");
        file.setPermissions(file.permissions() | QFile::ExeOwner);
        return path;
    };
    const QString chosen = program(u"back\\slash/ICopy.exe"_s, u"right"_s);
    program(u"back/slash/ICopy.exe"_s, u"wrong"_s);
    TMainForm &window = start();
    window.show();
    auto *launch = control<ToxButton>(window, "BtnAvvia");
    dialogs.answerOpenFile(chosen);
    QTest::mouseClick(control<ToxButton>(window, "BtnPercorso"), Qt::LeftButton);
    EXPECT_EQ(window.targetPath(), chosen);
    EXPECT_EQ(preference(u"PathIC8"), chosen);
    ASSERT_TRUE(launch->isEnabled());
    QTest::mouseClick(launch, Qt::LeftButton);
    EXPECT_EQ(terminations, 1);
    EXPECT_TRUE(fileAppears(dir.filePath(u"right"_s), 10000));
    EXPECT_FALSE(QFile::exists(dir.filePath(u"wrong"_s)));
#endif
}

TEST_F(LaunchTest, TheProgramIsFoundWhateverTheCaseOfItsName)
{
    // As copied from a CD or a FAT stick.
    const QString chosen = makeFile(u"IC8/ICOPY.EXE"_s);
    TMainForm &window = start();
    window.show();
    dialogs.answerOpenFile(chosen);
    QTest::mouseClick(control<ToxButton>(window, "BtnPercorso"), Qt::LeftButton);
    EXPECT_EQ(window.targetPath(), chosen);
    EXPECT_TRUE(control<ToxButton>(window, "BtnAvvia")->isEnabled());
    EXPECT_EQ(preference(u"PathIC8"), chosen);
}
