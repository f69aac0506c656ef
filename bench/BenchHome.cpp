// The main window's home panel reads its figures every time the window opens, on a database of 100,000 examinees:
// the registered counted, the last five registered read, and the answered. On the data file the answered are read
// in full once (at start, `homeFiguresFirstRead`) and kept from then on as answers are written, so a return to the
// main window after an answer was stored (`homeFiguresAfterAnAnswer`) reads no whole table (goal: one frame, 16 ms).
// On the server they are counted each time (BenchServer's `homeFiguresOnServer`).
#include "BenchDatabase.h"

#include "data/HomeFigures.h"
#include "data/TableCursor.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

BenchDatabase& data()
{
    static BenchDatabase db(100000);
    return db;
}

bool sound(const HomeFigures::Figures& figures)
{
    return figures.read && figures.registered == 100000 && figures.recent.size() == 5;
}

void homeFiguresFirstRead(benchmark::State& state)
{
    Database& db = *data().database;
    for (auto _ : state) {
        db.keptAnswers().reset();
        const HomeFigures::Figures figures = HomeFigures::read(db, 5);
        if (!sound(figures))
            state.SkipWithError("figures not read");
        benchmark::DoNotOptimize(figures.answered);
    }
}
BENCHMARK(homeFiguresFirstRead)->Unit(benchmark::kMillisecond);

void homeFiguresAfterAnAnswer(benchmark::State& state)
{
    Database& db = *data().database;
    HomeFigures::read(db, 5);
    TableCursor answers(db, QStringLiteral("Answer"));
    answers.setFilter(QStringLiteral("Code"), QStringLiteral("777"));
    int n = 0;
    for (auto _ : state) {
        // One answer stored as the test window stores it, an item emptied and filled again in turn; not timed.
        state.PauseTiming();
        answers.setField(QStringLiteral("7"), (n++ % 2) ? QStringLiteral("2") : QString());
        const bool stored = answers.update();
        state.ResumeTiming();
        const HomeFigures::Figures figures = HomeFigures::read(db, 5);
        if (!stored || !sound(figures) || figures.answered != 100000 - (n % 2))
            state.SkipWithError("figures not read, or not as stored");
        benchmark::DoNotOptimize(figures.answered);
    }
}
BENCHMARK(homeFiguresAfterAnAnswer)->Unit(benchmark::kMillisecond);

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
