// Rights on the clinic's server at 100,000 examinees: the lookup window's code lookup and group search as the
// clinic's head and as a counsellor (row-level policies on), beside the same as the tables' owner, whom the policies
// do not touch (the same rows, the same statements, the same indexes: the figure without them). The counsellor holds
// 99,000 examinees and has the other 1,000 shared with them by a colleague, so every login sees the same 100,000
// rows and each row passes through the policy (through the examinee's own counsellor or through the sharing).
// Each is timed through the program and through libpq directly. Then the audit trail's cost: a registration (the
// Answer and IDE rows in one transaction) and one stored answer, as the counsellor, with the trail's triggers on and
// off.
// Needs a server: T35_TEST_SERVER holds a URI of an administrator's database (eval "$(scripts/pg-cluster start)"
// gives one); the run makes a database and three login roles of its own there and drops them at the end.
#include "BenchLibpq.h"
#include "BenchServerAdmin.h"
#include "BenchServerData.h"
#include "SilentMessages.h"

#include "app/WindowRouter.h"
#include "data/Database.h"
#include "data/ServerAddress.h"
#include "data/ServerRights.h"
#include "data/TableCursor.h"
#include "examinees/LookupWindow.h"
#include "ui/FileDialogs.h"
#include "ui/PersianText.h"

#include <QApplication>
#include <QComboBox>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

constexpr int examinees = 100000;


// Who works: the tables' owner (no policy applies), the clinic's head, a counsellor.
enum Who { Owner, Head, Counsellor };
const char* const whoNames[] = { "owner, no policies", "head", "counsellor" };

struct Clinic {
    Clinic()
    {
        const ServerAddress admin = BenchServerAdmin::address();
        const QString prefix = QStringLiteral("t35_rights_%1").arg(QCoreApplication::applicationPid());
        roles = { admin.user, prefix + QStringLiteral("_head"), prefix + QStringLiteral("_c1") };
        colleague = prefix + QStringLiteral("_c2");
        ServerAddress address = admin;
        address.database = prefix;
        BenchServerAdmin::exec(QStringLiteral("DROP DATABASE IF EXISTS \"%1\"").arg(address.database));
        if (!BenchServerAdmin::exec(QStringLiteral("CREATE DATABASE \"%1\"").arg(address.database)))
            std::exit(1);
        std::unique_ptr<Database> owner = Database::onServer(address);
        if (!owner->open().ok()) {
            std::fprintf(stderr, "benchmark database did not open\n");
            std::exit(1);
        }
        fillExaminees(*owner, examinees);
        bool ok = true;
        for (const QString& login : { roles[Head], roles[Counsellor], colleague })
            ok = ok && BenchServerAdmin::exec(QStringLiteral("CREATE ROLE \"%1\" LOGIN").arg(login));
        const QString problem = ServerRights::setUp(*owner, roles[Counsellor]);
        if (!ok || !problem.isNull()) {
            std::fprintf(stderr, "cannot set up the clinic: %s %s\n", qPrintable(owner->lastError()), qPrintable(problem));
            std::exit(1);
        }
        ok = BenchServerAdmin::exec(QStringLiteral("GRANT \"%1\" TO \"%2\"").arg(ServerRights::HeadRole, roles[Head]))
            && BenchServerAdmin::exec(QStringLiteral("GRANT \"%1\" TO \"%2\"").arg(ServerRights::CounsellorRole, colleague));
        // Every hundredth examinee is the colleague's, shared with the counsellor.
        for (const QString& table : { QStringLiteral("IDE"), QStringLiteral("Answer") })
            ok = ok && owner->exec(QStringLiteral("ALTER TABLE \"%1\" DISABLE TRIGGER USER").arg(table))
                && owner->exec(QStringLiteral("UPDATE \"%1\" SET \"Counsellor\" = '%2' WHERE \"Code\"::int % 100 = 0")
                                   .arg(table, colleague))
                && owner->exec(QStringLiteral("ALTER TABLE \"%1\" ENABLE TRIGGER USER").arg(table));
        ok = ok
            && owner->exec(QStringLiteral("INSERT INTO \"ExamineeShare\" (\"Code\", \"Colleague\") SELECT \"Code\", '%1' "
                                          "FROM \"IDE\" WHERE \"Counsellor\" = '%2'")
                               .arg(roles[Counsellor], colleague))
            && owner->exec(QStringLiteral("VACUUM ANALYZE"));
        if (!ok) {
            std::fprintf(stderr, "cannot fill the clinic: %s\n", qPrintable(owner->lastError()));
            std::exit(1);
        }
        for (int who = Owner; who <= Counsellor; ++who) {
            ServerAddress as = address;
            as.user = roles[who];
            databases[who] = Database::onServer(as);
            if (!databases[who]->open().ok()) {
                std::fprintf(stderr, "%s cannot open the clinic\n", whoNames[who]);
                std::exit(1);
            }
            direct[who] = libpqConnection(as);
        }
        this->address = address;
        this->owner = std::move(owner);
    }
    ~Clinic()
    {
        for (PGconn* conn : direct)
            PQfinish(conn);
        for (auto& db : databases)
            db.reset();
        owner.reset();
        BenchServerAdmin::exec(QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(address.database));
        for (const QString& login : { roles[Head], roles[Counsellor], colleague })
            BenchServerAdmin::exec(QStringLiteral("DROP ROLE IF EXISTS \"%1\"").arg(login));
    }

