#include "wineprefixstore.h"

#include "documentfile.h"
#include "winereg.h"
#include "wineserver.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString CurrentUser = u"HKEY_CURRENT_USER"_s;

QString fullKey(const QString &key)
{
    return key.isEmpty() ? CurrentUser : CurrentUser + u'\\' + key;
}

// A user.reg as a document; keys are named from HKEY_CURRENT_USER down.
class WineRegDocument : public PiecewiseDocument
{
public:
    explicit WineRegDocument(WineRegFile file)
        : m_file(std::move(file))
    { }

    std::unique_ptr<RegistryDocument> clone() const override
    {
        return std::make_unique<WineRegDocument>(m_file);
    }
    bool hasKey(const QString &key) const override { return m_file.hasKey(key); }
    std::optional<RegData> value(const QString &key, const QString &name) const override
    {
        return m_file.value(key, name);
    }
    void addKey(const QString &key) override { m_file.addKey(key, now()); }
    bool setValue(const QString &key, const QString &name, const RegData &data) override
    {
        return m_file.setValue(key, name, data, now());
    }
    void removeValue(const QString &key, const QString &name) override
    {
        m_file.removeValue(key, name, now());
    }
    QList<QByteArrayView> pieces() const override { return m_file.pieces(); }

private:
    static qint64 now() { return QDateTime::currentSecsSinceEpoch(); }

    WineRegFile m_file;
};

// Whether Wine's registry editor stores the value as it is and exports it
// so. It appends a NUL to text data that lacks one, and fails on an odd
// size; it exports a REG_SZ up to its first NUL, and a DWORD as four bytes
// whatever its size. Anything else goes through unchanged.
bool editorCarries(const RegData &data)
{
    switch (data.type) {
    case RegType::String:
        return RegData::fromString(data.text()) == data;
    case RegType::ExpandString:
    case RegType::MultiString:
        return data.bytes.size() >= 2 && data.bytes.size() % 2 == 0
            && data.bytes.endsWith(QByteArray(2, '\0'));
    case RegType::DWord:
        return data.bytes.size() == 4;
    default:
        return true;
    }
}

} // namespace

// What a running server holds, as its registry editor exported it: one
// export for each program's key ("Software\Vendor"), which holds all a
// window reads of it.
class WinePrefixStore::Snapshot : public RegistryDocument
{
public:
    static QString exportedKey(const QString &key) { return key.section(u'\\', 0, 1); }

    std::unique_ptr<RegistryDocument> clone() const override
    {
        return std::make_unique<Snapshot>(*this);
    }
    bool covers(const QString &key) const override
    {
        return m_exports.contains(exportedKey(key).toLower());
    }
    bool hasKey(const QString &key) const override
    {
        const RegFile *found = exportOf(key);
        return key.isEmpty() || (found && found->hasKey(fullKey(key)));
    }
    std::optional<RegData> value(const QString &key, const QString &name) const override
    {
        const RegFile *found = exportOf(key);
        return found ? found->value(fullKey(key), name) : std::nullopt;
    }
    void addKey(const QString &key) override
    {
        if (RegFile *found = exportOf(key))
            found->addKey(fullKey(key));
    }
    bool setValue(const QString &key, const QString &name, const RegData &data) override
    {
        RegFile *found = exportOf(key);
        return found && editorCarries(data) && found->setValue(fullKey(key), name, data);
    }
    void removeValue(const QString &key, const QString &name) override
    {
        if (RegFile *found = exportOf(key))
            found->removeValue(fullKey(key), name);
    }
    QByteArray serialize() const override { return {}; } // never written as a file

    void keep(const QString &key, RegFile taken)
    {
        m_exports.insert(exportedKey(key).toLower(), std::move(taken));
    }
    void clear() { m_exports.clear(); }

private:
    const RegFile *exportOf(const QString &key) const
    {
        const auto found = m_exports.constFind(exportedKey(key).toLower());
        return found == m_exports.constEnd() ? nullptr : &*found;
    }
    RegFile *exportOf(const QString &key)
    {
        const auto found = m_exports.find(exportedKey(key).toLower());
        return found == m_exports.end() ? nullptr : &*found;
    }

