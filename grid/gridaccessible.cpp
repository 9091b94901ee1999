#include "gridaccessible.h"

#include "settingsgrid.h"
#include "text.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

namespace {

class GridTableAccessible;

// One cell, by its place in the table; it reads the grid each time asked,
// so it never shows a text the grid no longer has.
class GridCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface
{
public:
    GridCellAccessible(TSettingsGrid *grid, int row, int col)
        : m_grid(grid)
        , m_row(row)
        , m_col(col)
    { }

    bool isValid() const override
    {
        return m_grid && m_col < m_grid->model().ColCount()
            && modelRow() < m_grid->model().RowCount();
    }
    QObject *object() const override { return nullptr; }
    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_grid.data());
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !isValid())
            return {};
        return StripMarkupTags(m_grid->model().Cells(m_col, modelRow()));
    }
    void setText(QAccessible::Text, const QString &) override { }

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect cell = m_grid->CellRect(m_col, modelRow());
        if (cell.isEmpty())
            return {};
        return {m_grid->viewport()->mapToGlobal(cell.topLeft()), cell.size()};
    }

    QAccessible::Role role() const override
    {
        return isValid() && box() ? QAccessible::CheckBox : QAccessible::Cell;
    }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        const GridModel &model = m_grid->model();
        const bool current = m_col == model.Col() && modelRow() == model.Row();
        s.focusable = s.selectable = true;
        s.focused = current && m_grid->hasFocus();
        s.selected = current;
        s.readOnly = !m_grid->CanEditCell(m_col, modelRow());
        s.offscreen = m_grid->CellRect(m_col, modelRow()).isEmpty();
        if (const auto checked = box()) {
            s.checkable = true;
            s.checked = *checked;
        }
        return s;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::TableCellInterface
            ? static_cast<QAccessibleTableCellInterface *>(this)
            : nullptr;
    }

    bool isSelected() const override { return state().selected; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QList<QAccessibleInterface *> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface *> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return m_col; }
    int rowIndex() const override { return m_row; }
    QAccessibleInterface *table() const override { return parent(); }

private:
    int modelRow() const { return m_row + m_grid->model().FixedRows(); }
    std::optional<bool> box() const { return m_grid->model().CheckBox(m_col, modelRow()); }

    QPointer<TSettingsGrid> m_grid;
    int m_row;
    int m_col;
};

// The grid as a table. Its children are its cells, row by row; the cells'
// interfaces are made when first asked for and kept until the grid goes.
class GridTableAccessible : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit GridTableAccessible(TSettingsGrid *grid)
        : QAccessibleWidget(grid, QAccessible::Table)
    { }
    ~GridTableAccessible() override
    {
        for (const QAccessible::Id id : std::as_const(m_cells))
            QAccessible::deleteAccessibleInterface(id);
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    int childCount() const override { return rowCount() * columnCount(); }
    QAccessibleInterface *child(int index) const override
    {
        const int columns = columnCount();
        if (index < 0 || columns == 0 || index >= childCount())
            return nullptr;
        return cellAt(index / columns, index % columns);
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (!child || child->parent() != this)
            return -1;
        auto *cell = const_cast<QAccessibleInterface *>(child)->tableCellInterface();
        return cell ? cell->rowIndex() * columnCount() + cell->columnIndex() : -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        const QPoint at = grid()->viewport()->mapFromGlobal(QPoint(x, y));
        for (int row = 0; row < rowCount(); ++row) {
            for (int col = 0; col < columnCount(); ++col) {
                if (grid()->CellRect(col, row + fixedRows()).contains(at))
                    return cellAt(row, col);
            }
        }
        return nullptr;
    }
    QAccessibleInterface *focusChild() const override
    {
        const GridModel &model = grid()->model();
        if (!grid()->hasFocus() || model.Row() < fixedRows())
            return nullptr;
        return cellAt(model.Row() - fixedRows(), model.Col());
    }

    QAccessibleInterface *caption() const override { return nullptr; }
    QAccessibleInterface *summary() const override { return nullptr; }
    QAccessibleInterface *cellAt(int row, int column) const override
    {
        if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
            return nullptr;
        const int key = row * columnCount() + column;
        if (const auto found = m_cells.constFind(key); found != m_cells.cend())
            return QAccessible::accessibleInterface(*found);
        auto *cell = new GridCellAccessible(grid(), row, column);
        m_cells.insert(key, QAccessible::registerAccessibleInterface(cell));
        return cell;
    }
    // The fixed rows' texts, as shown, are the column's headers.
    QString columnDescription(int column) const override
    {
        QStringList lines;
        for (int row = 0; row < fixedRows(); ++row) {
            const QString text = StripMarkupTags(grid()->model().Cells(column, row));
            if (!text.isEmpty())
                lines.append(text);
        }
        return lines.join(u' ');
    }
    QString rowDescription(int) const override { return {}; }
    int columnCount() const override { return grid()->model().ColCount(); }
    int rowCount() const override { return std::max(0, grid()->model().RowCount() - fixedRows()); }

    // The selection is the current cell.
    int selectedCellCount() const override { return current() ? 1 : 0; }
    QList<QAccessibleInterface *> selectedCells() const override
    {
        if (QAccessibleInterface *cell = current())
            return {cell};
        return {};
    }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }

    // Rows came or went (a list read, another release): the cells are made
    // anew when next asked for.
    void modelChange(QAccessibleTableModelChangeEvent *) override
    {
        for (const QAccessible::Id id : std::as_const(m_cells))
            QAccessible::deleteAccessibleInterface(id);
        m_cells.clear();
    }

private:
    TSettingsGrid *grid() const { return static_cast<TSettingsGrid *>(widget()); }
    int fixedRows() const { return grid()->model().FixedRows(); }
    QAccessibleInterface *current() const
    {
        const GridModel &model = grid()->model();
        return model.Row() >= fixedRows() ? cellAt(model.Row() - fixedRows(), model.Col())
                                          : nullptr;
    }

    mutable QHash<int, QAccessible::Id> m_cells;
};

} // namespace

QAccessibleInterface *settingsGridAccessible(const QString &, QObject *object)
{
    if (auto *grid = qobject_cast<TSettingsGrid *>(object))
        return new GridTableAccessible(grid);
    return nullptr;
}

int accessibleCellIndex(const TSettingsGrid &grid, int col, int row)
{
    const GridModel &model = grid.model();
    if (row < model.FixedRows() || row >= model.RowCount() || col < 0 || col >= model.ColCount())
        return -1;
    return (row - model.FixedRows()) * model.ColCount() + col;
}
