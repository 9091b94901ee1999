#include "winereg.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

using namespace Qt::Literals::StringLiterals;

namespace {

const QByteArray Header = "WINE REGISTRY Version 2";

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f' || c == '\n';
}

bool isHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    return (c | 0x20) - 'a' + 10;
}

qsizetype skipSpaces(QByteArrayView text, qsizetype pos)
{
    while (pos < text.size() && isSpace(text[pos]))
        ++pos;
    return pos;
}

char16_t lower(char16_t c)
{
    if (c < 128)
        return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
    return QChar(c).toLower().unicode();
}

// Wine's order of names: letter case aside, then the shorter first.
int compareNames(QStringView a, QStringView b)
{
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        if (const int d = int(lower(a[i].unicode())) - int(lower(b[i].unicode())))
            return d;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool sameKey(QStringView a, QStringView b)
{
    return a.size() == b.size() && compareNames(a, b) == 0;
}

// Wine's order of keys: depth first, siblings by name. Within a path that
// is the order of names with a separator before any character and the end
// before a separator.
bool keyBefore(QStringView a, QStringView b)
{
    const auto at = [](QStringView path, qsizetype i) {
        if (i == path.size())
            return -2;
        const char16_t c = path[i].unicode();
        return c == u'\\' ? -1 : int(lower(c));
    };
    for (qsizetype i = 0;; ++i) {
        const int x = at(a, i);
        const int y = at(b, i);
        if (x != y)
            return x < y;
        if (x == -2)
            return false;
    }
}

// A key path Wine cannot hold: one with an empty component.
bool hasEmptyComponent(QStringView path)
{
    return !path.isEmpty()
        && (path.startsWith(u'\\') || path.endsWith(u'\\') || path.contains(u"\\\\"));
}

// Key paths hashed without regard to case (FNV-1a), to find a key's
// sections without a lower-cased copy of every path.
constexpr quint64 HashSeed = 14695981039346656037ULL;

quint64 hashStep(quint64 hash, char16_t c)
{
    return (hash ^ lower(c)) * 1099511628211ULL;
}

quint64 foldedHash(QStringView path)
{
    quint64 hash = HashSeed;
    for (const QChar c : path)
        hash = hashStep(hash, c.unicode());
    return hash;
}

// Calls `f` with the hash of every key above `path` but the root.
template<typename F>
void forEachAncestorHash(QStringView path, F f)
{
    quint64 hash = HashSeed;
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (path[i] == u'\\' && i > 0)
            f(hash);
        hash = hashStep(hash, path[i].unicode());
    }
}

// A string as Wine writes it, read back: its escapes, UTF-8 for what is not
// ASCII. Ends at the unescaped `end`, after which `pos` is left. Without an
// output it only checks the string, which a large file's read must do
// quickly.
class StringReader
{
public:
    StringReader(QByteArrayView text, qsizetype pos, QString *out)
        : m_text(text)
        , m_pos(pos)
        , m_out(out)
    { }

    // False when `end` never comes; throws the fault for bytes Wine would drop.
    bool read(char end)
    {
        while (m_pos < m_text.size() && m_text[m_pos] != end) {
            // Plain ASCII, by far the most of any file, goes as a run.
            const char *start = m_text.data() + m_pos;
            const char *at = start;
            const char *stop = m_text.data() + m_text.size();
            while (at<stop && * at> 0 && *at != '\\' && *at != end)
                ++at;
            if (m_out)
                m_out->append(QLatin1StringView(start, at - start));
            m_pos = at - m_text.data();
            if (m_pos >= m_text.size() || m_text[m_pos] == end)
                break;
            if (m_text[m_pos] == '\\') {
                if (m_pos + 1 >= m_text.size())
                    return false; // Wine stops at a backslash that ends the line
                ++m_pos;
                if (escape())
                    continue;
            }
            character();
        }
        if (m_pos >= m_text.size())
            return false;
        ++m_pos;
        return true;
    }

