#pragma once

// The tool's pictures: SVG files of our own, built in as resources named
// ":/<folder>/<name>.svg". Those the window starts with are rendered when the
// tool is built; the rest are rendered from the SVG when asked.

#include <QImage>
#include <QString>

// The picture `svg` at `size` points for a screen of `pixelRatio` device
// pixels per point. A picture that cannot be rendered is transparent, never
// missing.
QImage pictureImage(const QString &svg, QSize size, qreal pixelRatio = 1.0);

// How many pictures this process has rendered from SVG at run time; the
// pictures the window starts with should need none.
int picturesRenderedAtRunTime();
