#pragma once

// The copy program installed inside a Wine prefix: its stored path is the
// Windows one ("C:\Program Files\...\ICopy.exe"), found here through the
// prefix's drives, and it runs under wine with WINEPREFIX set to the prefix.

#include "programlauncher.h"

class WineProgramLauncher : public ProgramLauncher
{
public:
    explicit WineProgramLauncher(QString prefix);

    QString localFile(const QString &stored) const override;
    std::optional<QString> storedPath(const QString &localFile) const override;
    // The prefix's "C:\Program Files".
    QString browseFolder() const override;
    LaunchResult launch(const QString &stored) override;

private:
    QString m_prefix;
};
