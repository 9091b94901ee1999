// The file store against the in-memory registry: a page's worth of reads (as
// re-reading the settings does) and of writes (as saving them does), and the
// parsing of a large file.

#include "memoryregistrystore.h"
#include "regfile.h"
#include "registryaccessor.h"
#include "registryfilestore.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int PageRows = 30;

std::u16string valueName(int i)
{
    return QString(u"Setting"_s + QString::number(i)).toStdU16String();
}

void fillPage(RegistryAccessor &reg)
{
    reg.openKey(u"\\Software\\VOB\\CD Wizard\\8.0\\Copy", true);
    for (int i = 0; i < PageRows; ++i) {
        if (i % 2)
            reg.writeInteger(valueName(i), i);
        else
            reg.writeString(valueName(i), u"True");
    }
}

void readPage(benchmark::State &state, RegistryStore &store)
{
    RegistryAccessor reg(store);
    fillPage(reg);
    reg.closeKey();
    for (auto _ : state) {
        reg.openKey(u"\\Software\\vob\\CD Wizard\\8.0\\Copy", false);
        for (int i = 0; i < PageRows; ++i) {
            if (i % 2)
                benchmark::DoNotOptimize(reg.readInteger(valueName(i)));
            else
                benchmark::DoNotOptimize(reg.readString(valueName(i)));
        }
        reg.closeKey();
    }
    state.SetItemsProcessed(state.iterations() * PageRows);
}

void writePage(benchmark::State &state, RegistryStore &store)
{
    RegistryAccessor reg(store);
    fillPage(reg);
    for (auto _ : state)
        fillPage(reg);
    state.SetItemsProcessed(state.iterations() * PageRows);
}

void BM_ReadPage_Memory(benchmark::State &state)
{
    MemoryRegistryStore store;
    readPage(state, store);
}

void BM_ReadPage_File(benchmark::State &state)
{
    QTemporaryDir dir;
    RegistryFileStore store(dir.filePath(u"registry.reg"_s));
    readPage(state, store);
}

void BM_WritePage_Memory(benchmark::State &state)
{
    MemoryRegistryStore store;
    writePage(state, store);
}

void BM_WritePage_File(benchmark::State &state)
{
    QTemporaryDir dir;
    RegistryFileStore store(dir.filePath(u"registry.reg"_s));
    writePage(state, store);
}

// A file as large as a full registry export of a busy program: n keys of 20
// values each.
void BM_ParseFile(benchmark::State &state)
{
    RegFile file;
    for (int k = 0; k < state.range(0); ++k) {
        const QString key = u"HKEY_CURRENT_USER\\Software\\Bench\\Key"_s + QString::number(k);
        for (int v = 0; v < 20; ++v)
            file.setValue(key, u"Value"_s + QString::number(v),
                          v % 2 ? RegData::fromDWord(v) : RegData::fromString(u"text value"_s));
    }
    const QByteArray bytes = file.serialize();
    for (auto _ : state)
        benchmark::DoNotOptimize(RegFile::parse(bytes));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

} // namespace

BENCHMARK(BM_ReadPage_Memory);
BENCHMARK(BM_ReadPage_File);
BENCHMARK(BM_WritePage_Memory);
BENCHMARK(BM_WritePage_File)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseFile)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
