#include "markup.h"

#include "fonts.h"
#include "text.h"
#include "wincolors.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <array>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int ListStep = 12;
// Sizes past this are refused: a hostile "<font size=...>" must not make the
// rasteriser allocate glyphs the size of a house.
constexpr int MaxPoints = 400;

// Windows maps points to pixels at 96 dots per inch, rounding to nearest.
int pointsToPixels(int points)
{
    return (std::clamp(points, 1, MaxPoints) * 96 + 36) / 72;
}

struct Entity
{
    QStringView name;
    QChar replacement;
};

// In the order they are tried.
constexpr std::array<Entity, 9> Entities = {{
    {u"&amp;", u'&'},
    {u"&quot;", u'"'},
    {u"&sect;", QChar(0xA7)},
    {u"&permil;", QChar(0x2030)},
    {u"&reg;", QChar(0xAE)},
    {u"&copy;", QChar(0xA9)},
    {u"&para;", QChar(0xB6)},
    {u"&trade;", QChar(0x2122)},
    {u"&euro;", QChar(0x20AC)},
}};

// Replaces entities until none is left. A replacement can only create a new
// entity by producing "&" at the start of one (no entity holds "&" further
// in), so one scan that looks again after each "&" it produces reaches the
// same text as repeated passes would, in linear time.
QString replaceEntities(const QString &text)
{
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    bool pendingAmpersand = false; // a produced "&" standing before text[i]
    while (i < text.size() || pendingAmpersand) {
        const QStringView rest = QStringView(text).sliced(i);
        if (pendingAmpersand || rest.front() == u'&') {
            const QStringView afterAmpersand = pendingAmpersand ? rest : rest.sliced(1);
            bool replaced = false;
            for (const Entity &entity : Entities) {
                if (afterAmpersand.startsWith(entity.name.sliced(1), Qt::CaseInsensitive)) {
                    i += (pendingAmpersand ? 0 : 1) + entity.name.size() - 1;
                    pendingAmpersand = entity.replacement == u'&';
                    if (!pendingAmpersand)
                        out += entity.replacement;
                    replaced = true;
                    break;
                }
            }
            if (replaced)
                continue;
            out += u'&';
            i += pendingAmpersand ? 0 : 1;
            pendingAmpersand = false;
            continue;
        }
        out += rest.front();
        ++i;
    }
    return out;
}

QString decodeRunEntities(QString run)
{
    run.replace(u"&nbsp;"_s, u" "_s);
    run.replace(u"&lt;"_s, u"<"_s);
    run.replace(u"&gt;"_s, u">"_s);
    return run;
}

// The text between the first two double quotes after `from`; nullopt
// without two quotes.
std::optional<QString> quotedAfter(QStringView text, qsizetype from)
{
    const qsizetype open = text.indexOf(u'"', from);
    if (open < 0)
        return std::nullopt;
    const qsizetype close = text.indexOf(u'"', open + 1);
    if (close < 0)
        return std::nullopt;
    return text.sliced(open + 1, close - open - 1).toString();
}

int leadingNumber(QStringView text)
{
    int value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            break;
        value = std::min(value * 10 + (c.unicode() - u'0'), 1'000'000);
    }
    return value;
}

