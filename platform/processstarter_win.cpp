#include "processstarter.h"

#include "winprocess.h"

bool LocalProcessStarter::startDetached(const QString &path)
{
    return startProgramDetached(path.toStdU16String());
}
