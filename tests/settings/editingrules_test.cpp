#include "editingrules.h"
#include "gridmodel.h"
#include "printers.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

GridModel rowOf(const QString &name, const QString &value, const QString &type,
                const QString &tag = {})
{
    GridModel grid;
    grid.SetColCount(6);
    grid.SetRowCount(2);
    grid.SetCells(0, 1, u"<b>"_s + name + u"</b>"_s);
    grid.SetCells(1, 1, value);
    grid.SetCells(2, 1, type);
    grid.SetCells(4, 1, tag);
    return grid;
}

TEditorType editorFor(GridModel &grid, int col = 1)
{
    TEditorType editor = edNormal;
    chooseSettingEditor(grid, col, 1, editor);
    return editor;
}

} // namespace

TEST(EditingRulesTest, OnlyValueCellsOfSettingRowsThatWereReadEdit)
{
    GridModel grid = rowOf(u"X_Name"_s, u"1"_s, u"VALORE"_s);
    grid.SetRowCount(21);
    EXPECT_TRUE(canEditSettingCell(grid, 1, 1));
    EXPECT_TRUE(canEditSettingCell(grid, 20, 1));
    EXPECT_FALSE(canEditSettingCell(grid, 0, 1));
    for (int col : {0, 2, 3, 4, 5})
        EXPECT_FALSE(canEditSettingCell(grid, 3, col));
    for (const QString &marker :
         {u"Not available (read error)"_s, u"Non disponibile (errore in lettura)"_s}) {
        grid.SetCells(1, 1, marker);
        EXPECT_FALSE(canEditSettingCell(grid, 1, 1)) << "nor is its check box toggled";
    }
    EXPECT_FALSE(isFixedSettingCell(3, 1));
    EXPECT_TRUE(isFixedSettingCell(0, 1));
    EXPECT_TRUE(isFixedSettingCell(3, 0));
    EXPECT_TRUE(isFixedSettingCell(3, 3));
}

TEST(EditingRulesTest, EditorsByTypeWord)
{
    const struct
    {
        const char16_t *type;
        TEditorType editor;
        int max;
    } cases[]
        = {{u"PUNTI", edSpinEdit, 1280}, {u"pixels", edSpinEdit, 1280}, {u"%", edSpinEdit, 100},
           {u"MBYTE", edSpinEdit, 8848}, {u"MB*2.5", edSpinEdit, 3569}, {u"TESTO", edEditBtn, -1},
           {u"String", edEditBtn, -1},   {u"VALORE", edNormal, -1},     {u"Si/No", edNormal, -1},
           {u"BOOL", edNormal, -1},      {u"COLOUR", edNormal, -1}};
    for (const auto &c : cases) {
        GridModel grid = rowOf(u"X_Name"_s, u"1"_s, QString::fromUtf16(c.type));
        grid.SpinEdit().MaxValue = -1;
        EXPECT_EQ(editorFor(grid), c.editor) << QString::fromUtf16(c.type).toStdString();
        EXPECT_EQ(grid.SpinEdit().MaxValue, c.max);
    }
    GridModel grid = rowOf(u"X_Name"_s, u"1"_s, u"TESTO"_s);
    EXPECT_EQ(editorFor(grid, 3), edNormal) << "other columns keep the grid's proposal";
    for (const QString &marker :
         {u"Not available (read error)"_s, u"Non disponibile (errore in lettura)"_s}) {
        GridModel error = rowOf(u"X_Name"_s, marker, u"MBYTE"_s);
        EXPECT_EQ(editorFor(error), edNone);
    }
}

TEST(EditingRulesTest, ListSettingsOfferTheirItems)
{
    GridModel grid = rowOf(u"writemethod"_s, u"dwmTAO"_s, u"LISTA"_s);
    EXPECT_EQ(editorFor(grid), edComboList);
    EXPECT_EQ(grid.Combo().Items,
              (QStringList{u"dwmAutomatic"_s, u"dwmTAO"_s, u"dwmDAO"_s, u"dwmRAW"_s,
                           u"dwmRestrictedOVR"_s}));
    EXPECT_TRUE(grid.Combo().Sorted);
    GridModel other = rowOf(u"Unknown"_s, u"x"_s, u"LIST"_s);
    other.Combo().Items = {u"stale"_s};
    EXPECT_EQ(editorFor(other), edComboList);
    EXPECT_TRUE(other.Combo().Items.isEmpty());
    EXPECT_EQ(listSettingItems(u"DvdReductionMethod"_s).size(), 6);
}

TEST(EditingRulesTest, ColourRule)
{
    const QColor versionYellow(255, 255, 200), standard(248, 240, 240);
    auto look = [](const GridModel &grid, int row, int col, Release release) {
        CellLook l{QColor(1, 1, 1), QFont(), QColor(2, 2, 2), QColor()};
        settingCellColours(grid, row, col, release, l);
        return l;
    };
    const GridModel tagged = rowOf(u"A_B"_s, u"1"_s, u"MBYTE"_s, u"8v3"_s);
    EXPECT_EQ(look(tagged, 1, 0, Release::R803).background, versionYellow);
    EXPECT_EQ(look(tagged, 1, 0, Release::R800).background, standard);
    EXPECT_EQ(look(rowOf(u"A_B"_s, u"1"_s, u"x"_s, u"8V3"_s), 1, 0, Release::R803).background,
              standard);
    EXPECT_EQ(look(rowOf(u"A_B"_s, u"1"_s, u"x"_s, u"8v0"_s), 1, 0, Release::R800).background,
              versionYellow);

    const CellLook value = look(tagged, 1, 1, Release::R803);
    EXPECT_EQ(value.background, QColor(255, 255, 255));
    EXPECT_EQ(value.textColor, QColor(0, 0, 0));
    const CellLook error
        = look(rowOf(u"A_B"_s, u"typed read Error"_s, u"x"_s), 1, 1, Release::R803);
    EXPECT_EQ(error.background, QColor(255, 0, 0));
    EXPECT_EQ(error.textColor, QColor(255, 255, 255));
    EXPECT_TRUE(error.font.bold());

    EXPECT_EQ(look(tagged, 1, 2, Release::R803).background, QColor(240, 248, 240));
    const CellLook description = look(tagged, 1, 3, Release::R803);
    EXPECT_EQ(description.background, QColor(240, 240, 240));
    EXPECT_EQ(description.textColor, QColor(0, 0, 160));
    EXPECT_EQ(look(tagged, 1, 4, Release::R803).background, QColor(1, 1, 1))
        << "column 4 untouched";
    EXPECT_EQ(look(tagged, 0, 0, Release::R803).background, QColor(1, 1, 1)) << "header untouched";
}
