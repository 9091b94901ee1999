#include "ctl.h"

#include "filesystem.h"
#include "gridmodel.h"
#include "pagesave.h"
#include "regfile.h"
#include "registryaccessor.h"
#include "registrybackups.h"
#include "registrymapping.h"
#include "settingspages.h"
#include "storechoice.h"
#include "text.h"
#include "valuechanges.h"
#include "valuerules.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <array>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr std::u16string_view PreferencesKey = u"\\Software\\Tarsel\\Ordevan8";

// A refusal of the command line: the message, and the exit code it ends with.
struct CtlError
{
    QString message;
    CtlExit exit = CtlRefused;
};

struct Options
{
    std::optional<Release> release;
    std::optional<Language> language;
    StoreOptions store;
    bool utf8 = false;
    QString outputFile;
    QStringList operands; // the command first
};

QString usage()
{
    return u"usage: ordevanctl [options] command [arguments]\n"
           u"\n"
           u"commands:\n"
           u"  list [PAGE]              every setting: name, value, type, release tag\n"
           u"  get NAME                 the stored value\n"
           u"  set NAME VALUE           store a value, checked as the window checks it\n"
           u"  reset NAME... | --page PAGE | --all\n"
           u"                           back to the lists' defaults\n"
           u"  describe NAME            type, allowed values, default, release, description\n"
           u"  dump [PAGE]              the values as a registry-export file\n"
           u"  load FILE                apply such a file: all of it or nothing\n"
           u"  backups                  the backups made before each save\n"
           u"  restore [BACKUP]         undo the newest save, or the one named\n"
           u"\n"
           u"PAGE is General, Copy, Options or \"Data Path\".\n"
           u"\n"
           u"options:\n"
           u"  --release 8.0.0|8.0.3    the release (default: the one the window last used)\n"
           u"  --lang en|it             the language (default: the window's)\n"
           u"  --utf8                   dump as UTF-8 even when not to a terminal\n"
           u"  -o FILE                  dump into FILE, as UTF-16 the registry editor reads\n"_s
        + storeOptionsUsage()
        + u"  --help, --version\n"
          u"\n"
          u"exit codes: 0 done, 1 the store failed, 2 usage or refused input\n"_s;
}

// The options and operands of `arguments`; nullopt when only help or the
// version was asked for and is printed.
std::optional<Options> parseOptions(const QStringList &arguments, std::FILE *out)
{
    Options options;
    QString error;
    QStringList rest;
    const auto store = parseStoreOptions(arguments, &error, &rest);
    if (!store)
        throw CtlError{error};
    options.store = *store;
    for (qsizetype i = 0; i < rest.size(); ++i) {
        const QString &argument = rest[i];
        const auto value = [&](const QString &name) {
            if (argument.startsWith(name + u'='))
                return argument.mid(name.size() + 1);
            if (i + 1 >= rest.size())
                throw CtlError{u"%1 needs a value"_s.arg(name)};
            return rest[++i];
        };
        if (argument == u"--help"_s || argument == u"-h"_s) {
            std::fputs(qUtf8Printable(usage()), out);
            return std::nullopt;
        }
        if (argument == u"--version"_s) {
            std::fputs("ordevanctl " ORDEVAN_VERSION "\n", out);
            return std::nullopt;
        }
        if (argument == u"--utf8"_s) {
            options.utf8 = true;
        } else if (argument == u"-o"_s || argument.startsWith(u"-o="_s)) {
            options.outputFile
                = argument == u"-o"_s && i + 1 < rest.size() ? rest[++i] : argument.mid(3);
            if (options.outputFile.isEmpty())
                throw CtlError{u"-o needs a file"_s};
        } else if (argument == u"--release"_s || argument.startsWith(u"--release="_s)) {
            const QString release = value(u"--release"_s);
            if (release == u"8.0.0"_s || release == u"8v0"_s)
                options.release = Release::R800;
            else if (release == u"8.0.3"_s || release == u"8v3"_s)
                options.release = Release::R803;
            else
                throw CtlError{u"--release takes 8.0.0 or 8.0.3, not %1"_s.arg(release)};
        } else if (argument == u"--lang"_s || argument.startsWith(u"--lang="_s)) {
            const QString language = value(u"--lang"_s);
            if (language == u"en"_s)
                options.language = Language::English;
            else if (language == u"it"_s)
                options.language = Language::Italian;
            else
                throw CtlError{u"--lang takes en or it, not %1"_s.arg(language)};
        } else if (argument.startsWith(u"--"_s) && argument.size() > 2
                   && options.operands.isEmpty()) {
            throw CtlError{u"unknown option %1"_s.arg(argument)};
        } else {
            options.operands.append(argument);
        }
    }
    if (options.operands.isEmpty())
        throw CtlError{u"no command given"_s};
    return options;
}

