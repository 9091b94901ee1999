#include "mainformtesting.h"
#include "memoryregistrystore.h"
#include "panel.h"
#include "printers.h"
#include "registrymapping.h"
#include "settingsgrid.h"

#include <QMap>
#include <QRadioButton>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// The main window on an in-memory registry whose four page keys exist.
class PagesTest : public MainFormTest
{
protected:
    PagesTest()
    {
        memoryStore = &useMemoryStore();
        for (SettingsPage page : AllSettingsPages) {
            const QString key = settingsKeyPath(page, Release::R803).mid(1);
            memoryStore->put(RootKey::CurrentUser, key.toStdU16String(), u"Marker",
                             {ValueKind::String, u"x", 0});
        }
    }

    std::optional<RegistryValue> stored(SettingsPage page, const QString &name) const
    {
        return memoryStore->get(RootKey::CurrentUser,
                                settingsKeyPath(page, Release::R803).mid(1).toStdU16String(),
                                name.toStdU16String());
    }

    // The first setting row whose type word is `type`.
    static int rowOfType(TSettingsGrid *grid, const QString &type)
    {
        for (int row = 1; row < grid->model().RowCount(); ++row) {
            if (grid->model().Cells(2, row) == type)
                return row;
        }
        return -1;
    }

    // The row of `grid` whose value name is `name`.
    static int rowNamed(TSettingsGrid *grid, const QString &name)
    {
        for (int row = 1; row < grid->model().RowCount(); ++row) {
            if (grid->model().Cells(0, row) == u"<b>"_s + name + u"</b>"_s)
                return row;
        }
        return -1;
    }

    void put(const QString &key, const QString &name, const RegistryValue &value)
    {
        memoryStore->put(RootKey::CurrentUser, key.toStdU16String(), name.toStdU16String(), value);
    }

    MemoryRegistryStore *memoryStore = nullptr;
};

const QString Copy80 = u"Software\\vob\\CD Wizard\\8.0\\Copy"_s;
const QString Copy75 = u"Software\\vob\\CD Wizard\\7.5\\Copy"_s;

QList<TPanel *> pages(TMainForm &window)
{
    QList<TPanel *> panels;
    for (const char *name :
         {"PanelGeneral", "PanelCopy", "PanelSettings", "PanelProfiles", "PanelDatapath"})
        panels.append(control<TPanel>(window, name));
    return panels;
}

} // namespace

TEST_F(PagesTest, ExactlyOnePageIsInView)
{
    TMainForm &window = start();
    window.show();
    QList<ToxButton *> buttons;
    for (const char *name : {"BtnGenerali", "BtnCopia", "BtnSettaggi", "BtnProfili", "BtnPath"})
        buttons.append(control<ToxButton>(window, name));
    GridModel &copy = control<TSettingsGrid>(window, "GridCopia")->model();
    copy.SetCells(1, 1, u"edited"_s);
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        QTest::mouseClick(buttons[i], Qt::LeftButton);
        for (qsizetype p = 0; p < 5; ++p) {
            EXPECT_EQ(window.isPageShown(pages(window)[p]), p == i);
            EXPECT_EQ(pages(window)[p]->x(), p == i ? 98 : window.frameGeometry().width());
        }
        // A window manager that ignores the fixed size uncovers no other page.
        window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        window.resize(1800, 700);
        for (qsizetype p = 0; p < 5; ++p)
            EXPECT_EQ(pages(window)[p]->isVisible(), p == i);
    }
    EXPECT_EQ(copy.Cells(1, 1), u"edited"_s) << "no reload on a switch";
}

TEST_F(PagesTest, TheKeyboardPressesTheNavigationButtons)
{
    TMainForm &window = start();
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto *copyButton = control<ToxButton>(window, "BtnCopia");
    auto *pathButton = control<ToxButton>(window, "BtnPath");
    auto *general = control<TSettingsGrid>(window, "GridGenerale");
    const TPanel *dataPath = control<TPanel>(window, "PanelDatapath");
    copyButton->setFocus();
    QTest::keyClick(copyButton, Qt::Key_Space);
    EXPECT_TRUE(window.isPageShown(control<TPanel>(window, "PanelCopy")));
    pathButton->setFocus();
    QTest::keyClick(pathButton, Qt::Key_Return);
    EXPECT_TRUE(window.isPageShown(dataPath)) << "Enter presses the focused button";
    general->setFocus();
    QTest::keyClick(general, Qt::Key_Escape);
    EXPECT_TRUE(window.isPageShown(dataPath)) << "no button is the cancel button";
}

