#pragma once

// The tool's one window: start-up and preferences, the page panels and their
// grids, the release, language and list-scope choices and the commands.

#include "gridtypes.h"
#include "registryaccessor.h"
#include "registrymapping.h"
#include "settingspages.h"
#include "storechoice.h"
#include "valuechanges.h"

#include <QHash>
#include <QWidget>

#include <array>
#include <functional>

class Dialogs;
class FileSystem;
class ProgramLauncher;
class QCheckBox;
class QLabel;
class QRadioButton;
class TPanel;
class TSettingsGrid;
class TShape;
class ToxButton;

// What the main window is given to work with.
struct MainFormServices
{
    RegistryStore &registry;
    FileSystem &files;
    Dialogs &dialogs;
    // The copy program: its stored path, its file here, its start.
    ProgramLauncher &programs;
    // Ends the tool once the copy program has started.
    std::function<void()> terminate;
    // Which registry `registry` is, told in the title's tooltip.
    std::optional<StoreChoice> storeChoice = std::nullopt;
    // Where each save is backed up first; by default the usual folder,
    // for the store of `storeChoice`.
    RegistryBackups *backups = nullptr;
};

class TMainForm : public QWidget
{
    Q_OBJECT

public:
    explicit TMainForm(const MainFormServices &services, QWidget *parent = nullptr);
    ~TMainForm() override;

    Language language() const { return m_language; }
    Release release() const { return m_release; }
    const QString &targetPath() const { return m_targetPath; }
    bool loading() const { return m_loading; }

    // The page panel in view, the one the navigation buttons last chose.
    bool isPageShown(const QWidget *pagePanel) const;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    bool italian() const { return m_language == Language::Italian; }

    // Controls, named as the form names them; other code finds them by
    // these names, which are their object names.
    TPanel *PanelCopy, *Panel2, *PanelGeneral, *PanelSettings, *PanelProfiles, *PanelDatapath;
    TPanel *Panel1, *Panel5, *Panel6, *Panel7, *Panel9;
    TPanel *Panel3, *Panel8, *Panel4, *Panel10, *Panel12, *Panel14;
    TSettingsGrid *GridGenerale, *GridCopia, *GridSettaggi, *GridPercorsi;
    QLabel *Label1, *Label2;
    ToxButton *BtnGenerali, *BtnCopia, *BtnSettaggi, *BtnPath, *BtnProfili;
    QLabel *Image1, *Label14, *Label3;
    ToxButton *BtnPercorso, *BtnAvvia;
    QLabel *Label4;
    QRadioButton *Rb8v0, *Rb8v3;
    QLabel *Label8, *Label6, *Label5, *Label7;
    TShape *Shape2, *Shape1, *Shape3;
    QLabel *Image2, *Image3, *Image4, *Image5, *Image6;
    QRadioButton *RbEnglish, *RbItaliano, *RadioButton1, *RadioButton2;
    QCheckBox *CbWarning;
    QRadioButton *RbUnaLista, *RbTutteListe;
    ToxButton *DefaultBtn, *ReadBtn, *SaveBtn;

    // Handlers, named as the form names them.
    void CbWarningClick();
    void Rb8v0Click();
    void Rb8v3Click();
    void RbEnglishClick();
    void RbItalianoClick();
    void BtnGeneraliClick();
    void BtnCopiaClick();
    void BtnSettaggiClick();
    void BtnProfiliClick();
    void BtnPathClick();
    void DefaultBtnClick();
    void ReadBtnClick();
    void SaveBtnClick();
    void BtnPercorsoClick();
    void BtnAvviaClick();

    // Grid events, shared by the four grids; the sender is the grid.
    void GridCanEditCell(TSettingsGrid *sender, int row, int col, bool &canEdit);
    void GridIsFixedCell(TSettingsGrid *sender, int row, int col, bool &isFixed);
    void GridGetEditorType(TSettingsGrid *sender, int col, int row, TEditorType &editor);
    void GridEllipsClick(TSettingsGrid *sender, int col, int row, QString &text);
    void GridCheckBoxClick(TSettingsGrid *sender, int col, int row, bool state);
    void GridGetCellColor(TSettingsGrid *sender, int row, int col, TGridDrawState state,
                          CellLook &look);
    void GridCellEdited(TSettingsGrid *sender, int col, int row, const QString &before);
    void GridContextPopup(TSettingsGrid *sender, int col, int row, const QPoint &globalPos);