// One page of settings, loaded from its list and read from the store.
struct Page
{
    SettingsPage page = SettingsPage::General;
    GridModel grid;
    PageDefaults defaults;
    StoredSettings stored;
};

class Ctl
{
public:
    Ctl(const Options &options, std::FILE *out, std::FILE *err, bool outIsTerminal);
    int run();

private:
    QString say(const QString &english, const QString &italian) const
    {
        return m_language == Language::Italian ? italian : english;
    }
    void print(const QString &text) const { std::fputs(qUtf8Printable(text), m_out); }

    void openStore();
    void readPreferences();
    void loadPages();
    bool readPages(const QList<Page *> &pages);
    QList<Page *> pagesNamed(const QString &name);
    std::pair<Page *, int> setting(const QString &name);
    void save(const QList<Page *> &pages, const QStringList &names);
    void needOperands(qsizetype least, qsizetype most) const;

    int list();
    int get();
    int set();
    int reset();
    int describe();
    int dump();
    int load();
    int backups();
    int restore();

    Options m_options;
    std::FILE *m_out;
    std::FILE *m_err;
    bool m_outIsTerminal;
    Language m_language = Language::English;
    Release m_release = Release::R803;
    std::optional<StoreChoice> m_choice;
    std::unique_ptr<RegistryStore> m_store;
    std::unique_ptr<RegistryAccessor> m_registry;
    std::unique_ptr<RegistryBackups> m_backups;
    std::array<Page, AllSettingsPages.size()> m_pages;
};

Ctl::Ctl(const Options &options, std::FILE *out, std::FILE *err, bool outIsTerminal)
    : m_options(options)
    , m_out(out)
    , m_err(err)
    , m_outIsTerminal(outIsTerminal)
{ }

void Ctl::openStore()
{
    m_choice
        = chooseStore(m_options.store, QProcessEnvironment::systemEnvironment(), QDir::homePath());
    m_store = ::openStore(*m_choice);
    m_registry = std::make_unique<RegistryAccessor>(*m_store);
    m_backups = std::make_unique<RegistryBackups>(RegistryBackups::defaultFolder(),
                                                  m_choice->description(Language::English));
}

// The window's release and language, unless the options chose; nothing is
// written.
void Ctl::readPreferences()
{
    QString version = u"8v3"_s, language = u"English"_s;
    m_registry->setRootKey(RootKey::CurrentUser);
    if (const OpenKeyScope key(*m_registry, PreferencesKey, false); key.isOpen()) {
        const auto text = [&](std::u16string_view name, const QString &fallback) {
            const auto value = m_registry->readValue(name);
            return value && value->kind == ValueKind::String && !value->text.empty()
                ? QString::fromStdU16String(value->text)
                : fallback;
        };
        version = text(u"Version", version);
        language = text(u"Language", language);
    }
    m_release = m_options.release.value_or(version == u"8v3"_s ? Release::R803 : Release::R800);
    m_language = m_options.language.value_or(language == u"Italian"_s ? Language::Italian
                                                                      : Language::English);
}

void Ctl::loadPages()
{
    LocalFileSystem files;
    const QString toolFolder = toolFolderOf(files.executablePath());
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        Page &page = m_pages[i];
        page.page = AllSettingsPages[i];
        const QString path = settingListPath(toolFolder, page.page, m_language);
        const QString local
            = files.localPathIn(files.executableFolder(), path.mid(toolFolder.size()));
        try {
            loadSettingsPage(page.grid, local, m_language, m_release);
        } catch (const ESettingListError &e) {
            throw CtlError{settingListProblemText(e.problem(), m_language), CtlStoreFailed};
        }
        page.defaults.takeFrom(page.grid);
    }
}

