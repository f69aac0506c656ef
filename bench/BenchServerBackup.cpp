// The clinic's server with 100,000 examinees: its backup to a data file, a restore of a data file onto it, and a
// clinic's data file copied onto it, each run as the windows run it (a TransferJob: a worker thread with a connection
// of its own, progress reported to the GUI thread) while the GUI thread's event loop turns. Time, and the longest gap
// between two turns of the loop (max_gap_ms; a 1 ms timer asks for a turn every millisecond; goal 50 ms or less),
// beside the local backup's copy job of the same clinic's data file, the idle loop, and the loop while the program's
// command line (`--copy-to-server`, another process) makes the same copy: what the server's work and the machine cost
// any program's loop, in the same run.
// Needs a server: T35_TEST_SERVER holds a URI of an administrator's database (eval "$(scripts/pg-cluster start)"
// gives one); the run makes two databases of its own there and drops them at the end.
#include "BenchDatabase.h"
#include "BenchServerData.h"

#include "backup/BackupNames.h"
#include "backup/CopyJob.h"
#include "backup/DatabaseCopy.h"
#include "backup/ServerBackup.h"
#include "data/Database.h"
#include "data/TableTransfer.h"
#include "data/TransferJob.h"
#include "settings/ClinicMove.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int examinees = 100000;

QString jobsDatabase(const QString& job)
{
    return QStringLiteral("t35_jobs_%1_%2").arg(QCoreApplication::applicationPid()).arg(job);
}

struct Clinic {
    Clinic()
        : file(examinees)
        , server(jobsDatabase(QStringLiteral("backup")))
        , empty(jobsDatabase(QStringLiteral("copy")))
        , places(Database::filePath(file.folder.path()))
    {
        const TableTransfer::Result put = TableTransfer::replaceAll(*file.database, *server.database);
        if (!put.ok || put.examinees != examinees) {
            std::fprintf(stderr, "the server was not filled: %s\n", qPrintable(put.error));
            std::exit(1);
        }
        server.database->exec(QStringLiteral("ANALYZE"));
    }
    QString target() const { return file.folder.filePath(QStringLiteral("backup.mdbB")); }

    BenchDatabase file;
    ServerDatabase server; // 100,000 examinees
    ServerDatabase empty; // the copy's target, emptied before each copy
    BackupNames::Places places;
};

Clinic& clinic()
{
    static Clinic c;
    return c;
}

// Runs `job` (a TransferJob or a CopyJob) with the event loop turning every millisecond meanwhile; the longest gap
// between two turns, in milliseconds.
template <typename Job>
double longestGap(Job& job)
{
    double maxGapMs = 0;
    int percents = 0;
    QObject::connect(&job, &Job::progressChanged, [&percents](int) { ++percents; });
    QElapsedTimer sinceLastTurn;
    QTimer turn;
    QObject::connect(&turn, &QTimer::timeout, [&] {
        maxGapMs = std::max(maxGapMs, sinceLastTurn.nsecsElapsed() / 1e6);
        sinceLastTurn.restart();
    });
    turn.setTimerType(Qt::PreciseTimer);
    turn.start(1);
    sinceLastTurn.start();
    job.run();
    maxGapMs = std::max(maxGapMs, sinceLastTurn.nsecsElapsed() / 1e6);
    benchmark::DoNotOptimize(percents);
    return maxGapMs;
}