QColor colourValue(const QString &value)
{
    if (value.startsWith(u'#')) {
        int rgb[3] = {0, 0, 0};
        for (int part = 0; part < 3; ++part) {
            for (int digit = 0; digit < 2; ++digit) {
                const qsizetype at = 1 + part * 2 + digit;
                const int v = at < value.size() ? std::max(hexDigitValue(value[at]), 0) : 0;
                rgb[part] = rgb[part] * 16 + v;
            }
        }
        return QColor(rgb[0], rgb[1], rgb[2]);
    }
    static const QList<std::pair<QString, QColor>> named = {
        {u"clblack"_s, QColor(0, 0, 0)},       {u"clred"_s, QColor(255, 0, 0)},
        {u"clblue"_s, QColor(0, 0, 255)},      {u"clgreen"_s, QColor(0, 128, 0)},
        {u"claqua"_s, QColor(0, 255, 255)},    {u"clyellow"_s, QColor(255, 255, 0)},
        {u"clfuchsia"_s, QColor(255, 0, 255)}, {u"clwhite"_s, QColor(255, 255, 255)},
        {u"cllime"_s, QColor(0, 255, 0)},      {u"clsilver"_s, QColor(192, 192, 192)},
        {u"clgray"_s, QColor(128, 128, 128)},  {u"clolive"_s, QColor(128, 128, 0)},
        {u"clnavy"_s, QColor(0, 0, 128)},      {u"clpurple"_s, QColor(128, 0, 128)},
        {u"clteal"_s, QColor(0, 128, 128)},    {u"clmaroon"_s, QColor(128, 0, 0)},
    };
    static const QStringList system = {
        u"clscrollbar"_s,    u"clbackground"_s,  u"clactivecaption"_s, u"clinactivecaption"_s,
        u"clmenu"_s,         u"clwindow"_s,      u"clwindowframe"_s,   u"clmenutext"_s,
        u"clwindowtext"_s,   u"clcaptiontext"_s, u"clactiveborder"_s,  u"clinactiveborder"_s,
        u"clappworkspace"_s, u"clhighlight"_s,   u"clhighlighttext"_s, u"clbtnface"_s,
        u"clbtnshadow"_s,    u"clgraytext"_s,    u"clbtntext"_s,       u"clinactivecaptiontext"_s,
        u"clbtnhighlight"_s, u"cl3ddkshadow"_s,  u"cl3dlight"_s,       u"clinfotext"_s,
        u"clinfobk"_s,
    };
    const QString name = value.toLower();
    for (const auto &[n, colour] : named) {
        if (n == name)
            return colour;
    }
    // The scroll-bar entry only keeps the indexes in step; it is not a name the tags use.
    const qsizetype index = system.indexOf(name);
    if (index > 0)
        return sysColor(static_cast<SystemColor>(index));
    return QColor(0, 0, 0);
}

struct FontState
{
    QString family;
    int pixelSize = 11;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    QColor color;
    // Taken from the painter's font: whether text is shaped and kerned.
    QFont::StyleStrategy strategy = QFont::PreferDefault;
    bool kerning = true;

    friend bool operator==(const FontState &, const FontState &) = default;

    QFont font() const
    {
        QFont f(installedFace(family));
        f.setStyleStrategy(strategy);
        f.setKerning(kerning);
        f.setPixelSize(std::max(pixelSize, 1));
        f.setBold(bold);
        f.setItalic(italic);
        f.setUnderline(underline);
        f.setStrikeOut(strikeout);
        return f;
    }
};

enum class Align { Left, Right, Centre };
using Background = std::optional<QColor>; // nullopt: clear

struct RenderState
{
    FontState font;
    Background background;
    bool shadow = false;
    bool subscript = false;
    bool superscript = false;
    bool hidden = false;
    bool error = false;
    bool inLink = false;
    bool paragraphFill = false;
    int listLevel = 0;
    Align align = Align::Left;
    int indent = 0;
    qreal rotation = 0;
    Background beforeFontBackground;
    std::optional<std::pair<QColor, Background>> beforeHighlight;
    Background beforeParagraph;
};

struct LineMetrics
{
    int width = 0;
    int height = 0;
    int sub = 0;
    int sup = 0;
    int total() const { return height + sub + sup; }
};

class Renderer
{
public:
    Renderer(QPainter &painter, const QString &text, const QRect &rect, const MarkupParams &params)
        : m_painter(painter)
        , m_text(prepareMarkupText(text))
        , m_rect(rect)
        , m_right(rect.left() + rect.width())
        , m_params(params)
    {
        const QFont base = painter.font();
        m_base.family = base.family();
        m_base.pixelSize
            = base.pixelSize() > 0 ? base.pixelSize() : pointsToPixels(base.pointSize());
        m_base.bold = base.bold();
        m_base.italic = base.italic();
        m_base.underline = base.underline();
        m_base.strikeout = base.strikeOut();
        m_base.strategy = base.styleStrategy();
        m_base.kerning = base.kerning();
        m_base.color = painter.pen().color();
        m_state.font = m_base;
        m_penWidth = std::max(painter.pen().width(), 1);
    }

