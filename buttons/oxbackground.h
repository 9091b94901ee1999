#pragma once

// How a picture button's face is filled: solid, clear, a picture (clipped,
// stretched or tiled) or a gradient, and whether a checked button is
// dithered.

#include "gradient.h"
#include "oxtypes.h"
#include "picture.h"

#include <functional>

class ToxCustomGraphicButton;

class ToxBackground
{
public:
    explicit ToxBackground(ToxCustomGraphicButton *owner);

    ToxBackgroundStyle Style() const { return m_style; }
    void SetStyle(ToxBackgroundStyle style);
    const TPicture &Picture() const { return m_picture; }
    void SetPicture(const TPicture &picture);
    // The gradient's start colour.
    QColor Gradient() const { return m_gradient.StartColor(); }
    void SetGradient(const QColor &color);
    bool DitherDown() const { return m_ditherDown; }
    void SetDitherDown(bool dither) { m_ditherDown = dither; }

    TGradient &gradient() { return m_gradient; }

    // Copies the dither flag, the style and the picture, not the gradient.
    void Assign(const ToxBackground &other);

    // Sent when the style or the picture is set; the host rearranges itself.
    std::function<void()> OnChange;

private:
    void Changed();

    ToxCustomGraphicButton *m_owner;
    TGradient m_gradient;
    ToxBackgroundStyle m_style = oxbSolid;
    TPicture m_picture;
    bool m_ditherDown = true;
};