    qsizetype pos() const { return m_pos; }

private:
    void put(char16_t c)
    {
        if (m_out)
            m_out->append(QChar(c));
    }

    bool escape()
    {
        static const char codes[] = "abefnrtv";
        static const char16_t values[] = {u'\a', u'\b', 0x1B, u'\f', u'\n', u'\r', u'\t', u'\v'};
        const char c = m_text[m_pos];
        if (const char *code = std::strchr(codes, c); code && c) {
            put(values[code - codes]);
            ++m_pos;
            return true;
        }
        if (c == 'x') {
            ++m_pos;
            if (m_pos >= m_text.size() || !isHex(m_text[m_pos])) {
                put(u'x');
                return true;
            }
            char16_t value = 0;
            for (int digits = 0; digits < 4 && m_pos < m_text.size() && isHex(m_text[m_pos]);
                 ++digits)
                value = static_cast<char16_t>(value * 16 + hexValue(m_text[m_pos++]));
            put(value);
            return true;
        }
        if (c >= '0' && c <= '7') {
            char16_t value = 0;
            for (int digits = 0; digits < 3 && m_pos < m_text.size() && m_text[m_pos] >= '0'
                 && m_text[m_pos] <= '7';
                 ++digits)
                value = static_cast<char16_t>(value * 8 + (m_text[m_pos++] - '0'));
            put(value);
            return true;
        }
        return false; // any other character stands for itself
    }

    void character()
    {
        const auto first = static_cast<unsigned char>(m_text[m_pos++]);
        if (first < 0x80) {
            put(first);
            return;
        }
        // UTF-8, decoded as Wine decodes it; what Wine would drop is refused.
        const int length = first >= 0xF0 && first <= 0xF4 ? 3
            : first >= 0xE0                               ? (first <= 0xEF ? 2 : -1)
            : first >= 0xC2                               ? 1
                                                          : -1;
        if (length < 0)
            throw RegistryFileFault::NotUtf8;
        char32_t value = first & (0x7F >> (length + 1));
        for (int i = 0; i < length; ++i) {
            if (m_pos >= m_text.size()
                || (static_cast<unsigned char>(m_text[m_pos]) ^ 0x80) >= 0x40)
                throw RegistryFileFault::NotUtf8;
            value = (value << 6) | (static_cast<unsigned char>(m_text[m_pos++]) ^ 0x80);
        }
        static const char32_t minimum[] = {0, 0x80, 0x800, 0x10000};
        if (value < minimum[length] || value > 0x10FFFF)
            throw RegistryFileFault::NotUtf8;
        if (value > 0xFFFF) {
            put(static_cast<char16_t>(0xD800 | ((value - 0x10000) >> 10)));
            put(static_cast<char16_t>(0xDC00 | ((value - 0x10000) & 0x3FF)));
        } else {
            put(static_cast<char16_t>(value));
        }
    }

    QByteArrayView m_text;
    qsizetype m_pos;
    QString *m_out;
};

