#include "pictures.h"

#include <QPainter>
#include <QSvgRenderer>

using namespace Qt::Literals::StringLiterals;

namespace {

QImage render(QSvgRenderer &renderer, const QSize &size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (renderer.isValid()) {
        QPainter painter(&image);
        renderer.render(&painter);
    }
    return image;
}

} // namespace

QPixmap renderPicture(const QString &resource, const QSize &size, qreal pixelRatio)
{
    QSvgRenderer renderer(resource);
    QPixmap pixmap = QPixmap::fromImage(render(renderer, (QSizeF(size) * pixelRatio).toSize()));
    pixmap.setDevicePixelRatio(pixelRatio);
    return pixmap;
}

QIcon windowIcon16And32()
{
    QIcon icon;
    for (int side : {16, 32})
        icon.addPixmap(renderPicture(u":/images/window-icon.svg"_s, QSize(side, side)));
    return icon;
}

TPicture iconPicture(const QString &resource, std::initializer_list<int> sides)
{
    QSvgRenderer renderer(resource);
    QList<QImage> images;
    for (int side : sides)
        images.append(render(renderer, QSize(side, side)));
    return TPicture::fromIcon(images);
}
