#include "inplaceeditors.h"
#include "mainformtesting.h"
#include "memoryregistrystore.h"
#include "printers.h"
#include "settingsgrid.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

namespace {

// The window on an in-memory registry, shown, on the page under test.
class EditingTest : public MainFormTest
{
protected:
    void SetUp() override
    {
        useMemoryStore();
        start().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    // The first row of `grid` whose value name is `name` (any letter case).
    int rowNamed(TSettingsGrid *grid, const QString &name)
    {
        for (int row = 1; row < grid->model().RowCount(); ++row) {
            if (grid->model().Cells(0, row).compare(u"<b>"_s + name + u"</b>"_s,
                                                    Qt::CaseInsensitive)
                == 0)
                return row;
        }
        ADD_FAILURE() << "no row " << name.toStdString();
        return -1;
    }

    // Scrolls the row into view and clicks `col` of it, `dx` pixels in.
    void click(TSettingsGrid *grid, int col, int row, int dx = -1)
    {
        grid->verticalScrollBar()->setValue(std::max(0, row - 1));
        const QRect cell = grid->CellRect(col, row);
        ASSERT_FALSE(cell.isEmpty());
        const QPoint at = dx < 0 ? cell.center() : QPoint(cell.left() + dx, cell.center().y());
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    }

    QLineEdit *lineEditor(TSettingsGrid *grid)
    {
        return qobject_cast<QLineEdit *>(grid->EditorWidget());
    }

    // Opens the value cell of `name` with `text` in it.
    TSettingsGrid *openValue(TSettingsGrid *grid, const QString &name, const QString &text,
                             int &row)
    {
        row = rowNamed(grid, name);
        grid->model().SetCells(1, row, text);
        click(grid, 1, row);
        return grid;
    }
};

} // namespace

TEST_F(EditingTest, SpinEditorHoldsOpenedAndTypedValuesToTheRange)
{
    TSettingsGrid *grid = control<TSettingsGrid>(*form, "GridGenerale");
    int row = 0;
    openValue(grid, u"MainWindowLeft"_s, u"5000"_s, row); // PIXELS: 0 to 1280
    ASSERT_EQ(grid->EditorKind(), edSpinEdit);
    EXPECT_EQ(lineEditor(grid)->text(), u"1280"_s);
    QTest::keyClick(grid->EditorWidget(), Qt::Key_Up);
    EXPECT_EQ(lineEditor(grid)->text(), u"1280"_s) << "Up at the maximum stays";
    QTest::keyClick(grid->EditorWidget(), Qt::Key_End);
    EXPECT_EQ(lineEditor(grid)->text(), u"0"_s);
    QTest::keyClick(grid->EditorWidget(), Qt::Key_Home);
    EXPECT_EQ(lineEditor(grid)->text(), u"1280"_s);
    QTest::keyClick(grid->EditorWidget(), Qt::Key_Return);
    EXPECT_FALSE(grid->Editing());
    EXPECT_EQ(grid->model().Cells(1, row), u"1280"_s);

    const struct
    {
        const char *typed;
        const char16_t *committed;
    } cases[] = {{"99999", u"1280"}, {"0042", u"42"},       {"", u"0"},   {"-", u"0"},
                 {"4x2", u"42"},     {"99999999999", u"0"}, {"-5", u"0"}, {"1281", u"1280"}};
    for (const auto &c : cases) {
        click(grid, 1, row);
        lineEditor(grid)->selectAll();
        QTest::keyClick(grid->EditorWidget(), Qt::Key_Backspace);
        QTest::keyClicks(grid->EditorWidget(), QString::fromLatin1(c.typed));
        QTest::keyClick(grid->EditorWidget(), Qt::Key_Enter);
        EXPECT_EQ(grid->model().Cells(1, row), QString::fromUtf16(c.committed)) << c.typed;
    }

    // Esc goes back to the exact starting text.
    grid->model().SetCells(1, row, u"300"_s);
    click(grid, 1, row);
    QTest::keyClicks(grid->EditorWidget(), u"77"_s);
    QTest::keyClick(grid->EditorWidget(), Qt::Key_Escape);
    EXPECT_EQ(grid->model().Cells(1, row), u"300"_s);
}

TEST_F(EditingTest, SpinEditorLeavesAnUneditedCellExactlyAsItWas)
{
    TSettingsGrid *grid = control<TSettingsGrid>(*form, "GridGenerale");
    const int row = rowNamed(grid, u"MainWindowLeft"_s); // PIXELS: 0 to 1280
    const int other = rowNamed(grid, u"MainWindowTop"_s);
    enum class Leave { Escape, Enter, ClickElsewhere };
    const auto leave = [&](Leave how) {
        switch (how) {
        case Leave::Escape:
            QTest::keyClick(grid->EditorWidget(), Qt::Key_Escape);
            break;
        case Leave::Enter:
            QTest::keyClick(grid->EditorWidget(), Qt::Key_Return);
            break;
        case Leave::ClickElsewhere:
            click(grid, 1, other);
            QTest::keyClick(grid->EditorWidget(), Qt::Key_Escape);
            break;
        }
    };
    // Out of range, empty, with leading zeros, not a number at all.
    for (const QString &start : {u"5000"_s, u""_s, u"0042"_s, u"12 px"_s}) {
        for (Leave how : {Leave::Escape, Leave::Enter, Leave::ClickElsewhere}) {
            const char *const ways[] = {"Escape", "Enter", "a click elsewhere"};
            SCOPED_TRACE(testing::Message() << '"' << start.toStdString() << "\" left by "
                                            << ways[static_cast<int>(how)]);
            grid->model().SetCells(1, row, start);
            click(grid, 1, row);
            ASSERT_EQ(grid->EditorKind(), edSpinEdit);
            leave(how);
            EXPECT_FALSE(grid->Editing());
            EXPECT_EQ(grid->model().Cells(1, row), start);
        }
    }

    // Stepping is an edit, and held to the limits; Esc still undoes it.
    grid->model().SetCells(1, row, u"5000"_s);
    click(grid, 1, row);
    QTest::keyClick(grid->EditorWidget(), Qt::Key_Down);
    QTest::keyClick(grid->EditorWidget(), Qt::Key_Escape);
    EXPECT_EQ(grid->model().Cells(1, row), u"5000"_s);
    click(grid, 1, row);
    QTest::keyClick(grid->EditorWidget(), Qt::Key_Up);
    click(grid, 1, other);
    EXPECT_EQ(grid->model().Cells(1, row), u"1280"_s);
    QTest::keyClick(grid->EditorWidget(), Qt::Key_Escape);

    // So is typing, even when it ends on the text shown.
    grid->model().SetCells(1, row, u"0042"_s);
    click(grid, 1, row);
    QTest::keyClicks(grid->EditorWidget(), u"42"_s);
    QTest::keyClick(grid->EditorWidget(), Qt::Key_Return);
    EXPECT_EQ(grid->model().Cells(1, row), u"42"_s);
}

TEST_F(EditingTest, SpinEditorRefusesPastedLetters)
{
    TSettingsGrid *grid = control<TSettingsGrid>(*form, "GridGenerale");
    int row = 0;
    openValue(grid, u"CpuUsage"_s, u"80"_s, row); // %: 0 to 100
    ASSERT_EQ(grid->EditorKind(), edSpinEdit);
    QApplication::clipboard()->setText(QString(100000, u'x'));
    lineEditor(grid)->selectAll();
    lineEditor(grid)->paste();
    EXPECT_EQ(lineEditor(grid)->text(), u"80"_s);
    QApplication::clipboard()->setText(QString(100000, u'7'));
    lineEditor(grid)->paste();
    QTest::keyClick(grid->EditorWidget(), Qt::Key_Return);
    EXPECT_EQ(grid->model().Cells(1, row), u"0"_s) << "too large to be an integer: MinValue";
}

TEST_F(EditingTest, ListEditorOffersSortedItemsAndOpensOnTheMatch)
{
    QTest::mouseClick(control<ToxButton>(*form, "BtnCopia"), Qt::LeftButton);
    TSettingsGrid *grid = control<TSettingsGrid>(*form, "GridCopia");
    int row = 0;
    openValue(grid, u"WriteMethod"_s, u"DWMdao"_s, row);
    ASSERT_EQ(grid->EditorKind(), edComboList);
    TGridCombo *combo = grid->ComboEditor();
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items.append(combo->itemText(i));
    EXPECT_EQ(items,
              (QStringList{u"dwmAutomatic"_s, u"dwmDAO"_s, u"dwmRAW"_s, u"dwmRestrictedOVR"_s,
                           u"dwmTAO"_s}));
    EXPECT_EQ(combo->currentText(), u"dwmDAO"_s);
    EXPECT_FALSE(combo->view()->isVisible()) << "not dropped down by itself";
    EXPECT_EQ(combo->maxVisibleItems(), 8);
    QTest::keyClick(combo, Qt::Key_Down);
    QTest::keyClick(combo, Qt::Key_Return);
    EXPECT_EQ(grid->model().Cells(1, row), u"dwmRAW"_s);

    click(grid, 1, row);
    QTest::keyClick(grid->ComboEditor(), Qt::Key_Down);
    QTest::keyClick(grid->ComboEditor(), Qt::Key_Escape);
    EXPECT_EQ(grid->model().Cells(1, row), u"dwmRAW"_s) << "Esc keeps the starting text";

    // A value that matches no item opens on the first; a list without items is empty.
    grid->model().SetCells(1, row, u"nonsense"_s);
    click(grid, 1, row);
    EXPECT_EQ(grid->ComboEditor()->currentText(), u"dwmAutomatic"_s);
    QTest::keyClick(grid->ComboEditor(), Qt::Key_Escape);
    grid->model().SetCells(0, row, u"<b>NoSuchList</b>"_s);
    click(grid, 1, row);
    EXPECT_EQ(grid->ComboEditor()->count(), 0);
    QTest::keyClick(grid->ComboEditor(), Qt::Key_Return);
    EXPECT_EQ(grid->model().Cells(1, row), u"nonsense"_s);
}

TEST_F(EditingTest, ListEditorWritesOnlyAnItemTheUserChose)
{
    QTest::mouseClick(control<ToxButton>(*form, "BtnCopia"), Qt::LeftButton);
    TSettingsGrid *grid = control<TSettingsGrid>(*form, "GridCopia");
    const int row = rowNamed(grid, u"WriteMethod"_s);
    const int other = rowNamed(grid, u"CloseCDMethod"_s);
    // Neither a value that is no item nor one in another letter case is
    // replaced by the item the list opens on.
    for (const QString &start : {u"nonsense"_s, u""_s, u"DWMdao"_s}) {
        SCOPED_TRACE(start.toStdString());
        grid->model().SetCells(1, row, start);
        click(grid, 1, row);
        ASSERT_EQ(grid->EditorKind(), edComboList);
        QTest::keyClick(grid->ComboEditor(), Qt::Key_Return);
        EXPECT_EQ(grid->model().Cells(1, row), start) << "Enter";
        click(grid, 1, row);
        click(grid, 1, other);
        EXPECT_EQ(grid->model().Cells(1, row), start) << "a click elsewhere";
        QTest::keyClick(grid->ComboEditor(), Qt::Key_Escape);
    }

    // Choosing the item shown, by going away from it and back, writes it.
    grid->model().SetCells(1, row, u"nonsense"_s);
    click(grid, 1, row);
    QTest::keyClick(grid->ComboEditor(), Qt::Key_Down);
    QTest::keyClick(grid->ComboEditor(), Qt::Key_Up);
    QTest::keyClick(grid->ComboEditor(), Qt::Key_Return);
    EXPECT_EQ(grid->model().Cells(1, row), u"dwmAutomatic"_s);
    click(grid, 1, row);
    QTest::keyClick(grid->ComboEditor(), Qt::Key_Down);
    click(grid, 1, other);
    EXPECT_EQ(grid->model().Cells(1, row), u"dwmDAO"_s);
}

namespace {

// Pixels of `area` in `image` that stand out from its background (the
// colour of the area's top-left corner): drawn text, arrows or dots.
int inkIn(const QImage &image, const QRect &area)
{
    const QRect inside = area.intersected(image.rect());
    const QColor background = image.pixelColor(inside.topLeft());
    int ink = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            ink += std::abs(c.lightness() - background.lightness()) > 96;
        }
    }
    return ink;
}

} // namespace

