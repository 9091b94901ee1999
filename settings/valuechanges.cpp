#include "valuechanges.h"

#include "gridmodel.h"
#include "settingrow.h"
#include "text.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// A long session of edits keeps this many steps; older ones drop off.
constexpr qsizetype MaxSteps = 1000;

// The name of a row that stands for a stored value; nullopt for headings.
std::optional<QString> settingName(const GridModel &grid, int row)
{
    const auto name = settingValueName(grid, row);
    if (!name || settingKind(grid.Cells(SettingColumn::Type, row)) == SettingKind::None)
        return std::nullopt;
    return name;
}

bool isEdited(const QString &cell, const StoredSettings::Setting *stored)
{
    // Without what was read (the store could not be read), only a value
    // that replaced the read-error marker is an edit.
    return stored ? cell != stored->cellText : !isReadErrorText(cell);
}

} // namespace

void PageDefaults::takeFrom(const GridModel &grid)
{
    m_values.clear();
    for (int row = 1; row < grid.RowCount(); ++row) {
        if (const auto name = settingName(grid, row))
            m_values.insert(upperAscii(*name), grid.Cells(SettingColumn::Value, row));
    }
}

const QString *PageDefaults::find(const QString &name) const
{
    const auto it = m_values.constFind(upperAscii(name));
    return it == m_values.constEnd() ? nullptr : &*it;
}

bool sameSettingValue(SettingKind kind, const QString &a, const QString &b)
{
    if (a == b)
        return true;
    if (kind != SettingKind::Integer)
        return false;
    const auto first = integerCellValue(a);
    return first && first == integerCellValue(b);
}

ValueMarks valueMarks(const GridModel &grid, int row, const PageDefaults &defaults,
                      const StoredSettings &stored)
{
    const auto name = settingName(grid, row);
    const QString cell = grid.Cells(SettingColumn::Value, row);
    if (!name || isReadErrorText(cell))
        return {};
    const QString *fallback = defaults.find(*name);
    const SettingKind kind = settingKind(grid.Cells(SettingColumn::Type, row));
    return {fallback && !sameSettingValue(kind, cell, *fallback),
            isEdited(cell, stored.find(*name))};
}

bool hasUnsavedEdits(const GridModel &grid, const StoredSettings &stored)
{
    for (int row = 1; row < grid.RowCount(); ++row) {
        const auto name = settingName(grid, row);
        if (name && isEdited(grid.Cells(SettingColumn::Value, row), stored.find(*name)))
            return true;
    }
    return false;
}

int settingRowOf(const GridModel &grid, const QString &name)
{
    for (int row = 1; row < grid.RowCount(); ++row) {
        const auto found = settingName(grid, row);
        if (found && found->compare(name, Qt::CaseInsensitive) == 0)
            return row;
    }
    return -1;
}

void setSettingValue(GridModel &grid, int row, const QString &text)
{
    grid.SetCells(SettingColumn::Value, row, text);
    if (settingKind(grid.Cells(SettingColumn::Type, row)) == SettingKind::YesNo
        && !isReadErrorText(text))
        grid.SetCheckBox(SettingColumn::Value, row, text == u"True"_s);
}

PageValues pageValues(const GridModel &grid)
{
    PageValues values;
    for (int row = 1; row < grid.RowCount(); ++row) {
        if (const auto name = settingName(grid, row))
            values.append({*name, grid.Cells(SettingColumn::Value, row)});
    }
    return values;
}

PageValues editedValues(const GridModel &grid, const StoredSettings &stored)
{
    PageValues values;
    for (int row = 1; row < grid.RowCount(); ++row) {
        const auto name = settingName(grid, row);
        const QString cell = grid.Cells(SettingColumn::Value, row);
        if (name && isEdited(cell, stored.find(*name)))
            values.append({*name, cell});
    }
    return values;
}

void restoreValues(GridModel &grid, const PageValues &values)
{
    for (const auto &[name, text] : values) {
        const int row = settingRowOf(grid, name);
        if (row >= 0 && !isReadErrorText(text))
            setSettingValue(grid, row, text);
    }
}

void EditHistory::record(QList<ValueEdit> step)
{
    step.removeIf([](const ValueEdit &edit) { return edit.before == edit.after; });
    if (step.isEmpty())
        return;
    m_steps.append(std::move(step));
    if (m_steps.size() > MaxSteps)
        m_steps.removeFirst();
}

std::optional<QList<ValueEdit>> EditHistory::takeLast()
{
    if (m_steps.isEmpty())
        return std::nullopt;
    return m_steps.takeLast();
}

void EditHistory::forget(SettingsPage page)
{
    for (QList<ValueEdit> &step : m_steps)
        step.removeIf([page](const ValueEdit &edit) { return edit.page == page; });
    m_steps.removeIf([](const QList<ValueEdit> &step) { return step.isEmpty(); });
}

QList<ValueEdit> editsSince(SettingsPage page, const PageValues &before, const GridModel &grid)
{
    QList<ValueEdit> edits;
    for (const auto &[name, text] : before) {
        const int row = settingRowOf(grid, name);
        if (row >= 0)
            edits.append({page, name, text, grid.Cells(SettingColumn::Value, row)});
    }
    return edits;
}
