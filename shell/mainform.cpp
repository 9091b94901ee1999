#include "mainform.h"

#include "buttoncaption.h"
#include "captions.h"
#include "dialogs.h"
#include "editingrules.h"
#include "filesystem.h"
#include "handlerguard.h"
#include "oxbutton.h"
#include "panel.h"
#include "processstarter.h"
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
    // A failing step ends the sequence; the window still opens as far as it got.
    guardHandler([this] { FormCreate(); });
}

TMainForm::~TMainForm()
{
    FormDestroy();
}

void TMainForm::connectHandlers()
{
    auto onChecked = [this](QAbstractButton *button, void (TMainForm::*handler)()) {
        connect(button, &QAbstractButton::toggled, this, [this, handler](bool checked) {
            if (checked)
                guardHandler([this, handler] { (this->*handler)(); });
        });
    };
    onChecked(Rb8v0, &TMainForm::Rb8v0Click);
    onChecked(Rb8v3, &TMainForm::Rb8v3Click);
    onChecked(RbEnglish, &TMainForm::RbEnglishClick);
    onChecked(RbItaliano, &TMainForm::RbItalianoClick);
    onChecked(RadioButton1, &TMainForm::RbEnglishClick);
    onChecked(RadioButton2, &TMainForm::RbEnglishClick);
    connect(CbWarning, &QCheckBox::toggled, this,
            [this] { guardHandler([this] { CbWarningClick(); }); });

    auto onClick = [this](QAbstractButton *button, void (TMainForm::*handler)()) {
        connect(button, &QAbstractButton::clicked, this,
                [this, handler] { guardHandler([this, handler] { (this->*handler)(); }); });
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
    }
}

void TMainForm::GridCanEditCell(TSettingsGrid *, int row, int col, bool &canEdit)
{
    canEdit = canEditSettingCell(row, col);
}

void TMainForm::GridIsFixedCell(TSettingsGrid *, int row, int col, bool &isFixed)
{
    isFixed = isFixedSettingCell(row, col);
}

void TMainForm::GridGetEditorType(TSettingsGrid *sender, int col, int row, TEditorType &editor)
{
    chooseSettingEditor(sender->model(), col, row, editor);
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
    settingCellColours(sender->model(), row, col, m_release, look);
}