// As a mouse user meets the editors: each draws its value and its glyphs
// (the list's arrow, the spin arrows, the ellipsis), and the list drops
// down on a click and takes the item clicked.
TEST_F(EditingTest, EditorsAsAMouseUserMeetsThem)
{
    TSettingsGrid *general = control<TSettingsGrid>(*form, "GridGenerale");
    const struct
    {
        TSettingsGrid *grid;
        const char16_t *name, *value;
        TEditorType kind;
    } editors[] = {{general, u"MainWindowLeft", u"300", edSpinEdit},
                   {general, u"SkinName", u"Default", edEditBtn},
                   {general, u"InterfaceType", u"ditASPI", edComboList}};
    for (const auto &e : editors) {
        SCOPED_TRACE(QString::fromUtf16(e.name).toStdString());
        int row = 0;
        openValue(e.grid, QString::fromUtf16(e.name), QString::fromUtf16(e.value), row);
        ASSERT_EQ(e.grid->EditorKind(), e.kind);
        const QImage shot = e.grid->EditorWidget()->grab().toImage();
        const int h = shot.height();
        EXPECT_GT(inkIn(shot, {2, 0, shot.width() - 24, h}), 10) << "the value";
        EXPECT_GT(inkIn(shot, {shot.width() - 14, 1, 12, h - 2}), 2) << "the button's glyph";
        QTest::keyClick(e.grid->EditorWidget(), Qt::Key_Escape);
    }

    int row = 0;
    openValue(general, u"InterfaceType"_s, u"ditASPI"_s, row);
    TGridCombo *combo = general->ComboEditor();
    QTest::mouseClick(combo, Qt::LeftButton, {}, {combo->width() - 6, combo->height() / 2});
    ASSERT_TRUE(QTest::qWaitFor([&] { return combo->view()->isVisible(); }, 2000))
        << "a click on the arrow drops the list down";
    // The list takes no release within a double click of its opening press.
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    const QModelIndex item = combo->model()->index(combo->findText(u"ditMiniPort"_s), 0);
    QTest::mouseClick(combo->view()->viewport(), Qt::LeftButton, {},
                      combo->view()->visualRect(item).center());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !combo->view()->isVisible(); }, 2000));
    EXPECT_EQ(combo->currentText(), u"ditMiniPort"_s);
    QTest::keyClick(combo, Qt::Key_F4);
    EXPECT_TRUE(QTest::qWaitFor([&] { return combo->view()->isVisible(); }, 2000)) << "F4";
    QTest::keyClick(combo->view(), Qt::Key_Escape);
    QTest::keyClick(combo, Qt::Key_Return);
    EXPECT_EQ(general->model().Cells(1, row), u"ditMiniPort"_s);
}

