#pragma once

// What a setting's value may be: the rules the window's editors apply, kept
// apart from any widget so that the command line applies the same.

#include "language.h"
#include "settingrow.h"

#include <QStringList>

#include <optional>

// The items a list setting offers, by value name (any letter case); empty
// for a name that is not a list setting.
QStringList listSettingItems(const QString &valueName);
// The largest value the spin editor of a type word steps to (any letter
// case); it steps from 0. nullopt for a type without a spin editor.
std::optional<int> spinMaximum(const QString &typeWord);

// What a setting takes, told in `language`: "one of: a, b", "a whole
// number from 0 to 1280", "True or False", "any text on one line".
QString allowedValues(const SettingRow &setting, Language language);

// A value given for a setting: what is stored for it, or what is allowed
// instead, told in `language`.
struct ValueCheck
{
    std::optional<QString> value;
    QString allowed;
};
// A list value must be one of its items (any letter case), a number of a
// type with a spin editor a whole number within its range, any other
// number a 32-bit number as the value cells take them ("$1F", "0x1F"), a
// yes/no value True or False (any letter case); a text any text on one
// line that does not read as the read-error marker (the window would take
// it for one and never save it).
ValueCheck checkSettingValue(const SettingRow &setting, const QString &given, Language language);

// A number typed for a setting whose type has a range, held to that range
// as its spin buttons hold it; any other text as it is. Nothing out of
// range reaches the store from the window, as none does from the command
// line.
QString heldToRange(const SettingRow &setting, const QString &text);
