#include "plainfile.h"

#include "safefile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

PlainFileResult fromFileResult(const FileResult &result)
{
    switch (result.failure) {
    case FileFailure::None:
        return {};
    case FileFailure::NotRegular:
        return {PlainFileResult::Failure::NotRegular, {}};
    case FileFailure::TooLarge:
        return {PlainFileResult::Failure::TooLarge, {}};
    case FileFailure::System:
        break;
    }
    return {PlainFileResult::Failure::System, result.error};
}

PlainFileResult systemFailure()
{
    return {PlainFileResult::Failure::System, QString::fromLocal8Bit(std::strerror(errno))};
}

// A device or a pipe has no file to replace: the bytes go to it, and a
// short or failed write is told, not taken for done.
PlainFileResult writeInPlace(const QByteArray &name, const QByteArray &bytes)
{
    const int fd = ::open(name.constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return systemFailure();
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            const PlainFileResult failed = systemFailure();
            ::close(fd);
            return failed;
        }
        done += n;
    }
    return ::close(fd) == 0 ? PlainFileResult() : systemFailure();
}

} // namespace

PlainFileResult readPlainFile(const QString &path, qint64 maxSize, QByteArray &bytes)
{
    FileStamp stamp;
    const FileResult read = readRegularFile(FileCalls::system(), path, maxSize, bytes, stamp);
    if (read && !stamp.exists)
        return {PlainFileResult::Failure::Missing, {}};
    return fromFileResult(read);
}

PlainFileResult writePlainFile(const QString &path, const QByteArray &bytes)
{
    const QByteArray name = QFile::encodeName(path);
    struct ::stat info
    {
    };
    if (::stat(name.constData(), &info) == 0 && (S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode)))
        return writeInPlace(name, bytes);
    return fromFileResult(replaceFile(FileCalls::system(), path, bytes));
}
