#include "regfile.h"

#include "text.h"

#include <QStringDecoder>
#include <QtEndian>

#include <algorithm>
#include <cctype>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString Header5 = u"Windows Registry Editor Version 5.00"_s;
const QString Header4 = u"REGEDIT4"_s;

// Hex data lines are wrapped as the registry editor wraps them.
constexpr qsizetype WrapColumn = 77;

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool isBlankChar(QChar c)
{
    return c == u' ' || c == u'\t';
}

QString trimmedRight(QStringView line)
{
    qsizetype end = line.size();
    while (end > 0 && isBlankChar(line[end - 1]))
        --end;
    return line.first(end).toString();
}

QString escaped(const QString &text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (c == u'\\' || c == u'"')
            out += u'\\';
        out += c;
    }
    return out;
}

QByteArray utf16le(const QString &text)
{
    QByteArray out(text.size() * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        qToLittleEndian<quint16>(text[i].unicode(), out.data() + 2 * i);
    return out;
}

} // namespace

RegData RegData::fromString(const QString &text, quint32 type)
{
    return {type, utf16le(text) + QByteArray(2, '\0')};
}

RegData RegData::fromDWord(quint32 value)
{
    QByteArray bytes(4, Qt::Uninitialized);
    qToLittleEndian(value, bytes.data());
    return {RegType::DWord, bytes};
}

QString RegData::text() const
{
    QString out;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        const char16_t c = qFromLittleEndian<quint16>(bytes.constData() + i);
        if (c == 0)
            break;
        out += QChar(c);
    }
    return out;
}

std::optional<quint32> RegData::dword() const
{
    if (type != RegType::DWord || bytes.size() != 4)
        return std::nullopt;
    return qFromLittleEndian<quint32>(bytes.constData());
}

RegFileError::RegFileError(int line, RegistryFileFault fault)
    : std::runtime_error(QStringLiteral("line %1: %2")
                             .arg(line)
                             .arg(registryFileFaultText(fault, Language::English))
                             .toStdString())
    , m_line(line)
    , m_fault(fault)
{ }

// Reads the lines after the header, one logical entry at a time.
class RegFile::Parser
{
public:
    Parser(QList<QStringView> lines, bool ansi, Dialect dialect)
        : m_lines(std::move(lines))
        , m_ansi(ansi)
        , m_dialect(dialect)
    { }

    QList<Entry> entries()
    {
        QList<Entry> out;
        out.reserve(m_lines.size());
        bool inSection = false; // values after a deleted key belong to no key, as on import
        for (m_next = 1; m_next < m_lines.size();) {
            Entry entry = next();
            if (entry.type == Entry::Type::Key || entry.type == Entry::Type::DeletedKey)
                inSection = true;
            else if (isValue(entry) && !inSection)
                fail(RegistryFileFault::ValueOutsideKey);
            out.append(std::move(entry));
        }
        return out;
    }

private:
    [[noreturn]] void fail(RegistryFileFault fault) const
    {
        throw RegFileError(static_cast<int>(m_first + 1), fault);
    }

    Entry next()
    {
        m_first = m_next++;
        const QStringView line = m_lines[m_first];
        Entry entry;
        entry.raw = line.toString();
        const QString text = trimmedRight(line).trimmed();
        if (text.isEmpty())
            entry.type = Entry::Type::Blank;
        else if (text.startsWith(u';'))
            entry.type = Entry::Type::Comment;
        else if (text.startsWith(u'['))
            keyLine(text, entry);
        else if (text.startsWith(u'"') || text.startsWith(u'@'))
            valueLine(entry);
        else
            fail(RegistryFileFault::NeitherKeyNorValue);
        return entry;
    }

    void keyLine(const QString &text, Entry &entry) const
    {
        const qsizetype close = text.lastIndexOf(u']');
        if (close < 0)
            fail(RegistryFileFault::KeyNotClosed);
        if (close != text.size() - 1)
            fail(RegistryFileFault::TextAfterKey);
        QString path = text.mid(1, close - 1);
        entry.type = Entry::Type::Key;
        if (path.startsWith(u'-')) {
            entry.type = Entry::Type::DeletedKey;
            path.remove(0, 1);
        }
        if (path.isEmpty())
            fail(RegistryFileFault::EmptyKeyName);
        entry.text = path;
    }