    MarkupExtent run(MarkupMode mode)
    {
        const bool drawing = mode == MarkupMode::Draw;
        const int startX = m_rect.left() + 1;
        int lineTop = m_rect.top();
        MarkupExtent extent;
        qsizetype pos = 0;
        while (pos < m_text.size()) {
            const RenderState atStart = m_state;
            const int ghAtStart = lineHeightOf(m_state.font);
            LineMetrics line;
            m_dropRest = false;
            const qsizetype end = renderLine(false, pos, m_text.size(), line, startX, lineTop);

            int x = startX;
            if (m_state.align == Align::Right && x < m_right - line.width)
                x = m_right - line.width;
            else if (m_state.align == Align::Centre && m_right - startX - line.width > 0)
                x = startX + (m_right - startX - line.width) / 2;
            x += m_state.indent;

            if (drawing) {
                m_state = atStart;
                renderLine(true, pos, end, line, x, lineTop);
            }
            lineTop += line.total();
            extent.height += line.total();
            extent.width = std::max(extent.width, line.width);
            pos = m_dropRest ? m_text.size() : end;
            if (drawing && m_rect.top() + m_rect.height() < lineTop + ghAtStart)
                break;
        }
        if (extent.height == 0)
            extent.height = lineHeightOf(m_base);
        return extent;
    }

private:
    const QFontMetrics &metrics(const FontState &font)
    {
        if (!m_metrics || m_metricsFont != font) {
            m_metricsFont = font;
            m_metrics.emplace(font.font(), m_painter.device());
        }
        return *m_metrics;
    }

    int lineHeightOf(const FontState &font) { return metrics(font).lineSpacing(); }

    int textWidth(const QString &run)
    {
        const QFontMetrics &fm = metrics(m_state.font);
        return run.contains(u'\t') ? fm.size(Qt::TextSingleLine | Qt::TextExpandTabs, run).width()
                                   : fm.horizontalAdvance(run);
    }

    // One line from `pos`, up to `end`: in the measuring pass it fills `line`
    // and finds where the line ends; in the drawing pass it draws what the
    // measuring pass consumed. Returns the position after the line.
    qsizetype renderLine(bool drawing, qsizetype pos, qsizetype end, LineMetrics &line, int lineX,
                         int lineTop)
    {
        m_state.subscript = false;
        m_state.superscript = false;
        if (!drawing)
            line = {0, lineHeightOf(m_state.font), 0, 0};
        if (drawing && m_state.paragraphFill && m_state.background)
            m_painter.fillRect(
                QRect(m_rect.left(), lineTop, m_rect.width(), line.height + line.sup),
                *m_state.background);

        const qsizetype lineStart = pos;
        int x = 0;
        int trailingBlank = 0;
        int listItems = 0;
        QString lineText;
        while (pos < end) {
            if (m_text[pos] == u'<') {
                if (end - pos < 3) {
                    pos = end;
                    break;
                }
                const bool closing = m_text[pos + 1] == u'/' && end - pos >= 4;
                if (!closing && m_text[pos + 1].toUpper() == u'L') {
                    if (listItems++ > 0)
                        break; // a second list item starts the next line
                }
                qsizetype close = m_text.indexOf(u'>', pos);
                if (close >= end)
                    close = -1;
                const QStringView tag
                    = QStringView(m_text).sliced(pos, (close < 0 ? end : close + 1) - pos);
                const bool endsLine = closing ? closeTag(tag, drawing)
                                              : openTag(tag, drawing, line, lineX, lineTop, x);
                if (close < 0) {
                    pos = end;
                    m_dropRest = !drawing;
                    break;
                }
                pos = close + 1;
                if (endsLine)
                    break;
                continue;
            }

            // A run goes up to the next tag; with word wrap, up to and
            // including the next blank. Only the run itself is scanned, so a
            // long text with few tags stays linear.
            qsizetype runEnd = pos;
            if (m_params.wordWrap) {
                while (runEnd < end && m_text[runEnd] != u'<' && m_text[runEnd] != u' ')
                    ++runEnd;
                if (runEnd < end && m_text[runEnd] == u' ')
                    ++runEnd;
            } else {
                runEnd = m_text.indexOf(u'<', pos);
                if (runEnd < 0 || runEnd > end)
                    runEnd = end;
            }
            const QString run = decodeRunEntities(m_text.sliced(pos, runEnd - pos));
            const int h = lineHeightOf(m_state.font);
            if (!drawing) {
                if (m_state.subscript)
                    line.sub = std::max(line.sub, h / 4);
                if (m_state.superscript)
                    line.sup = std::max(line.sup, h / 4);
                line.height = std::max(line.height, h);
            }
            if (m_state.hidden) {
                pos = runEnd;
                continue;
            }
            const int w = textWidth(run);
            // The room of a measured line leaves out the indent it will be drawn with.
            const int available = m_right - lineX - (drawing ? 0 : m_state.indent);
            const bool overflows = x + w >= available && w < available;
            const bool afterBlank = !lineText.isEmpty() && lineText.endsWith(u' ');
            // Only measuring decides where a line wraps: drawing, shifted by
            // alignment or indent, draws exactly what was measured.
            if (!drawing && m_params.wordWrap && overflows && (lineText.isEmpty() || afterBlank)
                && pos > lineStart)
                break; // the run starts the next line
            if (drawing)
                drawRun(run, lineX + x, w, h, line, lineTop);
            x += w;
            lineText += run;
            trailingBlank = run.endsWith(u' ') ? textWidth(u" "_s) : 0;
            pos = runEnd;
            if (!drawing && !m_params.wordWrap && overflows && afterBlank) {
                m_dropRest = true; // the last thing shown
                break;
            }
        }
        if (!drawing)
            line.width = x - trailingBlank;
        return pos;
    }

