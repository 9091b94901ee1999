#include "processstarter.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

using namespace Qt::Literals::StringLiterals;

namespace {

bool isWindowsProgram(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(2) == "MZ";
}

} // namespace

bool LocalProcessStarter::startDetached(const QString &path)
{
    if (path.isEmpty())
        return false;
    // The path is the program itself, never a command line: a folder name
    // with blanks cannot make another program start.
    if (isWindowsProgram(path)) {
        const QString wine = QStandardPaths::findExecutable(u"wine"_s);
        if (!wine.isEmpty())
            return QProcess::startDetached(wine, {path});
    }
    return QProcess::startDetached(path, {});
}
