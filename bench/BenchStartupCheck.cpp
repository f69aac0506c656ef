// What the data file's check costs on a database of 100,000 examinees: the quick check every start runs, the full
// check a restore runs on the file it is given, the look over the stored codes, and the whole opening at start
// (check, connection, code look-over).
#include "BenchDatabase.h"

#include "data/Database.h"
#include "data/DatabaseCheck.h"
#include "data/ExamineeCode.h"

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

void quickCheckAtStart(benchmark::State& state)
{
    check(state, DatabaseCheck::Thoroughness::Quick);
}
BENCHMARK(quickCheckAtStart)->Unit(benchmark::kMillisecond);

void fullCheckBeforeRestore(benchmark::State& state)
{
    check(state, DatabaseCheck::Thoroughness::Full);
}
BENCHMARK(fullCheckBeforeRestore)->Unit(benchmark::kMillisecond);

// Nothing to rewrite in a file whose codes are all plain: this is the look that finds so.
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

void openingAtStart(benchmark::State& state)
{
    const QString folder = data().folder.path();
    for (auto _ : state) {
        Database db(folder);
        if (db.open().status != Database::OpenStatus::Opened)
            state.SkipWithError("not opened");
    }
}
BENCHMARK(openingAtStart)->Unit(benchmark::kMillisecond);

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