    void drawRun(const QString &run, int left, int width, int height, const LineMetrics &line,
                 int lineTop)
    {
        const int lineBottom = lineTop + line.total();
        int bottom = lineBottom - line.sub;
        if (m_state.superscript)
            bottom -= line.sup;
        if (m_state.subscript)
            bottom += line.sub;
        const QRect runRect(left, bottom - height, std::max(m_right - left, 0), height);
        QString shown = run;
        if (!m_params.wordWrap && width > runRect.width())
            shown = metrics(m_state.font)
                        .elidedText(run, Qt::ElideRight, runRect.width(), Qt::TextExpandTabs);

        m_painter.setFont(m_state.font.font());
        if (m_state.background)
            m_painter.fillRect(
                QRect(left, bottom - height, std::min(width, runRect.width()), height),
                *m_state.background);
        const int flags = Qt::AlignLeft | Qt::AlignBottom | Qt::TextSingleLine | Qt::TextExpandTabs;
        auto draw = [&](const QRect &r, const QColor &colour) {
            m_painter.setPen(colour);
            if (m_state.rotation == 0) {
                m_painter.drawText(r, flags, shown);
                return;
            }
            m_painter.save();
            m_painter.translate(r.left(), r.bottom());
            m_painter.rotate(-m_state.rotation);
            m_painter.drawText(QRect(0, -r.height(), r.width() + 4096, r.height()), flags, shown);
            m_painter.restore();
        };
        if (m_state.shadow)
            draw(runRect.translated(m_params.shadowOffset, m_params.shadowOffset),
                 m_params.shadowColor);
        draw(runRect, m_state.font.color);

        if (m_state.error) {
            m_painter.setPen(QPen(QColor(255, 0, 0), 1));
            bool above = true;
            for (int x = left & ~1; x + 2 <= m_right; x += 2, above = !above)
                m_painter.drawLine(x, lineBottom + (above ? -1 : 1), x + 2,
                                   lineBottom + (above ? 1 : -1));
        }
    }

