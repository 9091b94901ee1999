#pragma once

// The file-system facts the tool needs. The tool builds the paths of its own
// files the Windows way (backslashes, an upper-cased folder); those are
// turned into the platform's form here. Paths that come from the user (the
// copy program's path) are the platform's own and are used as they are.

#include <QString>

class FileSystem
{
public:
    virtual ~FileSystem() = default;

    // Full path of the running executable, in the tool's form (backslashes).
    virtual QString executablePath() const = 0;
    // The folder the executable runs from, as it is on disk.
    virtual QString executableFolder() const = 0;
    // True when `path`, in the platform's form, names an existing file that
    // is not a folder.
    virtual bool isFile(const QString &path) const = 0;
    // True when `path`, in the platform's form, names an existing folder.
    virtual bool isFolder(const QString &path) const = 0;
    // `relative`, a path in the tool's form (backslashes), inside `folder`
    // (the platform's form), for the platform. On a file system that
    // distinguishes letter case, each component of `relative` that does not
    // exist as written is replaced by an existing one that differs from it
    // only in case; `folder` itself is taken as it is.
    virtual QString localPathIn(const QString &folder, const QString &relative) const = 0;
};

class LocalFileSystem : public FileSystem
{
public:
    QString executablePath() const override;
    QString executableFolder() const override;
    bool isFile(const QString &path) const override;
    bool isFolder(const QString &path) const override;
    QString localPathIn(const QString &folder, const QString &relative) const override;
};

// "/a/b" -> "\a\b" on systems whose separator is "/"; unchanged on Windows.
QString toToolPath(const QString &localPath);
