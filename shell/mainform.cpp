#include "mainform.h"

#include "buttoncaption.h"
#include "captions.h"
#include "dialogs.h"
#include "editingrules.h"
#include "filesystem.h"
#include "handlerguard.h"
#include "oxbutton.h"
#include "pagesave.h"
#include "panel.h"
#include "programlauncher.h"
#include "qttranslations.h"
#include "registrymapping.h"
#include "settingsgrid.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>

using namespace Qt::Literals::StringLiterals;

namespace {

// While the store is read or written, which through Wine takes a while.
struct BusyCursor
{
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

constexpr std::u16string_view PreferencesKey = u"\\Software\\Tarsel\\Ordevan8\\";

const QString StartupWarning = u"WARNING!!\r"
                               u"\r"
                               u"International copyright laws prohibit the unauthorized\r"
                               u"reproduction, distribution or exhibitions of copyrighted\r"
                               u"materials. Use of this software is permitted only if you\r"
                               u"have the original DVD or CD to be processed by IC8.\r"
                               u"\r"
                               u"(this message can be disabled)\r"_s;

// Checking a button from code runs its handler as a user's click does. The
// handler is called here rather than through Qt's signal, so that what it
// throws reaches the caller (the start-up sequence) and not Qt's code.
void checkFromCode(QAbstractButton *button, bool checked, const std::function<void()> &handler)
{
    if (button->isChecked() == checked)
        return;
    {
        const QSignalBlocker blocker(button);
        button->setChecked(checked);
    }
    handler();
}

} // namespace

TMainForm::TMainForm(const MainFormServices &services, QWidget *parent)
    : QWidget(parent)
    , m_services(services)
{
    createControls();
    connectHandlers();
    m_shownPage = PanelGeneral;
    hideOtherPages();
    // A failing step ends the sequence; the window still opens as far as it got.
    guardHandler([this] { FormCreate(); });
    refreshEditState();
}

TMainForm::~TMainForm()
{
    FormDestroy();
}

// Each action of the user tells its own problems, even those an earlier one told.
void TMainForm::runAction(void (TMainForm::*handler)())
{
    m_toldStoreProblem.clear();
    m_toldListProblems.clear();
    m_saveNote.clear();
    guardHandler([this, handler] { (this->*handler)(); });
    refreshEditState();
}

void TMainForm::connectHandlers()
{
    auto onChecked = [this](QAbstractButton *button, void (TMainForm::*handler)()) {
        connect(button, &QAbstractButton::toggled, this, [this, handler](bool checked) {
            if (checked)
                runAction(handler);
        });
    };
    onChecked(Rb8v0, &TMainForm::Rb8v0Click);
    onChecked(Rb8v3, &TMainForm::Rb8v3Click);
    onChecked(RbEnglish, &TMainForm::RbEnglishClick);
    onChecked(RbItaliano, &TMainForm::RbItalianoClick);
    onChecked(RadioButton1, &TMainForm::RbEnglishClick);
    onChecked(RadioButton2, &TMainForm::RbEnglishClick);
    connect(CbWarning, &QCheckBox::toggled, this,
            [this] { runAction(&TMainForm::CbWarningClick); });

    auto onClick = [this](QAbstractButton *button, void (TMainForm::*handler)()) {
        connect(button, &QAbstractButton::clicked, this, [this, handler] { runAction(handler); });
    };
    onClick(BtnGenerali, &TMainForm::BtnGeneraliClick);
    onClick(BtnCopia, &TMainForm::BtnCopiaClick);
    onClick(BtnSettaggi, &TMainForm::BtnSettaggiClick);
    onClick(BtnProfili, &TMainForm::BtnProfiliClick);
    onClick(BtnPath, &TMainForm::BtnPathClick);
    onClick(DefaultBtn, &TMainForm::DefaultBtnClick);
    onClick(ReadBtn, &TMainForm::ReadBtnClick);
    onClick(SaveBtn, &TMainForm::SaveBtnClick);
    onClick(BtnPercorso, &TMainForm::BtnPercorsoClick);
    onClick(BtnAvvia, &TMainForm::BtnAvviaClick);

    using namespace std::placeholders;
    for (TSettingsGrid *grid : grids()) {
        grid->OnCanEditCell = std::bind(&TMainForm::GridCanEditCell, this, _1, _2, _3, _4);
        grid->OnIsFixedCell = std::bind(&TMainForm::GridIsFixedCell, this, _1, _2, _3, _4);
        grid->OnGetEditorType = std::bind(&TMainForm::GridGetEditorType, this, _1, _2, _3, _4);
        grid->OnEllipsClick = std::bind(&TMainForm::GridEllipsClick, this, _1, _2, _3, _4);
        grid->OnCheckBoxClick = std::bind(&TMainForm::GridCheckBoxClick, this, _1, _2, _3, _4);
        grid->OnGetCellColor = std::bind(&TMainForm::GridGetCellColor, this, _1, _2, _3, _4, _5);
        grid->OnCellEdited = std::bind(&TMainForm::GridCellEdited, this, _1, _2, _3, _4);
        grid->OnContextPopup = std::bind(&TMainForm::GridContextPopup, this, _1, _2, _3, _4);
    }
    createShortcuts();
}

void TMainForm::GridCanEditCell(TSettingsGrid *sender, int row, int col, bool &canEdit)
{
    canEdit = canEditSettingCell(sender->model(), row, col, valueMissing(sender, row));
}

void TMainForm::GridIsFixedCell(TSettingsGrid *, int row, int col, bool &isFixed)
{
    isFixed = isFixedSettingCell(row, col);
}

void TMainForm::GridGetEditorType(TSettingsGrid *sender, int col, int row, TEditorType &editor)
{
    chooseSettingEditor(sender->model(), col, row, editor, valueMissing(sender, row));
}

void TMainForm::GridEllipsClick(TSettingsGrid *, int, int, QString &text)
{
    const auto answer = m_services.dialogs.promptText(
        italian() ? u"MODIFICA PARAMETRO TESTO"_s : u"CHANGE TEXT PARAMETER"_s,
        italian() ? u"Digitare il nuovo testo:"_s : u"Type new text:"_s, text);
    if (answer)
        text = *answer;
}

void TMainForm::GridCheckBoxClick(TSettingsGrid *sender, int col, int row, bool state)
{
    sender->model().SetCells(col, row, state ? u"True"_s : u"False"_s);
}

void TMainForm::GridGetCellColor(TSettingsGrid *sender, int row, int col, TGridDrawState,
                                 CellLook &look)
{
    const ValueMarks marks = col == SettingColumn::Value
        ? valueMarks(sender->model(), row, pageDefaults(sender), storedSettings(sender))
        : ValueMarks{};
    settingCellColours(sender->model(), row, col, m_release, look, marks);
}

void TMainForm::FormCreate()
{
    m_registry = std::make_unique<RegistryAccessor>(m_services.registry);
    if (!m_services.backups) {
        const QString store = m_services.storeChoice
            ? m_services.storeChoice->description(Language::English)
            : QString();
        m_ownBackups = std::make_unique<RegistryBackups>(RegistryBackups::defaultFolder(), store);
    }
    m_backups = m_services.backups ? m_services.backups : m_ownBackups.get();
    m_listFolder = settingListFolder(m_services.files);
    m_loading = true;
    try {
        const BusyCursor busy;
        readAheadAtStart(m_services.registry);
    } catch (const ERegistryStoreError &e) {
        reportStoreProblem(e); // told once; the reads below meet it again
    }
    ReadSetup();
    if (italian())
        checkFromCode(RbItaliano, true, [this] { RbItalianoClick(); });
    else
        checkFromCode(RbEnglish, true, [this] { RbEnglishClick(); });
    if (m_release == Release::R803)
        checkFromCode(Rb8v3, true, [this] { Rb8v3Click(); });
    else
        checkFromCode(Rb8v0, true, [this] { Rb8v0Click(); });
    checkFromCode(CbWarning, !m_warning, [this] { CbWarningClick(); });
    m_loading = false;

    BtnAvvia->setEnabled(m_targetFound);
    if (m_warning)
        m_services.dialogs.showMessage(u"Information"_s, StartupWarning, MessageIcon::Information);
    setWindowTitle(QStringLiteral("Ordevan " ORDEVAN_VERSION));
    for (TPanel *page : pagePanels())
        page->move(page->x(), 88);
    for (TPanel *page : pagePanels())
        page->resize(page->width(), 401);
    for (TSettingsGrid *grid : grids())
        grid->model().ClearCells();
    RbUnaLista->setChecked(true);
    // The language's own handler loads the four lists and reads them: done
    // here first as well, the same lists would be loaded and read twice in
    // a row, with the same result.
    if (italian())
        RbItalianoClick();
    else
        RbEnglishClick();
}

void TMainForm::FormDestroy()
{
    m_registry.reset();
}

void TMainForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_centred)
        return;
    m_centred = true;
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

