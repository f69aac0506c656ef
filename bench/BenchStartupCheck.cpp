// What the data file's check costs on a database of 100,000 examinees (T35_BENCH_EXAMINEES): the part of the check
// a start waits for before its main window (everything but the pages), the page check that runs beside the window,
// the quick and full checks whole (a restore runs the full one on the file it is given), the look over stored codes
// (once, when a file older than version 4 is opened), and the opening at start, with the pages left to the page check
// and with every page read first, as before.
#include "BenchDatabase.h"

#include "data/Database.h"
#include "data/DatabaseCheck.h"
#include "data/ExamineeCode.h"
#include "data/PageCheck.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <benchmark/benchmark.h>

namespace {

BenchDatabase& data()
{
    static BenchDatabase db(benchExaminees());
    return db;
}

void check(benchmark::State& state, DatabaseCheck::Thoroughness thoroughness)
{
    const QString path = data().database->filePath();
    for (auto _ : state) {
        const DatabaseCheck::Result result = DatabaseCheck::inspect(path, thoroughness);
        if (!result.isOurs())
            state.SkipWithError(DatabaseCheck::outcomeName(result.outcome));
    }
    state.counters["MiB"] = static_cast<double>(QFileInfo(path).size()) / (1024.0 * 1024.0);
}

void checkBeforeTheWindow(benchmark::State& state)
{
    check(state, DatabaseCheck::Thoroughness::Layout);
}
BENCHMARK(checkBeforeTheWindow)->Unit(benchmark::kMillisecond);

void pageCheckBesideTheWindow(benchmark::State& state)
{
    const QString path = data().database->filePath();
    for (auto _ : state) {
        PageCheck pages(path, 3000);
        if (pages.wait().outcome != DatabaseCheck::Outcome::Ours)
            state.SkipWithError("pages not sound");
    }
}
BENCHMARK(pageCheckBesideTheWindow)->Unit(benchmark::kMillisecond);

void quickCheckWhole(benchmark::State& state)
{
    check(state, DatabaseCheck::Thoroughness::Quick);
}
BENCHMARK(quickCheckWhole)->Unit(benchmark::kMillisecond);

void fullCheckBeforeRestore(benchmark::State& state)
{
    check(state, DatabaseCheck::Thoroughness::Full);
}
BENCHMARK(fullCheckBeforeRestore)->Unit(benchmark::kMillisecond);

// Nothing to rewrite in a file whose codes are all plain: this is the look that finds so, once per older file.
void codesLookedOverAtStart(benchmark::State& state)
{
    for (auto _ : state) {
        const ExamineeCode::StoredCodesResult result
            = ExamineeCode::normaliseStoredCodes(data().database->connection());
        if (!result.ok || result.rewritten != 0)
            state.SkipWithError("codes rewritten");
    }
}
BENCHMARK(codesLookedOverAtStart)->Unit(benchmark::kMillisecond);

void opening(benchmark::State& state, bool pagesLater)
{
    const QString folder = data().folder.path();
    for (auto _ : state) {
        Database db(folder);
        db.setPagesCheckedLater(pagesLater);
        if (db.open().status != Database::OpenStatus::Opened)
            state.SkipWithError("not opened");
        // The page check, when there is one, is stopped as the connection goes: untimed.
        state.PauseTiming();
        db.close();
        state.ResumeTiming();
    }
}

void openingAtStart(benchmark::State& state)
{
    opening(state, true);
}
BENCHMARK(openingAtStart)->Unit(benchmark::kMillisecond);

void openingWithEveryPageReadFirst(benchmark::State& state)
{
    opening(state, false);
}
BENCHMARK(openingWithEveryPageReadFirst)->Unit(benchmark::kMillisecond);

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
