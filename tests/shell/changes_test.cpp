// What the user changed, shown and taken back: the marks, the questions
// before edits would be lost, the value menu and Ctrl+Z.

#include "editingrules.h"
#include "mainformtesting.h"
#include "printers.h"
#include "registrymapping.h"
#include "settingsgrid.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#ifndef Q_OS_WIN
#include "failingcalls.h"
#include "tmpfsmount.h"
#endif

using namespace Qt::Literals::StringLiterals;

namespace {

const std::u16string GeneralKey = u"Software\\VOB\\CD Wizard\\8.0";

class ChangesTest : public MainFormTest
{
protected:
    void SetUp() override
    {
        memory = &useMemoryStore();
        // MainWindowLeft is not its default (120), MainWindowTop is (80).
        memory->put(RootKey::CurrentUser, GeneralKey, u"MainWindowLeft",
                    {ValueKind::Integer, {}, 300});
        memory->put(RootKey::CurrentUser, GeneralKey, u"MainWindowTop",
                    {ValueKind::Integer, {}, 80});
        memory->put(RootKey::CurrentUser, GeneralKey, u"ShowToolTips",
                    {ValueKind::String, u"True", 0});
        memory->put(RootKey::CurrentUser, GeneralKey, u"SkinName",
                    {ValueKind::String, u"Default", 0});
        start().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        grid = control<TSettingsGrid>(*form, "GridGenerale");
    }

    int rowOf(const QString &name)
    {
        const int row = settingRowOf(grid->model(), name);
        EXPECT_GE(row, 0) << name.toStdString();
        return row;
    }
    QString value(const QString &name) { return grid->model().Cells(1, rowOf(name)); }
    std::optional<RegistryValue> stored(std::u16string_view name)
    {
        return memory->get(RootKey::CurrentUser, GeneralKey, name);
    }

    CellLook lookOf(const QString &name)
    {
        CellLook look{Qt::white, grid->font(), Qt::black, QColor()};
        grid->OnGetCellColor(grid, rowOf(name), SettingColumn::Value, 0, look);
        return look;
    }
    // "b" bold, "i" italic with the corner mark, "" plain.
    std::string marks(const QString &name)
    {
        const CellLook look = lookOf(name);
        EXPECT_EQ(look.font.italic(), look.cornerMark.isValid()) << name.toStdString();
        return std::string(look.font.bold() ? "b" : "") + (look.font.italic() ? "i" : "");
    }

    // Types `text` into the value's editor and commits it, as a user does.
    void type(const QString &name, const QString &text)
    {
        const int row = rowOf(name);
        grid->SetCurrentCell(1, row);
        ASSERT_TRUE(grid->ShowEditor());
        auto *editor = qobject_cast<QLineEdit *>(grid->EditorWidget());
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        ASSERT_FALSE(grid->Editing());
    }
    void clickCheckBox(const QString &name)
    {
        const int row = rowOf(name);
        grid->verticalScrollBar()->setValue(std::max(0, row - 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->CheckBoxRect(1, row).center());
    }
    void click(const char *button)
    {
        QTest::mouseClick(control<ToxButton>(*form, button), Qt::LeftButton);
    }
    // Ctrl+Z on the window, active again as it is after a menu closed.
    void undo()
    {
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier);
    }

    // Opens the value menu of `name` with a right click, looks at it, and
    // picks the item `pick` (none when empty).
    QStringList menuOf(const QString &name, const QString &pick = {},
                       QContextMenuEvent::Reason reason = QContextMenuEvent::Mouse)
    {
        QStringList items;
        QTimer::singleShot(0, [&] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            QAction *chosen = nullptr;
            for (QAction *action : menu->actions()) {
                if (action->isSeparator())
                    continue;
                items.append((action->isEnabled() ? u"+"_s : u"-"_s) + action->text());
                if (action->text() == pick)
                    chosen = action;
            }
            if (chosen) {
                menu->setActiveAction(chosen);
                QTest::keyClick(menu, Qt::Key_Return);
            } else {
                menu->close();
            }
        });
        const int row = rowOf(name);
        grid->verticalScrollBar()->setValue(std::max(0, row - 1));
        if (reason == QContextMenuEvent::Mouse) {
            const QPoint at = grid->CellRect(0, row).center(); // on the name
            QContextMenuEvent event(reason, at, grid->viewport()->mapToGlobal(at));
            QApplication::sendEvent(grid->viewport(), &event);
        } else {
            grid->SetCurrentCell(1, row);
            QContextMenuEvent event(reason, {}, {});
            QApplication::sendEvent(grid, &event);
        }
        return items;
    }

