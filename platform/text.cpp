#include "text.h"

#include <QStringDecoder>

QString upperAscii(QStringView text)
{
    QString out = text.toString();
    for (QChar &c : out) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - u'a' + u'A');
    }
    return out;
}

int hexDigitValue(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

QString decodeWindows1252(const QByteArray &bytes)
{
    QStringDecoder decoder("windows-1252");
    return decoder(bytes);
}
