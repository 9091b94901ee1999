#include "buttontesting.h"
#include "printers.h"

#include <QCoreApplication>
#include <QEnterEvent>

using namespace Qt::Literals::StringLiterals;
using namespace buttontesting;

namespace {

class PaintingTest : public ::testing::Test
{
protected:
    void SetUp() override { setUpLikeTheWindow(button); }

    ToxCustomGraphicButton &inner() { return *button.inner(); }

    // Pixels of `rect` equal to `color`.
    static int count(const QImage &image, QRect rect, QRgb color)
    {
        rect &= image.rect();
        int n = 0;
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
                n += at(image, x, y) == (color | 0xFF000000);
        return n;
    }

    ToxButton button;
};

} // namespace

TEST_F(PaintingTest, TheIconSitsCentredWithItsShadowBelowRightAndOnlyTheShadowMovesWhenPressed)
{
    button.SetPictureUp(solidIcon(32));
    QImage up = render(inner());
    EXPECT_EQ(inner().pictureRect(), QRect(14, 4, 32, 32));
    EXPECT_EQ(at(up, 14, 4), Red);
    EXPECT_EQ(at(up, 45, 35), Red);
    EXPECT_EQ(at(up, 13, 4), Face);
    // The grey silhouette at (16, 6) shows right of and below the icon.
    EXPECT_EQ(at(up, 46, 5), Face) << "the shadow starts two pixels down";
    EXPECT_EQ(at(up, 46, 6), Gray);
    EXPECT_EQ(at(up, 47, 37), Gray);
    EXPECT_EQ(at(up, 48, 20), Face);
    EXPECT_EQ(at(up, 16, 37), Gray);
    EXPECT_EQ(at(up, 15, 37), Face);

    QImage pressed = render(inner(), true);
    EXPECT_EQ(at(pressed, 14, 4), Red) << "the icon stays put";
    EXPECT_EQ(at(pressed, 46, 7), Face);
    EXPECT_EQ(at(pressed, 46, 8), Gray) << "the silhouette is now at (18, 8)";
    EXPECT_EQ(at(pressed, 49, 39), Gray);
    EXPECT_EQ(at(pressed, 50, 20), Face);
}

TEST_F(PaintingTest, ARoundIconCastsItsOwnShape)
{
    const TPicture disc = solidIcon(32, Red, true);
    button.SetPictureUp(disc);
    const QImage up = render(inner());
    const QImage mask = disc.mask();
    int shadowed = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const bool visible = mask.pixelIndex(x, y) == 0;
            const bool coveredAt = x >= 2 && y >= 2 && mask.pixelIndex(x - 2, y - 2) == 0;
            if (visible) {
                EXPECT_EQ(qRed(at(up, 14 + x, 4 + y)), 255) << x << "," << y;
            } else if (coveredAt) {
                EXPECT_EQ(at(up, 14 + x, 4 + y), Gray) << x << "," << y;
                ++shadowed;
            }
        }
    }
    EXPECT_GT(shadowed, 20);
    EXPECT_EQ(at(up, 14, 4), Face) << "the disc's corner is not part of it";
}

TEST_F(PaintingTest, WithoutAShadowThePictureItselfMoves)
{
    button.SetShadowColor(QColor::fromRgb(Face));
    button.SetPictureUp(solidIcon(32));
    QImage up = render(inner());
    EXPECT_EQ(at(up, 14, 4), Red);
    EXPECT_EQ(at(up, 47, 20), Face) << "no shadow";

    QImage pressed = render(inner(), true);
    EXPECT_EQ(at(pressed, 15, 5), Face);
    EXPECT_EQ(at(pressed, 16, 6), Red);
    EXPECT_EQ(at(pressed, 47, 37), Red);

    button.SetButtonType(oxbToggle);
    button.SetValue(true);
    QImage checked = render(inner());
    EXPECT_EQ(at(checked, 14, 4) == Red, false);
    EXPECT_EQ(at(checked, 15, 5), Red);
    EXPECT_EQ(at(checked, 46, 36), Red);
}

