#pragma once

// A Wine prefix whose user.reg holds the copy program's settings among
// other programs' keys, as a prefix with many programs has them.

#include "standin.h"
#include "wineprefixstore.h"

#include <QFile>
#include <QString>

// Writes `folder`/user.reg: the copy program's settings first, then other
// programs' keys up to `size` bytes. False when it cannot be written.
inline bool makeLargePrefix(const QString &folder, qint64 size)
{
    const QString userReg = folder + QStringLiteral("/user.reg");
    {
        QFile file(userReg);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        file.write("WINE REGISTRY Version 2\n;; All keys relative to "
                   "REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n");
    }
    {
        WinePrefixStore seeding(folder, FileCalls::system(), nullptr, [] { return false; });
        seedSettings(
            seeding,
            standInSettings(QString::fromUtf8(ORDEVAN_BUILD_DIR) + QStringLiteral("/DATA")));
    }
    QFile file(userReg);
    if (!file.open(QIODevice::Append))
        return false;
    qint64 written = file.size();
    for (int key = 0; written < size; ++key) {
        QByteArray section = "\n[Software\\\\Vendor" + QByteArray::number(key / 40)
            + "\\\\Program\\\\Key" + QByteArray::number(key)
            + "] 1796771035\n#time=1dd87686676bdaa\n";
        for (int value = 0; value < 6; ++value) {
            section += "\"Value" + QByteArray::number(value)
                + "\"=\"some text \\xe8 of a program\"\n\"Number" + QByteArray::number(value)
                + "\"=dword:" + QByteArray::number(key, 16).rightJustified(8, '0') + '\n';
        }
        if (file.write(section) != section.size())
            return false;
        written += section.size();
    }
    return true;
}