TEST_F(EditingTest, EllipsisButtonPromptsInTheInterfaceLanguage)
{
    TSettingsGrid *grid = control<TSettingsGrid>(*form, "GridGenerale");
    int row = 0;
    openValue(grid, u"SkinName"_s, u"Default"_s, row);
    ASSERT_EQ(grid->EditorKind(), edEditBtn);
    dialogs.answerPrompt(std::nullopt);
    QTest::keyClick(grid->EditorWidget(), Qt::Key_F4);
    ASSERT_EQ(dialogs.prompts.size(), 1);
    EXPECT_EQ(dialogs.prompts[0].caption, u"CHANGE TEXT PARAMETER"_s);
    EXPECT_EQ(dialogs.prompts[0].label, u"Type new text:"_s);
    EXPECT_EQ(dialogs.prompts[0].text, u"Default"_s);
    EXPECT_EQ(lineEditor(grid)->text(), u"Default"_s) << "a cancelled prompt changes nothing";

    dialogs.answerPrompt(u"Metallo"_s);
    auto *button = grid->EditorWidget()->findChild<QToolButton *>();
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(lineEditor(grid)->text(), u"Metallo"_s);
    EXPECT_EQ(lineEditor(grid)->selectedText(), u"Metallo"_s);
    QTest::keyClick(grid->EditorWidget(), Qt::Key_Return);
    EXPECT_EQ(grid->model().Cells(1, row), u"Metallo"_s);

    click(grid, 1, row);
    QTest::keyClicks(grid->EditorWidget(), u"Legno"_s);
    QTest::keyClick(grid->EditorWidget(), Qt::Key_Escape);
    EXPECT_EQ(grid->model().Cells(1, row), u"Metallo"_s) << "Esc keeps the starting text";

    control<QRadioButton>(*form, "RbItaliano")->setChecked(true);
    openValue(grid, u"SkinName"_s, u"x"_s, row);
    dialogs.answerPrompt(std::nullopt);
    QTest::keyClick(grid->EditorWidget(), Qt::Key_F4);
    EXPECT_EQ(dialogs.prompts.last().caption, u"MODIFICA PARAMETRO TESTO"_s);
    EXPECT_EQ(dialogs.prompts.last().label, u"Digitare il nuovo testo:"_s);
}

