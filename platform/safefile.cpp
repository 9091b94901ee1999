#include "safefile.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QThread>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

FileCalls &FileCalls::system()
{
    static FileCalls calls;
    return calls;
}

int FileCalls::stat(const char *path, struct ::stat *info)
{
    return ::stat(path, info);
}

int FileCalls::open(const char *path, int flags, mode_t mode)
{
    return ::open(path, flags, mode);
}

int FileCalls::fstat(int fd, struct ::stat *info)
{
    return ::fstat(fd, info);
}

ssize_t FileCalls::read(int fd, void *buffer, size_t size)
{
    return ::read(fd, buffer, size);
}

ssize_t FileCalls::write(int fd, const void *data, size_t size)
{
    return ::write(fd, data, size);
}

int FileCalls::fsync(int fd)
{
    return ::fsync(fd);
}

int FileCalls::fchmod(int fd, mode_t mode)
{
    return ::fchmod(fd, mode);
}

int FileCalls::close(int fd)
{
    return ::close(fd);
}

int FileCalls::rename(const char *from, const char *to)
{
    return ::rename(from, to);
}

int FileCalls::unlink(const char *path)
{
    return ::unlink(path);
}

int FileCalls::flock(int fd, int operation)
{
    return ::flock(fd, operation);
}

int FileCalls::access(const char *path, int mode)
{
    return ::access(path, mode);
}

