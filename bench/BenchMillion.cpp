// A million examinees, on the data file and on the clinic's server, each case beside its goal in one run:
// - `codeLookup`: one examinee found by code through a table cursor (goal 2 ms).
// - `groupSearchFirstScreen`: a group search in the lookup window, to its first screen drawn (goal 50 ms).
// - `lookupWindowOpen`: the lookup window opened, its grid's first screen drawn (goal 300 ms).
// - `scrolledToEnd`: the opened window's grid, every row counted, scrolled to its last row and drawn (goal 100 ms).
// - `researchExport`: every examinee written for research, as the lookup window's export writes them (a connection
//   of its own, each line as its row is read): rows per second (goal 50,000/s) and the growth of the resident memory
//   while it ran, at 100,000 and at 1,000,000 examinees (flat: the same at both).
// - `listReportPdf`: the list report of 100,000 (and of 10,000, for the memory's growth) written to a PDF page by
//   page as its rows are read: time, and the growth of the resident memory (flat: the same at both).
// The server's cases need a server (T35_TEST_SERVER, e.g. eval "$(scripts/pg-cluster start)"); without one they are
// skipped with that said. The data file of a million is made once and kept in TMPDIR between runs
// (t35-bench-<N>.sqlite; delete it to make it again); the server's databases are made for the run and dropped.
#include "BenchDatabase.h"
#include "BenchServerData.h"
#include "SilentMessages.h"

#include "app/WindowRouter.h"
#include "data/TableCursor.h"
#include "examinees/LookupWindow.h"
#include "examinees/ResearchExport.h"
#include "scoring/reports/ListReportPdf.h"
#include "ui/FileDialogs.h"
#include "ui/MakerDetails.h"
#include "ui/PersianText.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

