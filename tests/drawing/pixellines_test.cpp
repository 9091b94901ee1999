#include "pixellines.h"

#include <gtest/gtest.h>

namespace {

QImage canvas(qreal ratio)
{
    QImage image(QSize(12, 9) * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    return image;
}

const QColor Red(200, 0, 0);

// Lines as the bevels and grid lines run: left to right, top to bottom.
const std::pair<QPoint, QPoint> Lines[] = {
    {{1, 1}, {10, 1}},  {{1, 1}, {1, 7}}, {{1, 7}, {10, 7}},
    {{10, 1}, {10, 7}}, {{4, 4}, {4, 4}}, {{0, 8}, {11, 8}},
};

} // namespace

TEST(PixelLines, TheSamePixelsAsAOnePixelPen)
{
    for (const auto &[from, to] : Lines) {
        SCOPED_TRACE(testing::Message() << "from " << from.x() << "," << from.y() << " to "
                                        << to.x() << "," << to.y());
        QImage stroked = canvas(1);
        {
            QPainter painter(&stroked);
            painter.setPen(QPen(Red, 1));
            painter.drawLine(from, to);
        }
        QImage filled = canvas(1);
        {
            QPainter painter(&filled);
            drawPixelLine(painter, from, to, Red);
        }
        EXPECT_EQ(filled, stroked);
    }
}

TEST(PixelLines, EitherEndMayComeFirst)
{
    for (const auto &[from, to] : Lines) {
        QImage forward = canvas(1);
        QImage backward = canvas(1);
        {
            QPainter painter(&forward);
            drawPixelLine(painter, from, to, Red);
        }
        {
            QPainter painter(&backward);
            drawPixelLine(painter, to, from, Red);
        }
        EXPECT_EQ(backward, forward);
        EXPECT_EQ(backward.pixelColor(from), Red) << "both ends drawn";
        EXPECT_EQ(backward.pixelColor(to), Red);
    }
}

TEST(PixelLines, OnAScaledScreenALineCoversWholePointsNotHalves)
{
    // A one-pixel pen on a 2x screen straddles the points it joins; a bevel
    // must cover them, two device pixels by two per point.
    for (const auto &[from, to] : Lines) {
        QImage filled = canvas(2);
        {
            QPainter painter(&filled);
            drawPixelLine(painter, from, to, Red);
        }
        const QRect points = QRect(from, to).normalized();
        for (int y = 0; y < filled.height(); ++y) {
            for (int x = 0; x < filled.width(); ++x) {
                const bool inside = points.contains(x / 2, y / 2);
                ASSERT_EQ(filled.pixelColor(x, y) == Red, inside) << x << "," << y;
            }
        }
    }
}