    // Handles an opening tag; true when it ends the line.
    bool openTag(QStringView tag, bool drawing, const LineMetrics &line, int lineX, int lineTop,
                 int &x)
    {
        const QChar first = tag[1].toUpper();
        const QChar second = tag.size() > 2 ? tag[2].toUpper() : QChar();
        const QString upper = tag.toString().toUpper();
        switch (first.unicode()) {
        case u'B':
            if (second == u'>')
                m_state.font.bold = true;
            return second == u'R';
        case u'E':
            if (drawing)
                m_state.error = true;
            return false;
        case u'F':
            fontTag(tag, drawing);
            return false;
        case u'H':
            if (second == u'I' && drawing) {
                m_state.beforeHighlight = {m_state.font.color, m_state.background};
                m_state.background = sysColor(clHighlight);
                m_state.font.color = sysColor(clHighlightText);
            }
            if (second == u'R' && drawing) {
                const int y = lineTop + line.total() - line.sub;
                m_painter.setPen(QPen(QColor(0, 0, 0), m_penWidth));
                m_painter.drawLine(lineX, y, m_right - 1, y);
            }
            return second == u'R';
        case u'I':
            if (second == u'>')
                m_state.font.italic = true;
            else if (second == u'N')
                indentTag(tag, x);
            return false;
        case u'L':
            x += m_state.listLevel * ListStep;
            if (drawing && m_state.listLevel > 0) {
                QFont symbol(installedFace(u"Symbol"_s));
                symbol.setStyleStrategy(m_state.font.strategy);
                symbol.setKerning(m_state.font.kerning);
                symbol.setPixelSize(std::max(m_state.font.pixelSize, 1));
                m_painter.setFont(symbol);
                m_painter.setPen(m_state.font.color);
                const QString bullet = m_state.listLevel % 2 ? QString(QChar(0xB7)) : u"o"_s;
                m_painter.drawText(QRect(lineX + (m_state.listLevel - 1) * ListStep, lineTop,
                                         ListStep, line.height),
                                   Qt::AlignLeft | Qt::AlignBottom, bullet);
            }
            return false;
        case u'P':
            paragraphTag(tag, drawing, line, lineTop);
            return false;
        case u'R':
            rotationTag(tag);
            return false;
        case u'S':
            if (upper.startsWith(u"<SUB>"_s))
                m_state.subscript = true;
            else if (upper.startsWith(u"<SUP>"_s))
                m_state.superscript = true;
            else if (second == u'>')
                m_state.font.strikeout = true;
            else if (second == u'H')
                m_state.shadow = true;
            return false;
        case u'U':
            if (second == u'>') {
                m_state.font.underline = true;
                return false;
            }
            ++m_state.listLevel;
            return true;
        case u'Z':
            m_state.hidden = true;
            return false;
        case u'A':
            if (drawing) {
                m_state.inLink = true;
                m_state.font.underline = true;
                m_state.font.color = m_params.linkColor;
            }
            return false;
        default:
            // Images, embedded controls, block backgrounds, blinking and
            // unknown tags: recognised and removed, nothing drawn.
            return false;
        }
    }

    // Handles a closing tag; true when it ends the line.
    bool closeTag(QStringView tag, bool drawing)
    {
        const QChar first = tag[2].toUpper();
        const QChar second = tag.size() > 3 ? tag[3].toUpper() : QChar();
        switch (first.unicode()) {
        case u'A':
            if (drawing) {
                m_state.inLink = false;
                m_state.font.underline = false;
                m_state.font.color = m_base.color;
            }
            return false;
        case u'B':
            if (second == u'>')
                m_state.font.bold = false;
            else
                m_state.font.color = m_base.color;
            return false;
        case u'E':
            if (drawing)
                m_state.error = false;
            return false;
        case u'F':
            m_state.font.family = m_base.family;
            m_state.font.pixelSize = m_base.pixelSize;
            if (drawing) {
                m_state.font.color = m_base.color;
                m_state.background = m_state.beforeFontBackground;
            }
            return false;
        case u'H':
            if (drawing && m_state.beforeHighlight) {
                m_state.font.color = m_state.beforeHighlight->first;
                m_state.background = m_state.beforeHighlight->second;
            }
            return false;
        case u'I':
            m_state.font.italic = false;
            return false;
        case u'L':
            return true;
        case u'P':
            if (drawing) {
                m_state.background = m_state.beforeParagraph;
                m_state.paragraphFill = false;
            }
            return true;
        case u'R':
            m_state.rotation = 0;
            return false;
        case u'S':
            if (second == u'U') {
                m_state.subscript = false;
                m_state.superscript = false;
            } else if (second == u'H') {
                m_state.shadow = false;
            } else {
                m_state.font.strikeout = false;
            }
            return false;
        case u'U':
            if (second == u'>')
                m_state.font.underline = false;
            else if (m_state.listLevel > 0)
                --m_state.listLevel;
            else
                m_state.font.underline = false;
            return false;
        case u'Z':
            m_state.hidden = false;
            return false;
        default:
            return false;
        }
    }

