#include "settingspages.h"

#include "registrymapping.h"
#include "text.h"

#include <QDir>
#include <QFileInfo>

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

QString settingListName(SettingsPage page, Language language)
{
    return pageName(page) + (language == Language::Italian ? u"_ITA.TXT"_s : u"_ENG.TXT"_s);
}

QString settingListPath(const QString &toolFolder, SettingsPage page, Language language)
{
    return toolFolder + u"DATA\\"_s + settingListName(page, language);
}

QString settingListFolder(const FileSystem &files)
{
    // The tool's own folder is the one it runs from; only the names inside
    // it are looked up without regard to case.
    const QString beside = files.executableFolder();
    const QString built = files.localPathIn(beside, u"DATA"_s);
    if (files.isFolder(built))
        return built;
    const QString installed
        = files.localPathIn(QDir::cleanPath(beside + u"/../share/ordevan"_s), u"DATA"_s);
    return files.isFolder(installed) ? installed : built;
}

QString settingListFile(const FileSystem &files, const QString &folder, SettingsPage page,
                        Language language)
{
    return files.localPathIn(folder, settingListName(page, language));
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
    for (int col = SettingColumn::Name; col <= SettingColumn::Description; ++col)
        grid.SetCells(col, 0, texts[static_cast<std::size_t>(col)]);
}

ESettingListError::ESettingListError(SettingListProblem problem)
    : EGridError(settingListProblemText(problem, Language::English), FileFault::None, problem.path,
                 problem.detail)
    , m_problem(std::move(problem))
{ }

QString settingListProblemText(const SettingListProblem &problem, Language language)
{
    using Reason = SettingListProblem::Reason;
    const bool italian = language == Language::Italian;
    QString reason;
    switch (problem.reason) {
    case Reason::CannotOpen:
        reason = !QFileInfo::exists(problem.path)
            ? (italian ? u"non esiste"_s : u"it does not exist"_s)
            : (italian ? u"non può essere aperta (%1)"_s : u"it cannot be opened (%1)"_s)
                  .arg(problem.detail);
        break;
    case Reason::NotRegularFile:
        reason = italian ? u"non è un file normale"_s : u"it is not a regular file"_s;
        break;
    case Reason::TooLarge:
        reason = italian ? u"è più grande di 16 MiB"_s : u"it is larger than 16 MiB"_s;
        break;
    case Reason::CannotRead:
        reason = (italian ? u"non può essere letta (%1)"_s : u"it cannot be read (%1)"_s)
                     .arg(problem.detail);
        break;
    case Reason::Empty:
        reason = italian ? u"è vuota"_s : u"it is empty"_s;
        break;
    case Reason::Utf16:
        reason = italian ? u"è testo UTF-16, mentre le liste sono testo Windows-1252"_s
                         : u"it is UTF-16 text, while the lists are Windows-1252 text"_s;
        break;
    case Reason::Utf8:
        reason = italian ? u"è testo UTF-8, mentre le liste sono testo Windows-1252"_s
                         : u"it is UTF-8 text, while the lists are Windows-1252 text"_s;
        break;
    case Reason::NotText:
        reason = italian ? u"contiene byte nulli: non è un file di testo"_s
                         : u"it holds NUL bytes: it is not a text file"_s;
        break;
    case Reason::NoCounts:
        reason = italian ? u"la sua prima riga non è il numero di colonne e righe"_s
                         : u"its first line is not the count of columns and rows"_s;
        break;
    case Reason::TooManyCells:
        reason = italian ? u"dichiara troppe celle"_s : u"it declares too many cells"_s;
        break;
    case Reason::NoSettings:
        reason = italian ? u"non contiene impostazioni"_s : u"it holds no settings"_s;
        break;
    }
    return (italian ? u"La lista di impostazioni %1 non può essere usata: %2.\r"
                      u"La sua pagina resta vuota."_s
                    : u"The setting list %1 cannot be used: %2.\r"
                      u"Its page stays empty."_s)
        .arg(QDir::toNativeSeparators(problem.path), reason);
}

