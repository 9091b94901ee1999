// The grid control on its own, as any larger list or another window would
// use it: long passes over every row, hostile widths, and editors that stay
// with their cell and the user's focus.

#include "inplaceeditors.h"
#include "printers.h"
#include "settingsgrid.h"
#include "stopwatch.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const QColor Yellow(255, 255, 192);

// A window with a grid of `rows` rows (one header row), every cell
// editable as text, and a line edit to take the focus away.
class SettingsGridTest : public testing::Test
{
protected:
    explicit SettingsGridTest(int rows = 200)
        : grid(new TSettingsGrid(&window))
        , other(new QLineEdit(&window))
    {
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(grid);
        layout->addWidget(other);
        window.resize(500, 300);
        GridModel &model = grid->model();
        model.SetFixedRows(1);
        model.SetRowCount(rows);
        for (int row = 1; row < rows; ++row)
            model.SetCells(1, row, u"value %1"_s.arg(row));
        grid->OnGetCellColor = [](TSettingsGrid *, int, int col, TGridDrawState, CellLook &look) {
            if (col == 1)
                look.background = Yellow;
        };
        window.show();
        QApplication::setActiveWindow(&window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        grid->setFocus();
    }

    QWidget window;
    TSettingsGrid *grid;
    QLineEdit *other;
};

} // namespace

