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

// Wine's order of keys: depth first, siblings by name.
bool keyBefore(QStringView a, QStringView b)
{
    const auto left = a.split(u'\\');
    const auto right = b.split(u'\\');
    for (qsizetype i = 0; i < std::min(left.size(), right.size()); ++i) {
        if (const int d = compareNames(left[i], right[i]))
            return d < 0;
    }
    return left.size() < right.size();
}

QString folded(const QString &path)
{
    return path.toLower();
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
            const char c = m_text[m_pos];
            if (c > 0 && c != '\\') { // plain ASCII, by far the most of any file
                put(static_cast<char16_t>(c));
                ++m_pos;
                continue;
            }
            if (c == '\\') {
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
    for (const Form &form : strings) {
        if (!rest.startsWith(form.tag))
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

} // namespace

// Reads the file one logical entry at a time. Entries point into the
// file's bytes; only key paths are decoded, the rest is only checked.
class WineRegFile::Parser
{
public:
    explicit Parser(QByteArrayView bytes)
        : m_bytes(bytes)
    { }

    QList<Entry> entries()
    {
        QList<Entry> out;
        out.reserve(std::count(m_bytes.begin(), m_bytes.end(), '\n') + 1);
        const Entry first = nextLine();
        if (withoutEnd(m_bytes.sliced(first.begin, first.size)) != Header)
            throw RegFileError(1, RegistryFileFault::WineHeader);
        out.append(first);
        bool inKey = false;
        while (m_pos < m_bytes.size()) {
            const qsizetype lineNumber = m_line + 1;
            try {
                out.append(entry(nextLine(), inKey));
            } catch (RegistryFileFault fault) {
                throw RegFileError(static_cast<int>(lineNumber), fault);
            }
        }
        return out;
    }

private:
    Entry nextLine()
    {
        const qsizetype end = m_bytes.indexOf('\n', m_pos);
        const qsizetype next = end < 0 ? m_bytes.size() : end + 1;
        Entry line;
        line.begin = m_pos;
        line.size = next - m_pos;
        m_pos = next;
        ++m_line;
        return line;
    }

    QByteArrayView text(const Entry &entry) const
    {
        return withoutEnd(m_bytes.sliced(entry.begin, entry.size));
    }

    Entry entry(Entry entry, bool &inKey)
    {
        const QByteArrayView line = text(entry);
        const qsizetype at = skipSpaces(line, 0);
        if (at == line.size() || line[at] == ';')
            return entry;
        switch (line[at]) {
        case '[': {
            QString path;
            if (!StringReader(line, at + 1, &path).read(']'))
                throw RegistryFileFault::KeyNotClosed;
            if (!path.isEmpty() && path.split(u'\\').contains(QString()))
                throw RegistryFileFault::EmptyKeyName;
            entry.type = Entry::Type::Key;
            entry.text = path;
            inKey = true;
            return entry;
        }
        case '#':
            if (!inKey && line.sliced(at).startsWith("#arch=")) {
                const QByteArrayView arch = line.sliced(at + 6);
                if (arch != "win32" && arch != "win64")
                    throw RegistryFileFault::UnknownArchitecture;
            }
            entry.type = inKey ? Entry::Type::Option : Entry::Type::Other;
            return entry;
        case '@':
        case '"':
            if (!inKey)
                throw RegistryFileFault::ValueOutsideKey;
            return value(entry, at);
        default:
            throw RegistryFileFault::NeitherKeyNorValue;
        }
    }

    Entry value(Entry entry, qsizetype at)
    {
        qsizetype pos = at;
        readName(text(entry), pos, nullptr);
        // Hex data goes on over the next lines while a line ends in "\".
        if (text(entry).sliced(pos).startsWith("hex")) {
            while (text(entry).trimmed().endsWith('\\')) {
                if (m_pos >= m_bytes.size())
                    throw RegistryFileFault::HexPastEnd;
                entry.size += nextLine().size;
            }
        }
        readData(text(entry), pos, nullptr);
        entry.type = Entry::Type::Value;
        return entry;
    }

    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
    qsizetype m_line = 0;
};

WineRegFile::WineRegFile(const QByteArray &arch)
{
    m_entries.append(written(Entry::Type::Other, Header + '\n'));
    m_entries.append(written(Entry::Type::Other,
                             ";; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n"));
    m_entries.append(written(Entry::Type::Other, "\n"));
    m_entries.append(written(Entry::Type::Other, "#arch=" + arch + '\n'));
}

WineRegFile WineRegFile::parse(const QByteArray &bytes)
{
    if (bytes.size() > MaxFileSize)
        throw RegFileError(0, RegistryFileFault::TooLarge);
    WineRegFile file;
    file.m_source = bytes;
    file.m_entries = Parser(file.m_source).entries();
    return file;
}

QByteArray WineRegFile::serialize() const
{
    qsizetype size = 0;
    for (const Entry &entry : m_entries)
        size += raw(entry).size();
    QByteArray out;
    out.reserve(size);
    for (const Entry &entry : m_entries)
        out += raw(entry);
    return out;
}

WineRegFile::Entry WineRegFile::written(Entry::Type type, QByteArray line, QString text)
{
    Entry entry;
    entry.type = type;
    entry.written = true;
    entry.own = std::move(line);
    entry.text = std::move(text);
    return entry;
}

QByteArrayView WineRegFile::raw(const Entry &entry) const
{
    return entry.written ? QByteArrayView(entry.own)
                         : QByteArrayView(m_source).sliced(entry.begin, entry.size);
}

void WineRegFile::replace(Entry &entry, QByteArray line)
{
    entry.written = true;
    entry.own = std::move(line);
}

QString WineRegFile::valueName(const Entry &entry) const
{
    const QByteArrayView text = withoutEnd(raw(entry));
    qsizetype pos = skipSpaces(text, 0);
    QString name;
    readName(text, pos, &name);
    return name;
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

const WineRegFile::Index &WineRegFile::index() const
{
    if (!m_index) {
        Index built;
        for (qsizetype i = 0; i < m_entries.size(); ++i) {
            if (m_entries[i].type == Entry::Type::Key)
                indexSection(built, i);
        }
        m_index = std::move(built);
    }
    return *m_index;
}

void WineRegFile::indexSection(Index &index, qsizetype at) const
{
    const QString &path = m_entries[at].text;
    const QString key = folded(path);
    QList<qsizetype> &sections = index.sections[key];
    sections.insert(std::upper_bound(sections.begin(), sections.end(), at), at);
    index.spelling.insert(key, path);
    for (qsizetype cut = path.lastIndexOf(u'\\'); cut > 0; cut = path.lastIndexOf(u'\\', cut - 1)) {
        index.ancestors.insert(key.first(cut));
        if (!index.spelling.contains(key.first(cut)))
            index.spelling.insert(key.first(cut), path.first(cut));
    }
}

void WineRegFile::insertEntries(qsizetype at, const QList<Entry> &entries)
{
    for (qsizetype i = 0; i < entries.size(); ++i)
        m_entries.insert(at + i, entries[i]);
    if (!m_index)
        return;
    for (QList<qsizetype> &sections : m_index->sections) {
        for (qsizetype &section : sections) {
            if (section >= at)
                section += entries.size();
        }
    }
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (entries[i].type == Entry::Type::Key)
            indexSection(*m_index, at + i);
    }
}

bool WineRegFile::hasKey(const QString &path) const
{
    const QString key = folded(path);
    return path.isEmpty() || index().sections.contains(key) || index().ancestors.contains(key);
}

qsizetype WineRegFile::lastSection(const QString &path) const
{
    const auto sections = index().sections.constFind(folded(path));
    return sections == index().sections.constEnd() || sections->isEmpty() ? -1 : sections->last();
}

qsizetype WineRegFile::sectionEnd(qsizetype section) const
{
    qsizetype end = section + 1;
    while (end < m_entries.size() && m_entries[end].type != Entry::Type::Key)
        ++end;
    return end;
}

std::optional<qsizetype> WineRegFile::lastValueIndex(const QString &path, const QString &name) const
{
    const auto sections = index().sections.constFind(folded(path));
    if (sections == index().sections.constEnd())
        return std::nullopt;
    std::optional<qsizetype> found;
    for (const qsizetype section : *sections) {
        for (qsizetype i = section + 1, end = sectionEnd(section); i < end; ++i) {
            if (m_entries[i].type == Entry::Type::Value
                && compareNames(valueName(m_entries[i]), name) == 0)
                found = i;
        }
    }
    return found;
}

std::optional<RegData> WineRegFile::value(const QString &path, const QString &name) const
{
    const auto at = lastValueIndex(path, name);
    if (!at)
        return std::nullopt;
    const QByteArrayView text = withoutEnd(raw(m_entries[*at]));
    qsizetype pos = skipSpaces(text, 0);
    readName(text, pos, nullptr);
    RegData data;
    readData(text, pos, &data);
    return data;
}

// A new section goes where Wine would write it: depth first, among its
// siblings by name; keys above it that exist keep their spelling.
qsizetype WineRegFile::insertSection(const QString &path, qint64 now)
{
    QString spelled = path;
    for (qsizetype cut = path.lastIndexOf(u'\\'); cut > 0; cut = path.lastIndexOf(u'\\', cut - 1)) {
        const auto known = index().spelling.constFind(folded(path.first(cut)));
        if (known != index().spelling.constEnd()) {
            spelled = *known + path.sliced(cut);
            break;
        }
    }
    qsizetype at = m_entries.size();
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].type == Entry::Type::Key && keyBefore(spelled, m_entries[i].text)) {
            at = i;
            // The blank line before a section belongs to it.
            while (at > 0 && m_entries[at - 1].type == Entry::Type::Other
                   && raw(m_entries[at - 1]).trimmed().isEmpty())
                --at;
            break;
        }
    }
    endLine(at - 1);
    const QList<Entry> added = {written(Entry::Type::Other, "\n"),
                                written(Entry::Type::Key, keyLine(spelled, now), spelled),
                                written(Entry::Type::Option, "#time=" + fileTime(now) + '\n')};
    insertEntries(at, added);
    return at + 1;
}

