#pragma once

// The data of one settings grid, apart from any widget: cells with their
// check boxes, counts, widths and heights, the current cell, the batch-update
// bracket, the grid file loader and the row filter with its hidden rows.

#include "gridfilter.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <stdexcept>

// Errors of the grid; the message is UTF-8. Errors of a grid file also say
// which file and what is wrong with it, for callers that tell the user in
// words of their own.
class EGridError : public std::runtime_error
{
public:
    enum class FileFault {
        None,
        CannotOpen, // `detail`: the system's words
        NotRegularFile, // a folder, a pipe, a device...
        TooLarge,
        CannotRead, // `detail`: the system's words
        TooManyCells
    };

    explicit EGridError(const QString &message, FileFault fault = FileFault::None,
                        QString path = {}, QString detail = {});

    FileFault fault() const { return m_fault; }
    const QString &path() const { return m_path; }
    const QString &detail() const { return m_detail; }

private:
    FileFault m_fault;
    QString m_path;
    QString m_detail;
};

struct GridCell
{
    QString text;
    std::optional<bool> checkBox; // the cell's check box, if it has one

    friend bool operator==(const GridCell &, const GridCell &) = default;
};

// One hidden row: where it was, its height and its cells.
struct TGridItem
{
    int Idx = 0;
    int Height = 0;
    QList<GridCell> Items;
};

// The settings of the grid's spin and drop-down editors, chosen per cell by
// the editing rules.
struct GridSpinSettings
{
    int MinValue = 0;
    int MaxValue = 100;
    int Increment = 1;
};

struct GridComboSettings
{
    QStringList Items;
    bool Sorted = false;
    int DropDownCount = 8;
};

// What the model needs of the widget that shows it. Without a view the model
// behaves as if shown.
class GridView
{
public:
    virtual ~GridView() = default;
    virtual bool isShown() const = 0;
    virtual void setRedraw(bool on) = 0;
    // A cell changed, or everything (`whole`): repaint, and re-measure when the
    // counts or sizes changed.
    virtual void gridChanged(bool whole, int col, int row) = 0;
    // Called after each cell line of a load: let the window repaint.
    virtual void loadProgress() = 0;
    // The rows are about to be rearranged (filtered, counted anew, loaded):
    // anything that holds a row by its index lets go of it now.
    virtual void rowsAboutToMove() { }
};

class GridModel
{
public:
    // More cells than this in a grid file's counts is refused.
    static constexpr qint64 MaxCells = 1'000'000;
    // So is a grid file larger than this.
    static constexpr qint64 MaxFileSize = 16 * 1024 * 1024;
    static constexpr int DefaultColWidthValue = 64;
    // Column widths are kept between 0 and this, wider than any screen.
    static constexpr int MaxColWidth = 65535;

    GridModel();

    void setView(GridView *view) { m_view = view; }

    int ColCount() const { return m_colCount; }
    void SetColCount(int count);
    int RowCount() const { return static_cast<int>(m_rows.size()); }
    void SetRowCount(int count);
    int FixedRows() const { return m_fixedRows; }
    void SetFixedRows(int count);
    int FixedCols() const { return m_fixedCols; }
    void SetFixedCols(int count);

    int ColWidths(int col) const;
    void SetColWidths(int col, int width);
    int RowHeights(int row) const;
    void SetRowHeights(int row, int height);
    int DefaultRowHeight() const { return m_defaultRowHeight; }
    // Every row, the fixed ones included, takes the new height.
    void SetDefaultRowHeight(int height);
    int FixedRowHeight() const { return m_fixedRowHeight; }
    // Gives the fixed rows this height.
    void SetFixedRowHeight(int height);

    bool Multilinecells() const { return m_multilineCells; }
    void SetMultilinecells(bool on) { m_multilineCells = on; }
    bool CountsIncludeFixed() const { return m_countsIncludeFixed; }
    void SetCountsIncludeFixed(bool on) { m_countsIncludeFixed = on; }

    // Outside the grid a cell reads as empty and cannot be set.
    QString Cells(int col, int row) const;
    void SetCells(int col, int row, const QString &text);
    // Empties every cell's text; counts, check boxes and sizes stay.
    void ClearCells();
    std::optional<bool> CheckBox(int col, int row) const;
    void SetCheckBox(int col, int row, bool state);

    void FocusCell(int col, int row);
    int Col() const { return m_col; }
    int Row() const { return m_row; }

    void BeginGridUpdate();
    void EndGridUpdate();
    int UpdateCount() const { return m_updateCount; }

    // Reads a grid file: a counts line, column width lines and cell lines,
    // Windows-1252, CRLF or LF. Raises EGridError when the file cannot be
    // opened or read, or when its counts are too large.
    void LoadGridFile(const QString &path);
    // The bytes of a grid file: only a regular file of at most MaxFileSize
    // bytes is read, so that a pipe or a device in its place cannot hang the
    // tool. Raises EGridError.
    static QByteArray ReadGridFile(const QString &path);
    // The same from bytes already read; `path` names them in messages.
    void LoadGridData(const QByteArray &data, const QString &path);

    TFilter &Filter() { return m_filter; }
    bool FilterActive() const { return m_filterActive; }
    void SetFilterActive(bool active);
    const QList<TGridItem> &HiddenRows() const { return m_hidden; }

    GridSpinSettings &SpinEdit() { return m_spin; }
    GridComboSettings &Combo() { return m_combo; }

private:
    struct GridRow
    {
        QList<GridCell> cells; // may be shorter than ColCount
        int height = 0;
    };

    GridCell *cell(int col, int row);
    const GridCell *cell(int col, int row) const;
    void changed(bool whole, int col = -1, int row = -1);
    void rowsAboutToMove();
    bool rowPasses(int row) const;
    QString testedText(const TFilterData &condition, int row) const;
    void applyCounts(QStringView line, const QString &path);
    void readWidthLine(QStringView line);
    void readCellLine(QStringView line);
    void hideFailingRows();
    void restoreHiddenRows();

    GridView *m_view = nullptr;
    int m_colCount = 0;
    int m_fixedRows = 0;
    int m_fixedCols = 0;
    QList<GridRow> m_rows;
    QList<int> m_colWidths;
    int m_defaultRowHeight = 22;
    int m_fixedRowHeight = 22;
    bool m_multilineCells = true;
    bool m_countsIncludeFixed = true;
    int m_col = 0;
    int m_row = 0;
    int m_updateCount = 0;

    TFilter m_filter;
    bool m_filterActive = false;
    int m_filterFixedRows = 0;
    QList<TGridItem> m_hidden;

    GridSpinSettings m_spin;
    GridComboSettings m_combo;
};

// A batch update for the length of a scope, closed however the scope ends.
class GridUpdateBracket
{
public:
    explicit GridUpdateBracket(GridModel &grid)
        : m_grid(grid)
    {
        m_grid.BeginGridUpdate();
    }
    ~GridUpdateBracket() { m_grid.EndGridUpdate(); }
    GridUpdateBracket(const GridUpdateBracket &) = delete;
    GridUpdateBracket &operator=(const GridUpdateBracket &) = delete;

private:
    GridModel &m_grid;
};

// The loader's number rule: leading blanks, an optional sign, decimal digits
// or hexadecimal after "$", "x", "X" or "0x"; reading stops at the first other
// character; an empty field is 0. Clamped to the int range.
int gridNumber(QStringView text);
