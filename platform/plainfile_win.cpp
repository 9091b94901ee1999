#include "plainfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

PlainFileResult readPlainFile(const QString &path, qint64 maxSize, QByteArray &bytes)
{
    bytes.clear();
    const QFileInfo info(path);
    if (!info.exists())
        return {PlainFileResult::Failure::Missing, {}};
    if (!info.isFile())
        return {PlainFileResult::Failure::NotRegular, {}};
    if (info.size() > maxSize)
        return {PlainFileResult::Failure::TooLarge, {}};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {PlainFileResult::Failure::System, file.errorString()};
    // Never past the bound, should the file grow meanwhile.
    bytes = file.read(maxSize + 1);
    if (file.error() != QFileDevice::NoError)
        return {PlainFileResult::Failure::System, file.errorString()};
    if (bytes.size() > maxSize) {
        bytes.clear();
        return {PlainFileResult::Failure::TooLarge, {}};
    }
    return {};
}

PlainFileResult writePlainFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return {PlainFileResult::Failure::System, out.errorString()};
    // A write that failed only when flushed would not stop commit() from
    // putting an empty file in place: it is flushed and checked first.
    if (out.write(bytes) != bytes.size() || !out.flush()) {
        const QString error = out.errorString();
        out.cancelWriting();
        return {PlainFileResult::Failure::System, error};
    }
    if (!out.commit())
        return {PlainFileResult::Failure::System, out.errorString()};
    return {};
}
