#include "gridmodel.h"
#include "mutation.h"
#include "printers.h"

#include "gridfilecheck.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray lines(std::initializer_list<const char *> list)
{
    QByteArray out;
    for (const char *line : list)
        out += QByteArray(line) + "\r\n";
    return out;
}

class GridLoaderTest : public testing::Test
{
protected:
    void load(const QByteArray &data) { grid.LoadGridData(data, u"test.txt"_s); }

    GridModel grid;
};

struct CountsCase
{
    const char *line;
    int cols;
    int rows;
};

class GridCountsTest : public testing::TestWithParam<CountsCase>
{
};

} // namespace

TEST_P(GridCountsTest, TheFirstLineSetsTheCounts)
{
    GridModel grid;
    grid.LoadGridData(QByteArray(GetParam().line) + "\r\n", u"counts"_s);
    EXPECT_EQ(grid.ColCount(), GetParam().cols);
    EXPECT_EQ(grid.RowCount(), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(Lines, GridCountsTest,
                         testing::Values(CountsCase{"6,37", 6, 37}, CountsCase{"0,0", 1, 1},
                                         CountsCase{"6,0", 6, 1}, CountsCase{"$A,0x10", 10, 16},
                                         CountsCase{" 3 , 4", 3, 4}, CountsCase{"7", 7, 1},
                                         CountsCase{"-5,x", 1, 1}, CountsCase{"2,3rows", 2, 3}));

TEST(GridNumberTest, ReadsLikeTheLoaderRule)
{
    EXPECT_EQ(gridNumber(u""), 0);
    EXPECT_EQ(gridNumber(u"  42abc"), 42);
    EXPECT_EQ(gridNumber(u"+7"), 7);
    EXPECT_EQ(gridNumber(u"-12"), -12);
    EXPECT_EQ(gridNumber(u"$1F"), 31);
    EXPECT_EQ(gridNumber(u"0x1f"), 31);
    EXPECT_EQ(gridNumber(u"X10"), 16);
    EXPECT_EQ(gridNumber(u"-$10"), -16);
    EXPECT_EQ(gridNumber(u"0x"), 0);
    EXPECT_EQ(gridNumber(u"99999999999999"), INT_MAX);
    EXPECT_EQ(gridNumber(u"-99999999999999"), INT_MIN);
}

TEST_F(GridLoaderTest, ZeroRowsLowerTheFixedRows)
{
    load(lines({"6,0"}));
    EXPECT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.FixedRows(), 0);
}

TEST_F(GridLoaderTest, CountsNotIncludingTheFixedRowsAreRaised)
{
    grid.SetCountsIncludeFixed(false);
    grid.SetFixedCols(1);
    load(lines({"6,37"}));
    EXPECT_EQ(grid.ColCount(), 7);
    EXPECT_EQ(grid.RowCount(), 38);
}

TEST_F(GridLoaderTest, ColumnWidthLines)
{
    load(lines({"6,3", "cw 4,432", "cw 9,100", "cw 0,150", "cw-1,77", "cwx2,55", "cw 3"}));
    EXPECT_EQ(grid.ColWidths(4), 432);
    EXPECT_EQ(grid.ColWidths(0), 3) << "no comma: column 0, the rest is the width";
    EXPECT_EQ(grid.ColWidths(2), 55) << "the third character is skipped whatever it is";
    EXPECT_EQ(grid.ColWidths(5), GridModel::DefaultColWidthValue);
}

TEST_F(GridLoaderTest, CellLines)
{
    load(lines({"6,37", "3,12,one, two, three", "0,1,\"quoted\"", "7,1,outside", "1,37,outside",
                "-1,2,negative", "2,-3,negative", "nocomma", "5,onecomma"}));
    EXPECT_EQ(grid.Cells(3, 12), u"one, two, three"_s);
    EXPECT_EQ(grid.Cells(0, 1), u"\"quoted\""_s);
    EXPECT_EQ(grid.Cells(1, 36), QString());
    EXPECT_EQ(grid.Cells(0, 0), u"nocomma"_s) << "no comma: column 0, row 0, the whole line";
    EXPECT_EQ(grid.Cells(5, 0), u"onecomma"_s);
    EXPECT_EQ(grid.Cells(0, 2), QString());
}

TEST_F(GridLoaderTest, LineBreaksInsideCells)
{
    load(
        lines({"4,2", "0,1,first\t\x08second", "1,1,a\tb", "2,1,\t\t\x08\x08", "3,1,win\x80\xe8"}));
    EXPECT_EQ(grid.Cells(0, 1), u"first\r\nsecond"_s);
    EXPECT_EQ(grid.Cells(1, 1), u"a\tb"_s) << "tabs stay without a 0x08";
    EXPECT_EQ(grid.Cells(2, 1), u"\r\r\n\n"_s);
    EXPECT_EQ(grid.Cells(3, 1), u"win€è"_s) << "Windows-1252";

    grid.SetMultilinecells(false);
    load(lines({"4,2", "0,1,first\t\x08second"}));
    EXPECT_EQ(grid.Cells(0, 1), u"first"_s);
}

TEST_F(GridLoaderTest, LfOnlyLineEndsAndAMissingLastLineEnd)
{
    load("3,2\n0,1,a\r\n1,1,b\n2,1,c");
    EXPECT_EQ(grid.Cells(0, 1), u"a"_s);
    EXPECT_EQ(grid.Cells(1, 1), u"b"_s);
    EXPECT_EQ(grid.Cells(2, 1), u"c"_s);
}

TEST_F(GridLoaderTest, LoadingReplacesOnlyWhatTheFileNames)
{
    load(lines({"3,3", "0,1,kept", "1,1,old"}));
    load(lines({"3,3", "1,1,new"}));
    EXPECT_EQ(grid.Cells(0, 1), u"kept"_s);
    EXPECT_EQ(grid.Cells(1, 1), u"new"_s);

    load(QByteArray());
    EXPECT_EQ(grid.ColCount(), 3);
    EXPECT_EQ(grid.Cells(1, 1), u"new"_s);
    load("\r\n1,1,after an empty first line\r\n");
    EXPECT_EQ(grid.RowCount(), 3);
    EXPECT_EQ(grid.Cells(1, 1), u"after an empty first line"_s);
}

TEST_F(GridLoaderTest, HugeCountsAreRefusedAndChangeNothing)
{
    load(lines({"6,5", "1,1,before"}));
    try {
        load(lines({"6,2000000000", "1,1,after"}));
        FAIL() << "loaded";
    } catch (const EGridError &error) {
        EXPECT_STREQ(
            error.what(),
            "Cannot load file test.txt: 6 columns by 2000000000 rows is more than 1000000 cells");
    }
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(grid.Cells(1, 1), u"before"_s);
    EXPECT_NO_THROW(load(lines({"1000,1000"})));
    EXPECT_THROW(load(lines({"1001,1000"})), EGridError);
}

TEST_F(GridLoaderTest, FilesThatCannotBeOpenedOrRead)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(u"DATA/GENERAL_ENG.TXT"_s);
    try {
        grid.LoadGridFile(missing);
        FAIL() << "loaded";
    } catch (const EGridError &error) {
        EXPECT_EQ(QString::fromUtf8(error.what()), u"Cannot open file "_s + missing);
    }
    EXPECT_THROW(grid.LoadGridFile(dir.path()), EGridError) << "a folder";
    EXPECT_EQ(grid.RowCount(), 5);
}

TEST_F(GridLoaderTest, HostileContentEndsSanely)
{
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary.append(static_cast<char>((i * 7919) % 256));
    EXPECT_NO_THROW(load(binary));
    EXPECT_LE(qint64(grid.ColCount()) * grid.RowCount(), GridModel::MaxCells);

    const QByteArray longText(20 * 1024 * 1024, 'x');
    load("2,2\r\n1,1," + longText + "\r\n");
    EXPECT_EQ(grid.Cells(1, 1).size(), longText.size());
}

TEST(GridFileRandomTest, RandomInputsNeverBreakTheLoader)
{
    QFile list(QString::fromUtf8(ORDEVAN_DATA_DIR) + u"/GENERAL_ITA.TXT"_s);
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    const QByteArray seed = list.readAll();
    QRandomGenerator random(20261208);
    QElapsedTimer clock;
    clock.start();
    int runs = 0;
    for (; runs < 3000 && clock.elapsed() < 3000; ++runs) {
        const QByteArray input = mutatedInput(seed, random, ",\r\n\t\x08-$x0123456789");
        checkGridFileInput(input);
    }
    EXPECT_GT(runs, 300);
}
