#include "gridmodel.h"
#include "mutation.h"
#include "printers.h"
#include "settingslistcheck.h"
#include "settingspages.h"
#include "testfiles.h"
#include "toolfolderfiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString DataDir = QString::fromUtf8(ORDEVAN_DATA_DIR);

QString shippedList(SettingsPage page, Language language)
{
    return DataDir + u'/' + pageName(page)
        + (language == Language::Italian ? u"_ITA.TXT"_s : u"_ENG.TXT"_s);
}

QStringList column(const GridModel &grid, int col)
{
    QStringList out;
    for (int row = 1; row < grid.RowCount(); ++row)
        out.append(grid.Cells(col, row));
    return out;
}

} // namespace

TEST(SettingsPathsTest, ToolFolderAndListFiles)
{
    EXPECT_EQ(toolFolderOf(u"C:\\Programmi\\Ordevan\\ordevan.exe"_s),
              u"C:\\PROGRAMMI\\ORDEVAN\\"_s);
    EXPECT_EQ(toolFolderOf(u"\\home\\anna\\Città\\ordevan"_s), u"\\HOME\\ANNA\\CITTà\\"_s)
        << "ASCII letters only";
    EXPECT_EQ(settingListPath(u"C:\\TOOL\\"_s, SettingsPage::General, Language::English),
              u"C:\\TOOL\\DATA\\GENERAL_ENG.TXT"_s);
    EXPECT_EQ(settingListPath(u"C:\\TOOL\\"_s, SettingsPage::Options, Language::Italian),
              u"C:\\TOOL\\DATA\\SETTINGS_ITA.TXT"_s);
    EXPECT_EQ(pageName(SettingsPage::Copy), u"COPY"_s);
    EXPECT_EQ(pageName(SettingsPage::DataPath), u"DATAPATH"_s);
}

TEST(SettingsPathsTest, ListsAreFoundAsBuiltAndAsInstalled)
{
    QTemporaryDir dir;
    const QString root = dir.path();
    const auto makeList = [&](const QString &path) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
        writeAll(path, "6,2\r\n");
    };
    const auto listFor = [&](const QString &executable) {
        const ToolFolderFiles files(root + executable);
        return settingListFile(files, settingListFolder(files), SettingsPage::General,
                               Language::Italian);
    };

    // As built: DATA beside the executable, its names in any case.
    // (Where file names ignore case, any spelling of it is the file.)
    makeList(root + u"/build/data/general_ita.txt"_s);
    EXPECT_EQ(QFileInfo(listFor(u"/build/ordevan"_s)),
              QFileInfo(root + u"/build/data/general_ita.txt"_s))
        << listFor(u"/build/ordevan"_s).toStdString();

    // As installed: bin/ordevan, the lists in share/ordevan/DATA.
    makeList(root + u"/usr/share/ordevan/DATA/GENERAL_ITA.TXT"_s);
    EXPECT_EQ(listFor(u"/usr/bin/ordevan"_s), root + u"/usr/share/ordevan/DATA/GENERAL_ITA.TXT"_s);

    // A DATA folder beside the executable wins, even without this list:
    // the lists come from one folder, and the error names a file in it.
    ASSERT_TRUE(QDir().mkpath(root + u"/usr/bin/DATA"_s));
    EXPECT_EQ(listFor(u"/usr/bin/ordevan"_s), root + u"/usr/bin/DATA/GENERAL_ITA.TXT"_s);

    // With neither folder, the path is the one beside the executable.
    EXPECT_EQ(listFor(u"/opt/ordevan"_s), root + u"/opt/DATA/GENERAL_ITA.TXT"_s);
    // A file named share/ordevan/DATA is no folder of lists.
    makeList(root + u"/odd/share/ordevan/DATA"_s);
    EXPECT_EQ(listFor(u"/odd/bin/ordevan"_s), root + u"/odd/bin/DATA/GENERAL_ITA.TXT"_s);
}

