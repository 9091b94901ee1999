#include "ctl.h"

#include "filesystem.h"
#include "gridmodel.h"
#include "pagesave.h"
#include "plainfile.h"
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
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
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
    bool quiet = false;
    QList<qsizetype> notUtf8; // of the arguments, counted from the command's name
    QString outputFile;
    QStringList operands; // the command first
};

QString usage(Language language = Language::English)
{
    if (language == Language::Italian) {
        return u"uso: ordevanctl [opzioni] [--] comando [argomenti]\n"
               u"\n"
               u"Le opzioni vengono prima del comando; \"--\" le chiude.\n"
               u"\n"
               u"comandi:\n"
               u"  list [PAGINA]            ogni impostazione: nome, valore, tipo, versione\n"
               u"  get NOME                 il valore salvato\n"
               u"  set NOME VALORE          salva un valore, controllato come nella finestra\n"
               u"  reset NOME... | --page PAGINA | --all\n"
               u"                           ai valori predefiniti delle liste\n"
               u"  describe NOME            tipo, valori ammessi, predefinito, versione, "
               u"descrizione\n"
               u"  dump [PAGINA]            i valori come file di esportazione del registro\n"
               u"  load FILE                applica un tale file: tutto o niente\n"
               u"  backups                  le copie fatte prima di ogni salvataggio\n"
               u"  restore [COPIA]          annulla l'ultimo salvataggio, o quello indicato\n"
               u"\n"
               u"set, reset e load scrivono ogni valore cambiato (Nome: prima -> dopo).\n"
               u"PAGINA è Generali, Copia, Opzioni o \"Percorso Dati\".\n"
               u"\n"
               u"opzioni:\n"
               u"  --release 8.0.0|8.0.3    la versione (predefinita: l'ultima della finestra)\n"
               u"  --lang en|it             la lingua (predefinita: quella della finestra)\n"
               u"  --utf8                   dump in UTF-8 anche non verso un terminale\n"
               u"  -o FILE                  dump in FILE, in UTF-16 come lo legge il registro\n"
               u"  --quiet                  set, reset e load non scrivono cosa è cambiato\n"
               u"  --wine-prefix DIR        le impostazioni del prefisso Wine DIR\n"
               u"  --settings-file FILE     le impostazioni del file di esportazione FILE\n"
               u"  --help, --version\n"
               u"\n"
               u"codici di uscita: 0 fatto, 1 errore dell'archivio, 2 uso errato o dato "
               u"rifiutato\n"_s;
    }
    return u"usage: ordevanctl [options] [--] command [arguments]\n"
           u"\n"
           u"Options come before the command; \"--\" ends them.\n"
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
           u"set, reset and load print each value they changed (Name: old -> new).\n"
           u"PAGE is General, Copy, Options or \"Data Path\".\n"
           u"\n"
           u"options:\n"
           u"  --release 8.0.0|8.0.3    the release (default: the one the window last used)\n"
           u"  --lang en|it             the language (default: the window's)\n"
           u"  --utf8                   dump as UTF-8 even when not to a terminal\n"
           u"  -o FILE                  dump into FILE, as UTF-16 the registry editor reads\n"
           u"  --quiet                  set, reset and load print nothing of what changed\n"_s
        + storeOptionsUsage(27)
        + u"  --help, --version\n"
          u"\n"
          u"exit codes: 0 done, 1 the store failed, 2 usage or refused input\n"_s;
}

