// Build tool: renders the tool's SVG pictures into files of ready-to-show
// pixels, so that the tool itself need not render them when it starts.
//
//   ordevan_prerender SOURCE_DIR OUTPUT_DIR NAME=WxH[,WxH...]...
//   ordevan_prerender --icon SVG OUTPUT.ico SIZE[,SIZE...]
//
// For each NAME (a path under SOURCE_DIR ending in .svg) and each size, in
// points, it writes OUTPUT_DIR/<NAME without .svg>-<W>x<H>@1x.pixels and
// @2x.pixels, the picture at one and at two device pixels per point, in the
// form builtpicture.h reads: ready to show, nothing to decode.
//
// With --icon it writes a Windows icon file of the SVG at the square sizes
// given, in pixels, each stored as PNG (as Windows reads icons since Vista),
// for the Windows executable's resources.

#include "builtpicture.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>
#include <QtEndian>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

bool fail(const QString &message)
{
    std::fprintf(stderr, "ordevan_prerender: %s\n", qPrintable(message));
    return false;
}

QImage rendered(QSvgRenderer &renderer, QSize pixels)
{
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

bool writeFile(const QString &target, const QByteArray &data)
{
    QSaveFile file(target);
    if (!QDir().mkpath(QFileInfo(target).path()) || !file.open(QIODevice::WriteOnly)
        || file.write(data) < 0 || !file.commit())
        return fail(u"cannot write "_s + target);
    return true;
}

bool renderOne(QSvgRenderer &renderer, const QSize &size, int ratio, const QString &target)
{
    return writeFile(target, builtPictureData(rendered(renderer, size * ratio)));
}

template<typename Number>
void appendLittleEndian(QByteArray &out, Number value)
{
    char bytes[sizeof(Number)];
    qToLittleEndian(value, bytes);
    out.append(bytes, sizeof bytes);
}

// An .ico file: a header, one 16-byte entry per image, then the images.
QByteArray iconFile(QSvgRenderer &renderer, const QList<int> &sizes)
{
    QList<QByteArray> images;
    for (int size : sizes) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        rendered(renderer, {size, size}).save(&buffer, "PNG");
        images.append(png);
    }
    QByteArray out;
    appendLittleEndian<quint16>(out, 0); // reserved
    appendLittleEndian<quint16>(out, 1); // an icon, not a cursor
    appendLittleEndian<quint16>(out, quint16(sizes.size()));
    quint32 offset = quint32(6 + 16 * sizes.size());
    for (qsizetype i = 0; i < sizes.size(); ++i) {
        const char side = char(sizes[i] == 256 ? 0 : sizes[i]); // 0 stands for 256
        out.append(side).append(side);
        out.append(char(0)).append(char(0)); // no palette, reserved
        appendLittleEndian<quint16>(out, 1); // colour planes
        appendLittleEndian<quint16>(out, 32); // bits per pixel
        appendLittleEndian<quint32>(out, quint32(images[i].size()));
        appendLittleEndian<quint32>(out, offset);
        offset += quint32(images[i].size());
    }
    for (const QByteArray &image : images)
        out.append(image);
    return out;
}

bool writeIcon(const QString &svg, const QString &target, const QString &sizeList)
{
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return fail(u"not a usable SVG file: "_s + svg);
    QList<int> sizes;
    for (const QString &text : sizeList.split(u',')) {
        bool ok = false;
        const int size = text.toInt(&ok);
        if (!ok || size < 1 || size > 256)
            return fail(u"not an icon size from 1 to 256: "_s + text);
        sizes.append(size);
    }
    return writeFile(target, iconFile(renderer, sizes));
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
    if (args.size() == 5 && args[1] == u"--icon"_s)
        return writeIcon(args[2], args[3], args[4]) ? 0 : 1;
    if (args.size() < 3) {
        std::fprintf(stderr,
                     "usage: ordevan_prerender SOURCE_DIR OUTPUT_DIR NAME=WxH[,WxH...]...\n"
                     "       ordevan_prerender --icon SVG OUTPUT.ico SIZE[,SIZE...]\n");
        return 2;
    }
    for (const QString &entry : args.mid(3)) {
        if (!renderEntry(args[1], args[2], entry))
            return 1;
    }
    return 0;
}
