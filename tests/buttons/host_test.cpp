#include "buttontesting.h"
#include "captionlinescheck.h"
#include "printers.h"

#include <QAccessible>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace buttontesting;

TEST(HostTest, NewButtonsHaveTheirDefaults)
{
    ToxButton button;
    ToxCustomGraphicButton &inner = *button.inner();
    EXPECT_EQ(button.Kind(), bkCustom);
    EXPECT_EQ(button.Style(), bsAuto);
    EXPECT_EQ(button.Font3D(), fsNormal);
    EXPECT_EQ(button.FocusStyle().bits(), 3u) << "fsDefault and fsText";
    EXPECT_EQ(button.Options().bits(), 1u) << "oxbCacheImages";
    EXPECT_EQ(button.ShadowColor(), QColor(128, 128, 128));
    EXPECT_EQ(button.PictureX(), 1);
    EXPECT_EQ(button.TextY(), -5);
    EXPECT_EQ(button.Delay(), 200);
    EXPECT_EQ(button.InitDelay(), 400);
    EXPECT_EQ(button.ButtonType(), oxbCommand);
    EXPECT_EQ(button.Background().Style(), oxbSolid);
    EXPECT_TRUE(button.Background().DitherDown());
    EXPECT_EQ(button.Background().Gradient(), QColor(Qt::white));
    EXPECT_EQ(button.FontColor(), sysColor(clBtnText));
    EXPECT_EQ(inner.parentWidget(), &button);
    EXPECT_EQ(inner.focusPolicy(), Qt::NoFocus) << "the host takes the focus";
    button.resize(80, 30);
    button.show();
    EXPECT_EQ(inner.geometry(), QRect(0, 0, 80, 30)) << "the inner button fills the host";

    ToxCustomGraphicButton alone;
    EXPECT_TRUE(alone.FocusStyle().empty());
    EXPECT_EQ(alone.size(), QSize(25, 25));
}

TEST(HostTest, AKindSetsItsCaptionDefaultCancelAndModalResultUntilOneIsChanged)
{
    ToxButton button;
    button.SetKind(bkYes);
    EXPECT_TRUE(button.Default());
    EXPECT_FALSE(button.Cancel());
    EXPECT_EQ(button.Caption(), u"&Yes"_s);
    EXPECT_EQ(button.ModalResult(), mrYes);
    EXPECT_EQ(button.Kind(), bkYes);
    EXPECT_FALSE(button.isStored("Caption")) << "a kind writes none of what it sets";
    EXPECT_FALSE(button.isStored("Default"));
    EXPECT_TRUE(button.isStored("PictureX"));

    button.SetCaption(u"&Yes, please"_s);
    EXPECT_EQ(button.Kind(), bkCustom) << "an edited caption is no longer the kind's";
    EXPECT_TRUE(button.isStored("Caption"));

    button.SetKind(bkCancel);
    EXPECT_TRUE(button.Cancel());
    EXPECT_FALSE(button.Default());
    EXPECT_EQ(button.Caption(), u"&Cancel"_s);
    button.SetCancel(false);
    EXPECT_EQ(button.Kind(), bkCustom);
    button.SetKind(bkOK);
    button.SetModalResult(mrNone);
    EXPECT_EQ(button.Kind(), bkCustom);
    EXPECT_TRUE(ToxButton::isObsoleteProperty("TransparentColor"));
    EXPECT_TRUE(ToxButton::isObsoleteProperty("DitherDown"));
    EXPECT_FALSE(button.isStored("DitherDown")) << "read and ignored, never written";
}