TEST_F(PaintingTest, ADownPictureNeedsTwoRowsAndADisabledOneReplacesTheEmbossing)
{
    button.SetPictureUp(solidIcon(32, Red));
    button.SetPictureDown(TPicture::fromBitmap(QImage(32, 1, QImage::Format_RGB32), qRgb(1, 2, 3)));
    EXPECT_EQ(at(render(inner(), true), 20, 20), Red) << "a one-row down picture counts as absent";

    button.SetPictureDown(solidIcon(32, qRgb(0, 0, 255)));
    EXPECT_EQ(at(render(inner(), true), 20, 20), qRgb(0, 0, 255));

    button.SetPictureDisabled(solidIcon(32, qRgb(0, 255, 0)));
    button.setEnabled(false);
    const QImage disabled = render(inner());
    EXPECT_EQ(at(disabled, 20, 20), qRgb(0, 255, 0));
    EXPECT_EQ(at(disabled, 46, 36), Face) << "a disabled picture has no shadow";
}

TEST_F(PaintingTest, ADisabledButtonEmbossesThePictureAndGreysTheCaption)
{
    button.SetPictureUp(solidIcon(32));
    button.SetCaption(u"Wider"_s);
    button.setEnabled(false);
    const QImage image = render(inner());
    EXPECT_EQ(at(image, 20, 20), Face) << "the picture itself is not drawn";
    EXPECT_EQ(at(image, 14, 4), Face);
    // Highlight one pixel below right, shadow one pixel above left.
    EXPECT_EQ(at(image, 46, 5), sys(clBtnHighlight));
    EXPECT_EQ(at(image, 46, 36), sys(clBtnHighlight));
    EXPECT_EQ(at(image, 15, 36), sys(clBtnHighlight));
    EXPECT_EQ(at(image, 13, 3), sys(clBtnShadow));
    EXPECT_EQ(at(image, 44, 3), sys(clBtnShadow));
    EXPECT_EQ(at(image, 13, 34), sys(clBtnShadow));
    EXPECT_EQ(at(image, 45, 3), Face);

    // Grey text over a white copy one pixel below right, whatever Font3D says.
    button.SetPictureUp(TPicture());
    QFont large(u"MS Sans Serif"_s);
    large.setPixelSize(24);
    button.setFont(large);
    button.SetFont3D(fsRaised);
    const QImage text = render(inner());
    const QRect box = inner().textRect() & text.rect();
    ASSERT_FALSE(box.isEmpty());
    EXPECT_GT(count(text, box, White), 10);
    EXPECT_GT(count(text, box, Gray), 10);
    int highlightBelowRight = 0;
    for (int y = box.top() + 1; y <= box.bottom(); ++y)
        for (int x = box.left() + 1; x <= box.right(); ++x)
            highlightBelowRight += at(text, x, y) == White && at(text, x - 1, y - 1) == Gray;
    EXPECT_GT(highlightBelowRight, 10);

    button.setEnabled(true);
    button.SetFont3D(fsNormal);
    const QImage enabled = render(inner());
    EXPECT_EQ(count(enabled, inner().textRect() & QRect(2, 2, 57, 54), White), 0)
        << "a plain caption has no highlight";
}

TEST_F(PaintingTest, TheCaptionSitsCentredThreePixelsAboveTheBottomAndFollowsThePress)
{
    button.SetCaption(u"General"_s);
    render(inner());
    const QRect up = inner().textRect();
    EXPECT_EQ(up.bottom() + 1, 58 - 3);
    EXPECT_LE(std::abs(up.left() - (61 - up.right() - 1)), 1);
    render(inner(), true);
    EXPECT_EQ(inner().textRect(), up.translated(2, 2));

    button.SetCaption(QString());
    render(inner());
    EXPECT_TRUE(inner().textRect().isEmpty()) << "no caption, no text box";
}