    void valueLine(Entry &entry)
    {
        const QString line = entry.raw.trimmed();
        qsizetype pos = 0;
        if (line.startsWith(u'@')) {
            pos = 1;
        } else {
            const auto name = quotedText(line, pos, m_dialect);
            if (!name)
                fail(RegistryFileFault::NameNotClosed);
            entry.text = *name;
        }
        skipBlanks(line, pos);
        if (pos >= line.size() || line[pos] != u'=')
            fail(RegistryFileFault::NameWithoutEquals);
        ++pos;
        skipBlanks(line, pos);
        entry.type = Entry::Type::Value;
        valueData(QStringView(line).mid(pos), entry);
    }

    void valueData(QStringView data, Entry &entry)
    {
        const QString rest = trimmedRight(data);
        if (rest == u"-"_s) {
            entry.type = Entry::Type::DeletedValue;
        } else if (rest.startsWith(u'"')) {
            qsizetype pos = 0;
            const auto text = quotedText(rest, pos, m_dialect);
            if (!text)
                fail(RegistryFileFault::TextNotClosed);
            if (pos != rest.size())
                fail(RegistryFileFault::TextAfterText);
            entry.data = RegData::fromString(*text);
        } else if (rest.startsWith(u"dword:"_s)) {
            const QStringView digits = QStringView(rest).mid(6);
            bool ok = false;
            const uint value = digits.toUInt(&ok, 16);
            if (!ok || digits.isEmpty() || digits.size() > 8 || !isHexDigits(digits))
                fail(RegistryFileFault::BadDword);
            entry.data = RegData::fromDWord(value);
        } else if (rest.startsWith(u"hex"_s)) {
            hexData(rest, entry);
        } else {
            fail(RegistryFileFault::UnknownValueForm);
        }
    }

    void hexData(const QString &first, Entry &entry)
    {
        qsizetype pos = 3;
        quint32 type = RegType::Binary;
        if (first.mid(pos).startsWith(u'(')) {
            const qsizetype close = first.indexOf(u')', pos);
            const QStringView digits = QStringView(first).mid(pos + 1, close - pos - 1);
            bool ok = false;
            type = digits.toUInt(&ok, 16);
            if (close < 0 || !ok || digits.size() > 8 || !isHexDigits(digits))
                fail(RegistryFileFault::BadHexType);
            pos = close + 1;
        }
        if (first.mid(pos, 1) != u":"_s)
            fail(RegistryFileFault::HexWithoutColon);

        QString bytesText = first.mid(pos + 1);
        while (bytesText.endsWith(u'\\')) {
            bytesText.chop(1);
            if (m_next >= m_lines.size())
                fail(RegistryFileFault::HexPastEnd);
            const QStringView more = m_lines[m_next++];
            entry.raw += u"\r\n"_s + more.toString();
            bytesText += trimmedRight(more).trimmed();
        }
        entry.data = {type, hexBytes(bytesText)};
        if (m_ansi && isText(type)) {
            // 8-bit files hold hex text as 8-bit text; version 5 files as UTF-16.
            entry.data.bytes = utf16le(decodeWindows1252(entry.data.bytes));
            entry.raw = RegFile::valueLine(entry.text, entry.data);
        }
    }

    QByteArray hexBytes(const QString &text) const
    {
        QByteArray out;
        out.reserve(text.size() / 3 + 1);
        const auto parts = QStringView(text).split(u',');
        for (qsizetype i = 0; i < parts.size(); ++i) {
            const QStringView part = parts[i].trimmed();
            if (part.isEmpty() && parts.size() == 1)
                break; // no data at all
            if (part.isEmpty() && i == parts.size() - 1 && i > 0)
                break; // a trailing comma
            bool ok = false;
            const uint byte = part.toUInt(&ok, 16);
            if (!ok || part.size() != 2 || !isHexDigits(part))
                fail(RegistryFileFault::BadHexBytes);
            out.append(static_cast<char>(byte));
        }
        return out;
    }

public:
    static bool isValue(const Entry &entry)
    {
        return entry.type == Entry::Type::Value || entry.type == Entry::Type::DeletedValue;
    }

    static bool isText(quint32 type)
    {
        return type == RegType::String || type == RegType::ExpandString
            || type == RegType::MultiString;
    }