TEST_F(PagesTest, ReadsTheRegistryAtStartAndMarksWhatCannotBeRead)
{
    memoryStore->put(RootKey::CurrentUser, u"Software\\vob\\CD Wizard\\8.0\\Copy", u"MaxCdSize",
                     {ValueKind::Integer, {}, 703});
    memoryStore->put(RootKey::CurrentUser, u"Software\\vob\\CD Wizard\\8.0\\Copy",
                     u"OverburnMargin", {ValueKind::String, u"2", 0});
    TMainForm &window = start();
    const GridModel &copy = control<TSettingsGrid>(window, "GridCopia")->model();
    QMap<QString, QString> values;
    for (int row = 1; row < copy.RowCount(); ++row)
        values.insert(copy.Cells(0, row), copy.Cells(1, row));
    EXPECT_EQ(values[u"<b>MaxCdSize</b>"_s], u"703"_s);
    EXPECT_EQ(values[u"<b>OverburnMargin</b>"_s], u"Not available (read error)"_s)
        << "text for an integer";
    EXPECT_EQ(values[u"<b>WriteSpeed</b>"_s], u"Not available (read error)"_s)
        << "a missing integer";
    EXPECT_FALSE(values.contains(u"<b>ImageFileName</b>"_s)) << "hidden for this release";
    EXPECT_EQ(values[u"<b>TestWrite</b>"_s], QString()) << "a missing text reads empty";
}

TEST_F(PagesTest, ThePageShownDoesNotDependOnTheWindowFrame)
{
    TMainForm &window = start();
    window.show();
    // A window manager's frame makes the outer window wider than its
    // contents, as wide as the hidden pages' places.
    window.setFixedWidth(840);
    ASSERT_GE(window.frameGeometry().width(), 840);
    auto *general = control<TSettingsGrid>(window, "GridGenerale");
    general->model().SetCells(1, rowOfType(general, u"PIXELS"_s), u"9"_s);
    const auto before = memoryStore->openedKeys().size();
    QTest::mouseClick(control<ToxButton>(window, "SaveBtn"), Qt::LeftButton);
    const std::vector<std::u16string> opened(memoryStore->openedKeys().begin() + before,
                                             memoryStore->openedKeys().end());
    // Read for the backup, then written.
    EXPECT_EQ(opened, (std::vector<std::u16string>(2, u"Software\\VOB\\CD Wizard\\8.0")));
    for (TPanel *page : pages(window))
        EXPECT_EQ(window.isPageShown(page), page == control<TPanel>(window, "PanelGeneral"));
}

TEST_F(PagesTest, SaveWritesThePageShownOrAllPagesInOrder)
{
    TMainForm &window = start();
    window.show();
    auto *save = control<ToxButton>(window, "SaveBtn");
    auto *copy = control<TSettingsGrid>(window, "GridCopia");
    QTest::mouseClick(control<ToxButton>(window, "BtnCopia"), Qt::LeftButton);
    const int mbyte = rowOfType(copy, u"MBYTE"_s);
    ASSERT_GT(mbyte, 0);
    copy->model().SetCells(1, mbyte, u"700"_s);

    const auto before = memoryStore->openedKeys().size();
    QTest::mouseClick(save, Qt::LeftButton);
    const std::vector<std::u16string> opened(memoryStore->openedKeys().begin() + before,
                                             memoryStore->openedKeys().end());
    EXPECT_EQ(opened, (std::vector<std::u16string>(2, u"Software\\vob\\CD Wizard\\8.0\\Copy")));
    const QString name = copy->model().Cells(0, mbyte).mid(3).chopped(4);
    EXPECT_EQ(stored(SettingsPage::Copy, name), (RegistryValue{ValueKind::Integer, {}, 700}));

    QTest::mouseClick(control<QRadioButton>(window, "RbTutteListe"), Qt::LeftButton, {},
                      QPoint(6, 8));
    const auto beforeAll = memoryStore->openedKeys().size();
    QTest::mouseClick(save, Qt::LeftButton);
    const std::vector<std::u16string> all(memoryStore->openedKeys().begin() + beforeAll,
                                          memoryStore->openedKeys().end());
    // All read in order for the backup, then those with values to write
    // written in order: Copy has none left.
    EXPECT_EQ(all,
              (std::vector<std::u16string>{
                  u"Software\\VOB\\CD Wizard\\8.0", u"Software\\vob\\CD Wizard\\8.0\\Copy",
                  u"Software\\vob\\CD Wizard\\8.0\\Copy\\CurrentSettings",
                  u"Software\\vob\\CD Wizard\\8.0\\DataPath", u"Software\\VOB\\CD Wizard\\8.0",
                  u"Software\\vob\\CD Wizard\\8.0\\Copy\\CurrentSettings",
                  u"Software\\vob\\CD Wizard\\8.0\\DataPath"}));

    QTest::mouseClick(control<QRadioButton>(window, "RbUnaLista"), Qt::LeftButton, {},
                      QPoint(6, 8));
    QTest::mouseClick(control<ToxButton>(window, "BtnProfili"), Qt::LeftButton);
    const auto beforeProfiles = memoryStore->openedKeys().size();
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_EQ(memoryStore->openedKeys().size(), beforeProfiles) << "Profiles has no list";
}

