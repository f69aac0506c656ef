// Start to the main window shown, beside its floor, a bare Qt window (BenchBareWindow), in one run: each a fresh
// process on Qt's offscreen platform, the program with `--quit-after-start` on an existing data file with no
// examinees, and on one of 100,000. `startBesideBareWindow` runs the two in turn, so both see the same machine, and
// reports the ratio (goal: at most 1.15).
#include "BenchDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

// One run of a program to its end; seconds of wall-clock time, or a negative number when it failed.
double runOnce(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A home of its own for the runs: the settings file, the lock and the user's data folder never the user's.
struct Home {
    Home()
    {
        const QDir root(folder.path());
        for (const char* sub : { "config", "run", "data", "empty" })
            root.mkpath(QLatin1String(sub));
        QFile::setPermissions(
            root.filePath(QStringLiteral("run")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        setenv("HOME", qPrintable(folder.path()), 1);
        setenv("XDG_CONFIG_HOME", qPrintable(root.filePath(QStringLiteral("config"))), 1);
        setenv("XDG_RUNTIME_DIR", qPrintable(root.filePath(QStringLiteral("run"))), 1);
        setenv("XDG_DATA_HOME", qPrintable(root.filePath(QStringLiteral("data"))), 1);
        if (!getenv("QT_QPA_PLATFORM"))
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        emptyData = root.filePath(QStringLiteral("empty")).toStdString();
    }
    QTemporaryDir folder;
    std::string emptyData;
};

Home& home()
{
    static Home h;
    return h;
}

std::vector<std::string> program(const std::string& dataFolder)
{
    return { T35_PROGRAM, "--data-dir", dataFolder, "--quit-after-start" };
}

const std::vector<std::string> bareWindow { T35_BARE_WINDOW };

void timed(benchmark::State& state, const std::vector<std::string>& command)
{
    for (auto _ : state) {
        const double seconds = runOnce(command);
        if (seconds < 0) {
            state.SkipWithError("the program did not start and end cleanly");
            return;
        }
        state.SetIterationTime(seconds);
    }
}

void bareQtWindow(benchmark::State& state)
{
    timed(state, bareWindow);
}
BENCHMARK(bareQtWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void startEmptyFile(benchmark::State& state)
{
    timed(state, program(home().emptyData));
}
BENCHMARK(startEmptyFile)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void start100000(benchmark::State& state)
{
    static BenchDatabase data(100000);
    timed(state, program(data.folder.path().toStdString()));
}
BENCHMARK(start100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// The two in turn, the program on the empty file: the ratio of the sums, so a busy moment weighs on both alike.
void startBesideBareWindow(benchmark::State& state)
{
    double bare = 0;
    double started = 0;
    for (auto _ : state) {
        const double b = runOnce(bareWindow);
        const double s = runOnce(program(home().emptyData));
        if (b < 0 || s < 0) {
            state.SkipWithError("a program did not start and end cleanly");
            return;
        }
        bare += b;
        started += s;
        state.SetIterationTime(s);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["bare_ms"] = 1000 * bare / n;
    state.counters["program_ms"] = 1000 * started / n;
    state.counters["ratio"] = started / bare;
}
BENCHMARK(startBesideBareWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    home();
    // The empty data file is made by a first start, so every timed start opens an existing one.
    if (runOnce(program(home().emptyData)) < 0)
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
