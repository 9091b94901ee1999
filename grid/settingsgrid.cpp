#include "settingsgrid.h"

#include "fonts.h"
#include "gridaccessible.h"
#include "handlerguard.h"
#include "inplaceeditors.h"
#include "markup.h"
#include "pictures.h"
#include "pixellines.h"
#include "wincolors.h"

#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int CheckSize = 16;
// A few milliseconds of loading: the shipped lists have about a hundred lines.
constexpr int LinesBetweenRepaints = 256;
const QColor White(255, 255, 255);
const QColor Maroon(128, 0, 0);
const QColor Silver(192, 192, 192);
const QColor Gray(128, 128, 128);

QFont gridFont(const QString &family, bool bold)
{
    QFont font = windowsFont(family);
    font.setPixelSize(11);
    font.setWeight(bold ? QFont::Bold : QFont::Normal); // explicitly: page panels are bold
    return font;
}

// The four check box pictures, made once.
const QImage &checkBoxPicture(bool checked, bool active)
{
    static const auto pictures = [] {
        std::array<QImage, 4> images;
        const char *names[]
            = {"unchecked-inactive", "checked-inactive", "unchecked-active", "checked-active"};
        for (int i = 0; i < 4; ++i) {
            images[i] = pictureImage(u":/checkbox/"_s + QString::fromLatin1(names[i]) + u".svg"_s,
                                     QSize(CheckSize, CheckSize));
        }
        return images;
    }();
    return pictures[(active ? 2 : 0) + (checked ? 1 : 0)];
}

} // namespace

TSettingsGrid::TSettingsGrid(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    m_model.setView(this);
    // Read by a screen reader as a table of its cells (gridaccessible.h).
    static const bool readable = (QAccessible::installFactory(settingsGridAccessible), true);
    Q_UNUSED(readable);

    setFont(gridFont(u"Tahoma"_s, false));
    m_fixedFont = gridFont(u"MS Sans Serif"_s, false);
    m_activeCellFont = gridFont(u"MS Sans Serif"_s, true);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    updateScrollBars();
}

// Editors are made when first needed: a window of several grids, most of
// whose cells are never edited, starts without a dozen line edits and
// lists to lay out.
template<typename Editor>
Editor *TSettingsGrid::editor(Editor *&slot)
{
    if (!slot) {
        slot = new Editor(viewport());
        slot->hide();
        slot->installEventFilter(this);
        // Tab from the editor goes where Tab from the grid goes.
        setTabOrder(this, slot);
        if constexpr (std::is_same_v<Editor, TGridEditBtn>) {
            connect(slot, &TGridEditBtn::ellipsisClicked, this,
                    [this] { guardHandler([this] { ellipsisClicked(); }); });
        }
    }
    return slot;
}

TSettingsGrid::~TSettingsGrid()
{
    m_model.setView(nullptr);
}

bool TSettingsGrid::isShown() const
{
    return !isHidden();
}

void TSettingsGrid::setRedraw(bool on)
{
    setUpdatesEnabled(on);
}

void TSettingsGrid::gridChanged(bool whole, int col, int row)
{
    if (whole) {
        updateScrollBars();
        viewport()->update();
        QAccessibleTableModelChangeEvent rows(this, QAccessibleTableModelChangeEvent::ModelReset);
        QAccessible::updateAccessibility(&rows);
    } else if (updatesEnabled()) {
        viewport()->update(CellRect(col, row));
    }
}

void TSettingsGrid::rowsAboutToMove()
{
    m_linesSinceRepaint = 0; // a load starts with it
    // The edit is committed to its own row while that row is still where
    // the edit began.
    if (Editing())
        HideEditor();
}