    MemoryRegistryStore *memory = nullptr;
    TSettingsGrid *grid = nullptr;
};

} // namespace

// Through a running Wine server each read of the store is a run of Wine:
// it is read at start, on Read, on Undo and after a save, and nothing the
// window merely shows or edits reads it again.
TEST_F(ChangesTest, OnlyReadSaveAndUndoReadTheStore)
{
    const auto opened = [&] {
        return memory->openedKeys().size();
    };
    const std::size_t atStart = opened();
    form->grab();
    type(u"MainWindowLeft"_s, u"400"_s);
    menuOf(u"MainWindowTop"_s);
    undo();
    click("BtnCopia");
    click("BtnGenerali");
    EXPECT_EQ(opened(), atStart);
    click("ReadBtn");
    EXPECT_GT(opened(), atStart);
}

// Edits on a page not shown mark its button; a save of the list shown says
// what it left in the others.
TEST_F(ChangesTest, PageButtonsMarkListsWithEditsAndASaveTellsWhatItLeft)
{
    const auto marked = [&](const char *button) {
        return control<ToxButton>(*form, button)->CornerMark() == editedMarkColour();
    };
    auto *status = control<QLabel>(*form, "StatusLine");
    EXPECT_EQ(status->text(), QString());
    click("BtnCopia");
    TSettingsGrid *general = grid;
    grid = control<TSettingsGrid>(*form, "GridCopia");
    clickCheckBox(u"TestWrite"_s);
    click("BtnGenerali");
    grid = general;
    type(u"MainWindowLeft"_s, u"400"_s);
    EXPECT_TRUE(marked("BtnGenerali") && marked("BtnCopia"));
    EXPECT_FALSE(marked("BtnSettaggi") || marked("BtnPath"));
    auto *copy = control<ToxButton>(*form, "BtnCopia");
    EXPECT_EQ(copy->grab().toImage().pixelColor(copy->width() - 4, 3), editedMarkColour());

    click("SaveBtn"); // this list only
    EXPECT_FALSE(marked("BtnGenerali"));
    EXPECT_TRUE(marked("BtnCopia"));
    EXPECT_EQ(status->text(), u"Saved: General. The edits in Copy are not saved yet."_s);
    click("BtnCopia");
    EXPECT_EQ(status->text(), QString()) << "until the next action";
}

