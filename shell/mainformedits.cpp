// The window's part in keeping track of what the user changed: the undo of
// edits, the value menu, and the questions asked before edits would be lost.

#include "dialogs.h"
#include "editingrules.h"
#include "handlerguard.h"
#include "mainform.h"
#include "oxbutton.h"
#include "panel.h"
#include "settingsgrid.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QShortcut>

using namespace Qt::Literals::StringLiterals;

namespace {

// Names shown in a question before it gets too long to read.
constexpr qsizetype MaxNamesTold = 12;

// "General: MaxCdSize, ViewStatus" for each list with edits, one per line.
QString editedNames(const QList<std::pair<SettingsPage, PageValues>> &edits, Language language)
{
    QStringList lines;
    qsizetype total = 0;
    for (const auto &[page, values] : edits) {
        QStringList names;
        for (const auto &value : values) {
            if (total++ < MaxNamesTold)
                names.append(value.first);
        }
        if (!names.isEmpty())
            lines.append(pageTitle(page, language) + u": "_s + names.join(u", "_s));
    }
    if (total > MaxNamesTold) {
        lines.append((language == Language::Italian ? u"e altri %1"_s : u"and %1 more"_s)
                         .arg(total - MaxNamesTold));
    }
    return lines.join(u'\r');
}

} // namespace

void TMainForm::createShortcuts()
{
    auto *undo = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), this);
    undo->setObjectName(u"UndoEdit"_s);
    connect(undo, &QShortcut::activated, this, [this] { runAction(&TMainForm::undoEdit); });
    auto *undoSave = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), this);
    undoSave->setObjectName(u"UndoSave"_s);
    connect(undoSave, &QShortcut::activated, this, [this] { runAction(&TMainForm::undoLastSave); });
}

void TMainForm::GridCellEdited(TSettingsGrid *sender, int col, int row, const QString &before)
{
    const auto name = settingValueName(sender->model(), row);
    if (col != SettingColumn::Value || !name)
        return;
    const QString typed = sender->model().Cells(col, row);
    const QString held = heldToRange(settingRow(sender->model(), row), typed);
    if (held != typed)
        sender->model().SetCells(col, row, held);
    if (held != before)
        m_history.record({{pageOf(sender), *name, before, held}});
    refreshEditState();
}

void TMainForm::refreshEditState()
{
    for (TSettingsGrid *grid : grids()) {
        if (ToxButton *button = pageButton(grid)) {
            const bool edited = ::hasUnsavedEdits(grid->model(), storedSettings(grid));
            button->SetCornerMark(edited ? editedMarkColour() : QColor());
        }
    }
    QString status = m_saveNote;
    if (status.isEmpty() && m_settingsMissing) {
        status = italian() ? u"InstantCopy non ha ancora creato qui le sue impostazioni: avviarlo "
                             u"una volta."_s
                           : u"InstantCopy has not created its settings here yet: start it once."_s;
    }
    m_statusLine->setText(status);
    m_statusLine->setToolTip(status);
}

// Told after a save of the list shown: the edits it left in the others.
QString TMainForm::editsLeftAfterSave(const QList<TSettingsGrid *> &saved)
{
    QStringList saveTitles, leftTitles;
    for (TSettingsGrid *grid : grids()) {
        if (saved.contains(grid))
            saveTitles.append(pageTitle(pageOf(grid), m_language));
        else if (::hasUnsavedEdits(grid->model(), storedSettings(grid)))
            leftTitles.append(pageTitle(pageOf(grid), m_language));
    }
    if (leftTitles.isEmpty())
        return {};
    return (italian() ? u"Salvato: %1. Le modifiche in %2 non sono ancora salvate."_s
                      : u"Saved: %1. The edits in %2 are not saved yet."_s)
        .arg(saveTitles.join(u", "_s), leftTitles.join(u", "_s));
}

bool TMainForm::hasUnsavedEdits(const QList<TSettingsGrid *> &lists)
{
    return std::any_of(lists.begin(), lists.end(), [this](TSettingsGrid *grid) {
        return ::hasUnsavedEdits(grid->model(), storedSettings(grid));
    });
}

QList<std::pair<SettingsPage, PageValues>>
TMainForm::unsavedEdits(const QList<TSettingsGrid *> &lists)
{
    QList<std::pair<SettingsPage, PageValues>> edits;
    for (TSettingsGrid *grid : lists) {
        // A value typed and not committed yet is an edit too.
        if (grid->Editing())
            grid->HideEditor();
        edits.append({pageOf(grid), editedValues(grid->model(), storedSettings(grid))});
    }
    return edits;
}