// The data of a value line from after its "=" on; throws the fault of a
// form Wine would not read as written. `data` may be null: then the line is
// only checked.
void readData(QByteArrayView text, qsizetype pos, RegData *data)
{
    struct Form
    {
        const char *tag;
        quint32 type;
    };
    static const Form strings[] = {{"\"", RegType::String},
                                   {"str:\"", RegType::String},
                                   {"str(2):\"", RegType::ExpandString},
                                   {"str(7):\"", RegType::MultiString}};
    const QByteArrayView rest = text.sliced(pos);
    const char first = rest.isEmpty() ? '\0' : rest[0];
    for (const Form &form : strings) {
        // The first character first: most values are plain strings.
        if (first != form.tag[0] || !rest.startsWith(form.tag))
            continue;
        QString value;
        if (!StringReader(text, pos + qstrlen(form.tag), data ? &value : nullptr).read('"'))
            throw RegistryFileFault::TextNotClosed;
        if (data)
            *data = RegData::fromString(value, form.type);
        return;
    }
    if (rest.startsWith("dword:")) {
        qsizetype at = pos + 6;
        const qsizetype digits = at;
        quint32 value = 0;
        while (at < text.size() && isHex(text[at]) && at - digits < 8)
            value = value * 16 + hexValue(text[at++]);
        if (at == digits || skipSpaces(text, at) != text.size())
            throw RegistryFileFault::BadDword;
        if (data)
            *data = RegData::fromDWord(value);
        return;
    }
    if (!rest.startsWith("hex"))
        throw RegistryFileFault::UnknownValueForm;
    qsizetype at = pos + 3;
    quint32 type = RegType::Binary;
    if (at < text.size() && text[at] == '(') {
        const qsizetype digits = ++at;
        type = 0;
        while (at < text.size() && isHex(text[at]) && at - digits < 8)
            type = type * 16 + static_cast<quint32>(hexValue(text[at++]));
        if (at == digits || at >= text.size() || text[at] != ')')
            throw RegistryFileFault::BadHexType;
        ++at;
    }
    if (at >= text.size() || text[at] != ':')
        throw RegistryFileFault::HexWithoutColon;
    ++at;
    QByteArray bytes;
    for (;;) {
        at = skipSpaces(text, at);
        if (at >= text.size())
            break;
        if (text[at] == '\\') {
            // Continued on the next physical line, which is in `text` too.
            const qsizetype next = text.indexOf('\n', at);
            if (next < 0 || skipSpaces(text.first(next), at + 1) != next)
                throw RegistryFileFault::HexPastEnd;
            at = next + 1;
            continue;
        }
        if (!isHex(text[at]))
            throw RegistryFileFault::BadHexBytes;
        int byte = hexValue(text[at++]);
        if (at < text.size() && isHex(text[at]))
            byte = byte * 16 + hexValue(text[at++]);
        if (data)
            bytes.append(static_cast<char>(byte));
        at = skipSpaces(text, at);
        if (at < text.size() && text[at] == ',')
            ++at;
    }
    if (data)
        *data = {type, bytes};
}

// A value line's name (into `name` unless it is null), leaving `pos` at its
// data.
void readName(QByteArrayView text, qsizetype &pos, QString *name)
{
    if (text[pos] == '@') {
        ++pos;
    } else {
        StringReader reader(text, pos + 1, name);
        if (!reader.read('"'))
            throw RegistryFileFault::NameNotClosed;
        pos = reader.pos();
    }
    pos = skipSpaces(text, pos);
    if (pos >= text.size() || text[pos] != '=')
        throw RegistryFileFault::NameWithoutEquals;
    pos = skipSpaces(text, pos + 1);
}

