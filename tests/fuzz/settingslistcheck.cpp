#include "settingslistcheck.h"

#include "gridmodel.h"
#include "invariant.h"
#include "settingspages.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr Invariants require{"setting list"};

} // namespace

void checkSettingListInput(const QByteArray &bytes)
{
    for (const Release release : {Release::R800, Release::R803}) {
        GridModel grid;
        try {
            loadSettingsPageData(grid, bytes, u"FUZZ_ENG.TXT"_s, Language::English, release);
        } catch (const ESettingListError &error) {
            require(!settingListProblemText(error.problem(), Language::Italian).isEmpty(),
                    "a problem without words");
            require(grid.UpdateCount() == 0, "the batch update was left open");
            emptySettingsPage(grid, Language::English);
            require(grid.RowCount() == 2 && grid.FixedRows() == 1, "the page is not empty");
            continue;
        }
        require(grid.FilterActive(), "the release filter is off");
        require(grid.UpdateCount() == 0, "the batch update was left open");
        const QString other = release == Release::R803 ? u"8v0"_s : u"8v3"_s;
        for (int row = 1; row < grid.RowCount(); ++row)
            require(grid.Cells(4, row) != other, "a row of the other release is shown");
        require(grid.Cells(1, 0).contains(u"EDITABLE"_s), "no headers");
    }
}
