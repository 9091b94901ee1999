#include "gridfilecheck.h"

#include "gridmodel.h"
#include "invariant.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr Invariants require{"grid file"};

QList<QStringList> snapshot(const GridModel &grid)
{
    QList<QStringList> rows;
    for (int row = 0; row < grid.RowCount(); ++row) {
        QStringList cells;
        for (int col = 0; col < grid.ColCount(); ++col)
            cells.append(grid.Cells(col, row)
                         + (grid.CheckBox(col, row).value_or(false) ? u"+"_s : u""_s));
        rows.append(cells);
    }
    return rows;
}

} // namespace

void checkGridFileInput(const QByteArray &bytes)
{
    GridModel grid;
    try {
        grid.LoadGridData(bytes, u"fuzz"_s);
    } catch (const EGridError &) {
        require(grid.RowCount() == 5 && grid.ColCount() == 5, "a refused load changed the counts");
        return;
    }
    require(grid.ColCount() >= 1 && grid.RowCount() >= 1, "counts below one");
    require(qint64(grid.ColCount()) * grid.RowCount() <= GridModel::MaxCells, "too many cells");

    for (int row = 1; row < grid.RowCount(); ++row)
        grid.SetCheckBox(1, row, row % 3 == 0);
    const auto before = snapshot(grid);
    TFilterData &condition = grid.Filter().Add();
    condition.Column = 4;
    condition.Condition = u"!8v0"_s;
    grid.SetFilterActive(true);
    require(grid.RowCount() + grid.HiddenRows().size() == before.size(), "rows lost by hiding");
    grid.SetFilterActive(false);
    require(snapshot(grid) == before, "rows not restored in place");
}
