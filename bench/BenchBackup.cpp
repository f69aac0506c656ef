// Backing up a 200 MB database file the way the backup window does it (copy job on a worker thread, the event loop
// turning meanwhile), beside `cp` of the same file in the same run. Goals: at least half the throughput of `cp`,
// and no gap between two turns of the event loop longer than 50 ms (max_gap_ms; a 1 ms timer asks for a turn every
// millisecond). The copy flushes its file to the disk before renaming it, so `cp` followed by `sync` of the copy is
// measured as well, and the gaps of the event loop with no copy running and while `cp` and `sync` run beside it show
// what the machine and its disk cost any program.
//
// An encrypted backup of the same file goes through the same copy job (goal: at least half the throughput of the
// plain backup, the key's derivation left out: it is measured on its own, at the cost new backups get), and so does
// the restore's decryption of it.
#include "backup/BackupCipher.h"
#include "backup/BackupDecryption.h"
#include "backup/BackupEncryption.h"
#include "backup/CopyJob.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

constexpr qint64 fileSize = 200LL * 1024 * 1024;

struct Files {
    Files()
    {
        QFile file(source());
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(source()));
        QByteArray block(1024 * 1024, Qt::Uninitialized);
        QRandomGenerator generator(35);
        for (qint64 written = 0; written < fileSize; written += block.size()) {
            generator.fillRange(reinterpret_cast<quint32*>(block.data()), block.size() / 4);
            file.write(block);
        }
    }
    QString source() const { return folder.filePath(QStringLiteral("RIVERIVU.mdb")); }
    QString target() const { return folder.filePath(QStringLiteral("backup.mdbB")); }

    QTemporaryDir folder;
};

Files& files()
{
    static Files f;
    return f;
}

bool run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(-1) && process.exitCode() == 0;
}

void copyDatabaseFile(benchmark::State& state)
{
    double maxGapMs = 0;
    for (auto _ : state) {
        QFile::remove(files().target());
        CopyJob job(files().source(), files().target());
        QElapsedTimer sinceLastTurn;
        QTimer turn;
        QObject::connect(&turn, &QTimer::timeout, [&] {
            maxGapMs = std::max(maxGapMs, sinceLastTurn.nsecsElapsed() / 1e6);
            sinceLastTurn.restart();
        });
        turn.setTimerType(Qt::PreciseTimer);
        turn.start(1);
        sinceLastTurn.start();
        if (!job.run().ok())
            state.SkipWithError("the copy failed");
        maxGapMs = std::max(maxGapMs, sinceLastTurn.nsecsElapsed() / 1e6);
    }
    state.SetBytesProcessed(state.iterations() * fileSize);
    state.counters["max_gap_ms"] = maxGapMs;
}
BENCHMARK(copyDatabaseFile)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The same backup encrypted. At the cheapest cost the derivation takes microseconds, so the figure is the
// encryption and the writing alone.
void encryptedBackup(benchmark::State& state)
{
    double maxGapMs = 0;
    for (auto _ : state) {
        QFile::remove(files().target());
        BackupCipher::Encryption encryption(QStringLiteral("a passphrase of the clinic"), BackupCipher::cheapestCost());
        CopyJob job(files().source(), files().target(), nullptr, &encryption);
        QElapsedTimer sinceLastTurn;
        QTimer turn;
        QObject::connect(&turn, &QTimer::timeout, [&] {
            maxGapMs = std::max(maxGapMs, sinceLastTurn.nsecsElapsed() / 1e6);
            sinceLastTurn.restart();
        });
        turn.setTimerType(Qt::PreciseTimer);
        turn.start(1);
        sinceLastTurn.start();
        if (!job.run().ok())
            state.SkipWithError("the encrypted copy failed");
        maxGapMs = std::max(maxGapMs, sinceLastTurn.nsecsElapsed() / 1e6);
    }
    state.SetBytesProcessed(state.iterations() * fileSize);
    state.counters["max_gap_ms"] = maxGapMs;
}
BENCHMARK(encryptedBackup)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// A restore's decryption of that backup into the private copy (the checks that follow are BenchStartupCheck's).
void decryptedRestoreCopy(benchmark::State& state)
{
    const QString sealed = files().folder.filePath(QStringLiteral("sealed.mdbB"));
    const QString copy = files().folder.filePath(QStringLiteral("RIVERIVU.mdb.restore-check"));
    {
        BackupCipher::Encryption encryption(QStringLiteral("a passphrase of the clinic"), BackupCipher::cheapestCost());
        CopyJob job(files().source(), sealed, nullptr, &encryption);
        if (!job.run().ok()) {
            state.SkipWithError("the encrypted copy failed");
            return;
        }
    }
    for (auto _ : state) {
        QFile::remove(copy);
        BackupCipher::Decryption decryption(QStringLiteral("a passphrase of the clinic"));
        CopyJob job(sealed, copy, nullptr, &decryption);
        if (!job.run().ok())
            state.SkipWithError("the decryption failed");
    }
    QFile::remove(sealed);
    QFile::remove(copy);
    state.SetBytesProcessed(state.iterations() * fileSize);
}
BENCHMARK(decryptedRestoreCopy)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// Deriving the key from a passphrase at the cost new backups get (Argon2id): paid once per backup and per restore,
// on the copy's thread. Goal: well under a second.
void keyDerivation(benchmark::State& state)
{
    const DatabaseCopy::Put discard = [](const char*, qint64) { return true; };
    for (auto _ : state) {
        BackupCipher::Encryption encryption(QStringLiteral("a passphrase of the clinic"));
        if (!encryption.begin(QByteArray(), 0, discard))
            state.SkipWithError("the key was not derived");
    }
    const BackupCipher::Cost cost = BackupCipher::defaultCost();
    state.counters["opslimit"] = static_cast<double>(cost.opsLimit);
    state.counters["memlimit_MiB"] = static_cast<double>(cost.memLimit) / (1024 * 1024);
}
BENCHMARK(keyDerivation)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

