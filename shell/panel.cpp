#include "panel.h"

#include "pixellines.h"
#include "wincolors.h"

#include <QPainter>

namespace {

// One bevel ring: `topLeft` on the top and left edges, `bottomRight` on the others.
void drawBevel(QPainter &painter, const QRect &rect, const QColor &topLeft,
               const QColor &bottomRight)
{
    drawPixelLine(painter, rect.topLeft(), rect.topRight(), topLeft);
    drawPixelLine(painter, rect.topLeft(), rect.bottomLeft(), topLeft);
    drawPixelLine(painter, rect.bottomLeft(), rect.bottomRight(), bottomRight);
    drawPixelLine(painter, rect.topRight(), rect.bottomRight(), bottomRight);
}

} // namespace

TPanel::TPanel(const QColor &color, Bevel bevel, QWidget *parent)
    : QFrame(parent)
    , m_color(color)
    , m_bevel(bevel)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPanel::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    update();
}

QRect TPanel::clientRect() const
{
    const int inset = m_bevel == Bevel::Lowered ? 2 : 1;
    return rect().adjusted(inset, inset, -inset, -inset);
}

void TPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_color);
    const QColor shadow = sysColor(clBtnShadow);
    const QColor highlight = sysColor(clBtnHighlight);
    if (m_bevel == Bevel::Lowered) {
        drawBevel(painter, rect(), shadow, highlight);
        drawBevel(painter, rect().adjusted(1, 1, -1, -1), shadow, highlight);
    } else {
        drawBevel(painter, rect(), highlight, shadow);
    }
    if (!m_caption.isEmpty()) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.setFont(font());
        painter.drawText(clientRect(), Qt::AlignCenter, m_caption);
    }
}

TShape::TShape(const QColor &fill, QWidget *parent)
    : QWidget(parent)
    , m_fill(fill)
{ }

void TShape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_fill);
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
