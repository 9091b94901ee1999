#pragma once

// Text helpers shared by the whole tool.

#include <QByteArray>
#include <QString>

// Upper-cases ASCII letters only: the tool compares type words, value names
// and markers this way, whatever the locale.
QString upperAscii(QStringView text);

// 0-15 for a hexadecimal digit, -1 for any other character.
int hexDigitValue(QChar c);

// The tool's files are Windows-1252; they are decoded once, where they are read.
QString decodeWindows1252(const QByteArray &bytes);