TEST_F(PagesTest, RestoringDefaultsThenReadingShowsTheRegistryAgain)
{
    TMainForm &window = start();
    window.show();
    auto *generalGrid = control<TSettingsGrid>(window, "GridGenerale");
    auto *read = control<ToxButton>(window, "ReadBtn");
    GridModel &general = generalGrid->model();
    const int mbyte = rowOfType(generalGrid, u"MBYTE"_s);
    const QString name = general.Cells(0, mbyte).mid(3).chopped(4);
    memoryStore->put(RootKey::CurrentUser, u"Software\\VOB\\CD Wizard\\8.0", name.toStdU16String(),
                     {ValueKind::Integer, {}, 64});
    QTest::mouseClick(read, Qt::LeftButton);
    EXPECT_EQ(general.Cells(1, mbyte), u"64"_s);

    const int writes = memoryStore->writeCount();
    QTest::mouseClick(control<ToxButton>(window, "DefaultBtn"), Qt::LeftButton);
    EXPECT_EQ(general.Cells(1, mbyte), u"32"_s) << "the list file's default";
    EXPECT_EQ(memoryStore->writeCount(), writes) << "nothing reaches the registry";
    dialogs.answerChoice(0); // the defaults are discarded
    QTest::mouseClick(read, Qt::LeftButton);
    EXPECT_EQ(general.Cells(1, mbyte), u"64"_s);
}

TEST_F(PagesTest, EachReleaseReadsItsOwnKeys)
{
    put(Copy80, u"MaxCdSize"_s, {ValueKind::Integer, {}, 800});
    put(Copy75, u"MaxCdSize"_s, {ValueKind::Integer, {}, 750});
    TMainForm &window = start();
    window.show();
    auto *copy = control<TSettingsGrid>(window, "GridCopia");
    auto *options = control<TSettingsGrid>(window, "GridSettaggi");
    const int row = rowNamed(copy, u"MaxCdSize"_s);
    EXPECT_EQ(copy->model().Cells(1, row), u"800"_s);
    QTest::mouseClick(control<QRadioButton>(window, "Rb8v0"), Qt::LeftButton, {}, QPoint(6, 8));
    EXPECT_EQ(copy->model().Cells(1, rowNamed(copy, u"MaxCdSize"_s)), u"750"_s);

    // The 7.5 Options key does not exist: its list keeps the file's defaults,
    // and saving it writes nothing, which the user is told.
    const int row75 = rowNamed(options, u"TargetSize"_s);
    EXPECT_EQ(options->model().Cells(1, row75), u"4480"_s);
    QTest::mouseClick(control<ToxButton>(window, "BtnSettaggi"), Qt::LeftButton);
    const int writes = memoryStore->writeCount();
    QTest::mouseClick(control<ToxButton>(window, "SaveBtn"), Qt::LeftButton);
    EXPECT_EQ(memoryStore->writeCount(), writes);
    EXPECT_FALSE(memoryStore->hasKey(RootKey::CurrentUser,
                                     u"Software\\vob\\CD Wizard\\7.5\\Copy\\CurrentSettings"));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(dialogs.messages[0].text,
              u"The settings of InstantCopy 8.0.0.x do not exist in the registry yet, so these "
              u"lists were not saved: Options.\rStart InstantCopy once: it creates them."_s);
}

TEST_F(PagesTest, AValueOfTheWrongKindIsMarkedAndNeverOverwritten)
{
    const QString options = u"Software\\vob\\CD Wizard\\8.0\\Copy\\CurrentSettings"_s;
    put(options, u"PreviewWidth"_s, {ValueKind::String, u"352"_s.toStdU16String(), 0});
    TMainForm &window = start();
    window.show();
    auto *optionsGrid = control<TSettingsGrid>(window, "GridSettaggi");
    const int row = rowNamed(optionsGrid, u"PreviewWidth"_s);
    ASSERT_GT(row, 0);
    EXPECT_EQ(optionsGrid->model().Cells(1, row), u"Not available (read error)"_s);
    QTest::mouseClick(control<QRadioButton>(window, "RbItaliano"), Qt::LeftButton, {},
                      QPoint(6, 8));
    EXPECT_EQ(optionsGrid->model().Cells(1, rowNamed(optionsGrid, u"PreviewWidth"_s)),
              u"Non disponibile (errore in lettura)"_s);

    QTest::mouseClick(control<QRadioButton>(window, "RbTutteListe"), Qt::LeftButton, {},
                      QPoint(6, 8));
    QTest::mouseClick(control<ToxButton>(window, "SaveBtn"), Qt::LeftButton);
    EXPECT_EQ(memoryStore->get(RootKey::CurrentUser, options.toStdU16String(), u"PreviewWidth"),
              (RegistryValue{ValueKind::String, u"352", 0}));
}

