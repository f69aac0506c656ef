// The audit trail on the data file, with 100,000 examinees registered (so 200,000 lines, one per IDE row and one per
// Answer row): what one answer costs with its line in the trail (`answerWithTrail`) beside the same answer on a
// connection that writes no lines (`answerWithoutTrail`, the file opened as a copy is), each a statement of its own
// stored with the file's full sync, as the answer sheet stores one; and what the activity window reads when it
// opens on that trail (count, first screenful, the users and actions for its lists) and when narrowed to one user.
#include "BenchDatabase.h"

#include "data/AuditTrail.h"
#include "data/CursorTableModel.h"
#include "data/TableCursor.h"

#include <QSqlQuery>

#include <benchmark/benchmark.h>

namespace {

BenchDatabase& data()
{
    static BenchDatabase db(100000);
    return db;
}

void answer(benchmark::State& state, Database& db)
{
    QSqlQuery q(db.connection());
    q.prepare(QStringLiteral("UPDATE Answer SET \"7\" = ? WHERE Code = ?"));
    int n = 0;
    for (auto _ : state) {
        q.addBindValue(QString::number(1 + n % 5));
        q.addBindValue(QString::number(1 + n % 100000));
        if (!q.exec())
            state.SkipWithError("answer not stored");
        ++n;
    }
}

void answerWithTrail(benchmark::State& state)
{
    answer(state, *data().database);
}
BENCHMARK(answerWithTrail)->Unit(benchmark::kMicrosecond);

void answerWithoutTrail(benchmark::State& state)
{
    const std::unique_ptr<Database> copy = Database::atFile(data().database->filePath());
    if (!copy->open().ok()) {
        state.SkipWithError("file not opened");
        return;
    }
    answer(state, *copy);
}
BENCHMARK(answerWithoutTrail)->Unit(benchmark::kMicrosecond);

void activityWindowReads(benchmark::State& state)
{
    Database& db = *data().database;
    for (auto _ : state) {
        std::unique_ptr<TableCursor> lines(AuditTrail::open(db));
        QStringList who;
        QStringList what;
        QList<QStringList> page;
        if (!lines->distinctValues(QStringLiteral("Who"), who) || !lines->distinctValues(QStringLiteral("What"), what)
            || !lines->readRows(0, CursorTableModel::PageSize,
                { QStringLiteral("When"), QStringLiteral("Who"), QStringLiteral("What"), QStringLiteral("Code"),
                    QStringLiteral("Detail") },
                page)
            || lines->count() < 200000)
            state.SkipWithError("trail not read");
        benchmark::DoNotOptimize(page.size());
    }
}
BENCHMARK(activityWindowReads)->Unit(benchmark::kMillisecond);

void activityNarrowedToOneUser(benchmark::State& state)
{
    Database& db = *data().database;
    std::unique_ptr<TableCursor> lines(AuditTrail::open(db));
    AuditTrail::Filter filter;
    filter.who = QStringLiteral("nobody");
    for (auto _ : state) {
        if (!lines->setConditions(AuditTrail::conditions(filter)))
            state.SkipWithError("trail not read");
        benchmark::DoNotOptimize(lines->count());
    }
}
BENCHMARK(activityNarrowedToOneUser)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
