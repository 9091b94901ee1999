#pragma once

// The form in which the build hands rendered pictures to the tool: the width
// and the height, then each pixel as premultiplied ARGB, all as 32-bit
// little-endian numbers. Showing one is a copy, with nothing to decode.

#include <QByteArray>
#include <QImage>
#include <QtEndian>

#include <cstring>

inline QByteArray builtPictureData(const QImage &picture)
{
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QByteArray data(8 + qsizetype(image.width()) * image.height() * 4, Qt::Uninitialized);
    auto *out = reinterpret_cast<uchar *>(data.data());
    qToLittleEndian<quint32>(quint32(image.width()), out);
    qToLittleEndian<quint32>(quint32(image.height()), out + 4);
    out += 8;
    for (int y = 0; y < image.height(); ++y) {
        qToLittleEndian<quint32>(image.constScanLine(y), image.width(), out);
        out += qsizetype(image.width()) * 4;
    }
    return data;
}

// A picture of exactly `pixels` from `data`, or a null image when `data` is
// anything else.
inline QImage builtPicture(QByteArrayView data, QSize pixels)
{
    if (data.size() < 8)
        return {};
    const auto *in = reinterpret_cast<const uchar *>(data.data());
    const QSize size(int(qFromLittleEndian<quint32>(in)), int(qFromLittleEndian<quint32>(in + 4)));
    // Both sides are below 2^31 here, so the byte count fits 64 bits unsigned.
    if (size != pixels || pixels.isEmpty()
        || quint64(data.size()) != 8 + quint64(size.width()) * quint64(size.height()) * 4)
        return {};
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
    in += 8;
    for (int y = 0; y < size.height(); ++y) {
        qFromLittleEndian<quint32>(in, size.width(), image.scanLine(y));
        in += qsizetype(size.width()) * 4;
    }
    return image;
}
