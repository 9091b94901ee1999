#pragma once

// A Wine registry file (a prefix's user.reg) held as its lines, so that an
// edit changes only the lines it must and writes them as Wine itself does:
// ASCII with LF ends (CRLF in a file whose lines end so), Wine's escapes,
// values and keys in Wine's order, a key line with its time. Reading is
// tolerant of what Wine reads (CRLF, raw UTF-8, keys and values in any order
// and more than once) and refuses, with the line, what Wine would drop or
// change on loading.

#include "regfile.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

class WineRegFile
{
public:
    static constexpr qsizetype MaxFileSize = RegFile::MaxFileSize;

    // A file as a new prefix would start it, for `arch` "win32" or "win64".
    explicit WineRegFile(const QByteArray &arch = "win64");
    // Raises RegFileError naming the first line Wine would not read as written.
    static WineRegFile parse(const QByteArray &bytes);
    QByteArray serialize() const;
    // What serialize() gives, as pieces that stay valid while the file lives
    // unchanged: the runs of the file as read that are unchanged, and what
    // changed, so that a large file can be written without a second copy.
    QList<QByteArrayView> pieces() const;

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
    // Removes every line of the value from each of the key's sections, and
    // sets the time of those it changed; all else stays byte for byte, the
    // key's section too. True when a line went.
    bool removeValue(const QString &path, const QString &name, qint64 now);

    // How Wine writes a value line, a key line and a string.
    static QByteArray valueLine(const QString &name, const RegData &data);
    static QByteArray keyLine(const QString &path, qint64 now);
    static QByteArray escaped(QStringView text, char16_t quote, char16_t otherQuote);

private:
    // A key's section: its key line and the lines after it up to the next
    // key's; the lines before the first key are the first section. A section
    // as read is a range of the file's bytes, one changed here has bytes of
    // its own, and a key's path is read again from its key line when it is
    // needed: a large file costs little more than its bytes, and a copy of
    // one (a batch's) little more than its changes.
    struct Section
    {
        qsizetype begin = 0; // in m_source
        qsizetype size = 0;
        qsizetype own = -1; // its bytes in m_own; -1 while they are m_source's
    };
    // Where each key's sections are, by a hash of the path without regard
    // to case; a hash is only a hint, checked against the section's path.
    using Places = std::vector<std::pair<quint64, qsizetype>>; // sorted
    struct Index
    {
        Places sections; // (hash of its path, section)
        // (hash of a key above some section's own, the first such section),
        // built when first asked for.
        std::optional<QHash<quint64, qsizetype>> firstBelow;
    };
    class Parser;

    QByteArrayView bytesOf(qsizetype section) const;
    // The path of a section's key into `path`, whose room is used again.
    void readPath(qsizetype section, QString &path) const;
    void rewrite(qsizetype section, QByteArray bytes);
    const QHash<quint64, qsizetype> &ancestors() const;
    // The sections of the key `path`, in the file's order.
    QList<qsizetype> sectionsOf(const QString &path) const;
    // The first section of a key below `path`.
    std::optional<qsizetype> firstBelow(const QString &path) const;
    QString spelling(const QString &path) const;
    void insertSection(qsizetype at, const QString &path, QByteArray bytes);
    qsizetype newSection(const QString &path, qint64 now);
    std::optional<std::pair<qsizetype, qsizetype>> lastValue(const QString &path,
                                                             const QString &name) const;

    QByteArray m_source; // the file as read
    QList<Section> m_sections; // in the file's order, the head first
    QList<QByteArray> m_own; // the bytes of the sections changed here
    bool m_crlf = false; // its lines end in CRLF
    // Shared with copies until one of them adds a key.
    std::shared_ptr<Index> m_index;
};
