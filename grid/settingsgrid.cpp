#include "settingsgrid.h"

#include "markup.h"

#include <QCoreApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr QColor GridLine(192, 192, 192);
constexpr QColor FixedFace(212, 208, 200);
constexpr QColor FixedText(128, 0, 0); // the header font is maroon

} // namespace

TSettingsGrid::TSettingsGrid(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    m_model.setView(this);
    // The form's settings of the four settings grids.
    m_model.SetColCount(6);
    m_model.SetRowCount(5);
    m_model.SetFixedCols(0);
    const int widths[] = {64, 60, 64, 64, 432, 64};
    for (int c = 0; c < 6; ++c)
        m_model.SetColWidths(c, widths[c]);
    m_model.SetDefaultRowHeight(22);
    m_model.SetFixedRowHeight(22);
    m_model.SetMultilinecells(true);

    m_fixedFont = QFont(u"MS Sans Serif"_s);
    m_fixedFont.setPixelSize(11);
    m_fixedFont.setWeight(QFont::Normal);
    QFont cellFont(u"Tahoma"_s);
    cellFont.setPixelSize(11);
    cellFont.setWeight(QFont::Normal); // explicitly: the page panels are bold
    setFont(cellFont);
    viewport()->setBackgroundRole(QPalette::Base);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    updateScrollBars();
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
    } else {
        viewport()->update(CellRect(col, row));
    }
}

void TSettingsGrid::loadProgress()
{
    // Repaints may run during a long load; user input waits, so no handler
    // can start a second load of this grid in the middle of this one.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

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

    int totalWidth = 0;
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
    for (int r = m_topRow; r < row; ++r)
        y += m_model.RowHeights(r);
    return y;
}

int TSettingsGrid::colLeft(int col) const
{
    if (col < m_leftCol)
        return -1;
    int x = 0;
    for (int c = m_leftCol; c < col; ++c)
        x += m_model.ColWidths(c);
    return x;
}

QRect TSettingsGrid::CellRect(int col, int row) const
{
    const int x = colLeft(col);
    const int y = rowTop(row);
    if (x < 0 || y < 0 || col >= m_model.ColCount() || row >= m_model.RowCount())
        return {};
    return QRect(x, y, m_model.ColWidths(col), m_model.RowHeights(row));
}

void TSettingsGrid::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    const QRect area = event->rect();
    const int height = viewport()->height();
    const int width = viewport()->width();
    auto paintRow = [&](int row, int y) {
        int x = 0;
        for (int col = m_leftCol; col < m_model.ColCount() && x < width; ++col) {
            const QRect rect(x, y, m_model.ColWidths(col), m_model.RowHeights(row));
            if (rect.intersects(area))
                paintCell(painter, col, row, rect);
            x += rect.width();
        }
    };
    int y = 0;
    for (int row = 0; row < m_model.FixedRows() && y < height; ++row) {
        paintRow(row, y);
        y += m_model.RowHeights(row);
    }
    for (int row = m_topRow; row < m_model.RowCount() && y < height; ++row) {
        paintRow(row, y);
        y += m_model.RowHeights(row);
    }
}

void TSettingsGrid::paintCell(QPainter &painter, int col, int row, const QRect &rect) const
{
    const bool fixed = row < m_model.FixedRows() || col < m_model.FixedCols();
    painter.fillRect(rect, fixed ? FixedFace : QColor(Qt::white));
    painter.setPen(GridLine);
    painter.drawLine(rect.topRight(), rect.bottomRight());
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());

    QRect textRect = rect.adjusted(0, 0, -1, -1);
    if (const auto box = m_model.CheckBox(col, row)) {
        const QRect boxRect(textRect.left() + 2, textRect.top() + 2, 12, 12);
        painter.setPen(Qt::black);
        painter.drawRect(boxRect);
        if (*box) {
            painter.drawLine(boxRect.left() + 2, boxRect.center().y(), boxRect.center().x(),
                             boxRect.bottom() - 2);
            painter.drawLine(boxRect.center().x(), boxRect.bottom() - 2, boxRect.right() - 2,
                             boxRect.top() + 2);
        }
        textRect.setLeft(boxRect.right() + 4);
    }

    const QString text = m_model.Cells(col, row);
    painter.setFont(fixed ? m_fixedFont : font());
    painter.setPen(fixed ? FixedText : QColor(Qt::black));
    if (MarkupTextKind(text) == TextKind::Markup) {
        // Markup starts one pixel right of its rectangle: this puts it on the
        // cell's own left edge.
        DrawMarkupText(painter, text, textRect.adjusted(-1, 0, 0, 0), MarkupParams{},
                       MarkupMode::Draw);
    } else {
        drawPlainCellText(painter, text, textRect.adjusted(2, 2, -2, -2), PlainTextFlags{});
    }
}
