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
    // Nothing a test does may reach the user's own configuration folder.
    QStandardPaths::setTestModeEnabled(true);

    OrdevanApplication app(argc, argv);
    testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
