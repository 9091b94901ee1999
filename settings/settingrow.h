#pragma once

// The rows of a settings page: what each column holds, the value a row
// names, and a row as plain values for code that needs no grid.

#include <QString>

#include <optional>

class GridModel;

// The columns of a settings page. A plain enumeration in a namespace, so
// that it reads `SettingColumn::Value` and is the int the grid takes.
namespace SettingColumn {
enum : int {
    Name, // the value name, in bold ("<b>MaxCdSize</b>"), or a heading
    Value, // the value as shown and edited
    Type, // the type word: VALUE, MBYTE, LIST, STRING, Bool, ...
    Description, // with markup
    Release, // "8v0" or "8v3" for one release, empty for both
    Count = 6 // the sixth column is an empty margin
};
}

// The registry kind a type word stands for.
enum class SettingKind { Integer, YesNo, Text, None };
SettingKind settingKind(const QString &typeWord);

// The registry value a row names: its name cell without the three leading
// and four trailing characters that wrap it; nullopt for a heading row.
std::optional<QString> settingValueName(const GridModel &grid, int row);

struct SettingRow
{
    QString name; // the registry value name; empty for a heading row
    QString value;
    QString type;
    QString description;
    QString release;

    SettingKind kind() const { return settingKind(type); }
    // A row that stands for a value of the store.
    bool isSetting() const { return !name.isEmpty() && kind() != SettingKind::None; }
};

// Row `row` of a page's grid.
SettingRow settingRow(const GridModel &grid, int row);

// What every page's grid starts from, before its list is loaded: the
// columns and their widths, one header row, multi-line cells.
void setUpSettingsGrid(GridModel &grid);
