// Starts the real main window as a user would on a second run (a settings
// file in a fresh home, no warning), and quits after its first paint. Timed
// as a whole process next to bench_empty_window.

#include "application.h"
#include "buildfolderfiles.h"
#include "filesystem.h"
#include "mainform.h"
#include "programlauncher.h"
#include "qtdialogs.h"
#include "quitonfirstpaint.h"
#include "registryaccessor.h"
#include "registryfilestore.h"

#include <QTemporaryDir>

int main(int argc, char *argv[])
{
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    OrdevanApplication app(argc, argv);
    QtDialogs dialogs;
    app.setDialogs(&dialogs);
    auto registry = std::make_unique<RegistryFileStore>(RegistryFileStore::defaultPath());
    {
        RegistryAccessor reg(*registry);
        reg.openKey(u"\\Software\\Tarsel\\Ordevan8", true);
        reg.writeString(u"WantWarning", u"False");
    }
    BuildFolderFiles files;
    LocalProgramLauncher programs;
    TMainForm window({*registry, files, dialogs, programs, [] {
                          QCoreApplication::quit();
                      }});
    QuitOnFirstPaint quit;
    window.installEventFilter(&quit);
    window.show();
    return app.exec();
}