namespace {

// A preference write the registry refused, told as a problem of the store.
ERegistryStoreError preferencesNotStored()
{
    return ERegistryStoreError(
        u"Ordevan's preferences cannot be stored in the registry: they apply until Ordevan "
        u"is closed.",
        u"Le preferenze di Ordevan non possono essere salvate nel registro: valgono fino "
        u"alla chiusura di Ordevan.");
}

} // namespace

void TMainForm::ReadSetup()
{
    m_registry->setRootKey(RootKey::CurrentUser);
    // What is known to be stored: what was read at once, the defaults
    // written once the batch is stored.
    QHash<QString, QString> read, written;
    bool refused = false;
    try {
        RegistryBatch batch(m_services.registry);
        {
            const OpenKeyScope key(*m_registry, PreferencesKey, true);
            if (!key.isOpen())
                return;
            // Each value on its own: a missing, empty or wrong one is replaced
            // by its default and does not affect the next. Whether or not the
            // default can be stored, the tool goes on with it.
            auto load = [&](const QString &name, const QString &fallback,
                            const std::function<void(const QString &)> &apply) {
                const auto value = m_registry->readValue(name.toStdU16String());
                const bool isText = value
                    && (value->kind == ValueKind::String || value->kind == ValueKind::ExpandString);
                const QString text = isText ? QString::fromStdU16String(value->text) : QString();
                if (!text.isEmpty()
                    || (value && value->kind == ValueKind::String && text == fallback)) {
                    read.insert(name, text);
                    apply(text);
                    return;
                }
                // Missing, empty or of another kind.
                try {
                    m_registry->writeString(name.toStdU16String(), fallback.toStdU16String());
                    written.insert(name, fallback);
                } catch (const ERegistryStoreError &) {
                    throw;
                } catch (const ERegistryError &) {
                    refused = true;
                }
                apply(fallback);
            };
            load(u"WantWarning"_s, u"True"_s,
                 [this](const QString &text) { m_warning = text == u"True"_s; });
            load(u"Language"_s, u"English"_s, [this](const QString &text) {
                m_language = text == u"Italian"_s ? Language::Italian : Language::English;
            });
            load(u"Version"_s, u"8v3"_s, [this](const QString &text) {
                m_release = text == u"8v3"_s ? Release::R803 : Release::R800;
            });
            // The path read is the target even when it is empty.
            load(u"PathIC8"_s, m_targetPath, [this](const QString &text) {
                m_targetPath = text;
                m_targetFound = m_services.files.isFile(m_services.programs.localFile(text));
            });
        }
        batch.commit();
        read.insert(written);
    } catch (const ERegistryStoreError &e) {
        reportStoreProblem(e);
    }
    m_storedPreferences = read;
    if (refused)
        reportStoreProblem(preferencesNotStored());
}