    void fontTag(QStringView tag, bool drawing)
    {
        if (!tag.endsWith(u'>'))
            return;
        // From the tag's sixth character: "<font" and what follows it.
        const QString attributes
            = tag.size() > 6 ? tag.sliced(5, tag.size() - 6).toString().toUpper() : QString();
        if (const qsizetype face = attributes.indexOf(u"FACE"_s); face >= 0)
            m_state.font.family = quotedAfter(attributes, face).value_or(QString());
        if (const qsizetype colour = attributes.indexOf(u" COLOR"_s); colour >= 0) {
            const QString value = quotedAfter(attributes, colour).value_or(QString());
            if (!value.isEmpty())
                m_state.font.color = colourValue(value);
        }
        if (const qsizetype bg = attributes.indexOf(u"BGCOLOR"_s); bg >= 0 && drawing) {
            m_state.beforeFontBackground = m_state.background;
            const QString value = quotedAfter(attributes, bg).value_or(QString());
            if (!value.isEmpty())
                m_state.background = colourValue(value);
        }
        if (const qsizetype size = attributes.indexOf(u"SIZE"_s); size >= 0) {
            const qsizetype equals = attributes.indexOf(u'=', size);
            QStringView value
                = equals < 0 ? QStringView() : QStringView(attributes).sliced(equals + 1);
            if (const qsizetype quote = value.indexOf(u'"'); quote >= 0)
                value = value.sliced(quote + 1);
            static constexpr int sizes[] = {8, 10, 12, 14, 16};
            const int n = leadingNumber(value);
            // No digits, or 0: the size of the text around it.
            m_state.font.pixelSize
                = n == 0 ? m_base.pixelSize : pointsToPixels(n <= 5 ? sizes[n - 1] : n);
        }
    }

    void paragraphTag(QStringView tag, bool drawing, const LineMetrics &line, int lineTop)
    {
        const qsizetype close = tag.indexOf(u'>');
        const QString attributes
            = tag.sliced(2, (close < 0 ? tag.size() : close) - 2).toString().toUpper();
        if (const qsizetype align = attributes.indexOf(u"ALIGN"_s); align >= 0) {
            const QString value = quotedAfter(attributes, align).value_or(QString());
            if (value.contains(u"RIGHT"_s))
                m_state.align = Align::Right;
            else if (value.contains(u"LEFT"_s))
                m_state.align = Align::Left;
            else if (value.contains(u"CENTER"_s))
                m_state.align = Align::Centre;
        }
        if (const qsizetype indent = attributes.indexOf(u"INDENT"_s); indent >= 0)
            m_state.indent = std::min(
                leadingNumber(quotedAfter(attributes, indent).value_or(QString())), m_rect.width());
        if (const qsizetype bg = attributes.indexOf(u"BGCOLOR"_s); bg >= 0) {
            const QString value = quotedAfter(attributes, bg).value_or(QString());
            if (drawing) {
                m_state.beforeParagraph = m_state.background;
                m_state.background
                    = value.isEmpty() ? Background() : Background(colourValue(value));
                if (m_state.background)
                    m_painter.fillRect(
                        QRect(m_rect.left(), lineTop, m_rect.width(), line.height + line.sup),
                        *m_state.background);
                m_state.paragraphFill = true;
            }
        }
    }

