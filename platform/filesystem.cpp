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

QString LocalFileSystem::executablePath() const
{
    return toToolPath(QCoreApplication::applicationFilePath());
}

QString LocalFileSystem::executableFolder() const
{
    return QCoreApplication::applicationDirPath();
}

bool LocalFileSystem::isFile(const QString &path) const
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

bool LocalFileSystem::isFolder(const QString &path) const
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

QString LocalFileSystem::localPathIn(const QString &folder, const QString &relative) const
{
    QString found = folder;
    for (const QString &part : relative.split(u'\\', Qt::SkipEmptyParts)) {
        const QString exact = found + u'/' + part;
        if (part == u"."_s || part == u".."_s || QFileInfo::exists(exact)) {
            found = exact;
            continue;
        }
        const QStringList names = QDir(found).entryList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        const auto match = std::find_if(names.begin(), names.end(), [&](const QString &name) {
            return name.compare(part, Qt::CaseInsensitive) == 0;
        });
        found += u'/' + (match == names.end() ? part : *match);
    }
    return found;
}
