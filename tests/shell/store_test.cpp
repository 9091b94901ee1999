// The window on the settings file as it is on disk: what start-up and Save
// write, and what the user is told when the file cannot be read or written.

#include "failingcalls.h"
#include "mainformtesting.h"
#include "printers.h"
#include "registrymapping.h"
#include "settingsgrid.h"
#include "standin.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QRadioButton>
#include <QTest>

#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString General = u"Software\\VOB\\CD Wizard\\8.0"_s;

class WindowStoreTest : public MainFormTest
{
protected:
    // The copy program's settings as its stand-in creates them, and the
    // preferences without the warning.
    void seed()
    {
        seedSettings(*store, standInSettings(QString::fromUtf8(ORDEVAN_DATA_DIR)));
        storePreferences(u"False"_s, u"English"_s, u"8v3"_s);
    }

    QByteArray fileBytes() const
    {
        QFile file(registryPath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    quint64 inode() const
    {
        struct ::stat info
        {
        };
        return ::stat(QFile::encodeName(registryPath).constData(), &info) == 0 ? info.st_ino : 0;
    }

    static int rowNamed(TSettingsGrid *grid, const QString &name)
    {
        for (int row = 1; row < grid->model().RowCount(); ++row) {
            if (grid->model().Cells(0, row) == u"<b>"_s + name + u"</b>"_s)
                return row;
        }
        ADD_FAILURE() << "no row " << name.toStdString();
        return -1;
    }

    static void edit(TMainForm &window, const QString &name, const QString &value)
    {
        TSettingsGrid *general = control<TSettingsGrid>(window, "GridGenerale");
        general->model().SetCells(1, rowNamed(general, name), value);
    }

    // "Save Settings", clicked.
    static void save(TMainForm &window)
    {
        QTest::mouseClick(control<ToxButton>(window, "SaveBtn"), Qt::LeftButton);
    }

    std::optional<RegistryValue> storedGeneral(const QString &name)
    {
        RegistryFileStore fresh(registryPath);
        RegistryAccessor reg(fresh);
        if (!reg.openKey(u'\\' + General.toStdU16String(), false))
            return std::nullopt;
        return reg.readValue(name.toStdU16String());
    }

    static RegistryValue integer(int value) { return {ValueKind::Integer, {}, value}; }
};

} // namespace

TEST_F(WindowStoreTest, AnUnchangedStartWritesNothing)
{
    seed();
    start();
    const QByteArray before = fileBytes();
    const quint64 file = inode();
    start();
    start();
    EXPECT_EQ(inode(), file) << "the file was not replaced";
    EXPECT_EQ(fileBytes(), before);
}

TEST_F(WindowStoreTest, TwoWindowsNeverRevertEachOther)
{
    seed();
    TMainForm &first = start();
    first.show();
    control<QRadioButton>(first, "RbTutteListe")->setChecked(true);
    RegistryFileStore secondStore(registryPath);
    ScriptedDialogs secondDialogs;
    TMainForm second({secondStore, files, secondDialogs, programs, [] {
                      }});
    second.show();
    control<QRadioButton>(second, "RbTutteListe")->setChecked(true);

    edit(second, u"MainWindowLeft"_s, u"111"_s);
    save(second);
    edit(first, u"MainWindowTop"_s, u"222"_s);
    save(first);
    EXPECT_EQ(storedGeneral(u"MainWindowLeft"_s), integer(111)) << "not written back as it was";
    EXPECT_EQ(storedGeneral(u"MainWindowTop"_s), integer(222));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_TRUE(secondDialogs.messages.isEmpty());

    // Both change one value: the later save wins, and says so.
    edit(second, u"MainWindowLeft"_s, u"5"_s);
    save(second);
    edit(first, u"MainWindowLeft"_s, u"7"_s);
    save(first);
    EXPECT_EQ(storedGeneral(u"MainWindowLeft"_s), integer(7));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(dialogs.messages[0].text,
              u"These values had been changed by another program since they were read; the "
              u"edits made here replaced them:\r\rGeneral: MainWindowLeft"_s);
}

TEST_F(WindowStoreTest, AFullDiskOnSaveLeavesTheFileAsItWasAndSaysSo)
{
    seed();
    FailingCalls calls;
    store = std::make_unique<RegistryFileStore>(registryPath, calls);
    TMainForm &window = start();
    window.show();
    control<QRadioButton>(window, "RbItaliano")->setChecked(true);
    const QByteArray before = fileBytes();
    edit(window, u"MainWindowLeft"_s, u"111"_s);
    calls.failAt("write", 1, ENOSPC);
    save(window);

    EXPECT_EQ(fileBytes(), before);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(dialogs.messages[0].text,
              u"Non è stato salvato nulla.\r\rImpossibile salvare il file delle impostazioni "_s
                  + registryPath
                  + u": spazio esaurito sul disco.\rLa modifica non è stata salvata."_s);
    TSettingsGrid *general = control<TSettingsGrid>(window, "GridGenerale");
    EXPECT_EQ(general->model().Cells(1, rowNamed(general, u"MainWindowLeft"_s)), u"111"_s)
        << "the edit stays on screen";

    // Once there is room again, the same save goes through.
    calls.failAt({}, 0);
    save(window);
    EXPECT_EQ(storedGeneral(u"MainWindowLeft"_s), integer(111));
}

TEST_F(WindowStoreTest, PreferencesThatCannotBeStoredStillGiveAWholeWindow)
{
    seed();
    {
        // Italian stored, the warning preference missing: its default must be
        // written, and the lock path is a folder.
        RegistryAccessor reg(*store);
        ASSERT_TRUE(reg.openKey(u"\\Software\\Tarsel\\Ordevan8", true));
        reg.writeString(u"Language", u"Italian");
        reg.writeString(u"WantWarning", u"");
    }
    QFile::remove(registryPath + u".lock"_s);
    ASSERT_TRUE(QDir().mkpath(registryPath + u".lock"_s));
    const QByteArray before = fileBytes();

    QElapsedTimer timer;
    timer.start();
    TMainForm &window = start();
    EXPECT_LT(timer.elapsed(), 3000) << "no wait for a lock that cannot be taken";
    ASSERT_EQ(dialogs.messages.size(), 2) << "the problem once, then the warning (its default)";
    EXPECT_TRUE(
        dialogs.messages[0].text.startsWith(u"Impossibile salvare il file delle impostazioni "_s))
        << dialogs.messages[0].text.toStdString();
    EXPECT_TRUE(
        dialogs.messages[0].text.contains(u"il suo file di blocco non può essere creato"_s));
    EXPECT_EQ(dialogs.messages[1].caption, u"Information"_s);
    EXPECT_EQ(fileBytes(), before);

    EXPECT_EQ(window.language(), Language::Italian);
    EXPECT_EQ(window.windowTitle(), u"Ordevan 8.0.4.0"_s);
    EXPECT_EQ(control<ToxButton>(window, "BtnSettaggi")->text(), u"Opzioni"_s);
    EXPECT_TRUE(control<QRadioButton>(window, "RbUnaLista")->isChecked());
    EXPECT_FALSE(control<ToxButton>(window, "BtnAvvia")->isEnabled());
    TSettingsGrid *copy = control<TSettingsGrid>(window, "GridCopia");
    EXPECT_EQ(copy->model().Cells(1, rowNamed(copy, u"MaxCdSize"_s)), u"700"_s)
        << "the lists are read";
}

TEST_F(WindowStoreTest, ADamagedFileShowsNoValueAsCurrentAndSaveSaysWhy)
{
    seed();
    QByteArray damaged;
    {
        // Appended as UTF-16, as the rest of the file.
        const QString line = u"\"Broken\"=dword:xyz\r\n"_s;
        damaged = fileBytes()
            + QByteArray(reinterpret_cast<const char *>(line.utf16()), line.size() * 2);
        QFile file(registryPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(damaged);
    }
    TMainForm &window = start();
    window.show();
    ASSERT_EQ(dialogs.messages.size(), 1) << "told once at start";
    EXPECT_TRUE(dialogs.messages[0].text.contains(u" is damaged at line "_s))
        << dialogs.messages[0].text.toStdString();

    GridModel &copy = control<TSettingsGrid>(window, "GridCopia")->model();
    for (int row = 1; row < copy.RowCount(); ++row) {
        if (copy.Cells(0, row).size() > 7 && settingKind(copy.Cells(2, row)) != SettingKind::None) {
            EXPECT_TRUE(isReadErrorText(copy.Cells(1, row))) << row;
        }
    }

    control<QRadioButton>(window, "RbTutteListe")->setChecked(true);
    // Defaults that could be saved, but for the damage.
    QTest::mouseClick(control<ToxButton>(window, "DefaultBtn"), Qt::LeftButton);
    save(window);
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_TRUE(dialogs.messages[1].text.startsWith(u"Nothing was saved.\r\rThe settings file "_s))
        << dialogs.messages[1].text.toStdString();
    EXPECT_EQ(fileBytes(), damaged);
}

TEST_F(WindowStoreTest, EveryPreferenceTheUserChangesAndThatIsNotStoredIsTold)
{
    seed();
    static_cast<RegistryFileStore &>(*store).setLockTimeout(50);
    TMainForm &window = start();
    window.show();
    ASSERT_TRUE(dialogs.messages.isEmpty());
    // Another instance holds the file.
    FileLock other(FileCalls::system(), registryPath + u".lock"_s);
    ASSERT_EQ(other.lock(0), FileLock::Outcome::Locked);
    // Unticked, ticked back (as stored: nothing to store), unticked again.
    QCheckBox *warning = control<QCheckBox>(window, "CbWarning");
    for (const int told : {1, 1, 2}) {
        QTest::mouseClick(warning, Qt::LeftButton, {}, QPoint(6, 8));
        ASSERT_EQ(dialogs.messages.size(), told);
        EXPECT_TRUE(dialogs.messages.last().text.contains(u"locked by another program"_s));
    }
    EXPECT_EQ(preference(u"WantWarning"), u"False"_s) << "as it was";
}
