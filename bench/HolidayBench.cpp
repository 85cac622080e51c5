// The holiday editor and its file: opening a file of the most years a file may hold against a
// file of twenty, and reading damaged counts against a plain year of the same kind, as ratios
// in one run (the tests check what they load, not how fast).
#include "holidays/PrazdnikiFile.h"
#include "holidays/PrazdnikiStore.h"
#include "holidays/frmPrazdniki.h"
#include "support/QuietPlatform.h"

#include <benchmark/benchmark.h>

using namespace vexilo;

namespace {

const std::array<qint32, 13> kDniMesyaca = {0, 31, 0, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

void openEditor(benchmark::State &state, qint32 years)
{
    PrazdnikiStore store;
    for (qint32 God = years; God > 0; --God) {
        store.append();
        store.entry(store.KolGodov())->God = God;
    }
    QuietPlatform platform;
    for (auto _ : state) {
        frmPrazdniki form(store, QString(), kDniMesyaca, QString(), platform);
        benchmark::DoNotOptimize(form.lstGoda);
    }
}

void BM_HolidayEditor_Open_20Years(benchmark::State &state)
{
    openEditor(state, 20);
}

void BM_HolidayEditor_Open_MostYears(benchmark::State &state)
{
    openEditor(state, kMaxFileYears);
}

void readFile(benchmark::State &state, const QByteArray &bytes)
{
    for (auto _ : state) {
        PrazdnikiStore store;
        readPrazdniki(bytes, store);
        benchmark::DoNotOptimize(store.KolGodov());
    }
}

const QByteArray kYear = "2013\r\n" + QByteArray("0\r\n").repeated(12);

void BM_PrazdnikiFile_Read_PlainYear(benchmark::State &state)
{
    readFile(state, "0\r\n" + kYear);
}

// A count of years far beyond those present.
void BM_PrazdnikiFile_Read_HugeYearCount(benchmark::State &state)
{
    readFile(state, "2147483647\r\n" + kYear);
}

// A month count of two thousand million.
void BM_PrazdnikiFile_Read_HugeDayCount(benchmark::State &state)
{
    readFile(state, "0\r\n2014\r\n2000000000,1,2\r\n");
}

// More years than a file may bring, and one endless value of 20 MiB.
void BM_PrazdnikiFile_Read_TooManyYears(benchmark::State &state)
{
    readFile(state, "30000\r\n" + kYear.repeated(30000));
}

void BM_PrazdnikiFile_Read_EndlessNumber(benchmark::State &state)
{
    readFile(state, QByteArray(20 * 1024 * 1024, '7'));
}

} // namespace

BENCHMARK(BM_HolidayEditor_Open_20Years)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HolidayEditor_Open_MostYears)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrazdnikiFile_Read_PlainYear);
BENCHMARK(BM_PrazdnikiFile_Read_HugeYearCount);
BENCHMARK(BM_PrazdnikiFile_Read_HugeDayCount);
BENCHMARK(BM_PrazdnikiFile_Read_TooManyYears)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrazdnikiFile_Read_EndlessNumber)->Unit(benchmark::kMillisecond);