namespace {

class NoFileDialogs : public FileDialogs {
public:
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString openFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
};

SilentMessages messages;
NoFileDialogs fileDialogs;

int million()
{
    return benchExaminees(1000000);
}

// A data file of `examinees`, kept in TMPDIR: made the first time, opened as it is afterwards.
struct CachedFile {
    explicit CachedFile(int examinees)
    {
        const QString kept = QDir::temp().filePath(QStringLiteral("t35-bench-%1.sqlite").arg(examinees));
        if (!QFile::exists(kept)) {
            std::fprintf(stderr, "making a data file of %d examinees in %s\n", examinees, qPrintable(kept));
            BenchDatabase made(examinees);
            const QString file = made.database->filePath();
            made.database->close();
            if (!QFile::copy(file, kept + QStringLiteral(".part")) || !QFile::rename(kept + QStringLiteral(".part"), kept)) {
                std::fprintf(stderr, "cannot keep the data file at %s\n", qPrintable(kept));
                std::exit(1);
            }
        }
        database = Database::atFile(kept);
        if (!database->open().ok()) {
            std::fprintf(stderr, "the kept data file %s did not open: delete it to make it again\n", qPrintable(kept));
            std::exit(1);
        }
    }
    std::unique_ptr<Database> database;
};

// The databases of each size and engine, made when first asked for and kept to the end of the run.
std::map<int, std::unique_ptr<CachedFile>> files;
std::map<int, std::unique_ptr<ServerData>> servers;

Database* data(benchmark::State& state, bool onServer, int examinees)
{
    if (!onServer) {
        auto& file = files[examinees];
        if (!file)
            file = std::make_unique<CachedFile>(examinees);
        return file->database.get();
    }
    if (qEnvironmentVariableIsEmpty("T35_TEST_SERVER")) {
        state.SkipWithError("no server: T35_TEST_SERVER is not set (eval \"$(scripts/pg-cluster start)\")");
        return nullptr;
    }
    auto& server = servers[examinees];
    if (!server)
        server = std::make_unique<ServerData>(examinees);
    return server->database.get();
}

// Kibibytes of the process's resident memory now, or at its peak since resetPeak().
long residentKiB(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(static_cast<qsizetype>(std::strlen(field))).trimmed().split(' ').value(0).toLong();
    return 0;
}

void resetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

// The peak resident memory's growth over what was resident when `work` began, in MiB.
template<typename Work>
double peakGrowthMiB(Work&& work)
{
    resetPeak();
    const long before = residentKiB("VmRSS:");
    work();
    return static_cast<double>(residentKiB("VmHWM:") - before) / 1024.0;
}

void goal(benchmark::State& state, double goal)
{
    state.counters["goal"] = goal;
}

QTableView* grid(LookupWindow& window)
{
    return window.findChild<QTableView*>(QStringLiteral("DataGrid1"));
}

void drawGrid(LookupWindow& window)
{
    benchmark::DoNotOptimize(grid(window)->viewport()->grab());
}

std::unique_ptr<LookupWindow> openWindow(Database& db)
{
    auto window = std::make_unique<LookupWindow>(db, messages, fileDialogs, WindowRouter::researchScoring());
    window->show();
    return window;
}

void closeWindow(std::unique_ptr<LookupWindow>& window)
{
    window.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void codeLookup(benchmark::State& state, bool onServer)
{
    Database* db = data(state, onServer, million());
    if (!db)
        return;
    goal(state, 2.0);
    TableCursor cursor(*db, QStringLiteral("IDE"), TableCursor::Unread {});
    int n = 0;
    for (auto _ : state) {
        cursor.setFilter(QStringLiteral("Code"), QString::number(1 + (n++ * 7919) % million()));
        benchmark::DoNotOptimize(cursor.field(QStringLiteral("FName")));
        if (cursor.count() != 1)
            state.SkipWithError("code not found");
    }
}
BENCHMARK_CAPTURE(codeLookup, file, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(codeLookup, server, true)->Unit(benchmark::kMillisecond);

void groupSearchFirstScreen(benchmark::State& state, bool onServer)
{
    Database* db = data(state, onServer, million());
    if (!db)
        return;
    goal(state, 50.0);
    std::unique_ptr<LookupWindow> window = openWindow(*db);
    auto* group = window->findChild<QComboBox*>(QStringLiteral("Combo3"));
    int g = 0;
    for (auto _ : state) {
        group->setEditText(QString(QChar(u'A' + g++ % 7)));
        drawGrid(*window);
    }
    state.counters["rows"] = grid(*window)->model()->rowCount();
    closeWindow(window);
}
BENCHMARK_CAPTURE(groupSearchFirstScreen, file, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(groupSearchFirstScreen, server, true)->Unit(benchmark::kMillisecond);

void lookupWindowOpen(benchmark::State& state, bool onServer)
{
    Database* db = data(state, onServer, million());
    if (!db)
        return;
    goal(state, 300.0);
    for (auto _ : state) {
        std::unique_ptr<LookupWindow> window = openWindow(*db);
        drawGrid(*window);
        state.PauseTiming();
        closeWindow(window);
        state.ResumeTiming();
    }
}
BENCHMARK_CAPTURE(lookupWindowOpen, file, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(lookupWindowOpen, server, true)->Unit(benchmark::kMillisecond);

void scrolledToEnd(benchmark::State& state, bool onServer)
{
    Database* db = data(state, onServer, million());
    if (!db)
        return;
    goal(state, 100.0);
    int rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<LookupWindow> window = openWindow(*db);
        drawGrid(*window);
        QTableView* view = grid(*window);
        // The count arrives after the first screen; the scroll is to the last of every row.
        for (int turn = 0; turn < 1000 && view->model()->rowCount() != million(); ++turn)
            QCoreApplication::processEvents();
        rows = view->model()->rowCount();
        state.ResumeTiming();
        view->scrollToBottom();
        drawGrid(*window);
        state.PauseTiming();
        closeWindow(window);
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
    if (rows != million())
        state.SkipWithError("the grid has not counted every row");
}
BENCHMARK_CAPTURE(scrolledToEnd, file, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(scrolledToEnd, server, true)->Unit(benchmark::kMillisecond);

void researchExport(benchmark::State& state, bool onServer)
{
    const int examinees = static_cast<int>(state.range(0));
    Database* db = data(state, onServer, examinees);
    if (!db)
        return;
    state.counters["goalRowsPerSecond"] = 50000;
    QTemporaryDir out;
    const QString path = QDir(out.path()).filePath(QStringLiteral("research.csv"));
    const ResearchExport::Scoring scoring = WindowRouter::researchScoring();
    TableCursor listed(*db, QStringLiteral("IDE"), TableCursor::Unread {});
    double growth = 0;
    qint64 rows = 0;
    for (auto _ : state) {
        ResearchExport::Result result;
        growth = std::max(growth, peakGrowthMiB([&] {
            result = ResearchExport::write(db->location(), listed.selection(), path, scoring,
                ResearchExport::Names::LeftOut, ResearchExport::Choices::LeftOut, {});
        }));
        if (!result.ok || result.examinees != examinees)
            state.SkipWithError(qPrintable(QStringLiteral("export failed: %1").arg(result.error)));
        rows += result.examinees;
    }
    state.counters["rowsPerSecond"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
    state.counters["peakGrowthMiB"] = growth;
    state.counters["fileMiB"] = static_cast<double>(QFileInfo(path).size()) / (1024.0 * 1024.0);
}
BENCHMARK_CAPTURE(researchExport, file, false)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(researchExport, server, true)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void listReportPdf(benchmark::State& state, bool onServer)
{
    const int lines = static_cast<int>(state.range(0));
    Database* db = data(state, onServer, lines);
    if (!db)
        return;
    QTemporaryDir out;
    const QString path = QDir(out.path()).filePath(QStringLiteral("list.pdf"));
    TableCursor rows(*db, QStringLiteral("IDE"), TableCursor::Unread {});
    ListReportPdf::Report report;
    report.order = ListOrder::ByGroup;
    report.captions = { QStringLiteral("مرکز مشاوره خانواده"), QStringLiteral("تهران، خيابان انقلاب") };
    report.programmerLine = Maker::programmerLine();
    double growth = 0;
    for (auto _ : state) {
        ListReportPdf::Result result;
        growth = std::max(growth, peakGrowthMiB([&] {
            result = ListReportPdf::write(db->location(), rows.selection(), report, path);
        }));
        if (!result.ok || result.rows != lines)
            state.SkipWithError(qPrintable(QStringLiteral("report failed: %1").arg(result.error)));
    }
    state.counters["peakGrowthMiB"] = growth;
    state.counters["pdfMiB"] = static_cast<double>(QFileInfo(path).size()) / (1024.0 * 1024.0);
}
BENCHMARK_CAPTURE(listReportPdf, file, false)
    ->Arg(10000)
    ->Arg(100000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(listReportPdf, server, true)
    ->Arg(10000)
    ->Arg(100000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    app.setLayoutDirection(Qt::RightToLeft);
    PersianText::loadFont();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // The server's databases are dropped, and the connections closed, before the application goes.
    servers.clear();
    files.clear();
    return 0;
}