    void ReadSetup();
    void WriteSetup();
    // Raises ESettingListError when the grid's list cannot be used.
    void ImpostaGrid(TSettingsGrid *grid);
    void ReadGridSettings(TSettingsGrid *grid);
    // Part of a save: writes what was planned for the grid's page, inside
    // the batch that planned it.
    PageSave WriteGridSettings(TSettingsGrid *grid, const PagePlan &plan);
    void ReadSettings(bool all);
    void WriteSettings(bool all);
    void saveLists(const QList<TSettingsGrid *> &lists);
    void RestoreDefault(bool all);

    void createControls();
    void connectHandlers();
    void runAction(void (TMainForm::*handler)());
    void FormCreate();
    void FormDestroy();

    void setCaptions();
    void setCaption(QWidget *control, const QString &caption);
    // ImpostaGrid for each grid in turn; a list that cannot be used leaves
    // its own page empty and is named in one message afterwards.
    void loadLists(const QList<TSettingsGrid *> &lists);
    void reportStoreProblem(const ERegistryStoreError &error);
    StoredSettings &storedSettings(const TSettingsGrid *grid);
    bool valueMissing(TSettingsGrid *grid, int row);
    void releaseChange(Release release);
    void languageChange(Language language);
    void showPage(TPanel *page);
    void hideOtherPages();
    // The marks of the page buttons whose lists hold edits not saved, and
    // the status line under the title.
    void refreshEditState();
    ToxButton *pageButton(const TSettingsGrid *grid) const;
    QString editsLeftAfterSave(const QList<TSettingsGrid *> &saved);
    void forEachListInScope(bool all, const std::function<void(TSettingsGrid *)> &action);
    QList<TSettingsGrid *> listsInScope(bool all);
    PageDefaults &pageDefaults(const TSettingsGrid *grid);
    TSettingsGrid *gridOf(SettingsPage page) const;

    // What was changed here and not saved (mainformedits.cpp).
    bool hasUnsavedEdits(const QList<TSettingsGrid *> &lists);
    // The edits of each list not saved yet, an open edit committed first.
    QList<std::pair<SettingsPage, PageValues>> unsavedEdits(const QList<TSettingsGrid *> &lists);
    // Asks whether to discard the unsaved edits of `lists` before `action`
    // reads them again; true when there are none or the user agreed.
    bool mayDiscardEdits(const QList<TSettingsGrid *> &lists, const QString &action);
    // Asks to save, discard or keep unsaved edits before the window closes;
    // true when it may close.
    bool mayClose();
    void setValueFromMenu(TSettingsGrid *grid, int row, const QString &text);
    void undoEdit();
    void undoLastSave();
    void applyUndo(const QList<ValueEdit> &step);
    void recordChanges(const QList<TSettingsGrid *> &lists, const std::function<void()> &change);
    void createShortcuts();
    SettingsPage pageOf(const TSettingsGrid *grid) const;
    QList<TSettingsGrid *> grids() const;
    QList<TPanel *> pagePanels() const;

    MainFormServices m_services;

    // Window state read by the settings pages.
    QString m_listFolder;
    bool m_loading = false;
    bool m_warning = false;
    Language m_language = Language::English;
    Release m_release = Release::R800;
    QString m_targetPath;
    bool m_targetFound = false;
    std::unique_ptr<RegistryAccessor> m_registry;
    std::unique_ptr<RegistryBackups> m_ownBackups;
    RegistryBackups *m_backups = nullptr;

    // What the store held when it was last read or written here, so that a
    // save writes only what was changed here.
    std::array<StoredSettings, AllSettingsPages.size()> m_storedSettings;
    // The lists' own values, by page, and the edits Ctrl+Z takes back.
    std::array<PageDefaults, AllSettingsPages.size()> m_defaults;
    EditHistory m_history;
    QHash<QString, QString> m_storedPreferences;
    // The store and list problems told in the action running now (start-up
    // is one), so that each is told once in it.
    QString m_toldStoreProblem;
    QString m_toldListProblems;
    TPanel *m_shownPage = nullptr;
    QLabel *m_statusLine = nullptr;
    // What the last save left to say, until the next action.
    QString m_saveNote;
    // The copy program has not created its release's key in the store: the
    // lists' defaults are shown as though they were its values.
    bool m_settingsMissing = false;

    bool m_centred = false;
    // The user agreed to close with what is not saved (starting the copy
    // program): the close asks nothing again.
    bool m_closeApproved = false;
};
