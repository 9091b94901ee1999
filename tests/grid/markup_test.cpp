#include "markup.h"
#include "markupcheck.h"
#include "printers.h"
#include "stopwatch.h"

#include <QElapsedTimer>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

QFont face(int pixels, bool bold = false)
{
    QFont font(u"DejaVu Sans"_s);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

int lineHeight(int pixels, bool bold = false)
{
    return QFontMetrics(face(pixels, bold)).lineSpacing();
}

// A white image, a painter on it with the grid's cell font (8 points: 11
// pixels) in black.
class MarkupTest : public testing::Test
{
protected:
    MarkupTest()
        : image(300, 120, QImage::Format_RGB32)
    {
        image.fill(Qt::white);
    }

    MarkupExtent draw(const QString &text, const QRect &rect, MarkupMode mode = MarkupMode::Draw)
    {
        QPainter painter(&image);
        painter.setFont(face(11));
        painter.setPen(Qt::black);
        return DrawMarkupText(painter, text, rect, MarkupParams{}, mode);
    }

    MarkupExtent measure(const QString &text, int width = 300, const QFont &font = face(11))
    {
        QPainter painter(&image);
        painter.setFont(font);
        return DrawMarkupText(painter, text, QRect(0, 0, width, 1000), MarkupParams{},
                              MarkupMode::Measure);
    }

    // Pixels in `area` whose colour is `colour`.
    int count(const QRect &area, QRgb colour) const
    {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                n += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
        return n;
    }
    // Pixels in `area` that are not white.
    int inked(const QRect &area) const
    {
        return area.width() * area.height() - count(area, qRgb(255, 255, 255));
    }
    int dark(const QRect &area) const
    {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                n += qGray(image.pixel(x, y)) < 100;
        return n;
    }
    int reddish(const QRect &area) const
    {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) {
                const QColor c = image.pixelColor(x, y);
                n += c.red() > 180 && c.green() < 90 && c.blue() < 90;
            }
        return n;
    }

    QImage image;
};

} // namespace

TEST(MarkupKindTest, DetectionRule)
{
    EXPECT_EQ(MarkupTextKind(u""), TextKind::Plain);
    EXPECT_EQ(MarkupTextKind(u"<b>Name</b>"), TextKind::Markup);
    EXPECT_EQ(MarkupTextKind(u"<b>Name</b>", false), TextKind::Plain);
    EXPECT_EQ(MarkupTextKind(u"one<br>two"), TextKind::Plain);
    EXPECT_EQ(MarkupTextKind(u"one<BR>two"), TextKind::Markup);
    EXPECT_EQ(MarkupTextKind(u"<font size=2>open"), TextKind::Plain);
    EXPECT_EQ(MarkupTextKind(u"<I>x"), TextKind::Markup);
    EXPECT_EQ(MarkupTextKind(u"=1+1"), TextKind::Formula);
    EXPECT_EQ(MarkupTextKind(u"|\\ab"), TextKind::WideText);
    EXPECT_EQ(MarkupTextKind(u"|\\a=b"), TextKind::Formula);
    EXPECT_EQ(MarkupTextKind(u"{\\rtf1}"), TextKind::RichText);
}

TEST(MarkupTextTest, PreparationReplacesEntitiesUntilNoneIsLeft)
{
    EXPECT_EQ(prepareMarkupText(u"a &amp; b &AMP; c"_s), u"a & b & c"_s);
    EXPECT_EQ(prepareMarkupText(u"&amp;amp;amp;"_s), u"&"_s);
    EXPECT_EQ(prepareMarkupText(u"&amp;quot;&euro;&copy;&trade;"_s), u"\"€©™"_s);
    EXPECT_EQ(prepareMarkupText(u"&lt;&LT;&ampx"_s), u"&lt;&LT;&ampx"_s) << "left to the runs";
    EXPECT_EQ(prepareMarkupText(u"x<#<b>>y"_s), u"x&lt;b>y"_s) << "up to the first \">\"";
    EXPECT_EQ(prepareMarkupText(u"one\r\ntwo\rthree\nfour"_s), u"one<BR>two<BR>threefour"_s);
}

