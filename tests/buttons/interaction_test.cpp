#include "buttontesting.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;
using namespace buttontesting;

namespace {

constexpr QPoint Centre(30, 29);
constexpr QPoint Outside(90, 29);

class InteractionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        form.resize(300, 200);
        for (ToxButton *b : {&first, &second}) {
            setUpLikeTheWindow(*b);
            b->SetPictureUp(solidIcon(32));
        }
        first.move(10, 10);
        second.move(100, 10);
        first.SetCaption(u"&First"_s);
        second.SetCaption(u"&Second"_s);
        edit.setGeometry(10, 100, 100, 20);
        showForm();
    }

    void showForm()
    {
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    static void move(QWidget *widget, QPoint pos) { QTest::mouseMove(widget, pos); }

    QWidget form;
    ToxButton first{&form};
    ToxButton second{&form};
    QLineEdit edit{&form};
    QSignalSpy firstClicks{&first, &QAbstractButton::clicked};
    QSignalSpy secondClicks{&second, &QAbstractButton::clicked};
};

} // namespace

TEST_F(InteractionTest, AClickNeedsThePressAndTheReleaseInside)
{
    QTest::mouseClick(&first, Qt::LeftButton, {}, Centre);
    EXPECT_EQ(firstClicks.size(), 1);
    EXPECT_TRUE(first.hasFocus()) << "a press focuses the host";

    QTest::mousePress(&first, Qt::LeftButton, {}, Centre);
    EXPECT_EQ(first.inner()->drawState(), ToxCustomGraphicButton::StatePressed);
    EXPECT_EQ(first.inner()->cachedStates() & (1u << ToxCustomGraphicButton::SlotPressed),
              1u << ToxCustomGraphicButton::SlotPressed)
        << "the pressed look was painted at once";
    move(&first, Outside);
    EXPECT_EQ(first.inner()->drawState(), ToxCustomGraphicButton::StateUp)
        << "pops up off the button";
    move(&first, Centre);
    EXPECT_EQ(first.inner()->drawState(), ToxCustomGraphicButton::StatePressed) << "and down again";
    move(&first, Outside);
    QTest::mouseRelease(&first, Qt::LeftButton, {}, Outside);
    EXPECT_EQ(firstClicks.size(), 1) << "released outside: no click";
    EXPECT_FALSE(first.inner()->tracking());

    QTest::mouseClick(&first, Qt::RightButton, {}, Centre);
    EXPECT_EQ(firstClicks.size(), 1) << "only the left button presses";
    first.setEnabled(false);
    QTest::mouseClick(first.inner(), Qt::LeftButton, {}, Centre);
    EXPECT_EQ(firstClicks.size(), 1) << "a disabled button ignores presses";
}

TEST_F(InteractionTest, MouseEventsReachTheApplicationFromTheHost)
{
    QSignalSpy down(&first, &ToxCustomButton::OnMouseDown);
    QSignalSpy up(&first, &ToxCustomButton::OnMouseUp);
    QSignalSpy enter(&first, &ToxCustomButton::OnMouseEnter);
    QSignalSpy leave(&first, &ToxCustomButton::OnMouseLeave);
    QTest::mouseClick(&first, Qt::RightButton, {}, Centre);
    ASSERT_EQ(down.size(), 1);
    EXPECT_EQ(down[0][0].value<Qt::MouseButton>(), Qt::RightButton);
    EXPECT_EQ(down[0][2].toPoint(), Centre);
    EXPECT_EQ(up.size(), 1);
    const QPointF where(Centre);
    QEnterEvent in(where, where, where);
    QCoreApplication::sendEvent(first.inner(), &in);
    QEvent out(QEvent::Leave);
    QCoreApplication::sendEvent(first.inner(), &out);
    EXPECT_EQ(enter.size(), 1);
    EXPECT_EQ(leave.size(), 1);
}

