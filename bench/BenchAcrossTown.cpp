// The clinic's server across town: the everyday actions run against a PostgreSQL server reached through a relay on
// loopback that holds every chunk for half a round trip each way (LatencyRelay), at 0, 10 and 30 ms round trip,
// with 100,000 examinees. Each action runs through the classes its window uses (or the window itself, on the
// offscreen platform), so the round trips counted are the program's own. Goals at 30 ms: each everyday action 3
// round trips or fewer and 150 ms or less; the start (opening the database up to the main window's figures) 6 round
// trips or fewer.
// Needs a server: T35_TEST_SERVER holds a URI of an administrator's database on a Unix socket (eval
// "$(scripts/pg-cluster start)" gives one); the run makes a database of its own there and drops it at the end.
#include "BenchServerData.h"
#include "LatencyRelay.h"
#include "SilentMessages.h"

#include "app/WindowRouter.h"
#include "data/Database.h"
#include "data/TableCursor.h"
#include "examinees/LookupWindow.h"
#include "examinees/RegistrationStore.h"
#include "questionnaire/AnswerSheet.h"
#include "scoring/ComparisonSession.h"
#include "scoring/ScoringSession.h"
#include "scoring/reports/ListReport.h"
#include "scoring/reports/ListReportRows.h"
#include "ui/FileDialogs.h"
#include "ui/MakerDetails.h"
#include "ui/PersianText.h"

#include <QApplication>
#include <QComboBox>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <memory>

namespace {

constexpr int Examinees = 100000;
// The list report's group: the first thousand codes.
const QString ListGroup = QStringLiteral("H");

class NoFileDialogs : public FileDialogs {
public:
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString openFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
};

SilentMessages messages;
NoFileDialogs fileDialogs;

// The benchmark database, and the relay in front of the cluster's socket.
struct AcrossTown {
    AcrossTown()
        : data(Examinees)
        , relay(socketOf(data.address))
    {
        if (!relay.listening()) {
            std::fprintf(stderr, "the relay cannot listen on loopback\n");
            std::exit(1);
        }
        if (!data.database->exec(QStringLiteral("UPDATE \"IDE\" SET \"Group\" = '%1' WHERE \"Code\"::int <= 1000")
                                     .arg(ListGroup))
            || !data.database->exec(QStringLiteral("ANALYZE"))) {
            std::fprintf(stderr, "cannot make the list's group: %s\n", qPrintable(data.database->lastError()));
            std::exit(1);
        }
        relayed = data.address;
        relayed.host = QStringLiteral("127.0.0.1");
        relayed.port = relay.port();
    }

    static std::string socketOf(const ServerAddress& address)
    {
        return QStringLiteral("%1/.s.PGSQL.%2").arg(address.host).arg(address.port).toStdString();
    }

    // A connection through the relay, opened with no delay (its opening is not what the benchmark measures).
    std::unique_ptr<Database> open()
    {
        relay.setRoundTrip(std::chrono::microseconds(0));
        std::unique_ptr<Database> db = Database::onServer(relayed);
        if (!db->open().ok()) {
            std::fprintf(stderr, "cannot open the database through the relay: %s\n", qPrintable(db->lastError()));
            std::exit(1);
        }
        return db;
    }

    ServerData data;
    LatencyRelay relay;
    ServerAddress relayed;
};

// Made at the first use, and dropped (with its database on the server) at the end of main().
std::unique_ptr<AcrossTown>& townHeld()
{
    static std::unique_ptr<AcrossTown> held;
    return held;
}

AcrossTown& town()
{
    std::unique_ptr<AcrossTown>& held = townHeld();
    if (!held)
        held = std::make_unique<AcrossTown>();
    return *held;
}

// Times only what `action` does, at the benchmark's round trip, and reports the round trips per action. `n` counts
// on over every run of the program, so no action repeats one of an earlier run (a choice already stored, say).
template <typename Setup, typename Action>
void measure(benchmark::State& state, Setup setup, Action action)
{
    LatencyRelay& relay = town().relay;
    std::int64_t trips = 0;
    static int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        relay.setRoundTrip(std::chrono::microseconds(0));
        setup(n);
        relay.setRoundTrip(std::chrono::milliseconds(state.range(0)));
        relay.resetRoundTrips();
        state.ResumeTiming();
        if (!action(n))
            state.SkipWithError("the action failed");
        trips += relay.roundTrips();
        ++n;
    }
    relay.setRoundTrip(std::chrono::microseconds(0));
    state.counters["round_trips"] = benchmark::Counter(static_cast<double>(trips), benchmark::Counter::kAvgIterations);
}