TEST(MarkupTextTest, OneScanEqualsRepeatedPasses)
{
    // The entity rule as written: passes of first occurrences until a pass
    // replaces nothing.
    auto passes = [](QString text) {
        const QStringList names
            = {u"&amp;"_s,  u"&quot;"_s, u"&sect;"_s,  u"&permil;"_s, u"&reg;"_s,
               u"&copy;"_s, u"&para;"_s, u"&trade;"_s, u"&euro;"_s};
        const QString chars = u"&\"§‰®©¶™€"_s;
        for (bool replaced = true; replaced;) {
            replaced = false;
            for (qsizetype e = 0; e < names.size(); ++e) {
                const qsizetype at = text.indexOf(names[e], 0, Qt::CaseInsensitive);
                if (at >= 0) {
                    text.replace(at, names[e].size(), chars[e]);
                    replaced = true;
                }
            }
        }
        return text;
    };
    const QStringList pieces
        = {u"&"_s, u"amp;"_s, u"quot;"_s, u"AMP;"_s, u"euro;"_s, u"x"_s, u";"_s, u"am"_s};
    quint32 seed = 7;
    for (int i = 0; i < 3000; ++i) {
        QString text;
        for (int p = 0; p < 8; ++p) {
            seed = seed * 1103515245 + 12345;
            text += pieces[(seed >> 16) % pieces.size()];
        }
        ASSERT_EQ(prepareMarkupText(text), passes(text)) << text.toStdString();
    }
}

TEST(MarkupTextTest, StripForTheEditor)
{
    EXPECT_EQ(StripMarkupTags(u"<b>Value</b><hr>one<Br>two <i>x"_s), u"Value\r\none\r\ntwo x"_s);
    EXPECT_EQ(StripMarkupTags(u"a < b"_s), u"a < b"_s);
    EXPECT_EQ(StripMarkupTags(u"&amp;<z>"_s), u"&amp;"_s);
}

TEST_F(MarkupTest, TheValueHeaderDrawsThreeLines)
{
    const QString header
        = u"<font size=2><shad><b>Value</b></shad></font><hr><br> <b>EDITABLE</b>"_s;
    const int first = lineHeight(13, true); // 10 points
    const MarkupExtent extent = measure(header);
    EXPECT_EQ(extent.height, first + lineHeight(11) + lineHeight(11, true));
    EXPECT_EQ(extent.width,
              QFontMetrics(face(11, true)).horizontalAdvance(u"EDITABLE"_s)
                  + QFontMetrics(face(11)).horizontalAdvance(u" "_s));

    draw(header, QRect(0, 0, 120, 47));
    // The black rule right under the first line, across the cell.
    EXPECT_EQ(count(QRect(1, first, 118, 1), qRgb(0, 0, 0)), 118);
    // Text and its clGray copy in the first line; nothing but white between
    // the rule and the third line; "EDITABLE" in the third.
    EXPECT_GT(count(QRect(0, 0, 60, first), qRgb(128, 128, 128)), 5);
    EXPECT_GT(count(QRect(0, 0, 60, first), qRgb(0, 0, 0)), 20);
    EXPECT_EQ(inked(QRect(0, first + 1, 120, lineHeight(11) - 2)), 0);
    EXPECT_GT(inked(QRect(0, first + lineHeight(11), 120, lineHeight(11))), 30);
}

TEST_F(MarkupTest, TheShadowLiesOnePixelRightAndDown)
{
    draw(u"<font size=2><shad><b>I</b></shad></font>"_s, QRect(0, 0, 100, 40));
    // The stem of "I": find its leftmost black column; the grey copy starts one further right.
    int black = -1;
    for (int x = 0; x < 30 && black < 0; ++x)
        if (count(QRect(x, 0, 1, 20), qRgb(0, 0, 0)) > 3)
            black = x;
    ASSERT_GE(black, 0);
    EXPECT_EQ(count(QRect(black, 0, 1, 20), qRgb(128, 128, 128)), 0);
    int lowestBlack = 0, lowestGrey = 0;
    for (int y = 0; y < 30; ++y) {
        if (count(QRect(0, y, 30, 1), qRgb(0, 0, 0)))
            lowestBlack = y;
        if (count(QRect(0, y, 30, 1), qRgb(128, 128, 128)))
            lowestGrey = y;
    }
    EXPECT_EQ(lowestGrey, lowestBlack + 1);
}