    ServerAddress address;
    std::array<QString, 3> roles;
    QString colleague;
    std::unique_ptr<Database> owner;
    std::array<std::unique_ptr<Database>, 3> databases;
    std::array<PGconn*, 3> direct {};
};

Clinic& clinic()
{
    static Clinic c;
    return c;
}

void checkRows(benchmark::State& state, int who, int rows, int expected)
{
    if (rows != expected)
        state.SkipWithError(qPrintable(QStringLiteral("%1 saw %2 rows, not %3").arg(whoNames[who]).arg(rows).arg(expected)));
}

// Runs a statement with text parameters through libpq and reads every value of its rows; the rows' count, or -1.
int direct(benchmark::State& state, PGconn* conn, const char* sql, std::initializer_list<QByteArray> values = {})
{
    std::vector<const char*> params;
    for (const QByteArray& value : values)
        params.push_back(value.constData());
    PGresult* result
        = PQexecParams(conn, sql, static_cast<int>(params.size()), nullptr, params.data(), nullptr, nullptr, 0);
    const ExecStatusType status = PQresultStatus(result);
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
        state.SkipWithError(PQresultErrorMessage(result));
        PQclear(result);
        return -1;
    }
    const int rows = PQntuples(result);
    const int fields = PQnfields(result);
    for (int row = 0; row < rows; ++row)
        for (int field = 0; field < fields; ++field)
            benchmark::DoNotOptimize(QString::fromUtf8(PQgetvalue(result, row, field)));
    PQclear(result);
    return rows;
}

// The lookup window's deletion box and every other look-up of one code: the cursor's count, then the first row.
void codeLookup(benchmark::State& state)
{
    const int who = static_cast<int>(state.range(0));
    TableCursor cursor(*clinic().databases[who], QStringLiteral("IDE"));
    int n = 0;
    for (auto _ : state) {
        cursor.setFilter(QStringLiteral("Code"), QString::number(1 + (n++ * 7919) % examinees));
        benchmark::DoNotOptimize(cursor.field(QStringLiteral("FName")));
        checkRows(state, who, cursor.count(), 1);
    }
    state.SetLabel(whoNames[who]);
}
BENCHMARK(codeLookup)->DenseRange(Owner, Counsellor)->Unit(benchmark::kMicrosecond);

void codeLookupLibpq(benchmark::State& state)
{
    const int who = static_cast<int>(state.range(0));
    PGconn* conn = clinic().direct[who];
    int n = 0;
    for (auto _ : state) {
        const QByteArray code = QByteArray::number(1 + (n++ * 7919) % examinees);
        direct(state, conn, "SELECT COUNT(*) FROM \"IDE\" WHERE \"Code\" = $1", { code });
        checkRows(state, who,
            direct(state, conn, "SELECT * FROM \"IDE\" WHERE \"Code\" = $1 ORDER BY rowid LIMIT 1", { code }), 1);
    }
    state.SetLabel(whoNames[who]);
}
BENCHMARK(codeLookupLibpq)->DenseRange(Owner, Counsellor)->Unit(benchmark::kMicrosecond);

class NoFileDialogs : public FileDialogs {
public:
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString openFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
};

SilentMessages messages;
NoFileDialogs fileDialogs;