bool TMainForm::mayDiscardEdits(const QList<TSettingsGrid *> &lists, const QString &action)
{
    const QString names = editedNames(unsavedEdits(lists), m_language);
    if (names.isEmpty())
        return true;
    ChoiceRequest question;
    question.caption = QCoreApplication::applicationName();
    question.text = italian()
        ? action + u"\r\rQuesti valori sono stati modificati qui e non ancora salvati:\r\r"_s
            + names + u"\r\rScartare queste modifiche?"_s
        : action + u"\r\rThese values were changed here and are not saved yet:\r\r"_s + names
            + u"\r\rDiscard these changes?"_s;
    question.choices = italian() ? QStringList{u"Scarta le modifiche"_s, u"Mantieni le modifiche"_s}
                                 : QStringList{u"Discard changes"_s, u"Keep changes"_s};
    question.defaultChoice = 1;
    question.escapeChoice = 1;
    return m_services.dialogs.askChoice(question) == 0;
}

bool TMainForm::mayClose()
{
    const auto edits = unsavedEdits(grids());
    QList<TSettingsGrid *> edited;
    for (const auto &[page, values] : edits) {
        if (!values.isEmpty())
            edited.append(gridOf(page));
    }
    const QString names = editedNames(edits, m_language);
    if (names.isEmpty())
        return true;
    enum Choice { Save, Discard, Cancel };
    ChoiceRequest question;
    question.caption = QCoreApplication::applicationName();
    question.text = italian()
        ? u"Questi valori sono stati modificati qui e non ancora salvati:\r\r"_s + names
            + u"\r\rSalvarli prima che Ordevan si chiuda?"_s
        : u"These values were changed here and are not saved yet:\r\r"_s + names
            + u"\r\rSave them before Ordevan closes?"_s;
    question.choices = italian() ? QStringList{u"Salva"_s, u"Scarta"_s, u"Annulla"_s}
                                 : QStringList{u"Save"_s, u"Discard"_s, u"Cancel"_s};
    question.defaultChoice = Save;
    question.escapeChoice = Cancel;
    switch (m_services.dialogs.askChoice(question)) {
    case Save:
        // As the Save button, of the lists with edits; whatever was not
        // stored keeps the window open, and the save's message said what.
        saveLists(edited);
        return !hasUnsavedEdits(grids());
    case Discard:
        return true;
    default:
        return false;
    }
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    bool close = m_closeApproved;
    m_toldStoreProblem.clear();
    m_toldListProblems.clear();
    if (!close)
        guardHandler([&] { close = mayClose(); });
    if (close)
        event->accept();
    else
        event->ignore();
}

void TMainForm::GridContextPopup(TSettingsGrid *sender, int, int row, const QPoint &globalPos)
{
    GridModel &grid = sender->model();
    const SettingRow setting = settingRow(grid, row);
    if (setting.isSetting())
        sender->SetCurrentCell(SettingColumn::Value, row);
    const QString *fallback = pageDefaults(sender).find(setting.name);
    const ValueMarks marks = valueMarks(grid, row, pageDefaults(sender), storedSettings(sender));
    bool canEdit = false;
    GridCanEditCell(sender, row, SettingColumn::Value, canEdit);

    QMenu menu(this);
    menu.setObjectName(u"ValueMenu"_s);
    QAction *restore = menu.addAction(italian() ? u"Ripristina il valore predefinito"_s
                                                : u"Restore this value's default"_s);
    restore->setEnabled(setting.isSetting() && canEdit && fallback
                        && !sameSettingValue(setting.kind(), setting.value, *fallback));
    QAction *undo = menu.addAction(italian() ? u"Annulla la mia modifica"_s : u"Undo my edit"_s);
    undo->setEnabled(setting.isSetting() && marks.edited);
    menu.addSeparator();
    QAction *copyName = menu.addAction(italian() ? u"Copia il nome"_s : u"Copy name"_s);
    copyName->setEnabled(!setting.name.isEmpty());
    QAction *copyValue = menu.addAction(italian() ? u"Copia il valore"_s : u"Copy value"_s);
    copyValue->setEnabled(!setting.name.isEmpty());
    menu.addSeparator();
    QAction *undoSave
        = menu.addAction(italian() ? u"Annulla l'ultimo salvataggio"_s : u"Undo last save"_s);
    undoSave->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    undoSave->setEnabled(m_backups->newest().has_value());

    const QAction *chosen = menu.exec(globalPos);
    // The menu's own event loop ran: the row may have gone meanwhile.
    if (!chosen || row >= grid.RowCount() || settingRow(grid, row).name != setting.name)
        return;
    m_toldStoreProblem.clear();
    m_toldListProblems.clear();
    if (chosen == undoSave) {
        undoLastSave();
        refreshEditState();
        return;
    }
    if (chosen == restore) {
        setValueFromMenu(sender, row, *fallback);
    } else if (chosen == undo) {
        const StoredSettings::Setting *stored = storedSettings(sender).find(setting.name);
        setValueFromMenu(sender, row, stored ? stored->cellText : readErrorMarker(m_language));
    } else if (chosen == copyName) {
        QGuiApplication::clipboard()->setText(setting.name);
    } else if (chosen == copyValue) {
        QGuiApplication::clipboard()->setText(grid.Cells(SettingColumn::Value, row));
    }
}

