#pragma once

// Readable GoogleTest output for the Qt and UTF-16 types the tests compare.

#include <QByteArray>
#include <QString>

#include <ostream>
#include <string>

inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QByteArray &bytes, std::ostream *out)
{
    *out << "bytes(" << bytes.size() << "): " << bytes.left(64).toHex(' ').toStdString();
}
