#include "buttontesting.h"

#include <QCoreApplication>
#include <QEnterEvent>

#include <functional>

using namespace Qt::Literals::StringLiterals;
using namespace buttontesting;

namespace {

class CacheTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setUpLikeTheWindow(button);
        button.SetCaption(u"Save"_s);
        button.SetPictureUp(solidIcon(32));
    }

    ToxCustomGraphicButton &inner() { return *button.inner(); }
    int renders() const { return button.inner()->renderCount(); }

    ToxButton button;
};

} // namespace

TEST_F(CacheTest, EachLookIsDrawnOnceAndCopiedAfterwards)
{
    const QImage first = render(inner());
    EXPECT_EQ(renders(), 1);
    EXPECT_EQ(render(inner()), first);
    EXPECT_EQ(renders(), 1) << "the second paint copies the cached look";

    render(inner(), true);
    inner().SetFocused(true);
    render(inner());
    inner().SetActive(true);
    inner().SetFocused(false);
    render(inner());
    button.setEnabled(false);
    render(inner());
    EXPECT_EQ(renders(), 5);
    EXPECT_EQ(inner().cachedStates(), 0b11111u);
    button.setEnabled(true);
    inner().SetActive(false);
    EXPECT_EQ(render(inner()), first);
    render(inner(), true);
    EXPECT_EQ(renders(), 5) << "every look came from the cache";
    EXPECT_EQ(inner().cache().size(), QSize(6 * 61, 58));
}

TEST_F(CacheTest, FocusedWinsOverHotAndHotHasItsOwnSlot)
{
    button.SetStyle(bsWin97);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(&inner(), &enter);
    ASSERT_TRUE(inner().hot());
    render(inner());
    EXPECT_EQ(inner().cachedStates(), 1u << ToxCustomGraphicButton::SlotHot);
    inner().SetFocused(true);
    render(inner());
    EXPECT_EQ(inner().cachedStates() & (1u << ToxCustomGraphicButton::SlotFocused),
              1u << ToxCustomGraphicButton::SlotFocused);
}

TEST_F(CacheTest, EveryChangeOfTheLookEmptiesTheCache)
{
    const std::vector<std::pair<const char *, std::function<void()>>> changes = {
        {"Style",
         [&] {
             button.SetStyle(bsWin31);
         }},
        {"Font3D",
         [&] {
             button.SetFont3D(fsRaised);
         }},
        {"MultiLine",
         [&] {
             button.SetMultiLine(true);
         }},
        {"FocusStyle",
         [&] {
             button.SetFocusStyle({fsOutline});
         }},
        {"ShadowColor",
         [&] {
             button.SetShadowColor(Qt::black);
         }},
        {"TextAngle",
         [&] {
             button.SetTextAngle(45);
         }},
        {"PictureX",
         [&] {
             button.SetPictureX(3);
         }},
        {"PictureY",
         [&] {
             button.SetPictureY(-3);
         }},
        {"TextX",
         [&] {
             button.SetTextX(2);
         }},
        {"TextY",
         [&] {
             button.SetTextY(2);
         }},
        {"PictureUp",
         [&] {
             button.SetPictureUp(solidIcon(16));
         }},
        {"PictureDown",
         [&] {
             button.SetPictureDown(solidIcon(16));
         }},
        {"PictureDisabled",
         [&] {
             button.SetPictureDisabled(solidIcon(16));
         }},
        {"Background.Style",
         [&] {
             button.Background().SetStyle(oxbGradient);
         }},
        {"Background.Picture",
         [&] {
             button.Background().SetPicture(solidIcon(8));
         }},
        {"Background.Gradient",
         [&] {
             button.Background().SetGradient(Qt::yellow);
         }},
        {"Color",
         [&] {
             button.SetColor(Qt::cyan);
         }},
        {"Font colour",
         [&] {
             button.SetFontColor(Qt::blue);
         }},
        {"Caption",
         [&] {
             button.SetCaption(u"Load"_s);
         }},
        {"Lines",
         [&] {
             button.Lines().Add(u"more"_s);
         }},
        {"Font",
         [&] {
             button.setFont(QFont(u"MS Sans Serif"_s, 14));
         }},
        {"Size",
         [&] {
             button.resize(70, 60);
         }},
        {"Options",
         [&] {
             button.SetOptions({oxbCacheImages, oxbSmallIcons});
         }},
        {"Kind",
         [&] {
             button.SetKind(bkOK);
         }},
        {"Value",
         [&] {
             button.SetButtonType(oxbToggle);
             button.SetValue(true);
         }},
    };
    for (const auto &[what, change] : changes) {
        render(inner());
        ASSERT_NE(inner().cachedStates(), 0u);
        const int before = renders();
        change();
        EXPECT_EQ(inner().cachedStates(), 0u) << what;
        render(inner());
        EXPECT_EQ(renders(), before + 1) << what;
    }
}

TEST_F(CacheTest, SettingsThatDoNotChangeTheLookKeepIt)
{
    render(inner());
    button.SetStyle(button.Style());
    button.SetPictureX(button.PictureX());
    button.SetCaption(button.Caption());
    button.Background().SetStyle(oxbSolid);
    button.Background().SetGradient(button.Background().Gradient());
    button.SetDelay(50);
    button.SetInitDelay(100);
    button.SetButtonType(oxbRepeat);
    button.Background().SetDitherDown(false);
    button.SetValue(true);
    EXPECT_FALSE(button.Value()) << "only a toggle can be checked";
    EXPECT_NE(inner().cachedStates(), 0u);
}

TEST_F(CacheTest, WithoutTheCacheOrWithAClearFaceEveryPaintDraws)
{
    button.SetOptions({});
    EXPECT_TRUE(inner().cache().isNull());
    const QImage first = render(inner());
    render(inner());
    EXPECT_EQ(renders(), 2);
    button.SetOptions({oxbCacheImages});
    EXPECT_EQ(inner().cache().size(), QSize(6 * 61, 58)) << "the cache is back at once";
    EXPECT_EQ(render(inner()), first);
    render(inner());
    EXPECT_EQ(renders(), 3);

    button.Background().SetStyle(oxbClear);
    render(inner());
    render(inner());
    EXPECT_EQ(renders(), 5) << "a clear face is drawn over what lies behind it each time";
}
