// The Wine prefix store on a 10 MB user.reg (the copy program's settings
// among many other programs' keys): reading the four pages, cold (the file
// read and parsed) and warm, and saving one page. Next to it, what Wine's
// own registry editor takes to export the copy program's keys, when
// ORDEVAN_BENCH_WINEPREFIX names a prefix whose server runs.

#include "gridmodel.h"
#include "largeprefix.h"
#include "regedit.h"
#include "registryaccessor.h"
#include "registrymapping.h"
#include "settingspages.h"
#include "valuechanges.h"
#include "winereg.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::Literals::StringLiterals;

namespace {

struct LargePrefix
{
    LargePrefix() { makeLargePrefix(dir.path(), 10'000'000); }
    QTemporaryDir dir;
};

LargePrefix &largePrefix()
{
    static LargePrefix prefix;
    return prefix;
}

struct Pages
{
    Pages()
    {
        for (SettingsPage page : AllSettingsPages) {
            loadSettingsPage(grids[static_cast<std::size_t>(page)],
                             settingListPath(QString::fromUtf8(ORDEVAN_BUILD_DIR) + u'/', page,
                                             Language::English)
                                 .replace(u'\\', u'/'),
                             Language::English, Release::R803);
        }
    }
    std::array<GridModel, 4> grids;
    std::array<StoredSettings, 4> stored;
};

void readPages(RegistryStore &store, Pages &pages)
{
    RegistryAccessor registry(store);
    for (SettingsPage page : AllSettingsPages) {
        const auto i = static_cast<std::size_t>(page);
        readPageSettings(pages.grids[i], registry, page, Release::R803, Language::English,
                         pages.stored[i]);
    }
}

// What a cold read costs mostly: reading the file whole and checking it.
void BM_ParseUserReg(benchmark::State &state)
{
    QFile file(largePrefix().dir.path() + u"/user.reg"_s);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    for (auto _ : state)
        benchmark::DoNotOptimize(WineRegFile::parse(bytes));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void BM_ReadFourPagesCold(benchmark::State &state)
{
    Pages pages;
    for (auto _ : state) {
        WinePrefixStore store(largePrefix().dir.path(), FileCalls::system(), nullptr,
                              [] { return false; });
        readPages(store, pages);
    }
    if (pages.grids[1].Cells(1, 1).isEmpty())
        state.SkipWithError("nothing was read");
}

void BM_ReadFourPagesWarm(benchmark::State &state)
{
    Pages pages;
    WinePrefixStore store(largePrefix().dir.path(), FileCalls::system(), nullptr,
                          [] { return false; });
    readPages(store, pages);
    for (auto _ : state)
        readPages(store, pages);
}

void BM_SaveOnePage(benchmark::State &state)
{
    Pages pages;
    WinePrefixStore store(largePrefix().dir.path(), FileCalls::system(), nullptr,
                          [] { return false; });
    readPages(store, pages);
    RegistryAccessor registry(store);
    GridModel &copy = pages.grids[static_cast<std::size_t>(SettingsPage::Copy)];
    StoredSettings &stored = pages.stored[static_cast<std::size_t>(SettingsPage::Copy)];
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ++round;
        for (int row = 1; row < copy.RowCount(); ++row) {
            if (settingKind(copy.Cells(2, row)) == SettingKind::Integer)
                copy.SetCells(1, row, QString::number(round));
        }
        state.ResumeTiming();
        RegistryBatch batch(store);
        const PageSave save
            = writePageSettings(copy, registry, SettingsPage::Copy, Release::R803, stored);
        batch.commit();
        for (const auto &[name, setting] : save.written)
            stored.remember(name, setting);
    }
}

void BM_WineEditorExportsTheCopyProgramsKeys(benchmark::State &state)
{
    const QString prefix = qEnvironmentVariable("ORDEVAN_BENCH_WINEPREFIX");
    if (prefix.isEmpty()) {
        state.SkipWithError("set ORDEVAN_BENCH_WINEPREFIX to a prefix whose server runs");
        return;
    }
    WineRegedit regedit(prefix);
    for (auto _ : state) {
        const Regedit::Result result = regedit.exportKey(u"HKEY_CURRENT_USER\\Software\\VOB"_s);
        if (result.outcome == Regedit::Outcome::Failed)
            state.SkipWithError(qUtf8Printable(result.error));
    }
}

// Wine's registry editor in a prefix, each run counted.
class CountedRegedit : public Regedit
{
public:
    CountedRegedit(const QString &prefix, int &runs)
        : m_real(prefix)
        , m_runs(runs)
    { }
    Result importFile(const QByteArray &file) override { return ++m_runs, m_real.importFile(file); }
    Result exportKey(const QString &key) override { return ++m_runs, m_real.exportKey(key); }
    QList<Result> exportKeys(const QStringList &keys) override
    {
        m_runs += int(keys.size());
        return m_real.exportKeys(keys);
    }

private:
    WineRegedit m_real;
    int &m_runs;
};

// A window's start with the prefix's server running: its preferences and the
// four pages, against one export above (the goal: at most 0.5 s more than a
// start without a server), and then one page's save (the goal: two runs).
void BM_StartAndSaveThroughWine(benchmark::State &state)
{
    const QString prefix = qEnvironmentVariable("ORDEVAN_BENCH_WINEPREFIX");
    if (prefix.isEmpty()) {
        state.SkipWithError("set ORDEVAN_BENCH_WINEPREFIX to a prefix whose server runs");
        return;
    }
    int startRuns = 0, saveRuns = 0, round = 0;
    const bool save = state.range(0) != 0;
    for (auto _ : state) {
        state.PauseTiming();
        int runs = 0;
        Pages pages;
        WinePrefixStore store(prefix, FileCalls::system(),
                              std::make_unique<CountedRegedit>(prefix, runs), [] { return true; });
        RegistryAccessor registry(store);
        if (save) {
            readPages(store, pages);
            startRuns = std::exchange(runs, 0);
        }
        state.ResumeTiming();
        if (!save) {
            readAheadAtStart(store);
            registry.openKey(u"\\Software\\Tarsel\\Ordevan8", true);
            registry.readString(u"Language");
            readPages(store, pages);
            startRuns = runs;
            continue;
        }
        GridModel &general = pages.grids[static_cast<std::size_t>(SettingsPage::General)];
        general.SetCells(1, settingRowOf(general, u"MainWindowLeft"_s),
                         QString::number(300 + ++round));
        RegistryBatch batch(store);
        writePageSettings(general, registry, SettingsPage::General, Release::R803,
                          pages.stored[static_cast<std::size_t>(SettingsPage::General)]);
        batch.commit();
        saveRuns = runs;
    }
    state.counters["wine_runs"] = save ? saveRuns : startRuns;
}

} // namespace

BENCHMARK(BM_StartAndSaveThroughWine)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseRealTime();
BENCHMARK(BM_ParseUserReg)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadFourPagesCold)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadFourPagesWarm)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveOnePage)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WineEditorExportsTheCopyProgramsKeys)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseRealTime();

BENCHMARK_MAIN();