TEST_F(PaintingTest, TheWin95FrameUpDownAndDefault)
{
    const QRgb frame = sys(clWindowFrame), light = sys(clBtnHighlight), shadow = sys(clBtnShadow),
               face = sys(clBtnFace);
    const int r = 60, b = 57;
    auto expectCorners = [&](const QImage &image, std::array<QRgb, 6> want, const char *what) {
        EXPECT_EQ(at(image, 0, 0), want[0]) << what;
        EXPECT_EQ(at(image, r, b), want[1]) << what;
        EXPECT_EQ(at(image, r, 0), want[1]) << what << ": the top-right corner is the far edge's";
        EXPECT_EQ(at(image, 1, 1), want[2]) << what;
        EXPECT_EQ(at(image, r - 1, b - 1), want[3]) << what;
        EXPECT_EQ(at(image, 2, 2), want[4]) << what;
        EXPECT_EQ(at(image, r - 2, b - 2), want[5]) << what;
    };
    ASSERT_EQ(inner().effectiveStyle(), bsWin95) << "bsAuto";
    expectCorners(render(inner()), {light, frame, face, shadow, Face, Face}, "up");
    expectCorners(render(inner(), true), {frame, light, shadow, face, Face, Face}, "down");
    inner().SetActive(true);
    expectCorners(render(inner()), {frame, frame, light, frame, face, shadow}, "up, default");
    // Pressed has one slot, focused or not; a pressed host always has the focus.
    inner().InvalidateCache();
    expectCorners(render(inner(), true), {frame, frame, shadow, shadow, Face, Face},
                  "down, default");

    button.SetStyle(bsWin95);
    const QImage win95 = render(inner());
    button.SetStyle(bsAuto);
    EXPECT_EQ(render(inner()), win95);
}

TEST_F(PaintingTest, TheFocusMarkIsADottedXorAroundTheCaptionOrTheOutline)
{
    button.SetCaption(u"Focus"_s);
    const QImage plain = render(inner());
    inner().SetFocused(true);
    const QImage focused = render(inner());
    const QRect box = inner().textRect();
    auto inverted = [](QRgb pixel) {
        return ~pixel | 0xFF000000;
    };
    // Every other pixel of the box's outline is inverted.
    for (int x = box.left(); x <= box.right(); ++x) {
        const bool dot = (x + box.top()) % 2 == 0;
        EXPECT_EQ(at(focused, x, box.top()),
                  dot ? inverted(at(plain, x, box.top())) : at(plain, x, box.top()))
            << x;
    }
    EXPECT_EQ(at(focused, box.right(), box.bottom() - 1)
                  != at(plain, box.right(), box.bottom() - 1),
              (box.right() + box.bottom() - 1) % 2 == 0);

    button.SetFocusStyle({fsDefault, fsOutline});
    const QImage outline = render(inner());
    EXPECT_EQ(at(outline, 4, 4), ~Face | 0xFF000000) << "bsWin95 outlines 4 pixels in";
    EXPECT_EQ(at(outline, 5, 4), Face);
    EXPECT_EQ(at(outline, box.left(), box.top()), at(plain, box.left(), box.top()));
}

TEST_F(PaintingTest, TheGradientRunsFromItsColourToOneStepShortOfTheFace)
{
    button.SetStyle(bsBorderless);
    button.resize(256, 20);
    button.SetColor(QColor(255, 0, 0));
    button.Background().SetGradient(QColor(0, 0, 255));
    button.Background().SetStyle(oxbGradient);
    QImage image = render(inner());
    TGradient &gradient = button.Background().gradient();
    EXPECT_EQ(at(image, 0, 10), qRgb(0, 0, 255)) << "the leftmost band is the gradient colour";
    EXPECT_EQ(at(image, 1, 10), qRgb(0, 0, 255));
    EXPECT_EQ(gradient.Color(127), QColor(253, 0, 2)) << "one step short of the face";
    EXPECT_EQ(at(image, 255, 10), qRgb(253, 0, 2));
    EXPECT_EQ(at(image, 254, 10), qRgb(253, 0, 2));

    // 128 one-pixel bands over 64 pixels: each pixel shows the later of two.
    button.resize(64, 20);
    image = render(inner());
    for (int x = 0; x < 64; ++x)
        EXPECT_EQ(at(image, x, 10), gradient.Color(2 * x + 1).rgb()) << x;

    EXPECT_THROW(gradient.Color(128), EInvalidIndex);
    try {
        gradient.Color(-1);
        FAIL();
    } catch (const EInvalidIndex &error) {
        EXPECT_STREQ(error.what(), "Index out of range");
    }
}

