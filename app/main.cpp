#include "application.h"
#include "filesystem.h"
#include "mainform.h"
#include "programlauncher.h"
#include "qtdialogs.h"
#include "storechoice.h"

#include <QDir>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char *argv[])
{
    OrdevanApplication app(argc, argv);
    QString error;
    const auto options = parseStoreOptions(app.arguments(), &error);
    if (!options) {
        std::fprintf(stderr, "ordevan: %s\nusage: ordevan [option]\n%s", qUtf8Printable(error),
                     qUtf8Printable(storeOptionsUsage()));
        return 2;
    }
    const StoreChoice choice
        = chooseStore(*options, QProcessEnvironment::systemEnvironment(), QDir::homePath());
    std::fprintf(stderr, "ordevan: editing %s (%s)\n",
                 qUtf8Printable(choice.description(Language::English)),
                 qUtf8Printable(choice.reason));

    QtDialogs dialogs;
    app.setDialogs(&dialogs);
    auto registry = openStore(choice);
    LocalFileSystem files;
    const auto programs = launcherFor(choice);
    TMainForm window(
        {*registry, files, dialogs, *programs, [] { QCoreApplication::quit(); }, choice});
    window.show();
    return app.exec();
}