QByteArrayView withoutEnd(QByteArrayView line)
{
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

QByteArray fileTime(qint64 seconds)
{
    const quint64 ticks = quint64(seconds) * 10'000'000ULL + 116'444'736'000'000'000ULL;
    return QByteArray::number(quint32(ticks >> 32), 16)
        + QByteArray::number(quint32(ticks), 16).rightJustified(8, '0');
}

// The logical lines of a section's bytes (a value with the lines its hex
// data goes on over), as places in them.
struct Line
{
    enum class Kind { Other, Key, Option, Value };
    Kind kind = Kind::Other;
    qsizetype begin = 0;
    qsizetype size = 0;
};

QList<Line> linesOf(QByteArrayView bytes)
{
    QList<Line> lines;
    for (qsizetype pos = 0; pos < bytes.size();) {
        const qsizetype end = bytes.indexOf('\n', pos);
        Line line{Line::Kind::Other, pos, (end < 0 ? bytes.size() : end + 1) - pos};
        const QByteArrayView text = withoutEnd(bytes.sliced(line.begin, line.size));
        const qsizetype at = skipSpaces(text, 0);
        if (at < text.size()) {
            switch (text[at]) {
            case '[':
                line.kind = Line::Kind::Key;
                break;
            case '#':
                line.kind = Line::Kind::Option;
                break;
            case '@':
            case '"':
                line.kind = Line::Kind::Value;
                break;
            default:
                break;
            }
        }
        // Hex data goes on over the next lines while a line ends in "\".
        while (line.kind == Line::Kind::Value
               && withoutEnd(bytes.sliced(line.begin, line.size)).trimmed().endsWith('\\')
               && line.begin + line.size < bytes.size()) {
            const qsizetype more = bytes.indexOf('\n', line.begin + line.size);
            line.size = (more < 0 ? bytes.size() : more + 1) - line.begin;
        }
        lines.append(line);
        pos = line.begin + line.size;
    }
    return lines;
}

QString nameOf(QByteArrayView line)
{
    const QByteArrayView text = withoutEnd(line);
    qsizetype pos = skipSpaces(text, 0);
    QString name;
    readName(text, pos, &name);
    return name;
}

// A changed section's bytes with the change's time on its key line and
// its first #time line (added after the key line when it has none), as
// Wine writes a key it touched. The key line keeps its name as written.
QByteArray changedAt(QByteArrayView section, qint64 now)
{
    QByteArray out;
    out.reserve(section.size() + 32);
    bool timed = false;
    const QList<Line> lines = linesOf(section);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray line = section.sliced(lines[i].begin, lines[i].size).toByteArray();
        if (i == 0 && lines[i].kind == Line::Kind::Key) {
            line = line.left(line.lastIndexOf(']') + 1) + ' ' + QByteArray::number(now) + '\n';
        } else if (lines[i].kind == Line::Kind::Option && line.trimmed().startsWith("#time=")
                   && !timed) {
            line = "#time=" + fileTime(now) + '\n';
            timed = true;
        }
        out += line;
    }
    if (!timed) {
        const qsizetype keyEnd = out.indexOf('\n') + 1;
        out.insert(keyEnd, "#time=" + fileTime(now) + '\n');
    }
    return out;
}

} // namespace

// Reads the whole file once, checking every line as Wine would read it;
// what it keeps are the places of the key sections and the hashes of their
// paths, each path read into the same room.
class WineRegFile::Parser
{
public:
    explicit Parser(QByteArrayView bytes)
        : m_bytes(bytes)
    { }

    void read(QList<Section> &sections, Places &places)
    {
        sections.append(Section{}); // the lines before the first key
        const qsizetype first = nextLine();
        if (withoutEnd(m_bytes.sliced(first, m_pos - first)) != Header)
            throw RegFileError(1, RegistryFileFault::WineHeader);
        while (m_pos < m_bytes.size()) {
            const qsizetype lineNumber = m_line + 1;
            const qsizetype begin = nextLine();
            try {
                if (line(begin, sections.size() > 1)) {
                    sections.last().size = begin - sections.last().begin;
                    places.emplace_back(foldedHash(m_path), sections.size());
                    sections.append(Section{begin, 0, -1});
                }
            } catch (RegistryFileFault fault) {
                throw RegFileError(static_cast<int>(lineNumber), fault);
            }
        }
        sections.last().size = m_bytes.size() - sections.last().begin;
        std::sort(places.begin(), places.end());
    }

private:
    // Moves past the next line; returns where it began.
    qsizetype nextLine()
    {
        const qsizetype begin = m_pos;
        const qsizetype end = m_bytes.indexOf('\n', m_pos);
        m_pos = end < 0 ? m_bytes.size() : end + 1;
        ++m_line;
        return begin;
    }

