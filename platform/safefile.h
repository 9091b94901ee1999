#pragma once

// Reading, replacing and locking the files the tool keeps its data in, so
// that nothing a user has is lost on the way: only regular files of bounded
// size are read; a file is replaced whole or not at all (a new file beside
// it, written, flushed to disk and then renamed over it), and every call
// that can fail is checked before the rename; a lock is held by the kernel
// for the life of its holder, so one left behind by a killed process is
// free at once.
//
// All system calls go through FileCalls, so that tests can make any one of
// them fail.

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

#include <sys/stat.h>
#include <sys/types.h>

class FileCalls
{
public:
    virtual ~FileCalls() = default;
    // The process's own calls.
    static FileCalls &system();

    virtual int stat(const char *path, struct ::stat *info);
    virtual int open(const char *path, int flags, mode_t mode = 0);
    virtual int fstat(int fd, struct ::stat *info);
    virtual ssize_t read(int fd, void *buffer, size_t size);
    virtual ssize_t write(int fd, const void *data, size_t size);
    virtual int fsync(int fd);
    virtual int fchmod(int fd, mode_t mode);
    virtual int close(int fd);
    virtual int rename(const char *from, const char *to);
    virtual int unlink(const char *path);
    virtual int flock(int fd, int operation);
    virtual int access(const char *path, int mode);
};

// What identifies one state of a file on disk: a file replaced by a rename
// has another inode, one rewritten in place another time or size.
struct FileStamp
{
    bool exists = false;
    quint64 device = 0, inode = 0;
    qint64 size = 0, seconds = 0, nanoseconds = 0, changeSeconds = 0, changeNanoseconds = 0;
    friend bool operator==(const FileStamp &, const FileStamp &) = default;
};

enum class FileFailure {
    None,
    NotRegular, // a folder, a pipe, a device...
    TooLarge,
    System // in the system's own words: `error`
};

struct FileResult
{
    FileFailure failure = FileFailure::None;
    QString error; // the system's words for a System failure
    int errorNumber = 0; // and its errno
    explicit operator bool() const { return failure == FileFailure::None; }
};

// The stamp of `path` now; a missing file (or folder on the way) is a stamp
// that does not exist.
FileResult fileStamp(FileCalls &calls, const QString &path, FileStamp &stamp);

// Reads a whole regular file of at most `maxSize` bytes; a missing file reads
// as nothing, with a stamp that does not exist.
FileResult readRegularFile(FileCalls &calls, const QString &path, qint64 maxSize, QByteArray &bytes,
                           FileStamp &stamp);

// Replaces the file at `path` (or the file a symbolic link there points to)
// with `bytes`, keeping its permissions, or creates it. On any failure the
// file stays as it was and nothing else is left behind. An existing file
// that is not writable is refused.
FileResult replaceFile(FileCalls &calls, const QString &path, const QByteArray &bytes);
// The same for a file given in pieces, written one after another, so that
// a large file need not be joined in memory first.
FileResult replaceFile(FileCalls &calls, const QString &path, const QList<QByteArrayView> &pieces);

// Removes the temporary copies that replaceFile() makes beside `path` and
// that a writer killed in the middle leaves behind: while holding the
// file's lock, all of them (the holder is the only writer of such copies);
// without it, those older than `olderThanSeconds`.
void removeStaleCopies(FileCalls &calls, const QString &path, qint64 olderThanSeconds = 0);
// How old a copy must be to be removed without the write lock held (at
// start): a write going on in another Ordevan takes seconds.
inline constexpr qint64 StaleCopySeconds = 600;

// An exclusive lock on a lock file, held until the object ends. The lock
// file itself stays: removing it would let two holders lock two files.
class FileLock
{
public:
    FileLock(FileCalls &calls, QString path);
    FileLock(FileLock &&other) noexcept;
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;
    FileLock &operator=(FileLock &&) = delete;

    enum class Outcome { Locked, HeldByAnother, CannotCreate };
    // Waits up to `timeoutMs` for another holder to let go.
    Outcome lock(int timeoutMs);
    // The system's words when the lock file cannot be created, and its errno.
    const QString &error() const { return m_error; }
    int errorNumber() const { return m_errorNumber; }

private:
    FileCalls &m_calls;
    QString m_path;
    int m_fd = -1;
    QString m_error;
    int m_errorNumber = 0;
};
