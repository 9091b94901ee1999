#include "wineprogramlauncher.h"

#include "winedrives.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

using namespace Qt::Literals::StringLiterals;

WineProgramLauncher::WineProgramLauncher(QString prefix)
    : m_prefix(std::move(prefix))
{ }

// The drives are read at each use: winecfg may change them while the tool runs.
QString WineProgramLauncher::localFile(const QString &stored) const
{
    return WineDrives::of(m_prefix).toLocal(stored).value_or(QString());
}

std::optional<QString> WineProgramLauncher::storedPath(const QString &localFile) const
{
    return WineDrives::of(m_prefix).toWindows(localFile);
}

QString WineProgramLauncher::browseFolder() const
{
    return localFile(u"C:\\Program Files"_s);
}

LaunchResult WineProgramLauncher::launch(const QString &stored)
{
    const QString file = localFile(stored);
    if (file.isEmpty() || !QFileInfo(file).isFile())
        return LaunchResult::NotStarted;
    const QString wine = QStandardPaths::findExecutable(u"wine"_s);
    if (wine.isEmpty())
        return LaunchResult::NoWine;
    // wine is given the file itself as its one argument: no shell, and an
    // absolute path that no option or command line can be read into.
    QProcess process;
    process.setProgram(wine);
    process.setArguments({file});
    process.setWorkingDirectory(QFileInfo(file).absolutePath());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"WINEPREFIX"_s, m_prefix);
    process.setProcessEnvironment(environment);
    return process.startDetached() ? LaunchResult::Started : LaunchResult::NotStarted;
}
