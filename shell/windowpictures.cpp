#include "windowpictures.h"

#include "pictures.h"

using namespace Qt::Literals::StringLiterals;

QPixmap renderPicture(const QString &resource, const QSize &size, qreal pixelRatio)
{
    return QPixmap::fromImage(pictureImage(resource, size, pixelRatio));
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
        images.append(pictureImage(resource, QSize(side, side)));
    return TPicture::fromIcon(images);
}
