#include "documentfile.h"

#include "registryproblems.h"

#include <QDir>
#include <QFileInfo>

namespace {

// What `document` writes, in pieces; `joined` keeps those of a document
// that is written whole.
QList<QByteArrayView> piecesOf(const RegistryDocument &document, QByteArray &joined)
{
    if (const auto *piecewise = dynamic_cast<const PiecewiseDocument *>(&document))
        return piecewise->pieces();
    joined = document.serialize();
    return {joined};
}

bool writesAs(const RegistryDocument &document, QByteArrayView bytes)
{
    QByteArray joined;
    qsizetype at = 0;
    for (const QByteArrayView piece : piecesOf(document, joined)) {
        if (piece != bytes.sliced(at, std::min(piece.size(), bytes.size() - at)))
            return false;
        at += piece.size();
    }
    return at == bytes.size();
}

} // namespace

QByteArray PiecewiseDocument::serialize() const
{
    return joinedPieces(pieces());
}

DocumentFile::DocumentFile(QString path, FileCalls &calls, Parser parse)
    : m_path(std::move(path))
    , m_calls(calls)
    , m_parse(std::move(parse))
{ }

const RegistryDocument &DocumentFile::document()
{
    FileStamp now;
    if (const FileResult result = fileStamp(m_calls, m_path, now); !result) {
        forget();
        failWith(RegistryFileProblem::Kind::Unreadable, result);
    }
    if (m_stamp == now) {
        if (m_damage)
            throw registryFileError(*m_damage); // parsed once, not at every read
        if (m_document)
            return *m_document;
    }

    QByteArray bytes;
    FileStamp stamp;
    if (const FileResult result
        = readRegularFile(m_calls, m_path, RegFile::MaxFileSize, bytes, stamp);
        !result) {
        forget();
        failWith(RegistryFileProblem::Kind::Unreadable, result);
    }
    m_stamp = stamp;
    if (m_document && writesAs(*m_document, bytes))
        return *m_document;
    // The bytes it was read from go before the new ones are read.
    m_document.reset();
    try {
        m_document = m_parse(bytes, stamp.exists);
        m_damage.reset();
    } catch (const RegFileError &e) {
        m_damage = RegistryFileProblem{
            RegistryFileProblem::Kind::Damaged, m_path, e.line(), e.fault(), {}};
        throw registryFileError(*m_damage);
    }
    return *m_document;
}

void DocumentFile::save(std::unique_ptr<RegistryDocument> document)
{
    QByteArray joined;
    const QList<QByteArrayView> pieces = piecesOf(*document, joined);
    qsizetype size = 0;
    for (const QByteArrayView piece : pieces)
        size += piece.size();
    // Written larger than it may be read, it would be refused at the next start.
    if (size > RegFile::MaxFileSize)
        fail(RegistryFileProblem::Kind::Unwritable, RegistryFileFault::TooLarge);
    if (const FileResult result = replaceFile(m_calls, m_path, pieces); !result)
        failWith(RegistryFileProblem::Kind::Unwritable, result);
    m_document = std::move(document);
    FileStamp stamp;
    if (fileStamp(m_calls, m_path, stamp))
        m_stamp = stamp;
    else
        m_stamp.reset(); // read again next time
}

void DocumentFile::forget()
{
    m_document.reset();
    m_stamp.reset();
    m_damage.reset();
}

void DocumentFile::fail(RegistryFileProblem::Kind kind, RegistryFileFault fault,
                        const QString &systemError, int errorNumber) const
{
    throw registryFileError(RegistryFileProblem{kind, m_path, 0, fault, systemError, errorNumber});
}

void DocumentFile::failWith(RegistryFileProblem::Kind kind, const FileResult &result) const
{
    switch (result.failure) {
    case FileFailure::NotRegular:
        fail(kind, RegistryFileFault::NotRegularFile);
    case FileFailure::TooLarge:
        fail(RegistryFileProblem::Kind::Damaged, RegistryFileFault::TooLarge);
    case FileFailure::System:
    case FileFailure::None:
        break;
    }
    fail(kind, RegistryFileFault::System, result.error, result.errorNumber);
}

FileLock lockForWriting(const DocumentFile &file, FileCalls &calls, const QString &lockPath,
                        int timeoutMs)
{
    if (!QDir().mkpath(QFileInfo(file.path()).absolutePath()))
        file.fail(RegistryFileProblem::Kind::Unwritable, RegistryFileFault::FolderNotCreated);
    FileLock lock(calls, lockPath);
    switch (lock.lock(timeoutMs)) {
    case FileLock::Outcome::Locked:
        break;
    case FileLock::Outcome::HeldByAnother:
        file.fail(RegistryFileProblem::Kind::Locked, RegistryFileFault::LockedByAnother);
    case FileLock::Outcome::CannotCreate:
        file.fail(RegistryFileProblem::Kind::Unwritable, RegistryFileFault::LockNotCreated,
                  lock.error(), lock.errorNumber());
    }
    return lock;
}
