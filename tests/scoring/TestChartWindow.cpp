#include "scoring/ChartGeometry.h"
#include "scoring/ChartWindow.h"
#include "scoring/ScaleColours.h"
#include "scoring/ScoringWindow.h"
#include "scoring/reports/ListReport.h"
#include "support/OwnSettings.h"
#include "support/TestProgram.h"
#include "text/ShownNumbers.h"
#include "ui/PersianText.h"
#include "ui/Twips.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace {

QString text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

QStringList allAnswers(const QString& value)
{
    QStringList answers;
    for (int i = 0; i < 35; ++i)
        answers << value;
    return answers;
}

// A line's pixels as the chart draws it: from its first twip to its last, at least one pixel thick.
QRect linePixels(int x1, int y1, int x2, int y2)
{
    const int left = Twips::toPixelsX(x1);
    const int top = Twips::toPixelsY(y1);
    return QRect(left, top, std::max(1, Twips::toPixelsX(x2) - left), std::max(1, Twips::toPixelsY(y2) - top));
}

} // namespace

class TestChartWindow : public QObject {
    Q_OBJECT

    // The list report's captions, which the program keeps for its whole run.
    ListReportCaptions captions;
    // Windows made without a TestProgram draw numbers as the program's default does, whatever the user chose.
    OwnSettings settings;

private:
    template <typename T>
    static T* child(QWidget* w, const QString& name)
    {
        return Drive::find<T>(w, name);
    }

private slots:
    void initTestCase() { PersianText::loadFont(); }

    void window()
    {
        ChartWindow chart;
        QCOMPARE(chart.objectName(), QStringLiteral("Frmnem"));
        QCOMPARE(chart.windowTitle(), text("نمودار"));
        QVERIFY(chart.isWindow());
        QCOMPARE(chart.pos(), QPoint(Twips::toPixelsX(3750), Twips::toPixelsY(750)));
    }

    void axes()
    {
        ChartWindow chart;
        using namespace ChartGeometry;
        QCOMPARE(child<QFrame>(&chart, QStringLiteral("Line1"))->geometry(), linePixels(AxisX, AxisTop, AxisX, AxisBottom));
        QCOMPARE(child<QFrame>(&chart, QStringLiteral("Line2"))->geometry(),
                 linePixels(BaselineLeft, BaselineY, BaselineRight, BaselineY));
        // The value axis stands on the right of every bar, the baseline under all of them.
        const int axis = child<QFrame>(&chart, QStringLiteral("Line1"))->x();
        const QRect baseline = child<QFrame>(&chart, QStringLiteral("Line2"))->geometry();
        chart.setValueText(3, QStringLiteral("50"));
        chart.drawBars();
        for (int i = 0; i < 4; ++i) {
            const QRect bar = Twips::toPixels(barLeft(i), 1015, BarWidth, 5000);
            QVERIFY(bar.right() < axis);
            QVERIFY(bar.left() >= baseline.left());
        }
        QVERIFY(baseline.right() <= axis);
    }

    void ticks_data()
    {
        QTest::addColumn<int>("element");
        QTest::addColumn<int>("y");
        // 500 twips apart, each where a bar of its percent ends: 100 percent at the top.
        for (int i = 0; i < 11; ++i)
            QTest::addRow("Line3(%d)", i) << i << 1015 + 500 * i;
    }

    void ticks()
    {
        QFETCH(int, element);
        QFETCH(int, y);
        ChartWindow chart;
        auto* tick = child<QFrame>(&chart, QStringLiteral("Line3_%1").arg(element));
        QVERIFY(tick);
        // Out from the axis to the right, towards the labels.
        QCOMPARE(tick->geometry(),
                 linePixels(ChartGeometry::AxisX, y, ChartGeometry::AxisX + ChartGeometry::TickLength, y));
    }

    void tickLabels_data()
    {
        QTest::addColumn<int>("element");
        QTest::addColumn<int>("tickY");
        QTest::addColumn<QString>("caption");
        const char* const captions[10] = {"۱۰٪", "۲۰٪", "۳۰٪", "۴۰٪", "۵۰٪", "۶۰٪", "۷۰٪", "۸۰٪", "۹۰٪", "۱۰۰٪"};
        for (int i = 0; i < 10; ++i)
            QTest::addRow("SkinLabeln(%d)", i + 5) << i + 5 << 6015 - 500 * (i + 1) << text(captions[i]);
    }