TEST_F(ChangesTest, MarksFollowEveryKindOfChange)
{
    EXPECT_EQ(marks(u"MainWindowLeft"_s), "b") << "300 is not the default 120";
    EXPECT_EQ(marks(u"MainWindowTop"_s), "");
    EXPECT_EQ(marks(u"SkinName"_s), "");

    type(u"MainWindowTop"_s, u"81"_s);
    EXPECT_EQ(marks(u"MainWindowTop"_s), "bi");
    type(u"MainWindowTop"_s, u"80"_s);
    EXPECT_EQ(marks(u"MainWindowTop"_s), "") << "typed back to what was read: no edit left";
    clickCheckBox(u"ShowToolTips"_s);
    EXPECT_EQ(value(u"ShowToolTips"_s), u"False"_s);
    EXPECT_EQ(marks(u"ShowToolTips"_s), "bi");

    // Restore Default brings MainWindowLeft back to 120: an edit, no longer bold.
    click("DefaultBtn");
    EXPECT_EQ(value(u"MainWindowLeft"_s), u"120"_s);
    EXPECT_EQ(marks(u"MainWindowLeft"_s), "i");
    EXPECT_EQ(marks(u"ShowToolTips"_s), "") << "the default is True, as stored";

    // Ctrl+Z takes Restore Default back as one step, then the check box.
    undo();
    EXPECT_EQ(value(u"MainWindowLeft"_s), u"300"_s);
    EXPECT_EQ(marks(u"MainWindowLeft"_s), "b");
    EXPECT_EQ(value(u"ShowToolTips"_s), u"False"_s);
    type(u"SkinName"_s, u"Dark"_s);

    // A language switch keeps the edits, marked, in the other language's lists.
    control<QRadioButton>(*form, "RbItaliano")->click();
    EXPECT_EQ(value(u"SkinName"_s), u"Dark"_s);
    EXPECT_EQ(marks(u"SkinName"_s), "bi");
    EXPECT_EQ(grid->model().CheckBox(1, rowOf(u"ShowToolTips"_s)), false);

    // Saved: the marks of edits go, the bold of values not at their default stays.
    click("SaveBtn");
    EXPECT_EQ(stored(u"SkinName"), (RegistryValue{ValueKind::String, u"Dark", 0}));
    EXPECT_EQ(marks(u"SkinName"_s), "b");
    EXPECT_EQ(marks(u"ShowToolTips"_s), "b");

    // Read again, the marks follow what the store holds.
    memory->put(RootKey::CurrentUser, GeneralKey, u"SkinName", {ValueKind::String, u"Default", 0});
    click("ReadBtn");
    EXPECT_EQ(marks(u"SkinName"_s), "");
    EXPECT_TRUE(dialogs.questions.isEmpty()) << "nothing was left to lose";

    // A value read as the error marker carries no mark at all.
    memory->put(RootKey::CurrentUser, GeneralKey, u"SkinName", {ValueKind::Integer, {}, 1});
    click("ReadBtn");
    EXPECT_TRUE(isReadErrorText(value(u"SkinName"_s)));
    EXPECT_EQ(lookOf(u"SkinName"_s).cornerMark, QColor());
}

TEST_F(ChangesTest, TheEditedMarkIsPainted)
{
    const int row = rowOf(u"SkinName"_s);
    grid->verticalScrollBar()->setValue(std::max(0, row - 1));
    const QRect cell = grid->CellRect(1, row);
    const QPoint corner(cell.right() - 2, cell.top() + 1);
    EXPECT_NE(grid->viewport()->grab().toImage().pixelColor(corner), editedMarkColour());
    type(u"SkinName"_s, u"Dark"_s);
    grid->SetCurrentCell(1, rowOf(u"InterfaceType"_s));
    grid->verticalScrollBar()->setValue(std::max(0, row - 1));
    const QImage after = grid->viewport()->grab().toImage();
    EXPECT_EQ(after.pixelColor(corner), editedMarkColour());
    EXPECT_NE(after.pixelColor(cell.right() - 2, cell.top() + 6), editedMarkColour())
        << "a small triangle, not a bar";
}

TEST_F(ChangesTest, ReadSettingsAsksBeforeDiscardingEdits)
{
    type(u"SkinName"_s, u"Dark"_s);
    dialogs.answerChoice(1); // keep
    click("ReadBtn");
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions[0].text.contains(u"General: SkinName"_s))
        << dialogs.questions[0].text.toStdString();
    EXPECT_EQ(dialogs.questions[0].choices, (QStringList{u"Discard changes"_s, u"Keep changes"_s}));
    EXPECT_EQ(value(u"SkinName"_s), u"Dark"_s);

    dialogs.answerChoice(0); // discard
    click("ReadBtn");
    EXPECT_EQ(value(u"SkinName"_s), u"Default"_s);
    EXPECT_EQ(marks(u"SkinName"_s), "");

    // Another list's edits are not in the scope of one list's read.
    TSettingsGrid *copy = control<TSettingsGrid>(*form, "GridCopia");
    setSettingValue(copy->model(), 1, u"changed"_s);
    click("ReadBtn");
    EXPECT_EQ(dialogs.questions.size(), 2);
}

