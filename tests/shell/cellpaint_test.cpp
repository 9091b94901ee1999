#include "mainformtesting.h"
#include "memoryregistrystore.h"
#include "printers.h"
#include "settingsgrid.h"
#include "wincolors.h"

#include <QImage>
#include <QRadioButton>
#include <QScrollBar>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr QRgb BtnFace = qRgb(212, 208, 200);
constexpr QRgb VersionYellow = qRgb(255, 255, 200);
constexpr QRgb Standard = qRgb(248, 240, 240);
constexpr QRgb TypeTint = qRgb(240, 248, 240);
constexpr QRgb DescriptionGrey = qRgb(240, 240, 240);
constexpr QRgb White = qRgb(255, 255, 255);
constexpr QRgb Red = qRgb(255, 0, 0);

class CellPaintTest : public MainFormTest
{
protected:
    void SetUp() override
    {
        useMemoryStore();
        start().show();
        grid = control<TSettingsGrid>(*form, "GridGenerale");
    }

    QImage render() { return grid->viewport()->grab().toImage(); }
    static QRgb at(const QImage &image, const QPoint &p) { return image.pixel(p) | 0xFF000000; }

    // Pixels of `rect` in `image` matching `test`.
    template<typename Test>
    static int count(const QImage &image, const QRect &rect, Test test)
    {
        int n = 0;
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
                n += test(image.pixelColor(x, y));
        return n;
    }

    int rowTagged(const QString &tag)
    {
        for (int row = 1; row < grid->model().RowCount(); ++row) {
            if (grid->model().Cells(4, row) == tag && grid->model().Cells(0, row).size() > 7)
                return row;
        }
        return -1;
    }

    TSettingsGrid *grid = nullptr;
};

} // namespace

TEST_F(CellPaintTest, TheHeaderOfTheCurrentColumnIsActive)
{
    ASSERT_TRUE(grid->SetCurrentCell(1, 3));
    const QImage image = render();
    const QRect value = grid->CellRect(1, 0);
    const QRect name = grid->CellRect(0, 0);
    EXPECT_EQ(at(image, value.topLeft() + QPoint(3, 30)), BtnFace);
    auto black = [](const QColor &c) {
        return c.red() < 60 && c.green() < 60 && c.blue() < 60;
    };
    auto maroon = [](const QColor &c) {
        return c.red() > 90 && c.green() < 60 && c.blue() < 60;
    };
    // The first line's text, above the black rule that every header has.
    const QRect valueText(value.left() + 1, value.top() + 1, value.width() - 3, 11);
    const QRect nameText(name.left() + 1, name.top() + 1, name.width() - 3, 11);
    EXPECT_GT(count(image, valueText, black), 20);
    EXPECT_EQ(count(image, valueText, maroon), 0);
    EXPECT_GT(count(image, nameText, maroon), 20);
    EXPECT_EQ(count(image, nameText, black), 0);

    // Another current row keeps the same header active.
    ASSERT_TRUE(grid->SetCurrentCell(1, 5));
    EXPECT_GT(count(render(), valueText, black), 20);
}

TEST_F(CellPaintTest, NameCellsByReleaseTypeAndDescriptionTints)
{
    const int versioned = rowTagged(u"8v3"_s);
    const int untagged = rowTagged(QString());
    ASSERT_GT(versioned, 0);
    ASSERT_GT(untagged, 0);
    const QImage image = render();
    EXPECT_EQ(at(image, grid->CellRect(0, versioned).bottomRight() - QPoint(4, 4)), VersionYellow);
    EXPECT_EQ(at(image, grid->CellRect(0, untagged).bottomRight() - QPoint(4, 4)), Standard);
    EXPECT_EQ(at(image, grid->CellRect(2, untagged).bottomRight() - QPoint(4, 4)), TypeTint);

    const QRect description = grid->CellRect(3, untagged);
    EXPECT_EQ(at(image, description.bottomRight() - QPoint(6, 4)), DescriptionGrey);
    auto darkBlue = [](const QColor &c) {
        return c.blue() > 100 && c.red() < 80 && c.green() < 80;
    };
    EXPECT_GT(count(image, description, darkBlue), 20);
    // The soft edges: white top and left, the fixed colour halved at bottom
    // and right, not the grey the description was tinted.
    const QColor face = sysColor(clBtnFace);
    const QRgb dark = qRgb(face.red() / 2, face.green() / 2, face.blue() / 2);
    EXPECT_NE(dark, qRgb(120, 120, 120));
    EXPECT_EQ(at(image, description.topLeft() + QPoint(10, 0)), White);
    EXPECT_EQ(at(image, description.topLeft() + QPoint(0, 10)), White);
    EXPECT_EQ(at(image, description.bottomLeft() + QPoint(10, 0)), dark);
    EXPECT_EQ(at(image, description.topRight() + QPoint(0, 10)), dark);

    // Under the other release the other tag is the version-specific one.
    control<QRadioButton>(*form, "Rb8v0")->setChecked(true);
    const int versioned800 = rowTagged(u"8v0"_s);
    EXPECT_EQ(at(render(), grid->CellRect(0, versioned800).bottomRight() - QPoint(4, 4)),
              VersionYellow);
}

TEST_F(CellPaintTest, ErrorCellsAreRedExceptWhileCurrent)
{
    const int row = rowTagged(QString());
    grid->model().SetCells(1, row, u"some READ error here"_s);
    grid->SetCurrentCell(1, row + 1);
    QImage image = render();
    const QRect cell = grid->CellRect(1, row);
    EXPECT_EQ(at(image, cell.bottomRight() - QPoint(4, 4)), Red);
    auto white = [](const QColor &c) {
        return c.red() > 200 && c.green() > 200 && c.blue() > 200;
    };
    EXPECT_GT(count(image, cell.adjusted(1, 1, -2, -2), white), 20) << "white text";

    grid->SetCurrentCell(1, row);
    image = render();
    EXPECT_EQ(at(image, cell.bottomRight() - QPoint(4, 4)), White);
    // No dotted focus rectangle inside the current cell.
    auto dark = [](const QColor &c) {
        return c.red() < 100;
    };
    EXPECT_EQ(count(image, QRect(cell.left() + 1, cell.bottom() - 2, cell.width() - 3, 1), dark),
              0);
    EXPECT_EQ(count(image, QRect(cell.right() - 2, cell.top() + 1, 1, cell.height() - 3), dark), 0);
}
