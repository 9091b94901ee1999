// How a picture button draws itself: face, picture and its shadow, caption,
// focus mark and frame, into an off-screen image kept per look.

#include "graphicbutton.h"

#include "pixellines.h"
#include "wincolors.h"

#include <QPainter>

namespace {

constexpr qsizetype MaxCaption = 255;

bool usable(const TPicture &picture)
{
    return picture.Height() >= 2;
}

// A one-pixel outline just inside `r`, top and left in `topLeft`, right and
// bottom in `bottomRight` (which also takes the top-right and bottom-left
// corners); then `r` shrinks by one on every side.
void bevel(QPainter &p, QRect &r, const QColor &topLeft, const QColor &bottomRight)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    p.fillRect(r.left(), r.top(), 1, r.height() - 1, topLeft);
    p.fillRect(r.left(), r.top(), r.width() - 1, 1, topLeft);
    p.fillRect(r.right(), r.top(), 1, r.height(), bottomRight);
    p.fillRect(r.left(), r.bottom(), r.width(), 1, bottomRight);
    r.adjust(1, 1, -1, -1);
}

void bevel(QPainter &p, QRect &r, SystemColor topLeft, SystemColor bottomRight)
{
    bevel(p, r, sysColor(topLeft), sysColor(bottomRight));
}

// Up the left edge from the bottom-left corner and along the top edge to
// the top-right corner; `r` keeps its size.
void lLine(QPainter &p, const QRect &r, SystemColor color)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    p.fillRect(r.left(), r.top(), 1, r.height(), sysColor(color));
    p.fillRect(r.left(), r.top(), r.width(), 1, sysColor(color));
}

// Inverts every other pixel of the outline of `r`, so drawing it twice
// removes it.
void xorFocusRect(QPainter &p, const QRect &r)
{
    const QList<QPoint> dots = dottedOutline(r);
    if (dots.isEmpty())
        return;
    p.save();
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setPen(QPen(Qt::white, 1));
    p.drawPoints(dots.constData(), static_cast<int>(dots.size()));
    p.restore();
}

// Where `extra` places a box of `size` in `space`: a positive value from
// the start, zero centred, a negative one from the end.
int placeAlong(int space, int size, int extra)
{
    if (extra > 0)
        return extra;
    if (extra == 0)
        return (space - size) / 2;
    return space - size + extra;
}

} // namespace

int ToxCustomGraphicButton::s_instances = 0;
QImage ToxCustomGraphicButton::s_ditherPattern;

// The checker every checked button is dithered with: button face, with
// white where row and column are both even or both odd.
const QImage &ToxCustomGraphicButton::ditherPattern()
{
    if (s_ditherPattern.isNull()) {
        s_ditherPattern = QImage(8, 8, QImage::Format_RGB32);
        s_ditherPattern.fill(sysColor(clBtnFace));
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                if (x % 2 == y % 2)
                    s_ditherPattern.setPixel(x, y, qRgb(255, 255, 255));
            }
        }
    }
    return s_ditherPattern;
}

int ToxCustomGraphicButton::cacheSlot(bool pressed) const
{
    if (!isEnabled())
        return SlotDisabled;
    if (pressed)
        return SlotPressed;
    if (m_focused)
        return SlotFocused;
    if (m_active)
        return SlotActive;
    if (m_hot && effectiveStyle() >= bsWin97)
        return SlotHot;
    return SlotUp;
}