// The same measurement of the event loop with no copy running: what the machine itself costs.
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

// The event loop of this program while another program copies the same file with `cp` and `sync`: what the disk
// being written costs every program on the machine.
void eventLoopDuringCpAndSync(benchmark::State& state)
{
    double maxGapMs = 0;
    for (auto _ : state) {
        QFile::remove(files().target());
        QElapsedTimer sinceLastTurn;
        QTimer turn;
        QObject::connect(&turn, &QTimer::timeout, [&] {
            maxGapMs = std::max(maxGapMs, sinceLastTurn.nsecsElapsed() / 1e6);
            sinceLastTurn.restart();
        });
        QEventLoop loop;
        QProcess process;
        QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
        turn.setTimerType(Qt::PreciseTimer);
        turn.start(1);
        sinceLastTurn.start();
        process.start(QStringLiteral("sh"),
            { QStringLiteral("-c"), QStringLiteral("cp \"$0\" \"$1\" && sync \"$1\""), files().source(),
                files().target() });
        loop.exec();
    }
    state.counters["max_gap_ms"] = maxGapMs;
}
BENCHMARK(eventLoopDuringCpAndSync)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void cp(benchmark::State& state)
{
    for (auto _ : state) {
        QFile::remove(files().target());
        if (!run(QStringLiteral("cp"), { files().source(), files().target() }))
            state.SkipWithError("cp failed");
    }
    state.SetBytesProcessed(state.iterations() * fileSize);
}
BENCHMARK(cp)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void cpAndSync(benchmark::State& state)
{
    for (auto _ : state) {
        QFile::remove(files().target());
        if (!run(QStringLiteral("cp"), { files().source(), files().target() })
            || !run(QStringLiteral("sync"), { files().target() }))
            state.SkipWithError("cp or sync failed");
    }
    state.SetBytesProcessed(state.iterations() * fileSize);
}
BENCHMARK(cpAndSync)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    files();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
