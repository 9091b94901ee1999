#include "programlauncher.h"

#include "storechoice.h"
#include "wineprogramlauncher.h"

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

LaunchResult LocalProgramLauncher::launch(const QString &stored)
{
    if (stored.isEmpty())
        return LaunchResult::NotStarted;
    // The path is the program itself, never a command line: a folder name
    // with blanks cannot make another program start.
    if (isWindowsProgram(stored)) {
        const QString wine = QStandardPaths::findExecutable(u"wine"_s);
        if (wine.isEmpty())
            return LaunchResult::NoWine;
        return QProcess::startDetached(wine, {stored}) ? LaunchResult::Started
                                                       : LaunchResult::NotStarted;
    }
    return QProcess::startDetached(stored, {}) ? LaunchResult::Started : LaunchResult::NotStarted;
}

std::unique_ptr<ProgramLauncher> launcherFor(const StoreChoice &choice)
{
    if (choice.kind == StoreChoice::Kind::WinePrefix)
        return std::make_unique<WineProgramLauncher>(choice.path);
    return std::make_unique<LocalProgramLauncher>();
}