void TSettingsGrid::loadProgress()
{
    // Repaints may run during a long load, every so many lines: a list of
    // the usual length loads without stopping for them. User input waits,
    // so no handler can start a second load of this grid in the middle of
    // this one.
    if (++m_linesSinceRepaint < LinesBetweenRepaints)
        return;
    m_linesSinceRepaint = 0;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// ---- geometry ------------------------------------------------------------

void TSettingsGrid::updateScrollBars()
{
    const int fixedHeight = rowTop(m_model.FixedRows());
    const int rows = m_model.RowCount();
    const int firstScrollable = m_model.FixedRows();
    // The last top row that still fills the view from the bottom.
    int last = rows - 1;
    for (int height = fixedHeight + m_model.RowHeights(last);
         last > firstScrollable && height + m_model.RowHeights(last - 1) <= viewport()->height();
         height += m_model.RowHeights(--last)) { }
    verticalScrollBar()->setRange(0, std::max(0, last - firstScrollable));
    verticalScrollBar()->setPageStep(
        std::max(1, viewport()->height() / std::max(1, m_model.DefaultRowHeight())));
    m_topRow
        = firstScrollable + std::min(verticalScrollBar()->value(), verticalScrollBar()->maximum());

    qint64 totalWidth = 0;
    for (int c = 0; c < m_model.ColCount(); ++c)
        totalWidth += m_model.ColWidths(c);
    int lastCol = m_model.ColCount() - 1;
    for (int width = m_model.ColWidths(lastCol);
         lastCol > 0 && width + m_model.ColWidths(lastCol - 1) <= viewport()->width();
         width += m_model.ColWidths(--lastCol)) { }
    horizontalScrollBar()->setRange(0, totalWidth > viewport()->width() ? lastCol : 0);
    horizontalScrollBar()->setPageStep(1);
    m_leftCol = std::min(horizontalScrollBar()->value(), horizontalScrollBar()->maximum());
}

void TSettingsGrid::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void TSettingsGrid::scrollContentsBy(int, int)
{
    // Scrolling ends an edit: the editor would no longer sit on its cell.
    if (Editing())
        HideEditor();
    m_topRow = m_model.FixedRows() + verticalScrollBar()->value();
    m_leftCol = horizontalScrollBar()->value();
    viewport()->update();
}

int TSettingsGrid::rowTop(int row) const
{
    int y = 0;
    const int fixed = m_model.FixedRows();
    for (int r = 0; r < std::min(row, fixed); ++r)
        y += m_model.RowHeights(r);
    if (row < fixed)
        return y;
    if (row < m_topRow)
        return -1;
    const int bottom = viewport()->height();
    for (int r = m_topRow; r < row; ++r) {
        y += m_model.RowHeights(r);
        if (y >= bottom)
            return -1;
    }
    return y;
}

int TSettingsGrid::colLeft(int col) const
{
    if (col < m_leftCol)
        return -1;
    const int right = viewport()->width();
    int x = 0;
    for (int c = m_leftCol; c < col; ++c) {
        x += m_model.ColWidths(c);
        if (x >= right)
            return -1;
    }
    return x;
}

bool TSettingsGrid::rowFullyShown(int row) const
{
    const int top = rowTop(row);
    return top >= 0 && top + m_model.RowHeights(row) <= viewport()->height();
}

void TSettingsGrid::scrollToCell(int col, int row)
{
    const int fixedRows = m_model.FixedRows();
    if (row >= fixedRows && (row < m_topRow || !rowFullyShown(row))) {
        // The row at the top when it is above the view; else the top that
        // brings its bottom just into view.
        int top = row;
        if (row > m_topRow) {
            int height = m_model.RowHeights(row);
            for (int r = 0; r < fixedRows; ++r)
                height += m_model.RowHeights(r);
            while (top > fixedRows && height + m_model.RowHeights(top - 1) <= viewport()->height())
                height += m_model.RowHeights(--top);
        }
        verticalScrollBar()->setValue(top - fixedRows);
    }
    const int left = colLeft(col);
    if (col >= m_model.FixedCols()
        && (left < 0 || left + m_model.ColWidths(col) > viewport()->width()))
        horizontalScrollBar()->setValue(col);
}

QRect TSettingsGrid::CellRect(int col, int row) const
{
    const int x = colLeft(col);
    const int y = rowTop(row);
    if (x < 0 || y < 0 || col >= m_model.ColCount() || row >= m_model.RowCount())
        return {};
    return QRect(x, y, m_model.ColWidths(col), m_model.RowHeights(row));
}

QRect TSettingsGrid::CheckBoxRect(int col, int row) const
{
    const QRect cell = CellRect(col, row);
    if (cell.isEmpty() || !m_model.CheckBox(col, row))
        return {};
    return QRect(cell.left() + 2, cell.top() + 2, CheckSize, CheckSize);
}

QList<int> TSettingsGrid::visibleRows() const
{
    QList<int> rows;
    int y = 0;
    auto add = [&](int row) {
        if (y >= viewport()->height())
            return false;
        rows.append(row);
        y += m_model.RowHeights(row);
        return true;
    };
    for (int row = 0; row < m_model.FixedRows(); ++row) {
        if (!add(row))
            return rows;
    }
    for (int row = m_topRow; row < m_model.RowCount(); ++row) {
        if (!add(row))
            break;
    }
    return rows;
}

std::pair<int, int> TSettingsGrid::cellAt(const QPoint &point) const
{
    int row = -1;
    for (int r : visibleRows()) {
        const QRect cell = CellRect(m_leftCol, r);
        if (point.y() >= cell.top() && point.y() <= cell.bottom()) {
            row = r;
            break;
        }
    }
    int col = -1;
    for (int c = m_leftCol, x = 0; c < m_model.ColCount(); ++c) {
        if (point.x() < x + m_model.ColWidths(c)) {
            col = point.x() >= x ? c : -1;
            break;
        }
        x += m_model.ColWidths(c);
    }
    return {col, row};
}

// ---- editing rules ---------------------------------------------------------

bool TSettingsGrid::IsFixedCell(int col, int row) const
{
    if (row < m_model.FixedRows() || col < m_model.FixedCols())
        return true;
    bool fixed = false;
    if (OnIsFixedCell)
        OnIsFixedCell(const_cast<TSettingsGrid *>(this), row, col, fixed);
    return fixed;
}

bool TSettingsGrid::CanEditCell(int col, int row) const
{
    bool canEdit = true;
    if (OnCanEditCell)
        OnCanEditCell(const_cast<TSettingsGrid *>(this), row, col, canEdit);
    return canEdit;
}

bool TSettingsGrid::SetCurrentCell(int col, int row)
{
    if (col < 0 || row < 0 || col >= m_model.ColCount() || row >= m_model.RowCount()
        || IsFixedCell(col, row))
        return false;
    if (Editing())
        HideEditor();
    m_model.FocusCell(col, row);
    viewport()->update(); // the active header follows the current cell
    announceCurrentCell();
    return true;
}

// A screen reader follows the current cell while the grid has the focus.
void TSettingsGrid::announceCurrentCell()
{
    const int index = accessibleCellIndex(*this, m_model.Col(), m_model.Row());
    if (!hasFocus() || index < 0)
        return;
    QAccessibleEvent focus(this, QAccessible::Focus);
    focus.setChild(index);
    QAccessible::updateAccessibility(&focus);
}

void TSettingsGrid::toggleCheckBox(int col, int row)
{
    const QString before = m_model.Cells(col, row);
    const bool state = !m_model.CheckBox(col, row).value_or(false);
    m_model.SetCheckBox(col, row, state);
    if (OnCheckBoxClick)
        OnCheckBoxClick(this, col, row, state);
    viewport()->update(CellRect(col, row));
    if (const int index = accessibleCellIndex(*this, col, row); index >= 0) {
        QAccessible::State checked;
        checked.checked = true;
        QAccessibleStateChangeEvent toggled(this, checked);
        toggled.setChild(index);
        QAccessible::updateAccessibility(&toggled);
    }
    cellEdited(col, row, before);
}

void TSettingsGrid::cellEdited(int col, int row, const QString &before)
{
    if (OnCellEdited && col < m_model.ColCount() && row < m_model.RowCount()
        && m_model.Cells(col, row) != before)
        OnCellEdited(this, col, row, before);
}

void TSettingsGrid::contextMenuEvent(QContextMenuEvent *event)
{
    event->accept();
    guardHandler([&] {
        // The menu acts on the value as committed.
        if (Editing())
            HideEditor();
        int col = m_model.Col();
        int row = m_model.Row();
        QPoint at;
        if (event->reason() == QContextMenuEvent::Mouse) {
            at = event->pos(); // handed on by the viewport, in its coordinates
            std::tie(col, row) = cellAt(at);
        } else {
            const QRect current = CellRect(col, row);
            at = current.isEmpty() ? viewport()->rect().center() : current.center();
        }
        if (OnContextPopup && col >= 0 && row >= m_model.FixedRows())
            OnContextPopup(this, col, row, viewport()->mapToGlobal(at));
    });
}

void TSettingsGrid::mousePressEvent(QMouseEvent *event)
{
    guardHandler([&] {
        if (event->button() != Qt::LeftButton)
            return;
        const auto [col, row] = cellAt(event->position().toPoint());
        if (col < 0 || row < 0 || IsFixedCell(col, row))
            return;
        setFocus(Qt::MouseFocusReason);
        if (m_model.CheckBox(col, row)) {
            // A cell with a check box is never edited as text.
            if (CheckBoxRect(col, row).contains(event->position().toPoint())
                && CanEditCell(col, row)) {
                SetCurrentCell(col, row);
                toggleCheckBox(col, row);
            } else {
                SetCurrentCell(col, row);
            }
            return;
        }
        SetCurrentCell(col, row);
        const QRect cell = CellRect(col, row);
        const int x = event->position().toPoint().x();
        if (CanEditCell(col, row) && x > cell.left() + 3 && x < cell.right() - 3)
            openEditor(col, row, nullptr);
    });
}

void TSettingsGrid::moveCurrent(int rows)
{
    const int col = m_model.Col();
    int row = m_model.Row();
    const int step = rows > 0 ? 1 : -1;
    for (int moved = 0; moved != rows;) {
        const int next = row + step;
        if (next < 0 || next >= m_model.RowCount())
            break;
        row = next;
        if (!IsFixedCell(col, row))
            moved += step;
    }
    if (!IsFixedCell(col, row) && row != m_model.Row()) {
        SetCurrentCell(col, row);
        // Keep the current row in view.
        if (row < m_topRow)
            verticalScrollBar()->setValue(row - m_model.FixedRows());
        else if (!rowFullyShown(row))
            verticalScrollBar()->setValue(verticalScrollBar()->value() + (row - m_topRow) / 2 + 1);
    }
}

void TSettingsGrid::keyPressEvent(QKeyEvent *event)
{
    guardHandler([&] {
        if (m_editor) {
            // A key that reached the grid during an edit belongs to the editor;
            // one the editor ignores comes back here and ends.
            if (m_forwardingKey)
                return;
            m_forwardingKey = true;
            QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->text());
            QCoreApplication::sendEvent(m_editor, &copy);
            m_forwardingKey = false;
            return;
        }
        const int col = m_model.Col();
        const int row = m_model.Row();
        switch (event->key()) {
        case Qt::Key_Up:
            moveCurrent(-1);
            return;
        case Qt::Key_Down:
            moveCurrent(1);
            return;
        case Qt::Key_PageUp:
            moveCurrent(-std::max(1, verticalScrollBar()->pageStep()));
            return;
        case Qt::Key_PageDown:
            moveCurrent(std::max(1, verticalScrollBar()->pageStep()));
            return;
        case Qt::Key_Space:
            if (m_model.CheckBox(col, row) && !IsFixedCell(col, row) && CanEditCell(col, row)) {
                toggleCheckBox(col, row);
                return;
            }
            break;
        case Qt::Key_F2:
            ShowEditor();
            return;
        default:
            break;
        }
        const QString typed = event->text();
        const bool starts
            = event->key() == Qt::Key_Backspace || (!typed.isEmpty() && typed[0].isPrint());
        if (starts && !IsFixedCell(col, row) && CanEditCell(col, row)
            && !m_model.CheckBox(col, row)) {
            openEditor(col, row, event);
            return;
        }
        QAbstractScrollArea::keyPressEvent(event);
    });
}

