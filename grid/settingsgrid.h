#pragma once

// The settings grid control: shows one GridModel, scrolls by whole rows and
// columns, keeps the header rows in place, edits cells in place and asks its
// owner through events which cells edit, which are fixed, which editor a
// cell gets and how each cell is coloured.

#include "gridmodel.h"
#include "gridtypes.h"

#include <QAbstractScrollArea>

#include <functional>

class TGridInplaceEdit;
class TGridSpin;
class TGridCombo;
class TGridEditBtn;

class TSettingsGrid : public QAbstractScrollArea, private GridView
{
    Q_OBJECT

public:
    explicit TSettingsGrid(QWidget *parent = nullptr);
    ~TSettingsGrid() override;

    GridModel &model() { return m_model; }
    const GridModel &model() const { return m_model; }

    // Events, with the grid as sender.
    std::function<void(TSettingsGrid *, int row, int col, bool &canEdit)> OnCanEditCell;
    std::function<void(TSettingsGrid *, int row, int col, bool &isFixed)> OnIsFixedCell;
    std::function<void(TSettingsGrid *, int col, int row, TEditorType &editor)> OnGetEditorType;
    std::function<void(TSettingsGrid *, int col, int row, QString &text)> OnEllipsClick;
    std::function<void(TSettingsGrid *, int col, int row, bool state)> OnCheckBoxClick;
    std::function<void(TSettingsGrid *, int row, int col, TGridDrawState state, CellLook &look)>
        OnGetCellColor;
    // A cell's text was changed by the user: an edit committed, a check box
    // clicked. `before` is the text it had.
    std::function<void(TSettingsGrid *, int col, int row, const QString &before)> OnCellEdited;
    // A menu is asked for on a cell (right click, or the menu key on the
    // current cell), to be shown at `globalPos`. An open edit is committed
    // first.
    std::function<void(TSettingsGrid *, int col, int row, const QPoint &globalPos)> OnContextPopup;

    bool EditWithTags = true;

    // Index of the first scrollable row and column in view.
    int TopRow() const { return m_topRow; }
    int LeftCol() const { return m_leftCol; }
    // The cell's rectangle in viewport coordinates; empty when out of view.
    QRect CellRect(int col, int row) const;
    // Where a cell's check box is drawn and hit.
    QRect CheckBoxRect(int col, int row) const;

    bool IsFixedCell(int col, int row) const;
    bool CanEditCell(int col, int row) const;
    // Makes a cell current, unless it is fixed; an open edit is committed first.
    bool SetCurrentCell(int col, int row);

    bool Editing() const { return m_editor != nullptr; }
    TEditorType EditorKind() const { return m_editorKind; }
    QWidget *EditorWidget() const { return m_editor; }
    // Null until first opened.
    TGridSpin *SpinEditor() const { return m_spin; }
    TGridCombo *ComboEditor() const { return m_combo; }

    // Opens the edit of the current cell (as typing would); false when no
    // editor opens.
    bool ShowEditor();
    // Closes an open edit: Enter commits the editor's text, Esc the starting one.
    void HideEditor(bool restoreStart = false);

protected:
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void announceCurrentCell();
    bool isShown() const override;
    void setRedraw(bool on) override;
    void gridChanged(bool whole, int col, int row) override;
    void loadProgress() override;
    void rowsAboutToMove() override;

    void updateScrollBars();
    // Viewport positions; -1 for a row or column out of view. Both walk only
    // the rows and columns in view, so a pass over every row stays linear.
    int rowTop(int row) const;
    int colLeft(int col) const;
    bool rowFullyShown(int row) const;
    // Scrolls so that the cell is in view, when it can be.
    void scrollToCell(int col, int row);
    // The rows in view, top to bottom: the fixed rows, then from TopRow on.
    QList<int> visibleRows() const;
    std::pair<int, int> cellAt(const QPoint &point) const;
    // `asCurrent`: the current cell in the grid's own colours, as it is
    // painted; off for the editor, which takes the colour event's.
    CellLook cellLook(int col, int row, TGridDrawState &state, bool asCurrent = true) const;
    void paintCell(QPainter &painter, int col, int row, const QRect &rect) const;
    void toggleCheckBox(int col, int row);
    void cellEdited(int col, int row, const QString &before);
    bool openEditor(int col, int row, QKeyEvent *typed);
    void ellipsisClicked();
    void moveCurrent(int rows);
    template<typename Editor>
    Editor *editor(Editor *&slot);

    GridModel m_model;
    QFont m_fixedFont;
    QFont m_activeCellFont;
    int m_topRow = 1;
    int m_leftCol = 0;

    // Made on first use (editor()).
    TGridInplaceEdit *m_normal = nullptr;
    TGridSpin *m_spin = nullptr;
    TGridCombo *m_combo = nullptr;
    TGridEditBtn *m_editBtn = nullptr;
    QWidget *m_editor = nullptr;
    TEditorType m_editorKind = edNormal;
    QString m_startText;
    // Cell lines loaded since the window last repainted during a load.
    int m_linesSinceRepaint = 0;
    int m_editCol = -1;
    int m_editRow = -1;
    bool m_inEllipsis = false;
    bool m_forwardingKey = false;
};
