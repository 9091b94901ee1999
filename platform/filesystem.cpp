#include "filesystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

QString toToolPath(const QString &localPath)
{
    QString path = QDir::toNativeSeparators(localPath);
    if (QDir::separator() == u'/')
        path.replace(u'/', u'\\');
    return path;
}

QString fromToolPath(const QString &toolPath)
{
    QString path = toolPath;
    path.replace(u'\\', u'/');
    return path;
}

QString LocalFileSystem::executablePath() const
{
    return toToolPath(QCoreApplication::applicationFilePath());
}

bool LocalFileSystem::isFile(const QString &path) const
{
    return !path.isEmpty() && QFileInfo(localPath(path)).isFile();
}

QString LocalFileSystem::localPath(const QString &path) const
{
    const QString wanted = fromToolPath(path);
    if (wanted.isEmpty() || QFileInfo::exists(wanted))
        return wanted;

    const QStringList parts = wanted.split(u'/');
    QString found = parts.first(); // "" for an absolute path, "C:" or a first name otherwise
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QString &part = parts[i];
        const QString exact = found + u'/' + part;
        if (part.isEmpty() || part == u"."_s || part == u".."_s || QFileInfo::exists(exact)) {
            found = exact;
            continue;
        }
        const QDir folder(found.isEmpty() ? u"/"_s : found);
        const QStringList names = folder.entryList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        const auto match = std::find_if(names.begin(), names.end(), [&](const QString &name) {
            return name.compare(part, Qt::CaseInsensitive) == 0;
        });
        found += u'/' + (match == names.end() ? part : *match);
    }
    return found;
}