TEST_F(EditingTest, PlainEditorTypingEscapeAndFocusLoss)
{
    TSettingsGrid *grid = control<TSettingsGrid>(*form, "GridGenerale");
    int row = rowNamed(grid, u"LogLevel"_s); // VALUE: plain editing
    grid->model().SetCells(1, row, u"1"_s);
    grid->SetCurrentCell(1, row);
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_2); // typing opens the editor with the first character
    ASSERT_TRUE(grid->Editing());
    ASSERT_EQ(grid->EditorKind(), edNormal);
    QTest::keyClick(grid->EditorWidget(), Qt::Key_X);
    QTest::keyClick(grid, Qt::Key_Y); // a stray key to the grid goes to its editor
    EXPECT_EQ(lineEditor(grid)->text(), u"2xy"_s);
    QTest::keyClick(grid->EditorWidget(), Qt::Key_Escape);
    EXPECT_EQ(grid->model().Cells(1, row), u"1"_s);

    click(grid, 1, row);
    lineEditor(grid)->setText(u"3"_s);
    click(grid, 1, rowNamed(grid, u"DriveSpinUpTime"_s)); // another cell takes the edit
    EXPECT_EQ(grid->model().Cells(1, row), u"3"_s);
}

TEST_F(EditingTest, CheckBoxesToggleByTheirBoxAndSpaceOnly)
{
    TSettingsGrid *grid = control<TSettingsGrid>(*form, "GridGenerale");
    const int row = rowNamed(grid, u"ShowToolTips"_s);
    grid->model().SetCells(1, row, u"True"_s);
    grid->model().SetCheckBox(1, row, true);
    grid->verticalScrollBar()->setValue(row - 1);
    const QRect box = grid->CheckBoxRect(1, row);
    ASSERT_FALSE(box.isEmpty());

    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, box.center());
    EXPECT_EQ(grid->model().CheckBox(1, row), false);
    EXPECT_EQ(grid->model().Cells(1, row), u"False"_s);
    EXPECT_FALSE(grid->Editing());

    click(grid, 1, row, 40); // on the text beside the box
    EXPECT_EQ(grid->model().CheckBox(1, row), false);
    EXPECT_FALSE(grid->Editing());

    QTest::keyClick(grid, Qt::Key_Space);
    EXPECT_EQ(grid->model().Cells(1, row), u"True"_s);
    QTest::keyClick(grid, Qt::Key_Return);
    QTest::keyClick(grid, Qt::Key_T);
    EXPECT_EQ(grid->model().Cells(1, row), u"True"_s) << "Enter and typing do nothing";
    EXPECT_FALSE(grid->Editing());
}