TEST_F(InteractionTest, AShapedButtonIsOnlyWhereItsPictureAndCaptionAre)
{
    first.SetStyle(bsShaped);
    first.SetCaption(QString());
    render(*first.inner());
    ASSERT_EQ(first.inner()->pictureRect(), QRect(14, 4, 32, 32));
    QTest::mousePress(&first, Qt::LeftButton, {}, QPoint(5, 50));
    EXPECT_EQ(first.inner()->drawState(), ToxCustomGraphicButton::StateUp);
    EXPECT_FALSE(first.inner()->tracking());
    QTest::mouseRelease(&first, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(firstClicks.size(), 0) << "a press beside the picture does nothing";

    QTest::mouseClick(&first, Qt::LeftButton, {}, QPoint(14, 4));
    EXPECT_EQ(firstClicks.size(), 1);
    EXPECT_FALSE(first.inner()->IsInside(QPoint(46, 20))) << "right and bottom edges are outside";
}

TEST_F(InteractionTest, TogglesOfOneGroupExcludeEachOther)
{
    for (ToxButton *b : {&first, &second})
        b->SetButtonType(oxbToggle);
    QSignalSpy firstChanged(&first, &ToxCustomButton::OnChange);
    QTest::mouseClick(&first, Qt::LeftButton, {}, Centre);
    EXPECT_TRUE(first.Value());
    EXPECT_EQ(first.inner()->drawState(), ToxCustomGraphicButton::StateChecked);
    QTest::mouseClick(&second, Qt::LeftButton, {}, Centre);
    EXPECT_TRUE(second.Value());
    EXPECT_FALSE(first.Value()) << "checking one unchecks the other";
    EXPECT_EQ(firstChanged.size(), 2);

    QTest::mouseClick(&second, Qt::LeftButton, {}, Centre);
    EXPECT_TRUE(second.Value()) << "a checked toggle stays checked";
    EXPECT_EQ(secondClicks.size(), 2) << "and still clicks";

    QTest::mousePress(&second, Qt::LeftButton, {}, Centre);
    move(&second, Outside);
    QTest::mouseRelease(&second, Qt::LeftButton, {}, Outside);
    EXPECT_EQ(second.inner()->drawState(), ToxCustomGraphicButton::StateChecked)
        << "released outside it keeps its checked look";

    first.SetGroupAllowNoSel(true);
    EXPECT_TRUE(second.GroupAllowNoSel()) << "the group shares the setting";
    QTest::mouseClick(&second, Qt::LeftButton, {}, Centre);
    EXPECT_FALSE(second.Value()) << "now it can be unchecked";

    second.SetGroup(1);
    first.SetValue(true);
    second.SetValue(true);
    EXPECT_TRUE(first.Value()) << "another group leaves it alone";
}

TEST_F(InteractionTest, AGroupIsTheButtonsOfOneParentWhateverTheirFace)
{
    // Two on the form: one inside its host, one beside it (a clear face);
    // one on a panel on the form, with a clear face too. Group 0 for all.
    QWidget panel(&form);
    panel.setGeometry(10, 120, 200, 70);
    ToxButton nested(&panel);
    nested.resize(61, 58);
    panel.show();
    nested.show();
    second.Background().SetStyle(oxbClear);
    nested.Background().SetStyle(oxbClear);
    ASSERT_EQ(nested.inner()->parentWidget(), &panel);
    for (ToxButton *b : {&first, &second, &nested})
        b->SetButtonType(oxbToggle);

    nested.SetValue(true);
    first.SetValue(true);
    EXPECT_TRUE(nested.Value()) << "a panel on the form has groups of its own";
    second.SetValue(true);
    EXPECT_FALSE(first.Value()) << "beside its host, a button is still the form's";
    first.SetValue(true);
    EXPECT_FALSE(second.Value());
    EXPECT_TRUE(nested.Value());
}

TEST_F(InteractionTest, AnAutoRepeatButtonClicksWhileHeld)
{
    first.SetButtonType(oxbRepeat);
    first.SetPictureDown(solidIcon(32, qRgb(0, 0, 255)));
    QTest::mousePress(&first, Qt::LeftButton, {}, Centre);
    QTest::qWait(150);
    QTest::mouseRelease(&first, Qt::LeftButton, {}, Centre);
    QTest::qWait(400);
    EXPECT_EQ(firstClicks.size(), 0) << "released before the first delay: no click at all";

    QElapsedTimer held;
    held.start();
    QTest::mousePress(&first, Qt::LeftButton, {}, Centre);
    QTest::qWait(1100);
    QTest::mouseRelease(&first, Qt::LeftButton, {}, Centre);
    const qint64 ms = held.elapsed();
    // Ticks at 400, 600, 800 and 1000 ms; a slow machine may lose one.
    EXPECT_GE(firstClicks.size(), 3);
    EXPECT_LE(firstClicks.size(), 1 + (ms - 400) / 200);
    EXPECT_EQ(first.inner()->drawState(), ToxCustomGraphicButton::StateUp);
    const int clicks = static_cast<int>(firstClicks.size());
    QTest::qWait(500);
    EXPECT_EQ(firstClicks.size(), clicks) << "nothing after the release";
    EXPECT_EQ(qBlue(render(*first.inner()).pixel(20, 20)), clicks % 2 ? 255 : 0)
        << "each tick exchanges the up and down pictures";
}

TEST_F(InteractionTest, TheSpaceBarPressesAndReleases)
{
    first.setFocus();
    QTest::keyPress(&first, Qt::Key_Space);
    EXPECT_EQ(first.inner()->drawState(), ToxCustomGraphicButton::StatePressed);
    EXPECT_EQ(firstClicks.size(), 0);
    QTest::keyRelease(&first, Qt::Key_Space);
    EXPECT_EQ(first.inner()->drawState(), ToxCustomGraphicButton::StateUp);
    EXPECT_EQ(firstClicks.size(), 1);

    // Held down on an auto-repeat button: each repeated character clicks,
    // and the release once more.
    first.SetButtonType(oxbRepeat);
    for (bool repeat : {false, true, true}) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, u" "_s, repeat);
        QCoreApplication::sendEvent(&first, &press);
    }
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, u" "_s, false);
    QCoreApplication::sendEvent(&first, &release);
    EXPECT_EQ(firstClicks.size(), 1 + 3 + 1);

    first.SetButtonType(oxbToggle);
    QTest::keyClick(&first, Qt::Key_Space);
    EXPECT_TRUE(first.Value());
}