// Reads the pages' values; true when every page's key exists.
bool Ctl::readPages(const QList<Page *> &pages)
{
    bool keysExist = true;
    for (Page *page : pages) {
        const PageRead read = readPageSettings(page->grid, *m_registry, page->page, m_release,
                                               m_language, page->stored);
        if (read.storeError) {
            throw CtlError{QString::fromStdU16String(read.storeError->text(m_language)),
                           CtlStoreFailed};
        }
        keysExist = keysExist && !read.keyMissing;
    }
    return keysExist;
}

// The pages `name` names (any letter case, either language, with or
// without the blank of "Data Path"); all of them for an empty name.
QList<Page *> Ctl::pagesNamed(const QString &name)
{
    QList<Page *> pages;
    const auto folded = [](QString text) {
        return text.remove(u' ').toLower();
    };
    for (Page &page : m_pages) {
        const bool named = name.isEmpty()
            || folded(name) == folded(pageTitle(page.page, Language::English))
            || folded(name) == folded(pageTitle(page.page, Language::Italian))
            || folded(name) == pageName(page.page).toLower();
        if (named)
            pages.append(&page);
    }
    if (pages.isEmpty()) {
        throw CtlError{say(u"There is no page %1: the pages are General, Copy, Options and "
                           u"\"Data Path\"."_s,
                           u"Non esiste la pagina %1: le pagine sono Generali, Copia, Opzioni e "
                           u"\"Percorso Dati\"."_s)
                           .arg(name)};
    }
    return pages;
}

std::pair<Page *, int> Ctl::setting(const QString &name)
{
    for (Page &page : m_pages) {
        const int row = settingRowOf(page.grid, name);
        if (row >= 0)
            return {&page, row};
    }
    throw CtlError{say(u"No list of InstantCopy %1 has a setting named %2."_s,
                       u"Nessuna lista di InstantCopy %1 ha un'impostazione di nome %2."_s)
                       .arg(m_release == Release::R803 ? u"8.0.3.x"_s : u"8.0.0.x"_s, name)};
}

// Saves the values named on the pages, and nothing else of them.
void Ctl::save(const QList<Page *> &pages, const QStringList &names)
{
    QList<PageToSave> toSave;
    for (Page *page : pages)
        toSave.append({page->page, &page->grid, &page->stored, names});
    QList<std::pair<SettingsPage, PageSave>> saves;
    try {
        saves = savePages(*m_store, *m_registry, *m_backups, m_release, toSave);
    } catch (const ERegistryStoreError &e) {
        throw CtlError{say(u"Nothing was saved."_s, u"Non è stato salvato nulla."_s) + u' '
                           + QString::fromStdU16String(e.text(m_language)),
                       CtlStoreFailed};
    }
    const SaveReport report = saveReport(saves, m_language, m_release);
    if (!report.text.isEmpty()) {
        QString text = report.text;
        text.replace(u'\r', u'\n');
        if (report.unsaved)
            throw CtlError{text, CtlStoreFailed};
        std::fputs(qUtf8Printable(text + u'\n'), m_err);
    }
}

void Ctl::needOperands(qsizetype least, qsizetype most) const
{
    const qsizetype given = m_options.operands.size() - 1;
    if (given < least || given > most) {
        throw CtlError{u"%1: wrong number of arguments\n%2"_s.arg(m_options.operands[0], usage())};
    }
}

int Ctl::run()
{
    const QString command = m_options.operands[0];
    using Command = int (Ctl::*)();
    static const QList<std::pair<QString, Command>> commands = {
        {u"list"_s, &Ctl::list},   {u"get"_s, &Ctl::get},           {u"set"_s, &Ctl::set},
        {u"reset"_s, &Ctl::reset}, {u"describe"_s, &Ctl::describe}, {u"dump"_s, &Ctl::dump},
        {u"load"_s, &Ctl::load},   {u"backups"_s, &Ctl::backups},   {u"restore"_s, &Ctl::restore},
    };
    for (const auto &[name, handler] : commands) {
        if (name == command) {
            openStore();
            readPreferences();
            loadPages();
            return (this->*handler)();
        }
    }
    throw CtlError{u"unknown command %1\n%2"_s.arg(command, usage())};
}