// The options and operands of `arguments`; nullopt when only help or the
// version was asked for and is printed. Options come before the command;
// "--" ends them, so that an operand may start with "-".
std::optional<Options> parseOptions(const QStringList &arguments, std::FILE *out)
{
    static const QStringList takingValues
        = {u"--release"_s, u"--lang"_s, u"-o"_s, u"--wine-prefix"_s, u"--settings-file"_s};
    QStringList optionPart{arguments.value(0)};
    qsizetype first = 1;
    for (; first < arguments.size(); ++first) {
        const QString &argument = arguments[first];
        if (argument == u"--"_s) {
            ++first;
            break;
        }
        if (!argument.startsWith(u'-') || argument == u"-"_s)
            break;
        optionPart.append(argument);
        if (takingValues.contains(argument) && first + 1 < arguments.size())
            optionPart.append(arguments[++first]);
    }
    Options options;
    options.operands = arguments.mid(first);

    QString error;
    QStringList rest;
    const auto store = parseStoreOptions(optionPart, &error, &rest);
    if (!store)
        throw CtlError{error};
    options.store = *store;
    // Printed once every option is read: in the language asked for, even
    // after it.
    bool help = false;
    for (qsizetype i = 0; i < rest.size(); ++i) {
        const QString &argument = rest[i];
        const QString name = argument.section(u'=', 0, 0);
        const auto value = [&] {
            if (argument.contains(u'='))
                return argument.section(u'=', 1);
            if (i + 1 >= rest.size())
                throw CtlError{u"%1 needs a value"_s.arg(name)};
            return rest[++i];
        };
        if (name == u"--version"_s) {
            std::fputs("ordevanctl " ORDEVAN_VERSION "\n", out);
            return std::nullopt;
        }
        if (name == u"--help"_s || name == u"-h"_s) {
            help = true;
        } else if (name == u"--quiet"_s) {
            options.quiet = true;
        } else if (name == u"--utf8"_s) {
            options.utf8 = true;
        } else if (name == u"-o"_s) {
            options.outputFile = value();
            if (options.outputFile.isEmpty())
                throw CtlError{u"-o needs a file"_s};
        } else if (name == u"--release"_s) {
            const QString release = value();
            if (release == u"8.0.0"_s || release == u"8v0"_s)
                options.release = Release::R800;
            else if (release == u"8.0.3"_s || release == u"8v3"_s)
                options.release = Release::R803;
            else
                throw CtlError{u"--release takes 8.0.0 or 8.0.3, not \"%1\""_s.arg(release)};
        } else if (name == u"--lang"_s) {
            const QString language = value();
            if (language == u"en"_s)
                options.language = Language::English;
            else if (language == u"it"_s)
                options.language = Language::Italian;
            else
                throw CtlError{u"--lang takes en or it, not \"%1\""_s.arg(language)};
        } else {
            throw CtlError{u"unknown option %1\n%2"_s.arg(argument, usage())};
        }
    }
    if (help) {
        std::fputs(qUtf8Printable(usage(options.language.value_or(Language::English))), out);
        return std::nullopt;
    }
    if (options.operands.isEmpty())
        throw CtlError{u"no command given\n%1"_s.arg(usage())};
    if ((options.utf8 || !options.outputFile.isEmpty()) && options.operands[0] != u"dump"_s)
        throw CtlError{u"--utf8 and -o are options of dump"_s};
    return options;
}

// The window's messages break lines with a lone carriage return, which a
// terminal takes for a return to the line's start, over what it showed.
QString terminalLines(QString text)
{
    return text.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
}

QString releaseName(Release release)
{
    return release == Release::R803 ? u"8.0.3.x"_s : u"8.0.0.x"_s;
}

// A command: how many operands it takes, whether it works on the lists, and
// what it does.
class Ctl;
struct Command
{
    const char16_t *name;
    qsizetype leastOperands;
    qsizetype mostOperands;
    bool usesLists;
    int (Ctl::*run)();
};

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

    int list();
    int get();
    int set();
    int reset();
    int describe();
    int dump();
    int load();
    int backups();
    int restore();

private:
    QString say(const QString &english, const QString &italian) const
    {
        return m_language == Language::Italian ? italian : english;
    }
    void print(const QString &text) const { std::fputs(qUtf8Printable(text), m_out); }
    [[noreturn]] void storeFailed(const ERegistryStoreError &error) const
    {
        throw CtlError{QString::fromStdU16String(error.text(m_language)), CtlStoreFailed};
    }
    [[noreturn]] void settingsMissing() const;

    void openStore();
    void readPreferences();
    void loadPages();
    // Reads the pages' values; true when every page's key exists.
    bool readPages(const QList<Page *> &pages);
    // The pages named (any letter case, either language, with or without
    // the blank of "Data Path"); all of them for nullopt.
    QList<Page *> pagesNamed(const std::optional<QString> &name);
    std::pair<Page *, int> setting(const QString &name);
    // Refuses a value the window gives no editor: one the store holds in
    // another kind than its list gives, which a write would replace.
    void needEditable(const Page &page, int row) const;
    void needBackupsFolder() const;
    // Whether `path` is the store's own file, through any link.
    bool isStoreFile(const QString &path) const;
    // Saves the values named on the pages, and nothing else of them.
    void save(const QList<Page *> &pages, const QStringList &names);

    Options m_options;
    std::FILE *m_out;
    std::FILE *m_err;
    bool m_outIsTerminal;
    Language m_language;
    Release m_release = Release::R803;
    std::optional<StoreChoice> m_choice;
    std::unique_ptr<RegistryStore> m_store;
    std::unique_ptr<RegistryAccessor> m_registry;
    std::unique_ptr<RegistryBackups> m_backups;
    std::array<Page, AllSettingsPages.size()> m_pages;
};

