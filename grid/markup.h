#pragma once

// The small tag language of the grid's cells: how a text is recognised as
// markup, how markup is laid out and drawn into a cell, how tag-free text is
// drawn, and the tag-free form the editor gets.

#include "text.h" // StripMarkupTags

#include <QColor>
#include <QRect>
#include <QString>

class QPainter;

enum class TextKind { Plain, Markup, RichText, Formula, WideText };

// Only plain and markup occur in the settings grids.
TextKind MarkupTextKind(QStringView text, bool enableHtml = true);

struct MarkupParams
{
    int shadowOffset = 1;
    QColor shadowColor{128, 128, 128};
    QColor linkColor{0, 0, 0};
    bool wordWrap = false; // the settings grids lay markup out without wrapping
};

enum class MarkupMode { Draw, Measure };

struct MarkupExtent
{
    int width = 0; // of the widest line
    int height = 0; // of all lines
};

// Lays out and, in draw mode, draws `text` into `rect` starting from the
// painter's font (the base font) and pen colour (the base colour); the
// painter's font, pen and brush are as they were on return.
MarkupExtent DrawMarkupText(QPainter &painter, const QString &text, const QRect &rect,
                            const MarkupParams &params, MarkupMode mode);

// Entities replaced, "<#...>" literals opened, CR turned into "<BR>", LF removed.
QString prepareMarkupText(QString text);

struct PlainTextFlags
{
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop;
    bool wordWrap = true;
    bool multilineCells = true;
    bool enhTextSize = true; // an ellipsis where a single line is cut
};

// Tag-free cell text, in one call, as the grid draws it.
void drawPlainCellText(QPainter &painter, const QString &text, const QRect &rect,
                       const PlainTextFlags &flags);
