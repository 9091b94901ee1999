// The main window on a large settings file (13 MB: the copy program's
// settings among many keys of other programs, as a full registry export
// holds them): how long the window takes to start on it, and how long
// "Save Settings" takes on all lists with every value edited. Then, on a
// store of 10,000 values, what a page's backup and the undo of its save
// cost.

#include "buildfolderfiles.h"
#include "dialogs.h"
#include "filesystem.h"
#include "gridmodel.h"
#include "mainform.h"
#include "oxbutton.h"
#include "programlauncher.h"
#include "regfile.h"
#include "registryaccessor.h"
#include "registrybackups.h"
#include "registryfilestore.h"
#include "registrymapping.h"
#include "settingsgrid.h"
#include "standin.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRadioButton>
#include <QShortcut>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <climits>

using namespace Qt::Literals::StringLiterals;

namespace {

class SilentDialogs : public Dialogs
{
public:
    void showMessage(const QString &, const QString &text, MessageIcon icon) override
    {
        if (icon != MessageIcon::Information)
            qWarning("%s", qUtf8Printable(text));
    }
    std::optional<QString> promptText(const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
    // Questions take `answer` when it is set, else the choice Esc makes.
    int askChoice(const ChoiceRequest &request) override
    {
        return answer.value_or(request.escapeChoice);
    }
    std::optional<int> answer;
    QString chooseOpenFile(const OpenFileRequest &) override { return {}; }
};

class NoPrograms : public LocalProgramLauncher
{
public:
    LaunchResult launch(const QString &) override { return LaunchResult::NotStarted; }
};

// `megabytes` of other programs' keys, then the copy program's settings as
// its stand-in creates them and the tool's preferences without the warning.
void writeLargeStore(const QString &path, int megabytes, int otherValues = INT_MAX)
{
    // The copy program's settings, seeded into a small file first: seeding
    // value by value into the large one would take long.
    const QString small = path + u".small"_s;
    {
        RegistryFileStore store(small);
        seedSettings(store, standInSettings(QString::fromUtf8(ORDEVAN_BUILD_DIR) + u"/DATA"_s));
        RegistryAccessor reg(store);
        reg.openKey(u"\\Software\\Tarsel\\Ordevan8", true);
        reg.writeString(u"WantWarning", u"False");
    }
    QFile seeded(small);
    seeded.open(QIODevice::ReadOnly);
    const QByteArray bytes = seeded.readAll();
    QString text(reinterpret_cast<const QChar *>(bytes.constData() + 2), bytes.size() / 2 - 1);
    seeded.remove();

    for (int key = 0; text.size() * 2 < megabytes * 1'000'000 && key * 10 < otherValues; ++key) {
        text += u"\r\n[HKEY_CURRENT_USER\\Software\\Other\\Program%1\\Key%2]\r\n"_s.arg(key / 50)
                    .arg(key);
        for (int v = 0; v < 10; v += 2) {
            text += u"\"Value%1\"=\"some text of another program\"\r\n"_s.arg(v);
            text += u"\"Value%1\"=dword:%2\r\n"_s.arg(v + 1).arg(key, 8, 16, QChar(u'0'));
        }
    }
    QFile out(path);
    out.open(QIODevice::WriteOnly);
    out.write("\xFF\xFE", 2);
    out.write(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

struct LargeStore
{
    explicit LargeStore(int megabytes, int otherValues = INT_MAX)
        : path(dir.filePath(u"registry.reg"_s))
        , backups(dir.filePath(u"backups"_s), QString())
    {
        writeLargeStore(path, megabytes, otherValues);
        // The newest only: the saves of a benchmark all fall within the
        // days every backup is kept for, and would pile up.
        backups.setRetention({BackupRetention().newest, 0, BackupRetention().bytes});
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        RegFile::parse(file.readAll())
            .visit([this](const QString &, const std::optional<QString> &name, const RegData &) {
                values += name ? 1 : 0;
            });
    }
    int values = 0;
    QTemporaryDir dir;
    QString path;
    RegistryBackups backups;
};

LargeStore &largeStore()
{
    static LargeStore store(13);
    return store;
}

// 10,000 values, the copy program's settings among them.
LargeStore &storeOf10000Values()
{
    static LargeStore store(100, 10'000 - 110);
    return store;
}

// A new value in every value cell of `grids` that can be saved.
void editEveryValue(const QList<TSettingsGrid *> &grids, int round)
{
    for (TSettingsGrid *grid : grids) {
        GridModel &model = grid->model();
        for (int row = 1; row < model.RowCount(); ++row) {
            const QString value = model.Cells(1, row);
            if (model.Cells(0, row).size() <= 7 || isReadErrorText(value))
                continue;
            switch (settingKind(model.Cells(2, row))) {
            case SettingKind::Integer:
                model.SetCells(1, row, QString::number(round));
                break;
            case SettingKind::YesNo:
                model.SetCells(1, row, round % 2 ? u"True"_s : u"False"_s);
                break;
            case SettingKind::Text:
                model.SetCells(1, row, u"edit "_s + QString::number(round));
                break;
            case SettingKind::None:
                break;
            }
        }
    }
}

// A new store each time: the file is read and parsed as at a real start.
void BM_StartOnLargeStore(benchmark::State &state)
{
    BuildFolderFiles files;
    SilentDialogs dialogs;
    NoPrograms programs;
    for (auto _ : state) {
        RegistryFileStore store(largeStore().path);
        TMainForm window(
            {store, files, dialogs, programs, [] {}, std::nullopt, &largeStore().backups});
        benchmark::DoNotOptimize(
            window.findChild<TSettingsGrid *>(u"GridCopia"_s)->model().Cells(1, 1));
    }
}

void BM_SaveAllListsOnLargeStore(benchmark::State &state)
{
    RegistryFileStore store(largeStore().path);
    BuildFolderFiles files;
    SilentDialogs dialogs;
    NoPrograms programs;
    TMainForm window({store, files, dialogs, programs, [] {}, std::nullopt, &largeStore().backups});
    window.findChild<QRadioButton *>(u"RbTutteListe"_s)->setChecked(true);
    auto *save = window.findChild<ToxButton *>(u"SaveBtn"_s);
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        editEveryValue(window.findChildren<TSettingsGrid *>(), ++round);
        state.ResumeTiming();
        save->click();
    }
    // What was saved is on disk, for a reader that starts afresh.
    RegistryFileStore reader(largeStore().path);
    RegistryAccessor reg(reader);
    reg.openKey(settingsKeyPath(SettingsPage::Copy, Release::R803).toStdU16String(), false);
    if (reg.readInteger(u"MaxCdSize") != round)
        state.SkipWithError("the save did not reach the file");
}

// Backing up what a save of one page replaces: its values read, in the
// save's batch, and written to a new backup file.
void BM_BackupOfAPage(benchmark::State &state)
{
    LargeStore &large = storeOf10000Values();
    RegistryFileStore store(large.path);
    RegistryAccessor registry(store);
    GridModel grid;
    loadSettingsPage(grid, QString::fromUtf8(ORDEVAN_BUILD_DIR) + u"/DATA/GENERAL_ENG.TXT"_s,
                     Language::English, Release::R803);
    StoredSettings stored; // nothing read: every value is written, so backed up
    for (auto _ : state) {
        RegistryBatch batch(store);
        const PagePlan plan
            = planPageSave(grid, registry, SettingsPage::General, Release::R803, stored);
        benchmark::DoNotOptimize(large.backups.write(valuesReplacedBy(plan)));
    }
    state.counters["page_values"] = static_cast<double>(
        planPageSave(grid, registry, SettingsPage::General, Release::R803, stored).writes.size());
    state.counters["store_values"] = large.values;
}

// The window's Save of one page with every value edited, backup included,
// and the Undo last save that follows: the backup restored (after a backup
// of its own) and the lists read again.
void BM_SaveAndUndoAPage(benchmark::State &state)
{
    LargeStore &large = storeOf10000Values();
    RegistryFileStore store(large.path);
    BuildFolderFiles files;
    SilentDialogs dialogs;
    NoPrograms programs;
    dialogs.answer = 0; // undo the save
    TMainForm window({store, files, dialogs, programs, [] {}, std::nullopt, &large.backups});
    auto *save = window.findChild<ToxButton *>(u"SaveBtn"_s);
    auto *undo = window.findChild<QShortcut *>(u"UndoSave"_s);
    auto *general = window.findChild<TSettingsGrid *>(u"GridGenerale"_s);
    const QString before = general->model().Cells(1, 4);
    int round = 0;
    double saving = 0, undoing = 0;
    for (auto _ : state) {
        state.PauseTiming();
        editEveryValue({general}, ++round); // the page a save of one list saves
        state.ResumeTiming();
        QElapsedTimer clock;
        clock.start();
        save->click();
        saving += static_cast<double>(clock.nsecsElapsed()) / 1e6;
        clock.restart();
        emit undo->activated();
        undoing += static_cast<double>(clock.nsecsElapsed()) / 1e6;
    }
    state.counters["save_ms"] = saving / static_cast<double>(state.iterations());
    state.counters["undo_ms"] = undoing / static_cast<double>(state.iterations());
    if (general->model().Cells(1, 4) != before)
        state.SkipWithError("the undo did not bring the value back");
}

} // namespace

BENCHMARK(BM_BackupOfAPage)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveAndUndoAPage)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();
BENCHMARK(BM_StartOnLargeStore)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_SaveAllListsOnLargeStore)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