void ToxCustomGraphicButton::DrawButton(QPainter &canvas, bool pressed)
{
    if (width() <= 0 || height() <= 0)
        return; // nothing to draw, and no image to draw it in
    const int slot = cacheSlot(pressed);
    const unsigned slotBit = 1u << slot;
    const bool clear = m_background.Style() == oxbClear;
    const QRect area(0, 0, width(), height());
    // Looks are drawn for the pixel density of the device shown on, so that
    // scaled screens get sharp captions and frames.
    const qreal ratio = canvas.device() ? canvas.device()->devicePixelRatioF() : 1.0;
    const QSize slotSize = (QSizeF(area.size()) * ratio).toSize();
    bool caching = m_options.contains(oxbCacheImages) && !clear;
    // A hidden button gets its resize events only when shown.
    if (caching
        && (m_cacheRatio != ratio || m_cache.height() != slotSize.height()
            || m_cache.width() != CacheSlots * slotSize.width())) {
        m_cacheRatio = ratio;
        resizeCache();
    }
    caching = caching && !m_cache.isNull();
    if (const QString caption = Caption(); caption != m_cachedCaption) {
        m_cachedCaption = caption;
        m_cachedStates = 0;
    }
    const QRect cacheSlot(QPoint(slotSize.width() * slot, 0), slotSize);

    if (!caching || !(m_cachedStates & slotBit)) {
        if (clear) {
            // A clear face is drawn straight onto the parent's background.
            render(canvas, pressed);
        } else {
            QImage work(slotSize, QImage::Format_RGB32);
            work.setDevicePixelRatio(ratio);
            {
                QPainter painter(&work);
                render(painter, pressed);
            }
            if (caching) {
                work.setDevicePixelRatio(1.0);
                QPainter cache(&m_cache);
                cache.setCompositionMode(QPainter::CompositionMode_Source);
                cache.drawImage(cacheSlot.topLeft(), work);
            } else {
                canvas.drawImage(QPoint(0, 0), work);
            }
        }
        m_cachedStates |= slotBit;
    }
    if (caching)
        canvas.drawImage(area, m_cache, cacheSlot);
}

void ToxCustomGraphicButton::render(QPainter &canvas, bool pressed)
{
    ++m_renderCount;
    const TPicture &picture = currentPicture(pressed);
    BuildMask(picture, canvas.device() ? canvas.device()->devicePixelRatioF() : 1.0);
    CalcPictureRect(picture);
    PaintBackground(canvas, QRect(0, 0, width(), height()));
    if (!isEnabled() && usable(m_pictureDisabled))
        PaintPicture(canvas, picture, pressed);
    else if (isEnabled())
        PaintPictureShadow(canvas, pressed);
    else
        PaintDisabledPicture(canvas, pressed);

    canvas.setFont(captionFont());
    CalcTextRect(canvas, pressed);
    if (m_focused)
        PaintFocus(canvas, pressed);
    PaintText(canvas, pressed);
    PaintFrame(canvas, pressed, (m_focused || m_active) && m_focusStyle.contains(fsDefault));
    if (isEnabled())
        PaintPicture(canvas, picture, pressed);
    m_mask = QImage();
}

const TPicture &ToxCustomGraphicButton::currentPicture(bool pressed) const
{
    const TPicture *picture = &m_pictureUp;
    if ((pressed || m_value) && usable(m_pictureDown))
        picture = &m_pictureDown;
    if (!isEnabled() && usable(m_pictureDisabled))
        picture = &m_pictureDisabled;
    return *picture;
}

void ToxCustomGraphicButton::BuildMask(const TPicture &picture, qreal pixelRatio)
{
    m_mask = picture.mask(m_options.contains(oxbSmallIcons), pixelRatio);
}

void ToxCustomGraphicButton::CalcPictureRect(const TPicture &picture)
{
    const QSize size = picture.drawnSize(m_options.contains(oxbSmallIcons));
    const int x = placeAlong(width(), size.width(), m_pictureX);
    const int y = placeAlong(height(), size.height(), m_pictureY);
    m_pictureRect = QRect(QPoint(x, y), size);
}

// Paints the mask's visible part in `color` with its top-left at `at`: AND
// with the mask clears what the picture covers, OR puts the colour there.
void ToxCustomGraphicButton::paintSilhouette(QPainter &canvas, QPoint at, const QColor &color) const
{
    if (m_mask.isNull())
        return;
    QImage keep = m_mask;
    keep.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    QImage paint = m_mask;
    paint.setColorTable({color.rgb(), qRgb(0, 0, 0)});
    canvas.save();
    canvas.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    canvas.drawImage(at, keep);
    canvas.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
    canvas.drawImage(at, paint);
    canvas.restore();
}