void serverBackup(benchmark::State& state)
{
    const Database::Location server = clinic().server.database->location();
    double maxGapMs = 0;
    for (auto _ : state) {
        ServerBackup::Result written;
        TransferJob job([&](const TableTransfer::Watch& watch) {
            written = ServerBackup::write(server, clinic().target(), watch);
        });
        maxGapMs = std::max(maxGapMs, longestGap(job));
        if (!written.ok)
            state.SkipWithError(qPrintable(written.error));
    }
    state.counters["max_gap_ms"] = maxGapMs;
    state.counters["examinees"] = examinees;
}
BENCHMARK(serverBackup)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The whole restore as the window runs it once the backup is checked: the server's rows to a file of their own, then
// the backup's rows in their place in one transaction.
void restoreOntoServer(benchmark::State& state)
{
    const Database::Location server = clinic().server.database->location();
    double maxGapMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (!DatabaseCopy::copyFile(clinic().places.database, clinic().places.restoreCheck).ok())
            state.SkipWithError("the private copy was not made");
        state.ResumeTiming();
        ServerBackup::Result restored;
        TransferJob job([&](const TableTransfer::Watch& watch) {
            restored = ServerBackup::restore(server, clinic().places, watch);
        });
        maxGapMs = std::max(maxGapMs, longestGap(job));
        if (!restored.ok)
            state.SkipWithError(qPrintable(restored.error));
    }
    state.counters["max_gap_ms"] = maxGapMs;
}
BENCHMARK(restoreOntoServer)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void copyToServer(benchmark::State& state)
{
    Database& target = *clinic().empty.database;
    const Database::Location server = target.location();
    double maxGapMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (const QString& table : TableTransfer::tables())
            target.exec(QStringLiteral("DELETE FROM \"%1\"").arg(table));
        state.ResumeTiming();
        ClinicMove::Outcome moved;
        TransferJob job([&](const TableTransfer::Watch& watch) {
            moved = ClinicMove::copy(clinic().file.folder.path(), server, watch);
        });
        maxGapMs = std::max(maxGapMs, longestGap(job));
        if (moved.status != ClinicMove::Outcome::Status::Copied || moved.examinees != examinees)
            state.SkipWithError(qPrintable(moved.error));
    }
    state.counters["max_gap_ms"] = maxGapMs;
}
BENCHMARK(copyToServer)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The local backup of the same clinic's data file, the copy job the backup window runs: the gap to stand beside.
void localBackup(benchmark::State& state)
{
    double maxGapMs = 0;
    for (auto _ : state) {
        QFile::remove(clinic().target());
        CopyJob job(clinic().places.database, clinic().target());
        maxGapMs = std::max(maxGapMs, longestGap(job));
        if (!job.result().ok())
            state.SkipWithError("the copy failed");
    }
    state.counters["max_gap_ms"] = maxGapMs;
    state.counters["MB"] = QFileInfo(clinic().places.database).size() / 1e6;
}
BENCHMARK(localBackup)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The event loop of this program while another process, the program's command line, copies the same clinic onto the
// same server: what the server's work and the machine cost a loop that has no part in the copy.
void eventLoopDuringCommandLineCopy(benchmark::State& state)
{
    Database& target = *clinic().empty.database;
    double maxGapMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (const QString& table : TableTransfer::tables())
            target.exec(QStringLiteral("DELETE FROM \"%1\"").arg(table));
        state.ResumeTiming();
        QElapsedTimer sinceLastTurn;
        QTimer turn;
        QObject::connect(&turn, &QTimer::timeout, [&] {
            maxGapMs = std::max(maxGapMs, sinceLastTurn.nsecsElapsed() / 1e6);
            sinceLastTurn.restart();
        });
        QEventLoop loop;
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
        turn.setTimerType(Qt::PreciseTimer);
        turn.start(1);
        sinceLastTurn.start();
        process.start(QStringLiteral(T35_PROGRAM),
            { QStringLiteral("--data-dir"), clinic().file.folder.path(), QStringLiteral("--copy-to-server"),
                clinic().empty.address.toUri() });
        loop.exec();
        if (process.exitCode() != 0)
            state.SkipWithError("the command line's copy failed");
    }
    state.counters["max_gap_ms"] = maxGapMs;
}
BENCHMARK(eventLoopDuringCommandLineCopy)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The same measurement of the event loop with nothing running: what the machine itself costs.
void idleEventLoop(benchmark::State& state)
{
    double maxGapMs = 0;
    for (auto _ : state) {
        QElapsedTimer sinceLastTurn;
        QTimer turn;
        QObject::connect(&turn, &QTimer::timeout, [&] {
            maxGapMs = std::max(maxGapMs, sinceLastTurn.nsecsElapsed() / 1e6);
            sinceLastTurn.restart();
        });
        QEventLoop loop;
        QTimer::singleShot(1000, &loop, &QEventLoop::quit);
        turn.setTimerType(Qt::PreciseTimer);
        turn.start(1);
        sinceLastTurn.start();
        loop.exec();
    }
    state.counters["max_gap_ms"] = maxGapMs;
}
BENCHMARK(idleEventLoop)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    clinic();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