void TMainForm::FormCreate()
{
    m_registry = std::make_unique<RegistryAccessor>(m_services.registry);
    m_toolFolder = toolFolderOf(m_services.files.executablePath());
    m_loading = true;
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
    setWindowTitle(u"Ordevan 8.0.4.0"_s);
    for (TPanel *page : pagePanels())
        page->move(page->x(), 88);
    for (TPanel *page : pagePanels())
        page->resize(page->width(), 401);
    for (TSettingsGrid *grid : grids())
        grid->model().ClearCells();
    for (TSettingsGrid *grid : grids())
        ImpostaGrid(grid);
    ReadSettings(true);
    RbUnaLista->setChecked(true);
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

void TMainForm::ReadSetup()
{
    m_registry->setRootKey(RootKey::CurrentUser);
    if (const OpenKeyScope key(*m_registry, PreferencesKey, true); key.isOpen()) {
        // Each value on its own: a missing, empty or wrong one is replaced by
        // its default at once and does not affect the next.
        auto read = [this](std::u16string_view name, const QString &fallback,
                           const std::function<void(const QString &)> &apply) {
            try {
                const QString text = QString::fromStdU16String(m_registry->readString(name));
                if (text.isEmpty())
                    throw ERegistryError("No Key");
                apply(text);
            } catch (const ERegistryError &) {
                m_registry->writeString(name, fallback.toStdU16String());
                apply(fallback);
            }
        };
        read(u"WantWarning", u"True"_s,
             [this](const QString &text) { m_warning = text == u"True"_s; });
        read(u"Language", u"English"_s, [this](const QString &text) {
            m_language = text == u"Italian"_s ? Language::Italian : Language::English;
        });
        read(u"Version", u"8v3"_s, [this](const QString &text) {
            m_release = text == u"8v3"_s ? Release::R803 : Release::R800;
        });
        try {
            m_targetPath = QString::fromStdU16String(m_registry->readString(u"PathIC8"));
            if (m_targetPath.isEmpty())
                throw ERegistryError("No Key");
            m_targetFound = m_services.files.isFile(m_targetPath);
        } catch (const ERegistryError &) {
            m_registry->writeString(u"PathIC8", m_targetPath.toStdU16String());
            m_targetFound = false;
        }
    }
}

void TMainForm::WriteSetup()
{
    m_registry->setRootKey(RootKey::CurrentUser);
    const OpenKeyScope key(*m_registry, PreferencesKey, true);
    if (!key.isOpen())
        return;
    m_registry->writeString(u"WantWarning", CbWarning->isChecked() ? u"False" : u"True");
    m_registry->writeString(u"Language", RbEnglish->isChecked() ? u"English" : u"Italian");
    m_registry->writeString(u"Version", Rb8v3->isChecked() ? u"8v3" : u"8v0");
    m_registry->writeString(u"PathIC8", m_targetPath.toStdU16String());
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
    m_release = release;
    for (TSettingsGrid *grid : grids())
        ImpostaGrid(grid);
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
    if (m_loading)
        return;
    setCaptions();
    for (TSettingsGrid *grid : grids())
        ImpostaGrid(grid);
    ReadSettings(true);
    WriteSetup();
}

void TMainForm::setCaptions()
{
    for (const CaptionRow &row : captionTable()) {
        if (auto *control = findChild<QWidget *>(row.control))
            setCaption(control, italian() ? row.italian : row.english);
    }
}

void TMainForm::setCaption(QWidget *control, const QString &caption)
{
    if (auto *panel = qobject_cast<TPanel *>(control))
        panel->setCaption(caption);
    else if (auto *button = qobject_cast<ToxButton *>(control))
        setPictureButtonCaption(*button, caption);
    else if (auto *button = qobject_cast<QAbstractButton *>(control))
        button->setText(caption);
    else if (auto *label = qobject_cast<QLabel *>(control))
        label->setText(caption);
}

void TMainForm::ImpostaGrid(TSettingsGrid *grid)
{
    const QString path = settingListPath(m_toolFolder, pageOf(grid), m_language);
    loadSettingsPage(grid->model(), m_services.files.localPath(path), m_language, m_release);
}

void TMainForm::ReadGridSettings(TSettingsGrid *grid)
{
    readPageSettings(grid->model(), *m_registry, pageOf(grid), m_release, m_language);
}

QStringList TMainForm::WriteGridSettings(TSettingsGrid *grid)
{
    return writePageSettings(grid->model(), *m_registry, pageOf(grid), m_release);
}

void TMainForm::forEachListInScope(bool all, const std::function<void(TSettingsGrid *)> &action)
{
    for (TSettingsGrid *grid : grids()) {
        if (all || isPageShown(grid->parentWidget()))
            action(grid);
    }
}

void TMainForm::ReadSettings(bool all)
{
    forEachListInScope(all, [this](TSettingsGrid *grid) { ReadGridSettings(grid); });
}

// A successful save says nothing. Values the registry refused are named, by
// page, in one message, so that nobody believes them saved; their cells keep
// what the user entered.
void TMainForm::WriteSettings(bool all)
{
    QStringList unsaved;
    forEachListInScope(all, [&](TSettingsGrid *grid) {
        const QStringList refused = WriteGridSettings(grid);
        if (!refused.isEmpty())
            unsaved.append(pageTitle(pageOf(grid), m_language) + u": "_s + refused.join(u", "_s));
    });
    if (unsaved.isEmpty())
        return;
    const QString intro = italian() ? u"Questi valori non sono stati salvati:"_s
                                    : u"These values could not be saved:"_s;
    m_services.dialogs.showMessage(QCoreApplication::applicationName(),
                                   intro + u"\r\r"_s + unsaved.join(u'\r'), MessageIcon::Warning);
}

void TMainForm::RestoreDefault(bool all)
{
    forEachListInScope(all, [this](TSettingsGrid *grid) { ImpostaGrid(grid); });
}

void TMainForm::DefaultBtnClick()
{
    RestoreDefault(RbTutteListe->isChecked());
}

void TMainForm::ReadBtnClick()
{
    ReadSettings(RbTutteListe->isChecked());
}

void TMainForm::SaveBtnClick()
{
    WriteSettings(RbTutteListe->isChecked());
}

void TMainForm::BtnPercorsoClick()
{
    OpenFileRequest request;
    request.title = italian() ? u"Selezionare l'eseguibile di InstantCopy 8 (ICopy.exe):"_s
                              : u"Select InstantCopy 8 executable (ICopy.exe):"_s;
    request.startPath = m_targetPath;
    request.filters
        = fileFiltersFromText(u"InstantCopy 8 (ICopy.exe)|ICopy.exe|exe files (*.exe)|*.exe"_s);
    request.selectedFilter = 0;
    const QString chosen = QDir::toNativeSeparators(m_services.dialogs.chooseOpenFile(request));
    if (chosen.isEmpty())
        return;
    // Whichever file was chosen, its folder's ICopy.exe is the target.
    m_targetPath = chosen.left(chosen.lastIndexOf(QDir::separator()) + 1) + u"ICopy.exe"_s;
    if (m_services.files.isFile(m_targetPath)) {
        WriteSetup();
        m_targetFound = true;
        BtnAvvia->setEnabled(true);
    }
}

void TMainForm::BtnAvviaClick()
{
    if (m_services.processes.startDetached(m_services.files.localPath(m_targetPath))) {
        m_services.terminate();
        return;
    }
    m_services.dialogs.showMessage(QCoreApplication::applicationName(),
                                   italian() ? u"Errore nell'eseguire InstantCopy (Percorso?)"_s
                                             : u"Error starting InstantCopy (Path?)"_s,
                                   MessageIcon::None);
}

bool TMainForm::isPageShown(const QWidget *pagePanel) const
{
    return pagePanel->x() < frameGeometry().width();
}

void TMainForm::showPage(TPanel *page)
{
    for (TPanel *panel : pagePanels())
        panel->move(panel == page ? 98 : frameGeometry().width(), panel->y());
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

QList<TSettingsGrid *> TMainForm::grids() const
{
    return {GridGenerale, GridCopia, GridSettaggi, GridPercorsi};
}

QList<TPanel *> TMainForm::pagePanels() const
{
    return {PanelGeneral, PanelCopy, PanelSettings, PanelProfiles, PanelDatapath};
}