TEST_F(PaintingTest, ACheckedToggleIsDitheredOnlyWhileTheMouseIsAway)
{
    button.SetStyle(bsWin97);
    button.SetButtonType(oxbToggle);
    button.SetValue(true);
    const QRgb pattern = sys(clBtnFace);
    const QRgb odd = ~(Face ^ pattern) | 0xFF000000;
    QImage image = render(inner());
    EXPECT_EQ(at(image, 10, 10), Face) << "NOT (face XOR white) is the face";
    EXPECT_EQ(at(image, 11, 10), odd);

    QEnterEvent enter(QPointF(10, 10), QPointF(10, 10), QPointF(10, 10));
    QCoreApplication::sendEvent(&inner(), &enter);
    ASSERT_TRUE(inner().hot());
    image = render(inner());
    EXPECT_EQ(at(image, 11, 10), Face) << "no dither under the mouse";

    button.Background().SetDitherDown(false);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&inner(), &leave);
    inner().InvalidateCache();
    EXPECT_EQ(at(render(inner()), 11, 10), Face);
}

TEST_F(PaintingTest, FacesOfPicturesAndCaptionEffects)
{
    button.SetStyle(bsBorderless);
    button.resize(40, 30);
    QImage tile(8, 8, QImage::Format_RGB32);
    tile.fill(qRgb(0, 128, 0));
    tile.setPixel(0, 7, qRgb(1, 1, 1));
    button.Background().SetPicture(TPicture::fromBitmap(tile));
    button.Background().SetStyle(oxbPicturePattern);
    QImage image = render(inner());
    EXPECT_EQ(at(image, 0, 0), qRgb(0, 128, 0));
    EXPECT_EQ(at(image, 32, 24), qRgb(0, 128, 0)) << "tiles cover the face";
    EXPECT_EQ(at(image, 8, 15), Face) << "the transparent colour is left out";

    button.Background().SetStyle(oxbPictureClip);
    image = render(inner());
    EXPECT_EQ(at(image, 16, 11), qRgb(0, 128, 0));
    EXPECT_EQ(at(image, 15, 11), Face) << "centred at natural size";
    button.Background().SetStyle(oxbPictureStretch);
    EXPECT_EQ(at(render(inner()), 39, 0), qRgb(0, 128, 0));

    button.Background().SetStyle(oxbSolid);
    QFont large(u"MS Sans Serif"_s);
    large.setPixelSize(24);
    button.setFont(large);
    button.SetCaption(u"W"_s);
    button.SetFont3D(fsNone);
    const QImage none = render(inner());
    EXPECT_EQ(count(none, none.rect(), Face), 40 * 30) << "fsNone draws no caption";
    button.SetFont3D(fsShadow);
    const QImage shadowed = render(inner());
    EXPECT_GT(count(shadowed, shadowed.rect(), sys(clBtnShadow)), 10);
}

TEST_F(PaintingTest, RotatedCaptionsAndHugeOnesStayInsideTheButton)
{
    button.SetCaption(u"Up"_s);
    button.SetTextAngle(90);
    const QImage rotated = render(inner());
    EXPECT_GT(count(rotated, rotated.rect(), Black), 3);
    button.SetTextAngle(1000);
    EXPECT_EQ(button.TextAngle(), 360);

    button.SetTextAngle(0);
    button.SetMultiLine(true);
    button.SetCaption(QString(100000, u'x') + u"||"_s);
    const QImage huge = render(inner());
    EXPECT_EQ(huge.size(), QSize(61, 58));
}