    // Checks the line at `begin`; true for a key line, whose path is then
    // in m_path.
    bool line(qsizetype begin, bool inKey)
    {
        QByteArrayView text = withoutEnd(m_bytes.sliced(begin, m_pos - begin));
        const qsizetype at = skipSpaces(text, 0);
        if (at == text.size() || text[at] == ';')
            return false;
        switch (text[at]) {
        case '[':
            m_path.truncate(0);
            if (!StringReader(text, at + 1, &m_path).read(']'))
                throw RegistryFileFault::KeyNotClosed;
            if (hasEmptyComponent(m_path))
                throw RegistryFileFault::EmptyKeyName;
            return true;
        case '#':
            if (!inKey && text.sliced(at).startsWith("#arch=")) {
                const QByteArrayView arch = text.sliced(at + 6);
                if (arch != "win32" && arch != "win64")
                    throw RegistryFileFault::UnknownArchitecture;
            }
            return false;
        case '@':
        case '"': {
            if (!inKey)
                throw RegistryFileFault::ValueOutsideKey;
            qsizetype pos = at;
            readName(text, pos, nullptr);
            // Hex data goes on over the next lines while a line ends in "\".
            if (pos < text.size() && text[pos] == 'h' && text.sliced(pos).startsWith("hex")) {
                while (text.trimmed().endsWith('\\')) {
                    if (m_pos >= m_bytes.size())
                        throw RegistryFileFault::HexPastEnd;
                    nextLine();
                    text = withoutEnd(m_bytes.sliced(begin, m_pos - begin));
                }
            }
            readData(text, pos, nullptr);
            return false;
        }
        default:
            throw RegistryFileFault::NeitherKeyNorValue;
        }
    }

    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
    qsizetype m_line = 0;
    QString m_path;
};

WineRegFile::WineRegFile(const QByteArray &arch)
    : m_index(std::make_shared<Index>())
{
    m_sections.append(Section{});
    rewrite(0,
            Header + "\n;; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch="
                + arch + '\n');
}

WineRegFile WineRegFile::parse(const QByteArray &bytes)
{
    if (bytes.size() > MaxFileSize)
        throw RegFileError(0, RegistryFileFault::TooLarge);
    WineRegFile file;
    file.m_source = bytes;
    file.m_sections.clear();
    file.m_own.clear();
    Parser(file.m_source).read(file.m_sections, file.m_index->sections);
    const qsizetype headerEnd = bytes.indexOf('\n');
    file.m_crlf = headerEnd > 0 && bytes[headerEnd - 1] == '\r';
    return file;
}

QList<QByteArrayView> WineRegFile::pieces() const
{
    QList<QByteArrayView> out;
    qsizetype runEnd = -1; // where the last piece ends in m_source, while it is a run of it
    for (qsizetype i = 0; i < m_sections.size(); ++i) {
        const QByteArrayView bytes = bytesOf(i);
        const Section &section = m_sections[i];
        if (bytes.isEmpty())
            continue;
        if (section.own < 0 && section.begin == runEnd)
            out.last() = QByteArrayView(out.last().data(), out.last().size() + bytes.size());
        else
            out.append(bytes);
        runEnd = section.own < 0 ? section.begin + section.size : -1;
    }
    return out;
}

QByteArray WineRegFile::serialize() const
{
    return joinedPieces(pieces());
}

QByteArrayView WineRegFile::bytesOf(qsizetype section) const
{
    const Section &at = m_sections[section];
    return at.own >= 0 ? QByteArrayView(m_own[at.own])
                       : QByteArrayView(m_source).sliced(at.begin, at.size);
}

void WineRegFile::readPath(qsizetype section, QString &path) const
{
    const QByteArrayView bytes = bytesOf(section);
    const qsizetype end = bytes.indexOf('\n');
    const QByteArrayView line = withoutEnd(end < 0 ? bytes : bytes.first(end + 1));
    path.truncate(0);
    StringReader(line, skipSpaces(line, 0) + 1, &path).read(']');
}

// Lines are made with LF ends, as Wine writes them; in a file whose lines
// end in CRLF, they end as the others do.
void WineRegFile::rewrite(qsizetype section, QByteArray bytes)
{
    if (m_crlf) {
        QByteArray ends;
        ends.reserve(bytes.size() + bytes.count('\n'));
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))
                ends += '\r';
            ends += bytes[i];
        }
        bytes = std::move(ends);
    }
    Section &changed = m_sections[section];
    if (changed.own < 0) {
        changed.own = m_own.size();
        m_own.append(std::move(bytes));
    } else {
        m_own[changed.own] = std::move(bytes);
    }
}

