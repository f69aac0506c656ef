// The main window's home panel on a return to the main window, with 100,000 and 1,000,000 examinees, on the data
// file and on the clinic's server, each beside the 16 ms goal (one frame at 60 Hz) in one run:
// - `returnToMainWindow`: the panel made afresh, as every return makes it, and drawn once. It shows the figures last
//   read and counts nothing itself (goal: 16 ms).
// - `mainWindowMadeAndDrawn`: the whole main window made and drawn once, the home panel in it, as a return makes it
//   (the theme, the buttons, the panel): what does not grow with the examinees beside what did.
// - `figuresReadAway`: a new reading of the figures asked for and delivered, on the reading thread with its own
//   connection: how soon what others wrote shows. No window waits for it.
// - `countedOnTheWindowsConnection`: the same figures counted on the window's own connection, as the panel read them
//   before every drawing; for comparison.
// The server's cases need a server (T35_TEST_SERVER, e.g. eval "$(scripts/pg-cluster start)"); without one they are
// skipped. The run makes its databases (a temporary folder, and on the server databases of its own that it drops at
// the end); filling those of 1,000,000 takes a minute or two.
#include "BenchDatabase.h"
#include "BenchServerData.h"
#include "SilentMessages.h"

#include "app/HomePanel.h"
#include "app/MainWindow.h"
#include "app/WindowRouter.h"
#include "data/HomeFigures.h"
#include "ui/FileDialogs.h"

#include <QApplication>
#include <QPixmap>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <memory>

namespace {

constexpr double kGoalMs = 16.0;

class NoFileDialogs : public FileDialogs {
public:
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString openFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
};

// The data of each size and engine, made when first asked for and kept to the end of the run, with one reader per
// database, as the program keeps one for its run. Let go before the application goes.
std::map<int, std::unique_ptr<BenchDatabase>> files;
std::map<int, std::unique_ptr<ServerData>> servers;
std::map<Database*, std::unique_ptr<HomeFigures::Reader>> readers;

Database* data(bool onServer, int examinees)
{
    if (!onServer) {
        auto& file = files[examinees];
        if (!file)
            file = std::make_unique<BenchDatabase>(examinees);
        return file->database.get();
    }
    if (qEnvironmentVariableIsEmpty("T35_TEST_SERVER"))
        return nullptr;
    auto& server = servers[examinees];
    if (!server)
        server = std::make_unique<ServerData>(examinees, QStringLiteral("home"));
    return server->database.get();
}

HomeFigures::Reader& readerOf(Database& db)
{
    auto& reader = readers[&db];
    if (!reader)
        reader = std::make_unique<HomeFigures::Reader>(db, HomePanel::RecentCount);
    return *reader;
}

// A reading asked for and waited for; whether it came and counted them all.
bool readAway(HomeFigures::Reader& reader, int examinees)
{
    QEventLoop loop;
    bool read = false;
    QObject::connect(&reader, &HomeFigures::Reader::figuresRead, &loop, [&](const HomeFigures::Figures& figures) {
        read = figures.read && figures.registered == examinees;
        loop.quit();
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    reader.request();
    loop.exec();
    return read;
}

Database* setUp(benchmark::State& state, bool onServer)
{
    Database* db = data(onServer, static_cast<int>(state.range(0)));
    if (!db)
        state.SkipWithError("no server: T35_TEST_SERVER is not set");
    state.counters["goal_ms"] = kGoalMs;
    return db;
}

void returnToMainWindow(benchmark::State& state, bool onServer)
{
    Database* db = setUp(state, onServer);
    if (!db)
        return;
    HomeFigures::Reader& reader = readerOf(*db);
    if (!reader.latest() && !readAway(reader, static_cast<int>(state.range(0)))) {
        state.SkipWithError("figures not read");
        return;
    }
    QWidget window;
    window.resize(717, 544);
    for (auto _ : state) {
        auto* panel = new HomePanel(*db, reader, &window);
        panel->setGeometry(224, 52, 320, 476);
        const QPixmap frame = panel->grab();
        benchmark::DoNotOptimize(frame.cacheKey());
        state.PauseTiming();
        delete panel;
        state.ResumeTiming();
    }
}

void mainWindowMadeAndDrawn(benchmark::State& state, bool onServer)
{
    Database* db = setUp(state, onServer);
    if (!db)
        return;
    SilentMessages messages;
    NoFileDialogs fileDialogs;
    WindowRouter router(*db, messages, fileDialogs);
    if (!readAway(router.homeFigures(), static_cast<int>(state.range(0)))) {
        state.SkipWithError("figures not read");
        return;
    }
    for (auto _ : state) {
        auto* window = new MainWindow(*db, messages, router);
        const QPixmap frame = window->grab();
        benchmark::DoNotOptimize(frame.cacheKey());
        state.PauseTiming();
        delete window;
        state.ResumeTiming();
    }
    if (messages.boxes > 0)
        state.SkipWithError("a box was shown");
}

void figuresReadAway(benchmark::State& state, bool onServer)
{
    Database* db = setUp(state, onServer);
    if (!db)
        return;
    HomeFigures::Reader& reader = readerOf(*db);
    for (auto _ : state)
        if (!readAway(reader, static_cast<int>(state.range(0))))
            state.SkipWithError("figures not read");
}

void countedOnTheWindowsConnection(benchmark::State& state, bool onServer)
{
    Database* db = setUp(state, onServer);
    if (!db)
        return;
    for (auto _ : state) {
        const HomeFigures::Figures figures = HomeFigures::read(*db, HomePanel::RecentCount);
        if (!figures.read || figures.registered != state.range(0))
            state.SkipWithError("figures not read");
    }
}

void sizes(benchmark::internal::Benchmark* b)
{
    b->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
}

BENCHMARK_CAPTURE(returnToMainWindow, file, false)->Apply(sizes);
BENCHMARK_CAPTURE(returnToMainWindow, server, true)->Apply(sizes);
BENCHMARK_CAPTURE(mainWindowMadeAndDrawn, file, false)->Apply(sizes);
BENCHMARK_CAPTURE(mainWindowMadeAndDrawn, server, true)->Apply(sizes);
BENCHMARK_CAPTURE(figuresReadAway, file, false)->Apply(sizes);
BENCHMARK_CAPTURE(figuresReadAway, server, true)->Apply(sizes);
BENCHMARK_CAPTURE(countedOnTheWindowsConnection, file, false)->Apply(sizes);
BENCHMARK_CAPTURE(countedOnTheWindowsConnection, server, true)->Apply(sizes);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    readers.clear();
    servers.clear();
    files.clear();
    return 0;
}
