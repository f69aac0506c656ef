// The clinic's database on a PostgreSQL server on this computer, reached through its Unix socket, with 100,000
// examinees: a code lookup (goal 2 ms or less), a group search in the lookup window up to its first screen drawn
// (goal 50 ms or less), and the list report of 10,000 examinees read from the server and written to PDF (goal 5 s
// or less). Each stands beside the same statements sent through libpq directly, the floor that no program reading
// through the server can go below.
// Needs a server: T35_TEST_SERVER holds a URI of an administrator's database (eval "$(scripts/pg-cluster start)"
// gives one); the run makes two databases of its own there and drops them at the end.
#include "BenchServerAdmin.h"
#include "BenchLibpq.h"
#include "BenchServerData.h"
#include "SilentMessages.h"

#include "app/WindowRouter.h"
#include "data/Database.h"
#include "data/HomeFigures.h"
#include "data/ServerAddress.h"
#include "data/TableCursor.h"
#include "examinees/LookupWindow.h"
#include "scoring/reports/ListReport.h"
#include "scoring/reports/ListReportRows.h"
#include "ui/DocumentOutput.h"
#include "ui/FileDialogs.h"
#include "ui/MakerDetails.h"
#include "ui/PersianText.h"

#include <QApplication>
#include <QComboBox>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <libpq-fe.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// The data beside a connection of libpq's own to it.
struct ServerDataWithLibpq : ServerData {
    explicit ServerDataWithLibpq(int examinees)
        : ServerData(examinees)
        , direct(libpqConnection(address))
    {
    }
    ~ServerDataWithLibpq() { PQfinish(direct); }

    PGconn* direct;
};

ServerDataWithLibpq& hundredThousand()
{
    static ServerDataWithLibpq data(100000);
    return data;
}

ServerDataWithLibpq& tenThousand()
{
    static ServerDataWithLibpq data(10000);
    return data;
}

// Runs a statement with text parameters through libpq and reads every value of its rows; the number of rows.
int direct(benchmark::State& state, PGconn* conn, const char* sql, std::initializer_list<QByteArray> values = {})
{
    std::vector<const char*> params;
    for (const QByteArray& value : values)
        params.push_back(value.constData());
    PGresult* result
        = PQexecParams(conn, sql, static_cast<int>(params.size()), nullptr, params.data(), nullptr, nullptr, 0);
    if (PQresultStatus(result) != PGRES_TUPLES_OK) {
        state.SkipWithError(PQresultErrorMessage(result));
        PQclear(result);
        return 0;
    }
    const int rows = PQntuples(result);
    const int fields = PQnfields(result);
    for (int row = 0; row < rows; ++row)
        for (int field = 0; field < fields; ++field)
            benchmark::DoNotOptimize(QString::fromUtf8(PQgetvalue(result, row, field)));
    PQclear(result);
    return rows;
}

void codeLookup(benchmark::State& state)
{
    TableCursor cursor(*hundredThousand().database, QStringLiteral("IDE"));
    int n = 0;
    for (auto _ : state) {
        cursor.setFilter(QStringLiteral("Code"), QString::number(1 + (n++ * 7919) % 100000));
        benchmark::DoNotOptimize(cursor.field(QStringLiteral("FName")));
        if (cursor.count() != 1)
            state.SkipWithError("code not found");
    }
}
BENCHMARK(codeLookup)->Unit(benchmark::kMicrosecond);

// The home panel's figures, read on every return to the main window: on the server, which other counsellors write
// to as well, the registered and the answered are counted each time.
void homeFiguresOnServer(benchmark::State& state)
{
    for (auto _ : state) {
        const HomeFigures::Figures figures = HomeFigures::read(*hundredThousand().database, 5);
        if (!figures.read || figures.registered != 100000)
            state.SkipWithError("figures not read");
        benchmark::DoNotOptimize(figures.answered);
    }
}
BENCHMARK(homeFiguresOnServer)->Unit(benchmark::kMillisecond);

// What the cursor sends for one lookup: the count, then the first row.
void codeLookupLibpqFloor(benchmark::State& state)
{
    PGconn* conn = hundredThousand().direct;
    int n = 0;
    for (auto _ : state) {
        const QByteArray code = QByteArray::number(1 + (n++ * 7919) % 100000);
        direct(state, conn, "SELECT COUNT(*) FROM \"IDE\" WHERE \"Code\" = $1", { code });
        if (direct(state, conn, "SELECT * FROM \"IDE\" WHERE \"Code\" = $1 ORDER BY rowid LIMIT 1", { code }) != 1)
            state.SkipWithError("code not found");
    }
}
BENCHMARK(codeLookupLibpqFloor)->Unit(benchmark::kMicrosecond);

