// One settings page drawn as the grid draws it (markup through the renderer,
// tag-free text in one call), next to QPainter::drawText of the same texts
// with their tags stripped.

#include "gridmodel.h"
#include "markup.h"
#include "settingspages.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

using namespace Qt::Literals::StringLiterals;

namespace {

struct Cell
{
    QRect rect;
    QString text;
};

// The header row and 20 rows of the General page, 47 pixels high each.
QList<Cell> page()
{
    GridModel grid;
    grid.LoadGridFile(QString::fromUtf8(ORDEVAN_DATA_DIR) + u"/GENERAL_ENG.TXT"_s);
    ImpostaHdrGrid(grid, Language::English);
    QList<Cell> cells;
    for (int row = 0; row <= 20; ++row) {
        int x = 0;
        for (int col = 0; col < 5; ++col) {
            cells.append({QRect(x, row * 47, grid.ColWidths(col), 47), grid.Cells(col, row)});
            x += grid.ColWidths(col);
        }
    }
    return cells;
}

QFont cellFont()
{
    QFont font(u"DejaVu Sans"_s);
    font.setPixelSize(11);
    return font;
}

// Draws `cells` onto a fresh page per iteration, each with `drawCell`.
template<typename DrawCell>
void drawPages(benchmark::State &state, const QList<Cell> &cells, DrawCell drawCell)
{
    QImage image(700, 21 * 47, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setFont(cellFont());
        painter.setPen(Qt::black);
        for (const Cell &cell : cells)
            drawCell(painter, cell);
    }
    state.SetItemsProcessed(state.iterations() * cells.size());
}

void BM_PageThroughTheRenderer(benchmark::State &state)
{
    drawPages(state, page(), [](QPainter &painter, const Cell &cell) {
        if (MarkupTextKind(cell.text) == TextKind::Markup)
            DrawMarkupText(painter, cell.text, cell.rect.adjusted(-1, 0, 0, 0), MarkupParams{},
                           MarkupMode::Draw);
        else
            drawPlainCellText(painter, cell.text, cell.rect, PlainTextFlags{});
    });
}

void BM_PagePlainDrawText(benchmark::State &state)
{
    QList<Cell> cells = page();
    for (Cell &cell : cells)
        cell.text = StripMarkupTags(cell.text);
    drawPages(state, cells, [](QPainter &painter, const Cell &cell) {
        painter.drawText(cell.rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, cell.text);
    });
}

// A cell of n "<#...>" literals drawn, as each paint does: must grow linearly.
void BM_Literals(benchmark::State &state)
{
    QString text;
    for (int n = 0; n < state.range(0); ++n)
        text += u"<#ab>"_s;
    text += u"</b>"_s;
    QImage image(300, 47, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setFont(cellFont());
    for (auto _ : state)
        DrawMarkupText(painter, text, QRect(0, 0, 300, 47), MarkupParams{}, MarkupMode::Draw);
    state.SetComplexityN(state.range(0));
}

// A long text with one tag at its end, laid out with word wrap.
void BM_WrappedWords(benchmark::State &state)
{
    QString text;
    for (int n = 0; n < state.range(0); ++n)
        text += u"word "_s;
    text += u"<b>end</b>"_s;
    MarkupParams wrap;
    wrap.wordWrap = true;
    QImage image(300, 47, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setFont(cellFont());
    for (auto _ : state)
        DrawMarkupText(painter, text, QRect(0, 0, 300, 47), wrap, MarkupMode::Measure);
    state.SetComplexityN(state.range(0));
}

} // namespace

// Evenly spaced sizes: linear growth shows as even steps in time.
BENCHMARK(BM_Literals)
    ->DenseRange(10'000, 40'000, 10'000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK(BM_WrappedWords)
    ->DenseRange(10'000, 40'000, 10'000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK(BM_PageThroughTheRenderer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PagePlainDrawText)->Unit(benchmark::kMillisecond);