void TMainForm::WriteSetup()
{
    const std::array<std::pair<QString, QString>, 4> wanted = {{
        {u"WantWarning"_s, CbWarning->isChecked() ? u"False"_s : u"True"_s},
        {u"Language"_s, RbEnglish->isChecked() ? u"English"_s : u"Italian"_s},
        {u"Version"_s, Rb8v3->isChecked() ? u"8v3"_s : u"8v0"_s},
        {u"PathIC8"_s, m_targetPath},
    }};
    m_registry->setRootKey(RootKey::CurrentUser);
    QHash<QString, QString> written;
    try {
        RegistryBatch batch(m_services.registry);
        {
            const OpenKeyScope key(*m_registry, PreferencesKey, true);
            if (!key.isOpen())
                return;
            for (const auto &[name, text] : wanted) {
                // Only what changed here: what another instance stored in the
                // meantime stays, and an unchanged start writes nothing.
                const auto stored = m_storedPreferences.constFind(name);
                if (stored != m_storedPreferences.constEnd() && *stored == text)
                    continue;
                m_registry->writeString(name.toStdU16String(), text.toStdU16String());
                written.insert(name, text);
            }
        }
        batch.commit();
    } catch (const ERegistryStoreError &e) {
        reportStoreProblem(e);
        return;
    } catch (const ERegistryError &) {
        reportStoreProblem(preferencesNotStored());
        return;
    }
    m_storedPreferences.insert(written);
    if (!written.isEmpty())
        m_toldStoreProblem.clear();
}