const std::array<Command, 9> Commands = {{
    {u"list", 0, 1, true, &Ctl::list},
    {u"get", 1, 1, true, &Ctl::get},
    {u"set", 2, 2, true, &Ctl::set},
    {u"reset", 1, 1000, true, &Ctl::reset},
    {u"describe", 1, 1, true, &Ctl::describe},
    {u"dump", 0, 4, true, &Ctl::dump}, // [PAGE] [-o FILE] [--utf8]
    {u"load", 1, 1, true, &Ctl::load},
    {u"backups", 0, 0, false, &Ctl::backups},
    {u"restore", 0, 1, false, &Ctl::restore},
}};

Ctl::Ctl(const Options &options, std::FILE *out, std::FILE *err, bool outIsTerminal)
    : m_options(options)
    , m_out(out)
    , m_err(err)
    , m_outIsTerminal(outIsTerminal)
    , m_language(options.language.value_or(Language::English))
{ }

int Ctl::run()
{
    const QString name = m_options.operands[0];
    const auto command = std::find_if(Commands.begin(), Commands.end(),
                                      [&](const Command &c) { return name == c.name; });
    if (command == Commands.end())
        throw CtlError{u"unknown command %1\n%2"_s.arg(name, usage())};
    const qsizetype given = m_options.operands.size() - 1;
    if (given < command->leastOperands || given > command->mostOperands)
        throw CtlError{u"%1: wrong number of arguments\n%2"_s.arg(name, usage())};
    try {
        openStore();
        readPreferences();
        // Decoded, such bytes would be replacement characters, and a value
        // set with them stored with those.
        if (!m_options.notUtf8.isEmpty()) {
            throw CtlError{say(u"Argument %1 is not UTF-8 text: a text must be given in UTF-8."_s,
                               u"L'argomento %1 non è un testo UTF-8: un testo va dato in UTF-8."_s)
                               .arg(m_options.notUtf8.first())};
        }
        if (command->usesLists)
            loadPages();
        const int exit = (this->*command->run)();
        // What was printed must have reached its file: a dump into a full
        // disk is not done.
        if (std::fflush(m_out) != 0 || std::ferror(m_out)) {
            throw CtlError{
                say(u"The output cannot be written: %1"_s, u"Impossibile scrivere l'output: %1"_s)
                    .arg(QString::fromLocal8Bit(std::strerror(errno))),
                CtlStoreFailed};
        }
        return exit;
    } catch (const ERegistryStoreError &e) {
        storeFailed(e);
    }
}

void Ctl::openStore()
{
    m_choice
        = chooseStore(m_options.store, QProcessEnvironment::systemEnvironment(), QDir::homePath());
    // Where the registry itself is the store (Windows), a script that names
    // another would otherwise edit the registry in its place.
    const bool storeNamed = m_options.store.winePrefix || m_options.store.settingsFile;
    if (storeNamed && m_choice->kind == StoreChoice::Kind::Registry) {
        throw CtlError{say(u"--wine-prefix and --settings-file have no use here: the settings are "
                           u"in the registry of this Windows."_s,
                           u"--wine-prefix e --settings-file non servono qui: le impostazioni sono "
                           u"nel registro di questo Windows."_s)};
    }
    if (const auto problem
        = storeChoiceProblem(*m_choice, m_options.language.value_or(Language::English)))
        throw CtlError{*problem, CtlStoreFailed};
    m_store = ::openStore(*m_choice);
    readAheadAtStart(*m_store);
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
        // As the window reads them: text of either kind, not empty.
        const auto text = [&](std::u16string_view name, const QString &fallback) {
            const auto value = m_registry->readValue(name);
            const bool isText = value
                && (value->kind == ValueKind::String || value->kind == ValueKind::ExpandString);
            return isText && !value->text.empty() ? QString::fromStdU16String(value->text)
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
    const LocalFileSystem files;
    const QString folder = settingListFolder(files);
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        Page &page = m_pages[i];
        page.page = AllSettingsPages[i];
        try {
            loadSettingsPage(page.grid, settingListFile(files, folder, page.page, m_language),
                             m_language, m_release);
        } catch (const ESettingListError &e) {
            throw CtlError{settingListProblemText(e.problem(), m_language), CtlStoreFailed};
        }
        page.defaults.takeFrom(page.grid);
    }
}