TEST(SettingsPageTest, LoadsAPageForEachRelease)
{
    GridModel grid;
    loadSettingsPage(grid, shippedList(SettingsPage::Copy, Language::English), Language::English,
                     Release::R803);
    const QStringList tags803 = column(grid, 4);
    EXPECT_FALSE(tags803.contains(u"8v0"_s));
    EXPECT_TRUE(tags803.contains(u"8v3"_s));
    EXPECT_TRUE(tags803.contains(QString()));
    const int shown803 = grid.RowCount();
    const auto total = grid.RowCount() + grid.HiddenRows().size();

    loadSettingsPage(grid, shippedList(SettingsPage::Copy, Language::English), Language::English,
                     Release::R800);
    const QStringList tags800 = column(grid, 4);
    EXPECT_FALSE(tags800.contains(u"8v3"_s));
    EXPECT_TRUE(tags800.contains(u"8v0"_s));
    EXPECT_EQ(grid.RowCount() + grid.HiddenRows().size(), total);

    // Switching back and forth never loses rows.
    for (int i = 0; i < 3; ++i) {
        loadSettingsPage(grid, shippedList(SettingsPage::Copy, Language::English),
                         Language::English, Release::R803);
        EXPECT_EQ(grid.RowCount(), shown803);
        EXPECT_EQ(column(grid, 4), tags803);
    }
}

TEST(SettingsPageTest, SetsHeadersCheckBoxesAndPresentation)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"LIST.TXT"_s);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("6,8\r\n"
               "0,0,from the file\r\n5,0,kept header\r\n"
               "0,1,<b>A_Val</b>\r\n1,1,True\r\n2,1,Si/No\r\n"
               "0,2,<b>B_Val</b>\r\n1,2,true\r\n2,2,Bool\r\n"
               "0,3,<b>C_Val</b>\r\n1,3,True\r\n2,3,SI/NO\r\n"
               "0,4,<b>D_Val</b>\r\n1,4,True\r\n2,4,Bool\r\n4,4,8v0\r\n"
               "0,5,<b>E_Val</b>\r\n1,5,1\r\n2,5,Si/No\r\n4,5,8V0\r\n"
               "0,6,<b>F_Val</b>\r\n1,6,True\r\n2,6,Bool\r\n4,6,8v3\r\n"
               "0,7,<b>G_Val</b>\r\n1,7,True \r\n2,7,Bool\r\n");
    file.close();

    GridModel grid;
    grid.SetRowHeights(3, 99);
    loadSettingsPage(grid, path, Language::Italian, Release::R803);
    ASSERT_EQ(grid.RowCount(), 7); // D_Val hidden
    EXPECT_EQ(grid.CheckBox(1, 1), true);
    EXPECT_EQ(grid.CheckBox(1, 2), false) << "\"true\" is not \"True\"";
    EXPECT_EQ(grid.CheckBox(1, 3), std::nullopt) << "\"SI/NO\" is not \"Si/No\"";
    EXPECT_EQ(grid.CheckBox(1, 4), false) << "\"1\" is not \"True\"";
    EXPECT_EQ(grid.CheckBox(1, 5), true);
    EXPECT_EQ(grid.CheckBox(1, 6), false);

    EXPECT_EQ(grid.Cells(0, 0), u"<font size=2><shad><b>Settaggio</b></shad></font><hr>"_s);
    EXPECT_EQ(grid.Cells(1, 0),
              u"<font size=2><shad><b>Valore</b></shad></font><hr><br> <b>MODIFICABILE</b>"_s);
    EXPECT_EQ(grid.Cells(3, 0), u"<font size=2><shad><b>Descrizione</b></shad></font><hr>"_s);
    EXPECT_EQ(grid.Cells(5, 0), u"kept header"_s);
    ImpostaHdrGrid(grid, Language::English);
    EXPECT_EQ(grid.Cells(1, 0),
              u"<font size=2><shad><b>Value</b></shad></font><hr><br> <b>EDITABLE</b>"_s);
    EXPECT_EQ(grid.Cells(2, 0), u"<font size=2><shad><b>Type</b></shad></font><hr>"_s);

    EXPECT_EQ(grid.Col(), 1);
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_EQ(grid.SpinEdit().MinValue, 0);
    EXPECT_EQ(grid.SpinEdit().Increment, 1);
    for (int row = 0; row < grid.RowCount(); ++row)
        EXPECT_EQ(grid.RowHeights(row), 47) << row;
    EXPECT_TRUE(grid.Multilinecells());
    EXPECT_EQ(grid.UpdateCount(), 0);
}