void TMainForm::reportStoreProblem(const ERegistryStoreError &error)
{
    const QString told = QString::fromStdU16String(error.text(Language::English));
    if (told == m_toldStoreProblem)
        return;
    m_toldStoreProblem = told;
    m_services.dialogs.showMessage(QCoreApplication::applicationName(),
                                   QString::fromStdU16String(error.text(m_language)),
                                   MessageIcon::Error);
}

void TMainForm::CbWarningClick()
{
    if (!m_loading)
        WriteSetup();
}

void TMainForm::Rb8v0Click()
{
    releaseChange(Release::R800);
}

void TMainForm::Rb8v3Click()
{
    releaseChange(Release::R803);
}

void TMainForm::releaseChange(Release release)
{
    const QString name = release == Release::R803 ? u"8.0.3.x"_s : u"8.0.0.x"_s;
    if (!m_loading && release != m_release
        && !mayDiscardEdits(grids(),
                            (italian() ? u"Passare a InstantCopy %1 rilegge tutte le liste."_s
                                       : u"Switching to InstantCopy %1 reads all lists again."_s)
                                .arg(name))) {
        // Kept: the release the edits were made for stays chosen.
        QRadioButton *current = m_release == Release::R803 ? Rb8v3 : Rb8v0;
        const QSignalBlocker blocker(current);
        current->setChecked(true);
        return;
    }
    m_release = release;
    loadLists(grids());
    ReadSettings(true);
    if (!m_loading)
        WriteSetup();
}

void TMainForm::RbEnglishClick()
{
    languageChange(Language::English);
}

void TMainForm::RbItalianoClick()
{
    languageChange(Language::Italian);
}

void TMainForm::languageChange(Language language)
{
    m_language = language;
    useQtTranslations(language);
    if (m_loading)
        return;
    setCaptions();
    // The lists are loaded and read again in the other language; the edits
    // not saved yet are values, the same in either, and stay.
    QList<PageValues> edits;
    for (TSettingsGrid *grid : grids())
        edits.append(editedValues(grid->model(), storedSettings(grid)));
    const EditHistory history = m_history;
    loadLists(grids());
    ReadSettings(true);
    for (TSettingsGrid *grid : grids())
        restoreValues(grid->model(), edits.takeFirst());
    m_history = history;
    WriteSetup();
}