TEST_F(ChangesTest, AReleaseSwitchAsksAndKeepingStaysOnTheRelease)
{
    control<QRadioButton>(*form, "RbItaliano")->click();
    type(u"SkinName"_s, u"Dark"_s);
    auto *r800 = control<QRadioButton>(*form, "Rb8v0");
    auto *r803 = control<QRadioButton>(*form, "Rb8v3");

    dialogs.answerChoice(1);
    r800->click();
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_EQ(dialogs.questions[0].choices,
              (QStringList{u"Scarta le modifiche"_s, u"Mantieni le modifiche"_s}));
    EXPECT_TRUE(dialogs.questions[0].text.contains(u"8.0.0.x"_s));
    EXPECT_TRUE(r803->isChecked());
    EXPECT_EQ(form->release(), Release::R803);
    EXPECT_EQ(value(u"SkinName"_s), u"Dark"_s);
    EXPECT_EQ(preference(u"Version"), u"8v3"_s);

    dialogs.answerChoice(0);
    r800->click();
    EXPECT_EQ(form->release(), Release::R800);
    EXPECT_EQ(preference(u"Version"), u"8v0"_s);
    EXPECT_TRUE(form->close()) << "the lists of 8.0.0.x hold no edits";
    EXPECT_EQ(dialogs.questions.size(), 2);
}

TEST_F(ChangesTest, ClosingAsksToSaveDiscardOrCancel)
{
    EXPECT_TRUE(form->close()) << "nothing to lose, nothing asked";
    EXPECT_TRUE(dialogs.questions.isEmpty());

    start().show();
    grid = control<TSettingsGrid>(*form, "GridGenerale");
    type(u"SkinName"_s, u"Dark"_s);
    dialogs.answerChoice(2); // cancel
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(dialogs.questions.last().choices,
              (QStringList{u"Save"_s, u"Discard"_s, u"Cancel"_s}));

    dialogs.answerChoice(1); // discard
    EXPECT_TRUE(form->close());
    EXPECT_EQ(stored(u"SkinName"), (RegistryValue{ValueKind::String, u"Default", 0}));

    start().show();
    grid = control<TSettingsGrid>(*form, "GridGenerale");
    type(u"SkinName"_s, u"Dark"_s);
    // A save the store refuses keeps the window open and says so.
    memory->setRefuseWrites(true);
    dialogs.answerChoice(0);
    EXPECT_FALSE(form->close());
    ASSERT_FALSE(dialogs.messages.isEmpty());
    EXPECT_TRUE(dialogs.messages.last().text.contains(u"SkinName"_s));
    memory->setRefuseWrites(false);
    dialogs.answerChoice(0);
    const auto told = dialogs.messages.size();
    EXPECT_TRUE(form->close());
    EXPECT_EQ(dialogs.messages.size(), told)
        << "the lists without edits, whose keys do not exist, are not saved nor told of";
    EXPECT_EQ(stored(u"SkinName"), (RegistryValue{ValueKind::String, u"Dark", 0}));
}

TEST_F(ChangesTest, LaunchingAsksFirstAsClosingDoes)
{
    type(u"SkinName"_s, u"Dark"_s);
    auto *launch = control<ToxButton>(*form, "BtnAvvia");
    launch->setEnabled(true);
    dialogs.answerChoice(2);
    click("BtnAvvia");
    EXPECT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.messages.isEmpty()) << "cancelled: no start was tried";
    EXPECT_EQ(terminations, 0);
}

TEST_F(ChangesTest, AValueTypedButNotCommittedIsAskedForAndSaved)
{
    grid->SetCurrentCell(1, rowOf(u"SkinName"_s));
    ASSERT_TRUE(grid->ShowEditor());
    qobject_cast<QLineEdit *>(grid->EditorWidget())->setText(u"Typed"_s);
    dialogs.answerChoice(0);
    EXPECT_TRUE(form->close());
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions[0].text.contains(u"General: SkinName"_s));
    EXPECT_EQ(stored(u"SkinName"), (RegistryValue{ValueKind::String, u"Typed", 0}));
}

