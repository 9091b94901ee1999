#pragma once

// The registry of a Windows program run under Wine: HKEY_CURRENT_USER of a
// Wine prefix, where the program itself reads and writes it.
//
// While no Wine server runs in the prefix, its user.reg is read directly
// and patched as Wine would write it, atomically, while the server's own
// lock keeps any Wine from starting in between. While one runs, it holds the
// registry in memory and would write it back over any change to the file:
// then everything goes through Wine's registry editor, and what it was
// asked to store is read back to know what it stored.

#include "patchedstore.h"
#include "regedit.h"
#include "safefile.h"

#include <functional>
#include <memory>

class DocumentFile;

class WinePrefixStore : public PatchedStore
{
public:
    // `serverRunning` tells whether a Wine server runs in the prefix; by
    // default its lock is asked.
    explicit WinePrefixStore(QString prefix, FileCalls &calls = FileCalls::system(),
                             std::unique_ptr<Regedit> regedit = nullptr,
                             std::function<bool()> serverRunning = {});
    ~WinePrefixStore() override;

    const QString &prefix() const { return m_prefix; }
    QString userRegPath() const;
    void setLockTimeout(int milliseconds) { m_lockTimeout = milliseconds; }
    // Whether a prefix folder holds a user registry.
    static bool isPrefix(const QString &folder);

    void refresh() override;
    void readAhead(const std::vector<std::u16string> &paths) override;

protected:
    std::optional<QString> documentKey(RootKey root, const QString &path) const override;
    const RegistryDocument &load(const QString &key, bool opening) override;
    std::unique_ptr<WriteHold> holdForWriting() override;
    std::vector<RefusedWrite> store(const QList<RegistryChange> &changes) override;

private:
    class Snapshot;

    bool serverRunning() const;
    const RegistryDocument &exported(const QString &key);
    void keep(const QString &key, const Regedit::Result &result);
    std::vector<RefusedWrite> storeThroughWine(const QList<RegistryChange> &changes);
    [[noreturn]] void wineFailed(const QString &error) const;

    QString m_prefix;
    FileCalls &m_calls;
    std::unique_ptr<Regedit> m_regedit;
    std::function<bool()> m_serverRunning;
    std::unique_ptr<DocumentFile> m_file;
    std::unique_ptr<Snapshot> m_snapshot; // of a running server, by exported key
    int m_lockTimeout = 5000;
    bool m_holding = false; // a hold for writing is held
    bool m_holdFoundServer = false; // and it found a server running
};
