// Invitations on a database of 100,000 examinees of whom 10,000 were invited: opening the invitation window up to
// its first drawing (goal: at most 50 ms), making a link and showing its QR code, and one refresh of the lookup
// grid's state column, the query that repeats every few seconds while the window is shown (goal: at most 5 ms),
// with nothing changed and with one examinee's state changed since the last.
#include "BenchDatabase.h"
#include "SilentMessages.h"

#include "data/CursorTableModel.h"
#include "data/Invitations.h"
#include "data/TableCursor.h"
#include "data/Transaction.h"
#include "examinees/InvitationProgressModel.h"
#include "examinees/InvitationWindow.h"

#include <QApplication>
#include <QSqlQuery>
#include <QHeaderView>
#include <QTableView>
#include <QVariant>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int Invited = 10000;

BenchDatabase& invitedDatabase()
{
    static BenchDatabase db(100000);
    static const bool invited = [] {
        Database& data = *db.database;
        Transaction transaction(data);
        QSqlQuery insert(data.connection());
        insert.prepare(QStringLiteral("INSERT INTO \"Invitation\" (\"Code\", \"TokenHash\", \"Made\", \"Expires\", "
                                      "\"State\", \"MadeBy\", \"Changed\") VALUES (?, ?, ?, ?, ?, 'bench', ?)"));
        const QDateTime now = QDateTime::currentDateTimeUtc();
        const char* states[] = { "open", "answering", "finished", "revoked" };
        for (int i = 0; i < Invited; ++i) {
            // Every tenth examinee; one in twenty invited twice, the second invitation the latest.
            const QString code = QString::number(1 + 10 * (i % (Invited * 19 / 20)));
            insert.addBindValue(code);
            insert.addBindValue(Invitations::hashOf(Invitations::newToken()));
            insert.addBindValue(Invitations::storedTime(now.addSecs(i)));
            insert.addBindValue(Invitations::storedTime(now.addDays(i % 3 == 0 ? -1 : 7)));
            insert.addBindValue(QString::fromLatin1(states[i % 4]));
            insert.addBindValue(Invitations::storedTime(now.addSecs(i)));
            if (!insert.exec())
                return false;
        }
        return transaction.commit();
    }();
    if (!invited)
        qFatal("the invitations were not stored");
    return db;
}

SilentMessages messages;

InvitationWindow::Setting setting()
{
    return { QStringLiteral("https://answers.clinic.example"), QStringLiteral("Clinic"), QStringLiteral("bench"), {} };
}

void openInvitationWindow(benchmark::State& state)
{
    Database& db = *invitedDatabase().database;
    for (auto _ : state) {
        auto window = std::make_unique<InvitationWindow>(db, messages, setting(), QStringLiteral("5"));
        window->show();
        benchmark::DoNotOptimize(window->grab());
        state.PauseTiming();
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}
BENCHMARK(openInvitationWindow)->Unit(benchmark::kMillisecond);

void makeALinkAndShowIt(benchmark::State& state)
{
    Database& db = *invitedDatabase().database;
    InvitationWindow window(db, messages, setting(), QStringLiteral("7"));
    window.show();
    for (auto _ : state) {
        if (!window.invite())
            state.SkipWithError("no link was made");
        benchmark::DoNotOptimize(window.grab());
    }
}
BENCHMARK(makeALinkAndShowIt)->Unit(benchmark::kMillisecond);

// The lookup window's grid as drawn: its first screen of rows, whose states the refresh reads.
struct Grid {
    TableCursor listed { *invitedDatabase().database, QStringLiteral("IDE") };
    CursorTableModel rows { listed, { { QStringLiteral("Code"), QStringLiteral("Code") } } };
    InvitationProgressModel states { *invitedDatabase().database };
    QTableView view;
    Grid()
    {
        states.setSourceModel(&rows);
        view.setModel(&states);
        view.resize(560, 360);
        view.show();
        benchmark::DoNotOptimize(view.grab());
        QCoreApplication::processEvents();
    }
};

void stateColumnRefresh(benchmark::State& state)
{
    Grid grid;
    grid.states.refresh();
    for (auto _ : state)
        if (!grid.states.refresh())
            state.SkipWithError("the states were not read");
    state.counters["invited"] = Invited;
    state.counters["rows read"] = grid.view.verticalHeader()->count() > 0 ? grid.view.rowAt(grid.view.viewport()->height() - 1) + 1 : 0;
}
BENCHMARK(stateColumnRefresh)->Unit(benchmark::kMillisecond);

void stateColumnRefreshAfterAChange(benchmark::State& state)
{
    Grid grid;
    grid.states.refresh();
    QSqlQuery change(invitedDatabase().database->connection());
    bool finished = false;
    for (auto _ : state) {
        state.PauseTiming();
        finished = !finished;
        change.exec(QStringLiteral("UPDATE \"Invitation\" SET \"State\" = '%1' WHERE \"Code\" = '11'")
                        .arg(finished ? QStringLiteral("finished") : QStringLiteral("answering")));
        state.ResumeTiming();
        if (!grid.states.refresh())
            state.SkipWithError("the states were not read");
    }
}
BENCHMARK(stateColumnRefreshAfterAChange)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    app.setLayoutDirection(Qt::RightToLeft);
    invitedDatabase();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