TEST_F(ChangesTest, StartingTheProgramAsksOnceAndItsCloseAsksNothing)
{
    class Starts : public LocalProgramLauncher
    {
    public:
        LaunchResult launch(const QString &) override { return LaunchResult::Started; }
    } starts;
    // Ending the tool closes its window, as quitting the application does.
    form.reset();
    form = std::make_unique<TMainForm>(MainFormServices{
        *store, files, dialogs, starts, [this] { form->close(); }, std::nullopt, &backups});
    form->show();
    grid = control<TSettingsGrid>(*form, "GridGenerale");
    type(u"SkinName"_s, u"Dark"_s);
    control<ToxButton>(*form, "BtnAvvia")->setEnabled(true);
    dialogs.answerChoice(1); // discard
    click("BtnAvvia");
    EXPECT_EQ(dialogs.questions.size(), 1);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(ChangesTest, TheValueMenu)
{
    EXPECT_EQ(menuOf(u"MainWindowLeft"_s),
              (QStringList{u"+Restore this value's default"_s, u"-Undo my edit"_s, u"+Copy name"_s,
                           u"+Copy value"_s, u"-Undo last save"_s}));
    EXPECT_EQ(grid->model().Row(), rowOf(u"MainWindowLeft"_s)) << "the row clicked is current";
    EXPECT_EQ(menuOf(u"MainWindowTop"_s).first(), u"-Restore this value's default"_s);

    menuOf(u"MainWindowLeft"_s, u"Restore this value's default"_s);
    EXPECT_EQ(value(u"MainWindowLeft"_s), u"120"_s);
    EXPECT_EQ(marks(u"MainWindowLeft"_s), "i");
    EXPECT_EQ(menuOf(u"MainWindowLeft"_s),
              (QStringList{u"-Restore this value's default"_s, u"+Undo my edit"_s, u"+Copy name"_s,
                           u"+Copy value"_s, u"-Undo last save"_s}));
    menuOf(u"MainWindowLeft"_s, u"Undo my edit"_s, QContextMenuEvent::Keyboard);
    EXPECT_EQ(value(u"MainWindowLeft"_s), u"300"_s);
    EXPECT_EQ(marks(u"MainWindowLeft"_s), "b");

    menuOf(u"SkinName"_s, u"Copy name"_s);
    EXPECT_EQ(QApplication::clipboard()->text(), u"SkinName"_s);
    menuOf(u"MainWindowLeft"_s, u"Copy value"_s);
    EXPECT_EQ(QApplication::clipboard()->text(), u"300"_s);

    // The check box follows a yes/no value the menu changes.
    clickCheckBox(u"ShowToolTips"_s);
    menuOf(u"ShowToolTips"_s, u"Undo my edit"_s);
    EXPECT_EQ(grid->model().CheckBox(1, rowOf(u"ShowToolTips"_s)), true);

    // The menu's own changes are undone by Ctrl+Z too.
    undo();
    EXPECT_EQ(value(u"ShowToolTips"_s), u"False"_s);

    control<QRadioButton>(*form, "RbItaliano")->click();
    EXPECT_EQ(menuOf(u"SkinName"_s),
              (QStringList{u"-Ripristina il valore predefinito"_s, u"-Annulla la mia modifica"_s,
                           u"+Copia il nome"_s, u"+Copia il valore"_s,
                           u"-Annulla l'ultimo salvataggio"_s}));
}

TEST_F(ChangesTest, UndoGoesBackEditByEditUntilTheLastSave)
{
    type(u"MainWindowTop"_s, u"1"_s);
    type(u"SkinName"_s, u"Dark"_s);
    type(u"MainWindowTop"_s, u"2"_s);
    click("SaveBtn");
    type(u"MainWindowLeft"_s, u"3"_s);
    // Another page comes into view while the edit on this one is undone.
    QTest::mouseClick(control<ToxButton>(*form, "BtnCopia"), Qt::LeftButton);
    undo();
    EXPECT_TRUE(form->isPageShown(grid->parentWidget()));
    EXPECT_EQ(grid->model().Row(), rowOf(u"MainWindowLeft"_s));
    EXPECT_EQ(value(u"MainWindowLeft"_s), u"300"_s);
    undo(); // the saved edits are not taken back
    EXPECT_EQ(value(u"MainWindowTop"_s), u"2"_s);
    EXPECT_EQ(value(u"SkinName"_s), u"Dark"_s);

    click("ReadBtn");
    type(u"MainWindowTop"_s, u"5"_s);
    type(u"MainWindowTop"_s, u"6"_s);
    control<QRadioButton>(*form, "RbItaliano")->click(); // edits and their steps stay
    undo();
    EXPECT_EQ(value(u"MainWindowTop"_s), u"5"_s);
    undo();
    EXPECT_EQ(value(u"MainWindowTop"_s), u"2"_s);
    EXPECT_EQ(marks(u"MainWindowTop"_s), "b");
}

// Saves and their undoing, byte for byte in the per-user file: the store of
// every platform but Windows.
#ifndef Q_OS_WIN
namespace {

// The window on a per-user file, to see saves and their undo byte for byte.
class SaveUndoTest : public MainFormTest
{
protected:
    void SetUp() override
    {
        writeStore(u"Windows Registry Editor Version 5.00\r\n"
                   u"\r\n"
                   u"[HKEY_CURRENT_USER\\Software\\Tarsel\\Ordevan8]\r\n"
                   u"\"WantWarning\"=\"False\"\r\n"
                   u"\r\n"
                   u"[HKEY_CURRENT_USER\\Software\\VOB\\CD Wizard\\8.0]\r\n"
                   u"\"MainWindowLeft\"=dword:0000012c\r\n"
                   u"\"SkinName\"=hex(2):44,00,61,00,72,00,6b,00,00,00\r\n"
                   u"\"Other\"=hex:01,02\r\n"_s);
        start().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        grid = control<TSettingsGrid>(*form, "GridGenerale");
    }

    void writeStore(const QString &text)
    {
        QDir().mkpath(QFileInfo(registryPath).absolutePath());
        QFile file(registryPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("\xFF\xFE");
        file.write(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    }
    QByteArray storeBytes()
    {
        QFile file(registryPath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString backupText(const QString &path)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        EXPECT_TRUE(bytes.startsWith("\xFF\xFE"));
        return QString(reinterpret_cast<const QChar *>(bytes.constData() + 2),
                       (bytes.size() - 2) / 2);
    }
    void setValue(const QString &name, const QString &text)
    {
        setSettingValue(grid->model(), settingRowOf(grid->model(), name), text);
    }
    QString value(const QString &name)
    {
        return grid->model().Cells(1, settingRowOf(grid->model(), name));
    }
    void save() { QTest::mouseClick(control<ToxButton>(*form, "SaveBtn"), Qt::LeftButton); }
    // Ctrl+Shift+Z, answered with `answer` when it asks (0: undo).
    void undoSave(std::optional<int> answer = 0)
    {
        if (answer)
            dialogs.answerChoice(*answer);
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    }

    TSettingsGrid *grid = nullptr;
};

} // namespace

TEST_F(SaveUndoTest, ASaveIsBackedUpAndUndoneByteForByte)
{
    const QByteArray before = storeBytes();
    setValue(u"MainWindowLeft"_s, u"10"_s);
    setValue(u"SkinName"_s, u"Light"_s); // an expandable string, saved as text
    save();
    ASSERT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.last().text.toStdString();
    ASSERT_NE(storeBytes(), before);

    const QList<BackupInfo> list = backups.list();
    ASSERT_EQ(list.size(), 1);
    const QString text = backupText(list[0].path);
    EXPECT_TRUE(text.contains(u"\"MainWindowLeft\"=dword:0000012c\r\n"_s)) << text.toStdString();
    EXPECT_TRUE(text.contains(u"\"SkinName\"=hex(2):44,00,61,00,72,00,6b,00,00,00\r\n"_s));
    // Values of the page that did not exist were written too: recorded as deletions.
    EXPECT_TRUE(text.contains(u"\"LanguageFile\"=-\r\n"_s));
    EXPECT_FALSE(text.contains(u"Other"_s)) << "untouched values stay out";
    EXPECT_FALSE(text.contains(u"WantWarning"_s));

    undoSave();
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions[0].text.contains(u"Its 9 values go back"_s))
        << dialogs.questions[0].text.toStdString();
    EXPECT_EQ(storeBytes(), before) << "every value back, the deletions made";
    EXPECT_EQ(value(u"MainWindowLeft"_s), u"300"_s) << "the window shows what was restored";
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.contains(u"undone"_s));

    // The undo was backed up in turn: undoing it brings the save back.
    EXPECT_EQ(backups.list().size(), 2);
    undoSave();
    EXPECT_EQ(value(u"MainWindowLeft"_s), u"10"_s);
    EXPECT_EQ(value(u"SkinName"_s), u"Light"_s);
}

TEST_F(SaveUndoTest, UndoAsksFirstAndNeedsASave)
{
    undoSave(std::nullopt);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text, u"There is no save to undo."_s);

    setValue(u"MainWindowLeft"_s, u"10"_s);
    save();
    // A value typed and not committed is among the edits the undo would discard.
    grid->SetCurrentCell(1, settingRowOf(grid->model(), u"SkinName"_s));
    ASSERT_TRUE(grid->ShowEditor());
    qobject_cast<QLineEdit *>(grid->EditorWidget())->setText(u"Typed"_s);
    undoSave(1); // leave it
    EXPECT_TRUE(dialogs.questions.last().text.contains(u"General: SkinName"_s))
        << dialogs.questions.last().text.toStdString();
    EXPECT_EQ(dialogs.questions.last().choices, (QStringList{u"Undo the save"_s, u"Leave it"_s}));
    EXPECT_EQ(value(u"SkinName"_s), u"Typed"_s);
    EXPECT_EQ(value(u"MainWindowLeft"_s), u"10"_s);
    undoSave(0);
    EXPECT_EQ(value(u"MainWindowLeft"_s), u"300"_s);
}

TEST_F(SaveUndoTest, ASaveWhoseBackupCannotBeWrittenSavesNothing)
{
    const QByteArray before = storeBytes();
    // The backups folder cannot be made: a file is in its place.
    QDir().mkpath(QFileInfo(backups.folder()).absolutePath());
    QFile inTheWay(backups.folder());
    ASSERT_TRUE(inTheWay.open(QIODevice::WriteOnly));
    inTheWay.close();

    setValue(u"MainWindowLeft"_s, u"10"_s);
    save();
    EXPECT_EQ(storeBytes(), before);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(u"Nothing was saved."_s));
    EXPECT_TRUE(dialogs.messages[0].text.contains(u"backup"_s));
    EXPECT_EQ(value(u"MainWindowLeft"_s), u"10"_s) << "the edit stays, to be saved later";

    // A backups folder that is read-only.
    ASSERT_TRUE(inTheWay.remove());
    TmpfsMount mount(u"64k"_s);
    if (mount.mounted()) {
        ASSERT_TRUE(QDir().mkpath(mount.filePath(u"backups"_s)));
        ASSERT_TRUE(mount.makeReadOnly());
        backups = RegistryBackups(mount.filePath(u"backups"_s), QString());
        start().show();
        grid = control<TSettingsGrid>(*form, "GridGenerale");
        setValue(u"MainWindowLeft"_s, u"10"_s);
        save();
        EXPECT_EQ(storeBytes(), before);
        EXPECT_TRUE(dialogs.messages.last().text.startsWith(u"Nothing was saved."_s));
        backups = RegistryBackups(dir.filePath(u"backups"_s), QString());
    }

    // A save the store refuses keeps its backup: a store that writes
    // through another program may have stored part of it.
    FailingCalls calls;
    store = std::make_unique<RegistryFileStore>(registryPath, calls);
    start().show();
    grid = control<TSettingsGrid>(*form, "GridGenerale");
    setValue(u"MainWindowLeft"_s, u"10"_s);
    calls.failAt("rename", 1, EROFS);
    save();
    EXPECT_TRUE(calls.failed());
    EXPECT_EQ(storeBytes(), before);
    EXPECT_EQ(backups.list().size(), 1);
    EXPECT_TRUE(dialogs.messages.last().text.startsWith(u"Nothing was saved."_s));
}
#endif
