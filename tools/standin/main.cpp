// A stand-in for the copy program, for demonstrations and end-to-end tests
// on machines without it. It creates the settings the setting lists name
// where they are missing, notes when it was started, and shows its settings
// (printed when there is no display).
//
//   ICopy.exe             seed, note the start, show the settings
//   ICopy.exe --seed      create missing settings and exit
//   ICopy.exe --seed-if-new   the same, only when the store has none yet

#include "dialogs.h"
#include "platformregistry.h"
#include "standin.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

// Problems of the store go to standard error: the stand-in asks nothing.
class ConsoleDialogs : public Dialogs
{
public:
    void showMessage(const QString &, const QString &text, MessageIcon) override
    {
        std::fprintf(stderr, "%s\n", qUtf8Printable(text));
    }
    std::optional<QString> promptText(const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
    QString chooseOpenFile(const OpenFileRequest &) override { return {}; }
};

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

int run(int argc, char *argv[], bool display)
{
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    ConsoleDialogs console;
    auto store = createPlatformRegistry(console, [] { return false; });
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
    const bool display = hasDisplay();
    std::unique_ptr<QCoreApplication> app = display
        ? std::make_unique<QApplication>(argc, argv)
        : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(u"ICopy"_s);
    try {
        return run(argc, argv, display);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "InstantCopy 8 stand-in: %s\n", e.what());
        return 1;
    }
}
