#include "text.h"

using namespace Qt::Literals::StringLiterals;

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

NumberStart numberStart(QStringView text, qsizetype from)
{
    NumberStart start;
    qsizetype i = from;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        start.negative = text[i++] == u'-';
    if (i < text.size() && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
        start.base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == u'0'
               && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        start.base = 16;
        i += 2;
    }
    start.digits = i;
    return start;
}

// Windows-1252 is Latin-1 but for 0x80-0x9F; the five bytes it leaves
// undefined keep their C1 control code points, as the system decoders do.
QString decodeWindows1252(const QByteArray &bytes)
{
    static constexpr char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *to = out.data();
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        *to++ = QChar(b >= 0x80 && b < 0xA0 ? high[b - 0x80] : char16_t(b));
    }
    return out;
}

QString StripMarkupTags(const QString &text)
{
    QString s = text;
    s.replace(u"<BR>"_s, u"\r\n"_s, Qt::CaseInsensitive);
    s.replace(u"<HR>"_s, u"\r\n"_s, Qt::CaseInsensitive);
    QString out;
    out.reserve(s.size());
    qsizetype i = 0;
    while (i < s.size()) {
        if (s[i] != u'<') {
            out += s[i++];
            continue;
        }
        const qsizetype close = s.indexOf(u'>', i);
        if (close < 0) {
            out += QStringView(s).sliced(i);
            break;
        }
        i = close + 1;
    }
    return out;
}