TEST_F(EditingTest, OnlyValueCellsOfReadableRowsEdit)
{
    // A value of another kind is marked and opens no editor; a number that
    // does not exist yet is marked too, but can be entered.
    auto &memory = static_cast<MemoryRegistryStore &>(*store);
    memory.put(RootKey::CurrentUser, u"Software\\VOB\\CD Wizard\\8.0", u"MainWindowTop",
               {ValueKind::String, u"80", 0});
    QTest::mouseClick(control<ToxButton>(*form, "ReadBtn"), Qt::LeftButton);
    TSettingsGrid *grid = control<TSettingsGrid>(*form, "GridGenerale");
    const int row = rowNamed(grid, u"MainWindowTop"_s);
    const int missing = rowNamed(grid, u"MainWindowLeft"_s);
    ASSERT_EQ(grid->model().Cells(1, row), u"Not available (read error)"_s);
    ASSERT_EQ(grid->model().Cells(1, missing), u"Not available (read error)"_s);
    click(grid, 1, row);
    EXPECT_FALSE(grid->Editing()) << "an error row opens no editor";
    EXPECT_EQ(grid->model().Row(), row);
    click(grid, 1, missing);
    ASSERT_TRUE(grid->Editing());
    QTest::keyClicks(grid->EditorWidget(), u"640"_s);
    QTest::keyClick(grid->EditorWidget(), Qt::Key_Return);
    EXPECT_EQ(grid->model().Cells(1, missing), u"640"_s);
    QTest::mouseClick(control<ToxButton>(*form, "SaveBtn"), Qt::LeftButton);
    EXPECT_EQ(memory.get(RootKey::CurrentUser, u"Software\\VOB\\CD Wizard\\8.0", u"MainWindowLeft"),
              (RegistryValue{ValueKind::Integer, {}, 640}));
    click(grid, 1, row);

    for (int col : {0, 2, 3, 4}) {
        click(grid, col, row + 1);
        EXPECT_FALSE(grid->Editing()) << col;
        EXPECT_EQ(grid->model().Row(), row) << "a fixed cell never becomes current";
    }
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(1, 0).center());
    EXPECT_FALSE(grid->Editing());
    EXPECT_EQ(grid->model().Col(), 1);
}

