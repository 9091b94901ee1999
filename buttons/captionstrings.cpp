#include "captionstrings.h"

#include <stdexcept>

using namespace Qt::Literals::StringLiterals;

namespace {

// Only this much of a caption takes part in its lines.
constexpr qsizetype MaxCaptionForLines = 254;

// Lines end at CR, LF or CR LF; a break at the very end starts no new line.
QStringList splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        lines.append(text.mid(start, end - start));
        if (end < text.size() && text[end] == u'\r')
            ++end;
        if (end < text.size() && text[end] == u'\n')
            ++end;
        start = end;
    }
    return lines;
}

void checkIndex(qsizetype index, qsizetype count)
{
    if (index < 0 || index >= count)
        throw std::out_of_range("List index out of bounds");
}

} // namespace

QStringList TCaptionStrings::captionLines(const QString &caption)
{
    QString text = caption.left(MaxCaptionForLines);
    text.replace(LineSeparator, u"\r\n"_s);
    return splitLines(text);
}

QString TCaptionStrings::captionFromLines(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines)
        text += line + u"\r\n"_s;
    // The break after the last line ends the text; the others separate lines.
    text.chop(lines.isEmpty() ? 0 : 2);
    return text.replace(u"\r\n"_s, LineSeparator);
}

QStringList TCaptionStrings::lines() const
{
    return captionLines(m_holder->Caption());
}

void TCaptionStrings::SetLines(const QStringList &lines)
{
    m_holder->SetCaption(captionFromLines(lines));
}

int TCaptionStrings::Count() const
{
    return static_cast<int>(lines().size());
}

QString TCaptionStrings::Strings(int index) const
{
    const QStringList all = lines();
    checkIndex(index, all.size());
    return all[index];
}

void TCaptionStrings::SetStrings(int index, const QString &line)
{
    QStringList all = lines();
    checkIndex(index, all.size());
    all[index] = line;
    SetLines(all);
}

void TCaptionStrings::Insert(int index, const QString &line)
{
    QStringList all = lines();
    checkIndex(index, all.size() + 1);
    all.insert(index, line);
    SetLines(all);
}

void TCaptionStrings::Delete(int index)
{
    QStringList all = lines();
    checkIndex(index, all.size());
    all.removeAt(index);
    SetLines(all);
}

void TCaptionStrings::Clear()
{
    m_holder->SetCaption(QString());
}
