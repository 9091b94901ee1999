#include "mainformtesting.h"
#include "panel.h"
#include "printers.h"
#include "settingsgrid.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString Warning = u"WARNING!!\r\rInternational copyright laws prohibit the unauthorized\r"
                        u"reproduction, distribution or exhibitions of copyrighted\r"
                        u"materials. Use of this software is permitted only if you\r"
                        u"have the original DVD or CD to be processed by IC8.\r\r"
                        u"(this message can be disabled)\r"_s;

QStringList tags(TSettingsGrid *grid)
{
    QStringList out;
    for (int row = 1; row < grid->model().RowCount(); ++row)
        out.append(grid->model().Cells(4, row));
    return out;
}

} // namespace

TEST_F(MainFormTest, FirstStartWithAnEmptyHome)
{
    TMainForm &window = start();
    EXPECT_EQ(preference(u"WantWarning"), u"True"_s);
    EXPECT_EQ(preference(u"Language"), u"English"_s);
    EXPECT_EQ(preference(u"Version"), u"8v3"_s);
    EXPECT_EQ(preference(u"PathIC8"), QString());

    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].caption, u"Information"_s);
    EXPECT_EQ(dialogs.messages[0].text, Warning);
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Information);
    EXPECT_FALSE(dialogs.messages[0].windowShown) << "the warning comes before the window";

    EXPECT_TRUE(control<QRadioButton>(window, "Rb8v3")->isChecked());
    EXPECT_TRUE(control<QRadioButton>(window, "RbEnglish")->isChecked());
    EXPECT_FALSE(control<QCheckBox>(window, "CbWarning")->isChecked());
    EXPECT_FALSE(control<ToxButton>(window, "BtnAvvia")->isEnabled());
    EXPECT_TRUE(control<QRadioButton>(window, "RbUnaLista")->isChecked());
    EXPECT_EQ(window.windowTitle(), u"Ordevan 8.0.4.0"_s);
    EXPECT_EQ(control<ToxButton>(window, "BtnSettaggi")->text(), u"Options"_s);
    EXPECT_EQ(control<TPanel>(window, "Panel14")->caption(), u"Data Path"_s);
    EXPECT_FALSE(window.loading());

    for (TSettingsGrid *grid : {control<TSettingsGrid>(window, "GridGenerale"),
                                control<TSettingsGrid>(window, "GridCopia"),
                                control<TSettingsGrid>(window, "GridSettaggi"),
                                control<TSettingsGrid>(window, "GridPercorsi")}) {
        EXPECT_GT(grid->model().RowCount(), 12);
        EXPECT_FALSE(tags(grid).contains(u"8v0"_s));
        EXPECT_EQ(grid->model().Cells(0, 0),
                  u"<font size=2><shad><b>Setting</b></shad></font><hr>"_s);
    }
    for (TPanel *page :
         {control<TPanel>(window, "PanelGeneral"), control<TPanel>(window, "PanelCopy"),
          control<TPanel>(window, "PanelSettings"), control<TPanel>(window, "PanelProfiles"),
          control<TPanel>(window, "PanelDatapath")}) {
        EXPECT_EQ(page->y(), 88);
        EXPECT_EQ(page->height(), 401);
    }
    EXPECT_TRUE(window.isPageShown(control<TPanel>(window, "PanelGeneral")));
    EXPECT_FALSE(window.isPageShown(control<TPanel>(window, "PanelCopy")));
    // The defaults shown are not the copy program's: said without a box.
    EXPECT_EQ(control<QLabel>(window, "StatusLine")->text(),
              u"InstantCopy has not created its settings here yet: start it once."_s);
}

TEST_F(MainFormTest, StoredPreferencesChooseReleaseLanguageAndWarning)
{
    storePreferences(u"False"_s, u"Italian"_s, u"8v0"_s);
    TMainForm &window = start();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_TRUE(control<QCheckBox>(window, "CbWarning")->isChecked());
    EXPECT_TRUE(control<QRadioButton>(window, "Rb8v0")->isChecked());
    EXPECT_TRUE(control<QRadioButton>(window, "RbItaliano")->isChecked());
    ToxButton *options = control<ToxButton>(window, "BtnSettaggi");
    EXPECT_EQ(options->text(), u"Opzioni"_s);
    EXPECT_EQ(options->inner()->Caption(), u"Opzioni"_s) << "the picture shows it";
    TSettingsGrid *copy = control<TSettingsGrid>(window, "GridCopia");
    EXPECT_EQ(copy->model().Cells(0, 0),
              u"<font size=2><shad><b>Settaggio</b></shad></font><hr>"_s);
    EXPECT_EQ(copy->model().Cells(2, 1), u"LISTA"_s);
    EXPECT_FALSE(tags(copy).contains(u"8v3"_s));
    EXPECT_TRUE(tags(copy).contains(u"8v0"_s));
    EXPECT_EQ(preference(u"Version"), u"8v0"_s);
    EXPECT_EQ(preference(u"Language"), u"Italian"_s);
    EXPECT_EQ(preference(u"WantWarning"), u"False"_s);
}

