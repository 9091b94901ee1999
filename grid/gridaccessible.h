#pragma once

// What assistive technology (a screen reader, through Qt's accessibility)
// reads of a settings grid: a table of the rows as shown, the fixed rows
// being its column headers, each cell named by its text as shown, without
// markup. A cell with a check box is a check box, checked or not; a cell
// that cannot be edited is read-only; the current cell is the focused one
// while the grid has the focus.

#include <QAccessible>

class QObject;
class QString;
class TSettingsGrid;

// Qt's factory for the grids; installed by the first grid made.
QAccessibleInterface *settingsGridAccessible(const QString &className, QObject *object);

// The index, among the table's children, of the cell at the model's `col`
// and `row`; -1 for a fixed row, which is a header, not a cell.
int accessibleCellIndex(const TSettingsGrid &grid, int col, int row);