QByteArray WineRegFile::escaped(QStringView text, char16_t quote, char16_t otherQuote)

{
    static const char escapes[33] = ".......abtnvfr.............e....";
    QByteArray out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const char16_t next = i + 1 < text.size() ? text[i + 1].unicode() : 0;
        if (c > 127) {
            // Four digits when a hex digit follows, so that it is not read as one more.
            const QByteArray digits = QByteArray::number(c, 16);
            out += "\\x"
                + (next && next < 128 && isHex(char(next)) ? digits.rightJustified(4, '0')
                                                           : digits);
        } else if (c < 32) {
            if (escapes[c] != '.')
                out += QByteArray("\\") + escapes[c];
            else if (next >= u'0' && next <= u'7')
                out += '\\' + QByteArray::number(c, 8).rightJustified(3, '0');
            else
                out += '\\' + QByteArray::number(c, 8);
        } else {
            if (c == u'\\' || c == quote || c == otherQuote)
                out += '\\';
            out += char(c);
        }
    }
    return out;
}

QByteArray WineRegFile::valueLine(const QString &name, const RegData &data)
{
    QByteArray line = name.isEmpty() ? QByteArray("@=") : '"' + escaped(name, u'"', u'"') + "\"=";
    const bool text = data.type == RegType::String || data.type == RegType::ExpandString
        || data.type == RegType::MultiString;
    // Only text that ends in its NUL is written as text.
    if (text && data.bytes.size() >= 2 && data.bytes.size() % 2 == 0
        && data.bytes.endsWith(QByteArray(2, '\0'))) {
        QString content(data.bytes.size() / 2 - 1, Qt::Uninitialized);
        for (qsizetype i = 0; i < content.size(); ++i)
            content[i] = QChar(qFromLittleEndian<quint16>(data.bytes.constData() + 2 * i));
        if (data.type != RegType::String)
            line += "str(" + QByteArray::number(data.type, 16) + "):";
        return line + '"' + escaped(content, u'"', u'"') + "\"\n";
    }
    if (const auto dword = data.dword())
        return line + "dword:" + QByteArray::number(*dword, 16).rightJustified(8, '0') + '\n';

    line += data.type == RegType::Binary ? QByteArray("hex:")
                                         : "hex(" + QByteArray::number(data.type, 16) + "):";
    qsizetype count = line.size();
    for (qsizetype i = 0; i < data.bytes.size(); ++i) {
        line += QByteArray::number(static_cast<quint8>(data.bytes[i]), 16).rightJustified(2, '0');
        count += 2;
        if (i + 1 < data.bytes.size()) {
            line += ',';
            if (++count > 76) {
                line += "\\\n  ";
                count = 2;
            }
        }
    }
    return line + '\n';
}

QByteArray WineRegFile::keyLine(const QString &path, qint64 now)
{
    return '[' + escaped(path, u'[', u']') + "] " + QByteArray::number(now) + '\n';
}

const QHash<quint64, qsizetype> &WineRegFile::ancestors() const
{
    if (!m_index->firstBelow) {
        QHash<quint64, qsizetype> first;
        QString path;
        for (qsizetype i = 1; i < m_sections.size(); ++i) {
            readPath(i, path);
            forEachAncestorHash(path, [&](quint64 hash) {
                if (!first.contains(hash))
                    first.insert(hash, i);
            });
        }
        m_index->firstBelow = std::move(first);
    }
    return *m_index->firstBelow;
}

