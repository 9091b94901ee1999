#pragma once

// Types the grid shares with the pages that handle its events.

#include <QColor>
#include <QFont>

// Editor kinds, with the values the grid's events use. The settings grids use
// edNormal, edSpinEdit, edComboList, edEditBtn and edNone.
enum TEditorType {
    edNormal,
    edSpinEdit,
    edComboEdit,
    edComboList,
    edEditBtn,
    edCheckBox,
    edDateEdit,
    edDateEditUpDown,
    edTimeEdit,
    edButton,
    edDataCheckBox,
    edNumeric,
    edPositiveNumeric,
    edFloat,
    edCapital,
    edMixedCase,
    edPassword,
    edUnitEditBtn,
    edLowerCase,
    edUpperCase,
    edFloatSpinEdit,
    edTimeSpinEdit,
    edDateSpinEdit,
    edNumericEditBtn,
    edFloatEditBtn,
    edCustom,
    edRichEdit,
    edNone,
    edUniEdit,
    edUniComboEdit,
    edUniComboList,
    edUniEditBtn,
    edUniMemo
};

enum TGridDrawStateFlag { gdSelected = 1, gdFocused = 2, gdFixed = 4 };
using TGridDrawState = int;

// A cell's background and font as the grid is about to draw it; the colour
// event may change both, and may mark the cell with a small triangle in its
// top right corner.
struct CellLook
{
    QColor background;
    QFont font;
    QColor textColor;
    QColor cornerMark; // none while invalid
};
