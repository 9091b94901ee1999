#include "settingspages.h"

#include "gridmodel.h"
#include "text.h"

using namespace Qt::Literals::StringLiterals;

QString pageName(SettingsPage page)
{
    switch (page) {
    case SettingsPage::General:
        return u"GENERAL"_s;
    case SettingsPage::Copy:
        return u"COPY"_s;
    case SettingsPage::Options:
        return u"SETTINGS"_s;
    case SettingsPage::DataPath:
        return u"DATAPATH"_s;
    }
    return {};
}

QString pageTitle(SettingsPage page, Language language)
{
    const bool italian = language == Language::Italian;
    switch (page) {
    case SettingsPage::General:
        return italian ? u"Generali"_s : u"General"_s;
    case SettingsPage::Copy:
        return italian ? u"Copia"_s : u"Copy"_s;
    case SettingsPage::Options:
        return italian ? u"Opzioni"_s : u"Options"_s;
    case SettingsPage::DataPath:
        return italian ? u"Percorso Dati"_s : u"Data Path"_s;
    }
    return {};
}

QString toolFolderOf(const QString &executablePath)
{
    return upperAscii(QStringView(executablePath).first(executablePath.lastIndexOf(u'\\') + 1));
}

QString settingListPath(const QString &toolFolder, SettingsPage page, Language language)
{
    return toolFolder + u"DATA\\"_s + pageName(page)
        + (language == Language::Italian ? u"_ITA.TXT"_s : u"_ENG.TXT"_s);
}

void ImpostaHdrGrid(GridModel &grid, Language language)
{
    static const std::array<QString, 4> italian = {
        u"<font size=2><shad><b>Settaggio</b></shad></font><hr>"_s,
        u"<font size=2><shad><b>Valore</b></shad></font><hr><br> <b>MODIFICABILE</b>"_s,
        u"<font size=2><shad><b>Tipo</b></shad></font><hr>"_s,
        u"<font size=2><shad><b>Descrizione</b></shad></font><hr>"_s,
    };
    static const std::array<QString, 4> english = {
        u"<font size=2><shad><b>Setting</b></shad></font><hr>"_s,
        u"<font size=2><shad><b>Value</b></shad></font><hr><br> <b>EDITABLE</b>"_s,
        u"<font size=2><shad><b>Type</b></shad></font><hr>"_s,
        u"<font size=2><shad><b>Description</b></shad></font><hr>"_s,
    };
    const auto &texts = language == Language::Italian ? italian : english;
    const GridUpdateBracket bracket(grid);
    for (int col = 0; col < 4; ++col)
        grid.SetCells(col, 0, texts[col]);
}

void loadSettingsPage(GridModel &grid, const QString &listFile, Language language, Release release)
{
    // Closed again also when the list cannot be loaded, so the grid repaints.
    const GridUpdateBracket bracket(grid);
    grid.SetFilterActive(false);
    grid.Filter().Clear();
    grid.LoadGridFile(listFile);

    TFilterData &condition = grid.Filter().Add();
    condition.Column = 4;
    condition.Condition = release == Release::R803 ? u"!8v0"_s : u"!8v3"_s;
    grid.SetFilterActive(true);

    // The type word is compared as written here: "SI/NO" rows get their box
    // only once their value has been read.
    for (int row = 1; row < grid.RowCount(); ++row) {
        const QString type = grid.Cells(2, row);
        if (type == u"Si/No"_s || type == u"Bool"_s)
            grid.SetCheckBox(1, row, grid.Cells(1, row) == u"True"_s);
    }

    ImpostaHdrGrid(grid, language);
    grid.FocusCell(1, 1);
    grid.SpinEdit().MinValue = 0;
    grid.SpinEdit().Increment = 1;
    grid.SetFixedRowHeight(10);
    grid.SetDefaultRowHeight(47);
    grid.SetMultilinecells(true);
}
