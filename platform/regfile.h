#pragma once

// A registry-export file ("Windows Registry Editor Version 5.00" or
// "REGEDIT4") held as its lines, so that everything an edit does not touch is
// written back exactly as it was read: other keys, value kinds the tool does
// not handle, comments, blank lines and their order.

#include "registryfaults.h"
#include "registrystore.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <stdexcept>

// Value types as the export format numbers them ("hex(N):").
namespace RegType {
constexpr quint32 String = 1;
constexpr quint32 ExpandString = 2;
constexpr quint32 Binary = 3;
constexpr quint32 DWord = 4;
constexpr quint32 MultiString = 7;
constexpr quint32 QWord = 11;
} // namespace RegType

// A value as the registry holds it: its type and its data bytes (text kinds
// as UTF-16LE with the closing NUL, DWORD as four little-endian bytes).
struct RegData
{
    quint32 type = RegType::String;
    QByteArray bytes;

    static RegData fromString(const QString &text, quint32 type = RegType::String);
    static RegData fromDWord(quint32 value);
    static RegData fromStored(const StoredValue &value)
    {
        return {value.type,
                QByteArray(reinterpret_cast<const char *>(value.data.data()),
                           static_cast<qsizetype>(value.data.size()))};
    }
    StoredValue stored() const
    {
        const auto *data = reinterpret_cast<const std::uint8_t *>(bytes.constData());
        return {type, {data, data + bytes.size()}};
    }
    // Text kinds: the text up to the first NUL.
    QString text() const;
    // DWORD with exactly four bytes.
    std::optional<quint32> dword() const;

    friend bool operator==(const RegData &, const RegData &) = default;
};

// A file kept as pieces (the runs of it as read, and what changed), joined
// into one array, for what needs it whole.
inline QByteArray joinedPieces(const QList<QByteArrayView> &pieces)
{
    qsizetype size = 0;
    for (const QByteArrayView piece : pieces)
        size += piece.size();
    QByteArray out;
    out.reserve(size);
    for (const QByteArrayView piece : pieces)
        out += piece;
    return out;
}

class RegFileError : public std::runtime_error
{
public:
    RegFileError(int line, RegistryFileFault fault);
    int line() const { return m_line; }
    RegistryFileFault fault() const { return m_fault; }

private:
    int m_line;
    RegistryFileFault m_fault;
};

class RegFile
{
public:
    static constexpr qsizetype MaxFileSize = 64 * 1024 * 1024;

    // Wine's registry editor writes line breaks and NULs in strings with
    // escapes of its own (\n, \r, \0); the Windows one never does.
    enum class Dialect { Windows, WineEditor };

    RegFile();
    // Raises RegFileError naming the first line it cannot read.
    static RegFile parse(const QByteArray &bytes, Dialect dialect = Dialect::Windows);
    // UTF-16LE with byte-order mark and CRLF line ends, as the registry editor
    // writes it.
    QByteArray serialize() const;

    // Key paths are full ("HKEY_CURRENT_USER\Software\X") and match without
    // regard to letter case; so do value names. A key exists when it has a
    // section of its own or a subkey has one.
    bool hasKey(const QString &keyPath) const;
    std::optional<RegData> value(const QString &keyPath, const QString &name) const;
    // Adds a section for the key unless it has one.
    void addKey(const QString &keyPath);
    // Replaces the value (of any kind) or adds it to the key's section, adding
    // the section if needed. False for a name the format cannot hold.
    bool setValue(const QString &keyPath, const QString &name, const RegData &data);

    // Removes every line of the value (deletion lines too) from each of the
    // key's sections; every other line stays as it was, the section too.
    // True when a line went.
    bool removeValue(const QString &keyPath, const QString &name);
    // Writes a deletion line ("Name"=-), which makes an import remove the
    // value, in place of the value or at the end of the key's section. False
    // for a name the format cannot hold.
    bool addDeletion(const QString &keyPath, const QString &name);

    // The keys the file deletes whole ("[-HKEY_...]").
    QStringList deletedKeys() const;
    // Adds a comment line at the end of the file; `line` starts with ";"
    // and holds no line break. False for one that does not.
    bool addComment(const QString &line);
    // The comment lines, as written, in the file's order.
    QStringList comments() const;

    // Every key section and every value in the file's order: `name` is
    // nullopt for a section's key.
    void visit(const std::function<void(const QString &keyPath, const std::optional<QString> &name,
                                        const RegData &data)> &visitor) const;
    // The same with the deletion lines, which have no data.
    void visitWithDeletions(
        const std::function<void(const QString &keyPath, const std::optional<QString> &name,
                                 const std::optional<RegData> &data)> &visitor) const;

private:
    struct Entry
    {
        enum class Type { Blank, Comment, Key, DeletedKey, Value, DeletedValue };
        Type type = Type::Blank;
        QString raw; // the physical lines, joined by "\r\n"
        QString text; // Key: the path; Value: the name
        RegData data;
    };

    // Where each key's sections are, by case-folded path, and which keys
    // exist only as the ancestors of others: lookups in a large file must not
    // walk all of it. Built when first needed and kept up to date by the
    // edits.
    struct Index
    {
        QHash<QString, QList<qsizetype>> sections;
        QSet<QString> ancestors;
    };

    class Parser;

    static QString valueLine(const QString &name, const RegData &data);
    static QString nameText(const QString &name);
    const Index &index() const;
    void indexSection(Index &index, qsizetype at) const;
    void insertEntries(qsizetype at, const QList<Entry> &entries);
    void removeEntry(qsizetype at);
    bool putEntry(const QString &keyPath, Entry entry);
    QList<qsizetype> valueIndexes(const QString &keyPath, const QString &name) const;
    std::optional<qsizetype> lastValueIndex(const QString &keyPath, const QString &name) const;
    qsizetype sectionIndex(const QString &keyPath) const;
    qsizetype insertSection(const QString &keyPath);

    QList<Entry> m_entries; // everything after the header line
    bool m_endsWithNewline = true;
    mutable std::optional<Index> m_index;
};