TEST_F(MainFormTest, TextsInOtherLetterCaseAreReadAsTheOtherChoiceAndRewritten)
{
    storePreferences(u"true"_s, u"ITALIAN"_s, u"8V3"_s);
    TMainForm &window = start();
    EXPECT_TRUE(dialogs.messages.isEmpty()) << "\"true\" is not \"True\"";
    EXPECT_TRUE(control<QRadioButton>(window, "RbEnglish")->isChecked());
    EXPECT_TRUE(control<QRadioButton>(window, "Rb8v0")->isChecked());
    EXPECT_EQ(preference(u"WantWarning"), u"False"_s);
    EXPECT_EQ(preference(u"Language"), u"English"_s);
    EXPECT_EQ(preference(u"Version"), u"8v0"_s);
}

// The per-user file holds other programs' keys too (Windows keeps them in the
// registry itself).
#ifndef Q_OS_WIN
TEST_F(MainFormTest, OtherProgramsKeysSurviveUntouched)
{
    QDir().mkpath(QFileInfo(registryPath).absolutePath());
    const QString other = u"[HKEY_CURRENT_USER\\Software\\Someone\\Else]\r\n"
                          u"\"Blob\"=hex:de,ad,be,ef\r\n"
                          u"\"Count\"=dword:00000010\r\n"_s;
    QFile file(registryPath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\xFF\xFE");
    const QString text = u"Windows Registry Editor Version 5.00\r\n\r\n"_s + other + u"\r\n"_s;
    file.write(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    file.close();

    start();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray after = file.readAll();
    const QString afterText = QString::fromUtf16(
        reinterpret_cast<const char16_t *>(after.constData() + 2), after.size() / 2 - 1);
    EXPECT_TRUE(afterText.contains(other));
    EXPECT_TRUE(afterText.contains(u"\"Version\"=\"8v3\""_s));
}
#endif

TEST_F(MainFormTest, TheLaunchButtonFollowsTheStoredPath)
{
    QFile exe(dir.filePath(u"ICopy.exe"_s));
    ASSERT_TRUE(exe.open(QIODevice::WriteOnly));
    exe.close();
    storePreferences(u"False"_s, u"English"_s, u"8v3"_s, exe.fileName());
    EXPECT_TRUE(control<ToxButton>(start(), "BtnAvvia")->isEnabled());

    storePreferences(u"False"_s, u"English"_s, u"8v3"_s, dir.filePath(u"Nope.exe"_s));
    EXPECT_FALSE(control<ToxButton>(start(), "BtnAvvia")->isEnabled());
    EXPECT_EQ(preference(u"PathIC8"), dir.filePath(u"Nope.exe"_s));

    storePreferences(u"False"_s, u"English"_s, u"8v3"_s, dir.path());
    EXPECT_FALSE(control<ToxButton>(start(), "BtnAvvia")->isEnabled()) << "a folder is no program";
}

TEST_F(MainFormTest, TheWarningBoxWritesAtOnce)
{
    TMainForm &window = start();
    window.show();
    QCheckBox *warning = control<QCheckBox>(window, "CbWarning");
    QTest::mouseClick(warning, Qt::LeftButton, {}, QPoint(6, 8));
    EXPECT_TRUE(warning->isChecked());
    EXPECT_EQ(preference(u"WantWarning"), u"False"_s);
    QTest::mouseClick(warning, Qt::LeftButton, {}, QPoint(6, 8));
    EXPECT_EQ(preference(u"WantWarning"), u"True"_s);
    EXPECT_TRUE(control<QRadioButton>(window, "Rb8v3")->isChecked()) << "nothing else changes";
}

TEST_F(MainFormTest, ChangingTheReleaseReloadsAndStores)
{
    TMainForm &window = start();
    window.show();
    TSettingsGrid *copy = control<TSettingsGrid>(window, "GridCopia");
    copy->model().SetCells(1, 1, u"edited"_s);
    dialogs.answerChoice(0); // the edit is discarded
    QTest::mouseClick(control<QRadioButton>(window, "Rb8v0"), Qt::LeftButton, {}, QPoint(6, 8));
    EXPECT_EQ(window.release(), Release::R800);
    EXPECT_EQ(preference(u"Version"), u"8v0"_s);
    EXPECT_NE(copy->model().Cells(1, 1), u"edited"_s);
    EXPECT_FALSE(tags(copy).contains(u"8v3"_s));
}

TEST_F(MainFormTest, ChangingTheLanguageRelabelsReloadsAndStores)
{
    TMainForm &window = start();
    window.show();
    QRadioButton *italian = control<QRadioButton>(window, "RbItaliano");
    GridModel &general = control<TSettingsGrid>(window, "GridGenerale")->model();
    QTest::mouseClick(italian, Qt::LeftButton, {}, QPoint(6, 8));
    EXPECT_EQ(window.language(), Language::Italian);
    EXPECT_EQ(control<ToxButton>(window, "ReadBtn")->text(), u"Rileggi Impostazioni"_s);
    EXPECT_EQ(control<QLabel>(window, "Label1")->text().left(33),
              u"Non implementata nella versione 8"_s);
    EXPECT_EQ(general.Cells(1, 0),
              u"<font size=2><shad><b>Valore</b></shad></font><hr><br> <b>MODIFICABILE</b>"_s);
    EXPECT_EQ(preference(u"Language"), u"Italian"_s);
    // Qt's own dialogs and buttons follow.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), u"Annulla"_s);

    // The checked button runs nothing again.
    general.SetCells(1, 1, u"edited"_s);
    QTest::mouseClick(italian, Qt::LeftButton, {}, QPoint(6, 8));
    EXPECT_EQ(general.Cells(1, 1), u"edited"_s);
    QTest::mouseClick(control<QRadioButton>(window, "RbEnglish"), Qt::LeftButton, {}, {6, 8});
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), u"Cancel"_s);
}