TEST(SettingsPageTest, AListThatCannotBeUsedIsNamedWithItsReasonAndLeavesTheGridAlone)
{
    GridModel grid;
    loadSettingsPage(grid, shippedList(SettingsPage::General, Language::English), Language::English,
                     Release::R803);
    const int shown = grid.RowCount();

    QTemporaryDir dir;
    auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    };
    using Reason = SettingListProblem::Reason;
    const QList<std::pair<QString, Reason>> cases = {
        {dir.filePath(u"MISSING.TXT"_s), Reason::CannotOpen},
        {dir.path(), Reason::NotRegularFile},
        {write(u"EMPTY.TXT"_s, "\r\n  \r\n"), Reason::Empty},
        {write(u"WIDE.TXT"_s,
               QByteArray("\xFF\xFE"
                          "6\0,\0"
                          "2\0",
                          8)),
         Reason::Utf16},
        {write(u"BINARY.TXT"_s, QByteArray("6,2\r\n0,1,\0\x01", 10)), Reason::NotText},
        {write(u"MARKED.TXT"_s,
               "\xEF\xBB\xBF"
               "6,2\r\n0,1,<b>Name</b>\r\n"),
         Reason::Utf8},
        {write(u"GARBAGE.TXT"_s, "#!/bin/sh\nrm -rf /\n"), Reason::NoCounts},
        {write(u"HUGE.TXT"_s, "9999,9999\n"), Reason::TooManyCells},
        {write(u"HEADINGS.TXT"_s, "6,3\r\n0,1,Short\r\n0,2,<b>NoType</b>\r\n2,2,COLOUR\r\n"),
         Reason::NoSettings},
    };
    for (const auto &[path, reason] : cases) {
        try {
            loadSettingsPage(grid, path, Language::Italian, Release::R803);
            ADD_FAILURE() << "loaded " << path.toStdString();
        } catch (const ESettingListError &error) {
            EXPECT_EQ(error.problem().reason, reason) << path.toStdString();
            const QString english = settingListProblemText(error.problem(), Language::English);
            EXPECT_TRUE(english.startsWith(u"The setting list "_s + QDir::toNativeSeparators(path)))
                << english.toStdString();
            EXPECT_TRUE(settingListProblemText(error.problem(), Language::Italian)
                            .endsWith(u"La sua pagina resta vuota."_s));
        }
        EXPECT_EQ(grid.UpdateCount(), 0) << "the batch update is closed again";
    }
    // Those found wrong before loading change nothing in the grid.
    GridModel untouched;
    loadSettingsPage(untouched, shippedList(SettingsPage::General, Language::English),
                     Language::English, Release::R803);
    EXPECT_THROW(
        loadSettingsPage(untouched, dir.filePath(u"EMPTY.TXT"_s), Language::English, Release::R803),
        ESettingListError);
    EXPECT_EQ(untouched.RowCount(), shown);
    EXPECT_TRUE(untouched.FilterActive());
}

TEST(SettingsPageTest, NeitherAPipeNorADeviceCanHangTheLoad)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "no pipes or devices in the file system";
#else
    QTemporaryDir dir;
    const QString fifo = dir.filePath(u"COPY_ENG.TXT"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString zero = dir.filePath(u"GENERAL_ENG.TXT"_s);
    ASSERT_TRUE(QFile::link(u"/dev/zero"_s, zero));
    GridModel grid;
    for (const QString &path : {fifo, zero}) {
        try {
            loadSettingsPage(grid, path, Language::English, Release::R803);
            ADD_FAILURE() << "loaded " << path.toStdString();
        } catch (const ESettingListError &error) {
            EXPECT_EQ(error.problem().reason, SettingListProblem::Reason::NotRegularFile);
        }
    }
#endif
}

TEST(SettingsPageTest, AnEmptyPageKeepsItsHeadersAndNothingElse)
{
    GridModel grid;
    loadSettingsPage(grid, shippedList(SettingsPage::General, Language::English), Language::English,
                     Release::R803);
    emptySettingsPage(grid, Language::Italian);
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.FixedRows(), 1);
    EXPECT_FALSE(grid.FilterActive());
    EXPECT_TRUE(grid.HiddenRows().isEmpty());
    EXPECT_EQ(grid.Cells(0, 0), u"<font size=2><shad><b>Settaggio</b></shad></font><hr>"_s);
    for (int col = 0; col < grid.ColCount(); ++col) {
        EXPECT_EQ(grid.Cells(col, 1), QString());
        EXPECT_FALSE(grid.CheckBox(col, 1));
    }
}

TEST(SettingsPageTest, RandomlyDamagedListsLoadOrAreRefusedWithAReason)
{
    QFile list(shippedList(SettingsPage::Copy, Language::Italian));
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    const QByteArray seed = list.readAll();
    QRandomGenerator random(20261209);
    QElapsedTimer clock;
    clock.start();
    int runs = 0;
    for (; runs < 2000 && clock.elapsed() < 3000; ++runs) {
        const QByteArray input = mutatedInput(seed, random, ",\r\n\t\x08-$x0123456789v");
        checkSettingListInput(input);
    }
    EXPECT_GT(runs, 200);
}