    static bool isHexDigits(QStringView text)
    {
        return std::all_of(text.begin(), text.end(), [](QChar c) {
            return c.unicode() < 0x80 && std::isxdigit(c.unicode());
        });
    }

    static void skipBlanks(const QString &line, qsizetype &pos)
    {
        while (pos < line.size() && isBlankChar(line[pos]))
            ++pos;
    }

    // Reads "..." from `pos`, undoing the \\ and \" escapes, and for
    // Wine's editor its \n, \r and \0 as well; leaves `pos` after the
    // closing quote.
    static std::optional<QString> quotedText(QStringView line, qsizetype &pos,
                                             Dialect dialect = Dialect::Windows)
    {
        QString out;
        for (qsizetype i = pos + 1; i < line.size(); ++i) {
            const QChar c = line[i];
            if (c == u'"') {
                pos = i + 1;
                return out;
            }
            if (c == u'\\' && i + 1 < line.size()) {
                const QChar next = line[i + 1];
                if (next == u'\\' || next == u'"') {
                    ++i;
                } else if (dialect == Dialect::WineEditor) {
                    ++i;
                    out += next == u'n' ? QChar(u'\n')
                        : next == u'r'  ? QChar(u'\r')
                        : next == u'0'  ? QChar(u'\0')
                                        : next;
                    continue;
                }
            }
            out += line[i];
        }
        return std::nullopt;
    }

private:
    QList<QStringView> m_lines;
    bool m_ansi;
    Dialect m_dialect;
    qsizetype m_next = 0;
    qsizetype m_first = 0;
};

RegFile::RegFile()
{
    m_entries.append(Entry{}); // the blank line after the header
}

RegFile RegFile::parse(const QByteArray &bytes, Dialect dialect)
{
    if (bytes.size() > MaxFileSize)
        throw RegFileError(0, RegistryFileFault::TooLarge);

    QString text;
    bool ansi = false;
    if (bytes.startsWith("\xFF\xFE")) {
        if (bytes.size() % 2 != 0)
            throw RegFileError(0, RegistryFileFault::BrokenCharacter);
        text
            = QString(reinterpret_cast<const QChar *>(bytes.constData() + 2), bytes.size() / 2 - 1);
        if constexpr (Q_BYTE_ORDER == Q_BIG_ENDIAN) {
            for (QChar &c : text)
                c = QChar(qFromLittleEndian(c.unicode()));
        }
    } else if (bytes.startsWith("\xFE\xFF")) {
        throw RegFileError(1, RegistryFileFault::BigEndian);
    } else if (bytes.startsWith("\xEF\xBB\xBF")) {
        text = QString::fromUtf8(bytes.mid(3));
    } else if (bytes.startsWith("REGEDIT4")) {
        text = decodeWindows1252(bytes);
        ansi = true;
    } else {
        QStringDecoder utf8(QStringDecoder::Utf8);
        text = utf8(bytes);
        if (utf8.hasError())
            text = decodeWindows1252(bytes);
    }

    RegFile file;
    if (text.isEmpty())
        return file;

    // CRLF or LF ends a line; a CR of a last line without LF is text.
    QList<QStringView> lines = QStringView(text).split(u'\n');
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i].endsWith(u'\r'))
            lines[i].chop(1);
    }
    const QString header = trimmedRight(lines.first());
    if (header != Header5 && header != Header4)
        throw RegFileError(1, RegistryFileFault::NoHeader);

    file.m_endsWithNewline = lines.size() > 1 && lines.last().isEmpty();
    if (file.m_endsWithNewline)
        lines.removeLast();
    file.m_entries = Parser(lines, ansi, dialect).entries();
    return file;
}

QByteArray RegFile::serialize() const
{
    QString text = Header5;
    for (const Entry &entry : m_entries)
        text += u"\r\n"_s + entry.raw;
    if (m_endsWithNewline)
        text += u"\r\n"_s;
    return QByteArray("\xFF\xFE", 2) + utf16le(text);
}

bool RegFile::addComment(const QString &line)
{
    if (!line.startsWith(u';') || line.contains(u'\r') || line.contains(u'\n'))
        return false;
    QList<Entry> added;
    if (m_entries.isEmpty())
        added.append(Entry{}); // a blank line after the header, as the editor writes
    added.append(Entry{Entry::Type::Comment, line, {}, {}});
    insertEntries(m_entries.size(), added);
    return true;
}