void ToxCustomGraphicButton::PaintBackground(QPainter &canvas, const QRect &rect)
{
    const TPicture &picture = m_background.Picture();
    switch (m_background.Style()) {
    case oxbSolid:
        canvas.fillRect(rect, m_color);
        break;
    case oxbClear:
        break;
    case oxbPictureClip:
        canvas.fillRect(rect, m_color);
        picture.draw(canvas,
                     rect.topLeft()
                         + QPoint((rect.width() - picture.Width()) / 2,
                                  (rect.height() - picture.Height()) / 2));
        break;
    case oxbPictureStretch:
        canvas.fillRect(rect, m_color);
        picture.drawStretched(canvas, rect);
        break;
    case oxbPicturePattern:
        canvas.fillRect(rect, m_color);
        if (picture.Width() > 0 && picture.Height() > 0) {
            for (int x = rect.left(); x < rect.left() + rect.width(); x += picture.Width()) {
                for (int y = rect.top(); y < rect.top() + rect.height(); y += picture.Height())
                    picture.draw(canvas, QPoint(x, y));
            }
        }
        break;
    case oxbGradient:
        m_background.gradient().SetEndColor(m_color);
        m_background.gradient().Draw(canvas, rect);
        break;
    }

    // A checked button is dithered while the mouse is not over it: each
    // pixel becomes NOT (pixel XOR pattern).
    if (m_background.DitherDown() && m_value && !m_hot) {
        const QRect all(0, 0, width(), height());
        canvas.save();
        canvas.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        canvas.setBrushOrigin(0, 0);
        canvas.fillRect(all, QBrush(ditherPattern()));
        canvas.setCompositionMode(QPainter::RasterOp_NotDestination);
        canvas.fillRect(all, Qt::black);
        canvas.restore();
    }
}

void ToxCustomGraphicButton::PaintPictureShadow(QPainter &canvas, bool pressed)
{
    if (m_mask.isNull() || effectiveStyle() == bsShaped || m_shadowColor == m_color)
        return;
    int d = pressed ? 4 : m_value ? 3 : 2;
    if (effectiveStyle() == bsBorderless)
        d = 2;
    paintSilhouette(canvas, m_pictureRect.topLeft() + QPoint(d, d), m_shadowColor);
}

void ToxCustomGraphicButton::PaintDisabledPicture(QPainter &canvas, bool pressed)
{
    const int o = pressed ? 2 : m_value ? 1 : 0;
    const QPoint at = m_pictureRect.topLeft();
    paintSilhouette(canvas, at + QPoint(o + 1, o + 1), sysColor(clBtnHighlight));
    paintSilhouette(canvas, at + QPoint(o - 1, o - 1), sysColor(clBtnShadow));
    paintSilhouette(canvas, at + QPoint(o, o), m_color);
}

void ToxCustomGraphicButton::PaintPicture(QPainter &canvas, const TPicture &picture, bool pressed)
{
    if (!usable(picture))
        return;
    QPoint at = m_pictureRect.topLeft();
    const bool noShadow = m_shadowColor == m_color;
    if (pressed && noShadow) {
        at += QPoint(2, 2);
    } else if (m_value && noShadow) {
        at += QPoint(1, 1);
    } else if (effectiveStyle() == bsBorderless) {
        if (m_hot)
            at -= QPoint(1, 1);
        if (pressed)
            at += QPoint(2, 2);
        else if (m_value)
            at += QPoint(1, 1);
    } else if (effectiveStyle() == bsShaped) {
        int e = 1;
        if (pressed || m_value) {
            at += QPoint(1, 1);
            e = -1;
        }
        if (m_hot || m_value || m_focused) {
            paintSilhouette(canvas, at + QPoint(e, e), sysColor(clBtnShadow));
            paintSilhouette(canvas, at - QPoint(e, e), sysColor(clBtnHighlight));
        }
    }
    picture.draw(canvas, at, m_options.contains(oxbSmallIcons));
}

QFont ToxCustomGraphicButton::captionFont() const
{
    QFont f = font();
    if (m_focusStyle.contains(fsBoldFont)) {
        const bool bold = m_focused || m_active;
        f.setBold(bold);
        f.setItalic(false);
        f.setUnderline(false);
        f.setStrikeOut(false);
    }
    return f;
}

