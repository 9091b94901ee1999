// The one main of every test program: it builds the application object (the
// tool's own, so that its error reporting is under test too) and runs the
// GoogleTest cases inside it.

#include "application.h"

#include <QStandardPaths>

#include <gmock/gmock.h>

int main(int argc, char *argv[])
{
    // CTest sets the platform; a test program started by hand runs headless too.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef Q_OS_WIN
    // On Windows the headless platform reads faces from files, from a folder
    // of Qt's own unless told: the system's are where Windows keeps them.
    if (qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR"))
        qputenv("QT_QPA_FONTDIR", qgetenv("WINDIR") + "\\Fonts");
#endif
    // Nothing a test does may reach the user's own configuration folder.
    QStandardPaths::setTestModeEnabled(true);

    OrdevanApplication app(argc, argv);
    testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
