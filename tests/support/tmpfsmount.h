#pragma once

// A small tmpfs of its own, for tests of what a real file system does when
// it is full or read-only. Only root can mount one; elsewhere `mounted()`
// is false and the test is skipped.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <unistd.h>

class TmpfsMount
{
public:
    // `size` as mount takes it: "12k", "64k".
    explicit TmpfsMount(const QString &size)
    {
        using namespace Qt::Literals::StringLiterals;
        m_mounted = ::geteuid() == 0
            && QProcess::execute(
                   u"mount"_s,
                   {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size="_s + size, u"tmpfs"_s, m_dir.path()})
                == 0;
    }
    ~TmpfsMount()
    {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), {m_dir.path()});
    }
    TmpfsMount(const TmpfsMount &) = delete;
    TmpfsMount &operator=(const TmpfsMount &) = delete;

    bool mounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }
    // Fills it up with one file of that name, to the last byte it takes.
    bool fill(const QString &name = QStringLiteral("filler")) const
    {
        QFile filler(filePath(name));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) { }
        return filler.write("x", 1) != 1;
    }
    // From now on nothing in it can be changed.
    bool makeReadOnly() const
    {
        return QProcess::execute(QStringLiteral("mount"),
                                 {QStringLiteral("-o"), QStringLiteral("remount,ro"), m_dir.path()})
            == 0;
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};
