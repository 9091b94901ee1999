#pragma once

// Backups of what a save is about to change: before anything is written,
// the values it will write, as they stand, go into a registry-export file
// (UTF-16LE, as the registry editor imports it), and a value that does not
// exist yet as a deletion ("Name"=-). Importing a backup, here or with the
// registry editor, puts those values back as they were. Old ones are removed
// as BackupRetention says.

#include "plainfile.h"
#include "registrystore.h"
#include "storechoice.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// One value as it stood before a save.
struct BackupValue
{
    RootKey root = RootKey::CurrentUser;
    QString key; // relative to the root, components separated by backslashes
    QString name;
    std::optional<StoredValue> value; // nullopt: there was none

    friend bool operator==(const BackupValue &, const BackupValue &) = default;
};

struct BackupInfo
{
    QString path;
    QDateTime time; // when it was written, in UTC
    qsizetype values = 0;
    qint64 size = 0; // in bytes
    qint64 sequence = 0; // the order it was written in; 0 for a backup without one
};

// A file named like a backup that was not read, and why: not a regular
// file, too large, or unreadable.
struct SkippedBackup
{
    QString path;
    PlainFileResult problem;
};

// Which backups of a store are kept: every one of the last `days` days and
// at least the `newest`, whichever keeps more, so that neither many saves
// of a script nor a long pause push out a user's own saves; within `bytes`
// in all, the oldest going first beyond them.
struct BackupRetention
{
    qsizetype newest = 50;
    int days = 30;
    qint64 bytes = 50 * 1024 * 1024;
};

class RegistryBackups
{
public:
    // Backups of the store described as `store` (the same words for the
    // same store at every start), in `folder`. Backups of other stores
    // may share the folder: each names its store, and only this store's
    // are listed, rotated and restored. Their values are all under the key
    // `under` of HKEY_CURRENT_USER: a file with any other is no backup.
    RegistryBackups(QString folder, QString store,
                    QString under = QString::fromUtf16(CopyProgramKey));
    // Beside the per-user store; on Windows in the user's local
    // application data.
    static QString defaultFolder();

    const QString &folder() const { return m_folder; }
    const QString &store() const { return m_store; }
    const BackupRetention &retention() const { return m_retention; }
    void setRetention(const BackupRetention &retention) { m_retention = retention; }

    // Writes a backup of `values` and removes the backups of this store the
    // retention no longer keeps, never the one written nor `restoring` (the
    // backup a restore is taking its values from); returns its path. Raises
    // ERegistryStoreError when it cannot be written: then nothing may be
    // saved.
    QString write(const QList<BackupValue> &values,
                  const QDateTime &now = QDateTime::currentDateTimeUtc(),
                  const QString &restoring = QString()) const;
    // This store's backups, newest first: in the order they were written,
    // whatever the clock said.
    // The files named like backups that could not be read go to `skipped`.
    QList<BackupInfo> list(QList<SkippedBackup> *skipped = nullptr) const;
    std::optional<BackupInfo> newest() const;
    // The values of a backup; raises ERegistryStoreError for a file that
    // cannot be read or is not a backup of this store.
    QList<BackupValue> read(const QString &path) const;

private:
    void removeOld(const QList<BackupInfo> &newestFirst, const QStringList &kept,
                   const QDateTime &now) const;
    std::optional<BackupInfo> backupAt(const QString &name, QList<SkippedBackup> *skipped) const;
    QStringList newestNamesFirst() const;

    QString m_folder;
    QString m_store;
    QString m_under;
    BackupRetention m_retention;
};

// The values of a backup file of `store`; nullopt for a file that is not
// one: damaged, of another store, or naming a key that is not `under` (or
// below it) in HKEY_CURRENT_USER. `sequence` gets its sequence number, 0 for
// a backup without one.
std::optional<QList<BackupValue>> parseBackup(const QByteArray &bytes, const QString &store,
                                              const QString &under, qint64 *sequence = nullptr);

// A backup file of `values`, numbered `sequence` unless 0 (a comment line,
// which the registry editor skips); nullopt when a name cannot be written in
// one.
std::optional<QByteArray> backupFile(const QList<BackupValue> &values, const QString &store,
                                     const QDateTime &now, qint64 sequence = 0);

struct RestoreOutcome
{
    QString undoBackup; // the backup of the state the restore replaced
    qsizetype values = 0; // values put back or deleted
    QStringList refused; // "key\name" of the values the store refused
};

// Puts the values of the backup at `path` back as they were, kinds and
// bytes included, and deletes those that did not exist; first backs up
// what they are now, so that the restore can be undone in turn. One batch
// of the store. Raises ERegistryStoreError when nothing could be restored;
// the backup of what was there stays even then, as a store that writes
// through another program may have stored part of the values.
RestoreOutcome restoreBackup(RegistryStore &store, const RegistryBackups &backups,
                             const QString &path);