// A value put in by the menu is an edit as a typed one is: Ctrl+Z takes it back.
void TMainForm::setValueFromMenu(TSettingsGrid *grid, int row, const QString &text)
{
    const QString before = grid->model().Cells(SettingColumn::Value, row);
    setSettingValue(grid->model(), row, text);
    GridCellEdited(grid, SettingColumn::Value, row, before);
}

void TMainForm::recordChanges(const QList<TSettingsGrid *> &lists,
                              const std::function<void()> &change)
{
    QList<PageValues> before;
    for (TSettingsGrid *grid : lists)
        before.append(pageValues(grid->model()));
    change();
    QList<ValueEdit> step;
    for (qsizetype i = 0; i < lists.size(); ++i)
        step.append(editsSince(pageOf(lists[i]), before[i], lists[i]->model()));
    m_history.record(step);
}

void TMainForm::undoEdit()
{
    if (const auto step = m_history.takeLast())
        applyUndo(*step);
}

// Each value gets back the text it had; the page of the step comes into
// view, with the value taken back current.
void TMainForm::applyUndo(const QList<ValueEdit> &step)
{
    TSettingsGrid *shown = nullptr;
    int shownRow = -1;
    for (auto edit = step.crbegin(); edit != step.crend(); ++edit) {
        TSettingsGrid *grid = gridOf(edit->page);
        const int row = settingRowOf(grid->model(), edit->name);
        if (row < 0)
            continue;
        if (grid->Editing())
            grid->HideEditor(true);
        // A marker told in the other language before a switch.
        setSettingValue(grid->model(), row,
                        isReadErrorText(edit->before) ? readErrorMarker(m_language) : edit->before);
        if (!shown || (isPageShown(grid->parentWidget()) && !isPageShown(shown->parentWidget()))) {
            shown = grid;
            shownRow = row;
        }
    }
    if (!shown)
        return;
    if (!isPageShown(shown->parentWidget()))
        showPage(static_cast<TPanel *>(shown->parentWidget()));
    shown->SetCurrentCell(SettingColumn::Value, shownRow);
}

// The newest backup of this store goes back into it; the lists are read
// again to show it.
void TMainForm::undoLastSave()
{
    const std::optional<BackupInfo> backup = m_backups->newest();
    const QString caption = QCoreApplication::applicationName();
    if (!backup) {
        m_services.dialogs.showMessage(caption,
                                       italian() ? u"Non c'è nessun salvataggio da annullare."_s
                                                 : u"There is no save to undo."_s,
                                       MessageIcon::Information);
        return;
    }
    // Asked every time: the save undone may be from long ago, and the lists
    // are read again over any edit not saved.
    const QString when = backup->time.toLocalTime().toString(u"yyyy-MM-dd HH:mm:ss"_s);
    const QString names = editedNames(unsavedEdits(grids()), m_language);
    ChoiceRequest question;
    question.caption = caption;
    question.text = italian()
        ? u"Annullare il salvataggio delle %1? I suoi %2 valori tornano com'erano prima."_s
              .arg(when)
              .arg(backup->values)
        : u"Undo the save of %1? Its %2 values go back to what they were before it."_s.arg(when)
              .arg(backup->values);
    if (!names.isEmpty()) {
        question.text += italian()
            ? u"\r\rQuesti valori modificati qui e non ancora salvati vengono scartati:\r\r"_s
                + names
            : u"\r\rThese values changed here and not saved yet are discarded:\r\r"_s + names;
    }
    question.choices = italian() ? QStringList{u"Annulla il salvataggio"_s, u"Lascia com'è"_s}
                                 : QStringList{u"Undo the save"_s, u"Leave it"_s};
    question.defaultChoice = 1;
    question.escapeChoice = 1;
    if (m_services.dialogs.askChoice(question) != 0)
        return;
    RestoreOutcome outcome;
    try {
        outcome = restoreBackup(m_services.registry, *m_backups, backup->path);
    } catch (const ERegistryStoreError &e) {
        m_toldStoreProblem = QString::fromStdU16String(e.text(Language::English));
        m_services.dialogs.showMessage(
            caption,
            (italian() ? u"Non è stato ripristinato nulla."_s : u"Nothing was restored."_s)
                + u"\r\r"_s + QString::fromStdU16String(e.text(m_language)),
            MessageIcon::Warning);
        return;
    }
    ReadSettings(true);
    QString text = italian()
        ? u"Il salvataggio delle %1 è stato annullato: i valori sono tornati com'erano prima."_s
              .arg(when)
        : u"The save of %1 was undone: its values are back as they were before it."_s.arg(when);
    if (!outcome.refused.isEmpty()) {
        text += (italian() ? u"\r\rQuesti valori non sono stati ripristinati:\r\r"_s
                           : u"\r\rThese values could not be restored:\r\r"_s)
            + outcome.refused.join(u'\r');
    }
    m_services.dialogs.showMessage(
        caption, text, outcome.refused.isEmpty() ? MessageIcon::Information : MessageIcon::Warning);
}
