// Cursor speed on a database of 100,000 examinees: a code lookup (goal under 1 ms), a group filter that fills the
// first screen of a grid (goal under 50 ms), and counting the examinees.
#include "BenchDatabase.h"

#include "data/TableCursor.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

BenchDatabase& data()
{
    static BenchDatabase db(benchExaminees());
    return db;
}

void codeLookup(benchmark::State& state)
{
    TableCursor cursor(*data().database, QStringLiteral("IDE"));
    int n = 0;
    for (auto _ : state) {
        cursor.setFilter(QStringLiteral("Code"), QString::number(1 + (n++ * 7919) % benchExaminees()));
        benchmark::DoNotOptimize(cursor.field(QStringLiteral("FName")));
        if (cursor.count() != 1)
            state.SkipWithError("code not found");
    }
}
BENCHMARK(codeLookup)->Unit(benchmark::kMicrosecond);

// About 14,300 examinees per group; a grid's first screen shows 30 of them.
void groupFirstScreen(benchmark::State& state)
{
    TableCursor cursor(*data().database, QStringLiteral("IDE"));
    int g = 0;
    for (auto _ : state) {
        cursor.setFilter(QStringLiteral("Group"), QString(QChar('A' + g++ % 7)));
        for (int row = 0; row < 30 && cursor.moveTo(row); ++row) {
            benchmark::DoNotOptimize(cursor.field(QStringLiteral("Code")));
            benchmark::DoNotOptimize(cursor.field(QStringLiteral("LName")));
        }
    }
}
BENCHMARK(groupFirstScreen)->Unit(benchmark::kMillisecond);

void countExaminees(benchmark::State& state)
{
    TableCursor cursor(*data().database, QStringLiteral("IDE"));
    for (auto _ : state) {
        cursor.reload();
        benchmark::DoNotOptimize(cursor.count());
    }
}
BENCHMARK(countExaminees)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    data();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
