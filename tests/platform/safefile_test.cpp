#include "failingcalls.h"
#include "printers.h"
#include "safefile.h"
#include "testfiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

class SafeFileTest : public testing::Test
{
protected:
    SafeFileTest()
        : path(dir.filePath(u"registry.reg"_s))
    { }

    QStringList folder() const
    {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir dir;
    QString path;
};

} // namespace

TEST_F(SafeFileTest, AReplaceThatFailsAnywhereLeavesTheFileAsItWas)
{
    const QByteArray old = "the old file, all of it";
    const QByteArray replacement(100'000, 'n');
    writeAll(path, old);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);

    FailingCalls calls;
    calls.limitWrites(4096); // several writes, so that a later one can fail
    ASSERT_TRUE(replaceFile(calls, path, replacement));
    writeAll(path, old);
    const std::map<std::string, int> clean
        = {{"open", calls.count("open")},     {"write", calls.count("write")},
           {"fsync", calls.count("fsync")},   {"fchmod", calls.count("fchmod")},
           {"close", calls.count("close")},   {"stat", calls.count("stat")},
           {"access", calls.count("access")}, {"rename", calls.count("rename")}};
    ASSERT_GT(clean.at("write"), 10);

    int failures = 0;
    for (const auto &[kind, count] : clean) {
        for (int nth = 1; nth <= count; ++nth) {
            for (const int error : {ENOSPC, EIO}) {
                calls.failAt(kind, nth, error);
                const FileResult result = replaceFile(calls, path, replacement);
                ASSERT_TRUE(calls.failed()) << kind << " " << nth;
                // A failure after the rename (making it durable) is no failure
                // of the replacement: the new file is in place.
                if (result) {
                    EXPECT_EQ(readAll(path), replacement) << kind << " " << nth;
                    writeAll(path, old);
                    continue;
                }
                ++failures;
                EXPECT_EQ(result.error, QString::fromLocal8Bit(std::strerror(error)))
                    << kind << " " << nth;
                EXPECT_EQ(readAll(path), old) << kind << " " << nth;
                EXPECT_EQ(folder(), QStringList{u"registry.reg"_s}) << "no file left behind";
            }
        }
    }
    EXPECT_GT(failures, 20);

    calls.failAt({}, 0);
    const QByteArrayView whole = replacement;
    ASSERT_TRUE(replaceFile(calls, path, {whole.first(10), {}, whole.sliced(10)}));
    EXPECT_EQ(readAll(path), replacement);
    struct ::stat info
    {
    };
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u) << "the permissions are kept";
}

TEST_F(SafeFileTest, AWriteThatMakesNoProgressIsAFailureNotALoop)
{
    writeAll(path, "old");
    class Stalling : public FileCalls
    {
    public:
        ssize_t write(int, const void *, size_t) override { return 0; }
    } calls;
    EXPECT_FALSE(replaceFile(calls, path, "new"));
    EXPECT_EQ(readAll(path), "old");
}

TEST_F(SafeFileTest, ReadOnlyFilesAndLinks)
{
    writeAll(path, "read-only");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    if (::geteuid() != 0) { // root may write anything
        EXPECT_FALSE(replaceFile(FileCalls::system(), path, "new"));
        EXPECT_EQ(readAll(path), "read-only");
    }
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0644), 0);

    // A link stays a link; the file it points to is replaced.
    const QString link = dir.filePath(u"link.reg"_s);
    ASSERT_TRUE(QFile::link(path, link));
    ASSERT_TRUE(replaceFile(FileCalls::system(), link, "through the link"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readAll(path), "through the link");

    // A new file is created.
    ASSERT_TRUE(replaceFile(FileCalls::system(), dir.filePath(u"new.reg"_s), "new"));
    EXPECT_EQ(readAll(dir.filePath(u"new.reg"_s)), "new");
}

TEST_F(SafeFileTest, OnlyRegularFilesOfBoundedSizeAreRead)
{
    QByteArray bytes;
    FileStamp stamp;
    ASSERT_TRUE(readRegularFile(FileCalls::system(), path, 100, bytes, stamp));
    EXPECT_FALSE(stamp.exists) << "a missing file reads as nothing";

    writeAll(path, QByteArray(100, 'x'));
    ASSERT_TRUE(readRegularFile(FileCalls::system(), path, 100, bytes, stamp));
    EXPECT_EQ(bytes.size(), 100);
    EXPECT_TRUE(stamp.exists);
    EXPECT_EQ(readRegularFile(FileCalls::system(), path, 99, bytes, stamp).failure,
              FileFailure::TooLarge);

    EXPECT_EQ(readRegularFile(FileCalls::system(), dir.path(), 100, bytes, stamp).failure,
              FileFailure::NotRegular);
    const QString fifo = dir.filePath(u"fifo"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(readRegularFile(FileCalls::system(), fifo, 100, bytes, stamp).failure,
              FileFailure::NotRegular)
        << "and it did not hang";
    EXPECT_EQ(readRegularFile(FileCalls::system(), u"/dev/zero"_s, 100, bytes, stamp).failure,
              FileFailure::NotRegular);

    FailingCalls failing;
    failing.failAt("read", 1, EIO);
    EXPECT_EQ(readRegularFile(failing, path, 100, bytes, stamp).failure, FileFailure::System);
}

TEST_F(SafeFileTest, ALockOutlivesNoHolder)
{
    const QString lockPath = path + u".lock"_s;
    // An empty lock file, as a kill can leave one, is no lock.
    writeAll(lockPath, {});
    QElapsedTimer timer;
    timer.start();
    {
        FileLock lock(FileCalls::system(), lockPath);
        ASSERT_EQ(lock.lock(5000), FileLock::Outcome::Locked);
        EXPECT_LT(timer.elapsed(), 1000);

        // While it is held, another holder waits and then gives up.
        FileLock other(FileCalls::system(), lockPath);
        timer.restart();
        EXPECT_EQ(other.lock(200), FileLock::Outcome::HeldByAnother);
        EXPECT_GE(timer.elapsed(), 200);
    }
    FileLock again(FileCalls::system(), lockPath);
    EXPECT_EQ(again.lock(0), FileLock::Outcome::Locked) << "free once its holder ended";

    // A folder where the lock file belongs fails at once.
    const QString blocked = dir.filePath(u"blocked.lock"_s);
    QDir().mkpath(blocked);
    FileLock folder(FileCalls::system(), blocked);
    timer.restart();
    EXPECT_EQ(folder.lock(5000), FileLock::Outcome::CannotCreate);
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_FALSE(folder.error().isEmpty());
}
