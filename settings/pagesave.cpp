#include "pagesave.h"

#include "registryaccessor.h"

QList<std::pair<SettingsPage, PageSave>> savePages(RegistryStore &store, RegistryAccessor &registry,
                                                   const RegistryBackups &backups, Release release,
                                                   const QList<PageToSave> &pages,
                                                   const PageWriter &write)
{
    QList<std::pair<SettingsPage, PageSave>> saves;
    std::vector<RefusedWrite> refused;
    {
        RegistryBatch batch(store);
        QList<PagePlan> plans;
        QList<BackupValue> replaced;
        for (const PageToSave &page : pages) {
            plans.append(planPageSave(*page.grid, registry, page.page, release, *page.stored));
            if (page.only) {
                plans.last().writes.removeIf([&](const PlannedWrite &planned) {
                    return !page.only->contains(planned.name, Qt::CaseInsensitive);
                });
            }
            replaced.append(valuesReplacedBy(plans.last()));
        }
        if (!replaced.isEmpty())
            backups.write(replaced);
        for (qsizetype i = 0; i < pages.size(); ++i) {
            saves.append(
                {pages[i].page,
                 write ? write(pages[i], plans[i]) : writePlannedPage(registry, plans[i])});
        }
        refused = batch.commit();
    }
    for (qsizetype i = 0; i < pages.size(); ++i) {
        PageSave &save = saves[i].second;
        takeRefused(save, settingsKeyPath(pages[i].page, release), refused);
        for (const auto &[name, setting] : save.written)
            pages[i].stored->remember(name, setting);
    }
    return saves;
}