QList<qsizetype> WineRegFile::sectionsOf(const QString &path) const
{
    const Places &places = m_index->sections;
    const quint64 hash = foldedHash(path);
    QList<qsizetype> found;
    QString candidate;
    for (auto it = std::lower_bound(places.begin(), places.end(), std::pair{hash, qsizetype(0)});
         it != places.end() && it->first == hash; ++it) {
        readPath(it->second, candidate);
        if (sameKey(candidate, path))
            found.append(it->second);
    }
    return found;
}

std::optional<qsizetype> WineRegFile::firstBelow(const QString &path) const
{
    const QHash<quint64, qsizetype> &first = ancestors();
    const auto hinted = first.constFind(foldedHash(path));
    if (hinted == first.constEnd())
        return std::nullopt;
    QString below;
    const auto isBelow = [&](qsizetype section) {
        readPath(section, below);
        return below.size() > path.size() && below[path.size()] == u'\\'
            && sameKey(QStringView(below).first(path.size()), path);
    };
    if (isBelow(*hinted))
        return *hinted;
    // Another key has the same hash: only a look at every section tells.
    for (qsizetype i = 1; i < m_sections.size(); ++i) {
        if (isBelow(i))
            return i;
    }
    return std::nullopt;
}

// How the file first writes a key that exists (perhaps only above others);
// the path as given when it does not.
QString WineRegFile::spelling(const QString &path) const
{
    std::optional<qsizetype> first = firstBelow(path);
    if (const QList<qsizetype> own = sectionsOf(path);
        !own.isEmpty() && (!first || own.first() < *first))
        first = own.first();
    if (!first)
        return path;
    QString spelled;
    readPath(*first, spelled);
    return spelled.first(path.size());
}

void WineRegFile::insertSection(qsizetype at, const QString &path, QByteArray bytes)
{
    m_sections.insert(at, Section{});
    rewrite(at, std::move(bytes));
    if (m_index.use_count() > 1)
        m_index = std::make_shared<Index>(*m_index); // a copy's stays as it is
    for (auto &place : m_index->sections) {
        if (place.second >= at)
            ++place.second;
    }
    const std::pair place{foldedHash(path), at};
    m_index->sections.insert(
        std::upper_bound(m_index->sections.begin(), m_index->sections.end(), place), place);
    if (m_index->firstBelow) {
        QHash<quint64, qsizetype> &first = *m_index->firstBelow;
        for (qsizetype &section : first) {
            if (section >= at)
                ++section;
        }
        forEachAncestorHash(path, [&](quint64 hash) {
            const auto found = first.find(hash);
            if (found == first.end())
                first.insert(hash, at);
            else
                *found = std::min(*found, at);
        });
    }
}

bool WineRegFile::hasKey(const QString &path) const
{
    return path.isEmpty() || !sectionsOf(path).isEmpty() || firstBelow(path).has_value();
}

// The section and the line of a value's last appearance: that is the one
// Wine keeps.
std::optional<std::pair<qsizetype, qsizetype>> WineRegFile::lastValue(const QString &path,
                                                                      const QString &name) const
{
    std::optional<std::pair<qsizetype, qsizetype>> found;
    for (const qsizetype section : sectionsOf(path)) {
        const QByteArrayView bytes = bytesOf(section);
        const QList<Line> lines = linesOf(bytes);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (lines[i].kind == Line::Kind::Value
                && compareNames(nameOf(bytes.sliced(lines[i].begin, lines[i].size)), name) == 0)
                found = std::pair{section, i};
        }
    }
    return found;
}

std::optional<RegData> WineRegFile::value(const QString &path, const QString &name) const
{
    const auto at = lastValue(path, name);
    if (!at)
        return std::nullopt;
    const QByteArrayView bytes = bytesOf(at->first);
    const Line line = linesOf(bytes)[at->second];
    const QByteArrayView text = withoutEnd(bytes.sliced(line.begin, line.size));
    qsizetype pos = skipSpaces(text, 0);
    readName(text, pos, nullptr);
    RegData data;
    readData(text, pos, &data);
    return data;
}

