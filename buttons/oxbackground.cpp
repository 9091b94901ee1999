#include "oxbackground.h"

#include "graphicbutton.h"

ToxBackground::ToxBackground(ToxCustomGraphicButton *owner)
    : m_owner(owner)
{ }

void ToxBackground::SetStyle(ToxBackgroundStyle style)
{
    if (style == m_style)
        return;
    m_style = style;
    Changed();
    m_owner->InvalidateCache();
    // A clear face lets the parent show through.
    m_owner->setAttribute(Qt::WA_OpaquePaintEvent, style != oxbClear);
}

void ToxBackground::SetPicture(const TPicture &picture)
{
    m_picture = picture;
    Changed();
    m_owner->InvalidateCache();
}

void ToxBackground::SetGradient(const QColor &color)
{
    if (color == m_gradient.StartColor())
        return;
    m_gradient.SetStartColor(color);
    m_owner->InvalidateCache();
}

void ToxBackground::Assign(const ToxBackground &other)
{
    SetDitherDown(other.DitherDown());
    SetStyle(other.Style());
    SetPicture(other.Picture());
}

void ToxBackground::Changed()
{
    if (OnChange)
        OnChange();
}
