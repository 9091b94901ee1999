// Buttons that handlers delete, parents that delete them in any order, and
// clicks that open dialogs: nothing is touched after it is gone, and nothing
// goes on clicking by itself. Run under AddressSanitizer in CI.

#include "buttontesting.h"

#include <QDialog>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;

TEST(ButtonLifetimeTest, AClearFacedButtonDiesWithItsParentInAnyOrder)
{
    for (const bool raised : {false, true}) {
        auto *parent = new QWidget;
        parent->resize(200, 100);
        auto *button = new ToxCustomButton(parent);
        button->setGeometry(10, 10, 61, 58);
        button->Background().SetStyle(oxbClear);
        QPointer<ToxCustomGraphicButton> inner = button->inner();
        ASSERT_EQ(inner->parentWidget(), parent) << "beside the host";
        // Raised, the host is the parent's last child: the inner button
        // is deleted before it.
        if (raised)
            button->raise();
        parent->show();
        delete parent;
        EXPECT_TRUE(inner.isNull());
    }
    // Moved to another parent, the host still takes its inner button along.
    QWidget first, second;
    auto *button = new ToxCustomButton(&first);
    button->Background().SetStyle(oxbClear);
    QPointer<ToxCustomGraphicButton> inner = button->inner();
    button->setParent(&second);
    delete button;
    EXPECT_TRUE(inner.isNull());
}

TEST(ButtonLifetimeTest, AutoRepeatStopsWhenADialogTakesTheRelease)
{
    QWidget window;
    window.resize(200, 100);
    ToxCustomButton button(&window);
    button.setGeometry(10, 10, 61, 58);
    button.SetInitDelay(40);
    button.SetDelay(20);
    button.SetButtonType(oxbRepeat);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    int clicks = 0;
    QDialog dialog(&window);
    QObject::connect(&button, &QPushButton::clicked, [&] {
        if (++clicks == 3)
            dialog.open(); // modal: the mouse's release goes to it
    });
    const QPoint centre = button.inner()->rect().center();
    QTest::mousePress(button.inner(), Qt::LeftButton, {}, centre);
    for (int wait = 0; wait < 100 && clicks < 3; ++wait)
        QTest::qWait(20);
    ASSERT_EQ(clicks, 3) << "it repeats while held";
    QTest::mouseRelease(&dialog, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::qWait(300);
    EXPECT_LE(clicks, 4) << "it went on clicking after the release";
    EXPECT_NE(button.inner()->drawState(), ToxCustomGraphicButton::StatePressed);
    dialog.close();
}

TEST(ButtonLifetimeTest, AMenuActionMayDeleteItsButton)
{
    for (const bool byKey : {false, true}) {
        QWidget window;
        window.resize(200, 100);
        QPointer<ToxCustomButton> button = new ToxCustomButton(&window);
        button->setGeometry(10, 10, 61, 58);
        button->SetButtonType(oxbMenu);
        QMenu menu;
        QAction *action = menu.addAction(u"Remove the button"_s);
        QObject::connect(action, &QAction::triggered, [&] { delete button.data(); });
        button->SetPopupMenu(&menu);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        QTimer::singleShot(100, &menu, [&] {
            action->trigger();
            menu.close();
        });
        // Only the press: the button is gone before a release could reach it.
        if (byKey) {
            button->setFocus();
            QTest::keyPress(button.data(), Qt::Key_Space);
        } else {
            QTest::mousePress(button->inner(), Qt::LeftButton, {},
                              button->inner()->rect().center());
        }
        EXPECT_TRUE(button.isNull()) << (byKey ? "by key" : "by mouse");
    }
}

TEST(ButtonLifetimeTest, AGroupHandlerMayDeleteASibling)
{
    QWidget window;
    QList<QPointer<ToxCustomButton>> buttons;
    for (int i = 0; i < 4; ++i) {
        auto *button = new ToxCustomButton(&window);
        button->SetButtonType(oxbToggle);
        button->SetGroup(1);
        button->SetGroupAllowNoSel(true);
        buttons.append(button);
    }
    buttons[1]->SetValue(true);
    // Unchecking the second deletes the third and fourth before the group
    // reaches them.
    QObject::connect(buttons[1].data(), &ToxCustomButton::OnChange, [&] {
        delete buttons[2].data();
        delete buttons[3].data();
    });
    buttons[0]->SetValue(true);
    EXPECT_TRUE(buttons[0]->Value());
    EXPECT_FALSE(buttons[1]->Value());
    EXPECT_TRUE(buttons[2].isNull());
    EXPECT_TRUE(buttons[3].isNull());
}
