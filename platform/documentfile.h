#pragma once

// A registry file on disk and the document read from it: read again only
// when the file changed, never read past its size limit or when it is not a
// regular file, remembered as damaged until it changes, and replaced
// atomically. Problems are raised as ERegistryStoreError naming the file.

#include "patchedstore.h"
#include "registryfilestore.h"
#include "safefile.h"

#include <functional>

// A document that is written and compared with its file piece by piece,
// so that a large file's bytes are held once: by the document.
class PiecewiseDocument : public RegistryDocument
{
public:
    // The file as it is to be written, as views of what the document holds.
    virtual QList<QByteArrayView> pieces() const = 0;
    QByteArray serialize() const override;
};

class DocumentFile
{
public:
    // Reads a document from the file's bytes, or a new one when the file
    // does not exist; raises RegFileError for a file it cannot read.
    using Parser
        = std::function<std::unique_ptr<RegistryDocument>(const QByteArray &bytes, bool exists)>;

    DocumentFile(QString path, FileCalls &calls, Parser parse);

    const QString &path() const { return m_path; }
    // The file as it is on disk now.
    const RegistryDocument &document();
    // Writes `document` over the file, or raises without changing it.
    void save(std::unique_ptr<RegistryDocument> document);

    // Raises the problem of `kind` with this file's name.
    [[noreturn]] void fail(RegistryFileProblem::Kind kind, RegistryFileFault fault,
                           const QString &systemError = {}, int errorNumber = 0) const;
    [[noreturn]] void failWith(RegistryFileProblem::Kind kind, const FileResult &result) const;

private:
    void forget();

    QString m_path;
    FileCalls &m_calls;
    Parser m_parse;
    std::unique_ptr<RegistryDocument> m_document; // as last read or saved
    std::optional<FileStamp> m_stamp; // of the file as last read or saved
    std::optional<RegistryFileProblem> m_damage; // why the file at m_stamp cannot be parsed
};

// Locks `lockPath` for the life of the returned lock, creating the folder of
// `file` first, or raises the problem as `file`'s.
FileLock lockForWriting(const DocumentFile &file, FileCalls &calls, const QString &lockPath,
                        int timeoutMs);