namespace {

using Reason = SettingListProblem::Reason;

// A number as the grid loader reads one, with at least one digit.
bool isCount(QStringView text)
{
    qsizetype blanks = 0;
    while (blanks < text.size() && (text[blanks] == u' ' || text[blanks] == u'\t'))
        ++blanks;
    const NumberStart start = numberStart(text, blanks);
    if (start.digits >= text.size())
        return false;
    const int digit = hexDigitValue(text[start.digits]);
    return digit >= 0 && digit < start.base;
}

// What is wrong with a list file's bytes before they are loaded, if anything.
std::optional<Reason> contentProblem(const QByteArray &bytes)
{
    if (bytes.trimmed().isEmpty())
        return Reason::Empty;
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return Reason::Utf16;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return Reason::Utf8;
    if (bytes.contains('\0'))
        return Reason::NotText;
    const QString first = decodeWindows1252(bytes.left(bytes.indexOf('\n'))).trimmed();
    const qsizetype comma = first.indexOf(u',');
    if (comma < 0 || !isCount(QStringView(first).first(comma))
        || !isCount(QStringView(first).sliced(comma + 1)))
        return Reason::NoCounts;
    return std::nullopt;
}

Reason reasonOf(EGridError::FileFault fault)
{
    switch (fault) {
    case EGridError::FileFault::NotRegularFile:
        return Reason::NotRegularFile;
    case EGridError::FileFault::TooLarge:
        return Reason::TooLarge;
    case EGridError::FileFault::CannotRead:
        return Reason::CannotRead;
    case EGridError::FileFault::TooManyCells:
        return Reason::TooManyCells;
    case EGridError::FileFault::CannotOpen:
    case EGridError::FileFault::None:
        break;
    }
    return Reason::CannotOpen;
}

bool holdsSettings(const GridModel &grid)
{
    for (int row = 1; row < grid.RowCount(); ++row) {
        if (settingRow(grid, row).isSetting())
            return true;
    }
    return false;
}

} // namespace

void loadSettingsPage(GridModel &grid, const QString &listFile, Language language, Release release)
{
    QByteArray bytes;
    try {
        bytes = GridModel::ReadGridFile(listFile);
    } catch (const EGridError &e) {
        throw ESettingListError({listFile, reasonOf(e.fault()), e.detail()});
    }
    loadSettingsPageData(grid, bytes, listFile, language, release);
}

void loadSettingsPageData(GridModel &grid, const QByteArray &bytes, const QString &listFile,
                          Language language, Release release)
{
    if (const auto problem = contentProblem(bytes))
        throw ESettingListError({listFile, *problem, {}});

    // Closed again also when the list cannot be loaded, so the grid repaints.
    const GridUpdateBracket bracket(grid);
    grid.SetFilterActive(false);
    grid.Filter().Clear();
    try {
        grid.LoadGridData(bytes, listFile);
    } catch (const EGridError &e) {
        throw ESettingListError({listFile, reasonOf(e.fault()), e.detail()});
    }
    if (!holdsSettings(grid))
        throw ESettingListError({listFile, Reason::NoSettings, {}});

    TFilterData &condition = grid.Filter().Add();
    condition.Column = SettingColumn::Release;
    condition.Condition = release == Release::R803 ? u"!8v0"_s : u"!8v3"_s;
    grid.SetFilterActive(true);

    // The type word is compared as written here: "SI/NO" rows get their box
    // only once their value has been read.
    for (int row = 1; row < grid.RowCount(); ++row) {
        const QString type = grid.Cells(SettingColumn::Type, row);
        if (type == u"Si/No"_s || type == u"Bool"_s) {
            grid.SetCheckBox(SettingColumn::Value, row,
                             grid.Cells(SettingColumn::Value, row) == u"True"_s);
        }
    }

    ImpostaHdrGrid(grid, language);
    grid.FocusCell(SettingColumn::Value, 1);
    grid.SpinEdit().MinValue = 0;
    grid.SpinEdit().Increment = 1;
    grid.SetFixedRowHeight(10);
    grid.SetDefaultRowHeight(47);
    grid.SetMultilinecells(true);
}

void emptySettingsPage(GridModel &grid, Language language)
{
    const GridUpdateBracket bracket(grid);
    grid.SetFilterActive(false);
    grid.Filter().Clear();
    // Down to the header row, so that every setting row goes with its check
    // box, then one blank row under it.
    grid.SetRowCount(1);
    grid.SetRowCount(2);
    grid.SetFixedRows(1);
    grid.ClearCells();
    ImpostaHdrGrid(grid, language);
    grid.FocusCell(SettingColumn::Value, 1);
    grid.SetFixedRowHeight(10);
    grid.SetDefaultRowHeight(47);
}
