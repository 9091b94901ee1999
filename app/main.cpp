#include "application.h"
#include "filesystem.h"
#include "mainform.h"
#include "platformregistry.h"
#include "qtdialogs.h"

int main(int argc, char *argv[])
{
    OrdevanApplication app(argc, argv);
    QtDialogs dialogs;
    app.setDialogs(&dialogs);

    TMainForm *form = nullptr;
    auto registry = createPlatformRegistry(dialogs, [&form] { return form && form->italian(); });
    LocalFileSystem files;
    TMainForm window({*registry, files, dialogs});
    form = &window;
    window.show();
    return app.exec();
}
