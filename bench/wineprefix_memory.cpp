// What a window does with a large user.reg, in a process of its own so that
// its peak memory is its own: it reads its preferences and the four pages,
// then saves one page. wineprefix_memory.sh runs it beside the command
// line's get and set; "make" writes the prefix they read.
//
//   wineprefix_memory make DIR MEGABYTES
//   wineprefix_memory window DIR

#include "gridmodel.h"
#include "largeprefix.h"
#include "registryaccessor.h"
#include "registrymapping.h"
#include "settingspages.h"
#include "valuechanges.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <array>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

// The most memory the process has held, in kB, as the kernel counts it.
qint64 peakKilobytes()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

int window(const QString &prefix)
{
    QElapsedTimer clock;
    clock.start();
    WinePrefixStore store(prefix, FileCalls::system(), nullptr, [] { return false; });
    RegistryAccessor registry(store);
    registry.openKey(u"\\Software\\Tarsel\\Ordevan8", true);
    registry.readString(u"Language");
    std::array<GridModel, 4> grids;
    std::array<StoredSettings, 4> stored;
    for (SettingsPage page : AllSettingsPages) {
        const auto i = static_cast<std::size_t>(page);
        loadSettingsPage(
            grids[i],
            settingListPath(QString::fromUtf8(ORDEVAN_BUILD_DIR) + u'/', page, Language::English)
                .replace(u'\\', u'/'),
            Language::English, Release::R803);
        readPageSettings(grids[i], registry, page, Release::R803, Language::English, stored[i]);
    }
    const qint64 read = clock.restart();

    GridModel &general = grids[static_cast<std::size_t>(SettingsPage::General)];
    const int row = settingRowOf(general, u"MainWindowLeft"_s);
    general.SetCells(1, row, QString::number(general.Cells(1, row).toInt() + 1));
    RegistryBatch batch(store);
    const PageSave save
        = writePageSettings(general, registry, SettingsPage::General, Release::R803,
                            stored[static_cast<std::size_t>(SettingsPage::General)]);
    batch.commit();
    const qint64 saved = clock.elapsed();
    if (save.written.empty()) {
        std::fprintf(stderr, "nothing was saved\n");
        return 1;
    }
    std::printf("four pages read in %.2f s, one saved in %.2f s, peak %.1f MB\n", read / 1000.0,
                saved / 1000.0, peakKilobytes() / 1024.0);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == u"make"_s)
        return makeLargePrefix(args[2], args[3].toLongLong() * 1'000'000) ? 0 : 1;
    if (args.size() == 3 && args[1] == u"window"_s)
        return window(args[2]);
    std::fprintf(stderr, "usage: wineprefix_memory make DIR MEGABYTES | window DIR\n");
    return 2;
}
