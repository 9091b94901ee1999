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
#include "winereg.h"

#include <QRadioButton>

using namespace Qt::Literals::StringLiterals;

namespace {

class WinePrefixWindowTest : public MainFormTest
{
protected:
    WinePrefixWindowTest()
        : prefixPath(dir.filePath(u"prefix"_s))
    {
        QDir().mkpath(prefixPath);
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
        form = std::make_unique<TMainForm>(
            MainFormServices{*store, files, dialogs, processes, [] {},
                             StoreChoice{StoreChoice::Kind::WinePrefix, prefixPath, u"a test"_s}});
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

    QString prefixPath;
};

} // namespace

TEST_F(WinePrefixWindowTest, TheCopyProgramsSettingsAreShownAndSavedInItsPrefix)
{
    seed();
    const QByteArray seeded = userReg();
    FailingCalls calls;
    TMainForm &window = startOnPrefix(calls);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(calls.count("rename"), 0) << "an unchanged start writes nothing";
    EXPECT_EQ(window.Panel9->toolTip(),
              u"Settings edited in the Wine prefix "_s + QDir::toNativeSeparators(prefixPath));
    const int row = rowNamed(window.GridCopia, u"MaxCdSize"_s);
    ASSERT_GT(row, 0);
    EXPECT_EQ(window.GridCopia->model().Cells(1, row), u"700"_s);

    window.RbItaliano->setChecked(true);
    EXPECT_EQ(window.Panel9->toolTip(),
              u"Impostazioni modificate in il prefisso di Wine "_s
                  + QDir::toNativeSeparators(prefixPath));
    window.GridCopia->model().SetCells(1, rowNamed(window.GridCopia, u"MaxCdSize"_s), u"4480"_s);
    window.BtnCopiaClick();
    const int renames = calls.count("rename");
    window.SaveBtnClick();
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
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QDir::toNativeSeparators(prefixPath)
                                                  + u"/user.reg is damaged at line "_s))
        << dialogs.messages[0].text.toStdString();
    EXPECT_TRUE(isReadErrorText(
        window.GridCopia->model().Cells(1, rowNamed(window.GridCopia, u"MaxCdSize"_s))));
    window.RbTutteListe->setChecked(true);
    window.SaveBtnClick();
    EXPECT_EQ(userReg(), damaged);
}