bool Ctl::readPages(const QList<Page *> &pages)
{
    bool keysExist = true;
    for (Page *page : pages) {
        const PageRead read = readPageSettings(page->grid, *m_registry, page->page, m_release,
                                               m_language, page->stored);
        if (read.storeError)
            storeFailed(*read.storeError);
        keysExist = keysExist && !read.keyMissing;
    }
    return keysExist;
}

void Ctl::settingsMissing() const
{
    throw CtlError{say(u"The settings of InstantCopy %1 do not exist in the registry yet: "
                       u"start InstantCopy once, it creates them."_s,
                       u"Le impostazioni di InstantCopy %1 non esistono ancora nel registro: "
                       u"avviare InstantCopy una volta, le crea."_s)
                       .arg(releaseName(m_release)),
                   CtlStoreFailed};
}

QList<Page *> Ctl::pagesNamed(const std::optional<QString> &name)
{
    const auto folded = [](QString text) {
        return text.remove(u' ').toLower();
    };
    QList<Page *> pages;
    for (Page &page : m_pages) {
        const bool named = !name
            || (!name->isEmpty()
                && (folded(*name) == folded(pageTitle(page.page, Language::English))
                    || folded(*name) == folded(pageTitle(page.page, Language::Italian))
                    || folded(*name) == pageName(page.page).toLower()));
        if (named)
            pages.append(&page);
    }
    if (pages.isEmpty()) {
        throw CtlError{say(u"There is no page \"%1\": the pages are General, Copy, Options and "
                           u"\"Data Path\"."_s,
                           u"Non esiste la pagina \"%1\": le pagine sono Generali, Copia, Opzioni "
                           u"e \"Percorso Dati\"."_s)
                           .arg(name.value_or(QString()))};
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
                       .arg(releaseName(m_release), name)};
}

void Ctl::needEditable(const Page &page, int row) const
{
    const QString name = settingRow(page.grid, row).name;
    const StoredSettings::Setting *stored = page.stored.find(name);
    const bool unreadable = stored
        && (stored->unreadable
            || (stored->value && isReadErrorText(page.grid.Cells(SettingColumn::Value, row))));
    if (unreadable) {
        throw CtlError{say(u"%1 is stored as another kind than its list gives: it is left as it "
                           u"is, as the window leaves it."_s,
                           u"%1 è salvato in un tipo diverso da quello della sua lista: resta "
                           u"com'è, come lo lascia la finestra."_s)
                           .arg(name),
                       CtlStoreFailed};
    }
}

bool Ctl::isStoreFile(const QString &path) const
{
    QString storeFile;
    if (m_choice->kind == StoreChoice::Kind::File)
        storeFile = m_choice->path;
    else if (m_choice->kind == StoreChoice::Kind::WinePrefix)
        storeFile = m_choice->path + u"/user.reg"_s;
    else
        return false;
    // The same file, whatever the names: links of either kind resolved.
    std::error_code error;
    return std::filesystem::equivalent(std::filesystem::path(path.toStdU16String()),
                                       std::filesystem::path(storeFile.toStdU16String()), error);
}