int Ctl::list()
{
    needOperands(0, 1);
    const QList<Page *> pages = pagesNamed(m_options.operands.value(1));
    readPages(pages);
    for (Page *page : pages) {
        for (int row = 1; row < page->grid.RowCount(); ++row) {
            const SettingRow setting = settingRow(page->grid, row);
            if (!setting.isSetting())
                continue;
            print(setting.name + u'\t' + setting.value + u'\t' + setting.type + u'\t'
                  + setting.release + u'\n');
        }
    }
    return CtlDone;
}

int Ctl::get()
{
    needOperands(1, 1);
    const auto [page, row] = setting(m_options.operands[1]);
    if (!readPages({page})) {
        // What the list shows then is its default, not a value of the store.
        throw CtlError{say(u"The settings of InstantCopy %1 do not exist in the registry yet: "
                           u"start InstantCopy once, it creates them."_s,
                           u"Le impostazioni di InstantCopy %1 non esistono ancora nel registro: "
                           u"avviare InstantCopy una volta, le crea."_s)
                           .arg(m_release == Release::R803 ? u"8.0.3.x"_s : u"8.0.0.x"_s),
                       CtlStoreFailed};
    }
    const QString value = page->grid.Cells(SettingColumn::Value, row);
    const StoredSettings::Setting *stored = page->stored.find(settingRow(page->grid, row).name);
    if (stored && (stored->unreadable || (isReadErrorText(value) && stored->value))) {
        throw CtlError{say(u"The value %1 cannot be read: it is not of the kind its list gives."_s,
                           u"Il valore %1 non può essere letto: non è del tipo che la sua lista "
                           u"indica."_s)
                           .arg(m_options.operands[1]),
                       CtlStoreFailed};
    }
    print((isReadErrorText(value) ? QString() : value) + u'\n');
    return CtlDone;
}

int Ctl::set()
{
    needOperands(2, 2);
    const auto [page, row] = setting(m_options.operands[1]);
    const ValueCheck check
        = checkSettingValue(settingRow(page->grid, row), m_options.operands[2], m_language);
    if (!check.value) {
        throw CtlError{
            say(u"%1 cannot be %2: it takes %3."_s, u"%1 non può valere %2: accetta %3."_s)
                .arg(m_options.operands[1], m_options.operands[2], check.allowed)};
    }
    readPages({page});
    setSettingValue(page->grid, row, *check.value);
    save({page}, {settingRow(page->grid, row).name});
    return CtlDone;
}

int Ctl::reset()
{
    const QStringList &operands = m_options.operands;
    if (operands.size() < 2)
        needOperands(1, 1);
    QList<std::pair<Page *, int>> rows;
    if (operands[1] == u"--all"_s || operands[1] == u"--page"_s) {
        const bool all = operands[1] == u"--all"_s;
        needOperands(all ? 1 : 2, all ? 1 : 2);
        for (Page *page : pagesNamed(all ? QString() : operands[2])) {
            for (int row = 1; row < page->grid.RowCount(); ++row) {
                if (settingRow(page->grid, row).isSetting())
                    rows.append({page, row});
            }
        }
    } else {
        for (const QString &name : operands.mid(1))
            rows.append(setting(name));
    }
    QList<Page *> pages;
    for (const auto &[page, row] : rows) {
        if (!pages.contains(page))
            pages.append(page);
    }
    readPages(pages);
    QStringList names;
    for (const auto &[page, row] : rows) {
        names.append(settingRow(page->grid, row).name);
        if (const QString *fallback = page->defaults.find(names.last()))
            setSettingValue(page->grid, row, *fallback);
    }
    save(pages, names);
    return CtlDone;
}

