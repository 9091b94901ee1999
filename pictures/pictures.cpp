#include "pictures.h"

#include "builtpicture.h"

#include <QAtomicInt>
#include <QImageReader>
#include <QResource>

#include <array>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {

QAtomicInt renderedAtRunTime;

// The build renders the pictures at one and two device pixels per point.
constexpr std::array BuiltRatios{1, 2};

// ":/images/logo.svg" at 161x57 and 2 pixels a point is
// ":/prerendered/images/logo-161x57@2x.pixels".
QString builtName(const QString &svg, QSize size, int ratio)
{
    if (!svg.startsWith(u":/"_s) || !svg.endsWith(u".svg"_s))
        return {};
    return u":/prerendered/"_s + QStringView(svg).sliced(2).chopped(4) + u'-'
        + QString::number(size.width()) + u'x' + QString::number(size.height()) + u'@'
        + QString::number(ratio) + u"x.pixels"_s;
}

std::optional<int> builtRatio(qreal pixelRatio)
{
    for (int ratio : BuiltRatios) {
        if (qFuzzyCompare(pixelRatio, qreal(ratio)))
            return ratio;
    }
    return std::nullopt;
}

QImage builtImage(const QString &svg, QSize size, int ratio)
{
    const QResource resource(builtName(svg, size, ratio));
    if (!resource.isValid())
        return {};
    return builtPicture(resource.uncompressedData(), size * ratio);
}

QImage renderFromSvg(const QString &svg, QSize pixels)
{
    renderedAtRunTime.ref();
    QImageReader reader(svg, "svg");
    reader.setScaledSize(pixels);
    return reader.read();
}

// Without Qt's SVG image plugin: a picture the build rendered, scaled; the
// smallest that is at least as sharp as asked for, else the sharpest.
QImage scaledBuiltPicture(const QString &svg, QSize size, qreal pixelRatio, QSize pixels)
{
    QImage best;
    for (int ratio : BuiltRatios) {
        QImage built = builtImage(svg, size, ratio);
        if (built.isNull())
            continue;
        best = std::move(built);
        if (ratio >= pixelRatio)
            break;
    }
    if (best.isNull())
        return {};
    return best.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

QImage pictureImage(const QString &svg, QSize size, qreal pixelRatio)
{
    const QSize pixels = (QSizeF(size) * pixelRatio).toSize();
    if (pixels.isEmpty())
        return {};
    QImage image;
    if (const auto ratio = builtRatio(pixelRatio))
        image = builtImage(svg, size, *ratio);
    if (image.isNull())
        image = renderFromSvg(svg, pixels);
    if (image.isNull())
        image = scaledBuiltPicture(svg, size, pixelRatio, pixels);
    if (image.size() != pixels) {
        image = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
    }
    image.convertTo(QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(pixelRatio);
    return image;
}

int picturesRenderedAtRunTime()
{
    return renderedAtRunTime.loadRelaxed();
}
