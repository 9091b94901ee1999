#pragma once

// A save of settings pages, as the window's Save and the command line make
// it: one batch of the store, in which what the writes will replace is read
// and backed up before anything is written.

#include "registrymapping.h"

#include <functional>

class GridModel;
class RegistryAccessor;

struct PageToSave
{
    SettingsPage page = SettingsPage::General;
    GridModel *grid = nullptr;
    StoredSettings *stored = nullptr; // what was last read or saved; updated
    // Only these values (any letter case) are saved when given; else every
    // value the window's Save writes.
    std::optional<QStringList> only;
};

// Makes the writes of one page's plan; writePlannedPage unless the caller
// has its own way.
using PageWriter = std::function<PageSave(const PageToSave &, const PagePlan &)>;

// Saves the pages, each as writePageSettings does, and remembers what was
// stored in their `stored`. A backup that cannot be written stops the save
// before anything is written. Raises ERegistryStoreError when nothing was
// saved; the backup stays even then, as a store that writes through
// another program may have stored part of the save.
QList<std::pair<SettingsPage, PageSave>> savePages(RegistryStore &store, RegistryAccessor &registry,
                                                   const RegistryBackups &backups, Release release,
                                                   const QList<PageToSave> &pages,
                                                   const PageWriter &write = {});
