#pragma once

#include "picture.h"

#include <QIcon>
#include <QPixmap>

// One of the tool's pictures at `size`, for a screen of `pixelRatio` device
// pixels per point.
QPixmap renderPicture(const QString &resource, const QSize &size, qreal pixelRatio = 1.0);
// The window icon, with its 16 and 32 pixel images.
QIcon windowIcon16And32();
// An icon of our own with an image of each of `sides`, for a picture button.
TPicture iconPicture(const QString &resource, std::initializer_list<int> sides);
