#pragma once

// The file-system facts the tool needs. Paths are handed over in the tool's
// own form (backslashes, as the Windows tool writes them, upper-cased folders)
// and turned into the platform's form here.

#include <QString>

class FileSystem
{
public:
    virtual ~FileSystem() = default;

    // Full path of the running executable, with backslashes.
    virtual QString executablePath() const = 0;
    // True when `path` names an existing file that is not a folder.
    virtual bool isFile(const QString &path) const = 0;
    // `path` in the platform's form; on a file system that distinguishes
    // letter case, each component that does not exist as written is replaced
    // by an existing one that differs from it only in case.
    virtual QString localPath(const QString &path) const = 0;
};

class LocalFileSystem : public FileSystem
{
public:
    QString executablePath() const override;
    bool isFile(const QString &path) const override;
    QString localPath(const QString &path) const override;
};

// "/a/b" <-> "\a\b" on systems whose separator is "/"; unchanged on Windows.
QString toToolPath(const QString &localPath);
QString fromToolPath(const QString &toolPath);