// A line of a file that did not end in a line end gets one before another
// line follows it.
void WineRegFile::endLine(qsizetype at)
{
    if (at >= 0 && !raw(m_entries[at]).endsWith('\n'))
        replace(m_entries[at], raw(m_entries[at]).toByteArray() + '\n');
}

void WineRegFile::touchSection(qsizetype section, qint64 now)
{
    // The key line keeps its name as written; only its time changes.
    const QByteArrayView line = raw(m_entries[section]);
    replace(m_entries[section],
            line.first(line.lastIndexOf(']') + 1).toByteArray() + ' ' + QByteArray::number(now)
                + '\n');
    const QByteArray time = "#time=" + fileTime(now) + '\n';
    for (qsizetype i = section + 1, stop = sectionEnd(section); i < stop; ++i) {
        if (m_entries[i].type == Entry::Type::Option
            && raw(m_entries[i]).trimmed().startsWith("#time=")) {
            replace(m_entries[i], time);
            return;
        }
    }
    insertEntries(section + 1, {written(Entry::Type::Option, time)});
}

void WineRegFile::addKey(const QString &path, qint64 now)
{
    if (!path.isEmpty() && lastSection(path) < 0)
        insertSection(path, now);
}

bool WineRegFile::setValue(const QString &path, const QString &name, const RegData &data,
                           qint64 now)
{
    if (!path.isEmpty() && path.split(u'\\').contains(QString()))
        return false;
    if (const auto at = lastValueIndex(path, name)) {
        replace(m_entries[*at], valueLine(name, data));
        qsizetype section = *at;
        while (m_entries[section].type != Entry::Type::Key)
            --section;
        touchSection(section, now);
        return true;
    }
    qsizetype section = lastSection(path);
    if (section < 0)
        section = insertSection(path, now); // the root's values too: in "[]"
    else
        touchSection(section, now);
    // Among the values by name; after the key's options.
    qsizetype at = section + 1;
    for (qsizetype i = section + 1, end = sectionEnd(section); i < end; ++i) {
        const Entry &other = m_entries[i];
        if (other.type == Entry::Type::Value && compareNames(name, valueName(other)) < 0)
            break;
        if (other.type != Entry::Type::Other)
            at = i + 1;
    }
    endLine(at - 1);
    insertEntries(at, {written(Entry::Type::Value, valueLine(name, data))});
    return true;
}