TEST(HostTest, TheCaptionReachesTheInnerButtonHoweverItIsSet)
{
    ToxButton button;
    button.resize(61, 58);
    button.SetCaption(u"Read"_s);
    EXPECT_EQ(button.inner()->Caption(), u"Read"_s);
    EXPECT_EQ(button.text(), u"Read"_s);
    button.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
    button.inner()->repaint();
    const QImage read = button.inner()->grab().toImage();
    const int renders = button.inner()->renderCount();
    button.setText(u"Rileggi"_s);
    EXPECT_EQ(button.inner()->Caption(), u"Rileggi"_s) << "one caption, the host's";
    button.inner()->repaint();
    EXPECT_GT(button.inner()->renderCount(), renders) << "the look with the old caption is dropped";
    EXPECT_NE(button.inner()->grab().toImage(), read);
    // Set on the inner button, the caption is the host's too.
    button.inner()->SetCaption(u"Leggi"_s);
    EXPECT_EQ(button.text(), u"Leggi"_s);
    EXPECT_EQ(button.Lines().Strings(0), u"Leggi"_s);

    // What the mouse is over is the inner button: cursor and hint live there.
    button.setCursor(Qt::PointingHandCursor);
    EXPECT_EQ(button.inner()->cursor().shape(), Qt::PointingHandCursor);
    button.SetHint(u"Reads the settings again"_s);
    EXPECT_EQ(button.inner()->toolTip(), u"Reads the settings again"_s);

    button.setEnabled(false);
    EXPECT_FALSE(button.inner()->isEnabled());
    button.inner()->repaint();
    EXPECT_TRUE(button.inner()->cachedStates() & (1u << ToxCustomGraphicButton::SlotDisabled));
    button.setEnabled(true);
    EXPECT_TRUE(button.inner()->isEnabled());
}

TEST(HostTest, LinesAreTheCaptionSplitAtTheSeparator)
{
    ToxButton button;
    button.Lines().SetLines({u"A"_s, u"B"_s});
    EXPECT_EQ(button.Caption(), u"A||B"_s);
    EXPECT_EQ(button.Lines().Count(), 2);
    EXPECT_EQ(button.Lines().Strings(1), u"B"_s);
    button.Lines().Insert(0, u"Z"_s);
    button.Lines().SetStrings(2, u"C"_s);
    button.Lines().Delete(1);
    EXPECT_EQ(button.Caption(), u"Z||C"_s);
    EXPECT_EQ(button.inner()->Caption(), u"Z||C"_s);
    EXPECT_THROW(button.Lines().Strings(2), std::out_of_range);
    EXPECT_THROW(button.Lines().Delete(-1), std::out_of_range);
    button.Lines().Clear();
    EXPECT_TRUE(button.Caption().isEmpty());
    EXPECT_EQ(button.Lines().Count(), 0);

    // Line breaks of every kind split; a break at the end starts no line.
    EXPECT_EQ(TCaptionStrings::captionLines(u"a||b||"_s), QStringList({u"a"_s, u"b"_s}));
    EXPECT_EQ(TCaptionStrings::captionLines(u"a||||b"_s), QStringList({u"a"_s, u""_s, u"b"_s}));
    EXPECT_EQ(TCaptionStrings::captionLines(u"a\rb\nc"_s), QStringList({u"a"_s, u"b"_s, u"c"_s}));
    EXPECT_EQ(TCaptionStrings::captionLines(u"|||"_s), QStringList({u""_s, u"|"_s}));
    EXPECT_EQ(TCaptionStrings::captionFromLines({u"x"_s, u""_s}), u"x||"_s);
    EXPECT_EQ(TCaptionStrings::captionLines(QString(300, u'w') + u"||tail"_s).join(QString()),
              QString(254, u'w'))
        << "only the first 254 characters take part";

    button.SetMultiLine(true);
    button.resize(80, 60);
    button.SetTextY(0);
    button.Lines().SetLines({u"A"_s, u"B"_s});
    render(*button.inner());
    const int twoLines = button.inner()->textRect().height();
    button.Lines().SetLines({u"A"_s});
    render(*button.inner());
    EXPECT_GT(twoLines, button.inner()->textRect().height() + 8) << "two lines are shown";
}