TEST_F(MarkupTest, RunsAreShapedAsThePaintersFontSays)
{
    // The grid's fonts are not kerned; the runs of a cell follow them, bold
    // and face changes included.
    QFont unshaped = face(24);
    unshaped.setStyleStrategy(QFont::PreferNoShaping);
    QFont unshapedBold = face(24, true);
    unshapedBold.setStyleStrategy(QFont::PreferNoShaping);
    const QString text = u"AVAT<b>AVAT</b>"_s;
    const int expected = QFontMetrics(unshaped).horizontalAdvance(u"AVAT"_s)
        + QFontMetrics(unshapedBold).horizontalAdvance(u"AVAT"_s);
    EXPECT_EQ(measure(text, 300, unshaped).width, expected);
    if (QFontMetrics(face(24)).horizontalAdvance(u"AVAT"_s)
        == QFontMetrics(unshaped).horizontalAdvance(u"AVAT"_s))
        GTEST_SKIP() << "this face has no kerning to follow";
    EXPECT_NE(measure(text, 300, face(24)).width, expected) << "kerned when the font is";
}

TEST_F(MarkupTest, EntitiesInRuns)
{
    const QFontMetrics bold(face(11, true));
    EXPECT_EQ(measure(u"<b>&amp;</b>"_s).width, bold.horizontalAdvance(u"&"_s));
    EXPECT_EQ(measure(u"<b>&AMP;</b>"_s).width, bold.horizontalAdvance(u"&"_s));
    EXPECT_EQ(measure(u"<b>&lt;</b>"_s).width, bold.horizontalAdvance(u"<"_s));
    EXPECT_EQ(measure(u"<b>&LT;</b>"_s).width, bold.horizontalAdvance(u"&LT;"_s))
        << "shown as written";
    EXPECT_EQ(measure(u"<b>a&nbsp;b</b>"_s).width, bold.horizontalAdvance(u"a b"_s));
}

TEST_F(MarkupTest, FontSizes)
{
    EXPECT_EQ(measure(u"<font size=7>x</font></b>"_s).width,
              QFontMetrics(face(9)).horizontalAdvance(u'x'))
        << "7 points";
    EXPECT_EQ(measure(u"<font size=7>x</font></b>"_s).height, lineHeight(11))
        << "a line is at least as high as \"gh\" in its starting font";
    EXPECT_EQ(measure(u"<font size=3>x</font></b>"_s).height, lineHeight(16))
        << "size 3: 12 points";
    EXPECT_EQ(measure(u"<font size=\"1\">x</font></b>"_s).height, lineHeight(11))
        << "size 1: 8 points";
    EXPECT_EQ(measure(u"<font size=99999999>x</font></b>"_s).height, lineHeight(533))
        << "sizes are held within reason";
}

TEST_F(MarkupTest, FontColours)
{
    draw(u"<font color=\"#FF0000\">MMM</font><br><font color=\"clred\">MMM</font><br>"
         u"<font color=clred>MMM</font></b>"_s,
         QRect(0, 0, 200, 100));
    const int h = lineHeight(11);
    EXPECT_GT(reddish(QRect(0, 0, 60, h)), 10);
    EXPECT_GT(reddish(QRect(0, h, 60, h)), 10);
    EXPECT_EQ(reddish(QRect(0, 2 * h, 60, h)), 0) << "unquoted: no change";
    EXPECT_GT(dark(QRect(0, 2 * h, 60, h)), 10);
}

TEST_F(MarkupTest, LongMarkupEndsInAnEllipsisWhilePlainTextWraps)
{
    const QString words = u"What setting this is and why one would change it, told at length."_s;
    const MarkupExtent one = measure(u"<b>Note:</b> "_s + words, 120);
    EXPECT_EQ(one.height, lineHeight(11, true)) << "one line";
    draw(u"<b>Note:</b> "_s + words, QRect(0, 0, 120, 47));
    EXPECT_EQ(inked(QRect(0, lineHeight(11) + 1, 300, 40)), 0) << "no second line";
    EXPECT_EQ(inked(QRect(121, 0, 100, 20)), 0) << "nothing past the cell";

    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(face(11));
    drawPlainCellText(painter, u"Note: "_s + words, QRect(0, 0, 120, 60), PlainTextFlags{});
    painter.end();
    EXPECT_GT(inked(QRect(0, lineHeight(11) + 1, 120, 30)), 20) << "tag-free text wraps";
}

TEST_F(MarkupTest, LinesThatWouldStartTooLowAreDropped)
{
    const int h = lineHeight(11);
    draw(u"<b>1</b><BR>2<BR>3<BR>4<BR>5"_s, QRect(0, 0, 100, 47));
    for (int line = 0; line < 3; ++line)
        EXPECT_GT(inked(QRect(0, line * h, 100, h)), 3) << line;
    EXPECT_EQ(inked(QRect(0, 3 * h, 100, 120 - 3 * h)), 0);
    EXPECT_EQ(measure(u"<b>1</b><BR>2<BR>3<BR>4<BR>5"_s).height, 5 * h) << "measuring lays out all";
}

