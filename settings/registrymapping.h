#pragma once

// Where each page's settings live in the copy program's registry, and how a
// grid's rows are read from and written to them.

#include "settingspages.h"

#include <QStringList>

#include <optional>

class GridModel;
class RegistryAccessor;

// The registry kind a type word stands for.
enum class SettingKind { Integer, YesNo, Text, None };
SettingKind settingKind(const QString &typeWord);

// The key of a page for a release, as the tool spells it ("\Software\...").
QString settingsKeyPath(SettingsPage page, Release release);

// Put into the value cell of a row whose value could not be read.
QString readErrorMarker(Language language);
// Whether a value cell holds a read-error marker of either language.
bool isReadErrorText(const QString &value);

// The value of an integer cell as saved: decimal, or hexadecimal after "$",
// "x" or "0x", leading blanks allowed; anything else, the empty text
// included, is nullopt (saved as 0).
std::optional<qint32> integerCellValue(QStringView text);

// Reads every shown setting row of `grid` from its key into the value
// column; a value that cannot be read gets the marker of `language`. A key
// that does not exist changes nothing.
void readPageSettings(GridModel &grid, RegistryAccessor &registry, SettingsPage page,
                      Release release, Language language);
// Writes every shown setting row's value, but never a read-error marker.
// Writes the registry refuses are skipped, and their value names returned;
// a missing key writes nothing.
QStringList writePageSettings(GridModel &grid, RegistryAccessor &registry, SettingsPage page,
                              Release release);