TEST_F(InteractionTest, EnterPressesTheActiveButtonAndEscapeTheCancelButton)
{
    second.setDefault(true);
    first.SetCancel(true);
    first.setFocus();
    ASSERT_TRUE(first.inner()->active());
    EXPECT_FALSE(second.inner()->active()) << "a focused push button takes Enter from the default";
    QTest::keyClick(&first, Qt::Key_Return);
    EXPECT_EQ(firstClicks.size(), 1);
    EXPECT_EQ(secondClicks.size(), 0);

    edit.setFocus();
    EXPECT_TRUE(second.inner()->active());
    EXPECT_FALSE(first.inner()->active());
    QTest::keyClick(&edit, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(secondClicks.size(), 1) << "with the focus elsewhere the default button clicks";
    QTest::keyClick(&edit, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(secondClicks.size(), 1) << "not with Shift held";

    QTest::keyClick(&edit, Qt::Key_Escape);
    EXPECT_EQ(firstClicks.size(), 2);
    EXPECT_TRUE(edit.hasFocus());
}

TEST_F(InteractionTest, AltAndTheAcceleratorClickWithoutMovingTheFocus)
{
    edit.setFocus();
    QTest::keyClick(&edit, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(secondClicks.size(), 1);
    EXPECT_TRUE(edit.hasFocus());
    second.setEnabled(false);
    QTest::keyClick(&edit, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(secondClicks.size(), 1);
}

TEST_F(InteractionTest, AMenuButtonShowsItsMenuBelowAndNeverClicks)
{
    QMenu menu;
    menu.addAction(u"One"_s);
    first.SetButtonType(oxbMenu);
    first.SetPopupMenu(&menu);
    QPoint shownAt;
    int lookWhileOpen = -1;
    QTimer::singleShot(50, [&] {
        if (QWidget *popup = QApplication::activePopupWidget()) {
            shownAt = popup->pos();
            lookWhileOpen = first.inner()->drawState();
            popup->close();
        }
    });
    QTest::mousePress(&first, Qt::LeftButton, {}, Centre);
    EXPECT_EQ(shownAt, first.mapToGlobal(QPoint(0, 58)));
    EXPECT_EQ(lookWhileOpen, ToxCustomGraphicButton::StatePressed);
    EXPECT_EQ(first.inner()->drawState(), ToxCustomGraphicButton::StateUp);
    QTest::mouseRelease(&first, Qt::LeftButton, {}, Centre);
    EXPECT_EQ(firstClicks.size(), 0);
}

TEST_F(InteractionTest, HelpAndCloseButtonsDoTheirOwnThing)
{
    second.SetKind(bkHelp);
    QSignalSpy help(&second, &ToxCustomButton::OnHelp);
    QTest::mouseClick(&second, Qt::LeftButton, {}, Centre);
    EXPECT_EQ(help.size(), 0);
    EXPECT_EQ(secondClicks.size(), 1) << "without a help topic it is a plain click";
    form.setProperty("HelpContext", 42);
    QTest::mouseClick(&second, Qt::LeftButton, {}, Centre);
    ASSERT_EQ(help.size(), 1);
    EXPECT_EQ(help[0][0].toInt(), 42);
    EXPECT_EQ(secondClicks.size(), 1);

    first.SetKind(bkClose);
    QTest::mouseClick(&first, Qt::LeftButton, {}, Centre);
    EXPECT_FALSE(form.isVisible()) << "a close button closes its form";
    EXPECT_EQ(firstClicks.size(), 0);
}

TEST_F(InteractionTest, AModalResultEndsItsDialog)
{
    QDialog dialog;
    ToxButton yes(&dialog);
    yes.resize(61, 58);
    yes.SetKind(bkYes);
    QSignalSpy clicks(&yes, &QAbstractButton::clicked);
    QTimer::singleShot(0, [&] { QTest::mouseClick(&yes, Qt::LeftButton, {}, Centre); });
    EXPECT_EQ(dialog.exec(), mrYes);
    EXPECT_EQ(clicks.size(), 1);
}

TEST_F(InteractionTest, APressBesideAShapedPictureIsHandledOnce)
{
    first.SetStyle(bsShaped);
    first.SetCaption(QString());
    render(*first.inner());
    QSignalSpy downs(&first, &ToxCustomButton::OnMouseDown);
    int focusIns = 0;
    struct FocusCounter : QObject
    {
        int *count;
        bool eventFilter(QObject *, QEvent *event) override
        {
            *count += event->type() == QEvent::FocusIn;
            return false;
        }
    } counter;
    counter.count = &focusIns;
    edit.setFocus();
    first.installEventFilter(&counter);
    QTest::mousePress(first.inner(), Qt::LeftButton, {}, QPoint(5, 50));
    EXPECT_EQ(downs.size(), 1);
    EXPECT_EQ(focusIns, 1);
    QTest::mouseRelease(first.inner(), Qt::LeftButton, {}, QPoint(5, 50));
    // An event sent to the host itself is still the inner button's.
    QTest::mousePress(&first, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(downs.size(), 2);
    EXPECT_EQ(first.inner()->drawState(), ToxCustomGraphicButton::StatePressed);
    QTest::mouseRelease(&first, Qt::LeftButton, {}, QPoint(20, 20));
}

TEST_F(InteractionTest, TheSpaceBarsPressEndsWhenTheFocusLeaves)
{
    first.setFocus();
    QTest::keyPress(&first, Qt::Key_Space);
    ASSERT_EQ(first.inner()->drawState(), ToxCustomGraphicButton::StatePressed);
    edit.setFocus();
    EXPECT_EQ(first.inner()->drawState(), ToxCustomGraphicButton::StateUp);
    QTest::keyRelease(&edit, Qt::Key_Space);
    EXPECT_EQ(firstClicks.size(), 0);
}

TEST_F(InteractionTest, AClickHandlerMayKeepItsDialogOpen)
{
    QDialog dialog;
    ToxButton yes(&dialog);
    yes.resize(61, 58);
    yes.SetKind(bkYes);
    int clicks = 0;
    QObject::connect(&yes, &QAbstractButton::clicked, [&] {
        EXPECT_EQ(dialog.result(), mrYes) << "the result is set before the handler";
        // The first click is refused: the dialog stays open.
        if (++clicks == 1)
            dialog.setResult(mrNone);
    });
    QTimer::singleShot(0, [&] {
        QTest::mouseClick(&yes, Qt::LeftButton, {}, Centre);
        EXPECT_TRUE(dialog.isVisible());
        QTest::mouseClick(&yes, Qt::LeftButton, {}, Centre);
    });
    EXPECT_EQ(dialog.exec(), mrYes);
    EXPECT_EQ(clicks, 2);
}

TEST_F(InteractionTest, AnEditedCloseOrHelpButtonIsAPlainOne)
{
    first.SetKind(bkClose);
    first.SetCaption(u"&Done"_s);
    QTest::mouseClick(&first, Qt::LeftButton, {}, Centre);
    EXPECT_TRUE(form.isVisible()) << "its caption was edited: no longer a close button";
    EXPECT_EQ(firstClicks.size(), 1);

    second.SetKind(bkHelp);
    second.SetCaption(u"&Why?"_s);
    form.setProperty("HelpContext", 7);
    QSignalSpy help(&second, &ToxCustomButton::OnHelp);
    QTest::mouseClick(&second, Qt::LeftButton, {}, Centre);
    EXPECT_EQ(help.size(), 0);
    EXPECT_EQ(secondClicks.size(), 1);
}

TEST_F(InteractionTest, TheHotLookFollowsTheMouseOnAFocusedCheckedButton)
{
    // A checked face is dithered while the mouse is not over it. Focused,
    // the button's look is in the focused slot, hot or not.
    first.SetStyle(bsWin97);
    first.SetButtonType(oxbToggle);
    first.SetValue(true);
    first.Background().SetDitherDown(true);
    first.setFocus();
    ToxCustomGraphicButton &inner = *first.inner();
    const QImage cold = render(inner);
    const QPointF at(Centre);
    QEnterEvent enter(at, at, first.mapToGlobal(at));
    QCoreApplication::sendEvent(&inner, &enter);
    ASSERT_TRUE(inner.hot());
    const QImage hot = render(inner);
    EXPECT_NE(hot, cold) << "not dithered under the mouse";
    inner.InvalidateCache();
    EXPECT_EQ(render(inner), hot) << "the cached look is the look";
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&inner, &leave);
    EXPECT_EQ(render(inner), cold);
}
