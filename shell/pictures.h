#pragma once

#include <QIcon>
#include <QPixmap>

// Renders one of the tool's SVG pictures at `size`.
QPixmap renderPicture(const QString &resource, const QSize &size);
// The window icon, with its 16 and 32 pixel images.
QIcon windowIcon16And32();
