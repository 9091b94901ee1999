#pragma once

// The settings pages and how each is filled from its setting list file.

#include "filesystem.h"
#include "gridmodel.h"
#include "language.h"

#include <QString>

#include <array>

// The release of the copy program whose settings are edited.
enum class Release {
    R800, // 8.0.0.x, stored as "8v0"
    R803 // 8.0.3.x, stored as "8v3"
};

enum class SettingsPage { General, Copy, Options, DataPath };
inline constexpr std::array AllSettingsPages
    = {SettingsPage::General, SettingsPage::Copy, SettingsPage::Options, SettingsPage::DataPath};

// "GENERAL", "COPY", "SETTINGS", "DATAPATH".
QString pageName(SettingsPage page);
// The page's title as the user reads it.
QString pageTitle(SettingsPage page, Language language);
// The folder of the executable with its trailing backslash, upper-cased.
QString toolFolderOf(const QString &executablePath);
// Page name + "_ENG.TXT" or "_ITA.TXT".
QString settingListName(SettingsPage page, Language language);
// tool folder + "DATA\" + that name.
QString settingListPath(const QString &toolFolder, SettingsPage page, Language language);

// The folder of the setting lists, in the platform's form: DATA beside the
// executable, as it is built; or, as it is installed (bin/ordevan),
// share/ordevan/DATA beside its bin folder. The first of these that exists
// holds them all; with neither, the one beside the executable, for the
// error that names a file in it.
QString settingListFolder(const FileSystem &files);
// The list file of `page` in `language` inside that folder.
QString settingListFile(const FileSystem &files, const QString &folder, SettingsPage page,
                        Language language);

// Writes the column headers of `language` into row 0, columns 0 to 3.
void ImpostaHdrGrid(GridModel &grid, Language language);

// What can make a setting list file unusable.
struct SettingListProblem
{
    enum class Reason {
        CannotOpen, // `detail`: the system's words
        NotRegularFile,
        TooLarge,
        CannotRead, // `detail`: the system's words
        Empty,
        Utf16,
        Utf8,
        NotText,
        NoCounts,
        TooManyCells,
        NoSettings
    };
    QString path;
    Reason reason = Reason::CannotOpen;
    QString detail;
};

class ESettingListError : public EGridError
{
public:
    explicit ESettingListError(SettingListProblem problem);
    const SettingListProblem &problem() const { return m_problem; }

private:
    SettingListProblem m_problem;
};

// The problem as the user is told it.
QString settingListProblemText(const SettingListProblem &problem, Language language);

// Loads a page's grid from its setting list file (a local path): rows of the
// other release hidden, yes/no rows given their check boxes, headers,
// current cell, editor and row settings. A file that cannot be read, or that
// is empty, not Windows-1252 text or holds no settings, raises
// ESettingListError.
void loadSettingsPage(GridModel &grid, const QString &listFile, Language language, Release release);
// The same from the file's bytes, read already.
void loadSettingsPageData(GridModel &grid, const QByteArray &bytes, const QString &listFile,
                          Language language, Release release);

// What a page shows when its list cannot be used: its headers and no rows.
void emptySettingsPage(GridModel &grid, Language language);
