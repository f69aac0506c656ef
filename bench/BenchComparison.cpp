// Comparing two examinees on a database of 100,000, as the comparison window runs it once both codes are typed:
// both scoring passes, the comparison, the pair remembered, and the window drawn with its tables and chart.
// Goal: under 50 ms. The comparison report written to PDF (two pages, a couple): under 300 ms.
#include "BenchDatabase.h"
#include "SilentMessages.h"

#include "scoring/ComparisonWindow.h"
#include "scoring/reports/ComparisonReport.h"
#include "ui/DocumentOutput.h"
#include "ui/Messages.h"
#include "ui/PersianText.h"

#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int examinees = 100000;

BenchDatabase& data()
{
    static BenchDatabase db(examinees);
    return db;
}

// Every iteration compares a pair not compared before, so both passes and the pair are really written each time.
void compareToDrawnWindow(benchmark::State& state)
{
    SilentMessages messages;
    ComparisonWindow window(*data().database, messages);
    window.show();
    auto* first = window.findChild<QLineEdit*>(QStringLiteral("FirstCode"));
    auto* second = window.findChild<QLineEdit*>(QStringLiteral("SecondCode"));
    auto* compare = window.findChild<QPushButton*>(QStringLiteral("Command1"));
    QPixmap drawn(window.size());
    int next = 0;
    for (auto _ : state) {
        const int a = 1 + (next * 7919) % examinees;
        const int b = 1 + (next * 7919 + 50000) % examinees;
        ++next;
        first->setText(QString::number(a));
        second->setText(QString::number(b));
        compare->click();
        window.render(&drawn);
        if (!window.shownComparison()) {
            state.SkipWithError("the comparison was refused");
            break;
        }
    }
    if (messages.boxes != 0)
        state.SkipWithError("the comparison showed a box");
}
BENCHMARK(compareToDrawnWindow)->Unit(benchmark::kMillisecond);

void comparisonReportToPdf(benchmark::State& state)
{
    SilentMessages messages;
    ComparisonWindow window(*data().database, messages);
    window.findChild<QLineEdit*>(QStringLiteral("FirstCode"))->setText(QStringLiteral("17"));
    window.findChild<QLineEdit*>(QStringLiteral("SecondCode"))->setText(QStringLiteral("18"));
    window.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    if (!window.shownComparison()) {
        state.SkipWithError("the comparison was refused");
        return;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("comparison.pdf"));
    for (auto _ : state) {
        // A report is built afresh for every print, as the window's button does.
        const ComparisonReport report(
            *window.shownComparison(), QStringLiteral("مرکز مشاوره"), QStringLiteral("تهران"));
        QString error;
        if (!DocumentOutput::writePdf(report, path, error)) {
            state.SkipWithError(qPrintable(error));
            break;
        }
    }
}
BENCHMARK(comparisonReportToPdf)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    PersianText::loadFont();
    data();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
