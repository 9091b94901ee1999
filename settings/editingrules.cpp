#include "editingrules.h"

#include "gridmodel.h"
#include "registrymapping.h"
#include "settingrow.h"
#include "text.h"
#include "wincolors.h"

#include <optional>

using namespace Qt::Literals::StringLiterals;

bool canEditSettingCell(const GridModel &grid, int row, int col, bool missing)
{
    return col == SettingColumn::Value && row >= 1
        && (missing || !isReadErrorText(grid.Cells(SettingColumn::Value, row)));
}

bool isFixedSettingCell(int row, int col)
{
    return !(col == SettingColumn::Value && row != 0);
}

QStringList listSettingItems(const QString &valueName)
{
    static const QList<std::pair<QString, QStringList>> lists = {
        {u"INTERFACETYPE"_s,
         {u"ditNone"_s, u"ditAny"_s, u"ditASPI"_s, u"ditASAPI"_s, u"ditMiniPort"_s}},
        {u"VIEWSTATUS"_s, {u"vsStandard"_s, u"vsDetails"_s, u"vsProgress"_s}},
        {u"WRITEMETHOD"_s,
         {u"dwmAutomatic"_s, u"dwmTAO"_s, u"dwmDAO"_s, u"dwmRAW"_s, u"dwmRestrictedOVR"_s}},
        {u"CLOSECDMETHOD"_s,
         {u"dcmAutomatic"_s, u"dcmCloseDisc"_s, u"dcmCloseSession"_s, u"dcmLeaveOpen"_s}},
        {u"COPYPRECISION"_s,
         {u"drpAutomatic"_s, u"drpStandard"_s, u"drpRaw"_s, u"drpRaw96"_s, u"drpRaw16"_s}},
        {u"ERRORHANDLING"_s, {u"ehStop"_s, u"ehIgnore"_s, u"ehCopy"_s}},
        {u"DVDCOPYMETHOD"_s,
         {u"dcmAutomatic"_s, u"dcmCustomize"_s, u"dcmDirect"_s, u"dcmMainMovie"_s}},
        {u"DVDCOPYFORMAT"_s, {u"dcfAutomatic"_s, u"dcfDVD"_s, u"dcfSVCD"_s, u"dcfVCD"_s}},
        {u"DVDCOPYPICTUREFORMAT"_s,
         {u"dcpfAutomatic"_s, u"dcpfLetterBox"_s, u"dcpfPanScan"_s, u"dcpfAnamorphic"_s}},
        {u"DVDREDUCTIONMETHOD"_s,
         {u"vrmParent"_s, u"vrmAutomatic"_s, u"vrmOriginal"_s, u"vrmQuality"_s, u"vrmSpeed"_s,
          u"vrmRemove"_s}},
    };
    const QString name = upperAscii(valueName);
    for (const auto &[listName, items] : lists) {
        if (listName == name)
            return items;
    }
    return {};
}

namespace {

std::optional<int> spinMaximum(const QString &upperType)
{
    static const QList<std::pair<QString, int>> maxima = {{u"PUNTI"_s, 1280},
                                                          {u"PIXELS"_s, 1280},
                                                          {u"%"_s, 100},
                                                          {u"MBYTE"_s, 8848},
                                                          {u"MB*2.5"_s, 3569}};
    for (const auto &[type, max] : maxima) {
        if (type == upperType)
            return max;
    }
    return std::nullopt;
}

} // namespace

void chooseSettingEditor(GridModel &grid, int col, int row, TEditorType &editor, bool missing)
{
    if (col != SettingColumn::Value)
        return;
    const SettingRow setting = settingRow(grid, row);
    const QString value = upperAscii(setting.value);
    const QString type = upperAscii(setting.type);
    const QString name = upperAscii(setting.name);

    if (isReadErrorText(value) && !missing) {
        editor = edNone;
    } else if (type == u"TESTO"_s || type == u"STRING"_s) {
        editor = edEditBtn;
    } else if (const auto max = spinMaximum(type)) {
        grid.SpinEdit().MaxValue = *max;
        editor = edSpinEdit;
    } else if (type == u"LISTA"_s || type == u"LIST"_s) {
        grid.Combo().Items = listSettingItems(name);
        grid.Combo().Sorted = true;
        editor = edComboList;
    }
}

QColor editedMarkColour()
{
    // Apart from the release colours (pale yellow and lilac) and from the
    // read errors' red, and dark enough to see on white.
    return fromBgr(0x00D06000);
}

void settingCellColours(const GridModel &grid, int row, int col, Release release, CellLook &look,
                        ValueMarks marks)
{
    if (row < 1)
        return;
    switch (col) {
    case SettingColumn::Name: {
        const QString tag = grid.Cells(SettingColumn::Release, row);
        const bool ofThisRelease = (tag == u"8v3"_s && release == Release::R803)
            || (tag == u"8v0"_s && release == Release::R800);
        look.background = fromBgr(ofThisRelease ? 0x00C8FFFF : 0x00F0F0F8);
        break;
    }
    case SettingColumn::Value:
        if (isReadErrorText(grid.Cells(SettingColumn::Value, row))) {
            look.background = fromBgr(0x000000FF);
            look.textColor = fromBgr(0x00FFFFFF);
            look.font.setBold(true);
        } else {
            look.background = fromBgr(0x00FFFFFF);
            look.textColor = fromBgr(0x00000000);
            look.font.setBold(marks.notDefault);
            look.font.setItalic(marks.edited);
            if (marks.edited)
                look.cornerMark = editedMarkColour();
        }
        break;
    case SettingColumn::Type:
        look.background = fromBgr(0x00F0F8F0);
        break;
    case SettingColumn::Description:
        look.background = fromBgr(0x00F0F0F0);
        look.textColor = fromBgr(0x00A00000);
        break;
    default:
        break;
    }
}