bool TSettingsGrid::ShowEditor()
{
    const int col = m_model.Col();
    const int row = m_model.Row();
    if (IsFixedCell(col, row) || !CanEditCell(col, row))
        return false;
    return openEditor(col, row, nullptr);
}

bool TSettingsGrid::openEditor(int col, int row, QKeyEvent *typed)
{
    if (m_model.CheckBox(col, row))
        return false; // blocking cell graphic
    // An editor sits on its cell: never on one out of view.
    scrollToCell(col, row);
    const QRect cell = CellRect(col, row);
    if (cell.width() < 2 || cell.height() < 2)
        return false;
    m_startText = m_model.Cells(col, row);
    TEditorType kind = edNormal;
    if (OnGetEditorType)
        OnGetEditorType(this, col, row, kind);

    QLineEdit *line = nullptr;
    switch (kind) {
    case edSpinEdit:
        editor(m_spin)->MinValue = m_model.SpinEdit().MinValue;
        m_spin->MaxValue = m_model.SpinEdit().MaxValue;
        m_spin->Increment = m_model.SpinEdit().Increment;
        m_spin->openWith(m_startText);
        m_editor = m_spin;
        break;
    case edComboList:
        m_editor = editor(m_combo);
        break;
    case edEditBtn:
        editor(m_editBtn)->setText(m_startText);
        m_editor = line = m_editBtn;
        break;
    case edNormal:
        editor(m_normal)->setText(EditWithTags ? m_startText : StripMarkupTags(m_startText));
        m_editor = line = m_normal;
        break;
    default:
        return false; // edNone and the kinds these grids do not use
    }
    m_editorKind = kind;
    m_editCol = col;
    m_editRow = row;
    // Named as its row, by the first column's text as shown: a screen
    // reader says which setting the editor edits.
    m_editor->setAccessibleName(StripMarkupTags(m_model.Cells(0, row)));

    TGridDrawState state = 0;
    const CellLook look = cellLook(col, row, state, false);
    m_editor->setGeometry(cell.left(), cell.top(), cell.width() - 1, cell.height() - 1);
    // The cell's colours, whatever the window around the grid chose for
    // its own labels: the value, the arrows and the dots draw in the text
    // colour of the cell.
    QPalette palette = m_editor->palette();
    for (const auto role : {QPalette::Base, QPalette::Button, QPalette::Window})
        palette.setColor(role, look.background);
    for (const auto role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText})
        palette.setColor(role, look.textColor);
    m_editor->setPalette(palette);
    m_editor->setFont(font());
    if (kind == edComboList)
        m_combo->openWith(m_model.Combo().Items, m_model.Combo().Sorted, m_startText, font());
    if (line)
        line->selectAll();
    m_editor->setEnabled(true);
    m_editor->show();
    m_editor->setFocus(Qt::OtherFocusReason);
    if (typed) {
        m_forwardingKey = true;
        QKeyEvent copy(typed->type(), typed->key(), typed->modifiers(), typed->text());
        QCoreApplication::sendEvent(m_editor, &copy);
        m_forwardingKey = false;
    }
    return true;
}