TEST_F(MainFormTest, AMissingListLeavesOnlyItsOwnPageEmpty)
{
    removeList(u"COPY_ENG.TXT"_s);
    TMainForm &window = start();
    ASSERT_EQ(dialogs.messages.size(), 2); // the warning, then the list
    EXPECT_EQ(dialogs.messages[1].caption, u"Ordevan"_s);
    const QString text = dialogs.messages[1].text;
    EXPECT_TRUE(text.startsWith(u"The setting list "_s)) << text.toStdString();
    EXPECT_TRUE(text.contains(QDir::toNativeSeparators(u"/DATA/COPY_ENG.TXT"_s)
                              + u" cannot be used: it does not exist"_s))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith(u"Its page stays empty."_s));

    const GridModel &copy = control<TSettingsGrid>(window, "GridCopia")->model();
    EXPECT_EQ(copy.RowCount(), 2);
    EXPECT_EQ(copy.Cells(0, 1), QString());
    for (TSettingsGrid *grid : {control<TSettingsGrid>(window, "GridGenerale"),
                                control<TSettingsGrid>(window, "GridSettaggi"),
                                control<TSettingsGrid>(window, "GridPercorsi")})
        EXPECT_GT(grid->model().RowCount(), 5) << "the other lists are loaded";
    EXPECT_TRUE(control<QRadioButton>(window, "RbUnaLista")->isChecked())
        << "start-up went to its end";
    EXPECT_EQ(control<ToxButton>(window, "BtnSettaggi")->text(), u"Options"_s);
    EXPECT_EQ(window.windowTitle(), u"Ordevan 8.0.4.0"_s);
    EXPECT_EQ(preference(u"Language"), u"English"_s);
}

#ifndef Q_OS_WIN // where names ignore case, that sibling is the folder itself
TEST_F(MainFormTest, TheListsAreTheOnesBesideTheToolNotInASiblingThatDiffersInCase)
{
    // The tool folder is upper-cased in the lists' paths: a sibling spelt
    // that way must not win over the folder the tool runs from.
    const QString sibling
        = toolDir.section(u'/', 0, -2) + u'/' + toolDir.section(u'/', -1).toUpper();
    ASSERT_NE(sibling, toolDir);
    ASSERT_TRUE(QDir().mkpath(sibling + u"/DATA"_s));
    for (const QString &name : QDir(toolDir + u"/DATA"_s).entryList(QDir::Files)) {
        QFile file(sibling + u"/DATA/"_s + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("6,2\r\n0,1,<b>Impostor</b>\r\n2,1,STRING\r\n");
    }
    TMainForm &window = start();
    const GridModel &general = control<TSettingsGrid>(window, "GridGenerale")->model();
    EXPECT_NE(general.Cells(0, 1), u"<b>Impostor</b>"_s);
    EXPECT_GT(general.RowCount(), 5);
}
#endif

TEST_F(MainFormTest, AMissingListForTheStoredReleaseStillEndsTheStart)
{
    storePreferences(u"False"_s, u"English"_s, u"8v0"_s);
    removeList(u"SETTINGS_ENG.TXT"_s);
    TMainForm &window = start();
    ASSERT_EQ(dialogs.messages.size(), 1) << "the list, once";
    EXPECT_FALSE(window.loading());
    window.show();
    QTest::mouseClick(control<QCheckBox>(window, "CbWarning"), Qt::LeftButton, {}, QPoint(6, 8));
    EXPECT_EQ(preference(u"WantWarning"), u"True"_s);
}
