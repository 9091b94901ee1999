#include "dialogs.h"

QList<FileFilter> fileFiltersFromText(const QString &text)
{
    const QStringList parts = text.split(u'|');
    QList<FileFilter> filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters.append({parts[i], parts[i + 1]});
    return filters;
}