TEST_F(EditingTest, AnErrorRowsCheckBoxNeverToggles)
{
    // A yes/no value stored as a number cannot be read: its box stays as it
    // was, and nothing is ever written over the number.
    auto &memory = static_cast<MemoryRegistryStore &>(*store);
    memory.put(RootKey::CurrentUser, u"Software\\VOB\\CD Wizard\\8.0", u"ShowToolTips",
               {ValueKind::Integer, {}, 1});
    QTest::mouseClick(control<ToxButton>(*form, "ReadBtn"), Qt::LeftButton);
    TSettingsGrid *grid = control<TSettingsGrid>(*form, "GridGenerale");
    const int row = rowNamed(grid, u"ShowToolTips"_s);
    ASSERT_EQ(grid->model().Cells(1, row), u"Not available (read error)"_s);
    const auto box = grid->model().CheckBox(1, row);
    grid->verticalScrollBar()->setValue(row - 1);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CheckBoxRect(1, row).center());
    QTest::keyClick(grid, Qt::Key_Space);
    EXPECT_EQ(grid->model().CheckBox(1, row), box);
    EXPECT_EQ(grid->model().Cells(1, row), u"Not available (read error)"_s);

    QTest::mouseClick(control<ToxButton>(*form, "SaveBtn"), Qt::LeftButton);
    EXPECT_EQ(memory.get(RootKey::CurrentUser, u"Software\\VOB\\CD Wizard\\8.0", u"ShowToolTips"),
              (RegistryValue{ValueKind::Integer, {}, 1}));
}

TEST_F(EditingTest, HostileKeyboardInputLosesNothing)
{
    TSettingsGrid *grid = control<TSettingsGrid>(*form, "GridGenerale");
    int row = 0;
    const QString huge = QString(1024 * 1024, u'z');
    openValue(grid, u"LanguageFile"_s, huge, row);
    ASSERT_EQ(grid->EditorKind(), edEditBtn);
    QTest::keyClick(grid->EditorWidget(), Qt::Key_Return);
    EXPECT_EQ(grid->model().Cells(1, row), huge) << "a long value survives an edit whole";

    const int value = rowNamed(grid, u"LogLevel"_s);
    for (int i = 0; i < 200; ++i) {
        click(grid, 1, value);
        QTest::keyClick(grid->EditorWidget(), i % 2 ? Qt::Key_Escape : Qt::Key_Return);
    }
    EXPECT_FALSE(grid->Editing());
    click(grid, 1, value);
    for (const char16_t c : {u'\x01', u'\x07', u'\x1b', u'\x7f', u'\u200b'}) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(c)));
        QCoreApplication::sendEvent(grid->EditorWidget(), &press);
    }
    QTest::keyClick(grid->EditorWidget(), Qt::Key_Return);
    EXPECT_FALSE(grid->Editing());
}