    void tickLabels()
    {
        QFETCH(int, element);
        QFETCH(int, tickY);
        QFETCH(QString, caption);
        ChartWindow chart;
        auto* label = child<QLabel>(&chart, QStringLiteral("SkinLabeln_%1").arg(element));
        QVERIFY(label);
        QCOMPARE(label->text(), caption);
        // Right of the axis and its ticks, level with its tick.
        QVERIFY(label->x() > Twips::toPixelsX(ChartGeometry::AxisX + ChartGeometry::TickLength));
        QVERIFY(label->geometry().right() < chart.width());
        QVERIFY(qAbs(label->geometry().center().y() - Twips::toPixelsY(tickY)) <= 1);
        QVERIFY(label->fontMetrics().horizontalAdvance(caption) <= label->width());
    }

    void noFourthValueLabel()
    {
        ChartWindow chart;
        QVERIFY(!chart.findChild<QWidget*>(QStringLiteral("SkinLabeln_4")));
    }

    void barsAndValueLabels_data()
    {
        QTest::addColumn<int>("element");
        QTest::addColumn<int>("barLeft");
        // Right to left in the scales' order, the first next to the axis.
        QTest::newRow("0") << 0 << 4620;
        QTest::newRow("1") << 1 << 3360;
        QTest::newRow("2") << 2 << 2100;
        QTest::newRow("3") << 3 << 840;
    }

    void barsAndValueLabels()
    {
        QFETCH(int, element);
        QFETCH(int, barLeft);
        ChartWindow chart;
        chart.setValueText(element, QStringLiteral("100"));
        chart.drawBars();
        auto* bar = child<QFrame>(&chart, QStringLiteral("Shn_%1").arg(element));
        QVERIFY(bar);
        QCOMPARE(bar->geometry(), Twips::toPixels(barLeft, 1015, 1140, 5000));
        auto* label = child<QLabel>(&chart, QStringLiteral("SkinLabeln_%1").arg(element));
        QVERIFY(label);
        // Under its bar, below the scale names.
        QVERIFY(qAbs(label->geometry().center().x() - bar->geometry().center().x()) <= 1);
        QCOMPARE(label->y(), Twips::toPixelsY(6660));
        QCOMPARE(label->text(), QStringLiteral("100"));
    }

    void barColours()
    {
        ChartWindow chart;
        const QPalette system = QApplication::palette();
        const QColor expected[4] = {system.color(QPalette::Active, QPalette::Shadow),
                                    system.color(QPalette::Active, QPalette::Highlight),
                                    system.color(QPalette::Active, QPalette::Mid), QColor(0, 128, 0)};
        for (int i = 0; i < 4; ++i) {
            auto* bar = child<QFrame>(&chart, QStringLiteral("Shn_%1").arg(i));
            QVERIFY(bar->autoFillBackground());
            const QColor drawn = bar->palette().color(QPalette::Window);
            if (i == 2) {
                // The mid shade is pale on a pale window: its bar is the same grey made darker, so it is seen.
                QCOMPARE(drawn.hsvHue(), expected[i].hsvHue());
                QVERIFY2(drawn.lightness() <= expected[i].lightness(), qPrintable(drawn.name()));
            } else {
                QCOMPARE(drawn, expected[i]);
            }
        }
        QVERIFY(expected[1] != expected[0] && expected[1] != expected[2]);
    }