TEST(HostTest, AClearFaceMovesTheInnerButtonBesideAZeroSizedHost)
{
    QWidget form;
    form.resize(300, 200);
    ToxButton button(&form);
    button.setGeometry(20, 30, 61, 58);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    ToxCustomGraphicButton *inner = button.inner();

    button.Background().SetStyle(oxbClear);
    EXPECT_EQ(inner->parentWidget(), &form);
    EXPECT_EQ(inner->geometry(), QRect(20, 30, 61, 58));
    EXPECT_EQ(button.size(), QSize(0, 0));
    EXPECT_EQ(button.Width(), 61) << "the host reports the inner button's size";
    EXPECT_EQ(button.Height(), 58);
    EXPECT_TRUE(inner->isVisible());
    EXPECT_FALSE(inner->testAttribute(Qt::WA_OpaquePaintEvent)) << "the parent shows through";

    button.SetBounds(40, 50, 70, 0);
    EXPECT_EQ(inner->geometry(), QRect(40, 50, 70, 58)) << "a zero height keeps the inner's";
    EXPECT_EQ(button.pos(), QPoint(40, 50));

    QTest::mouseClick(inner, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(button.hasFocus()) << "a press still focuses the host";

    button.Background().SetStyle(oxbSolid);
    EXPECT_EQ(inner->parentWidget(), &button);
    EXPECT_EQ(button.geometry(), QRect(40, 50, 70, 58));
    EXPECT_EQ(inner->geometry(), QRect(0, 0, 70, 58));
    EXPECT_TRUE(inner->testAttribute(Qt::WA_OpaquePaintEvent));

    button.Background().SetStyle(oxbClear);
    button.hide();
    EXPECT_FALSE(inner->isVisible()) << "the inner button follows the host's visibility";
}

TEST(HostTest, AssigningABackgroundCopiesAllButTheGradient)
{
    ToxButton from, to;
    from.Background().SetStyle(oxbPicturePattern);
    from.Background().SetPicture(solidIcon(8));
    from.Background().SetDitherDown(false);
    from.Background().SetGradient(Qt::green);
    to.Background().Assign(from.Background());
    EXPECT_EQ(to.Background().Style(), oxbPicturePattern);
    EXPECT_EQ(to.Background().Picture(), from.Background().Picture());
    EXPECT_FALSE(to.Background().DitherDown());
    EXPECT_EQ(to.Background().Gradient(), QColor(Qt::white));
}

TEST(HostTest, PicturesSurviveOddImages)
{
    EXPECT_TRUE(TPicture::fromBitmap(QImage()).isEmpty());
    EXPECT_TRUE(TPicture::fromIcon({QImage(), QImage()}).isEmpty());
    EXPECT_TRUE(TPicture().mask().isNull());

    QImage dot(1, 1, QImage::Format_RGB32);
    dot.fill(Qt::blue);
    const TPicture tiny = TPicture::fromBitmap(dot);
    EXPECT_EQ(tiny.size(), QSize(1, 1));
    EXPECT_EQ(tiny.mask().pixelIndex(0, 0), 1) << "its only pixel is the transparent one";

    ToxButton button;
    button.resize(3, 3);
    button.show();
    button.SetPictureUp(tiny);
    button.SetPictureX(-100);
    button.SetPictureY(1000);
    render(*button.inner());
    button.resize(0, 0);
    EXPECT_TRUE(button.inner()->cache().isNull());
    QImage none(1, 1, QImage::Format_RGB32);
    QPainter painter(&none);
    button.inner()->DrawButton(painter, false);
    SUCCEED() << "a button without area draws nothing and does not fail";

    // An icon without a 32-pixel image shows its first at natural size.
    const TPicture icon
        = TPicture::fromIcon({solidIcon(48).mask().convertToFormat(QImage::Format_ARGB32),
                              QImage(16, 16, QImage::Format_ARGB32)});
    EXPECT_EQ(icon.size(), QSize(48, 48));
    EXPECT_EQ(icon.drawnSize(true), QSize(16, 16));
}

TEST(CaptionLinesRandomTest, RandomCaptionsSplitAndJoinSanely)
{
    const QByteArray seed = "&Save||Parametri|||x\r\n||y\r|\n||\xc3\xa9";
    quint32 state = 20261208;
    auto next = [&state](quint32 bound) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % bound;
    };
    for (int run = 0; run < 3000; ++run) {
        QByteArray input = seed.left(next(seed.size() + 1));
        for (quint32 e = 0, edits = next(12); e < edits; ++e) {
            const auto at = static_cast<qsizetype>(next(input.size() + 1));
            input.insert(at, "||||\r\nab&"[next(9)]);
        }
        if (next(10) == 0)
            input = QByteArray(static_cast<qsizetype>(next(600)), '|');
        checkCaptionLinesInput(input);
    }
}

