#pragma once

// What the stand-in copy program does with its settings: it creates those the
// setting lists name, as the real program creates its own on first start.

#include "registrymapping.h"

#include <QDateTime>
#include <QStringList>

class RegistryStore;

struct StandInSetting
{
    SettingsPage page;
    Release release;
    QString name;
    SettingKind kind;
    QString text; // YesNo and Text
    qint32 integer{}; // Integer
};

// Every setting of the lists in `listFolder` (the English files), for each
// release it exists in, with its list default as a value of its kind.
QList<StandInSetting> standInSettings(const QString &listFolder);

// Whether the store holds any of the copy program's settings yet.
bool hasCopyProgramSettings(RegistryStore &store);
// Creates the missing keys and values; existing ones are left alone.
// Returns how many values it created.
int seedSettings(RegistryStore &store, const QList<StandInSetting> &settings);
// Where the stand-in keeps the time it was last started.
inline constexpr std::u16string_view StandInKey = u"\\Software\\VOB\\CD Wizard";
inline constexpr std::u16string_view StartedValue = u"StandInStarted";
void recordStart(RegistryStore &store, const QDateTime &when);
// "key \ name = value" for each setting, as stored now.
QStringList describeSettings(RegistryStore &store, const QList<StandInSetting> &settings);