    QHash<QString, RegFile> m_exports;
};

WinePrefixStore::WinePrefixStore(QString prefix, FileCalls &calls, std::unique_ptr<Regedit> regedit,
                                 std::function<bool()> serverRunning)
    : m_prefix(QDir::cleanPath(prefix))
    , m_calls(calls)
    , m_regedit(regedit ? std::move(regedit) : std::make_unique<WineRegedit>(m_prefix))
    , m_serverRunning(std::move(serverRunning))
    , m_file(std::make_unique<DocumentFile>(m_prefix + u"/user.reg"_s, calls,
                                            [](const QByteArray &bytes, bool exists) {
                                                return std::make_unique<WineRegDocument>(
                                                    exists ? WineRegFile::parse(bytes)
                                                           : WineRegFile());
                                            }))
    , m_snapshot(std::make_unique<Snapshot>())
{ }

WinePrefixStore::~WinePrefixStore() = default;

QString WinePrefixStore::userRegPath() const
{
    return m_file->path();
}

bool WinePrefixStore::isPrefix(const QString &folder)
{
    return QFileInfo(folder + u"/user.reg"_s).isFile();
}

bool WinePrefixStore::serverRunning() const
{
    if (m_holding)
        return m_holdFoundServer; // none starts while the hold is held
    return m_serverRunning ? m_serverRunning() : wineServerRunning(m_prefix);
}

std::optional<QString> WinePrefixStore::documentKey(RootKey root, const QString &path) const
{
    if (root != RootKey::CurrentUser)
        return std::nullopt; // a prefix's user.reg holds this root only
    return path;
}

const RegistryDocument &WinePrefixStore::load(const QString &key, bool)
{
    if (serverRunning())
        return exported(key);
    m_snapshot->clear();
    return m_file->document();
}

void WinePrefixStore::refresh()
{
    m_snapshot->clear();
}

// Each program's key is exported once and kept until refresh() or a save:
// a window's start reads two (the copy program's and Ordevan's own), and
// nothing it shows or edits runs Wine again.
const RegistryDocument &WinePrefixStore::exported(const QString &key)
{
    if (!m_snapshot->covers(key))
        keep(key, m_regedit->exportKey(fullKey(Snapshot::exportedKey(key))));
    return *m_snapshot;
}

void WinePrefixStore::readAhead(const std::vector<std::u16string> &paths)
{
    if (!serverRunning())
        return;
    QStringList keys;
    for (const std::u16string &path : paths) {
        const QString key = Snapshot::exportedKey(QString::fromStdU16String(path));
        if (!m_snapshot->covers(key) && !keys.contains(key, Qt::CaseInsensitive))
            keys.append(key);
    }
    QStringList full;
    for (const QString &key : keys)
        full.append(fullKey(key));
    const QList<Regedit::Result> results = m_regedit->exportKeys(full);
    for (qsizetype i = 0; i < keys.size(); ++i)
        keep(keys[i], results.value(i));
}

void WinePrefixStore::keep(const QString &key, const Regedit::Result &result)
{
    if (result.outcome == Regedit::Outcome::Failed)
        wineFailed(result.error);
    RegFile taken;
    if (result.outcome == Regedit::Outcome::Done) {
        try {
            taken = RegFile::parse(result.bytes, RegFile::Dialect::WineEditor);
        } catch (const RegFileError &e) {
            wineFailed(QString::fromUtf8(e.what()));
        }
    }
    m_snapshot->keep(key, std::move(taken));
}

