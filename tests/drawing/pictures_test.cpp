#include "builtpicture.h"
#include "pictures.h"

#include <QImageReader>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// How far apart two renderings of one picture are: the largest difference
// of any channel of any pixel.
int largestDifference(const QImage &a, const QImage &b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest
                = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                            std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    }
    return largest;
}

QImage renderedFromSvg(const QString &svg, QSize pixels)
{
    QImageReader reader(svg, "svg");
    reader.setScaledSize(pixels);
    return reader.read().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

bool transparent(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) != 0)
                return false;
        }
    }
    return true;
}

} // namespace

TEST(Pictures, TheBuiltPicturesAreTheSvgRenderedAtTheirSizeAndRatio)
{
    const struct
    {
        QString svg;
        QSize size;
    } shown[] = {{u":/images/logo.svg"_s, {161, 57}},
                 {u":/images/flag-uk.svg"_s, {16, 16}},
                 {u":/icons/copy.svg"_s, {48, 48}},
                 {u":/checkbox/checked-active.svg"_s, {16, 16}}};
    for (const auto &picture : shown) {
        for (qreal ratio : {1.0, 2.0}) {
            SCOPED_TRACE(picture.svg.toStdString() + " at " + std::to_string(ratio));
            const int before = picturesRenderedAtRunTime();
            const QImage image = pictureImage(picture.svg, picture.size, ratio);
            EXPECT_EQ(picturesRenderedAtRunTime(), before) << "taken from the build";
            ASSERT_EQ(image.size(), picture.size * ratio);
            EXPECT_EQ(image.devicePixelRatio(), ratio);
            EXPECT_EQ(image.format(), QImage::Format_ARGB32_Premultiplied);
            EXPECT_FALSE(transparent(image));
            const QImage svg = renderedFromSvg(picture.svg, picture.size * ratio);
            if (!svg.isNull()) {
                EXPECT_LE(largestDifference(image, svg), 1);
            }
        }
    }
}

TEST(Pictures, OtherSizesAndRatiosAreRenderedWhenAsked)
{
    if (!QImageReader::supportedImageFormats().contains("svg"))
        GTEST_SKIP() << "no SVG image plugin here: only the built sizes can be shown";
    const int before = picturesRenderedAtRunTime();
    const QImage sharp = pictureImage(u":/images/logo.svg"_s, {161, 57}, 1.5);
    EXPECT_EQ(sharp.size(), QSize(242, 86));
    EXPECT_EQ(sharp.devicePixelRatio(), 1.5);
    EXPECT_FALSE(transparent(sharp));
    const QImage big = pictureImage(u":/icons/run.svg"_s, {64, 64});
    EXPECT_EQ(big.size(), QSize(64, 64));
    EXPECT_FALSE(transparent(big));
    EXPECT_EQ(picturesRenderedAtRunTime(), before + 2);
    // Where Qt's SVG plugin is there, rendered at the screen's pixels, not
    // stretched from a smaller picture.
    const QImage svg = renderedFromSvg(u":/images/logo.svg"_s, {242, 86});
    if (!svg.isNull()) {
        EXPECT_LE(largestDifference(sharp, svg), 1);
    }
}

TEST(Pictures, APictureThatCannotBeMadeIsTransparentNotMissing)
{
    for (const QString &name : {u":/images/none.svg"_s, u"logo"_s, QString()}) {
        SCOPED_TRACE(name.toStdString());
        const QImage image = pictureImage(name, {20, 10}, 2.0);
        ASSERT_EQ(image.size(), QSize(40, 20));
        EXPECT_TRUE(transparent(image));
    }
    EXPECT_TRUE(pictureImage(u":/images/logo.svg"_s, {0, 10}).isNull());
}

#ifdef ORDEVAN_PRERENDER
TEST(Pictures, TheWindowsIconHoldsEverySizeAskedForAndRefusesOthers)
{
    QTemporaryDir dir;
    const auto makeIcon = [&](const QString &sizes) {
        QProcess renderer;
        renderer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        renderer.start(QString::fromUtf8(ORDEVAN_PRERENDER),
                       {u"--icon"_s, QString::fromUtf8(ORDEVAN_RESOURCES "/images/window-icon.svg"),
                        dir.filePath(u"icon.ico"_s), sizes});
        return renderer.waitForFinished() ? renderer.exitCode() : -1;
    };
    ASSERT_EQ(makeIcon(u"16,32,256"_s), 0);
    QImageReader reader(dir.filePath(u"icon.ico"_s), "ico");
    QList<QSize> sizes;
    do {
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
        EXPECT_FALSE(transparent(image));
        sizes.append(image.size());
    } while (reader.jumpToNextImage());
    EXPECT_EQ(sizes, (QList<QSize>{{16, 16}, {32, 32}, {256, 256}}));

    for (const QString &bad : {u"0"_s, u"257"_s, u"16,x"_s})
        EXPECT_EQ(makeIcon(bad), 1) << bad.toStdString();
}
#endif

TEST(BuiltPicture, ReadsBackWhatWasWrittenAndNothingElse)
{
    QImage image(3, 2, QImage::Format_ARGB32_Premultiplied);
    image.fill(qPremultiply(qRgba(10, 20, 30, 128)));
    image.setPixel(2, 1, qRgba(255, 0, 0, 255));
    const QByteArray data = builtPictureData(image);
    ASSERT_EQ(data.size(), 8 + 3 * 2 * 4);
    EXPECT_EQ(data.left(8), QByteArray("\x03\0\0\0\x02\0\0\0", 8)) << "little-endian sizes";
    EXPECT_EQ(builtPicture(data, {3, 2}), image);

    // The size asked for must be the size written, and the data whole.
    EXPECT_TRUE(builtPicture(data, {2, 3}).isNull());
    EXPECT_TRUE(builtPicture(data.chopped(1), {3, 2}).isNull());
    EXPECT_TRUE(builtPicture(QByteArray(data + 'x'), {3, 2}).isNull());
    EXPECT_TRUE(builtPicture(data.left(7), {3, 2}).isNull());
    EXPECT_TRUE(builtPicture({}, {0, 0}).isNull());
    // Sizes that would overflow or ask for gigabytes are refused, not allocated.
    QByteArray huge("\xff\xff\xff\x7f\xff\xff\xff\x7f", 8);
    EXPECT_TRUE(builtPicture(huge, {0x7fffffff, 0x7fffffff}).isNull());
    QByteArray negative("\xff\xff\xff\xff\x01\0\0\0", 8);
    EXPECT_TRUE(builtPicture(negative, {-1, 1}).isNull());
}

TEST(BuiltPicture, RandomDataNeverCrashesTheReader)
{
    QRandomGenerator random(17);
    for (int i = 0; i < 2000; ++i) {
        QByteArray data(random.bounded(40), Qt::Uninitialized);
        for (char &c : data)
            c = char(random.bounded(256));
        const QSize asked(random.bounded(-2, 4), random.bounded(-2, 4));
        const QImage image = builtPicture(data, asked);
        if (!image.isNull()) {
            EXPECT_EQ(image.size(), asked);
        }
    }
}
