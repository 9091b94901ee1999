// The main window on a large settings file (13 MB: the copy program's
// settings among many keys of other programs, as a full registry export
// holds them): how long the window takes to start on it, and how long
// "Save Settings" takes on all lists with every value edited.

#include "buildfolderfiles.h"
#include "dialogs.h"
#include "filesystem.h"
#include "gridmodel.h"
#include "mainform.h"
#include "oxbutton.h"
#include "programlauncher.h"
#include "regfile.h"
#include "registryaccessor.h"
#include "registryfilestore.h"
#include "registrymapping.h"
#include "settingsgrid.h"
#include "standin.h"

#include <QFile>
#include <QRadioButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::Literals::StringLiterals;

namespace {

class SilentDialogs : public Dialogs
{
public:
    void showMessage(const QString &, const QString &text, MessageIcon) override
    {
        qWarning("%s", qUtf8Printable(text));
    }
    std::optional<QString> promptText(const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
    int askChoice(const ChoiceRequest &request) override { return request.escapeChoice; }
    QString chooseOpenFile(const OpenFileRequest &) override { return {}; }
};

class NoPrograms : public LocalProgramLauncher
{
public:
    LaunchResult launch(const QString &) override { return LaunchResult::NotStarted; }
};

// `megabytes` of other programs' keys, then the copy program's settings as
// its stand-in creates them and the tool's preferences without the warning.
void writeLargeStore(const QString &path, int megabytes)
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

    for (int key = 0; text.size() * 2 < megabytes * 1'000'000; ++key) {
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
    LargeStore()
        : path(dir.filePath(u"registry.reg"_s))
    {
        writeLargeStore(path, 13);
    }
    QTemporaryDir dir;
    QString path;
};

LargeStore &largeStore()
{
    static LargeStore store;
    return store;
}

// A new value in every value cell that can be saved.
void editEveryValue(TMainForm &window, int round)
{
    for (TSettingsGrid *grid : window.findChildren<TSettingsGrid *>()) {
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
        TMainForm window({store, files, dialogs, programs, [] {
                          }});
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
    TMainForm window({store, files, dialogs, programs, [] {
                      }});
    window.findChild<QRadioButton *>(u"RbTutteListe"_s)->setChecked(true);
    auto *save = window.findChild<ToxButton *>(u"SaveBtn"_s);
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        editEveryValue(window, ++round);
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

} // namespace

BENCHMARK(BM_StartOnLargeStore)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_SaveAllListsOnLargeStore)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
