#include "wineserver.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// A write lock on the whole file: it conflicts with the byte a server locks.
struct flock wholeFile(short type)
{
    struct flock lock
    {
    };
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;
    return lock;
}

enum class Holder { None, Server, Other };

// Who holds the lock of `fd`: a server takes a process's record lock, which
// reports its process; we take a lock of the open file, which reports none.
Holder holderOf(int fd)
{
    struct flock lock = wholeFile(F_WRLCK);
    if (::fcntl(fd, F_OFD_GETLK, &lock) != 0 || lock.l_type == F_UNLCK)
        return Holder::None;
    return lock.l_pid > 0 ? Holder::Server : Holder::Other;
}

// The server's name for the prefix in Debian's Wine, if it wrote one.
QString debianName(const QString &prefix)
{
    QFile file(prefix + u"/wineserver"_s);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString name = QString::fromLocal8Bit(file.read(256)).trimmed();
    const bool plain = !name.isEmpty() && !name.contains(u'/') && name != u"."_s && name != u".."_s;
    return plain ? name : QString();
}

bool makeFolder(const QString &path)
{
    return ::mkdir(QFile::encodeName(path).constData(), 0700) == 0 || errno == EEXIST;
}

} // namespace

QStringList wineServerLockPaths(const QString &prefix)
{
    struct ::stat info
    {
    };
    if (::stat(QFile::encodeName(prefix).constData(), &info) != 0)
        return {};
    const QString server = u"server-%1-%2"_s.arg(static_cast<qulonglong>(info.st_dev), 0, 16)
                               .arg(static_cast<qulonglong>(info.st_ino), 0, 16);
    QStringList roots;
    if (const QString tmp = qEnvironmentVariable("TMPDIR"); !tmp.isEmpty())
        roots.append(tmp);
    if (!roots.contains(u"/tmp"_s))
        roots.append(u"/tmp"_s);
    QStringList names = {u".wine-"_s + QString::number(::getuid())};
    if (const QString debian = debianName(prefix); !debian.isEmpty())
        names.append(debian);

    QStringList paths;
    for (const QString &root : std::as_const(roots)) {
        for (const QString &name : std::as_const(names))
            paths.append(root + u'/' + name + u'/' + server + u"/lock"_s);
    }
    return paths;
}

bool wineServerRunning(const QString &prefix)
{
    for (const QString &path : wineServerLockPaths(prefix)) {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        const Holder holder = holderOf(fd);
        ::close(fd);
        if (holder == Holder::Server)
            return true;
    }
    return false;
}

WineServerHold::WineServerHold(QString prefix)
    : m_prefix(std::move(prefix))
{ }

WineServerHold::~WineServerHold()
{
    for (const int fd : std::as_const(m_descriptors))
        ::close(fd); // which lets go of its lock
}

WineServerHold::Outcome WineServerHold::hold(int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    for (const QString &path : wineServerLockPaths(m_prefix)) {
        // The folders as a server makes them: its own, for nobody else. A
        // place that cannot be made is one no server of this user can use.
        const QString serverFolder = QFileInfo(path).absolutePath();
        if (!makeFolder(QFileInfo(serverFolder).absolutePath()) || !makeFolder(serverFolder))
            continue;
        const int fd
            = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0)
            continue;
        m_descriptors.append(fd);
        for (int pause = 1;; pause = std::min(pause * 2, 50)) {
            struct flock take = wholeFile(F_WRLCK);
            if (::fcntl(fd, F_OFD_SETLK, &take) == 0)
                break;
            if (holderOf(fd) == Holder::Server)
                return Outcome::ServerRunning;
            if (waited.elapsed() >= timeoutMs)
                return Outcome::Busy;
            QThread::msleep(static_cast<unsigned long>(pause));
        }
    }
    return Outcome::Held;
}
