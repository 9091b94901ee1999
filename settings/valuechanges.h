#pragma once

// What the user changed on the settings pages: which values differ from
// their list's default, which were edited since they were last read or
// saved, and the steps that take edits back.

#include "registrymapping.h"
#include "settingspages.h"

#include <QHash>
#include <QList>
#include <QString>

#include <optional>

class GridModel;

// The values a page's list gives its settings, by value name: what Restore
// Default brings back. Taken from the grid right after its list loaded.
class PageDefaults
{
public:
    void clear() { m_values.clear(); }
    void takeFrom(const GridModel &grid);
    const QString *find(const QString &name) const;

private:
    QHash<QString, QString> m_values; // by upper-cased name
};

// Whether two value cells of a row of `kind` hold the same value: numbers
// are compared as the numbers they save as ("$10" is 16).
bool sameSettingValue(SettingKind kind, const QString &a, const QString &b);

struct ValueMarks
{
    bool notDefault = false; // the value is not its list's default
    bool edited = false; // edited here since it was last read or saved
};
// The marks of a row's value; none for headings and for values that could
// not be read.
ValueMarks valueMarks(const GridModel &grid, int row, const PageDefaults &defaults,
                      const StoredSettings &stored);
// Whether any setting row of the grid holds an edit not saved yet.
bool hasUnsavedEdits(const GridModel &grid, const StoredSettings &stored);

// The setting row of `name` (any letter case), or -1.
int settingRowOf(const GridModel &grid, const QString &name);
// Puts a value into a setting row as an edit does: its text, and for a
// yes/no row its check box.
void setSettingValue(GridModel &grid, int row, const QString &text);

// The values of a grid's setting rows, by name as the list spells it.
using PageValues = QList<std::pair<QString, QString>>;
PageValues pageValues(const GridModel &grid);
// The values of the rows that hold an unsaved edit.
PageValues editedValues(const GridModel &grid, const StoredSettings &stored);
// Puts the values back into the rows that still have them; read-error
// markers are skipped.
void restoreValues(GridModel &grid, const PageValues &values);

// One change of one value.
struct ValueEdit
{
    SettingsPage page = SettingsPage::General;
    QString name;
    QString before;
    QString after;

    friend bool operator==(const ValueEdit &, const ValueEdit &) = default;
};

// The edits of one action (a typed value, a check box, Restore Default of
// all lists), taken back together, latest first. Edits stop being
// undoable when their page is read or saved.
class EditHistory
{
public:
    // Changes that change nothing are left out; an action that changed
    // nothing is no step.
    void record(QList<ValueEdit> step);
    bool isEmpty() const { return m_steps.isEmpty(); }
    std::optional<QList<ValueEdit>> takeLast();
    void forget(SettingsPage page);
    void clear() { m_steps.clear(); }

private:
    QList<QList<ValueEdit>> m_steps;
};

// The edits that turned `before` into what the grid holds now.
QList<ValueEdit> editsSince(SettingsPage page, const PageValues &before, const GridModel &grid);