namespace {

FileResult systemFailure(int error = errno)
{
    return {FileFailure::System, QString::fromLocal8Bit(std::strerror(error)), error};
}

FileStamp stampOf(const struct ::stat &info)
{
    return {true,
            static_cast<quint64>(info.st_dev),
            static_cast<quint64>(info.st_ino),
            static_cast<qint64>(info.st_size),
            static_cast<qint64>(info.st_mtim.tv_sec),
            static_cast<qint64>(info.st_mtim.tv_nsec),
            static_cast<qint64>(info.st_ctim.tv_sec),
            static_cast<qint64>(info.st_ctim.tv_nsec)};
}

// Closes a descriptor when the scope ends, unless it was closed (and the
// close checked) before.
class Descriptor
{
public:
    Descriptor(FileCalls &calls, int fd)
        : m_calls(calls)
        , m_fd(fd)
    { }
    ~Descriptor()
    {
        if (m_fd >= 0)
            m_calls.close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

    int fd() const { return m_fd; }
    bool close()
    {
        const int fd = std::exchange(m_fd, -1);
        return m_calls.close(fd) == 0;
    }

private:
    FileCalls &m_calls;
    int m_fd;
};

bool writeAll(FileCalls &calls, int fd, QByteArrayView bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = calls.write(fd, data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = EIO; // a write that makes no progress would loop forever
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

// Where a symbolic link chain at `path` ends; the path itself when it is
// none. A relative link is taken from its folder as it is on disk, which
// may itself be reached through a link.
QString linkTarget(const QString &path)
{
    QString target = path;
    for (int hops = 0; hops < 40; ++hops) {
        char buffer[PATH_MAX];
        const ssize_t length
            = ::readlink(QFile::encodeName(target).constData(), buffer, sizeof buffer);
        if (length < 0)
            return target; // not a link (or gone): the open below tells
        QString text = QFile::decodeName(QByteArray(buffer, static_cast<qsizetype>(length)));
        if (!text.startsWith(u'/')) {
            char *folder = ::realpath(
                QFile::encodeName(QFileInfo(target).absolutePath()).constData(), nullptr);
            if (!folder)
                return target;
            text = QFile::decodeName(folder) + u'/' + text;
            std::free(folder);
        }
        target = text;
    }
    return target; // a loop: the open below fails with the system's words
}

QString copyPrefix(const QString &target)
{
    return u"."_s + QFileInfo(target).fileName() + u'.';
}

} // namespace

FileResult fileStamp(FileCalls &calls, const QString &path, FileStamp &stamp)
{
    struct ::stat info
    {
    };
    if (calls.stat(QFile::encodeName(path).constData(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            stamp = {};
            return {};
        }
        return systemFailure();
    }
    if (!S_ISREG(info.st_mode))
        return {FileFailure::NotRegular, {}};
    stamp = stampOf(info);
    return {};
}

FileResult readRegularFile(FileCalls &calls, const QString &path, qint64 maxSize, QByteArray &bytes,
                           FileStamp &stamp)
{
    bytes.clear();
    // Non-blocking, so that a pipe put in the file's place cannot hang the
    // open; the type is checked on what was opened, not on the name.
    const int fd
        = calls.open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            stamp = {};
            return {};
        }
        return systemFailure();
    }
    Descriptor file(calls, fd);
    struct ::stat info
    {
    };
    if (calls.fstat(fd, &info) != 0)
        return systemFailure();
    if (!S_ISREG(info.st_mode))
        return {FileFailure::NotRegular, {}};
    if (info.st_size > maxSize)
        return {FileFailure::TooLarge, {}};

    // Read to the end, but never past the limit: the file may grow meanwhile.
    // The size and one byte more, to see growth: a resize would round the
    // room up to a power of two.
    bytes = QByteArray(static_cast<qsizetype>(info.st_size) + 1, Qt::Uninitialized);
    qsizetype got = 0;
    while (got < bytes.size()) {
        const ssize_t n
            = calls.read(fd, bytes.data() + got, static_cast<size_t>(bytes.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return systemFailure();
        if (n == 0)
            break;
        got += n;
        if (got == bytes.size() && got <= maxSize)
            bytes.resize(std::min<qint64>(maxSize + 1, bytes.size() * 2));
    }
    if (got > maxSize)
        return {FileFailure::TooLarge, {}};
    bytes.truncate(got);
    stamp = stampOf(info);
    stamp.size = got;
    return {};
}

FileResult replaceFile(FileCalls &calls, const QString &path, const QByteArray &bytes)
{
    return replaceFile(calls, path, QList<QByteArrayView>{bytes});
}

FileResult replaceFile(FileCalls &calls, const QString &path, const QList<QByteArrayView> &pieces)
{
    const QString target = linkTarget(path);
    const QByteArray targetName = QFile::encodeName(target);

    // A file the user made read-only stays as it is, although the folder
    // would let a rename replace it.
    struct ::stat existing
    {
    };
    const bool exists = calls.stat(targetName.constData(), &existing) == 0;
    if (!exists && errno != ENOENT)
        return systemFailure();
    if (exists && !S_ISREG(existing.st_mode))
        return {FileFailure::NotRegular, {}};
    if (exists && calls.access(targetName.constData(), W_OK) != 0)
        return systemFailure();

    // The new file goes beside the old one: a rename is atomic only within
    // one file system.
    const QFileInfo info(target);
    QByteArray tempName;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 16; ++attempt) {
        tempName = QFile::encodeName(info.absolutePath() + u'/' + copyPrefix(target)
                                     + QString::number(QRandomGenerator::global()->generate(), 36)
                                     + u".tmp"_s);
        fd = calls.open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return systemFailure();
    }
    if (fd < 0)
        return systemFailure(EEXIST);

    Descriptor file(calls, fd);
    const auto failed = [&](int error) {
        if (file.fd() >= 0)
            file.close();
        calls.unlink(tempName.constData());
        return systemFailure(error);
    };
    if (exists && calls.fchmod(fd, existing.st_mode & 07777) != 0)
        return failed(errno);
    for (const QByteArrayView piece : pieces) {
        if (!writeAll(calls, fd, piece))
            return failed(errno);
    }
    // The data must be on disk before the name points at it, or a crash
    // could leave an empty file where the old one was.
    if (calls.fsync(fd) != 0)
        return failed(errno);
    if (!file.close())
        return failed(errno);
    if (calls.rename(tempName.constData(), targetName.constData()) != 0)
        return failed(errno);

    // Make the rename itself durable; the new file is in place whatever
    // this answers.
    const int folder = calls.open(QFile::encodeName(info.absolutePath()).constData(),
                                  O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        calls.fsync(folder);
        calls.close(folder);
    }
    return {};
}

void removeStaleCopies(FileCalls &calls, const QString &path, qint64 olderThanSeconds)
{
    const QString target = linkTarget(path);
    const QDir folder = QFileInfo(target).absoluteDir();
    const QDateTime stale = QDateTime::currentDateTimeUtc().addSecs(-olderThanSeconds);
    for (const QFileInfo &copy : folder.entryInfoList({copyPrefix(target) + u"*.tmp"_s},
                                                      QDir::Files | QDir::Hidden | QDir::System)) {
        if (olderThanSeconds == 0 || copy.lastModified() < stale)
            calls.unlink(QFile::encodeName(copy.filePath()).constData());
    }
}

FileLock::FileLock(FileCalls &calls, QString path)
    : m_calls(calls)
    , m_path(std::move(path))
{ }

FileLock::FileLock(FileLock &&other) noexcept
    : m_calls(other.m_calls)
    , m_path(std::move(other.m_path))
    , m_fd(std::exchange(other.m_fd, -1))
    , m_error(std::move(other.m_error))
    , m_errorNumber(other.m_errorNumber)
{ }

FileLock::~FileLock()
{
    if (m_fd >= 0) {
        m_calls.flock(m_fd, LOCK_UN);
        m_calls.close(m_fd);
    }
}

FileLock::Outcome FileLock::lock(int timeoutMs)
{
    if (m_fd < 0) {
        m_fd = m_calls.open(QFile::encodeName(m_path).constData(),
                            O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (m_fd < 0) {
            m_errorNumber = errno;
            m_error = QString::fromLocal8Bit(std::strerror(errno));
            return Outcome::CannotCreate;
        }
    }
    QElapsedTimer waited;
    waited.start();
    for (int pause = 1;; pause = std::min(pause * 2, 50)) {
        if (m_calls.flock(m_fd, LOCK_EX | LOCK_NB) == 0)
            return Outcome::Locked;
        if (errno != EWOULDBLOCK && errno != EINTR) {
            m_errorNumber = errno;
            m_error = QString::fromLocal8Bit(std::strerror(errno));
            return Outcome::CannotCreate;
        }
        if (waited.elapsed() >= timeoutMs)
            return Outcome::HeldByAnother;
        QThread::msleep(static_cast<unsigned long>(pause));
    }
}
