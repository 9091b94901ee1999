#include "gridmodel.h"
#include "memoryregistrystore.h"
#include "printers.h"
#include "registryaccessor.h"
#include "standin.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString DataDir = QString::fromUtf8(ORDEVAN_DATA_DIR);

} // namespace

TEST(StandInTest, EverySettingRowGetsAValueOfItsKindForEachOfItsReleases)
{
    MemoryRegistryStore store;
    EXPECT_FALSE(hasCopyProgramSettings(store));
    const int created = seedSettings(store, standInSettings(DataDir));
    EXPECT_TRUE(hasCopyProgramSettings(store));

    int rows = 0;
    for (const Language language : {Language::English, Language::Italian}) {
        for (SettingsPage page : AllSettingsPages) {
            GridModel grid;
            grid.LoadGridFile(DataDir + u'/' + pageName(page)
                              + (language == Language::Italian ? u"_ITA.TXT"_s : u"_ENG.TXT"_s));
            for (int row = 1; row < grid.RowCount(); ++row) {
                const QString cell = grid.Cells(0, row);
                if (cell.size() <= 7)
                    continue;
                ++rows;
                const std::u16string name = cell.mid(3, cell.size() - 7).toStdU16String();
                const SettingKind kind = settingKind(grid.Cells(2, row));
                const QString tag = grid.Cells(4, row);
                for (Release release : {Release::R800, Release::R803}) {
                    const std::u16string key
                        = settingsKeyPath(page, release).mid(1).toStdU16String();
                    const auto value = store.get(RootKey::CurrentUser, key, name);
                    const bool other = (release == Release::R803 && tag == u"8v0"_s)
                        || (release == Release::R800 && tag == u"8v3"_s);
                    if (other) {
                        EXPECT_EQ(value, std::nullopt) << cell.toStdString();
                        continue;
                    }
                    ASSERT_TRUE(value.has_value()) << cell.toStdString();
                    EXPECT_EQ(value->kind,
                              kind == SettingKind::Integer ? ValueKind::Integer : ValueKind::String)
                        << cell.toStdString();
                    if (kind == SettingKind::YesNo) {
                        EXPECT_TRUE(value->text == u"True" || value->text == u"False");
                    }
                }
            }
        }
    }
    EXPECT_GT(rows, 100);
    EXPECT_GT(created, 80);
}

TEST(StandInTest, SeedingLeavesExistingValuesAlone)
{
    MemoryRegistryStore store;
    store.put(RootKey::CurrentUser, u"Software\\vob\\CD Wizard\\8.0\\Copy", u"MaxCdSize",
              {ValueKind::Integer, {}, 800});
    const auto settings = standInSettings(DataDir);
    const int first = seedSettings(store, settings);
    EXPECT_EQ(store.get(RootKey::CurrentUser, u"Software\\vob\\CD Wizard\\8.0\\Copy", u"MaxCdSize"),
              (RegistryValue{ValueKind::Integer, {}, 800}));
    EXPECT_EQ(seedSettings(store, settings), 0);
    EXPECT_GT(first, 0);

    recordStart(store, QDateTime(QDate(2026, 12, 8), QTime(17, 30)));
    EXPECT_EQ(store.get(RootKey::CurrentUser, u"Software\\VOB\\CD Wizard", u"StandInStarted"),
              (RegistryValue{ValueKind::String, u"2026-12-08T17:30:00", 0}));
    const QStringList lines = describeSettings(store, settings);
    EXPECT_TRUE(lines.contains(u"\\Software\\vob\\CD Wizard\\8.0\\Copy \\ MaxCdSize = 800"_s));
}

TEST(StandInTest, AnOptionItDoesNotKnowIsRefusedBeforeAnythingIsWritten)
{
    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_CONFIG_HOME"_s, home.path());
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    auto run = [&](const QStringList &arguments, QByteArray *out, QByteArray *err) {
        QProcess standIn;
        standIn.setProcessEnvironment(environment);
        standIn.start(QString::fromUtf8(ORDEVAN_STANDIN), arguments);
        EXPECT_TRUE(standIn.waitForFinished(20000));
        *out = standIn.readAllStandardOutput();
        *err = standIn.readAllStandardError();
        return standIn.exitCode();
    };
    QByteArray out, err;
    for (const QStringList &arguments :
         {QStringList{u"--hepl"_s}, QStringList{u"-x"_s}, QStringList{u"--seed"_s, u"more"_s}}) {
        EXPECT_EQ(run(arguments, &out, &err), 2) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(err.startsWith("usage: ICopy.exe")) << err.toStdString();
    }
    EXPECT_EQ(run({u"--help"_s}, &out, &err), 0);
    EXPECT_TRUE(out.startsWith("usage: ICopy.exe"));
    EXPECT_TRUE(QDir(home.path()).isEmpty()) << "no store was created";
}
