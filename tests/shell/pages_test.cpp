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
        auto memory = std::make_unique<MemoryRegistryStore>();
        memory->put(RootKey::CurrentUser, u"Software\\Tarsel\\Ordevan8", u"WantWarning",
                    {ValueKind::String, u"False", 0});
        for (SettingsPage page : AllSettingsPages) {
            const QString key = settingsKeyPath(page, Release::R803).mid(1);
            memory->put(RootKey::CurrentUser, key.toStdU16String(), u"Marker",
                        {ValueKind::String, u"x", 0});
        }
        memoryStore = memory.get();
        store = std::move(memory);
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

    MemoryRegistryStore *memoryStore = nullptr;
};

QList<TPanel *> pages(TMainForm &window)
{
    return {window.PanelGeneral, window.PanelCopy, window.PanelSettings, window.PanelProfiles,
            window.PanelDatapath};
}

} // namespace

TEST_F(PagesTest, ExactlyOnePageIsInView)
{
    TMainForm &window = start();
    window.show();
    const QList<PictureButton *> buttons = {window.BtnGenerali, window.BtnCopia, window.BtnSettaggi,
                                            window.BtnProfili, window.BtnPath};
    window.GridCopia->model().SetCells(1, 1, u"edited"_s);
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        QTest::mouseClick(buttons[i], Qt::LeftButton);
        for (qsizetype p = 0; p < 5; ++p) {
            EXPECT_EQ(window.isPageShown(pages(window)[p]), p == i);
            EXPECT_EQ(pages(window)[p]->x(), p == i ? 98 : window.frameGeometry().width());
        }
    }
    EXPECT_EQ(window.GridCopia->model().Cells(1, 1), u"edited"_s) << "no reload on a switch";
}

TEST_F(PagesTest, ReadsTheRegistryAtStartAndMarksWhatCannotBeRead)
{
    memoryStore->put(RootKey::CurrentUser, u"Software\\vob\\CD Wizard\\8.0\\Copy", u"MaxCdSize",
                     {ValueKind::Integer, {}, 703});
    memoryStore->put(RootKey::CurrentUser, u"Software\\vob\\CD Wizard\\8.0\\Copy",
                     u"OverburnMargin", {ValueKind::String, u"2", 0});
    TMainForm &window = start();
    const GridModel &copy = window.GridCopia->model();
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

TEST_F(PagesTest, SaveWritesThePageShownOrAllPagesInOrder)
{
    TMainForm &window = start();
    window.show();
    QTest::mouseClick(window.BtnCopia, Qt::LeftButton);
    const int mbyte = rowOfType(window.GridCopia, u"MBYTE"_s);
    ASSERT_GT(mbyte, 0);
    window.GridCopia->model().SetCells(1, mbyte, u"700"_s);

    const auto before = memoryStore->openedKeys().size();
    QTest::mouseClick(window.SaveBtn, Qt::LeftButton);
    const std::vector<std::u16string> opened(memoryStore->openedKeys().begin() + before,
                                             memoryStore->openedKeys().end());
    EXPECT_EQ(opened, (std::vector<std::u16string> {u"Software\\vob\\CD Wizard\\8.0\\Copy"}));
    const QString name = window.GridCopia->model().Cells(0, mbyte).mid(3).chopped(4);
    EXPECT_EQ(stored(SettingsPage::Copy, name), (RegistryValue {ValueKind::Integer, {}, 700}));

    QTest::mouseClick(window.RbTutteListe, Qt::LeftButton, {}, QPoint(6, 8));
    const auto beforeAll = memoryStore->openedKeys().size();
    QTest::mouseClick(window.SaveBtn, Qt::LeftButton);
    const std::vector<std::u16string> all(memoryStore->openedKeys().begin() + beforeAll,
                                          memoryStore->openedKeys().end());
    EXPECT_EQ(all,
              (std::vector<std::u16string> {u"Software\\VOB\\CD Wizard\\8.0",
                                            u"Software\\vob\\CD Wizard\\8.0\\Copy",
                                            u"Software\\vob\\CD Wizard\\8.0\\Copy\\CurrentSettings",
                                            u"Software\\vob\\CD Wizard\\8.0\\DataPath"}));

    QTest::mouseClick(window.RbUnaLista, Qt::LeftButton, {}, QPoint(6, 8));
    QTest::mouseClick(window.BtnProfili, Qt::LeftButton);
    const auto beforeProfiles = memoryStore->openedKeys().size();
    QTest::mouseClick(window.SaveBtn, Qt::LeftButton);
    EXPECT_EQ(memoryStore->openedKeys().size(), beforeProfiles) << "Profiles has no list";
}

TEST_F(PagesTest, RestoringDefaultsThenReadingShowsTheRegistryAgain)
{
    TMainForm &window = start();
    window.show();
    GridModel &general = window.GridGenerale->model();
    const int mbyte = rowOfType(window.GridGenerale, u"MBYTE"_s);
    const QString name = general.Cells(0, mbyte).mid(3).chopped(4);
    memoryStore->put(RootKey::CurrentUser, u"Software\\VOB\\CD Wizard\\8.0", name.toStdU16String(),
                     {ValueKind::Integer, {}, 64});
    QTest::mouseClick(window.ReadBtn, Qt::LeftButton);
    EXPECT_EQ(general.Cells(1, mbyte), u"64"_s);

    const int writes = memoryStore->writeCount();
    QTest::mouseClick(window.DefaultBtn, Qt::LeftButton);
    EXPECT_EQ(general.Cells(1, mbyte), u"32"_s) << "the list file's default";
    EXPECT_EQ(memoryStore->writeCount(), writes) << "nothing reaches the registry";
    QTest::mouseClick(window.ReadBtn, Qt::LeftButton);
    EXPECT_EQ(general.Cells(1, mbyte), u"64"_s);
}