void TMainForm::setCaptions()
{
    // Where the settings are edited, for whoever wonders which copy of them.
    if (m_services.storeChoice) {
        Panel9->setToolTip((italian() ? u"Impostazioni modificate %1"_s : u"Settings edited %1"_s)
                               .arg(m_services.storeChoice->location(m_language)));
    }
    for (const CaptionRow &row : captionTable()) {
        if (auto *control = findChild<QWidget *>(row.control))
            setCaption(control, italian() ? row.italian : row.english);
    }
}

void TMainForm::setCaption(QWidget *control, const QString &caption)
{
    if (auto *panel = qobject_cast<TPanel *>(control))
        panel->setCaption(caption);
    else if (auto *pictureButton = qobject_cast<ToxButton *>(control))
        setPictureButtonCaption(*pictureButton, caption); // narrowed to fit its face
    else if (auto *button = qobject_cast<QAbstractButton *>(control))
        button->setText(caption);
    else if (auto *label = qobject_cast<QLabel *>(control))
        label->setText(caption);
}

void TMainForm::ImpostaGrid(TSettingsGrid *grid)
{
    loadSettingsPage(grid->model(),
                     settingListFile(m_services.files, m_listFolder, pageOf(grid), m_language),
                     m_language, m_release);
}

void TMainForm::loadLists(const QList<TSettingsGrid *> &lists)
{
    QStringList problems;
    for (TSettingsGrid *grid : lists) {
        try {
            ImpostaGrid(grid);
            pageDefaults(grid).takeFrom(grid->model());
        } catch (const ESettingListError &e) {
            emptySettingsPage(grid->model(), m_language);
            storedSettings(grid).clear();
            pageDefaults(grid).clear();
            problems.append(settingListProblemText(e.problem(), m_language));
        }
    }
    // Start-up loads the lists more than once: the same problems are told once.
    const QString text = problems.join(u"\r\r"_s);
    if (text == std::exchange(m_toldListProblems, text) || text.isEmpty())
        return;
    m_services.dialogs.showMessage(QCoreApplication::applicationName(), text, MessageIcon::Error);
}

StoredSettings &TMainForm::storedSettings(const TSettingsGrid *grid)
{
    return m_storedSettings[static_cast<std::size_t>(pageOf(grid))];
}

PageDefaults &TMainForm::pageDefaults(const TSettingsGrid *grid)
{
    return m_defaults[static_cast<std::size_t>(pageOf(grid))];
}

bool TMainForm::valueMissing(TSettingsGrid *grid, int row)
{
    const auto name = settingValueName(grid->model(), row);
    return name && storedSettings(grid).isMissing(*name);
}

void TMainForm::ReadGridSettings(TSettingsGrid *grid)
{
    const PageRead read = [&] {
        const BusyCursor busy; // the store may be read through Wine
        return readPageSettings(grid->model(), *m_registry, pageOf(grid), m_release, m_language,
                                storedSettings(grid));
    }();
    m_history.forget(pageOf(grid));
    if (pageOf(grid) == SettingsPage::General) // its key is the release's own
        m_settingsMissing = read.keyMissing;
    if (read.storeError)
        reportStoreProblem(*read.storeError);
}

PageSave TMainForm::WriteGridSettings(TSettingsGrid *, const PagePlan &plan)
{
    return writePlannedPage(*m_registry, plan);
}

void TMainForm::forEachListInScope(bool all, const std::function<void(TSettingsGrid *)> &action)
{
    for (TSettingsGrid *grid : listsInScope(all))
        action(grid);
}

QList<TSettingsGrid *> TMainForm::listsInScope(bool all)
{
    QList<TSettingsGrid *> lists = grids();
    lists.removeIf([&](TSettingsGrid *grid) { return !all && !isPageShown(grid->parentWidget()); });
    return lists;
}

void TMainForm::ReadSettings(bool all)
{
    forEachListInScope(all, [this](TSettingsGrid *grid) { ReadGridSettings(grid); });
}

