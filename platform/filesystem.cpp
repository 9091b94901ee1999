#include "filesystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifndef Q_OS_WIN
#include <dirent.h>
#endif

using namespace Qt::Literals::StringLiterals;

namespace {

// The entry of `folder` whose name is `name` but for letter case, the first
// in name order when there are several; `name` itself when there is none.
// Read straight from the directory where names differ in case: a folder such
// as /usr/bin holds thousands of them, which QDir would sort and wrap first.
QString entryNamed(const QString &folder, const QString &name)
{
    QString found;
    const auto consider = [&](const QString &entry) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0 && (found.isEmpty() || entry < found))
            found = entry;
    };
#ifdef Q_OS_WIN
    for (const QString &entry : QDir(folder).entryList(QDir::AllEntries | QDir::Hidden
                                                       | QDir::System | QDir::NoDotAndDotDot))
        consider(entry);
#else
    if (DIR *dir = opendir(QFile::encodeName(folder).constData())) {
        while (const dirent *entry = readdir(dir))
            consider(QFile::decodeName(entry->d_name));
        closedir(dir);
    }
#endif
    return found.isEmpty() ? name : found;
}

} // namespace

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
        const bool asWritten = part == u"."_s || part == u".."_s || QFileInfo::exists(exact);
        found += u'/' + (asWritten ? part : entryNamed(found, part));
    }
    return found;
}