std::unique_ptr<WriteHold> WinePrefixStore::holdForWriting()
{
    // Ordevan's own lock keeps two of its windows apart; Wine's server lock
    // keeps a Wine from starting, and reading user.reg, until it is written.
    struct Hold : WriteHold
    {
        Hold(WinePrefixStore &writer, FileLock lock)
            : store(writer)
            , own(std::move(lock))
            , server(writer.m_prefix)
        { }
        ~Hold() override { store.m_holding = false; }
        WinePrefixStore &store;
        FileLock own;
        WineServerHold server;
    };
    auto hold = std::make_unique<Hold>(
        *this, lockForWriting(*m_file, m_calls, userRegPath() + u".lock"_s, m_lockTimeout));
    if (m_serverRunning) {
        m_holdFoundServer = m_serverRunning();
    } else {
        switch (hold->server.hold(m_lockTimeout)) {
        case WineServerHold::Outcome::Held:
            m_holdFoundServer = false;
            break;
        case WineServerHold::Outcome::ServerRunning:
            m_holdFoundServer = true;
            break;
        case WineServerHold::Outcome::Busy:
            m_file->fail(RegistryFileProblem::Kind::Locked, RegistryFileFault::LockedByAnother);
        }
    }
    if (!m_holdFoundServer)
        removeStaleCopies(m_calls, userRegPath());
    m_holding = true;
    return hold;
}

std::vector<RefusedWrite> WinePrefixStore::store(const QList<RegistryChange> &changes)
{
    if (m_holdFoundServer)
        return storeThroughWine(changes);
    std::unique_ptr<RegistryDocument> changed = m_file->document().clone();
    for (const RegistryChange &change : changes)
        applyChange(*changed, change);
    m_file->save(std::move(changed));
    return {};
}

// One import for all the changes; what the server holds afterwards tells
// which it took. Where a batch changed a value more than once, only what it
// left is looked for. A value the editor would change or could not read
// back is not sent, nor are the batch's earlier changes of it: it is
// refused as it is.
std::vector<RefusedWrite> WinePrefixStore::storeThroughWine(const QList<RegistryChange> &changes)
{
    const auto idOf = [](const RegistryChange &change) {
        return std::pair{change.key.toCaseFolded(),
                         change.kind == RegistryChange::Kind::AddKey
                             ? QString()
                             : u'"' + change.name.toCaseFolded()};
    };
    QHash<std::pair<QString, QString>, qsizetype> last; // the last change of each key and value
    for (qsizetype i = 0; i < changes.size(); ++i)
        last.insert(idOf(changes[i]), i);
    const auto sent = [&](qsizetype i) {
        const RegistryChange &left = changes[last.value(idOf(changes[i]))];
        return left.kind != RegistryChange::Kind::SetValue || editorCarries(left.data);
    };

    RegFile file;
    for (qsizetype i = 0; i < changes.size(); ++i) {
        const RegistryChange &change = changes[i];
        if (!sent(i))
            continue;
        switch (change.kind) {
        case RegistryChange::Kind::AddKey:
            file.addKey(fullKey(change.key));
            break;
        case RegistryChange::Kind::SetValue:
            file.setValue(fullKey(change.key), change.name, change.data);
            break;
        case RegistryChange::Kind::DeleteValue:
            file.addDeletion(fullKey(change.key), change.name);
            break;
        }
    }
    const Regedit::Result result = m_regedit->importFile(file.serialize());
    m_snapshot->clear();
    if (result.outcome != Regedit::Outcome::Done)
        wineFailed(result.error);

    std::vector<RefusedWrite> refused;
    for (qsizetype i = 0; i < changes.size(); ++i) {
        const RegistryChange &change = changes[i];
        if (last.value(idOf(change)) != i)
            continue;
        bool stored = false;
        if (sent(i)) {
            const RegistryDocument &now = exported(change.key);
            switch (change.kind) {
            case RegistryChange::Kind::AddKey:
                stored = now.hasKey(change.key);
                break;
            case RegistryChange::Kind::SetValue:
                stored = now.value(change.key, change.name) == change.data;
                break;
            case RegistryChange::Kind::DeleteValue:
                stored = !now.value(change.key, change.name);
                break;
            }
        }
        if (!stored)
            refused.push_back({change.path.toStdU16String(), change.name.toStdU16String()});
    }
    return refused;
}

void WinePrefixStore::wineFailed(const QString &error) const
{
    const QString prefix = QDir::toNativeSeparators(m_prefix);
    throw ERegistryStoreError(
        u"Wine's registry editor could not be used in the prefix %1: %2."_s.arg(prefix, error)
            .toStdU16String(),
        u"Impossibile usare l'editor del registro di Wine nel prefisso %1: %2."_s.arg(prefix, error)
            .toStdU16String());
}
