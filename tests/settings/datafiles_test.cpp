// The eight setting list files that ship with the tool follow the rules the
// pages rely on.

#include "gridmodel.h"
#include "printers.h"
#include "settingspages.h"
#include "text.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString DataDir = QString::fromUtf8(ORDEVAN_DATA_DIR);

struct ListFile
{
    SettingsPage page;
    Language language;
};

QString listPath(const ListFile &list)
{
    return DataDir + u'/' + pageName(list.page)
        + (list.language == Language::Italian ? u"_ITA.TXT"_s : u"_ENG.TXT"_s);
}

GridModel loaded(const ListFile &list)
{
    GridModel grid;
    grid.LoadGridFile(listPath(list));
    return grid;
}

// The setting rows: those whose column 0 names a value.
QList<int> settingRows(const GridModel &grid)
{
    QList<int> rows;
    for (int row = 1; row < grid.RowCount(); ++row) {
        if (grid.Cells(0, row).size() > 7)
            rows.append(row);
    }
    return rows;
}

class ListFileTest : public testing::TestWithParam<ListFile>
{
};

std::string listName(const testing::TestParamInfo<ListFile> &info)
{
    const QString name = pageName(info.param.page)
        + (info.param.language == Language::Italian ? u"_ITA"_s : u"_ENG"_s);
    return name.toStdString();
}

const QStringList ListSettings
    = {u"INTERFACETYPE"_s,        u"VIEWSTATUS"_s,        u"WRITEMETHOD"_s,   u"CLOSECDMETHOD"_s,
       u"COPYPRECISION"_s,        u"ERRORHANDLING"_s,     u"DVDCOPYMETHOD"_s, u"DVDCOPYFORMAT"_s,
       u"DVDCOPYPICTUREFORMAT"_s, u"DVDREDUCTIONMETHOD"_s};

} // namespace

TEST_P(ListFileTest, FollowsTheRowRules)
{
    QFile file(listPath(GetParam()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    EXPECT_EQ(bytes.count("\r\n"), bytes.count('\n')) << "CRLF line ends";

    const GridModel grid = loaded(GetParam());
    const QList<int> rows = settingRows(grid);
    EXPECT_GE(rows.size(), 12);
    EXPECT_LE(rows.size(), 30);
    EXPECT_LT(rows.size(), grid.RowCount() - 1) << "at least one heading row";

    QSet<QString> tagsInFirstSix;
    for (int row = 1; row <= 6; ++row)
        tagsInFirstSix.insert(grid.Cells(4, row));
    EXPECT_TRUE(tagsInFirstSix.contains(u"8v0"_s));
    EXPECT_TRUE(tagsInFirstSix.contains(u"8v3"_s));
    EXPECT_TRUE(tagsInFirstSix.contains(QString()));

    bool multiLine = false;
    for (int row : rows) {
        const QString cell = grid.Cells(0, row);
        EXPECT_TRUE(cell.startsWith(u"<b>"_s) && cell.endsWith(u"</b>"_s)) << cell.toStdString();
        EXPECT_FALSE(cell.mid(3, cell.size() - 7).contains(u' ')) << cell.toStdString();
        multiLine = multiLine || grid.Cells(3, row).contains(u"\r\n"_s);

        const QString name = upperAscii(cell.mid(3, cell.size() - 7));
        const QString type = upperAscii(grid.Cells(2, row));
        EXPECT_EQ(ListSettings.contains(name), type == u"LIST"_s || type == u"LISTA"_s)
            << name.toStdString();
    }
    EXPECT_TRUE(multiLine);
}

INSTANTIATE_TEST_SUITE_P(Shipped, ListFileTest,
                         testing::Values(ListFile{SettingsPage::General, Language::English},
                                         ListFile{SettingsPage::General, Language::Italian},
                                         ListFile{SettingsPage::Copy, Language::English},
                                         ListFile{SettingsPage::Copy, Language::Italian},
                                         ListFile{SettingsPage::Options, Language::English},
                                         ListFile{SettingsPage::Options, Language::Italian},
                                         ListFile{SettingsPage::DataPath, Language::English},
                                         ListFile{SettingsPage::DataPath, Language::Italian}),
                         listName);

TEST(ListFilesTest, BothLanguagesNameTheSameValuesAndEveryTypeWordOccurs)
{
    QSet<QString> types;
    QSet<QString> lists;
    bool accented = false;
    for (SettingsPage page : AllSettingsPages) {
        const GridModel english = loaded({page, Language::English});
        const GridModel italian = loaded({page, Language::Italian});
        ASSERT_EQ(english.RowCount(), italian.RowCount());
        for (int row = 1; row < english.RowCount(); ++row) {
            if (english.Cells(0, row).size() > 7) {
                EXPECT_EQ(english.Cells(0, row), italian.Cells(0, row));
            }
            EXPECT_EQ(english.Cells(1, row), italian.Cells(1, row));
            EXPECT_EQ(english.Cells(4, row), italian.Cells(4, row));
            types << english.Cells(2, row) << italian.Cells(2, row);
            if (upperAscii(english.Cells(2, row)) == u"LIST"_s)
                lists << upperAscii(english.Cells(0, row).mid(3, english.Cells(0, row).size() - 7));
            accented
                = accented || italian.Cells(3, row).contains(QRegularExpression(u"[àèéìòù]"_s));
        }
    }
    for (const QString &type :
         {u"Si/No"_s, u"Bool"_s, u"TESTO"_s, u"STRING"_s, u"LISTA"_s, u"LIST"_s, u"VALORE"_s,
          u"VALUE"_s, u"PUNTI"_s, u"PIXELS"_s, u"MBYTE"_s, u"MB*2.5"_s, u"%"_s})
        EXPECT_TRUE(types.contains(type)) << type.toStdString();
    EXPECT_EQ(lists, QSet<QString>(ListSettings.begin(), ListSettings.end()));
    EXPECT_TRUE(accented);
}
