#pragma once

// The Wine server of a prefix. While one runs it holds the prefix's
// registry in memory and writes it back over user.reg, so a running server
// must be written through and never around; while none runs, holding the
// server's own lock keeps one from starting (and reading user.reg) until
// the file has been replaced.
//
// A server holds a record lock on the file "lock" in its folder,
// <tmp>/<name>/server-<device>-<inode>/, where <tmp> is $TMPDIR or /tmp and
// <name> is ".wine-<uid>", or, for Debian's Wine, the name written in the
// prefix's file "wineserver".

#include "safefile.h"

#include <QList>
#include <QString>
#include <QStringList>

// Every place a server of `prefix` may keep its lock.
QStringList wineServerLockPaths(const QString &prefix);

// Whether a Wine server of `prefix` runs now.
bool wineServerRunning(const QString &prefix);

class WineServerHold
{
public:
    explicit WineServerHold(QString prefix);
    ~WineServerHold();
    WineServerHold(const WineServerHold &) = delete;
    WineServerHold &operator=(const WineServerHold &) = delete;

    enum class Outcome {
        Held, // no server runs, and none starts until this ends
        ServerRunning,
        Busy // another holder that is no server kept it
    };
    // Waits up to `timeoutMs` for another holder that is no server.
    Outcome hold(int timeoutMs);

private:
    QString m_prefix;
    QList<int> m_descriptors;
};
