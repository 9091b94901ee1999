#pragma once

// Where each page's settings live in the copy program's registry, and how a
// grid's rows are read from and written to them.

#include "registrybackups.h"
#include "registrystore.h"
#include "settingrow.h"
#include "settingspages.h"

#include <QHash>
#include <QStringList>

#include <optional>

class GridModel;
class RegistryAccessor;

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

// A page's values as they were when the page was last read or saved, by
// value name: a save writes only what was edited since, so that it neither
// reverts what another program changed meanwhile nor rewrites (and so
// converts) values nobody touched.
class StoredSettings
{
public:
    struct Setting
    {
        std::optional<RegistryValue> value; // nullopt: there was none
        QString cellText; // what the value cell showed for it
        bool unreadable = false; // the store could not say what there was
    };

    void clear() { m_settings.clear(); }
    void remember(const QString &name, Setting setting);
    const Setting *find(const QString &name) const;
    // Whether the value named was known not to exist: it can be entered,
    // although a missing number shows the read-error marker.
    bool isMissing(const QString &name) const;

private:
    QHash<QString, Setting> m_settings; // by upper-cased name
};

struct PageRead
{
    bool keyMissing = false;
    // The store could not be read at all: every value shows the marker.
    std::optional<ERegistryStoreError> storeError;
};

// Reads every shown setting row of `grid` from its key into the value
// column and remembers what it read in `stored`; a value that cannot be read
// gets the marker of `language`. A key that does not exist changes nothing.
PageRead readPageSettings(GridModel &grid, RegistryAccessor &registry, SettingsPage page,
                          Release release, Language language, StoredSettings &stored);

struct PageSave
{
    bool keyMissing = false; // nothing was written
    QStringList refused; // value names the registry refused
    // Values another program changed since they were read, replaced by the
    // edit made here.
    QStringList overwritten;
    // What to remember as stored once the writes are.
    QList<std::pair<QString, StoredSettings::Setting>> written;
};

// A value a save is to write, and what the store holds in its place now.
struct PlannedWrite
{
    QString name;
    RegistryValue value;
    QString cellText;
    std::optional<StoredValue> before; // nullopt: there is none
    bool beforeKnown = true; // false: the store could not read it
};

struct PagePlan
{
    QString key; // the page's key, relative to HKEY_CURRENT_USER
    bool keyMissing = false; // nothing is to be written
    QList<PlannedWrite> writes;
    QStringList overwritten; // as in PageSave
};

// What a save of the page writes: the value of every shown setting row
// that was edited since it was read (`stored`), or whose value does not
// exist; never a read-error marker. Reads only. Raises ERegistryStoreError
// when the store cannot be read at all.
PagePlan planPageSave(GridModel &grid, RegistryAccessor &registry, SettingsPage page,
                      Release release, const StoredSettings &stored);
// Makes the writes of a plan; in the batch that made the plan, so that
// what it read is still so.
PageSave writePlannedPage(RegistryAccessor &registry, const PagePlan &plan);
// The values as they stand before the plan's writes, for a backup.
QList<BackupValue> valuesReplacedBy(const PagePlan &plan);
// Plans and writes at once.
PageSave writePageSettings(GridModel &grid, RegistryAccessor &registry, SettingsPage page,
                           Release release, const StoredSettings &stored);

// Moves the writes of the page's key that the store refused at the commit
// (a store that writes through another program) from written to refused.
void takeRefused(PageSave &save, const QString &pageKey, const std::vector<RefusedWrite> &refused);

// What the user is told after a save that stored what it could: the values
// refused, the lists whose key does not exist, the values another program
// had changed; empty when everything was stored.
struct SaveReport
{
    QString text;
    bool unsaved = false; // something was not stored
};
SaveReport saveReport(const QList<std::pair<SettingsPage, PageSave>> &saves, Language language,
                      Release release);