TEST_F(MarkupTest, HiddenTextLeavesNoGapAndLineBreaksBreak)
{
    const QFontMetrics plain(face(11));
    EXPECT_EQ(measure(u"ab<z>hidden</z>cd</b>"_s).width,
              plain.horizontalAdvance(u"ab"_s) + plain.horizontalAdvance(u"cd"_s));
    EXPECT_EQ(measure(u"one\r\ntwo</b>"_s).height, 2 * lineHeight(11));
    EXPECT_EQ(measure(u"one\r\ntwo</b>"_s).width, plain.horizontalAdvance(u"one"_s));
    EXPECT_EQ(measure(u"</b>"_s).height, lineHeight(11)) << "at least one line";
}

TEST_F(MarkupTest, ParagraphAlignmentAndPainterStateRestored)
{
    const QFontMetrics plain(face(11));
    QPainter painter(&image);
    painter.setFont(face(11));
    painter.setPen(QColor(1, 2, 3));
    painter.setBrush(QColor(4, 5, 6));
    DrawMarkupText(painter,
                   u"<p align=\"right\">x</p><font face=\"DejaVu Serif\" size=5>y</font>"_s,
                   QRect(0, 0, 100, 40), MarkupParams{}, MarkupMode::Draw);
    EXPECT_EQ(painter.font(), face(11));
    EXPECT_EQ(painter.pen().color(), QColor(1, 2, 3));
    EXPECT_EQ(painter.brush().color(), QColor(4, 5, 6));
    painter.end();
    const int x = plain.horizontalAdvance(u"x"_s);
    EXPECT_GT(inked(QRect(100 - x - 1, 0, x + 1, lineHeight(11))), 3) << "right-aligned";
    EXPECT_EQ(inked(QRect(0, 0, 100 - x - 3, lineHeight(11))), 0);
}

TEST(MarkupRandomTest, ShortAndUnclosedTagsEndSanely)
{
    for (const char *text : {"<f\">", "<f>", "<fo>", "<font>", "</>", "<>", "<p>", "</p", "<b", "<",
                             "<x", "<li><li><li>", "<ind x=\"99999999\">a", "<r a=\"-5\">x</r>",
                             "<font size=\"\">x", "</font></font></b>"})
        checkMarkupInput(text);
}

TEST(MarkupRandomTest, RandomInputsNeverBreakTheRenderer)
{
    const QByteArray seed = "<font size=2><shad><b>Value</b></shad></font><hr><br> <b>EDITABLE</b>"
                            "<p align=\"right\" bgcolor=\"#00FF00\">x<sub>2</sub></p><ul><li>a</ul>"
                            "<z>h</z><e>e</e><a href=\"x\">l</a>&amp;amp;&lt;<#<b>>\r\n";
    quint32 state = 20261208;
    auto next = [&state](quint32 bound) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % bound;
    };
    QElapsedTimer clock;
    clock.start();
    int runs = 0;
    for (; runs < 3000 && clock.elapsed() < 3000; ++runs) {
        QByteArray input = seed.left(next(seed.size() + 1));
        for (quint32 e = 0, edits = next(10); e < edits && !input.isEmpty(); ++e) {
            const auto at = static_cast<qsizetype>(next(input.size()));
            if (next(2))
                input[at] = "<>/\"=&;#\r\n bBfFpPlLuUzZ"[next(24)];
            else
                input.insert(at, static_cast<char>(next(256)));
        }
        checkMarkupInput(input);
    }
    EXPECT_GT(runs, 300);
}

TEST_F(MarkupTest, AFontSizeWithoutDigitsKeepsTheTextsSize)
{
    const int x = QFontMetrics(face(11)).horizontalAdvance(u'x');
    for (const QString &text : {u"<font size=>x</font></b>"_s, u"<font size=\"\">x</font></b>"_s,
                                u"<font size=big>x</font></b>"_s, u"<font size=0>x</font></b>"_s}) {
        EXPECT_EQ(measure(text).width, x) << text.toStdString();
        EXPECT_EQ(measure(text).height, lineHeight(11)) << text.toStdString();
    }
    draw(u"<font size=>xxxx</font></b>"_s, QRect(0, 0, 100, 20));
    EXPECT_GT(dark(QRect(0, 0, 100, 20)), 10) << "drawn, not vanished";
}

