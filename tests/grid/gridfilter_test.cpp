#include "gridmodel.h"
#include "printers.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

struct MatchCase
{
    const char16_t *pattern;
    const char16_t *text;
    bool caseSensitive;
    bool matches;
};

void PrintTo(const MatchCase &c, std::ostream *out)
{
    *out << QString::fromUtf16(c.pattern).toStdString() << " ~ "
         << QString::fromUtf16(c.text).toStdString();
}

class MatchConditionTest : public testing::TestWithParam<MatchCase>
{
};

} // namespace

TEST_P(MatchConditionTest, Matches)
{
    const MatchCase &c = GetParam();
    EXPECT_EQ(MatchCondition(QStringView(c.pattern), QStringView(c.text), c.caseSensitive),
              c.matches);
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, MatchConditionTest,
    testing::Values(
        // Negation, the way the pages use it.
        MatchCase{u"!8v0", u"8v0", true, false}, MatchCase{u"!8v0", u"", true, true},
        MatchCase{u"!8v0", u"8V0", true, true}, MatchCase{u"!8v0", u"8v0 ", true, true},
        MatchCase{u"!8v0", u"8v3", true, true}, MatchCase{u"!8v0", u"8V0", false, false},
        // Whole-text literals, blanks and "=".
        MatchCase{u"abc", u"abcd", true, false}, MatchCase{u" a b c ", u"abc", true, true},
        MatchCase{u"=abc", u"abc", true, true}, MatchCase{u"\"a b\"", u"a b", true, true},
        MatchCase{u"", u"", true, true}, MatchCase{u"", u"x", true, false},
        // Wildcards.
        MatchCase{u"*", u"", true, true}, MatchCase{u"a*", u"abc", true, true},
        MatchCase{u"*c", u"abc", true, true}, MatchCase{u"a*c", u"ac", true, true},
        MatchCase{u"a**c", u"abbbc", true, true}, MatchCase{u"a*b*c", u"acb", true, false},
        MatchCase{u"?", u"", true, false}, MatchCase{u"a?c", u"abc", true, true},
        MatchCase{u"a?c", u"ac", true, false},
        MatchCase{u"*a*a*a*b", u"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", true, false},
        // Escapes and quotes.
        MatchCase{u"a\\*", u"a*", true, true}, MatchCase{u"a\\*", u"ab", true, false},
        MatchCase{u"\\!x", u"!x", true, true}, MatchCase{u"\"a&b\"", u"a&b", true, true},
        MatchCase{u"\"*\"", u"anything", true, true},
        // Separators: & and, ; ^ | or, left to right.
        MatchCase{u"a*&*b", u"axb", true, true}, MatchCase{u"a*&*b", u"axc", true, false},
        MatchCase{u"x;y", u"y", true, true}, MatchCase{u"x|y", u"x", true, true},
        MatchCase{u"x^y", u"y", true, true}, MatchCase{u"!x&!y", u"z", true, true},
        MatchCase{u"!x&!y", u"y", true, false}, MatchCase{u"x|y&z", u"x", true, false},
        // Case.
        MatchCase{u"ABC", u"abc", true, false}, MatchCase{u"ABC", u"abc", false, true},
        MatchCase{u"a*Z", u"AbZ", false, true}));

namespace {

// Rows 1 to 6 tagged in column 4; each row's height and check box tell it apart.
class GridFilterTest : public testing::Test
{
protected:
    void SetUp() override
    {
        grid.SetColCount(5);
        grid.SetRowCount(7);
        const QStringList tags = {u""_s, u"8v0"_s, u"8v3"_s, u"8V0"_s, u"8v0 "_s, u"8v0"_s};
        for (int row = 1; row <= 6; ++row) {
            grid.SetCells(0, row, u"row %1"_s.arg(row));
            grid.SetCells(4, row, tags[row - 1]);
            grid.SetRowHeights(row, 20 + row);
            grid.SetCheckBox(1, row, row % 2 == 0);
        }
    }

    QStringList shownRows() const
    {
        QStringList out;
        for (int row = 1; row < grid.RowCount(); ++row)
            out.append(grid.Cells(0, row));
        return out;
    }

    TFilterData &condition(const QString &pattern, int column = 4)
    {
        TFilterData &data = grid.Filter().Add();
        data.Column = static_cast<qint16>(column);
        data.Condition = pattern;
        return data;
    }

    GridModel grid;
};

} // namespace

TEST_F(GridFilterTest, HidesTheOtherReleaseAndRestoresRowsInPlace)
{
    condition(u"!8v0"_s);
    grid.SetFilterActive(true);
    EXPECT_EQ(shownRows(), (QStringList{u"row 1"_s, u"row 3"_s, u"row 4"_s, u"row 5"_s}));
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(grid.RowHeights(2), 23) << "shown rows move up with their heights";
    ASSERT_EQ(grid.HiddenRows().size(), 2);
    EXPECT_EQ(grid.HiddenRows()[0].Idx, 2);
    EXPECT_EQ(grid.HiddenRows()[1].Idx, 6);

    grid.SetFilterActive(false);
    EXPECT_EQ(grid.RowCount(), 7);
    for (int row = 1; row <= 6; ++row) {
        EXPECT_EQ(grid.Cells(0, row), u"row %1"_s.arg(row));
        EXPECT_EQ(grid.RowHeights(row), 20 + row);
        EXPECT_EQ(grid.CheckBox(1, row), row % 2 == 0);
    }
    EXPECT_TRUE(grid.HiddenRows().isEmpty());
}

TEST_F(GridFilterTest, ANoOpSwitchOnlyRefreshes)
{
    condition(u"!8v0"_s);
    grid.SetFilterActive(false);
    EXPECT_EQ(grid.RowCount(), 7);
    grid.SetFilterActive(true);
    grid.SetFilterActive(true);
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(grid.HiddenRows().size(), 2);
}

