#pragma once

// Readable GoogleTest output for the Qt and UTF-16 types the tests compare.

#include <QByteArray>
#include <QColor>
#include <QRect>
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

inline void PrintTo(const QPoint &p, std::ostream *out)
{
    *out << '(' << p.x() << ", " << p.y() << ')';
}

inline void PrintTo(const QSize &s, std::ostream *out)
{
    *out << s.width() << " x " << s.height();
}

inline void PrintTo(const QRect &r, std::ostream *out)
{
    *out << '(' << r.x() << ", " << r.y() << ", " << r.width() << " x " << r.height() << ')';
}

inline void PrintTo(const QColor &c, std::ostream *out)
{
    *out << "rgb(" << c.red() << ", " << c.green() << ", " << c.blue() << ')';
}