TEST_F(MarkupTest, WrappedLinesAreDrawnAsMeasuredWhereverTheyStart)
{
    // The same words left-aligned, right-aligned, centred and indented:
    // every line is drawn whole each time, only shifted.
    const QString words = u"alpha beta gamma delta epsilon zeta eta theta</b>"_s;
    MarkupParams wrap;
    wrap.wordWrap = true;
    const int h = lineHeight(11);
    // The width of each line's ink.
    auto lineInk = [&](const QString &text, int width = 110) {
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setFont(face(11));
        painter.setPen(Qt::black);
        DrawMarkupText(painter, text, QRect(0, 0, width, 120), wrap, MarkupMode::Draw);
        painter.end();
        QList<int> widths;
        for (int top = 0; top + h <= image.height(); top += h) {
            int left = image.width(), right = -1;
            for (int y = top; y < top + h; ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qGray(image.pixel(x, y)) < 128) {
                        left = std::min(left, x);
                        right = std::max(right, x);
                    }
            widths.append(right < 0 ? 0 : right - left);
        }
        return widths;
    };
    const QList<int> left = lineInk(words);
    ASSERT_GT(left[2], 20) << "three lines";
    for (const QString &start : {u"<p align=\"right\">"_s, u"<p align=\"center\">"_s}) {
        const QList<int> shifted = lineInk(start + words);
        for (int line = 0; line < left.size(); ++line)
            EXPECT_NEAR(shifted[line], left[line], 1) << start.toStdString() << " line " << line;
    }
    // An indent of 20 wraps as 20 pixels less room would.
    const QList<int> narrower = lineInk(words, 90);
    const QList<int> indented = lineInk(u"<p indent=\"20\">"_s + words);
    for (int line = 0; line < left.size(); ++line)
        EXPECT_NEAR(indented[line], narrower[line], 1) << "indented line " << line;
}

namespace {

// The literal rule as one replacement after another.
QString literalsOneByOne(QString text)
{
    for (qsizetype at = text.indexOf(u"<#"_s); at >= 0; at = text.indexOf(u"<#"_s, at)) {
        const qsizetype close = text.indexOf(u'>', at + 2);
        QString literal = text.sliced(at + 2, (close < 0 ? text.size() : close) - at - 2);
        literal.replace(u'<', u"&lt;"_s);
        text.replace(at, (close < 0 ? text.size() : close + 1) - at, literal);
        at += literal.size();
    }
    return text;
}

} // namespace

TEST(MarkupTextTest, LiteralsOpenInOnePassAsOneByOne)
{
    const QString pieces[] = {u"<#"_s, u"<"_s, u">"_s, u"#"_s, u"a"_s, u"<b>"_s};
    quint32 seed = 7;
    for (int round = 0; round < 2000; ++round) {
        QString text;
        for (int n = 0; n < 12; ++n) {
            seed = seed * 1664525 + 1013904223;
            text += pieces[(seed >> 16) % std::size(pieces)];
        }
        ASSERT_EQ(prepareMarkupText(text), literalsOneByOne(text)) << text.toStdString();
    }
    // 80,000 literals, each shorter opened: one by one, every one moved the
    // rest of the text.
    QString many;
    for (int n = 0; n < 80'000; ++n)
        many += u"<#ab>"_s;
    QString prepared;
    EXPECT_LT(secondsTaken([&] { prepared = prepareMarkupText(many); }), timeBound(0.2));
    EXPECT_EQ(prepared, u"ab"_s.repeated(80'000));
}

TEST_F(MarkupTest, WrappingALongTextWithFewTagsIsLinear)
{
    // Each word looked for the next tag through the whole rest of the text.
    QString text;
    for (int n = 0; n < 80'000; ++n)
        text += u"word "_s;
    text += u"<b>end</b>"_s;
    MarkupParams wrap;
    wrap.wordWrap = true;
    QPainter painter(&image);
    painter.setFont(face(11));
    MarkupExtent extent;
    EXPECT_LT(secondsTaken([&] {
                  extent = DrawMarkupText(painter, text, QRect(0, 0, 300, 100), wrap,
                                          MarkupMode::Measure);
              }),
              timeBound(1.5));
    EXPECT_GT(extent.height, 1000 * lineHeight(11));
}
