#pragma once

// Lines one pixel wide along a row or a column, as the window's bevels and
// grid lines are: drawn as filled rectangles, which gives the pixels a
// one-pixel pen's drawLine gives, without stroking a path.

#include <QColor>
#include <QList>
#include <QPainter>
#include <QPoint>
#include <QRect>

#include <algorithm>

// From `from` to `to`, both ends included; the two share a row or a column.
inline void drawPixelLine(QPainter &painter, QPoint from, QPoint to, const QColor &color)
{
    const QPoint topLeft(std::min(from.x(), to.x()), std::min(from.y(), to.y()));
    const QPoint bottomRight(std::max(from.x(), to.x()), std::max(from.y(), to.y()));
    painter.fillRect(QRect(topLeft, bottomRight), color);
}

// The legs of the triangle that marks what holds edits not saved yet.
inline constexpr int CornerMarkSize = 7;

// A right triangle whose right angle is the pixel `corner`, its legs going
// left and down from it: the mark of an edited cell, or of a page button
// whose page holds edits.
inline void drawCornerMark(QPainter &painter, QPoint corner, const QColor &colour)
{
    for (int line = 0; line < CornerMarkSize; ++line)
        painter.fillRect(corner.x() - (CornerMarkSize - 1 - line), corner.y() + line,
                         CornerMarkSize - line, 1, colour);
}

// Every other pixel of the outline of `r`, as Windows draws a focus
// rectangle: the pixels whose column and row add up to an even number.
inline QList<QPoint> dottedOutline(const QRect &r)
{
    QList<QPoint> dots;
    if (r.width() <= 0 || r.height() <= 0)
        return dots;
    const auto line = [&dots](int x0, int y0, int dx, int dy, int length) {
        for (int i = 0; i < length; ++i) {
            const int x = x0 + i * dx;
            const int y = y0 + i * dy;
            if ((x + y) % 2 == 0)
                dots.append(QPoint(x, y));
        }
    };
    line(r.left(), r.top(), 1, 0, r.width());
    if (r.height() > 1)
        line(r.left(), r.bottom(), 1, 0, r.width());
    line(r.left(), r.top() + 1, 0, 1, r.height() - 2);
    if (r.width() > 1)
        line(r.right(), r.top() + 1, 0, 1, r.height() - 2);
    return dots;
}
