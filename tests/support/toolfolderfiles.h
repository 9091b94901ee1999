#pragma once

// The local file system as seen by a tool whose executable is `executable`
// (the platform's form), wherever the test put it.

#include "filesystem.h"

class ToolFolderFiles : public LocalFileSystem
{
public:
    explicit ToolFolderFiles(QString executable)
        : m_executable(std::move(executable))
    { }
    QString executablePath() const override { return toToolPath(m_executable); }
    QString executableFolder() const override { return m_executable.section(u'/', 0, -2); }

private:
    QString m_executable;
};
