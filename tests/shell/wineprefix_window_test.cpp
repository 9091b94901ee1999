// The window on the copy program's settings in a Wine prefix (no server
// running): what it shows, where it says it edits, and what a save writes.

#include "failingcalls.h"
#include "mainformtesting.h"
#include "panel.h"
#include "printers.h"
#include "registrymapping.h"
#include "settingsgrid.h"
#include "standin.h"
#include "wineprefixstore.h"
#include "wineprogramlauncher.h"
#include "winereg.h"

#include <QRadioButton>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

class WinePrefixWindowTest : public MainFormTest
{
protected:
    WinePrefixWindowTest()
        : prefixPath(dir.filePath(u"prefix"_s))
        , winePrograms(prefixPath)
    {
        QDir().mkpath(prefixPath + u"/dosdevices"_s);
        QDir().mkpath(prefixPath + u"/drive_c/Program Files"_s);
        QFile::link(u"../drive_c"_s, prefixPath + u"/dosdevices/c:"_s);
        QFile::link(u"/"_s, prefixPath + u"/dosdevices/z:"_s);
        QFile file(prefixPath + u"/user.reg"_s);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("WINE REGISTRY Version 2\n;; All keys relative to "
                   "REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n\n"
                   "[Control Panel\\\\Desktop] 1796771035\n#time=1dd87686676bdaa\n"
                   "\"Wallpaper\"=\"\"\n");
    }

    // The prefix as the copy program leaves it after its first run.
    void seed()
    {
        WinePrefixStore seeding(prefixPath, FileCalls::system(), nullptr, [] { return false; });
        seedSettings(seeding, standInSettings(QString::fromUtf8(ORDEVAN_DATA_DIR)));
        RegistryAccessor reg(seeding);
        ASSERT_TRUE(reg.openKey(u"\\Software\\Tarsel\\Ordevan8", true));
        for (const auto &[name, value] : {std::pair{u"WantWarning", u"False"},
                                          {u"Language", u"English"},
                                          {u"Version", u"8v3"},
                                          {u"PathIC8", u""}})
            reg.writeString(name, value);
    }

    TMainForm &startOnPrefix(FileCalls &calls = FileCalls::system())
    {
        store = std::make_unique<WinePrefixStore>(prefixPath, calls, nullptr, [] { return false; });
        form.reset();
        form = std::make_unique<TMainForm>(MainFormServices{
            *store, files, dialogs, winePrograms, [this] { ++terminations; },
            StoreChoice{StoreChoice::Kind::WinePrefix, prefixPath, u"a test"_s}, &backups});
        return *form;
    }

    QByteArray userReg() const
    {
        QFile file(prefixPath + u"/user.reg"_s);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static int rowNamed(TSettingsGrid *grid, const QString &name)
    {
        for (int row = 1; row < grid->model().RowCount(); ++row) {
            if (grid->model().Cells(0, row) == u"<b>"_s + name + u"</b>"_s)
                return row;
        }
        return -1;
    }

    // The copy program installed in the prefix, as its setup leaves it.
    QString install(const QString &folder)
    {
        const QString file = prefixPath + u"/drive_c/Program Files/"_s + folder + u"/ICopy.exe"_s;
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile program(file);
        EXPECT_TRUE(program.open(QIODevice::WriteOnly));
        program.write("MZ");
        return file;
    }

    QString prefixPath;
    WineProgramLauncher winePrograms;
};

} // namespace

TEST_F(WinePrefixWindowTest, TheCopyProgramsSettingsAreShownAndSavedInItsPrefix)
{
    seed();
    const QByteArray seeded = userReg();
    FailingCalls calls;
    TMainForm &window = startOnPrefix(calls);
    window.show();
    const TPanel *title = control<TPanel>(window, "Panel9");
    TSettingsGrid *copy = control<TSettingsGrid>(window, "GridCopia");
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(calls.count("rename"), 0) << "an unchanged start writes nothing";
    EXPECT_EQ(title->toolTip(),
              u"Settings edited in the Wine prefix "_s + QDir::toNativeSeparators(prefixPath));
    const int row = rowNamed(copy, u"MaxCdSize"_s);
    ASSERT_GT(row, 0);
    EXPECT_EQ(copy->model().Cells(1, row), u"700"_s);

    control<QRadioButton>(window, "RbItaliano")->setChecked(true);
    EXPECT_EQ(title->toolTip(),
              u"Impostazioni modificate nel prefisso di Wine "_s
                  + QDir::toNativeSeparators(prefixPath));
    copy->model().SetCells(1, rowNamed(copy, u"MaxCdSize"_s), u"4480"_s);
    QTest::mouseClick(control<ToxButton>(window, "BtnCopia"), Qt::LeftButton);
    const int renames = calls.count("rename");
    QTest::mouseClick(control<ToxButton>(window, "SaveBtn"), Qt::LeftButton);
    EXPECT_EQ(calls.count("rename"), renames + 1);
    EXPECT_TRUE(dialogs.messages.isEmpty());

    // Wine's own form, and every line of another key as it was.
    const QByteArray saved = userReg();
    EXPECT_TRUE(saved.contains("\n\"MaxCdSize\"=dword:00001180\n"));
    EXPECT_TRUE(saved.contains("[Control Panel\\\\Desktop] 1796771035\n#time=1dd87686676bdaa\n"
                               "\"Wallpaper\"=\"\"\n"));
    EXPECT_EQ(saved.count('\n'), seeded.count('\n')) << "no line is added or lost";
}

