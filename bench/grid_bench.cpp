// Loading a large setting list into a grid and filtering it, next to the
// least any loader must do: read the file's lines, decode and split them.

#include "gridmodel.h"
#include "settingsgrid.h"
#include "text.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int Rows = 10'000;

// A list like the shipped ones: five cells a row, a third of the rows tagged
// for each release.
QString generatedList(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(u"BIG_ENG.TXT"_s);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(QByteArray("6,") + QByteArray::number(Rows + 1) + "\r\ncw 0,150\r\ncw 3,328\r\n");
    const char *tags[] = {"", "8v0", "8v3"};
    for (int row = 1; row <= Rows; ++row) {
        const QByteArray r = QByteArray::number(row);
        file.write("0," + r + ",<b>Setting" + r + "</b>\r\n");
        file.write("1," + r + "," + QByteArray::number(row * 7) + "\r\n");
        file.write("2," + r + ",MBYTE\r\n");
        file.write("3," + r + ",What setting " + r + " does, first line.\t\x08"
                   + "Second line.\r\n");
        file.write("4," + r + "," + tags[row % 3] + "\r\n");
    }
    return path;
}

void filter(GridModel &grid)
{
    grid.SetFilterActive(false);
    grid.Filter().Clear();
    TFilterData &condition = grid.Filter().Add();
    condition.Column = 4;
    condition.Condition = u"!8v0"_s;
    grid.SetFilterActive(true);
}

void BM_ReadAndSplitLines(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = generatedList(dir);
    for (auto _ : state) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        qsizetype fields = 0;
        while (!file.atEnd()) {
            const QString line = decodeWindows1252(file.readLine());
            fields += QStringView(line).split(u',').size();
        }
        benchmark::DoNotOptimize(fields);
    }
    state.SetItemsProcessed(state.iterations() * Rows);
}

void BM_LoadAndFilterModel(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = generatedList(dir);
    for (auto _ : state) {
        GridModel grid;
        grid.LoadGridFile(path);
        filter(grid);
        benchmark::DoNotOptimize(grid.RowCount());
    }
    state.SetItemsProcessed(state.iterations() * Rows);
}

// The same through the widget, which lets the window repaint after each cell line.
void BM_LoadAndFilterWidget(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = generatedList(dir);
    TSettingsGrid grid;
    grid.resize(690, 380);
    grid.show();
    for (auto _ : state) {
        grid.model().BeginGridUpdate();
        grid.model().SetFilterActive(false);
        grid.model().LoadGridFile(path);
        filter(grid.model());
        grid.model().EndGridUpdate();
        benchmark::DoNotOptimize(grid.model().RowCount());
    }
    state.SetItemsProcessed(state.iterations() * Rows);
}

// Setting every row's value and check box one by one on a shown grid, as
// the page loader and the registry read do; it must grow linearly.
void BM_SetEveryRowShown(benchmark::State &state)
{
    const int rows = static_cast<int>(state.range(0));
    TSettingsGrid grid;
    grid.resize(690, 380);
    grid.model().SetFixedRows(1);
    grid.model().SetRowCount(rows + 1);
    grid.show();
    for (auto _ : state) {
        for (int row = 1; row <= rows; ++row) {
            grid.model().SetCells(1, row, QString::number(row));
            grid.model().SetCheckBox(2, row, row % 2);
        }
    }
    state.SetItemsProcessed(state.iterations() * rows);
    state.SetComplexityN(rows);
}

// A file of nothing but column-width lines, loaded into a shown grid.
void BM_WidthLinesShown(benchmark::State &state)
{
    const int lines = static_cast<int>(state.range(0));
    QByteArray file = "6,3\n";
    for (int line = 0; line < lines; ++line)
        file += "cw " + QByteArray::number(line % 6) + "," + QByteArray::number(line % 300) + "\n";
    TSettingsGrid grid;
    grid.resize(690, 380);
    grid.show();
    for (auto _ : state)
        grid.model().LoadGridData(file, u"widths"_s);
    state.SetItemsProcessed(state.iterations() * lines);
    state.SetComplexityN(lines);
}

} // namespace

// Evenly spaced sizes: linear growth shows as even steps in time.
BENCHMARK(BM_SetEveryRowShown)
    ->DenseRange(25'000, 100'000, 25'000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK(BM_WidthLinesShown)
    ->DenseRange(10'000, 40'000, 10'000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK(BM_ReadAndSplitLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAndFilterModel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAndFilterWidget)->Unit(benchmark::kMillisecond);
