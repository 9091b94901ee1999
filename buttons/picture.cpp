#include "picture.h"

#include <QPainter>
#include <QRect>

#include <algorithm>

namespace {

constexpr QSize StandardIconSize(32, 32);
constexpr QSize SmallIconSize(16, 16);
// Where an icon is at least half covered it counts as visible.
constexpr int VisibleAlpha = 128;

QImage withoutColor(const QImage &bitmap, QRgb transparent)
{
    QImage image = bitmap.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = transparent | 0xFF000000;
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] | 0xFF000000) == key)
                line[x] = 0;
            else
                line[x] |= 0xFF000000;
        }
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

TPicture TPicture::fromBitmap(const QImage &bitmap)
{
    if (bitmap.isNull())
        return {};
    return fromBitmap(bitmap, bitmap.pixel(0, bitmap.height() - 1));
}

TPicture TPicture::fromBitmap(const QImage &bitmap, QRgb transparent)
{
    TPicture picture;
    if (bitmap.isNull())
        return picture;
    picture.m_kind = Kind::Bitmap;
    picture.m_size = bitmap.size();
    picture.m_transparent = transparent & 0xFFFFFF;
    picture.m_images = {withoutColor(bitmap, transparent)};
    return picture;
}

TPicture TPicture::fromIcon(const QList<QImage> &images)
{
    TPicture picture;
    for (const QImage &image : images) {
        if (!image.isNull())
            picture.m_images.append(image.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
    if (picture.m_images.isEmpty())
        return picture;
    picture.m_kind = Kind::Icon;
    const auto standard
        = std::find_if(picture.m_images.cbegin(), picture.m_images.cend(),
                       [](const QImage &i) { return i.size() == StandardIconSize; });
    picture.m_size
        = standard != picture.m_images.cend() ? standard->size() : picture.m_images.first().size();
    std::stable_sort(picture.m_images.begin(), picture.m_images.end(),
                     [](const QImage &a, const QImage &b) { return a.width() > b.width(); });
    return picture;
}

QSize TPicture::drawnSize(bool smallIcons) const
{
    return isIcon() && smallIcons ? SmallIconSize : m_size;
}

QImage TPicture::imageAt(QSize size) const
{
    if (isEmpty() || size.isEmpty())
        return {};
    // An icon's own image of that size when it has one, else the smallest
    // larger one (or the largest) scaled; a bitmap keeps its hard edges.
    const QImage *best = &m_images.first();
    for (const QImage &image : m_images) {
        if (image.size() == size)
            return image;
        if (image.width() >= size.width())
            best = &image;
    }
    return best->scaled(size, Qt::IgnoreAspectRatio,
                        isIcon() ? Qt::SmoothTransformation : Qt::FastTransformation);
}

QImage TPicture::imageFor(bool smallIcons, qreal pixelRatio) const
{
    QImage image = imageAt(drawnSize(smallIcons) * pixelRatio);
    image.setDevicePixelRatio(pixelRatio);
    return image;
}

void TPicture::draw(QPainter &painter, QPoint at, bool smallIcons) const
{
    if (isEmpty())
        return;
    painter.drawImage(at, imageFor(smallIcons, painter.device()->devicePixelRatioF()));
}

void TPicture::drawStretched(QPainter &painter, const QRect &target) const
{
    if (isEmpty() || target.isEmpty())
        return;
    if (isBitmap()) {
        painter.drawImage(target, m_images.first());
    } else {
        const qreal ratio = painter.device()->devicePixelRatioF();
        QImage image = imageAt(target.size() * ratio);
        image.setDevicePixelRatio(ratio);
        painter.drawImage(target.topLeft(), image);
    }
}

QImage TPicture::mask(bool smallIcons, qreal pixelRatio) const
{
    const QImage image = imageFor(smallIcons, pixelRatio);
    if (image.isNull())
        return {};
    QImage mask(image.size(), QImage::Format_Mono);
    mask.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mask.fill(1);
    const int threshold = isIcon() ? VisibleAlpha : 255;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        uchar *bits = mask.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            // Most significant bit first; a cleared bit is colour 0, black.
            if (qAlpha(line[x]) >= threshold)
                bits[x >> 3] &= static_cast<uchar>(~(0x80 >> (x & 7)));
        }
    }
    mask.setDevicePixelRatio(pixelRatio);
    return mask;
}

bool TPicture::operator==(const TPicture &other) const
{
    return m_kind == other.m_kind && m_size == other.m_size && m_transparent == other.m_transparent
        && m_images == other.m_images;
}