void TMainForm::WriteSettings(bool all)
{
    saveLists(listsInScope(all));
}

// All lists given are one batch: stored whole or not at all. A save that
// stored everything says nothing; anything else is told in one message.
void TMainForm::saveLists(const QList<TSettingsGrid *> &lists)
{
    QList<PageToSave> pages;
    for (TSettingsGrid *grid : lists)
        pages.append({pageOf(grid), &grid->model(), &storedSettings(grid), std::nullopt});
    QList<std::pair<SettingsPage, PageSave>> saves;
    try {
        const BusyCursor busy;
        saves = savePages(m_services.registry, *m_registry, *m_backups, m_release, pages,
                          [this](const PageToSave &page, const PagePlan &plan) {
                              return WriteGridSettings(gridOf(page.page), plan);
                          });
    } catch (const ERegistryStoreError &e) {
        m_toldStoreProblem = QString::fromStdU16String(e.text(Language::English));
        m_services.dialogs.showMessage(
            QCoreApplication::applicationName(),
            (italian() ? u"Non è stato salvato nulla."_s : u"Nothing was saved."_s) + u"\r\r"_s
                + QString::fromStdU16String(e.text(m_language)),
            MessageIcon::Warning);
        return;
    }
    for (TSettingsGrid *grid : lists) {
        m_history.forget(pageOf(grid));
        grid->viewport()->update(); // the saved values lose their marks
    }
    m_saveNote = editsLeftAfterSave(lists);
    const SaveReport report = saveReport(saves, m_language, m_release);
    if (!report.text.isEmpty()) {
        m_services.dialogs.showMessage(QCoreApplication::applicationName(), report.text,
                                       report.unsaved ? MessageIcon::Warning
                                                      : MessageIcon::Information);
    }
}

void TMainForm::RestoreDefault(bool all)
{
    const QList<TSettingsGrid *> lists = listsInScope(all);
    recordChanges(lists, [&] { loadLists(lists); });
}

void TMainForm::DefaultBtnClick()
{
    RestoreDefault(RbTutteListe->isChecked());
}

void TMainForm::ReadBtnClick()
{
    const bool all = RbTutteListe->isChecked();
    if (mayDiscardEdits(listsInScope(all),
                        italian() ? u"Leggere le impostazioni le rilegge."_s
                                  : u"Reading the settings reads them again."_s)) {
        m_services.registry.refresh(); // as they are now, whoever holds them
        ReadSettings(all);
    }
}

void TMainForm::SaveBtnClick()
{
    WriteSettings(RbTutteListe->isChecked());
}

void TMainForm::BtnPercorsoClick()
{
    ProgramLauncher &programs = m_services.programs;
    OpenFileRequest request;
    request.title = italian() ? u"Selezionare l'eseguibile di InstantCopy 8 (ICopy.exe):"_s
                              : u"Select InstantCopy 8 executable (ICopy.exe):"_s;
    request.startPath
        = m_targetPath.isEmpty() ? programs.browseFolder() : programs.localFile(m_targetPath);
    request.filters
        = fileFiltersFromText(u"InstantCopy 8 (ICopy.exe)|ICopy.exe|exe files (*.exe)|*.exe"_s);
    request.selectedFilter = 0;
    const QString chosen = QDir::toNativeSeparators(m_services.dialogs.chooseOpenFile(request));
    if (chosen.isEmpty())
        return;
    // Whichever file was chosen, its folder's ICopy.exe is the target,
    // found there whatever the case of its name.
    const QString folder = chosen.left(chosen.lastIndexOf(QDir::separator()));
    const QString local = QDir::toNativeSeparators(
        m_services.files.localPathIn(QDir::fromNativeSeparators(folder), u"ICopy.exe"_s));
    const std::optional<QString> stored = programs.storedPath(local);
    const bool found = m_services.files.isFile(local);
    if (found && !stored) {
        m_services.dialogs.showMessage(
            QCoreApplication::applicationName(),
            (italian() ? u"InstantCopy non può essere avviato da %1: la cartella non è su nessuna "
                         u"unità del prefisso Wine, o il suo nome ha caratteri che Windows non "
                         u"ammette."_s
                       : u"InstantCopy cannot be started from %1: the folder is on no drive of "
                         u"the Wine prefix, or its name has characters that Windows does not "
                         u"allow."_s)
                .arg(folder),
            MessageIcon::Error);
        return;
    }
    m_targetPath = stored.value_or(local);
    if (found) {
        WriteSetup();
        m_targetFound = true;
        BtnAvvia->setEnabled(true);
    }
}

