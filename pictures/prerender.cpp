// Build tool: renders the tool's SVG pictures into files of ready-to-show
// pixels, so that the tool itself need not render them when it starts.
//
//   ordevan_prerender SOURCE_DIR OUTPUT_DIR NAME=WxH[,WxH...]...
//
// For each NAME (a path under SOURCE_DIR ending in .svg) and each size, in
// points, it writes OUTPUT_DIR/<NAME without .svg>-<W>x<H>@1x.pixels and
// @2x.pixels, the picture at one and at two device pixels per point, in the
// form builtpicture.h reads: ready to show, nothing to decode.

#include "builtpicture.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

bool fail(const QString &message)
{
    std::fprintf(stderr, "ordevan_prerender: %s\n", qPrintable(message));
    return false;
}

bool renderOne(QSvgRenderer &renderer, const QSize &size, int ratio, const QString &target)
{
    QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        renderer.render(&painter);
    }
    QSaveFile file(target);
    if (!QDir().mkpath(QFileInfo(target).path()) || !file.open(QIODevice::WriteOnly)
        || file.write(builtPictureData(image)) < 0 || !file.commit())
        return fail(u"cannot write "_s + target);
    return true;
}

bool renderEntry(const QString &sourceDir, const QString &outputDir, const QString &entry)
{
    const qsizetype equals = entry.indexOf(u'=');
    const QString name = entry.left(equals);
    if (equals < 0 || !name.endsWith(u".svg"_s))
        return fail(u"expected NAME.svg=WxH[,WxH...], got "_s + entry);
    QSvgRenderer renderer(sourceDir + u'/' + name);
    if (!renderer.isValid())
        return fail(u"not a usable SVG file: "_s + name);
    const QString stem = outputDir + u'/' + name.chopped(4);
    for (const QString &size : entry.mid(equals + 1).split(u',')) {
        const QStringList sides = size.split(u'x');
        bool wideOk = false;
        bool highOk = false;
        const QSize points(sides.value(0).toInt(&wideOk), sides.value(1).toInt(&highOk));
        // Written as the tool looks it up, or it would never be found.
        const QString canonical
            = QString::number(points.width()) + u'x' + QString::number(points.height());
        if (sides.size() != 2 || !wideOk || !highOk || points.isEmpty() || size != canonical)
            return fail(u"not a size written as WxH: "_s + size);
        for (int ratio : {1, 2}) {
            const QString target
                = stem + u'-' + size + u'@' + QString::number(ratio) + u"x.pixels"_s;
            if (!renderOne(renderer, points, ratio, target))
                return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv); // the SVG text needs the font database
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr,
                     "usage: ordevan_prerender SOURCE_DIR OUTPUT_DIR NAME=WxH[,WxH...]...\n");
        return 2;
    }
    for (const QString &entry : args.mid(3)) {
        if (!renderEntry(args[1], args[2], entry))
            return 1;
    }
    return 0;
}
