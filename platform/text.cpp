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

QString decodeWindows1252(const QByteArray &bytes)
{
    QStringDecoder decoder("windows-1252");
    return decoder(bytes);
}
