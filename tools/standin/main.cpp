// A stand-in for the copy program, for demonstrations and end-to-end tests
// on machines without it. It creates the settings the setting lists name
// where they are missing, notes when it was started, and shows its settings
// (printed when there is no display).
//
//   ICopy.exe             seed, note the start, show the settings
//   ICopy.exe --seed      create missing settings and exit
//   ICopy.exe --seed-if-new   the same, only when the store has none yet
// with --wine-prefix DIR or --settings-file FILE, in that store; else in the
// store the tool itself would edit.

#include "standin.h"
#include "storechoice.h"

#include <QApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

QString usage()
{
    return u"usage: ICopy.exe [--seed | --seed-if-new | --help] [store option]\n"
           u"  (no option)           create missing settings, note the start, show them\n"
           u"  --seed                create the settings the lists name that are missing\n"
           u"  --seed-if-new         the same, only when the store has none of them yet\n"_s
        + storeOptionsUsage();
}

bool hasDisplay()
{
#ifdef Q_OS_WIN
    return true;
#else
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.startsWith("offscreen") || platform.startsWith("minimal"))
        return false;
    return !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#endif
}

int run(const QString &mode, const StoreChoice &choice, bool display)
{
    auto store = openStore(choice);
    const QList<StandInSetting> settings = standInSettings(u":/lists"_s);

    if (mode == u"--seed-if-new"_s && hasCopyProgramSettings(*store))
        return 0;
    const int created = seedSettings(*store, settings);
    if (mode.startsWith(u"--seed"_s)) {
        std::printf("InstantCopy 8 stand-in: %d settings created\n", created);
        return 0;
    }
    recordStart(*store, QDateTime::currentDateTime());

    const QStringList lines = describeSettings(*store, settings);
    if (!display) {
        for (const QString &line : lines)
            std::printf("%s\n", qUtf8Printable(line));
        return 0;
    }
    QWidget window;
    window.setWindowTitle(u"InstantCopy 8 (stand-in)"_s);
    auto *text = new QPlainTextEdit(lines.join(u'\n'), &window);
    text->setReadOnly(true);
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(text);
    window.resize(640, 420);
    window.show();
    return QApplication::exec();
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    // An option it does not know must not be taken for a normal run, which
    // would write to the user's store.
    QString error;
    QStringList rest;
    const auto options = parseStoreOptions(arguments, &error, &rest);
    if (rest.contains(u"--help"_s) || rest.contains(u"-h"_s)) {
        std::fputs(qUtf8Printable(usage()), stdout);
        return 0;
    }
    const QString mode = rest.value(0);
    if (!options || rest.size() > 1
        || !(mode.isEmpty() || mode == u"--seed"_s || mode == u"--seed-if-new"_s)) {
        std::fputs(qUtf8Printable(usage()), stderr);
        return 2;
    }
    const bool display = hasDisplay();
    std::unique_ptr<QCoreApplication> app = display
        ? std::make_unique<QApplication>(argc, argv)
        : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(u"ICopy"_s);
    try {
        return run(
            mode, chooseStore(*options, QProcessEnvironment::systemEnvironment(), QDir::homePath()),
            display);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "InstantCopy 8 stand-in: %s\n", e.what());
        return 1;
    }
}
