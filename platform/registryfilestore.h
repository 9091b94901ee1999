#pragma once

// The registry of systems that have none: one per-user file in the
// registry-export format, which the Windows registry editor imports as it is.
// Every change is saved at once, atomically and under a lock, so that several
// instances of the tool can share the file; a file that changed on disk is
// read again before use; a file that cannot be parsed is never overwritten.

#include "regfile.h"
#include "registrystore.h"

#include <QString>

#include <functional>
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
    using ProblemReporter = std::function<void(const RegistryFileProblem &)>;

    explicit RegistryFileStore(QString path);
    // GenericConfigLocation + "/Ordevan/registry.reg".
    static QString defaultPath();

    const QString &path() const { return m_path; }
    // Told of each problem once, until an operation succeeds again.
    void setProblemReporter(ProblemReporter reporter) { m_reporter = std::move(reporter); }
    void setLockTimeout(int milliseconds) { m_lockTimeout = milliseconds; }

    std::unique_ptr<RegistryKey> openKey(RootKey root, std::u16string_view path,
                                         bool create) override;

private:
    class FileKey;
    struct Stamp
    {
        bool exists = false;
        quint64 device = 0, inode = 0;
        qint64 size = 0, seconds = 0, nanoseconds = 0;
        friend bool operator==(const Stamp &, const Stamp &) = default;
    };

    std::optional<RegData> read(const QString &keyPath, const QString &name);
    bool write(const QString &keyPath, const QString &name, const RegData &data);

    std::optional<Stamp> stamp(QString *error) const;
    bool refresh(bool force = false);
    bool modify(const std::function<bool(RegFile &)> &change);
    void report(RegistryFileProblem::Kind kind, RegistryFileFault fault,
                const QString &systemError = {}, int line = 0);

    QString m_path;
    ProblemReporter m_reporter;
    int m_lockTimeout = 10000;

    std::optional<RegFile> m_file; // empty while the file is damaged or unread
    std::optional<Stamp> m_stamp; // of the file as last read
    QByteArray m_bytes; // the file as last read
    std::optional<RegistryFileProblem> m_reported;
};
