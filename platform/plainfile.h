#pragma once

// Whole files a user names or a folder holds: a backup, a file to load, a
// dump's output. Only a regular file of bounded size is read, so that a
// device, a pipe or a link to one can neither hang a read nor fill memory.
// A file is written whole or not at all: every write is checked and on
// disk before the file takes its name, and nothing is left of a failed one.

#include "language.h"

#include <QByteArray>
#include <QString>

struct PlainFileResult
{
    enum class Failure {
        None,
        Missing,
        NotRegular, // a folder, a pipe, a device...
        TooLarge,
        System // in the system's own words: `error`
    };
    Failure failure = Failure::None;
    QString error;
    explicit operator bool() const { return failure == Failure::None; }
};

// Reads the regular file at `path`, of at most `maxSize` bytes.
PlainFileResult readPlainFile(const QString &path, qint64 maxSize, QByteArray &bytes);

// Writes `bytes` as the file at `path` (or the file a symbolic link there
// points to), replacing it whole. A device or a pipe there is written to as
// it is, each write checked.
PlainFileResult writePlainFile(const QString &path, const QByteArray &bytes);

// Why a read or write failed, as a phrase: "it is not a regular file".
QString plainFileProblem(const PlainFileResult &result, Language language);