// What the cursor sends now: the count and the first row in one statement, prepared once per connection.
void codeLookupLibpqOneStatement(benchmark::State& state)
{
    PGconn* conn = hundredThousand().direct;
    static const bool prepared = [conn] {
        QStringList columns;
        for (const QString& column : Database::ideColumns())
            columns << QStringLiteral("\"%1\"").arg(column);
        const QByteArray sql = QStringLiteral("SELECT (SELECT COUNT(*) FROM \"IDE\" WHERE \"Code\" = $1), rowid, %1 "
                                              "FROM \"IDE\" WHERE \"Code\" = $1 ORDER BY rowid LIMIT 1")
                                   .arg(columns.join(QStringLiteral(", ")))
                                   .toUtf8();
        PGresult* result = PQprepare(conn, "lookup", sql.constData(), 1, nullptr);
        const bool ok = PQresultStatus(result) == PGRES_COMMAND_OK;
        PQclear(result);
        return ok;
    }();
    if (!prepared) {
        state.SkipWithError("cannot prepare the lookup");
        return;
    }
    int n = 0;
    for (auto _ : state) {
        const QByteArray code = QByteArray::number(1 + (n++ * 7919) % 100000);
        const char* values[] = { code.constData() };
        PGresult* result = PQexecPrepared(conn, "lookup", 1, values, nullptr, nullptr, 0);
        if (PQresultStatus(result) != PGRES_TUPLES_OK || PQntuples(result) != 1)
            state.SkipWithError("code not found");
        for (int field = 0; field < PQnfields(result); ++field)
            benchmark::DoNotOptimize(QString::fromUtf8(PQgetvalue(result, 0, field)));
        PQclear(result);
    }
}
BENCHMARK(codeLookupLibpqOneStatement)->Unit(benchmark::kMicrosecond);

class NoFileDialogs : public FileDialogs {
public:
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString openFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
};

SilentMessages messages;
NoFileDialogs fileDialogs;

// About 14,300 examinees in each group.
void groupSearchFirstScreen(benchmark::State& state)
{
    LookupWindow window(*hundredThousand().database, messages, fileDialogs, WindowRouter::researchScoring());
    window.show();
    auto* group = window.findChild<QComboBox*>(QStringLiteral("Combo3"));
    auto* grid = window.findChild<QTableView*>(QStringLiteral("DataGrid1"));
    int g = 0;
    for (auto _ : state) {
        group->setEditText(QString(QChar(u'A' + g++ % 7)));
        benchmark::DoNotOptimize(grid->viewport()->grab());
    }
    state.counters["rows"] = grid->model()->rowCount();
}
BENCHMARK(groupSearchFirstScreen)->Unit(benchmark::kMillisecond);

// What the grid needs for its first screen: the count and the first page of rows.
void groupSearchLibpqFloor(benchmark::State& state)
{
    PGconn* conn = hundredThousand().direct;
    int g = 0;
    for (auto _ : state) {
        const QByteArray group(1, char('A' + g++ % 7));
        direct(state, conn, "SELECT COUNT(*) FROM \"IDE\" WHERE \"Group\" = $1", { group });
        direct(state, conn,
            "SELECT \"Code\", \"FName\", \"LName\", \"Group\" FROM \"IDE\" WHERE \"Group\" = $1 ORDER BY rowid "
            "LIMIT 128 OFFSET 0",
            { group });
    }
}
BENCHMARK(groupSearchLibpqFloor)->Unit(benchmark::kMillisecond);

void listReportOfTenThousandToPdf(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.pdf"));
    TableCursor cursor(*tenThousand().database, QStringLiteral("IDE"));
    for (auto _ : state) {
        cursor.reload();
        const ListReportRead read = readListRows(cursor);
        if (!read.complete || read.rows.size() != 10000)
            state.SkipWithError("not every row was read");
        ListReport report(
            read.rows, { QStringLiteral("مرکز مشاوره مهر"), QStringLiteral("تهران") }, Maker::programmerLine());
        QString error;
        if (!DocumentOutput::writePdf(report, path, error))
            state.SkipWithError(qPrintable(error));
    }
}
BENCHMARK(listReportOfTenThousandToPdf)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same rows read through the cursor alone, and through libpq directly.
void listRowsOfTenThousand(benchmark::State& state)
{
    TableCursor cursor(*tenThousand().database, QStringLiteral("IDE"));
    for (auto _ : state) {
        cursor.reload();
        if (readListRows(cursor).rows.size() != 10000)
            state.SkipWithError("not every row was read");
    }
}
BENCHMARK(listRowsOfTenThousand)->Unit(benchmark::kMillisecond)->UseRealTime();

void listRowsLibpqFloor(benchmark::State& state)
{
    PGconn* conn = tenThousand().direct;
    for (auto _ : state) {
        if (direct(state, conn,
                "SELECT \"Code\", \"Group\", \"Sen\", \"Jens\", \"Taahol\", \"Tahsil\", \"Rezayat\", \"Ertebat\", "
                "\"HaleT\", \"TahrifeA\" FROM \"IDE\" ORDER BY rowid")
            != 10000)
            state.SkipWithError("not every row was read");
    }
}
BENCHMARK(listRowsLibpqFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    app.setLayoutDirection(Qt::RightToLeft);
    PersianText::loadFont();
    hundredThousand();
    tenThousand();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