TEST_F(PaintingTest, EveryFrameStyleAtRestAndDown)
{
    const QRgb frame = sys(clWindowFrame), light = sys(clBtnHighlight), shadow = sys(clBtnShadow),
               face = sys(clBtnFace);
    struct Case
    {
        ToxBtnStyle style;
        bool pressed;
        // Pixels at (0, 0), (1, 1), (2, 2) and the bottom-right corner.
        std::array<QRgb, 4> corners;
    };
    const std::vector<Case> cases = {
        {bsWin31, false, {frame, light, light, frame}},
        {bsWin31, true, {frame, shadow, shadow, frame}},
        {bsInset, false, {shadow, frame, light, light}},
        {bsInset, true, {shadow, frame, shadow, light}},
        {bsDelphi, false, {shadow, light, Face, frame}},
        {bsDelphi, true, {shadow, frame, Face, light}},
        {bsSpeed, false, {light, face, Face, frame}},
        {bsSpeed, true, {frame, shadow, Face, light}},
        {bsWin97, false, {Face, Face, Face, Face}},
        {bsWin97, true, {shadow, Face, Face, light}},
        {bsBorderless, true, {Face, Face, Face, Face}},
        {bsShaped, false, {Face, Face, Face, Face}},
    };
    for (const Case &c : cases) {
        button.SetStyle(c.style);
        const QImage image = render(inner(), c.pressed);
        const std::array<QRgb, 4> got
            = {at(image, 0, 0), at(image, 1, 1), at(image, 2, 2), at(image, 60, 57)};
        EXPECT_EQ(got, c.corners) << "style " << c.style << (c.pressed ? ", pressed" : "");
    }

    // A flat button shows its frame under the mouse.
    button.SetStyle(bsWin97);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(&inner(), &enter);
    const QImage hot = render(inner());
    EXPECT_EQ(at(hot, 0, 0), light);
    EXPECT_EQ(at(hot, 60, 57), shadow);
}

TEST_F(PaintingTest, SmallIconsAndOffsetsFromEitherSide)
{
    button.SetPictureUp(solidIcon(32));
    button.SetOptions({oxbCacheImages, oxbSmallIcons});
    QImage image = render(inner());
    EXPECT_EQ(inner().pictureRect(), QRect(22, 4, 16, 16));
    EXPECT_EQ(at(image, 37, 19), Red);
    EXPECT_EQ(at(image, 38, 5), Face) << "the shadow starts two pixels lower";
    EXPECT_EQ(at(image, 38, 6), Gray);

    button.SetOptions({oxbCacheImages});
    button.SetPictureX(-3);
    button.SetPictureY(5);
    render(inner());
    EXPECT_EQ(inner().pictureRect(), QRect(61 - 32 - 3, 5, 32, 32));
}

TEST_F(PaintingTest, AScaledScreenGetsALookDrawnAtItsOwnDensity)
{
    QImage small(32, 32, QImage::Format_ARGB32_Premultiplied);
    small.fill(Red);
    QImage large(64, 64, QImage::Format_ARGB32_Premultiplied);
    large.fill(qRgb(0, 0, 255));
    button.SetPictureUp(TPicture::fromIcon({small, large}));

    QImage screen(122, 116, QImage::Format_RGB32);
    screen.setDevicePixelRatio(2.0);
    {
        QPainter painter(&screen);
        inner().DrawButton(painter, false);
    }
    EXPECT_EQ(inner().cache().size(), QSize(6 * 122, 116)) << "cached at twice the size";
    EXPECT_EQ(at(screen, 0, 0), sys(clBtnHighlight));
    EXPECT_EQ(at(screen, 1, 1), sys(clBtnHighlight)) << "a one-point edge is two pixels";
    EXPECT_EQ(at(screen, 2, 2), sys(clBtnFace));
    EXPECT_EQ(at(screen, 28, 8), qRgb(0, 0, 255)) << "the icon's 64-pixel image";
    EXPECT_EQ(at(screen, 27, 8), Face);
    EXPECT_EQ(at(screen, 92, 12), Gray) << "its shadow two points, four pixels, away";
    EXPECT_EQ(at(screen, 92, 11), Face);

    // Back on a plain screen the cache follows.
    EXPECT_EQ(at(render(inner()), 14, 4), Red);
    EXPECT_EQ(inner().cache().size(), QSize(6 * 61, 58));
}