namespace {

// The caption as laid out: "||" breaks the line where it is honoured.
QString captionText(const QString &caption, bool breakLines)
{
    QString text = caption.left(MaxCaption);
    if (breakLines)
        text.replace(TCaptionStrings::LineSeparator, QStringLiteral("\n"));
    return text;
}

} // namespace

void ToxCustomGraphicButton::CalcTextRect(QPainter &canvas, bool pressed)
{
    if (Caption().isEmpty()) {
        m_textRect = QRect();
        return;
    }
    QRect r(0, 0, width(), height());
    if (m_font3D != fsShadow) {
        if (pressed)
            r.translate(2, 2);
        else if (m_value)
            r.translate(1, 1);
    }

    QRect t = r;
    int flags = Qt::AlignTop;
    if (m_textAngle != 0) {
        flags |= Qt::AlignLeft;
    } else if (m_multiLine) {
        flags |= Qt::TextWordWrap;
        if (m_textX > 0) {
            t.setRight(t.right() - m_textX);
            flags |= Qt::AlignLeft;
        } else if (m_textX < 0) {
            t.setRight(t.right() + m_textX);
            flags |= Qt::AlignRight;
        } else {
            t.setRight(t.right() - 2);
            flags |= Qt::AlignHCenter;
        }
    } else {
        flags |= Qt::TextSingleLine | Qt::AlignHCenter;
    }
    const QString text = captionText(Caption(), m_multiLine);
    const QRect measured = canvas.fontMetrics().boundingRect(t, flags, text);
    t.setSize(measured.size());
    if (m_textAngle != 0)
        t.setRight(t.bottom());
    t.adjust(0, 0, 4, 2);

    t.moveTo(r.left() + placeAlong(r.width(), t.width(), m_textX),
             r.top() + placeAlong(r.height(), t.height(), m_textY));
    m_textRect = t;
}

void ToxCustomGraphicButton::PaintFocus(QPainter &canvas, bool pressed)
{
    if (m_focusStyle.contains(fsText) && m_textAngle == 0)
        xorFocusRect(canvas, m_textRect);
    if (!m_focusStyle.contains(fsOutline) && !(m_textAngle != 0 && m_focusStyle.contains(fsText)))
        return;
    QRect r(0, 0, width(), height());
    switch (effectiveStyle()) {
    case bsWin31: {
        const int inset = m_focusStyle.contains(fsDefault) ? 5 : 4;
        r.adjust(inset, inset, -inset, -inset);
        if (pressed)
            r.translate(1, 1);
        break;
    }
    case bsWin95:
    case bsWin97:
        r.adjust(4, 4, -4, -4);
        break;
    case bsInset:
        r.adjust(4, 4, -4, -4);
        if (pressed)
            r.translate(1, 1);
        break;
    case bsDelphi:
        r.adjust(3, 3, -3, -3);
        break;
    default:
        break;
    }
    xorFocusRect(canvas, r);
}

void ToxCustomGraphicButton::PaintText(QPainter &canvas, bool pressed)
{
    const QColor k = isEnabled() ? m_fontColor : clGray;
    const TFontStyle effect = isEnabled() ? m_font3D : fsInset;
    const QColor shadow = sysColor(clBtnShadow);
    const QColor highlight = sysColor(clBtnHighlight);

    struct Layer
    {
        QColor color;
        QPoint offset;
    };
    QList<Layer> layers;
    switch (effect) {
    case fsNone:
        return;
    case fsNormal:
        break;
    case fsRaised:
        layers = {{highlight, {-1, -1}}};
        break;
    case fsInset:
        layers = {{highlight, {1, 1}}};
        break;
    case fsRidged:
        layers = {{shadow, {1, 1}}, {highlight, {-1, -1}}};
        break;
    case fsGrooved:
        layers = {{shadow, {-1, -1}}, {highlight, {1, 1}}};
        break;
    case fsShadow:
        layers = {{shadow, pressed ? QPoint(4, 4) : QPoint(2, 2)}};
        break;
    }
    layers.append({k, {0, 0}});

    if (m_textAngle == 0) {
        int flags = Qt::AlignTop;
        if (!m_multiLine)
            flags |= Qt::TextSingleLine | Qt::AlignHCenter;
        else if (m_textX > 0)
            flags |= Qt::AlignLeft;
        else if (m_textX < 0)
            flags |= Qt::AlignRight;
        else
            flags |= Qt::AlignHCenter;
        const QString text = captionText(Caption(), true);
        for (const Layer &layer : layers) {
            canvas.setPen(layer.color);
            canvas.drawText(m_textRect.translated(layer.offset), flags, text);
        }
        return;
    }

    // Rotated: one string, its baseline centred on the middle of the box.
    const QString text = Caption().left(MaxCaption);
    const QPoint reference(m_textRect.left() + m_textRect.width() - m_textRect.width() / 2,
                           m_textRect.top() + m_textRect.height() - m_textRect.height() / 2);
    const int half = canvas.fontMetrics().horizontalAdvance(text) / 2;
    for (const Layer &layer : layers) {
        canvas.save();
        canvas.translate(reference + layer.offset);
        canvas.rotate(-m_textAngle);
        canvas.setPen(layer.color);
        canvas.drawText(QPoint(-half, 0), text);
        canvas.restore();
    }
}

