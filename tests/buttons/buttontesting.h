#pragma once

// Shared by the picture button tests: test pictures, rendering a look into
// an image, and the classic colours the button paints with.

#include "oxbutton.h"
#include "wincolors.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace buttontesting {

constexpr QRgb Face = qRgb(210, 223, 232);
constexpr QRgb Red = qRgb(255, 0, 0);
constexpr QRgb Gray = qRgb(128, 128, 128);
constexpr QRgb White = qRgb(255, 255, 255);
constexpr QRgb Black = qRgb(0, 0, 0);

inline QRgb sys(SystemColor color)
{
    return sysColor(color).rgb();
}

// An icon of one opaque colour, square or (with `disc`) round.
inline TPicture solidIcon(int side, QRgb color = Red, bool disc = false)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    if (disc) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor::fromRgb(color));
        p.drawEllipse(image.rect());
    } else {
        p.fillRect(image.rect(), QColor::fromRgb(color));
    }
    p.end();
    return TPicture::fromIcon({image});
}

// A button set up as the window's buttons are, without a caption. It is
// shown, as a hidden widget learns of its new size only when it is shown.
inline void setUpLikeTheWindow(ToxCustomButton &button, QSize size = {61, 58})
{
    button.resize(size);
    button.show();
    button.SetColor(QColor::fromRgb(Face));
    button.SetPictureX(0);
    button.SetPictureY(4);
    button.SetTextX(0);
    button.SetTextY(-3);
}

// The look DrawButton gives `inner` now, pressed or not.
inline QImage render(ToxCustomGraphicButton &inner, bool pressed = false)
{
    QImage image(inner.size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    inner.DrawButton(painter, pressed);
    return image;
}

inline QRgb at(const QImage &image, int x, int y)
{
    return image.pixel(x, y) | 0xFF000000;
}

} // namespace buttontesting
