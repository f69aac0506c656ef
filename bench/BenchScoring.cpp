// One whole scoring pass on a database of 100,000 examinees, as the scoring window runs it once the code is typed:
// read the examinee's answers afresh, compute the four scales, store the raw scores and fill the result boxes.
// Goal: under 5 ms. The arithmetic alone is timed beside it for comparison.
#include "BenchDatabase.h"
#include "SilentMessages.h"

#include "scoring/ScoringPass.h"
#include "scoring/ScoringWindow.h"
#include "scoring/reports/ListReport.h"
#include "ui/Messages.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

constexpr int examinees = 100000;

BenchDatabase& data()
{
    static BenchDatabase db(examinees);
    return db;
}

// Every iteration scores an examinee not scored before, so the raw scores are really written each time.
void wholeScoringPass(benchmark::State& state)
{
    SilentMessages messages;
    ListReportCaptions captions;
    ScoringWindow window(*data().database, messages, captions);
    int next = 0;
    for (auto _ : state) {
        const QString code = QString::number(1 + (next++ * 7919) % examinees);
        if (!window.scoreExaminee(code)) {
            state.SkipWithError("the pass did not score");
            break;
        }
    }
    if (messages.boxes != 0)
        state.SkipWithError("the pass showed a box");
}
BENCHMARK(wholeScoringPass)->Unit(benchmark::kMillisecond);

void computeOnly(benchmark::State& state)
{
    QStringList answers;
    for (int item = 1; item <= 35; ++item)
        answers << QString::number(1 + item % 5);
    for (auto _ : state)
        benchmark::DoNotOptimize(scoreAnswers(answers));
}
BENCHMARK(computeOnly)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    data();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
