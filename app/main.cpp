#include "application.h"
#include "filesystem.h"
#include "mainform.h"
#include "programlauncher.h"
#include "qtdialogs.h"
#include "storechoice.h"

#include <QDir>
#include <QLocale>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

using namespace Qt::Literals::StringLiterals;

namespace {

QString usage()
{
    return u"usage: ordevan [option]\n"
           u"Edits the hidden settings of InstantCopy 8 in a window.\n\n"_s
        + storeOptionsUsage()
        + u"  -h, --help             show this help and exit\n"
          u"  --version              show the version and exit\n\n"
          u"Qt's own options (-platform, -style...) are taken as well; ordevanctl edits the "
          u"same settings without a window.\n"_s;
}

bool hasArgument(int argc, char *argv[], std::initializer_list<std::string_view> names)
{
    for (int i = 1; i < argc; ++i) {
        for (std::string_view name : names) {
            if (argv[i] == name)
                return true;
        }
    }
    return false;
}

// Without a display Qt's window system plug-in ends the process with a core
// dump: say instead what is missing.
bool displayAvailable(int argc, char *argv[])
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    const auto set = [](const char *name) {
        const char *value = std::getenv(name);
        return value && *value;
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM")
        || hasArgument(argc, argv, {"-platform", "--platform"});
#else
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    return true;
#endif
}

// What is answered before the toolkit starts, so that it works without a
// display: the help, the version, and the want of a display.
std::optional<int> answerWithoutWindow(int argc, char *argv[])
{
    if (hasArgument(argc, argv, {"-h", "--help"})) {
        std::fputs(qUtf8Printable(usage()), stdout);
        return 0;
    }
    if (hasArgument(argc, argv, {"--version"})) {
        std::puts("ordevan " ORDEVAN_VERSION);
        return 0;
    }
    if (!displayAvailable(argc, argv)) {
        std::fputs("ordevan: no display: set DISPLAY or WAYLAND_DISPLAY, or use ordevanctl\n",
                   stderr);
        return 1;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char *argv[])
{
    if (const auto exitCode = answerWithoutWindow(argc, argv))
        return *exitCode;
    OrdevanApplication app(argc, argv);
    QString error;
    const auto options = parseStoreOptions(app.arguments(), &error);
    if (!options) {
        std::fprintf(stderr, "ordevan: %s\n%s", qUtf8Printable(error), qUtf8Printable(usage()));
        return 2;
    }
    const StoreChoice choice
        = chooseStore(*options, QProcessEnvironment::systemEnvironment(), QDir::homePath());
    std::fprintf(stderr, "ordevan: editing %s (%s)\n",
                 qUtf8Printable(choice.description(Language::English)),
                 qUtf8Printable(choice.reason));

    QtDialogs dialogs;
    app.setDialogs(&dialogs);
    // The interface language is among the preferences kept in that very
    // store: the system's stands in for it.
    const Language language
        = QLocale().language() == QLocale::Italian ? Language::Italian : Language::English;
    if (const auto problem = storeChoiceProblem(choice, language)) {
        std::fprintf(stderr, "ordevan: %s\n",
                     qUtf8Printable(*storeChoiceProblem(choice, Language::English)));
        dialogs.showMessage(QCoreApplication::applicationName(), *problem, MessageIcon::Error);
        return 1;
    }
    auto registry = openStore(choice);
    LocalFileSystem files;
    const auto programs = launcherFor(choice);
    TMainForm window(
        {*registry, files, dialogs, *programs, [] { QCoreApplication::quit(); }, choice});
    window.show();
    return app.exec();
}
