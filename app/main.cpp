#include "application.h"
#include "filesystem.h"
#include "mainform.h"
#include "platformregistry.h"
#include "processstarter.h"
#include "qtdialogs.h"

int main(int argc, char *argv[])
{
    OrdevanApplication app(argc, argv);
    QtDialogs dialogs;
    app.setDialogs(&dialogs);

    auto registry = createPlatformRegistry();
    LocalFileSystem files;
    LocalProcessStarter processes;
    TMainForm window({*registry, files, dialogs, processes, [] {
                          QCoreApplication::quit();
                      }});
    window.show();
    return app.exec();
}