void TSettingsGrid::HideEditor(bool restoreStart)
{
    if (!m_editor)
        return;
    QString value;
    switch (m_editorKind) {
    case edSpinEdit:
        value = restoreStart ? m_startText : m_spin->committedText();
        break;
    case edComboList:
        value = restoreStart ? m_startText : m_combo->committedText();
        break;
    case edEditBtn:
        value = restoreStart ? m_startText : m_editBtn->text();
        break;
    default:
        value = restoreStart ? m_startText : m_normal->text();
        break;
    }
    QWidget *editor = m_editor;
    m_editor = nullptr;
    // The focus comes back to the grid only from the editor: not from a
    // control the user clicked or tabbed to, which ended the edit.
    const QWidget *focus = QApplication::focusWidget();
    const bool editorHadFocus = focus && (focus == editor || editor->isAncestorOf(focus));
    // Tags the editor did not show are kept unless the text was changed.
    const QString before = m_model.Cells(m_editCol, m_editRow);
    if (m_editorKind != edNormal || EditWithTags || value != StripMarkupTags(m_startText))
        m_model.SetCells(m_editCol, m_editRow, value);
    editor->hide();
    editor->setEnabled(false);
    if (editorHadFocus)
        setFocus(Qt::OtherFocusReason);
    viewport()->update();
    cellEdited(m_editCol, m_editRow, before);
}