void TMainForm::BtnAvviaClick()
{
    // Ordevan ends once the copy program starts: what is to be saved is
    // saved first, and the close that ends it asks nothing more.
    if (!mayClose())
        return;
    const LaunchResult result = m_services.programs.launch(m_targetPath);
    if (result == LaunchResult::Started) {
        m_closeApproved = true;
        m_services.terminate();
        return;
    }
    const QString text = result == LaunchResult::NoWine
        ? (italian() ? u"InstantCopy è un programma Windows e serve Wine per avviarlo: nessun "
                       u"\"wine\" è stato trovato nel percorso di ricerca (PATH)."_s
                     : u"InstantCopy is a Windows program and needs Wine to start: no \"wine\" "
                       u"was found on the search path (PATH)."_s)
        : (italian() ? u"Errore nell'eseguire InstantCopy (Percorso?)"_s
                     : u"Error starting InstantCopy (Path?)"_s);
    m_services.dialogs.showMessage(QCoreApplication::applicationName(), text, MessageIcon::None);
}

bool TMainForm::isPageShown(const QWidget *pagePanel) const
{
    return pagePanel == m_shownPage;
}

void TMainForm::showPage(TPanel *page)
{
    m_shownPage = page;
    for (TPanel *panel : pagePanels())
        panel->move(panel == page ? 98 : frameGeometry().width(), panel->y());
    hideOtherPages();
}

// The pages not shown are parked right of the window's fixed width; a window
// manager that ignores the fixed size (a tiling one) would uncover them.
void TMainForm::hideOtherPages()
{
    for (TPanel *panel : pagePanels())
        panel->setVisible(panel == m_shownPage);
}

void TMainForm::BtnGeneraliClick()
{
    showPage(PanelGeneral);
}

void TMainForm::BtnCopiaClick()
{
    showPage(PanelCopy);
}

void TMainForm::BtnSettaggiClick()
{
    showPage(PanelSettings);
}

void TMainForm::BtnProfiliClick()
{
    showPage(PanelProfiles);
}

void TMainForm::BtnPathClick()
{
    showPage(PanelDatapath);
}

TSettingsGrid *TMainForm::gridOf(SettingsPage page) const
{
    return grids().at(static_cast<qsizetype>(page));
}

SettingsPage TMainForm::pageOf(const TSettingsGrid *grid) const
{
    if (grid == GridCopia)
        return SettingsPage::Copy;
    if (grid == GridSettaggi)
        return SettingsPage::Options;
    if (grid == GridPercorsi)
        return SettingsPage::DataPath;
    return SettingsPage::General;
}

ToxButton *TMainForm::pageButton(const TSettingsGrid *grid) const
{
    if (grid == GridGenerale)
        return BtnGenerali;
    if (grid == GridCopia)
        return BtnCopia;
    if (grid == GridSettaggi)
        return BtnSettaggi;
    if (grid == GridPercorsi)
        return BtnPath;
    return nullptr;
}

QList<TSettingsGrid *> TMainForm::grids() const
{
    return {GridGenerale, GridCopia, GridSettaggi, GridPercorsi};
}

QList<TPanel *> TMainForm::pagePanels() const
{
    return {PanelGeneral, PanelCopy, PanelSettings, PanelProfiles, PanelDatapath};
}