QStringList RegFile::deletedKeys() const
{
    QStringList keys;
    for (const Entry &entry : m_entries) {
        if (entry.type == Entry::Type::DeletedKey)
            keys.append(entry.text);
    }
    return keys;
}

QStringList RegFile::comments() const
{
    QStringList lines;
    for (const Entry &entry : m_entries) {
        if (entry.type == Entry::Type::Comment)
            lines.append(trimmedRight(entry.raw).trimmed());
    }
    return lines;
}

QString RegFile::nameText(const QString &name)
{
    return name.isEmpty() ? u"@"_s : u'"' + escaped(name) + u'"';
}

QString RegFile::valueLine(const QString &name, const RegData &data)
{
    QString line = nameText(name) + u'=';
    const QString text = data.text();
    const bool plainString = data.type == RegType::String && RegData::fromString(text) == data
        && !text.contains(u'\r') && !text.contains(u'\n');
    if (plainString)
        return line + u'"' + escaped(text) + u'"';
    if (const auto dword = data.dword())
        return line + u"dword:"_s + QString::number(*dword, 16).rightJustified(8, u'0');

    line += data.type == RegType::Binary ? u"hex:"_s
                                         : u"hex("_s + QString::number(data.type, 16) + u"):"_s;
    qsizetype column = line.size();
    for (qsizetype i = 0; i < data.bytes.size(); ++i) {
        line += QString::number(static_cast<quint8>(data.bytes[i]), 16).rightJustified(2, u'0');
        column += 2;
        if (i + 1 < data.bytes.size()) {
            line += u',';
            ++column;
            if (column >= WrapColumn) {
                line += u"\\\r\n  "_s;
                column = 2;
            }
        }
    }
    return line;
}

bool RegFile::hasKey(const QString &keyPath) const
{
    const QString folded = keyPath.toCaseFolded();
    return index().sections.contains(folded) || index().ancestors.contains(folded);
}

const RegFile::Index &RegFile::index() const
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

void RegFile::indexSection(Index &index, qsizetype at) const
{
    const QString folded = m_entries[at].text.toCaseFolded();
    QList<qsizetype> &sections = index.sections[folded];
    sections.insert(std::upper_bound(sections.begin(), sections.end(), at), at);
    for (qsizetype cut = folded.lastIndexOf(u'\\'); cut > 0;
         cut = folded.lastIndexOf(u'\\', cut - 1))
        index.ancestors.insert(folded.first(cut));
}

// Every edit that adds lines goes through here, so that the index follows.
void RegFile::insertEntries(qsizetype at, const QList<Entry> &entries)
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

void RegFile::removeEntry(qsizetype at)
{
    m_entries.removeAt(at);
    if (!m_index)
        return;
    for (QList<qsizetype> &sections : m_index->sections) {
        for (qsizetype &section : sections) {
            if (section > at)
                --section;
        }
    }
}

