#include "winedrives.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

bool isDriveName(const QString &name)
{
    return name.size() == 2 && name[0].isLetter() && name[0].unicode() < 0x80 && name[1] == u':';
}

// The entry of `folder` named `name` without regard to case: the one written
// so when it exists, else the first that matches, else `name` itself.
QString entryIn(const QString &folder, const QString &name)
{
    if (QFileInfo::exists(folder + u'/' + name))
        return name;
    const QStringList entries = QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return name;
}

// A name a Windows program could be started from.
bool writableOnWindows(QStringView name)
{
    return std::none_of(name.begin(), name.end(),
                        [](QChar c) { return c.unicode() < 0x20 || u"\\\"*:<>?|"_s.contains(c); });
}

QString joined(const QString &folder, const QString &name)
{
    return folder.endsWith(u'/') ? QString(folder + name) : QString(folder + u'/' + name);
}

} // namespace

WineDrives WineDrives::of(const QString &prefix)
{
    WineDrives drives;
    const QDir devices(prefix + u"/dosdevices"_s);
    // Sorted by name: of "C:" and "c:" the first is the drive.
    const QStringList names = devices.entryList(
        QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &name : names) {
        if (!isDriveName(name))
            continue; // "c::" (the raw device), com1, lpt1, ...
        const QChar letter = name[0].toUpper();
        const bool known = std::any_of(drives.m_drives.begin(), drives.m_drives.end(),
                                       [&](const Drive &drive) { return drive.letter == letter; });
        if (known)
            continue;
        const QFileInfo link(devices.filePath(name));
        QString root = link.canonicalFilePath();
        if (root.isEmpty())
            root = link.isSymLink() ? link.symLinkTarget() : QString();
        else if (!QFileInfo(root).isDir())
            continue;
        if (!root.isEmpty())
            drives.m_drives.push_back({letter, root});
    }
    std::sort(drives.m_drives.begin(), drives.m_drives.end(),
              [](const Drive &a, const Drive &b) { return a.letter < b.letter; });
    return drives;
}

std::optional<QString> WineDrives::toLocal(const QString &windowsPath) const
{
    QString path = windowsPath;
    // The long-path forms name the same file.
    for (const QString &prefix : {u"\\\\?\\"_s, u"\\??\\"_s}) {
        if (path.startsWith(prefix))
            path.remove(0, prefix.size());
    }
    if (path.size() < 3 || !isDriveName(path.left(2)) || (path[2] != u'\\' && path[2] != u'/')
        || path.contains(QChar(0)))
        return std::nullopt;
    const QChar letter = path[0].toUpper();
    const auto drive = std::find_if(m_drives.begin(), m_drives.end(),
                                    [&](const Drive &d) { return d.letter == letter; });
    if (drive == m_drives.end())
        return std::nullopt;

    QStringList names;
    for (QString name : path.mid(3).split(QRegularExpression(u"[\\\\/]"_s))) {
        // Windows drops the dots and blanks that end a name.
        if (name != u"."_s && name != u".."_s) {
            while (name.endsWith(u'.') || name.endsWith(u' '))
                name.chop(1);
        }
        if (name.isEmpty() || name == u"."_s)
            continue;
        if (name == u".."_s) {
            if (!names.isEmpty())
                names.removeLast();
            continue;
        }
        names.append(name);
    }
    QString local = drive->root;
    for (const QString &name : names)
        local = joined(local, entryIn(local, name));
    return local;
}

std::optional<QString> WineDrives::toWindows(const QString &localPath) const
{
    if (!localPath.startsWith(u'/'))
        return std::nullopt;
    const QString clean = QDir::cleanPath(localPath);
    const int cut = clean.lastIndexOf(u'/');
    const QString folder = cut == 0 ? u"/"_s : clean.left(cut);
    const QString name = clean.mid(cut + 1);
    QString resolved = QFileInfo(folder).canonicalFilePath();
    if (resolved.isEmpty())
        resolved = folder;
    const QString full = name.isEmpty() ? resolved : joined(resolved, name);

    const Drive *best = nullptr;
    for (const Drive &drive : m_drives) {
        const bool holds
            = drive.root == u"/"_s || full == drive.root || full.startsWith(drive.root + u'/');
        if (holds && (!best || drive.root.size() > best->root.size()))
            best = &drive;
    }
    if (!best)
        return std::nullopt;

    const QStringList names = full.mid(best->root == u"/"_s ? 1 : best->root.size() + 1)
                                  .split(u'/', Qt::SkipEmptyParts);
    if (!std::all_of(names.begin(), names.end(),
                     [](const QString &n) { return writableOnWindows(n); }))
        return std::nullopt;
    return QString(best->letter) + u":\\"_s + names.join(u'\\');
}