TEST_F(GridFilterTest, NoConditionsHideNothing)
{
    grid.SetFilterActive(true);
    EXPECT_EQ(grid.RowCount(), 7);
}

TEST_F(GridFilterTest, HidingEveryRowKeepsTheHeaderAndRestoresTheFixedRows)
{
    condition(u"nothing matches this"_s);
    grid.SetFilterActive(true);
    EXPECT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.FixedRows(), 0);
    grid.SetFilterActive(false);
    EXPECT_EQ(grid.RowCount(), 7);
    EXPECT_EQ(grid.FixedRows(), 1);
}

TEST_F(GridFilterTest, OperationsJoinConditionsInOrder)
{
    // Blanks count only inside quotes, so the third piece is "!8v0" again.
    condition(u"!8v0&!8V0&!8v0 "_s).Operation = foSHORT;
    condition(u"\"row 1\"|\"row 3\"|row 5"_s, 0).Operation = foAND;
    grid.SetFilterActive(true);
    EXPECT_EQ(shownRows(), (QStringList{u"row 1"_s, u"row 3"_s}));
    grid.SetFilterActive(false);

    grid.Filter().Clear();
    condition(u"8v0"_s).Operation = foNONE;
    condition(u"\"row 1\""_s, 0).Operation = foOR;
    condition(u"\"row 6\""_s, 0).Operation = foXOR;
    grid.SetFilterActive(true);
    EXPECT_EQ(shownRows(), (QStringList{u"row 1"_s, u"row 2"_s}));
}

TEST_F(GridFilterTest, PrefixSuffixAndTagFreeText)
{
    grid.SetCells(3, 1, u"<b>keep</b>"_s);
    grid.SetCells(3, 2, u"[keep]"_s);
    TFilterData &tagFree = condition(u"keep|[keep]"_s, 3);
    tagFree.Data = fcStripHTML;
    grid.SetFilterActive(true);
    EXPECT_EQ(shownRows(), (QStringList{u"row 1"_s, u"row 2"_s}));
    grid.SetFilterActive(false);

    grid.Filter().Clear();
    TFilterData &trimmed = condition(u"keep"_s, 3);
    trimmed.Prefix = u"["_s;
    trimmed.Suffix = u"]"_s;
    grid.SetFilterActive(true);
    EXPECT_EQ(shownRows(), (QStringList{u"row 2"_s}));
}

TEST(GridModelTest, HeightsFollowTheDefaultAndFixedRules)
{
    GridModel grid;
    grid.SetRowCount(4);
    grid.SetRowHeights(2, 80);
    grid.SetFixedRowHeight(10);
    EXPECT_EQ(grid.RowHeights(0), 10);
    EXPECT_EQ(grid.RowHeights(2), 80);
    grid.SetDefaultRowHeight(47);
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(grid.RowHeights(row), 47);
    grid.SetRowCount(6);
    EXPECT_EQ(grid.RowHeights(5), 47);
}

TEST(GridModelTest, CellsChecksAndBounds)
{
    GridModel grid;
    grid.SetCells(1, 1, u"text"_s);
    grid.SetCheckBox(1, 1, true);
    grid.SetCells(9, 1, u"outside"_s);
    grid.SetCheckBox(1, 9, true);
    EXPECT_EQ(grid.Cells(9, 1), QString());
    EXPECT_EQ(grid.Cells(-1, -1), QString());
    EXPECT_EQ(grid.CheckBox(1, 9), std::nullopt);

    grid.ClearCells();
    EXPECT_EQ(grid.Cells(1, 1), QString());
    EXPECT_EQ(grid.CheckBox(1, 1), true) << "the check box is not text";
    grid.SetCheckBox(1, 1, false);
    EXPECT_EQ(grid.CheckBox(1, 1), false);

    grid.FocusCell(2, 3);
    EXPECT_EQ(grid.Col(), 2);
    EXPECT_EQ(grid.Row(), 3);
    grid.FocusCell(20, 3);
    EXPECT_EQ(grid.Col(), 2);

    grid.SetColCount(2);
    grid.SetColCount(5);
    EXPECT_EQ(grid.Cells(1, 1), QString()) << "a column that went away comes back empty";
}

namespace {

class RecordingView : public GridView
{
public:
    bool shown = true;
    QList<bool> redraws;
    bool isShown() const override { return shown; }
    void setRedraw(bool on) override { redraws.append(on); }
    void gridChanged(bool, int, int) override { }
    void loadProgress() override { ++progress; }
    int progress = 0;
};

} // namespace

TEST(GridModelTest, BatchUpdatesNestAndIgnoreHiddenGrids)
{
    GridModel grid;
    RecordingView view;
    grid.setView(&view);
    grid.BeginGridUpdate();
    grid.BeginGridUpdate();
    grid.EndGridUpdate();
    EXPECT_EQ(grid.UpdateCount(), 1);
    EXPECT_EQ(view.redraws, (QList<bool>{false, false}));
    grid.EndGridUpdate();
    grid.EndGridUpdate();
    EXPECT_EQ(grid.UpdateCount(), 0);
    EXPECT_EQ(view.redraws.last(), true);

    view.shown = false;
    grid.BeginGridUpdate();
    EXPECT_EQ(grid.UpdateCount(), 0);

    view.shown = true;
    grid.LoadGridData("3,3\r\ncw 1,5\r\n0,1,a\r\n1,1,b\r\n", u"x"_s);
    EXPECT_EQ(view.progress, 2) << "after each cell line, not after width lines";
    grid.setView(nullptr);
}