void Ctl::save(const QList<Page *> &pages, const QStringList &names)
{
    QList<PageToSave> toSave;
    QList<StoredSettings> before; // the save replaces them with what it wrote
    for (Page *page : pages) {
        toSave.append({page->page, &page->grid, &page->stored, names});
        before.append(page->stored);
    }
    QList<std::pair<SettingsPage, PageSave>> saves;
    try {
        saves = savePages(*m_store, *m_registry, *m_backups, m_release, toSave);
    } catch (const ERegistryStoreError &e) {
        throw CtlError{say(u"Nothing was saved."_s, u"Non è stato salvato nulla."_s) + u' '
                           + QString::fromStdU16String(e.text(m_language)),
                       CtlStoreFailed};
    }
    // What changed, one value a line, for a script's log as for a person.
    QString told;
    for (qsizetype i = 0; i < saves.size(); ++i) {
        for (const auto &[name, setting] : saves[i].second.written) {
            const StoredSettings::Setting *was = before[i].find(name);
            const QString old = was && (was->value || was->unreadable)
                ? was->cellText
                : say(u"(none)"_s, u"(nessuno)"_s);
            told += name + u": "_s + old + u" -> "_s + setting.cellText + u'\n';
        }
    }
    const SaveReport report = saveReport(saves, m_language, m_release);
    if (!m_options.quiet && (!told.isEmpty() || !report.unsaved))
        print(told.isEmpty() ? say(u"nothing to change\n"_s, u"nulla da cambiare\n"_s) : told);
    if (!report.text.isEmpty()) {
        const QString text = terminalLines(report.text);
        if (report.unsaved)
            throw CtlError{text, CtlStoreFailed};
        std::fputs(qUtf8Printable(text + u'\n'), m_err);
    }
}

int Ctl::list()
{
    const QList<Page *> pages = pagesNamed(
        m_options.operands.size() > 1 ? std::optional(m_options.operands[1]) : std::nullopt);
    if (!readPages(pages))
        settingsMissing(); // the lists would show their defaults, not values
    for (Page *page : pages) {
        for (int row = 1; row < page->grid.RowCount(); ++row) {
            const SettingRow setting = settingRow(page->grid, row);
            if (setting.isSetting()) {
                print(setting.name + u'\t' + setting.value + u'\t' + setting.type + u'\t'
                      + setting.release + u'\n');
            }
        }
    }
    return CtlDone;
}

int Ctl::get()
{
    const auto [page, row] = setting(m_options.operands[1]);
    if (!readPages({page}))
        settingsMissing();
    needEditable(*page, row);
    const QString name = settingRow(page->grid, row).name;
    // A missing text reads as empty, as the window reads it; a missing
    // number has no value to show.
    if (page->stored.isMissing(name)
        && settingRow(page->grid, row).kind() == SettingKind::Integer) {
        throw CtlError{
            say(u"%1 does not exist in the registry."_s, u"%1 non esiste nel registro."_s)
                .arg(name),
            CtlStoreFailed};
    }
    print(page->grid.Cells(SettingColumn::Value, row) + u'\n');
    return CtlDone;
}

int Ctl::set()
{
    const auto [page, row] = setting(m_options.operands[1]);
    const SettingRow setting = settingRow(page->grid, row);
    const ValueCheck check = checkSettingValue(setting, m_options.operands[2], m_language);
    if (!check.value) {
        throw CtlError{
            say(u"%1 cannot be \"%2\": it takes %3."_s, u"%1 non può valere \"%2\": accetta %3."_s)
                .arg(setting.name, m_options.operands[2], check.allowed)};
    }
    if (!readPages({page}))
        settingsMissing();
    needEditable(*page, row);
    setSettingValue(page->grid, row, *check.value);
    save({page}, {setting.name});
    return CtlDone;
}

