#pragma once

// The registry of systems that have none: one per-user file in the
// registry-export format, which the Windows registry editor imports as it is.
// Changes are saved atomically and under a lock, a batch of them as one
// change, so that several instances of the tool can share the file; a file
// that changed on disk is read again before use, and a save merges its own
// changes into what is on disk then; a file that cannot be parsed is never
// overwritten.

#include "regfile.h"
#include "registrystore.h"
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
    // The system's own words, for a System fault.
    QString systemError;

    friend bool operator==(const RegistryFileProblem &, const RegistryFileProblem &) = default;
};

class RegistryFileStore : public RegistryStore
{
public:
    explicit RegistryFileStore(QString path, FileCalls &calls = FileCalls::system());
    // GenericConfigLocation + "/Ordevan/registry.reg".
    static QString defaultPath();

    const QString &path() const { return m_path; }
    // How long a save waits for another instance's save to end.
    void setLockTimeout(int milliseconds) { m_lockTimeout = milliseconds; }

    std::unique_ptr<RegistryKey> openKey(RootKey root, std::u16string_view path,
                                         bool create) override;
    void beginBatch() override;
    void commitBatch() override;
    void cancelBatch() override;

private:
    class FileKey;
    // One write of a batch, kept so that it can be made again on the file as
    // another instance left it: a key to add, or a value to set.
    struct Change
    {
        QString keyPath;
        std::optional<QString> name;
        RegData data;
    };

    // The file as this store sees it now: read again when it changed on disk,
    // or, inside a batch, as it was when the batch first read it with the
    // batch's changes made. Raises ERegistryStoreError while it cannot be read.
    const RegFile &current();
    static void apply(RegFile &file, const Change &change);
    bool change(Change change);
    FileLock lockFile();
    void save(RegFile changed);
    void refresh();
    void forget();
    [[noreturn]] void fail(RegistryFileProblem::Kind kind, RegistryFileFault fault,
                           const QString &systemError = {}) const;
    [[noreturn]] void failWith(RegistryFileProblem::Kind kind, const FileResult &result) const;

    QString m_path;
    FileCalls &m_calls;
    int m_lockTimeout = 5000;

    std::optional<RegFile> m_file; // as last read or saved; empty until then
    std::optional<FileStamp> m_stamp; // of the file as last read or saved
    QByteArray m_bytes; // the file as last read or saved
    std::optional<RegistryFileProblem> m_damage; // why the file at m_stamp cannot be parsed
    quint64 m_generation = 0; // counts the changes of m_file

    int m_batchDepth = 0;
    QList<Change> m_changes; // of the open batch
    std::optional<RegFile> m_batchFile; // m_file with the batch's changes made
    quint64 m_batchGeneration = 0; // of the m_file that m_batchFile started from
};