void noSetup(int) { }

QString codeOf(int n)
{
    return QString::number(1 + (n * 7919) % Examinees);
}

// Connecting, the database's check and the main window built, shown and drawn with its home figures. The window
// and the connection of one start go before the next, untimed and uncounted.
void start(benchmark::State& state)
{
    static std::unique_ptr<Database> db;
    static std::unique_ptr<WindowRouter> router;
    const auto ended = [] {
        if (router)
            delete router->mainWindow();
        router.reset();
        db.reset();
    };
    measure(state, [&ended](int) { ended(); },
        [](int) {
            db = Database::onServer(town().relayed);
            if (!db->open().ok())
                return false;
            router = std::make_unique<WindowRouter>(*db, messages, fileDialogs);
            router->showMainWindow();
            QWidget* window = router->mainWindow();
            if (!window)
                return false;
            benchmark::DoNotOptimize(window->grab());
            return true;
        });
    ended();
}

// The registration panel's save: the code checked and both rows stored in one transaction, the form read again.
void registration(benchmark::State& state)
{
    static std::unique_ptr<Database> db = town().open();
    static RegistrationStore store(*db);
    // The main window's form cursor: it holds only the row being typed.
    static TableCursor details(*db, QStringLiteral("IDE"), TableCursor::Unread {});
    static bool formFiltered = details.setFilter(QStringLiteral("Code"), QString());
    static int registered = 0;
    benchmark::DoNotOptimize(formFiltered);
    measure(state, [](int) {
        details.addNew();
        const QStringList values = { QStringLiteral("مریم"), QStringLiteral("احمدی"), QStringLiteral("زن"),
            QStringLiteral("31"), QStringLiteral("متأهل"), QStringLiteral("ليسانس"), QStringLiteral("A"),
            QStringLiteral("1405/09/20"), QStringLiteral("10:30") };
        const QStringList columns = { QStringLiteral("FName"), QStringLiteral("LName"), QStringLiteral("Jens"),
            QStringLiteral("Sen"), QStringLiteral("Taahol"), QStringLiteral("Tahsil"), QStringLiteral("Group"),
            QStringLiteral("Date"), QStringLiteral("Time") };
        for (int i = 0; i < columns.size(); ++i)
            details.setField(columns.at(i), values.at(i));
    },
        [](int) {
            const QString code = QStringLiteral("R%1_%2").arg(QCoreApplication::applicationPid()).arg(++registered);
            if (store.storeIfCodeIsFree(details, code).stored != RegistrationStore::Stored::Saved)
                return false;
            return details.reload();
        });
}

// The test window opened on a code: the examinee found, the first statement and the stored answers read (one read).
void testWindowOpen(benchmark::State& state)
{
    static std::unique_ptr<Database> db = town().open();
    measure(state, noSetup, [](int n) {
        AnswerSheet sheet(*db);
        if (sheet.open(codeOf(n)).status != AnswerSheet::Opened::Ready)
            return false;
        return sheet.readItem(1).ok;
    });
}

// Another option for the same item each time round the 35 items: a choice of the option already stored writes
// nothing.
int optionOf(int n)
{
    return 1 + (n / 35) % 5;
}

// One choice stored (the answer sheet's record), and the same with the next item read as the window shows it.
void answerStored(benchmark::State& state)
{
    static std::unique_ptr<Database> db = town().open();
    static AnswerSheet sheet(*db);
    if (!sheet.isOpen())
        sheet.open(QStringLiteral("17"));
    measure(state, noSetup, [](int n) { return sheet.record(1 + n % 35, optionOf(n)).ok; });
}

