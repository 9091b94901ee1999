#pragma once

// The registry of systems that have none: one per-user file in the
// registry-export format, which the Windows registry editor imports as it is.
// Changes are saved atomically and under a lock, a batch of them as one
// change, so that several instances of the tool can share the file; a file
// that changed on disk is read again before use, and a save makes its
// changes on what is on disk then; a file that cannot be parsed is never
// overwritten.

#include "patchedstore.h"
#include "regfile.h"
#include "registryfaults.h"
#include "safefile.h"

#include <QString>

#include <optional>

struct RegistryFileProblem
{
    enum class Kind {
        Damaged, // cannot be parsed: `line` names the first bad line (0: the whole file)
        Unreadable, // exists but cannot be read
        Unwritable, // cannot be created or replaced
        Locked // another program holds its lock
    };
    Kind kind = Kind::Damaged;
    QString path;
    int line = 0;
    RegistryFileFault fault = RegistryFileFault::System;
    // The system's own words, for a System fault or as a detail, and its errno.
    QString systemError;
    int errorNumber = 0;

    friend bool operator==(const RegistryFileProblem &, const RegistryFileProblem &) = default;
};

class DocumentFile;

class RegistryFileStore : public PatchedStore
{
public:
    explicit RegistryFileStore(QString path, FileCalls &calls = FileCalls::system());
    ~RegistryFileStore() override;
    // GenericConfigLocation + "/Ordevan/registry.reg".
    static QString defaultPath();

    const QString &path() const;
    // How long a save waits for another instance's save to end.
    void setLockTimeout(int milliseconds) { m_lockTimeout = milliseconds; }

protected:
    std::optional<QString> documentKey(RootKey root, const QString &path) const override;
    const RegistryDocument &load(const QString &key, bool opening) override;
    std::unique_ptr<WriteHold> holdForWriting() override;
    std::vector<RefusedWrite> store(const QList<RegistryChange> &changes) override;

private:
    FileCalls &m_calls;
    std::unique_ptr<DocumentFile> m_file;
    int m_lockTimeout = 5000;
};