// A group typed into the lookup window, to its first screen drawn: about 14,300 examinees in each group. The grid
// counts its rows once it is drawn; groupSearchCounted goes on until that count has arrived.
void groupSearch(benchmark::State& state, bool counted)
{
    const int who = static_cast<int>(state.range(0));
    LookupWindow window(*clinic().databases[who], messages, fileDialogs, WindowRouter::researchScoring());
    window.show();
    auto* group = window.findChild<QComboBox*>(QStringLiteral("Combo3"));
    auto* grid = window.findChild<QTableView*>(QStringLiteral("DataGrid1"));
    int g = 0;
    for (auto _ : state) {
        group->setEditText(QString(QChar(u'A' + g++ % 7)));
        benchmark::DoNotOptimize(grid->viewport()->grab());
        if (counted)
            QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
    state.counters["rows"] = grid->model()->rowCount();
    state.SetLabel(whoNames[who]);
}

void groupSearchFirstScreen(benchmark::State& state)
{
    groupSearch(state, false);
}
BENCHMARK(groupSearchFirstScreen)->DenseRange(Owner, Counsellor)->Unit(benchmark::kMillisecond);

void groupSearchCounted(benchmark::State& state)
{
    groupSearch(state, true);
}
BENCHMARK(groupSearchCounted)->DenseRange(Owner, Counsellor)->Unit(benchmark::kMillisecond);

// What the grid needs for its first screen: the count and the first page of rows.
void groupSearchLibpq(benchmark::State& state)
{
    const int who = static_cast<int>(state.range(0));
    PGconn* conn = clinic().direct[who];
    int g = 0;
    for (auto _ : state) {
        const QByteArray group(1, char('A' + g++ % 7));
        direct(state, conn, "SELECT COUNT(*) FROM \"IDE\" WHERE \"Group\" = $1", { group });
        checkRows(state, who,
            direct(state, conn,
                "SELECT \"Code\", \"FName\", \"LName\", \"Group\" FROM \"IDE\" WHERE \"Group\" = $1 ORDER BY rowid "
                "LIMIT 128 OFFSET 0",
                { group }),
            128);
    }
    state.SetLabel(whoNames[who]);
}
BENCHMARK(groupSearchLibpq)->DenseRange(Owner, Counsellor)->Unit(benchmark::kMillisecond);

// The trail's triggers on (1) or off (0) for the examinees' details and answers.
void setTrail(bool on)
{
    for (const char* table : { "IDE", "Answer" })
        clinic().owner->exec(QStringLiteral("ALTER TABLE \"%1\" %2 TRIGGER \"%1_Audit\"")
                                 .arg(QLatin1String(table), on ? QStringLiteral("ENABLE") : QStringLiteral("DISABLE")));
}

// A counsellor registers an examinee: the Answer row and the IDE row in one transaction, as the program does.
void registration(benchmark::State& state)
{
    const bool trail = state.range(0) != 0;
    setTrail(trail);
    PGconn* conn = clinic().direct[Counsellor];
    static int n = 0;
    for (auto _ : state) {
        const QByteArray code = "r" + QByteArray::number(++n);
        direct(state, conn, "BEGIN");
        direct(state, conn, "INSERT INTO \"Answer\" (\"Code\") VALUES ($1)", { code });
        direct(state, conn,
            "INSERT INTO \"IDE\" (\"Code\", \"FName\", \"LName\", \"Group\", \"Date\", \"Time\") "
            "VALUES ($1, 'نام', 'خانواده', 'A', '1405/09/20', '10:30')",
            { code });
        direct(state, conn, "COMMIT");
    }
    setTrail(true);
    state.SetLabel(trail ? "trail on" : "trail off");
}
BENCHMARK(registration)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// One answer stored as the test window stores it: the keyed score into the item's column of the examinee's row.
void storedAnswer(benchmark::State& state)
{
    const bool trail = state.range(0) != 0;
    setTrail(trail);
    PGconn* conn = clinic().direct[Counsellor];
    int n = 0;
    for (auto _ : state) {
        ++n;
        const QByteArray code = QByteArray::number(1 + (n * 7919) % examinees);
        direct(state, conn, "UPDATE \"Answer\" SET \"7\" = $2 WHERE \"Code\" = $1",
            { code, QByteArray::number(1 + n % 5) });
    }
    setTrail(true);
    state.SetLabel(trail ? "trail on" : "trail off");
}
BENCHMARK(storedAnswer)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    app.setLayoutDirection(Qt::RightToLeft);
    PersianText::loadFont();
    clinic();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