void answerAndNextItem(benchmark::State& state)
{
    static std::unique_ptr<Database> db = town().open();
    static AnswerSheet sheet(*db);
    if (!sheet.isOpen())
        sheet.open(QStringLiteral("18"));
    measure(state, noSetup, [](int n) {
        const int item = 1 + n % 35;
        return sheet.record(item, optionOf(n)).ok && sheet.readItem(1 + item % 35).ok;
    });
}

// A code typed in the scoring window: found, scored, the scores stored.
void scoring(benchmark::State& state)
{
    static std::unique_ptr<Database> db = town().open();
    static ScoringSession session(*db);
    measure(state, noSetup, [](int n) { return session.select(codeOf(n)).selected(); });
}

// The lookup window opened and drawn, and a group searched to its first screen drawn.
void lookupWindowOpen(benchmark::State& state)
{
    static std::unique_ptr<Database> db = town().open();
    measure(state, noSetup, [](int) {
        LookupWindow window(*db, messages, fileDialogs, WindowRouter::researchScoring());
        window.show();
        benchmark::DoNotOptimize(window.grab());
        return true;
    });
}

void groupSearch(benchmark::State& state)
{
    static std::unique_ptr<Database> db = town().open();
    static LookupWindow window(*db, messages, fileDialogs, WindowRouter::researchScoring());
    window.show();
    auto* group = window.findChild<QComboBox*>(QStringLiteral("Combo3"));
    auto* grid = window.findChild<QTableView*>(QStringLiteral("DataGrid1"));
    measure(state, noSetup, [group, grid](int n) {
        group->setEditText(QString(QChar(u'A' + n % 7)));
        benchmark::DoNotOptimize(grid->viewport()->grab());
        return grid->model()->rowCount() > 0;
    });
}

// Two codes compared as a couple (both scored, the pair remembered).
void comparison(benchmark::State& state)
{
    static std::unique_ptr<Database> db = town().open();
    static ComparisonSession session(*db);
    measure(state, noSetup, [](int n) {
        return session.compare(ComparisonKind::Couple, codeOf(n), codeOf(n + 1)).compared();
    });
}

// The list report of the thousand examinees of one group: the rows read and laid out on pages.
void listReportOfThousand(benchmark::State& state)
{
    static std::unique_ptr<Database> db = town().open();
    static TableCursor cursor(*db, QStringLiteral("IDE"));
    measure(state, [](int) { cursor.setFilter(QStringLiteral("Group"), ListGroup); },
        [&state](int) {
            cursor.reload();
            const ListReportRead read = readListRows(cursor);
            if (!read.complete || read.rows.size() != 1000)
                return false;
            ListReport report(
                read.rows, { QStringLiteral("مرکز مشاوره مهر"), QStringLiteral("تهران") }, Maker::programmerLine());
            state.counters["pages"] = report.pageCount();
            return true;
        });
}

void roundTrips(benchmark::internal::Benchmark* b)
{
    b->Arg(0)->Arg(10)->Arg(30)->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(start)->Apply(roundTrips);
BENCHMARK(registration)->Apply(roundTrips);
BENCHMARK(testWindowOpen)->Apply(roundTrips);
BENCHMARK(answerStored)->Apply(roundTrips);
BENCHMARK(answerAndNextItem)->Apply(roundTrips);
BENCHMARK(scoring)->Apply(roundTrips);
BENCHMARK(lookupWindowOpen)->Apply(roundTrips);
BENCHMARK(groupSearch)->Apply(roundTrips);
BENCHMARK(comparison)->Apply(roundTrips);
BENCHMARK(listReportOfThousand)->Apply(roundTrips);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Kept to the very end: the windows, sessions and connections the benchmarks keep go when the program ends.
    static int qtArgc = argc;
    auto* app = new QApplication(qtArgc, argv);
    app->setLayoutDirection(Qt::RightToLeft);
    PersianText::loadFont();
    town();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    townHeld().reset();
    return 0;
}
