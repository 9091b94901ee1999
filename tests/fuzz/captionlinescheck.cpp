#include "captionlinescheck.h"

#include "captionstrings.h"
#include "invariant.h"

namespace {

constexpr Invariants require{"caption lines"};

} // namespace

void checkCaptionLinesInput(const QByteArray &bytes)
{
    const QString caption = QString::fromUtf8(bytes);
    const QStringList lines = TCaptionStrings::captionLines(caption);
    qsizetype characters = 0;
    for (const QString &line : lines) {
        require(!line.contains(u'\r') && !line.contains(u'\n'), "a line holds a line break");
        characters += line.size();
    }
    require(characters <= 254, "more than 254 characters took part");

    const QString joined = TCaptionStrings::captionFromLines(lines);
    require(!joined.contains(u'\r') && !joined.contains(u'\n'), "a joined caption holds a break");
    // The break after the last line ends the text, so a last empty line is
    // not kept by a join.
    QStringList kept = lines;
    if (!kept.isEmpty() && kept.last().isEmpty())
        kept.removeLast();
    if (!caption.left(254).contains(u'\r') && !caption.left(254).contains(u'\n'))
        require(TCaptionStrings::captionLines(joined) == kept, "joining changed the lines");
}