TEST_F(WinePrefixWindowTest, AUserRegWineWouldNotReadIsNamedAndNothingIsShownAsCurrent)
{
    seed();
    QFile file(prefixPath + u"/user.reg"_s);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("\"Broken\"=dword:xyz\n");
    file.close();
    const QByteArray damaged = userReg();
    TMainForm &window = startOnPrefix();
    window.show();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QDir::toNativeSeparators(prefixPath)
                                                  + u"/user.reg is damaged at line "_s))
        << dialogs.messages[0].text.toStdString();
    TSettingsGrid *copy = control<TSettingsGrid>(window, "GridCopia");
    EXPECT_TRUE(isReadErrorText(copy->model().Cells(1, rowNamed(copy, u"MaxCdSize"_s))));
    control<QRadioButton>(window, "RbTutteListe")->setChecked(true);
    QTest::mouseClick(control<ToxButton>(window, "SaveBtn"), Qt::LeftButton);
    EXPECT_EQ(userReg(), damaged);
}

TEST_F(WinePrefixWindowTest, ThePathIsTheProgramsWindowsPathInsideThePrefix)
{
    seed();
    const QString program = install(u"VOB/InstantCopy 8"_s);
    install(u"Other"_s);
    TMainForm &window = startOnPrefix();
    window.show();
    auto *choose = control<ToxButton>(window, "BtnPercorso");
    auto *launch = control<ToxButton>(window, "BtnAvvia");
    EXPECT_FALSE(launch->isEnabled());

    // With no path stored, the dialog opens on the prefix's programs.
    dialogs.answerOpenFile(prefixPath + u"/drive_c/Program Files/VOB/InstantCopy 8/setup.exe"_s);
    QTest::mouseClick(choose, Qt::LeftButton);
    ASSERT_EQ(dialogs.fileRequests.size(), 1);
    EXPECT_EQ(dialogs.fileRequests[0].startPath, prefixPath + u"/drive_c/Program Files"_s);
    const QString windowsPath = u"C:\\Program Files\\VOB\\InstantCopy 8\\ICopy.exe"_s;
    EXPECT_EQ(window.targetPath(), windowsPath);
    EXPECT_EQ(preference(u"PathIC8"), windowsPath);
    EXPECT_TRUE(userReg().contains(
        "\n\"PathIC8\"=\"C:\\\\Program Files\\\\VOB\\\\InstantCopy 8\\\\ICopy.exe\"\n"));
    EXPECT_TRUE(launch->isEnabled());
    EXPECT_TRUE(dialogs.messages.isEmpty());

    // Then on the program itself; the next start finds it through the prefix.
    dialogs.answerOpenFile(QString());
    QTest::mouseClick(choose, Qt::LeftButton);
    EXPECT_EQ(dialogs.fileRequests[1].startPath, program);
    EXPECT_TRUE(control<ToxButton>(startOnPrefix(), "BtnAvvia")->isEnabled());

    // A path stored in other letter case, or by the Windows build on
    // another drive, is found or not as Wine would find it.
    storePreferences(u"False"_s, u"English"_s, u"8v3"_s,
                     u"c:\\program files\\vob\\instantcopy 8\\icopy.exe"_s);
    EXPECT_TRUE(control<ToxButton>(startOnPrefix(), "BtnAvvia")->isEnabled());
    for (const QString &elsewhere : {u"D:\\VOB\\ICopy.exe"_s, program, u"ICopy.exe"_s}) {
        storePreferences(u"False"_s, u"English"_s, u"8v3"_s, elsewhere);
        EXPECT_FALSE(control<ToxButton>(startOnPrefix(), "BtnAvvia")->isEnabled())
            << elsewhere.toStdString();
        EXPECT_EQ(preference(u"PathIC8"), elsewhere) << "kept as it was";
    }
}

TEST_F(WinePrefixWindowTest, AProgramWineCouldNotStartOrNoWineIsSaid)
{
    seed();
    const QString odd = install(u"say \"hi\""_s);
    TMainForm &window = startOnPrefix();
    window.show();
    auto *choose = control<ToxButton>(window, "BtnPercorso");
    auto *launch = control<ToxButton>(window, "BtnAvvia");
    dialogs.answerOpenFile(odd);
    QTest::mouseClick(choose, Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text,
              u"InstantCopy cannot be started from "_s + QFileInfo(odd).absolutePath()
                  + u": the folder is on no drive of the Wine prefix, or its name has "
                    u"characters that Windows does not allow."_s);
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(preference(u"PathIC8"), QString()) << "nothing stored";
    EXPECT_FALSE(launch->isEnabled());

    install(u"IC8"_s);
    dialogs.answerOpenFile(prefixPath + u"/drive_c/Program Files/IC8/ICopy.exe"_s);
    QTest::mouseClick(choose, Qt::LeftButton);
    ASSERT_TRUE(launch->isEnabled());
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(dir.filePath(u"no-wine-here"_s)));
    QTest::mouseClick(launch, Qt::LeftButton);
    control<QRadioButton>(window, "RbItaliano")->setChecked(true);
    QTest::mouseClick(launch, Qt::LeftButton);
    qputenv("PATH", path);
    EXPECT_EQ(terminations, 0);
    ASSERT_EQ(dialogs.messages.size(), 3);
    EXPECT_EQ(dialogs.messages[1].text,
              u"InstantCopy is a Windows program and needs Wine to start: no \"wine\" was "
              u"found on the search path (PATH)."_s);
    EXPECT_EQ(dialogs.messages[2].text,
              u"InstantCopy è un programma Windows e serve Wine per avviarlo: nessun \"wine\" "
              u"è stato trovato nel percorso di ricerca (PATH)."_s);
}
