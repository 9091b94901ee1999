#pragma once

// Which value cells of a settings grid can be edited, with which editor, and
// how each cell is coloured.

#include "gridtypes.h"
#include "settingspages.h"
#include "valuechanges.h"
#include "valuerules.h"

class GridModel;

// Only the value column of the setting rows is edited, and never a value
// that could not be read (it would be written over what the store holds),
// but for one that does not exist yet (`missing`): that can be entered.
bool canEditSettingCell(const GridModel &grid, int row, int col, bool missing = false);
// Every cell but the value cells of the setting rows takes the fixed look.
bool isFixedSettingCell(int row, int col);

// The editor for cell (col, row): spin limits and list items are set on the
// grid's editors on the way. Other columns keep what the grid proposed.
void chooseSettingEditor(GridModel &grid, int col, int row, TEditorType &editor,
                         bool missing = false);

// The colour rule: name cells by release, value cells white (red on read
// errors), type and description tints; the header row is left alone. A
// value that is not its default is bold; one edited and not saved is
// italic, with a blue triangle in its corner.
void settingCellColours(const GridModel &grid, int row, int col, Release release, CellLook &look,
                        ValueMarks marks = {});
// The colour of the edited value's corner mark.
QColor editedMarkColour();