int Ctl::describe()
{
    needOperands(1, 1);
    const auto [page, row] = setting(m_options.operands[1]);
    const SettingRow setting = settingRow(page->grid, row);
    QString allowed;
    switch (setting.kind()) {
    case SettingKind::Text:
        allowed = listSettingItems(setting.name).join(u", "_s);
        if (allowed.isEmpty())
            allowed = say(u"any text"_s, u"qualsiasi testo"_s);
        break;
    default:
        allowed = checkSettingValue(setting, u"\x01"_s, m_language).allowed;
        break;
    }
    QString description = StripMarkupTags(setting.description);
    description.replace(u'\t', u'\n');
    description.replace(u"\r\n"_s, u"\n"_s);
    const QString release = setting.release.isEmpty()
        ? say(u"both"_s, u"entrambe"_s)
        : (setting.release == u"8v3"_s ? u"8.0.3.x"_s : u"8.0.0.x"_s);
    print(say(u"Name: %1\nPage: %2\nType: %3\nAllowed: %4\nDefault: %5\nRelease: %6\n\n"_s,
              u"Nome: %1\nPagina: %2\nTipo: %3\nValori ammessi: %4\nPredefinito: %5\n"
              u"Versione: %6\n\n"_s)
              .arg(setting.name, pageTitle(page->page, m_language), setting.type, allowed,
                   *page->defaults.find(setting.name), release)
          + description.trimmed() + u'\n');
    return CtlDone;
}

int Ctl::dump()
{
    needOperands(0, 1);
    RegFile file;
    for (Page *page : pagesNamed(m_options.operands.value(1))) {
        m_registry->setRootKey(RootKey::CurrentUser);
        const QString key = settingsKeyPath(page->page, m_release);
        const OpenKeyScope open(*m_registry, key.toStdU16String(), false);
        if (!open.isOpen())
            continue;
        const QString full = u"HKEY_CURRENT_USER"_s + key;
        file.addKey(full);
        for (int row = 1; row < page->grid.RowCount(); ++row) {
            const SettingRow setting = settingRow(page->grid, row);
            if (!setting.isSetting())
                continue;
            try {
                if (const auto value = m_registry->readStoredValue(setting.name.toStdU16String()))
                    file.setValue(full, setting.name, RegData::fromStored(*value));
            } catch (const ERegistryStoreError &e) {
                throw CtlError{QString::fromStdU16String(e.text(m_language)), CtlStoreFailed};
            }
        }
    }
    const QByteArray wide = file.serialize();
    if (!m_options.outputFile.isEmpty()) {
        QSaveFile out(m_options.outputFile);
        if (!out.open(QIODevice::WriteOnly) || out.write(wide) != wide.size() || !out.commit()) {
            throw CtlError{say(u"%1 cannot be written: %2"_s, u"Impossibile scrivere %1: %2"_s)
                               .arg(m_options.outputFile, out.errorString()),
                           CtlStoreFailed};
        }
        return CtlDone;
    }
    if (m_outIsTerminal || m_options.utf8) {
        const QString text(reinterpret_cast<const QChar *>(wide.constData() + 2),
                           (wide.size() - 2) / 2);
        print(QString(text).replace(u"\r\n"_s, u"\n"_s));
    } else {
        std::fwrite(wide.constData(), 1, static_cast<std::size_t>(wide.size()), m_out);
    }
    return CtlDone;
}

