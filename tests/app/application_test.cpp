#include "application.h"
#include "printers.h"
#include "registryaccessor.h"
#include "scripteddialogs.h"

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// A widget whose mouse handler fails the way the tool's handlers can; like
// them, it runs its work inside the handler guard.
class FailingWidget : public QWidget
{
public:
    int presses = 0;
    std::function<void()> fail;

protected:
    void mousePressEvent(QMouseEvent *) override
    {
        guardHandler([this] {
            ++presses;
            fail();
        });
    }
};

// An object whose event handler has no guard at all.
class UnguardedObject : public QObject
{
public:
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::User)
            throw std::runtime_error("unguarded");
        return QObject::event(event);
    }
};

class ApplicationTest : public testing::Test
{
protected:
    void SetUp() override
    {
        app = static_cast<OrdevanApplication *>(QCoreApplication::instance());
        app->setDialogs(&dialogs);
    }
    void TearDown() override { app->setDialogs(nullptr); }

    OrdevanApplication *app = nullptr;
    ScriptedDialogs dialogs;
    FailingWidget widget;
};

} // namespace

TEST_F(ApplicationTest, AnExceptionFromAHandlerIsShownAndTheToolRunsOn)
{
    widget.fail = [] {
        throw ERegistryError("Failed to set data for 'Language'");
    };
    QTest::mouseClick(&widget, Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].caption, u"Ordevan"_s);
    EXPECT_EQ(dialogs.messages[0].text, u"Failed to set data for 'Language'"_s);
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);

    widget.fail = [] {
        throw 42;
    };
    QTest::mouseClick(&widget, Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[1].text, u"An unexpected error occurred."_s);

    widget.fail = [] {
    };
    QTest::mouseClick(&widget, Qt::LeftButton);
    EXPECT_EQ(widget.presses, 3);
    EXPECT_EQ(dialogs.messages.size(), 2);
}

TEST_F(ApplicationTest, MessagesAreUtf8)
{
    widget.fail = [] {
        throw std::runtime_error("Cannot open file C:\\PERCORSO\\CAFF\xC3\x88.TXT");
    };
    QTest::mouseClick(&widget, Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text, u"Cannot open file C:\\PERCORSO\\CAFFÈ.TXT"_s);
}

TEST_F(ApplicationTest, AnErrorWhileReportingIsNotReportedInABoxOfItsOwn)
{
    class FailingDialogs : public ScriptedDialogs
    {
    public:
        void showMessage(const QString &caption, const QString &text, MessageIcon icon) override
        {
            ScriptedDialogs::showMessage(caption, text, icon);
            throw std::runtime_error("the box failed too");
        }
    } failing;
    app->setDialogs(&failing);
    widget.fail = [] {
        throw std::runtime_error("first");
    };
    QTest::mouseClick(&widget, Qt::LeftButton);
    ASSERT_EQ(failing.messages.size(), 1);
    EXPECT_EQ(failing.messages[0].text, u"first"_s);
    app->setDialogs(&dialogs);
}

TEST_F(ApplicationTest, AnUnguardedHandlerIsStillCaughtByTheApplication)
{
    UnguardedObject object;
    QEvent event(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&object, &event));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text, u"unguarded"_s);
}

TEST_F(ApplicationTest, AnErrorRaisedWhileABoxIsOpenIsShownAfterIt)
{
    // While the first box is open its event loop runs other handlers,
    // which fail too (one of them twice).
    class BusyDialogs : public ScriptedDialogs
    {
    public:
        void showMessage(const QString &caption, const QString &text, MessageIcon icon) override
        {
            ScriptedDialogs::showMessage(caption, text, icon);
            if (messages.size() == 1) {
                for (const char *error : {"second", "third", "second"})
                    reportHandlerException(std::make_exception_ptr(std::runtime_error(error)));
            }
        }
    } busy;
    app->setDialogs(&busy);
    widget.fail = [] {
        throw std::runtime_error("first");
    };
    QTest::mouseClick(&widget, Qt::LeftButton);
    app->setDialogs(&dialogs);
    ASSERT_EQ(busy.messages.size(), 3);
    EXPECT_EQ(busy.messages[0].text, u"first"_s);
    EXPECT_EQ(busy.messages[1].text, u"second"_s);
    EXPECT_EQ(busy.messages[2].text, u"third"_s);
}
