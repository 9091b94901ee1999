// A stand-in for the copy program, for demonstrations and end-to-end tests
// on machines without it. It creates the settings the setting lists name
// where they are missing, notes when it was started, and shows its settings
// (printed when there is no display).
//
//   ICopy.exe             seed, note the start, show the settings
//   ICopy.exe --seed      create missing settings and exit
//   ICopy.exe --seed-if-new   the same, only when the store has none yet

#include "platformregistry.h"
#include "standin.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

const char Usage[] = "usage: ICopy.exe [--seed | --seed-if-new | --help]\n"
                     "  (no option)    create missing settings, note the start, show the settings\n"
                     "  --seed         create the settings the lists name that are missing\n"
                     "  --seed-if-new  the same, only when the store has none of them yet\n";

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

int run(const QString &mode, bool display)
{
    auto store = createPlatformRegistry();
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
    // An option it does not know must not be taken for a normal run, which
    // would write to the user's store.
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == u"--help"_s || mode == u"-h"_s) {
        std::fputs(Usage, stdout);
        return 0;
    }
    if (argc > 2 || !(mode.isEmpty() || mode == u"--seed"_s || mode == u"--seed-if-new"_s)) {
        std::fputs(Usage, stderr);
        return 2;
    }
    const bool display = hasDisplay();
    std::unique_ptr<QCoreApplication> app = display
        ? std::make_unique<QApplication>(argc, argv)
        : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(u"ICopy"_s);
    try {
        return run(mode, display);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "InstantCopy 8 stand-in: %s\n", e.what());
        return 1;
    }
}
