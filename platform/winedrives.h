#pragma once

// The drives of a Wine prefix and the paths between its two sides. Each
// drive is a link in the prefix's dosdevices folder ("c:" -> "../drive_c",
// "z:" -> "/"); a Windows path is looked up through it without regard to
// letter case, as Wine does, and a file of this machine is named from the
// drive whose root holds it most closely.

#include <QString>

#include <optional>
#include <vector>

class WineDrives
{
public:
    // The drives of the prefix folder `prefix` as they are now. A prefix
    // without a dosdevices folder has none.
    static WineDrives of(const QString &prefix);

    // The file of this machine that the absolute Windows path `windowsPath`
    // ("C:\Program Files\...", either slash) names. Each component is the
    // existing entry of its folder that matches without regard to case, or
    // as written when there is none; "." and ".." are resolved as Windows
    // resolves them, never above the drive's root. nullopt for a path that
    // is not absolute on a drive letter, or whose drive the prefix lacks.
    std::optional<QString> toLocal(const QString &windowsPath) const;

    // The Windows path of `localPath`, an absolute path of this machine,
    // through the drive whose root (links resolved) is the longest start of
    // the path's folder (links resolved). nullopt when no drive holds it or
    // when a name in it could not be written on Windows (\ " * : < > ? | or
    // a control character): a Windows program cannot be started from there.
    std::optional<QString> toWindows(const QString &localPath) const;

    bool empty() const { return m_drives.empty(); }

private:
    struct Drive
    {
        QChar letter; // upper case
        QString root; // the link's target, resolved; the link itself when dangling
    };
    std::vector<Drive> m_drives; // by letter
};