TEST_F(SettingsGridTest, PassesOverEveryRowAndLoadsOfWidthLinesStayLinear)
{
    // Each was quadratic: 25,000 rows set one by one took 0.94 s, and
    // 20,000 width lines about 0.9 s.
    GridModel &model = grid->model();
    model.SetRowCount(30'000);
    EXPECT_LT(secondsTaken([&] {
                  for (int row = 1; row < model.RowCount(); ++row) {
                      model.SetCells(1, row, u"new %1"_s.arg(row));
                      model.SetCheckBox(2, row, row % 2);
                  }
              }),
              timeBound(0.6));
    QApplication::processEvents();
    EXPECT_EQ(model.Cells(1, 29'999), u"new 29999"_s);

    QByteArray file = "6,3\n";
    for (int line = 0; line < 20'000; ++line)
        file += "cw " + QByteArray::number(line % 6) + "," + QByteArray::number(line % 300) + "\n";
    EXPECT_LT(secondsTaken([&] { model.LoadGridData(file, u"widths"_s); }), timeBound(0.4));
    EXPECT_EQ(model.ColWidths(5), 197) << "the last line for it, 19,997";
}

TEST_F(SettingsGridTest, ALongLoadLetsTheWindowRepaintAndAShortOneDoesNot)
{
    const auto list = [](int rows) {
        QByteArray file = "6," + QByteArray::number(rows) + "\n";
        for (int row = 0; row < rows; ++row)
            file += "1," + QByteArray::number(row) + ",value\n";
        return file;
    };
    int waiting = 0;
    QTimer::singleShot(0, grid, [&] { ++waiting; });
    grid->model().LoadGridData(list(120), u"short"_s);
    EXPECT_EQ(waiting, 0) << "a list of the usual length loads without stopping";
    grid->model().LoadGridData(list(600), u"long"_s);
    EXPECT_EQ(waiting, 1) << "a long one lets what waits run";
}

TEST_F(SettingsGridTest, HugeWidthsAreBoundedAndStillScroll)
{
    GridModel &model = grid->model();
    model.LoadGridData("6,3\ncw 2,99999999999\ncw 3,-40\ncw 4,$7FFFFFFF\ncw 5,2147483647\n",
                       u"widths"_s);
    EXPECT_EQ(model.ColWidths(2), GridModel::MaxColWidth);
    EXPECT_EQ(model.ColWidths(3), 0);
    EXPECT_EQ(model.ColWidths(4), GridModel::MaxColWidth);
    model.SetColWidths(1, INT_MAX);
    EXPECT_EQ(model.ColWidths(1), GridModel::MaxColWidth);
    // The sum no longer wraps round: there is a range to scroll.
    EXPECT_GT(grid->horizontalScrollBar()->maximum(), 0);
    grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->maximum());
    grid->grab(); // paints without overflowing
}

TEST_F(SettingsGridTest, TypingOnACellOutOfViewScrollsItIntoViewFirst)
{
    ASSERT_TRUE(grid->SetCurrentCell(1, 150));
    ASSERT_TRUE(grid->CellRect(1, 150).isEmpty()) << "out of view";
    QTest::keyClicks(grid, u"42"_s);
    ASSERT_TRUE(grid->Editing());
    const QRect cell = grid->CellRect(1, 150);
    ASSERT_FALSE(cell.isEmpty());
    EXPECT_TRUE(grid->viewport()->rect().contains(cell));
    EXPECT_EQ(grid->EditorWidget()->geometry(), QRect(cell.topLeft(), cell.size() - QSize(1, 1)));
    QTest::keyClick(grid->EditorWidget(), Qt::Key_Return);
    EXPECT_EQ(grid->model().Cells(1, 150), u"42"_s);

    // Upwards too.
    ASSERT_TRUE(grid->SetCurrentCell(1, 2));
    QTest::keyClick(grid, Qt::Key_F2);
    ASSERT_TRUE(grid->Editing());
    EXPECT_TRUE(grid->viewport()->rect().contains(grid->EditorWidget()->geometry()));
}

TEST_F(SettingsGridTest, EndingAnEditLeavesTheFocusWhereTheUserPutIt)
{
    ASSERT_TRUE(grid->SetCurrentCell(1, 3));
    QTest::keyClicks(grid, u"abc"_s);
    ASSERT_TRUE(grid->Editing());
    QTest::mouseClick(other, Qt::LeftButton);
    other->setFocus(Qt::MouseFocusReason);
    EXPECT_FALSE(grid->Editing());
    EXPECT_EQ(grid->model().Cells(1, 3), u"abc"_s);
    EXPECT_TRUE(other->hasFocus());

    grid->setFocus();
    ASSERT_TRUE(grid->SetCurrentCell(1, 4));
    QTest::keyClicks(grid, u"tab"_s);
    ASSERT_TRUE(grid->Editing());
    QTest::keyClick(grid->EditorWidget(), Qt::Key_Tab);
    EXPECT_FALSE(grid->Editing());
    EXPECT_EQ(grid->model().Cells(1, 4), u"tab"_s);
    EXPECT_FALSE(grid->hasFocus()) << "Tab moved the focus on";

    // Enter in the editor gives it back to the grid.
    grid->setFocus();
    QTest::keyClicks(grid, u"enter"_s);
    QTest::keyClick(grid->EditorWidget(), Qt::Key_Return);
    EXPECT_TRUE(grid->hasFocus());
}

TEST_F(SettingsGridTest, AnOpenEditCommitsToItsOwnRowWhenTheRowsMove)
{
    GridModel &model = grid->model();
    for (int row = 1; row < model.RowCount(); ++row)
        model.SetCells(4, row, row % 2 ? u"odd"_s : u"even"_s);
    ASSERT_TRUE(grid->SetCurrentCell(1, 6));
    QTest::keyClicks(grid, u"edited"_s);
    ASSERT_TRUE(grid->Editing());

    // Only the odd rows stay: row 6 moves away and row 11 takes its place.
    TFilterData &odd = model.Filter().Add();
    odd.Column = 4;
    odd.Condition = u"odd"_s;
    model.SetFilterActive(true);
    EXPECT_FALSE(grid->Editing());
    EXPECT_EQ(model.Cells(1, 6), u"value 11"_s) << "the row now there is untouched";
    model.SetFilterActive(false);
    EXPECT_EQ(model.Cells(1, 6), u"edited"_s);
    EXPECT_EQ(model.Cells(1, 11), u"value 11"_s);

    // A shrinking grid and a new load end the edit the same way.
    ASSERT_TRUE(grid->SetCurrentCell(1, 150));
    QTest::keyClicks(grid, u"gone"_s);
    model.SetRowCount(100);
    EXPECT_FALSE(grid->Editing());
    EXPECT_EQ(model.RowCount(), 100);
}

TEST_F(SettingsGridTest, TheEditorTakesTheColourTheCellIsGivenAndItsRowsName)
{
    grid->model().SetCells(0, 2, u"<b>Skin</b>Name"_s);
    ASSERT_TRUE(grid->SetCurrentCell(1, 2));
    QTest::keyClicks(grid, u"x"_s);
    ASSERT_TRUE(grid->Editing());
    EXPECT_EQ(grid->EditorWidget()->palette().color(QPalette::Base), Yellow);
    // What a screen reader announces: the row's name as shown, not nothing.
    QAccessibleInterface *editor = QAccessible::queryAccessibleInterface(grid->EditorWidget());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(QAccessible::Name), u"SkinName"_s);
}

TEST_F(SettingsGridTest, TheCurrentCellIsFramedInDotsOnlyWhileTheGridHasTheFocus)
{
    // The current cell is drawn in the grid's own colours, black on white.
    ASSERT_TRUE(grid->SetCurrentCell(1, 2));
    const QRect cell = grid->CellRect(1, 2);
    const auto frameDots = [&] {
        const QImage image = grid->viewport()->grab().toImage();
        int dots = 0;
        int between = 0;
        for (int x = cell.left(); x < cell.right(); ++x) {
            const QColor pixel = image.pixelColor(x, cell.top());
            dots += pixel == QColor(Qt::black);
            between += pixel == QColor(Qt::white);
        }
        return std::pair{dots, between};
    };
    ASSERT_TRUE(grid->hasFocus());
    const auto [dots, between] = frameDots();
    EXPECT_NEAR(dots, cell.width() / 2, 1) << "every other pixel of the top edge";
    EXPECT_NEAR(between, cell.width() / 2, 1) << "the cell's own colour between the dots";

    other->setFocus();
    EXPECT_EQ(frameDots().first, 0);
    ASSERT_TRUE(grid->SetCurrentCell(1, 3)); // moved without the focus: no frame either
    EXPECT_EQ(frameDots().first, 0);
}

TEST_F(SettingsGridTest, AScreenReaderReadsATableOfTheCellsAsShownAndTheCurrentOneFocused)
{
    GridModel &model = grid->model();
    model.SetCells(1, 0, u"<b>Value</b>"_s);
    model.SetCells(1, 3, u"<font color=clRed>red</font> text"_s);
    model.SetCheckBox(1, 4, true);
    grid->OnCanEditCell = [](TSettingsGrid *, int row, int, bool &canEdit) {
        canEdit = row != 5;
    };
    QAccessibleInterface *read = QAccessible::queryAccessibleInterface(grid);
    ASSERT_NE(read, nullptr);
    QAccessibleTableInterface *table = read->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(read->role(), QAccessible::Table);
    EXPECT_EQ(table->rowCount(), model.RowCount() - 1) << "the header row is no row of cells";
    EXPECT_EQ(table->columnCount(), model.ColCount());
    EXPECT_EQ(table->columnDescription(1), u"Value"_s);
    EXPECT_EQ(table->cellAt(0, 1)->text(QAccessible::Name), u"value 1"_s);
    EXPECT_EQ(table->cellAt(2, 1)->text(QAccessible::Name), u"red text"_s) << "as shown";
    EXPECT_EQ(read->indexOfChild(table->cellAt(2, 1)), 2 * model.ColCount() + 1);
    EXPECT_TRUE(table->cellAt(4, 1)->state().readOnly);
    EXPECT_FALSE(table->cellAt(2, 1)->state().readOnly);
    QAccessibleInterface *box = table->cellAt(3, 1);
    EXPECT_EQ(box->role(), QAccessible::CheckBox);
    EXPECT_TRUE(box->state().checked);

    // The current cell, as the keys move it, is the focused child. (The
    // events a listening screen reader is sent need a platform that has
    // accessibility; the headless one has none.)
    ASSERT_TRUE(grid->SetCurrentCell(1, 4));
    EXPECT_EQ(read->focusChild(), box);
    QTest::keyClick(grid, Qt::Key_Space);
    EXPECT_FALSE(box->state().checked) << "the state follows a toggle";
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(read->focusChild(), table->cellAt(4, 1));
    EXPECT_TRUE(read->focusChild()->state().focused);
}