TEST(HostTest, QtsOwnMovesAndResizesTakeAClearFaceAlong)
{
    QWidget parent;
    parent.resize(300, 200);
    ToxCustomButton button(&parent);
    button.setGeometry(10, 10, 61, 58);
    button.Background().SetStyle(oxbClear);
    parent.show();
    ToxCustomGraphicButton *inner = button.inner();
    ASSERT_EQ(inner->geometry(), QRect(10, 10, 61, 58));
    button.move(40, 30);
    EXPECT_EQ(inner->geometry(), QRect(40, 30, 61, 58));
    button.setGeometry(50, 60, 80, 70);
    EXPECT_EQ(inner->geometry(), QRect(50, 60, 80, 70));
    EXPECT_EQ(button.size(), QSize(0, 0)) << "the host stays a point";
    EXPECT_EQ(button.Width(), 80);
    EXPECT_EQ(button.Height(), 70);
    button.resize(90, 40);
    EXPECT_EQ(inner->geometry(), QRect(50, 60, 90, 40));
    // Back to a solid face, the host takes the last bounds.
    button.Background().SetStyle(oxbSolid);
    EXPECT_EQ(button.geometry(), QRect(50, 60, 90, 40));
}

TEST(HostTest, AnEmptyButtonPaintsWithoutWarnings)
{
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext &, const QString &text) { warnings.append(text); });
    ToxCustomButton button;
    button.resize(0, 0);
    button.show();
    QImage image(10, 10, QImage::Format_RGB32);
    QPainter painter(&image);
    button.inner()->DrawButton(painter, false);
    button.inner()->repaint();
    painter.end();
    qInstallMessageHandler(previous);
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join(u'\n').toStdString();
}

// What a screen reader gets: one push button, named by its caption as
// shown, described by its hint, that the press action clicks.
TEST(HostTest, AScreenReaderReadsOneNamedButtonThatPresses)
{
    ToxButton button;
    button.SetCaption(u"Run||INSTANT&&COPY"_s);
    button.SetHint(u"Starts InstantCopy"_s);
    int clicks = 0;
    QObject::connect(&button, &QAbstractButton::clicked, [&clicks] { ++clicks; });
    QAccessibleInterface *read = QAccessible::queryAccessibleInterface(&button);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->role(), QAccessible::Button);
    EXPECT_EQ(read->text(QAccessible::Name), u"Run INSTANT&COPY"_s);
    EXPECT_EQ(read->text(QAccessible::Description), u"Starts InstantCopy"_s);
    EXPECT_EQ(read->childCount(), 0) << "the inner widget is not a part of its own";
    EXPECT_FALSE(read->state().checkable);

    QAccessibleActionInterface *actions = read->actionInterface();
    ASSERT_NE(actions, nullptr);
    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks, 1);
    button.setEnabled(false);
    EXPECT_TRUE(read->state().disabled);
    EXPECT_FALSE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks, 1) << "a disabled button is not pressed";

    button.setEnabled(true);
    button.SetButtonType(oxbToggle);
    button.SetValue(true);
    EXPECT_TRUE(read->state().checkable);
    EXPECT_TRUE(read->state().checked);
}
