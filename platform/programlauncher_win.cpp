#include "programlauncher.h"

#include "winprocess.h"

LaunchResult LocalProgramLauncher::launch(const QString &stored)
{
    return startProgramDetached(stored.toStdU16String()) ? LaunchResult::Started
                                                         : LaunchResult::NotStarted;
}

std::unique_ptr<ProgramLauncher> launcherFor(const StoreChoice &)
{
    return std::make_unique<LocalProgramLauncher>();
}