    void indentTag(QStringView tag, int &x)
    {
        const qsizetype mark = tag.indexOf(u'x', 0, Qt::CaseInsensitive);
        if (mark < 0)
            return;
        const int target
            = std::min(leadingNumber(quotedAfter(tag, mark).value_or(QString())), m_rect.width());
        x = std::max(x, target);
    }

    void rotationTag(QStringView tag)
    {
        const qsizetype mark = tag.indexOf(u'a', 2, Qt::CaseInsensitive);
        if (mark >= 0)
            m_state.rotation = leadingNumber(quotedAfter(tag, mark).value_or(QString())) % 360;
    }

    QPainter &m_painter;
    QString m_text;
    QRect m_rect;
    int m_right;
    MarkupParams m_params;
    FontState m_base;
    RenderState m_state;
    int m_penWidth = 1;
    bool m_dropRest = false;
    FontState m_metricsFont;
    std::optional<QFontMetrics> m_metrics;
};

} // namespace

TextKind MarkupTextKind(QStringView text, bool enableHtml)
{
    const QString t = text.toString() + u' ';
    if (t.size() < 2)
        return TextKind::Plain;
    if (t.startsWith(u'='))
        return TextKind::Formula;
    if (t.startsWith(u"|\\"_s))
        return t.size() > 3 && t[3] == u'=' ? TextKind::Formula : TextKind::WideText;
    if (t.startsWith(u"{\\"_s))
        return TextKind::RichText;
    if (enableHtml && (t.contains(u"</"_s) || t.contains(u"<B"_s) || t.contains(u"<I"_s)))
        return TextKind::Markup;
    return TextKind::Plain;
}

QString prepareMarkupText(QString text)
{
    if (text.contains(u'&'))
        text = replaceEntities(text);
    // "<#...>": what stands between is plain text and opens no tag. Built
    // in one pass: replacing each in place was quadratic in their number.
    if (const qsizetype first = text.indexOf(u"<#"_s); first >= 0) {
        QString opened;
        opened.reserve(text.size() + text.size() / 4);
        opened += QStringView(text).first(first);
        for (qsizetype at = first; at >= 0;) {
            const qsizetype close = text.indexOf(u'>', at + 2);
            const qsizetype after = close < 0 ? text.size() : close + 1;
            const QStringView literal
                = QStringView(text).sliced(at + 2, (close < 0 ? after : close) - at - 2);
            for (const QChar c : literal) {
                if (c == u'<')
                    opened += u"&lt;";
                else
                    opened += c;
            }
            const qsizetype next = text.indexOf(u"<#"_s, after);
            opened += QStringView(text).sliced(after, (next < 0 ? text.size() : next) - after);
            at = next;
        }
        text = std::move(opened);
    }
    text.replace(u'\r', u"<BR>"_s);
    text.remove(u'\n');
    return text;
}

MarkupExtent DrawMarkupText(QPainter &painter, const QString &text, const QRect &rect,
                            const MarkupParams &params, MarkupMode mode)
{
    painter.save();
    painter.setBackgroundMode(Qt::TransparentMode);
    const MarkupExtent extent = Renderer(painter, text, rect, params).run(mode);
    painter.restore();
    return extent;
}

void drawPlainCellText(QPainter &painter, const QString &text, const QRect &rect,
                       const PlainTextFlags &flags)
{
    QString shown = text;
    shown.replace(u"\r\n"_s, u"\n"_s);
    shown.replace(u'\r', u'\n');
    if (!flags.multilineCells)
        shown.replace(u'\n', u' ');
    int textFlags = int(flags.alignment) | Qt::TextExpandTabs;
    const bool singleLine = !shown.contains(u'\n');
    if (flags.wordWrap) {
        textFlags |= Qt::TextWordWrap;
    } else if (singleLine) {
        textFlags |= Qt::TextSingleLine;
        if (flags.enhTextSize)
            shown = painter.fontMetrics().elidedText(shown, Qt::ElideRight, rect.width(),
                                                     Qt::TextExpandTabs);
    }
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.drawText(rect, textFlags, shown);
    painter.restore();
}
