#include "markupcheck.h"

#include "invariant.h"
#include "markup.h"
#include "text.h"

#include <QImage>
#include <QPainter>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr Invariants require{"markup"};

} // namespace

void checkMarkupInput(const QByteArray &bytes)
{
    const QString text = decodeWindows1252(bytes);
    MarkupTextKind(text);
    StripMarkupTags(text);

    QImage image(160, 60, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QFont font(u"DejaVu Sans"_s);
    font.setPixelSize(11);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QRect cell(0, 0, 150, 47);
    const MarkupExtent measured
        = DrawMarkupText(painter, text, cell, MarkupParams{}, MarkupMode::Measure);
    const MarkupExtent drawn
        = DrawMarkupText(painter, text, cell, MarkupParams{}, MarkupMode::Draw);
    require(measured.height > 0 && measured.width >= 0, "measured extent");
    require(drawn.height > 0 && drawn.height <= measured.height, "drawn extent");
    require(painter.font() == font && painter.pen().color() == QColor(Qt::black), "painter state");
}
