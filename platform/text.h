#pragma once

// Text helpers shared by the whole tool.

#include <QByteArray>
#include <QString>

#include <string_view>

// The registry's UTF-16 text as a QString.
inline QString fromU16(std::u16string_view text)
{
    return QString(reinterpret_cast<const QChar *>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

// Upper-cases ASCII letters only: the tool compares type words, value names
// and markers this way, whatever the locale.
QString upperAscii(QStringView text);

// 0-15 for a hexadecimal digit, -1 for any other character.
int hexDigitValue(QChar c);

// How a number is written in the tool's files and cells: an optional sign,
// then "$", "x", "X" or "0x" for hexadecimal. `digits` is where its digits
// begin in the text read from `from`.
struct NumberStart
{
    bool negative = false;
    int base = 10;
    qsizetype digits = 0;
};
NumberStart numberStart(QStringView text, qsizetype from = 0);

// The tool's files are Windows-1252; they are decoded once, where they are read.
QString decodeWindows1252(const QByteArray &bytes);

// Cell markup as plain text, for the editor when tags are not edited and
// for the command line: "<BR>" and "<HR>" become CR LF, every other tag goes.
QString StripMarkupTags(const QString &text);