int Ctl::load()
{
    needOperands(1, 1);
    const QString path = m_options.operands[1];
    QFile in(path);
    RegFile file;
    try {
        if (in.size() > RegFile::MaxFileSize || !in.open(QIODevice::ReadOnly))
            throw RegFileError(0, RegistryFileFault::System);
        file = RegFile::parse(in.readAll());
    } catch (const RegFileError &e) {
        throw CtlError{say(u"%1 is not a registry-export file that can be read (line %2)."_s,
                           u"%1 non è un file di esportazione del registro leggibile (riga %2)."_s)
                           .arg(path)
                           .arg(e.line())};
    }
    // Every value is checked before anything is written: all or nothing.
    QStringList refused;
    QList<std::tuple<Page *, int, QString>> changes;
    file.visitWithDeletions([&](const QString &key, const std::optional<QString> &name,
                                const std::optional<RegData> &data) {
        if (!name)
            return;
        const QString named = key + u'\\' + *name;
        Page *page = nullptr;
        for (Page &candidate : m_pages) {
            if (key.compare(u"HKEY_CURRENT_USER"_s + settingsKeyPath(candidate.page, m_release),
                            Qt::CaseInsensitive)
                == 0)
                page = &candidate;
        }
        const int row = page ? settingRowOf(page->grid, *name) : -1;
        if (row < 0) {
            refused.append(
                say(u"%1: not a setting of the lists"_s, u"%1: non è un'impostazione delle liste"_s)
                    .arg(named));
            return;
        }
        const SettingRow setting = settingRow(page->grid, row);
        QString given;
        const bool number = setting.kind() == SettingKind::Integer;
        if (data && number && data->dword())
            given = QString::number(static_cast<qint32>(*data->dword()));
        else if (data && !number && data->type == RegType::String)
            given = data->text();
        if (given.isNull() && !(data && !number && data->type == RegType::String)) {
            refused.append(say(u"%1: not of the kind its list gives (%2)"_s,
                               u"%1: non è del tipo che la sua lista indica (%2)"_s)
                               .arg(named, setting.type));
            return;
        }
        const ValueCheck check = checkSettingValue(setting, given, m_language);
        if (!check.value) {
            refused.append(
                say(u"%1: %2 is not allowed, it takes %3"_s, u"%1: %2 non è ammesso, accetta %3"_s)
                    .arg(named, given, check.allowed));
            return;
        }
        changes.append({page, row, *check.value});
    });
    if (!refused.isEmpty()) {
        throw CtlError{
            say(u"Nothing was loaded from %1:\n"_s, u"Non è stato caricato nulla da %1:\n"_s)
                .arg(path)
            + refused.join(u'\n')};
    }
    QList<Page *> pages;
    for (const auto &[page, row, value] : changes) {
        if (!pages.contains(page))
            pages.append(page);
    }
    readPages(pages);
    QStringList names;
    for (const auto &[page, row, value] : changes) {
        const QString before = page->grid.Cells(SettingColumn::Value, row);
        names.append(settingRow(page->grid, row).name);
        if (before == value)
            continue;
        setSettingValue(page->grid, row, value);
        print(names.last() + u": "_s + before + u" -> "_s + value + u'\n');
    }
    save(pages, names);
    return CtlDone;
}

int Ctl::backups()
{
    needOperands(0, 0);
    for (const BackupInfo &backup : m_backups->list()) {
        print(backup.time.toLocalTime().toString(u"yyyy-MM-dd HH:mm:ss"_s) + u'\t'
              + QString::number(backup.values) + u'\t' + QDir::toNativeSeparators(backup.path)
              + u'\n');
    }
    return CtlDone;
}

int Ctl::restore()
{
    needOperands(0, 1);
    QString path;
    if (m_options.operands.size() > 1) {
        path = m_options.operands[1];
        if (!QFile::exists(path) && !path.contains(u'/'))
            path = m_backups->folder() + u'/' + path;
    } else if (const auto newest = m_backups->newest()) {
        path = newest->path;
    } else {
        throw CtlError{
            say(u"There is no save to undo."_s, u"Non c'è nessun salvataggio da annullare."_s)};
    }
    RestoreOutcome outcome;
    try {
        outcome = restoreBackup(*m_store, *m_backups, path);
    } catch (const ERegistryStoreError &e) {
        throw CtlError{say(u"Nothing was restored."_s, u"Non è stato ripristinato nulla."_s) + u' '
                           + QString::fromStdU16String(e.text(m_language)),
                       CtlStoreFailed};
    }
    print(say(u"%1 values restored from %2\n"_s, u"%1 valori ripristinati da %2\n"_s)
              .arg(outcome.values)
              .arg(QDir::toNativeSeparators(path)));
    if (!outcome.refused.isEmpty()) {
        throw CtlError{say(u"These values could not be restored:\n"_s,
                           u"Questi valori non sono stati ripristinati:\n"_s)
                           + outcome.refused.join(u'\n'),
                       CtlStoreFailed};
    }
    return CtlDone;
}

} // namespace

int runCtl(const QStringList &arguments, std::FILE *out, std::FILE *err, bool outIsTerminal)
{
    try {
        const auto options = parseOptions(arguments, out);
        if (!options)
            return CtlDone;
        return Ctl(*options, out, err, outIsTerminal).run();
    } catch (const CtlError &e) {
        std::fprintf(err, "ordevanctl: %s\n", qUtf8Printable(e.message));
        return e.exit;
    } catch (const ERegistryStoreError &e) {
        std::fprintf(err, "ordevanctl: %s\n", e.what());
        return CtlStoreFailed;
    } catch (const ERegistryError &e) {
        std::fprintf(err, "ordevanctl: %s\n", e.what());
        return CtlStoreFailed;
    }
}
