#include "captions.h"
#include "mainformtesting.h"
#include "panel.h"
#include "printers.h"
#include "settingsgrid.h"

#include <QAbstractButton>
#include <QLabel>
#include <QRadioButton>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

QString captionOf(QWidget *control)
{
    if (auto *panel = qobject_cast<TPanel *>(control))
        return panel->caption();
    if (auto *button = qobject_cast<QAbstractButton *>(control))
        return button->text();
    if (auto *label = qobject_cast<QLabel *>(control))
        return label->text();
    return u"<not a captioned control>"_s;
}

class LanguageTest : public MainFormTest
{
protected:
    void expectCaptions(TMainForm &window, Language language)
    {
        ASSERT_EQ(captionTable().size(), 27);
        for (const CaptionRow &row : captionTable()) {
            auto *control = window.findChild<QWidget *>(row.control);
            ASSERT_NE(control, nullptr) << row.control.toStdString();
            EXPECT_EQ(captionOf(control), language == Language::Italian ? row.italian : row.english)
                << row.control.toStdString();
        }
    }
};

} // namespace

TEST_F(LanguageTest, SwitchingRelabelsReloadsRereadsAndStores)
{
    TMainForm &window = start();
    window.show();
    expectCaptions(window, Language::English);
    auto *allLists = control<QRadioButton>(window, "RbTutteListe");
    GridModel &copy = control<TSettingsGrid>(window, "GridCopia")->model();
    QTest::mouseClick(control<ToxButton>(window, "BtnCopia"), Qt::LeftButton);
    QTest::mouseClick(allLists, Qt::LeftButton, {}, QPoint(6, 8));
    copy.SetCells(1, 1, u"edited"_s);

    QTest::mouseClick(control<QRadioButton>(window, "RbItaliano"), Qt::LeftButton, {},
                      QPoint(6, 8));
    expectCaptions(window, Language::Italian);
    EXPECT_EQ(
        control<QLabel>(window, "Label1")->text(),
        u"Non implementata nella versione 8.0.0 / 8.0.3 di InstantCopy; cercherò di scriverne "
        u"una io (se ho tempo) perchè penso possa essere utile poter lanciare InstantCopy con "
        u"i parametri personalizzati, senza dover impostare ogni volta il programma."_s);
    EXPECT_EQ(copy.Cells(1, 0),
              u"<font size=2><shad><b>Valore</b></shad></font><hr><br> <b>MODIFICABILE</b>"_s);
    EXPECT_EQ(copy.Cells(2, 1), u"LISTA"_s) << "the _ITA list";
    EXPECT_EQ(copy.Cells(1, 1), u"edited"_s) << "an edit not saved yet stays, in either language";
    EXPECT_TRUE(window.isPageShown(control<TPanel>(window, "PanelCopy")));
    EXPECT_TRUE(allLists->isChecked());
    EXPECT_EQ(preference(u"Language"), u"Italian"_s);
    EXPECT_EQ(control<QRadioButton>(window, "RadioButton1")->text(), u"FRENCH"_s)
        << "texts no handler changes";
    EXPECT_EQ(window.windowTitle(), u"Ordevan 8.0.4.0"_s);

    // A restart opens in Italian.
    TMainForm &again = start();
    EXPECT_TRUE(control<QRadioButton>(again, "RbItaliano")->isChecked());
    expectCaptions(again, Language::Italian);
}

#ifndef Q_OS_WIN // the per-user file, unwritten
TEST_F(LanguageTest, TheCheckedButtonRunsNothing)
{
    TMainForm &window = start();
    window.show();
    GridModel &general = control<TSettingsGrid>(window, "GridGenerale")->model();
    general.SetCells(1, 1, u"edited"_s);
    const QByteArray before = [&] {
        QFile file(registryPath);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }();
    QTest::mouseClick(control<QRadioButton>(window, "RbEnglish"), Qt::LeftButton, {}, QPoint(6, 8));
    EXPECT_EQ(general.Cells(1, 1), u"edited"_s);
    QFile file(registryPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
}
#endif

TEST_F(LanguageTest, AMissingItalianListLeavesOnlyItsPageEmpty)
{
    removeList(u"COPY_ITA.TXT"_s);
    TMainForm &window = start();
    window.show();
    dialogs.messages.clear();
    QTest::mouseClick(control<QRadioButton>(window, "RbItaliano"), Qt::LeftButton, {},
                      QPoint(6, 8));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(u"La lista di impostazioni "_s))
        << dialogs.messages[0].text.toStdString();
    EXPECT_TRUE(dialogs.messages[0].text.contains(u"COPY_ITA.TXT non può essere usata"_s));
    expectCaptions(window, Language::Italian);
    EXPECT_EQ(preference(u"Language"), u"Italian"_s);
    EXPECT_EQ(control<TSettingsGrid>(window, "GridGenerale")->model().Cells(2, 1), u"LISTA"_s);
    EXPECT_EQ(control<TSettingsGrid>(window, "GridCopia")->model().RowCount(), 2);
    EXPECT_EQ(control<TSettingsGrid>(window, "GridSettaggi")->model().Cells(2, 1), u"LISTA"_s)
        << "lists after it reloaded";
}
