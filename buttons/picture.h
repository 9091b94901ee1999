#pragma once

// A button picture: nothing, a bitmap or an icon. A bitmap leaves out its
// transparent colour (by default the colour of its bottom-left pixel); an
// icon is a set of images of different sizes with their own transparency,
// shown at its natural size unless asked for the small one.

#include <QImage>
#include <QList>
#include <QPoint>
#include <QSize>

class QPainter;
class QRect;

class TPicture
{
public:
    enum class Kind { Empty, Bitmap, Icon };

    TPicture() = default;
    static TPicture fromBitmap(const QImage &bitmap);
    // `transparent` is left out when the bitmap is drawn.
    static TPicture fromBitmap(const QImage &bitmap, QRgb transparent);
    // The images of one icon, one per size.
    static TPicture fromIcon(const QList<QImage> &images);

    Kind kind() const { return m_kind; }
    bool isEmpty() const { return m_kind == Kind::Empty; }
    bool isIcon() const { return m_kind == Kind::Icon; }
    bool isBitmap() const { return m_kind == Kind::Bitmap; }
    // The natural size: the bitmap's, or the icon's standard 32 x 32 image
    // when it has one, else its first.
    int Width() const { return m_size.width(); }
    int Height() const { return m_size.height(); }
    QSize size() const { return m_size; }
    // The colour a bitmap leaves out.
    QRgb TransparentColor() const { return m_transparent; }

    // The size the picture is drawn at: icons at 16 x 16 when `smallIcons`.
    QSize drawnSize(bool smallIcons) const;
    // Draws the picture with its top-left at `at`, leaving out what is
    // transparent. An icon uses its image for the painter's pixel density
    // when it has one.
    void draw(QPainter &painter, QPoint at, bool smallIcons = false) const;
    void drawStretched(QPainter &painter, const QRect &target) const;
    // Black where the picture is visible and white elsewhere, at the size
    // `draw` uses on a device of `pixelRatio`; a null image for an empty
    // picture.
    QImage mask(bool smallIcons = false, qreal pixelRatio = 1.0) const;

    bool operator==(const TPicture &other) const;

private:
    // The image that `draw` paints at `size` device pixels, with
    // transparency as alpha.
    QImage imageAt(QSize size) const;
    QImage imageFor(bool smallIcons, qreal pixelRatio) const;

    Kind m_kind = Kind::Empty;
    QSize m_size;
    QRgb m_transparent = 0;
    // A bitmap: one image with its transparent colour turned into alpha.
    // An icon: its images, largest first.
    QList<QImage> m_images;
};