void TSettingsGrid::ellipsisClicked()
{
    if (!m_editBtn || m_editor != m_editBtn || !OnEllipsClick)
        return;
    QString text = m_editBtn->text();
    m_inEllipsis = true;
    OnEllipsClick(this, m_editCol, m_editRow, text);
    m_inEllipsis = false;
    if (m_editor == m_editBtn) {
        m_editBtn->setText(text);
        m_editBtn->selectAll();
        m_editBtn->setFocus(Qt::OtherFocusReason);
    }
}

namespace {

// Whether the focus went to a part of `editor`, in a window of its own too:
// a list that drops down takes the focus into its popup.
bool ownsFocusWidget(const QWidget *editor)
{
    for (const QWidget *w = QApplication::focusWidget(); w; w = w->parentWidget()) {
        if (w == editor)
            return true;
    }
    return false;
}

} // namespace

bool TSettingsGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_editor)
        return QAbstractScrollArea::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter
            || key->key() == Qt::Key_Escape) {
            const bool escape = key->key() == Qt::Key_Escape;
            guardHandler([&] { HideEditor(escape); });
            return true;
        }
    } else if (event->type() == QEvent::FocusOut) {
        // A dropped-down list, a prompt of our own or another window taking
        // the focus does not end the edit; a click elsewhere does.
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        if (!m_inEllipsis && reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason
            && !ownsFocusWidget(m_editor))
            guardHandler([this] { HideEditor(); });
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

// ---- painting ----------------------------------------------------------------

CellLook TSettingsGrid::cellLook(int col, int row, TGridDrawState &state, bool asCurrent) const
{
    const bool fixedRowOrCol = row < m_model.FixedRows() || col < m_model.FixedCols();
    CellLook look{fixedRowOrCol ? sysColor(clBtnFace) : White, fixedRowOrCol ? m_fixedFont : font(),
                  fixedRowOrCol ? Maroon : sysColor(clWindowText), QColor()};
    if (IsFixedCell(col, row)) {
        look = {sysColor(clBtnFace), m_fixedFont, Maroon, QColor()};
        state = (state | gdFixed) & ~gdSelected;
    }
    // The header above the current column is the active cell header.
    if (m_model.FixedRows() > 0 && row == 0 && col == m_model.Col())
        look = {sysColor(clBtnFace), m_activeCellFont, sysColor(clWindowText), QColor()};
    if (m_model.FixedCols() > 0 && col == 0 && row == m_model.Row())
        look = {sysColor(clBtnFace), m_activeCellFont, sysColor(clWindowText), QColor()};
    if (OnGetCellColor)
        OnGetCellColor(const_cast<TSettingsGrid *>(this), row, col, state, look);

    // The selection is the current cell alone, and cells are picked one by
    // one: the current cell is not among the picked ones, so it is drawn in
    // the grid's own colours, whatever the colour event chose, and not as
    // selected.
    if (asCurrent && col == m_model.Col() && row == m_model.Row() && !(state & gdFixed)) {
        state &= ~gdSelected;
        look.background = White;
        look.textColor = sysColor(clWindowText);
    }
    return look;
}

void TSettingsGrid::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    const QRect area = event->rect();
    for (int row : visibleRows()) {
        int x = 0;
        const int y = rowTop(row);
        for (int col = m_leftCol; col < m_model.ColCount() && x < viewport()->width(); ++col) {
            const QRect rect(x, y, m_model.ColWidths(col), m_model.RowHeights(row));
            if (rect.intersects(area) && rect.width() > 0)
                paintCell(painter, col, row, rect);
            x += rect.width();
        }
    }
}

