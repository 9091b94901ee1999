#pragma once

// A Wine registry file (a prefix's user.reg) held as its lines, so that an
// edit changes only the lines it must and writes them as Wine itself does:
// ASCII with LF ends, Wine's escapes, values and keys in Wine's order, a key
// line with its time. Reading is tolerant of what Wine reads (CRLF, raw
// UTF-8, keys and values in any order and more than once) and refuses, with
// the line, what Wine would drop or change on loading.

#include "regfile.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <optional>

class WineRegFile
{
public:
    static constexpr qsizetype MaxFileSize = RegFile::MaxFileSize;

    // A file as a new prefix would start it, for `arch` "win32" or "win64".
    explicit WineRegFile(const QByteArray &arch = "win64");
    // Raises RegFileError naming the first line Wine would not read as written.
    static WineRegFile parse(const QByteArray &bytes);
    QByteArray serialize() const;

    // Key paths are relative to HKEY_CURRENT_USER, components separated by
    // single backslashes ("Software\Wine"); the empty path is the root. Keys
    // and value names match without regard to case. A key exists when it
    // has a section of its own or a subkey has one.
    bool hasKey(const QString &path) const;
    std::optional<RegData> value(const QString &path, const QString &name) const;
    // `now` is the change's time in seconds since 1970, written on the line
    // of every key a change touches, as Wine does.
    void addKey(const QString &path, qint64 now);
    // False for a key path Wine could not hold (an empty component).
    bool setValue(const QString &path, const QString &name, const RegData &data, qint64 now);

    // How Wine writes a value line, a key line and a string.
    static QByteArray valueLine(const QString &name, const RegData &data);
    static QByteArray keyLine(const QString &path, qint64 now);
    static QByteArray escaped(QStringView text, char16_t quote, char16_t otherQuote);

private:
    // A key's section: its key line and the lines after it up to the next
    // key's. The lines before the first key are a section of their own.
    // Sections as read stay in the file's bytes; those changed here have
    // bytes of their own.
    struct Section
    {
        QString path; // of the key; empty for the lines before the first key
        bool head = false; // the lines before the first key
        qsizetype begin = 0; // in m_source
        qsizetype size = 0;
        bool written = false;
        QByteArray own;
    };
    struct Index
    {
        QHash<QString, QList<qsizetype>> sections; // by lower-cased path
        // Keys that exist only above others, built when first asked for.
        std::optional<QSet<QString>> ancestors;
    };
    class Parser;

    QByteArrayView bytesOf(const Section &section) const;
    void rewrite(qsizetype section, QByteArray bytes);
    const Index &index() const;
    const QSet<QString> &ancestors() const;
    QString spelling(const QString &path) const;
    void insertSection(qsizetype at, Section section);
    qsizetype newSection(const QString &path, qint64 now);
    std::optional<std::pair<qsizetype, qsizetype>> lastValue(const QString &path,
                                                             const QString &name) const;

    QByteArray m_source; // the file as read
    QList<Section> m_sections; // in the file's order, the head first
    mutable std::optional<Index> m_index;
};
