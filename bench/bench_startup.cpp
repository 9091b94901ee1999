// Starts the real main window as a user would on a second run, and quits
// after its first paint. Timed as a whole process next to bench_text_window.
// The home is kept in the build folder: the first run (a warm-up run) leaves
// the tool's preferences there as any first start does, so that the timed
// runs find them and, like a user's later starts, write nothing.

#include "application.h"
#include "buildfolderfiles.h"
#include "filesystem.h"
#include "mainform.h"
#include "programlauncher.h"
#include "qtdialogs.h"
#include "quitonfirstpaint.h"
#include "registryaccessor.h"
#include "registryfilestore.h"

int main(int argc, char *argv[])
{
    qputenv("XDG_CONFIG_HOME", ORDEVAN_BUILD_DIR "/bench/startup-home");
    OrdevanApplication app(argc, argv);
    QtDialogs dialogs;
    app.setDialogs(&dialogs);
    auto registry = std::make_unique<RegistryFileStore>(RegistryFileStore::defaultPath());
    {
        // No warning box: it would wait for a click.
        RegistryAccessor reg(*registry);
        reg.openKey(u"\\Software\\Tarsel\\Ordevan8", true);
        if (reg.readString(u"WantWarning") != u"False")
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