TEST_F(PagesTest, RefusedWritesAreNamedInOneMessage)
{
    TMainForm &window = start();
    window.show();
    auto *save = control<ToxButton>(window, "SaveBtn");
    auto *copy = control<TSettingsGrid>(window, "GridCopia");
    QTest::mouseClick(control<QRadioButton>(window, "RbTutteListe"), Qt::LeftButton, {},
                      QPoint(6, 8));
    const int row = rowOfType(copy, u"MBYTE"_s);
    copy->model().SetCells(1, row, u"123"_s);
    memoryStore->setRefuseWrites(true);
    QTest::mouseClick(save, Qt::LeftButton);

    ASSERT_EQ(dialogs.messages.size(), 1);
    const QString text = dialogs.messages[0].text;
    EXPECT_EQ(dialogs.messages[0].caption, u"Ordevan"_s);
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Warning);
    EXPECT_TRUE(text.startsWith(u"These values could not be saved:\r\r"_s)) << text.toStdString();
    EXPECT_TRUE(text.contains(u"\rCopy: WriteMethod, "_s)) << text.toStdString();
    for (const QString &page : {u"General: "_s, u"Options: "_s, u"Data Path: "_s})
        EXPECT_TRUE(text.contains(page)) << page.toStdString();
    EXPECT_EQ(copy->model().Cells(1, row), u"123"_s) << "the cell keeps the edit";

    QTest::mouseClick(control<QRadioButton>(window, "RbItaliano"), Qt::LeftButton, {},
                      QPoint(6, 8));
    dialogs.messages.clear();
    QTest::mouseClick(save, Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(u"Questi valori non sono stati salvati:"_s));
    EXPECT_TRUE(dialogs.messages[0].text.contains(u"\rPercorso Dati: "_s));

    memoryStore->setRefuseWrites(false);
    dialogs.messages.clear();
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_TRUE(dialogs.messages.isEmpty()) << "a successful save says nothing";
}

TEST_F(PagesTest, OnTheProfilesPageThisListOnlyDoesNothing)
{
    TMainForm &window = start();
    window.show();
    GridModel &general = control<TSettingsGrid>(window, "GridGenerale")->model();
    QTest::mouseClick(control<ToxButton>(window, "BtnProfili"), Qt::LeftButton);
    general.SetCells(1, 1, u"edited"_s);
    const auto opened = memoryStore->openedKeys().size();
    for (const char *command : {"DefaultBtn", "ReadBtn", "SaveBtn"})
        QTest::mouseClick(control<ToxButton>(window, command), Qt::LeftButton);
    EXPECT_EQ(memoryStore->openedKeys().size(), opened);
    EXPECT_EQ(general.Cells(1, 1), u"edited"_s);
}

TEST_F(PagesTest, HugeAndForeignTextsPassThroughWhole)
{
    const QString general = u"Software\\VOB\\CD Wizard\\8.0"_s;
    const QString huge(1024 * 1024, u'x');
    const QString foreign = u"日本語 ≠ Ελληνικά 🎵"_s;
    put(general, u"SkinName"_s, {ValueKind::String, huge.toStdU16String(), 0});
    put(general, u"LanguageFile"_s, {ValueKind::String, foreign.toStdU16String(), 0});
    TMainForm &window = start();
    window.show();
    auto *generalGrid = control<TSettingsGrid>(window, "GridGenerale");
    GridModel &grid = generalGrid->model();
    EXPECT_EQ(grid.Cells(1, rowNamed(generalGrid, u"SkinName"_s)), huge);
    EXPECT_EQ(grid.Cells(1, rowNamed(generalGrid, u"LanguageFile"_s)), foreign);
    window.repaint();

    // Edited, both are saved whole.
    grid.SetCells(1, rowNamed(generalGrid, u"SkinName"_s), huge + u'y');
    grid.SetCells(1, rowNamed(generalGrid, u"LanguageFile"_s), foreign + foreign);
    QTest::mouseClick(control<ToxButton>(window, "SaveBtn"), Qt::LeftButton);
    EXPECT_EQ(memoryStore->get(RootKey::CurrentUser, general.toStdU16String(), u"SkinName"),
              (RegistryValue{ValueKind::String, QString(huge + u'y').toStdU16String(), 0}));
    EXPECT_EQ(memoryStore->get(RootKey::CurrentUser, general.toStdU16String(), u"LanguageFile"),
              (RegistryValue{ValueKind::String, QString(foreign + foreign).toStdU16String(), 0}));
}
