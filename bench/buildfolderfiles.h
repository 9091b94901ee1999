#pragma once

// The tool's files as if it ran from the build folder, where its lists are
// copied beside it.

#include "filesystem.h"

class BuildFolderFiles : public LocalFileSystem
{
public:
    QString executablePath() const override
    {
        return toToolPath(QString::fromUtf8(ORDEVAN_BUILD_DIR) + QStringLiteral("/ordevan"));
    }
    QString executableFolder() const override { return QString::fromUtf8(ORDEVAN_BUILD_DIR); }
};
