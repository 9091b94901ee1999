#include "editingrules.h"

#include "gridmodel.h"
#include "registrymapping.h"
#include "settingrow.h"
#include "text.h"
#include "valuerules.h"
#include "wincolors.h"

#include <optional>

using namespace Qt::Literals::StringLiterals;

bool canEditSettingCell(const GridModel &grid, int row, int col, bool missing)
{
    return col == SettingColumn::Value && row >= 1
        && (missing || !isReadErrorText(grid.Cells(SettingColumn::Value, row)));
}

bool isFixedSettingCell(int row, int col)
{
    return !(col == SettingColumn::Value && row != 0);
}

void chooseSettingEditor(GridModel &grid, int col, int row, TEditorType &editor, bool missing)
{
    if (col != SettingColumn::Value)
        return;
    const SettingRow setting = settingRow(grid, row);
    const QString value = upperAscii(setting.value);
    const QString type = upperAscii(setting.type);
    const QString name = upperAscii(setting.name);

    if (isReadErrorText(value) && !missing) {
        editor = edNone;
    } else if (type == u"TESTO"_s || type == u"STRING"_s) {
        editor = edEditBtn;
    } else if (const auto max = spinMaximum(setting.type)) {
        grid.SpinEdit().MaxValue = *max;
        editor = edSpinEdit;
    } else if (type == u"LISTA"_s || type == u"LIST"_s) {
        grid.Combo().Items = listSettingItems(name);
        grid.Combo().Sorted = true;
        editor = edComboList;
    }
}

QColor editedMarkColour()
{
    // Apart from the release colours (pale yellow and lilac) and from the
    // read errors' red, and dark enough to see on white.
    return fromBgr(0x00D06000);
}

void settingCellColours(const GridModel &grid, int row, int col, Release release, CellLook &look,
                        ValueMarks marks)
{
    if (row < 1)
        return;
    switch (col) {
    case SettingColumn::Name: {
        const QString tag = grid.Cells(SettingColumn::Release, row);
        const bool ofThisRelease = (tag == u"8v3"_s && release == Release::R803)
            || (tag == u"8v0"_s && release == Release::R800);
        look.background = fromBgr(ofThisRelease ? 0x00C8FFFF : 0x00F0F0F8);
        break;
    }
    case SettingColumn::Value:
        if (isReadErrorText(grid.Cells(SettingColumn::Value, row))) {
            look.background = fromBgr(0x000000FF);
            look.textColor = fromBgr(0x00FFFFFF);
            look.font.setBold(true);
        } else {
            look.background = fromBgr(0x00FFFFFF);
            look.textColor = fromBgr(0x00000000);
            look.font.setBold(marks.notDefault);
            look.font.setItalic(marks.edited);
            if (marks.edited)
                look.cornerMark = editedMarkColour();
        }
        break;
    case SettingColumn::Type:
        look.background = fromBgr(0x00F0F8F0);
        break;
    case SettingColumn::Description:
        look.background = fromBgr(0x00F0F0F0);
        look.textColor = fromBgr(0x00A00000);
        break;
    default:
        break;
    }
}
