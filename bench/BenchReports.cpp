// The printed reports written to PDF as the preview's "ذخيره PDF" writes them. Goals: the list report of 10,000
// examinees built and written in under 5 s, growing linearly (1,000 and 100,000 timed beside it); the examinee report
// in under 200 ms. Reading the rows of 100,000 examinees through a table cursor is timed on its own.
// Peak memory: run one size at a time under /usr/bin/time -v (see README.md); "documentOnly" gives the memory of the
// rows and the document without any PDF, for comparison.
#include "BenchDatabase.h"

#include "data/TableCursor.h"
#include "scoring/Scales.h"
#include "scoring/reports/ExamineeReport.h"
#include "scoring/reports/ListReport.h"
#include "scoring/reports/ListReportRows.h"
#include "ui/DocumentOutput.h"
#include "ui/MakerDetails.h"
#include "ui/PersianText.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int examinees = 100000;

BenchDatabase& data()
{
    static BenchDatabase db(examinees);
    return db;
}

// Lines as a clinic's list has them: every code different, groups and details repeating.
QList<ListReportRow> listRows(int count)
{
    const QString groups[]
        = { QStringLiteral("الف"), QStringLiteral("ب"), QStringLiteral("گروه درمان"), QStringLiteral("کنترل") };
    const QString education[] = { QStringLiteral("ديپلم"), QStringLiteral("کارشناسي"), QStringLiteral("کارشناسي ارشد"),
        QStringLiteral("دکتري") };
    QList<ListReportRow> rows;
    rows.reserve(count);
    for (int i = 0; i < count; ++i) {
        ListReportRow r;
        r.code = QString::number(100000 + i * 7);
        r.group = groups[i % 4];
        r.age = QString::number(20 + i % 45);
        r.sex = i % 2 ? QStringLiteral("زن") : QStringLiteral("مرد");
        r.maritalStatus = QStringLiteral("متاهل");
        r.education = education[i % 4];
        r.scores = { QString::number(10 + i % 41), QString::number(10 + i % 37), QString::number(10 + i % 29),
            QString::number(5 + i % 21) };
        rows << r;
    }
    return rows;
}

void writeOrFail(benchmark::State& state, const PagedDocument& document, const QString& path)
{
    QString error;
    if (!DocumentOutput::writePdf(document, path, error))
        state.SkipWithError(qPrintable(error));
}

void listReportToPdf(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const QList<ListReportRow> rows = listRows(count);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.pdf"));
    int pages = 0;
    for (auto _ : state) {
        ListReport report(
            rows, { QStringLiteral("مرکز مشاوره مهر"), QStringLiteral("تهران") }, Maker::programmerLine());
        writeOrFail(state, report, path);
        pages = report.pageCount();
    }
    state.counters["pages"] = pages;
    state.counters["rows/s"] = benchmark::Counter(double(count) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(listReportToPdf)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The rows and the laid-out pages without any PDF: what the document itself costs.
void documentOnly(benchmark::State& state)
{
    const QList<ListReportRow> rows = listRows(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        ListReport report(rows, {}, Maker::programmerLine());
        for (int page = 0; page < report.pageCount(); ++page)
            benchmark::DoNotOptimize(report.pageContent(page));
    }
}
BENCHMARK(documentOnly)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void examineeReportToPdf(benchmark::State& state)
{
    ShownResults shown;
    shown.code = QStringLiteral("1402-17");
    shown.group = QStringLiteral("الف");
    shown.age = QStringLiteral("34");
    shown.sex = QStringLiteral("زن");
    shown.maritalStatus = QStringLiteral("متاهل");
    shown.education = QStringLiteral("کارشناسي ارشد");
    shown.clinicAddress = QStringLiteral("تهران، خيابان وليعصر، کوچه بهار، پلاک 12");
    for (const ScaleInfo& info : scales()) {
        const int percent = 50;
        shown.of(info.scale)
            = { QStringLiteral("31"), QString::number(percent), levelFor(percent), sentenceFor(info.scale, percent) };
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("examinee.pdf"));
    for (auto _ : state) {
        ExamineeReport report(shown, Maker::webSiteLine(), Maker::shopLine());
        writeOrFail(state, report, path);
    }
}
BENCHMARK(examineeReportToPdf)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the scoring window's "print all" reads before it builds the list: every examinee through a table cursor.
void readRowsThroughCursor(benchmark::State& state)
{
    TableCursor cursor(*data().database, QStringLiteral("IDE"));
    for (auto _ : state) {
        cursor.reload();
        const ListReportRead read = readListRows(cursor);
        if (read.rows.size() != examinees)
            state.SkipWithError("not every row was read");
    }
    state.counters["rows/s"] = benchmark::Counter(double(examinees) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(readRowsThroughCursor)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    PersianText::loadFont();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
