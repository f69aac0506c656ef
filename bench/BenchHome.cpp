// The main window's home panel reads its figures every time the window opens: on a database of 100,000 examinees,
// counting the registered and the answered (every item looked at in every row) and reading the last five registered
// (goal under 150 ms, so the window still opens without a wait a person notices).
#include "BenchDatabase.h"

#include "data/HomeFigures.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

BenchDatabase& data()
{
    static BenchDatabase db(100000);
    return db;
}

void homeFigures(benchmark::State& state)
{
    for (auto _ : state) {
        const HomeFigures::Figures figures = HomeFigures::read(*data().database, 5);
        if (!figures.read || figures.registered != 100000 || figures.recent.size() != 5)
            state.SkipWithError("figures not read");
        benchmark::DoNotOptimize(figures.answered);
    }
}
BENCHMARK(homeFigures)->Unit(benchmark::kMillisecond);

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