int Ctl::reset()
{
    const QStringList &operands = m_options.operands;
    const bool all = operands[1] == u"--all"_s;
    const bool wholePage = operands[1] == u"--page"_s;
    if ((all && operands.size() != 2) || (wholePage && operands.size() != 3))
        throw CtlError{u"reset: wrong arguments\n%1"_s.arg(usage())};
    QList<std::pair<Page *, int>> rows;
    if (all || wholePage) {
        for (Page *page : pagesNamed(all ? std::nullopt : std::optional(operands[2]))) {
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
    if (!readPages(pages))
        settingsMissing();
    QStringList names;
    for (const auto &[page, row] : rows) {
        // Named one by one, a value the window could not edit is refused;
        // a whole page is restored as the window's Restore Default does.
        if (!all && !wholePage)
            needEditable(*page, row);
        names.append(settingRow(page->grid, row).name);
        if (const QString *fallback = page->defaults.find(names.last()))
            setSettingValue(page->grid, row, *fallback);
    }
    save(pages, names);
    return CtlDone;
}

int Ctl::describe()
{
    const auto [page, row] = setting(m_options.operands[1]);
    const SettingRow setting = settingRow(page->grid, row);
    QString description = StripMarkupTags(setting.description);
    description.replace(u'\t', u'\n');
    description.replace(u"\r\n"_s, u"\n"_s);
    const QString release = setting.release.isEmpty()
        ? say(u"both"_s, u"entrambe"_s)
        : releaseName(setting.release == u"8v3"_s ? Release::R803 : Release::R800);
    print(say(u"Name: %1\nPage: %2\nType: %3\nAllowed: %4\nDefault: %5\nRelease: %6\n\n"_s,
              u"Nome: %1\nPagina: %2\nTipo: %3\nValori ammessi: %4\nPredefinito: %5\n"
              u"Versione: %6\n\n"_s)
              .arg(setting.name, pageTitle(page->page, m_language), setting.type,
                   allowedValues(setting, m_language), *page->defaults.find(setting.name), release)
          + description.trimmed() + u'\n');
    return CtlDone;
}

int Ctl::dump()
{
    // Its own options may follow it too.
    std::optional<QString> pageName;
    const QStringList operands = m_options.operands.mid(1);
    for (qsizetype i = 0; i < operands.size(); ++i) {
        if (operands[i] == u"--utf8"_s)
            m_options.utf8 = true;
        else if (operands[i] == u"-o"_s && i + 1 < operands.size() && !operands[i + 1].isEmpty())
            m_options.outputFile = operands[++i];
        else if (!operands[i].startsWith(u'-') && !pageName)
            pageName = operands[i];
        else
            throw CtlError{u"dump: wrong arguments\n%1"_s.arg(usage())};
    }
    if (!m_options.outputFile.isEmpty() && isStoreFile(m_options.outputFile)) {
        throw CtlError{say(u"%1 is the file of the settings being edited: a dump there would "
                           u"replace them. Name another file."_s,
                           u"%1 è il file delle impostazioni in modifica: un dump lo "
                           u"sostituirebbe. Indicare un altro file."_s)
                           .arg(m_options.outputFile)};
    }
    RegFile file;
    const QList<Page *> pages = pagesNamed(pageName);
    for (Page *page : pages) {
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
            if (const auto value = m_registry->readStoredValue(setting.name.toStdU16String()))
                file.setValue(full, setting.name, RegData::fromStored(*value));
        }
    }
    const QByteArray wide = file.serialize();
    if (!m_options.outputFile.isEmpty()) {
        // Every write checked: a full disk must not pass for a dump.
        if (const PlainFileResult written = writePlainFile(m_options.outputFile, wide); !written) {
            throw CtlError{say(u"%1 cannot be written: %2"_s, u"Impossibile scrivere %1: %2"_s)
                               .arg(m_options.outputFile, plainFileProblem(written, m_language)),
                           CtlStoreFailed};
        }
        return CtlDone;
    }
    if (m_outIsTerminal || m_options.utf8) {
        const QByteArrayView text = QByteArrayView(wide).sliced(2); // after the byte-order mark
        QString decoded = QStringDecoder(QStringDecoder::Utf16LE)(text);
        print(decoded.replace(u"\r\n"_s, u"\n"_s));
    } else {
        std::fwrite(wide.constData(), 1, static_cast<std::size_t>(wide.size()), m_out);
    }
    return CtlDone;
}

// What a value of a load file gives for a setting, as the value cell would
// show it; nullopt for data of another kind than its list gives.
std::optional<QString> loadedText(const SettingRow &setting, const RegData &data)
{
    if (setting.kind() == SettingKind::Integer) {
        if (const auto number = data.dword())
            return QString::number(static_cast<qint32>(*number));
        return std::nullopt;
    }
    if (data.type == RegType::String || data.type == RegType::ExpandString)
        return data.text();
    return std::nullopt;
}

int Ctl::load()
{
    const QString path = m_options.operands[1];
    const auto unreadable = [&](int line) {
        return CtlError{say(u"%1 is not a registry-export file that can be read (line %2)."_s,
                            u"%1 non è un file di esportazione del registro leggibile (riga %2)."_s)
                            .arg(path, QString::number(line))};
    };
    // A regular file only, as for a store: a pipe with no writer would
    // wait for ever, a device might never end.
    QByteArray bytes;
    if (const PlainFileResult read = readPlainFile(path, RegFile::MaxFileSize, bytes); !read)
        throw CtlError{say(u"%1 cannot be read: %2"_s, u"Impossibile leggere %1: %2"_s)
                           .arg(path, plainFileProblem(read, m_language))};
    RegFile file;
    try {
        file = RegFile::parse(bytes);
    } catch (const RegFileError &e) {
        throw unreadable(e.line());
    }
    // An empty file, or one cut after its first line, is no export at all;
    // taken for one, it would load nothing without a word.
    bool holdsAnything = !file.deletedKeys().isEmpty();
    file.visitWithDeletions([&](const QString &, const std::optional<QString> &,
                                const std::optional<RegData> &) { holdsAnything = true; });
    if (!holdsAnything) {
        throw CtlError{say(u"%1 holds no key and no value: there is nothing to load."_s,
                           u"%1 non contiene né chiavi né valori: non c'è nulla da caricare."_s)
                           .arg(path)};
    }
    // Every value is checked before anything is written: all or nothing.
    QStringList refused;
    for (const QString &key : file.deletedKeys())
        refused.append(say(u"[-%1]: a key cannot be deleted"_s,
                           u"[-%1]: una chiave non può essere "
                           u"cancellata"_s)
                           .arg(key));
    QList<std::tuple<Page *, int, QString>> changes;
    file.visitWithDeletions([&](const QString &key, const std::optional<QString> &name,
                                const std::optional<RegData> &data) {
        if (!name)
            return;
        const QString named = key + u'\\' + *name;
        Page *page = nullptr;
        for (Page &candidate : m_pages) {
            const QString pageKey
                = u"HKEY_CURRENT_USER"_s + settingsKeyPath(candidate.page, m_release);
            if (key.compare(pageKey, Qt::CaseInsensitive) == 0)
                page = &candidate;
        }
        const int row = page ? settingRowOf(page->grid, *name) : -1;
        if (row < 0) {
            refused.append(say(u"%1: not a setting of the lists of InstantCopy %2"_s,
                               u"%1: non è un'impostazione delle liste di InstantCopy %2"_s)
                               .arg(named, releaseName(m_release)));
            return;
        }
        const SettingRow setting = settingRow(page->grid, row);
        const auto given = data ? loadedText(setting, *data) : std::nullopt;
        if (!given) {
            refused.append(say(u"%1: not a value of the kind its list gives (%2)"_s,
                               u"%1: non è un valore del tipo che la sua lista indica (%2)"_s)
                               .arg(named, setting.type));
            return;
        }
        const ValueCheck check = checkSettingValue(setting, *given, m_language);
        if (!check.value) {
            refused.append(say(u"%1: \"%2\" is not allowed, it takes %3"_s,
                               u"%1: \"%2\" non è ammesso, accetta %3"_s)
                               .arg(named, *given, check.allowed));
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
    if (!readPages(pages))
        settingsMissing();
    QStringList names;
    for (const auto &[page, row, value] : changes) {
        needEditable(*page, row);
        names.append(settingRow(page->grid, row).name);
        if (page->grid.Cells(SettingColumn::Value, row) != value)
            setSettingValue(page->grid, row, value);
    }
    save(pages, names);
    return CtlDone;
}

// A folder that cannot be listed would show no backups, as if there were
// none.
void Ctl::needBackupsFolder() const
{
    const QFileInfo folder(m_backups->folder());
    const QString where = QDir::toNativeSeparators(folder.filePath());
    if (folder.exists() && !folder.isDir()) {
        throw CtlError{say(u"The backups' folder %1 is a file: no backup can be there."_s,
                           u"La cartella delle copie %1 è un file: non può contenere copie."_s)
                           .arg(where),
                       CtlStoreFailed};
    }
    if (folder.exists() && !QDir(folder.filePath()).isReadable()) {
        throw CtlError{say(u"The backups' folder %1 cannot be read."_s,
                           u"Impossibile leggere la cartella delle copie %1."_s)
                           .arg(where),
                       CtlStoreFailed};
    }
}

int Ctl::backups()
{
    needBackupsFolder();
    QList<SkippedBackup> skipped;
    const QList<BackupInfo> backups = m_backups->list(&skipped);
    for (const BackupInfo &backup : backups) {
        print(backup.time.toLocalTime().toString(u"yyyy-MM-dd HH:mm:ss"_s) + u'\t'
              + QString::number(backup.values) + u'\t' + QDir::toNativeSeparators(backup.path)
              + u'\n');
    }
    for (const SkippedBackup &file : skipped) {
        print(say(u"skipped %1: %2\n"_s, u"ignorato %1: %2\n"_s)
                  .arg(QDir::toNativeSeparators(file.path),
                       plainFileProblem(file.problem, m_language)));
    }
    // Why those and no others: older ones were removed.
    const BackupRetention &kept = m_backups->retention();
    print(say(u"%1 backups kept: the newest %2 and all of the last %3 days, at most %4 MB\n"_s,
              u"%1 copie conservate: le %2 più recenti e tutte quelle degli ultimi %3 giorni, al "
              u"massimo %4 MB\n"_s)
              .arg(QString::number(backups.size()), QString::number(kept.newest),
                   QString::number(kept.days), QString::number(kept.bytes / (1024 * 1024))));
    return CtlDone;
}

int Ctl::restore()
{
    // Only a backup of this store, as `backups` lists them: by its file
    // name or its path.
    needBackupsFolder();
    std::optional<BackupInfo> chosen;
    if (m_options.operands.size() > 1) {
        const QString named = m_options.operands[1];
        for (const BackupInfo &backup : m_backups->list()) {
            if (named == QFileInfo(backup.path).fileName()
                || QFileInfo(named).absoluteFilePath() == QFileInfo(backup.path).absoluteFilePath())
                chosen = backup;
        }
        if (!chosen) {
            throw CtlError{say(u"%1 is not a backup of these settings; \"ordevanctl backups\" "
                               u"lists them."_s,
                               u"%1 non è una copia di queste impostazioni; \"ordevanctl backups\" "
                               u"le elenca."_s)
                               .arg(named)};
        }
    } else if (!(chosen = m_backups->newest())) {
        throw CtlError{
            say(u"There is no save to undo."_s, u"Non c'è nessun salvataggio da annullare."_s)};
    }
    RestoreOutcome outcome;
    try {
        outcome = restoreBackup(*m_store, *m_backups, chosen->path);
    } catch (const ERegistryStoreError &e) {
        throw CtlError{say(u"Nothing was restored."_s, u"Non è stato ripristinato nulla."_s) + u' '
                           + QString::fromStdU16String(e.text(m_language)),
                       CtlStoreFailed};
    }
    print(say(u"%1 values restored from %2\n"_s, u"%1 valori ripristinati da %2\n"_s)
              .arg(QString::number(outcome.values), QDir::toNativeSeparators(chosen->path)));
    if (!outcome.refused.isEmpty()) {
        throw CtlError{say(u"These values could not be restored:\n"_s,
                           u"Questi valori non sono stati ripristinati:\n"_s)
                           + outcome.refused.join(u'\n'),
                       CtlStoreFailed};
    }
    return CtlDone;
}

} // namespace

int runCtl(const QStringList &arguments, std::FILE *out, std::FILE *err, bool outIsTerminal,
           const QList<qsizetype> &notUtf8)
{
    try {
        auto options = parseOptions(arguments, out);
        if (!options)
            return CtlDone;
        options->notUtf8 = notUtf8;
        return Ctl(*options, out, err, outIsTerminal).run();
    } catch (const CtlError &e) {
        std::fprintf(err, "ordevanctl: %s\n", qUtf8Printable(terminalLines(e.message)));
        return e.exit;
    } catch (const std::exception &e) {
        // Out of memory, or a store error past the commands' own handling.
        std::fprintf(err, "ordevanctl: %s\n",
                     qUtf8Printable(terminalLines(QString::fromUtf8(e.what()))));
        return CtlStoreFailed;
    }
}
