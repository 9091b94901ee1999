#include "gradient.h"

#include <QPainter>
#include <QRect>

EInvalidIndex::EInvalidIndex()
    : std::out_of_range("Index out of range")
{ }

TGradient::TGradient()
    : m_start(Qt::white)
    , m_end(Qt::black)
{ }

void TGradient::SetStartColor(const QColor &color)
{
    if (color == m_start)
        return;
    m_start = color;
    ReleaseTable();
    Changed();
}

void TGradient::SetEndColor(const QColor &color)
{
    if (color == m_end)
        return;
    m_end = color;
    ReleaseTable();
    Changed();
}

QColor TGradient::Color(int index)
{
    if (index < 0 || index >= m_steps)
        throw EInvalidIndex();
    BuildTable();
    return QColor::fromRgb(m_table[static_cast<std::size_t>(index)]);
}

void TGradient::BuildTable()
{
    if (!m_table.empty())
        return;
    // Each channel falls from the start by an equal share per step, truncated
    // toward zero: entry 0 is the start colour, the last entry is one step
    // short of the end colour.
    auto channel = [this](int start, int end, int i) {
        return start - static_cast<int>(double(start - end) / m_steps * i);
    };
    m_table.reserve(static_cast<std::size_t>(m_steps));
    for (int i = 0; i < m_steps; ++i)
        m_table.push_back(qRgb(channel(m_start.red(), m_end.red(), i),
                               channel(m_start.green(), m_end.green(), i),
                               channel(m_start.blue(), m_end.blue(), i)));
}

void TGradient::ReleaseTable()
{
    m_table.clear();
    m_table.shrink_to_fit();
}

void TGradient::Changed()
{
    if (OnChange)
        OnChange();
}

void TGradient::Draw(QPainter &painter, const QRect &rect)
{
    BuildTable();
    // Single precision, as the band edges have always been computed.
    const float w = float(rect.width()) / float(m_steps);
    const int band = static_cast<int>(w + 1);
    int x = rect.left();
    for (int i = 0; i < m_steps; ++i) {
        painter.fillRect(QRect(x, rect.top(), band, rect.height()),
                         QColor::fromRgb(m_table[static_cast<std::size_t>(i)]));
        x = rect.left() + static_cast<int>(float(i + 1) * w);
    }
}
