#include "settingrow.h"

#include "gridmodel.h"
#include "text.h"

#include <QStringList>

#include <array>

using namespace Qt::Literals::StringLiterals;

SettingKind settingKind(const QString &typeWord)
{
    static const QStringList integers
        = {u"VALORE"_s, u"VALUE"_s, u"PUNTI"_s, u"PIXELS"_s, u"MBYTE"_s, u"MB*2.5"_s, u"%"_s};
    static const QStringList texts = {u"TESTO"_s, u"STRING"_s, u"LISTA"_s, u"LIST"_s};
    const QString upper = upperAscii(typeWord);
    if (integers.contains(upper))
        return SettingKind::Integer;
    if (upper == u"SI/NO"_s || upper == u"BOOL"_s)
        return SettingKind::YesNo;
    if (texts.contains(upper))
        return SettingKind::Text;
    return SettingKind::None;
}

std::optional<QString> settingValueName(const GridModel &grid, int row)
{
    // The list files write each name as "<b>Name</b>".
    const QString cell = grid.Cells(SettingColumn::Name, row);
    if (cell.size() <= 7)
        return std::nullopt;
    return cell.mid(3, cell.size() - 7);
}

SettingRow settingRow(const GridModel &grid, int row)
{
    return {settingValueName(grid, row).value_or(QString()), grid.Cells(SettingColumn::Value, row),
            grid.Cells(SettingColumn::Type, row), grid.Cells(SettingColumn::Description, row),
            grid.Cells(SettingColumn::Release, row)};
}

void setUpSettingsGrid(GridModel &grid)
{
    const GridUpdateBracket bracket(grid);
    grid.SetColCount(SettingColumn::Count);
    grid.SetRowCount(5);
    grid.SetFixedCols(0);
    constexpr std::array widths = {64, 60, 64, 64, 432, 64};
    for (int col = 0; col < SettingColumn::Count; ++col)
        grid.SetColWidths(col, widths[static_cast<std::size_t>(col)]);
    grid.SetDefaultRowHeight(22);
    grid.SetFixedRowHeight(22);
    grid.SetMultilinecells(true);
}