void ToxCustomGraphicButton::PaintFrame(QPainter &canvas, bool pressed, bool isDefault)
{
    QRect r(0, 0, width(), height());
    const bool down = pressed || m_value;
    switch (effectiveStyle()) {
    case bsWin31:
        bevel(canvas, r, clWindowFrame, clWindowFrame);
        if (isDefault)
            bevel(canvas, r, clWindowFrame, clWindowFrame);
        if (pressed) {
            lLine(canvas, r, clBtnShadow);
            r.adjust(1, 1, 0, 0);
            lLine(canvas, r, clBtnShadow);
        } else if (m_value) {
            lLine(canvas, r, clBtnShadow);
        } else {
            bevel(canvas, r, clBtnHighlight, clBtnShadow);
            bevel(canvas, r, clBtnHighlight, clBtnShadow);
        }
        break;
    case bsWin95:
        if (down && isDefault) {
            bevel(canvas, r, clWindowFrame, clWindowFrame);
            bevel(canvas, r, clBtnShadow, clBtnShadow);
        } else if (down) {
            bevel(canvas, r, clWindowFrame, clBtnHighlight);
            bevel(canvas, r, clBtnShadow, clBtnFace);
        } else {
            if (isDefault)
                bevel(canvas, r, clWindowFrame, clWindowFrame);
            bevel(canvas, r, clBtnHighlight, clWindowFrame);
            bevel(canvas, r, clBtnFace, clBtnShadow);
        }
        break;
    case bsInset:
        bevel(canvas, r, clBtnShadow, clBtnHighlight);
        bevel(canvas, r, clWindowFrame, clWindowFrame);
        if (down)
            lLine(canvas, r, clBtnShadow);
        else
            bevel(canvas, r, clBtnHighlight, isDefault ? clWindowFrame : clBtnShadow);
        break;
    case bsDelphi:
        if (down) {
            bevel(canvas, r, clBtnShadow, clBtnHighlight);
            bevel(canvas, r, clWindowFrame, clBtnShadow);
        } else {
            bevel(canvas, r, clBtnShadow, clWindowFrame);
            bevel(canvas, r, clBtnHighlight, isDefault ? clWindowFrame : clBtnShadow);
        }
        break;
    case bsSpeed:
        if (down) {
            bevel(canvas, r, clWindowFrame, clBtnHighlight);
            bevel(canvas, r, clBtnShadow, clBtnFace);
        } else {
            bevel(canvas, r, clBtnHighlight, clWindowFrame);
            bevel(canvas, r, clBtnFace, clBtnShadow);
        }
        break;
    case bsWin97:
        if (down && isDefault) {
            bevel(canvas, r, clWindowFrame, clWindowFrame);
            bevel(canvas, r, clBtnShadow, clBtnShadow);
        } else if (down) {
            bevel(canvas, r, clBtnShadow, clBtnHighlight);
        } else if (isEnabled() && (m_hot || isDefault || m_tracking)) {
            if (isDefault)
                bevel(canvas, r, clWindowFrame, clWindowFrame);
            bevel(canvas, r, clBtnHighlight, clBtnShadow);
        }
        break;
    default:
        break;
    }
}