// Where each line of the value is, in each section of the key, in the
// file's order.
QList<qsizetype> RegFile::valueIndexes(const QString &keyPath, const QString &name) const
{
    QList<qsizetype> found;
    const auto sections = index().sections.constFind(keyPath.toCaseFolded());
    if (sections == index().sections.constEnd())
        return found;
    for (const qsizetype section : *sections) {
        for (qsizetype i = section + 1; i < m_entries.size(); ++i) {
            const Entry &entry = m_entries[i];
            if (entry.type == Entry::Type::Key || entry.type == Entry::Type::DeletedKey)
                break;
            if (Parser::isValue(entry) && sameName(entry.text, name))
                found.append(i);
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::optional<qsizetype> RegFile::lastValueIndex(const QString &keyPath, const QString &name) const
{
    const QList<qsizetype> found = valueIndexes(keyPath, name);
    return found.isEmpty() ? std::nullopt : std::optional(found.last());
}

std::optional<RegData> RegFile::value(const QString &keyPath, const QString &name) const
{
    const auto index = lastValueIndex(keyPath, name);
    if (!index || m_entries[*index].type != Entry::Type::Value)
        return std::nullopt;
    return m_entries[*index].data;
}

qsizetype RegFile::sectionIndex(const QString &keyPath) const
{
    const auto sections = index().sections.constFind(keyPath.toCaseFolded());
    return sections == index().sections.constEnd() || sections->isEmpty() ? -1 : sections->last();
}

// A new section goes after the subtree of its nearest ancestor that has a
// section, or at the end of the file.
qsizetype RegFile::insertSection(const QString &keyPath)
{
    qsizetype at = m_entries.size();
    for (QString ancestor = keyPath.section(u'\\', 0, -2); !ancestor.isEmpty();
         ancestor = ancestor.section(u'\\', 0, -2)) {
        const qsizetype index = sectionIndex(ancestor);
        if (index < 0)
            continue;
        const QString prefix = ancestor + u'\\';
        for (at = index + 1; at < m_entries.size(); ++at) {
            const Entry &entry = m_entries[at];
            const bool isKey
                = entry.type == Entry::Type::Key || entry.type == Entry::Type::DeletedKey;
            if (isKey && !entry.text.startsWith(prefix, Qt::CaseInsensitive))
                break;
        }
        break;
    }

    QList<Entry> added;
    if (at > 0 && m_entries[at - 1].type != Entry::Type::Blank)
        added.append(Entry{});
    added.append(Entry{Entry::Type::Key, u'[' + keyPath + u']', keyPath, {}});
    added.append(Entry{});
    insertEntries(at, added);
    return at + added.size() - 2;
}

void RegFile::addKey(const QString &keyPath)
{
    if (sectionIndex(keyPath) < 0)
        insertSection(keyPath);
}

bool RegFile::setValue(const QString &keyPath, const QString &name, const RegData &data)
{
    return putEntry(keyPath, Entry{Entry::Type::Value, valueLine(name, data), name, data});
}

bool RegFile::addDeletion(const QString &keyPath, const QString &name)
{
    return putEntry(keyPath, Entry{Entry::Type::DeletedValue, nameText(name) + u"=-"_s, name, {}});
}

// In place of the value's last line, which is the one an import keeps, or
// after the last line of the key's last section.
bool RegFile::putEntry(const QString &keyPath, Entry entry)
{
    if (entry.text.contains(u'\r') || entry.text.contains(u'\n'))
        return false;
    if (const auto index = lastValueIndex(keyPath, entry.text)) {
        m_entries[*index] = std::move(entry);
        return true;
    }
    qsizetype section = sectionIndex(keyPath);
    if (section < 0)
        section = insertSection(keyPath);
    qsizetype at = section + 1;
    for (qsizetype i = section + 1; i < m_entries.size(); ++i) {
        const auto type = m_entries[i].type;
        if (type == Entry::Type::Key || type == Entry::Type::DeletedKey)
            break;
        if (type != Entry::Type::Blank)
            at = i + 1;
    }
    insertEntries(at, {std::move(entry)});
    return true;
}

// An earlier line of the same name would come back if only the last went.
bool RegFile::removeValue(const QString &keyPath, const QString &name)
{
    const QList<qsizetype> found = valueIndexes(keyPath, name);
    for (qsizetype i = found.size() - 1; i >= 0; --i)
        removeEntry(found[i]);
    return !found.isEmpty();
}

void RegFile::visit(const std::function<void(const QString &, const std::optional<QString> &,
                                             const RegData &)> &visitor) const
{
    visitWithDeletions([&](const QString &key, const std::optional<QString> &name,
                           const std::optional<RegData> &data) {
        if (!name)
            visitor(key, std::nullopt, {});
        else if (data)
            visitor(key, name, *data);
    });
}

// Values after a deleted key belong to no key, as on import.
void RegFile::visitWithDeletions(
    const std::function<void(const QString &, const std::optional<QString> &,
                             const std::optional<RegData> &)> &visitor) const
{
    QString key;
    for (const Entry &entry : m_entries) {
        if (entry.type == Entry::Type::Key || entry.type == Entry::Type::DeletedKey) {
            key = entry.type == Entry::Type::Key ? entry.text : QString();
            if (!key.isEmpty())
                visitor(key, std::nullopt, std::nullopt);
        } else if (key.isEmpty()) {
            continue;
        } else if (entry.type == Entry::Type::Value) {
            visitor(key, entry.text, entry.data);
        } else if (entry.type == Entry::Type::DeletedValue) {
            visitor(key, entry.text, std::nullopt);
        }
    }
}
