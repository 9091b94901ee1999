#include "pictures.h"

#include <QPainter>
#include <QSvgRenderer>

using namespace Qt::Literals::StringLiterals;

QPixmap renderPicture(const QString &resource, const QSize &size)
{
    QSvgRenderer renderer(resource);
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    if (renderer.isValid()) {
        QPainter painter(&pixmap);
        renderer.render(&painter);
    }
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
    QList<QImage> images;
    for (int side : sides)
        images.append(renderPicture(resource, QSize(side, side)).toImage());
    return TPicture::fromIcon(images);
}