// A new section goes where Wine would write it: depth first, among its
// siblings by name; keys above it that exist keep their spelling. Each
// section ends with the blank line that comes before the next one.
qsizetype WineRegFile::newSection(const QString &path, qint64 now)
{
    QString spelled = path;
    for (qsizetype cut = path.lastIndexOf(u'\\'); cut > 0; cut = path.lastIndexOf(u'\\', cut - 1)) {
        if (hasKey(path.first(cut))) {
            spelled = spelling(path.first(cut)) + path.sliced(cut);
            break;
        }
    }
    qsizetype at = m_sections.size();
    QString other;
    for (qsizetype i = 1; i < m_sections.size(); ++i) {
        readPath(i, other);
        if (keyBefore(spelled, other)) {
            at = i;
            break;
        }
    }
    QByteArray bytes = keyLine(spelled, now) + "#time=" + fileTime(now) + '\n';
    if (at < m_sections.size()) {
        bytes += '\n';
    } else {
        // The last section so far gets the blank line before this one.
        QByteArray last = bytesOf(m_sections.size() - 1).toByteArray();
        if (!last.endsWith('\n'))
            last += '\n';
        if (!last.endsWith("\n\n"))
            last += '\n';
        rewrite(m_sections.size() - 1, last);
    }
    insertSection(at, spelled, std::move(bytes));
    return at;
}

void WineRegFile::addKey(const QString &path, qint64 now)
{
    if (!path.isEmpty() && sectionsOf(path).isEmpty())
        newSection(path, now);
}

bool WineRegFile::setValue(const QString &path, const QString &name, const RegData &data,
                           qint64 now)
{
    if (hasEmptyComponent(path))
        return false;
    qsizetype section;
    std::optional<qsizetype> replaced;
    if (const auto at = lastValue(path, name)) {
        section = at->first;
        replaced = at->second;
    } else {
        const QList<qsizetype> sections = sectionsOf(path);
        section = !sections.isEmpty() ? sections.last()
                                      : newSection(path, now); // the root's values too: in "[]"
    }

    const QByteArray bytes = bytesOf(section).toByteArray();
    QList<Line> lines = linesOf(bytes);
    QByteArray out;
    const QByteArray value = valueLine(name, data);
    // Among the values by name; after the key's options.
    qsizetype insertAt = 1;
    for (qsizetype i = 1; i < lines.size() && !replaced; ++i) {
        if (lines[i].kind == Line::Kind::Value
            && compareNames(name,
                            nameOf(QByteArrayView(bytes).sliced(lines[i].begin, lines[i].size)))
                < 0)
            break;
        if (lines[i].kind != Line::Kind::Other)
            insertAt = i + 1;
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray line = bytes.sliced(lines[i].begin, lines[i].size);
        if (!replaced && i == insertAt) {
            if (!out.endsWith('\n'))
                out += '\n';
            out += value;
        }
        if (replaced && i == *replaced)
            line = value;
        out += line;
    }
    if (!replaced && insertAt >= lines.size()) {
        if (!out.isEmpty() && !out.endsWith('\n'))
            out += '\n';
        out += value;
    }
    rewrite(section, changedAt(out, now));
    return true;
}

// Wine keeps a value's last line; an earlier one would come back if only
// that went. A value that was not there changes nothing, its key's time
// included, as Wine's own deletion does not.
bool WineRegFile::removeValue(const QString &path, const QString &name, qint64 now)
{
    bool removed = false;
    for (const qsizetype section : sectionsOf(path)) {
        const QByteArray bytes = bytesOf(section).toByteArray();
        QByteArray out;
        out.reserve(bytes.size());
        bool found = false;
        for (const Line &line : linesOf(bytes)) {
            const QByteArrayView text = QByteArrayView(bytes).sliced(line.begin, line.size);
            if (line.kind == Line::Kind::Value && compareNames(nameOf(text), name) == 0) {
                found = true;
                continue;
            }
            out += text;
        }
        if (found) {
            rewrite(section, changedAt(out, now));
            removed = true;
        }
    }
    return removed;
}
