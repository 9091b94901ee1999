// Repainting a picture button from its image cache against drawing its look
// afresh: face, picture with its shadow, caption and frame.

#include "oxbutton.h"

#include <QPainter>

#include <benchmark/benchmark.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// A button as the window's command buttons are: 97 x 58, a 32-pixel icon
// with some transparency, a caption.
struct CommandButton
{
    CommandButton()
    {
        button.resize(97, 58);
        button.show();
        button.SetColor(QColor(210, 223, 232));
        button.SetPictureX(0);
        button.SetPictureY(4);
        button.SetTextX(0);
        button.SetTextY(-3);
        QImage icon(32, 32, QImage::Format_ARGB32_Premultiplied);
        icon.fill(Qt::transparent);
        QPainter p(&icon);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(40, 90, 160));
        p.drawEllipse(2, 2, 28, 28);
        p.end();
        button.SetPictureUp(TPicture::fromIcon({icon}));
        button.SetCaption(u"Save Settings"_s);
    }

    ToxButton button;
    QImage screen{97, 58, QImage::Format_ARGB32_Premultiplied};
};

void BM_CachedRepaint(benchmark::State &state)
{
    CommandButton b;
    QPainter painter(&b.screen);
    b.button.inner()->DrawButton(painter, false);
    for (auto _ : state)
        b.button.inner()->DrawButton(painter, false);
    if (b.button.inner()->renderCount() != 1)
        state.SkipWithError("the cached look was drawn again");
}

void BM_FullRender(benchmark::State &state)
{
    CommandButton b;
    QPainter painter(&b.screen);
    for (auto _ : state) {
        b.button.inner()->InvalidateCache();
        b.button.inner()->DrawButton(painter, false);
    }
}

void BM_RenderWithoutCache(benchmark::State &state)
{
    CommandButton b;
    b.button.SetOptions({});
    QPainter painter(&b.screen);
    for (auto _ : state)
        b.button.inner()->DrawButton(painter, false);
}

} // namespace

BENCHMARK(BM_CachedRepaint);
BENCHMARK(BM_FullRender);
BENCHMARK(BM_RenderWithoutCache);