void TSettingsGrid::paintCell(QPainter &painter, int col, int row, const QRect &rect) const
{
    TGridDrawState state = col == m_model.Col() && row == m_model.Row() ? gdFocused : 0;
    const CellLook look = cellLook(col, row, state);
    const bool fixed = state & gdFixed;

    painter.fillRect(rect, look.background);
    const QColor gridLine = fixed ? Gray : Silver;
    drawPixelLine(painter, rect.bottomLeft(), rect.bottomRight(), gridLine);
    drawPixelLine(painter, rect.topRight(), rect.bottomRight(), gridLine);

    QRect content = rect.adjusted(1, 1, -1, -1);
    const auto box = m_model.CheckBox(col, row);
    if (box)
        content.setLeft(content.left() + 1 + CheckSize + 2);
    painter.setFont(look.font);
    painter.setPen(look.textColor);
    const QString cellText = m_model.Cells(col, row);
    if (MarkupTextKind(cellText) == TextKind::Markup) {
        // Markup starts one pixel right of its rectangle: on the cell's edge.
        MarkupParams params;
        params.linkColor = Qt::black;
        DrawMarkupText(painter, cellText, content.adjusted(-1, 0, 0, 0), params, MarkupMode::Draw);
    } else {
        drawPlainCellText(painter, cellText, content.adjusted(1, 0, 0, 0), PlainTextFlags{});
    }

    if (fixed) {
        // The soft look's edges: white top and left, bottom and right in the
        // fixed colour halved, whatever background the colour event gave.
        const QColor face = sysColor(clBtnFace);
        const QColor dark(face.red() / 2, face.green() / 2, face.blue() / 2);
        drawPixelLine(painter, rect.topLeft(), rect.topRight(), White);
        drawPixelLine(painter, rect.topLeft(), {rect.left(), rect.bottom() - 1}, White);
        drawPixelLine(painter, rect.bottomLeft(), rect.bottomRight(), dark);
        drawPixelLine(painter, rect.topRight(), rect.bottomRight(), dark);
    }
    if (box) {
        const bool active = CanEditCell(col, row) && !fixed;
        painter.drawImage(rect.left() + 2, rect.top() + 2, checkBoxPicture(*box, active));
    }
    if (look.cornerMark.isValid()) // in the top right corner, inside the grid lines
        drawCornerMark(painter, {rect.right() - 1, rect.top()}, look.cornerMark);
    // Where the keys act: the current cell, while the grid has the focus,
    // framed in dots of its text colour inside its grid lines.
    if ((state & gdFocused) && !fixed && hasFocus()) {
        const QList<QPoint> dots = dottedOutline(rect.adjusted(0, 0, -1, -1));
        painter.setPen(look.textColor);
        painter.drawPoints(dots.constData(), static_cast<int>(dots.size()));
    }
}

void TSettingsGrid::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update(); // the current cell's frame
    announceCurrentCell();
}

void TSettingsGrid::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}