    void scaleNamesAndRowTitles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("left");
        QTest::addColumn<QString>("caption");
        const char* const names[4] = {"رضايت زناشويي", "ارتباطات", "حل تعارض", "تحريف آرماني"};
        // Each name centred under its bar; the row titles at the right, beside the axis.
        QTest::newRow("Label1(0)") << "Label1_0" << 4590 << text(names[0]);
        QTest::newRow("Label1(1)") << "Label1_1" << 3330 << text(names[1]);
        QTest::newRow("Label1(4)") << "Label1_4" << 2070 << text(names[2]);
        QTest::newRow("Label1(2)") << "Label1_2" << 810 << text(names[3]);
        QTest::newRow("Label1(5)") << "Label1_5" << 6000 << text("مقياسها");
        QTest::newRow("Label1(3)") << "Label1_3" << 6000 << text("درصد");
    }

    void scaleNamesAndRowTitles()
    {
        QFETCH(QString, name);
        QFETCH(int, left);
        QFETCH(QString, caption);
        ChartWindow chart;
        auto* label = child<QLabel>(&chart, name);
        QVERIFY(label);
        QCOMPARE(label->text(), caption);
        QCOMPARE(label->x(), Twips::toPixelsX(left));
        if (name == QLatin1String("Label1_5")) {
            QCOMPARE(label->y(), Twips::toPixelsY(6165));
        } else if (name == QLatin1String("Label1_3")) {
            QCOMPARE(label->y(), Twips::toPixelsY(6660));
        } else {
            QVERIFY(label->y() >= Twips::toPixelsY(6120));
            QVERIFY(label->y() <= Twips::toPixelsY(6210));
        }
    }

    void buttons()
    {
        ChartWindow chart;
        auto* draw = child<QPushButton>(&chart, QStringLiteral("Command1"));
        auto* close = child<QPushButton>(&chart, QStringLiteral("Command2"));
        QVERIFY(draw && close);
        QCOMPARE(draw->text(), text("رسم نمودار"));
        QCOMPARE(close->text(), text("خروج"));
        QCOMPARE(draw->font().families().value(0), text("B Nazanin"));
        QCOMPARE(close->font().families().value(0), text("B Nazanin"));
    }

    void barsAreEmptyUntilDrawn()
    {
        ChartWindow chart;
        chart.setValueText(0, QStringLiteral("50"));
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(chart.barTwips(i).height, 0);
            QCOMPARE(chart.barTwips(i).top, 6015);
        }
    }

    void drawing_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("top");
        QTest::newRow("5") << "5" << "5" << 250 << 5765;
        QTest::newRow("50") << "50" << "50" << 2500 << 3515;
        QTest::newRow("100") << "100" << "100" << 5000 << 1015;
        QTest::newRow("15") << "15" << "15" << 750 << 5265;
        QTest::newRow("above 100") << "150" << "۱۰۰" << 5000 << 1015;
        QTest::newRow("just above 100") << "100.5" << "۱۰۰" << 5000 << 1015;
        QTest::newRow("above 100 with text after") << "120%" << "۱۰۰" << 5000 << 1015;
        // The labels draw their percents with Persian digits, and read them back.
        QTest::newRow("Persian digits") << "۵۰" << "۵۰" << 2500 << 3515;
        QTest::newRow("Persian digits above 100") << "۱۲۰" << "۱۰۰" << 5000 << 1015;
        QTest::newRow("Arabic-Indic digits") << "\u0661\u0665" << "\u0661\u0665" << 750 << 5265;
        QTest::newRow("fraction") << "7.5" << "7.5" << 375 << 5640;
        QTest::newRow("blanks around") << " 45 " << " 45 " << 2250 << 3765;
        QTest::newRow("zero") << "0" << "0" << 0 << 6015;
        QTest::newRow("empty") << "" << "" << 0 << 6015;
        QTest::newRow("not a number") << "abc" << "abc" << 0 << 6015;
        QTest::newRow("number with text") << "50%" << "50%" << 0 << 6015;
        QTest::newRow("negative") << "-5" << "-5" << 0 << 6015;
    }

    void drawing()
    {
        QFETCH(QString, label);
        QFETCH(QString, shown);
        QFETCH(int, height);
        QFETCH(int, top);
        for (int i = 0; i < 4; ++i) {
            ChartWindow chart;
            // A taller bar drawn before must not survive a label that draws nothing.
            chart.setValueText(i, QStringLiteral("80"));
            chart.drawBars();
            chart.setValueText(i, label);
            chart.drawBars();
            QCOMPARE(chart.valueText(i), shown);
            QCOMPARE(chart.barTwips(i).height, height);
            QCOMPARE(chart.barTwips(i).top, top);
            QCOMPARE(chart.barTwips(i).top + chart.barTwips(i).height, 6015);
        }
    }

    void drawButtonDrawsEveryBar()
    {
        ChartWindow chart;
        chart.show();
        chart.setValueText(0, QStringLiteral("abc"));
        chart.setValueText(1, QStringLiteral("50"));
        chart.setValueText(2, QStringLiteral("150"));
        chart.setValueText(3, QStringLiteral("5"));
        QVERIFY(Drive::click(&chart, QStringLiteral("Command1")));
        QCOMPARE(chart.barTwips(0).height, 0);
        QCOMPARE(chart.barTwips(1).height, 2500);
        QCOMPARE(chart.barTwips(2).height, 5000);
        QCOMPARE(chart.valueText(2), QStringLiteral("۱۰۰"));
        QCOMPARE(chart.barTwips(3).height, 250);
        QCOMPARE(chart.barTwips(3).top, 5765);
        QCOMPARE(child<QFrame>(&chart, QStringLiteral("Shn_3"))->geometry(), Twips::toPixels(840, 5765, 1140, 250));
        QCOMPARE(child<QFrame>(&chart, QStringLiteral("Shn_1"))->geometry(), Twips::toPixels(3360, 3515, 1140, 2500));
        QVERIFY(child<QFrame>(&chart, QStringLiteral("Shn_0"))->isHidden());
    }

    void changingLabelsKeepsBars()
    {
        ChartWindow chart;
        for (int i = 0; i < 4; ++i)
            chart.setValueText(i, QStringLiteral("50"));
        chart.drawBars();
        for (int i = 0; i < 4; ++i)
            chart.setValueText(i, QStringLiteral("100"));
        for (int i = 0; i < 4; ++i)
            QCOMPARE(chart.barTwips(i).height, 2500);
        chart.drawBars();
        for (int i = 0; i < 4; ++i)
            QCOMPARE(chart.barTwips(i).height, 5000);
    }

    void closeButtonClosesChart()
    {
        ChartWindow chart;
        chart.show();
        QVERIFY(chart.isVisible());
        QVERIFY(Drive::click(&chart, QStringLiteral("Command2")));
        QVERIFY(!chart.isVisible());
    }

    // Opening from the scoring window

    void nobodyScoredShowsNotice()
    {
        TestProgram p;
        p.addExaminee(QStringLiteral("12"));
        p.setAnswers(QStringLiteral("12"), allAnswers(QStringLiteral("3")));
        ScoringWindow w(p.database(), p.messages(), captions);
        w.show();
        QVERIFY(Drive::click(&w, QStringLiteral("Command2")));
        const auto& boxes = p.messages().boxes;
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].kind, ScriptedMessages::Kind::Notice);
        QCOMPARE(boxes[0].text, text("ابتدا روي انتخاب آزمودني کليک کرده سپس کد آزمودني را وارد کنيد بعد روي مشاهده نمودار کليک کنيد "));
        QCOMPARE(boxes[0].bringToFrontMs, 2000);
        QVERIFY(!w.chartWindow());
        QVERIFY(!w.findChild<ChartWindow*>());
    }

    // The chart draws in the scoring window's theme: its background, strokes and bar colours follow it.
    void chartTakesTheTheme_data()
    {
        QTest::addColumn<QString>("theme");
        QTest::newRow("light") << "1";
        QTest::newRow("dark") << "3";
    }

    void chartTakesTheTheme()
    {
        QFETCH(QString, theme);
        TestProgram p;
        p.exec(QStringLiteral("UPDATE Theme SET TH = ?"), {theme});
        p.addExaminee(QStringLiteral("12"));
        p.setAnswers(QStringLiteral("12"), allAnswers(QStringLiteral("3")));
        ScoringWindow w(p.database(), p.messages(), captions);
        w.show();
        QCOMPARE(w.property("appliedTheme").toString(), theme);
        p.messages().typed.enqueue(QStringLiteral("12"));
        QVERIFY(Drive::click(&w, QStringLiteral("Command1")));
        QVERIFY(Drive::click(&w, QStringLiteral("Command2")));
        ChartWindow* chart = w.chartWindow();
        QVERIFY(chart);
        QCOMPARE(chart->palette().color(QPalette::Window), w.palette().color(QPalette::Window));
        QVERIFY(chart->palette().color(QPalette::Window) != QApplication::palette().color(QPalette::Window));
        QCOMPARE(child<QFrame>(chart, QStringLiteral("Line1"))->palette().color(QPalette::Window),
                 w.palette().color(QPalette::WindowText));
        for (int i = 0; i < 4; ++i)
            QCOMPARE(child<QFrame>(chart, QStringLiteral("Shn_%1").arg(i))->palette().color(QPalette::Window),
                     ScaleColours::of(allScales[std::size_t(i)], w.palette()));
    }

    void chartShowsScoredPercents()
    {
        TestProgram p;
        p.addExaminee(QStringLiteral("12"));
        p.setAnswers(QStringLiteral("12"), allAnswers(QStringLiteral("1")));
        ScoringWindow w(p.database(), p.messages(), captions);
        w.show();
        p.messages().typed.enqueue(QStringLiteral("12"));
        QVERIFY(Drive::click(&w, QStringLiteral("Command1")));
        QVERIFY(Drive::click(&w, QStringLiteral("Command2")));
        ChartWindow* chart = w.chartWindow();
        QVERIFY(chart);
        QVERIFY(chart->isVisible());
        QVERIFY(chart->isWindow());
        QVERIFY(!chart->isModal());
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(chart->valueText(i), QStringLiteral("۵"));
            QCOMPARE(chart->barTwips(i).height, 0);
        }
        QVERIFY(Drive::click(chart, QStringLiteral("Command1")));
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(chart->barTwips(i).height, 250);
            QCOMPARE(chart->barTwips(i).top, 5765);
        }
        QCOMPARE(p.messages().boxes.size(), 1); // the prompt
    }

    void openChartIsReused()
    {
        TestProgram p;
        p.addExaminee(QStringLiteral("12"));
        p.setAnswers(QStringLiteral("12"), allAnswers(QStringLiteral("1")));
        p.addExaminee(QStringLiteral("13"));
        p.setAnswers(QStringLiteral("13"), allAnswers(QStringLiteral("5")));
        ScoringWindow w(p.database(), p.messages(), captions);
        w.show();
        p.messages().typed.enqueue(QStringLiteral("12"));
        QVERIFY(Drive::click(&w, QStringLiteral("Command1")));
        QVERIFY(Drive::click(&w, QStringLiteral("Command2")));
        QPointer<ChartWindow> first = w.chartWindow();
        QVERIFY(Drive::click(first, QStringLiteral("Command1")));

        p.messages().typed.enqueue(QStringLiteral("13"));
        QVERIFY(Drive::click(&w, QStringLiteral("Command1")));
        QCOMPARE(first->valueText(0), QStringLiteral("۵")); // not handed over until asked for
        QVERIFY(Drive::click(&w, QStringLiteral("Command2")));
        QCOMPARE(w.chartWindow(), first.data());
        QCOMPARE(w.findChildren<ChartWindow*>().size(), 1);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(first->valueText(i), QStringLiteral("۱۰۰"));
            QCOMPARE(first->barTwips(i).height, 250);
        }
        QVERIFY(Drive::click(first, QStringLiteral("Command1")));
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(first->barTwips(i).height, 5000);
            QCOMPARE(first->barTwips(i).top, 1015);
        }
    }

    void closedChartIsOpenedAfresh()
    {
        TestProgram p;
        p.addExaminee(QStringLiteral("12"));
        p.setAnswers(QStringLiteral("12"), allAnswers(QStringLiteral("3")));
        ScoringWindow w(p.database(), p.messages(), captions);
        w.show();
        p.messages().typed.enqueue(QStringLiteral("12"));
        QVERIFY(Drive::click(&w, QStringLiteral("Command1")));
        QVERIFY(Drive::click(&w, QStringLiteral("Command2")));
        QPointer<ChartWindow> first = w.chartWindow();
        QVERIFY(Drive::click(first, QStringLiteral("Command2")));
        QTRY_VERIFY(!first);
        QVERIFY(!w.chartWindow());
        QVERIFY(Drive::click(&w, QStringLiteral("Command2")));
        QVERIFY(w.chartWindow());
        QVERIFY(w.chartWindow()->isVisible());
        QCOMPARE(w.chartWindow()->valueText(0), QStringLiteral("۴۵")); // Rezayat raw 30
    }

    void chartClosesWithScoringWindow()
    {
        TestProgram p;
        p.addExaminee(QStringLiteral("12"));
        p.setAnswers(QStringLiteral("12"), allAnswers(QStringLiteral("3")));
        auto* w = new ScoringWindow(p.database(), p.messages(), captions);
        w->show();
        p.messages().typed.enqueue(QStringLiteral("12"));
        QVERIFY(Drive::click(w, QStringLiteral("Command1")));
        QVERIFY(Drive::click(w, QStringLiteral("Command2")));
        QPointer<ChartWindow> chart = w->chartWindow();
        QVERIFY(chart);
        delete w;
        QVERIFY(!chart);
    }
};

QTEST_MAIN(TestChartWindow)
#include "TestChartWindow.moc"
