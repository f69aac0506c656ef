#include "scoring/ChartGeometry.h"
#include "scoring/ScaleColours.h"
#include "scoring/Scales.h"
#include "support/OwnSettings.h"

#include <QPalette>
#include <QSet>
#include <QTest>

// The chart's layout rules: read right to left, an evenly divided percent scale, one colour per scale.
class TestChartGeometry : public QObject {
    Q_OBJECT

    const OwnSettings m_settings;

private slots:
    void firstScaleStandsOnTheRight()
    {
        using namespace ChartGeometry;
        for (int i = 0; i + 1 < BarCount; ++i) {
            QVERIFY(barLeft(i) > barLeft(i + 1));
            // Neighbours do not touch.
            QVERIFY(barLeft(i + 1) + BarWidth < barLeft(i));
        }
        QCOMPARE(barLeft(0) + BarWidth + BarGap, AxisX);
    }

    void valueAxisIsOnTheRight()
    {
        using namespace ChartGeometry;
        for (int i = 0; i < BarCount; ++i) {
            QVERIFY(barLeft(i) >= BaselineLeft);
            QVERIFY(barLeft(i) + BarWidth <= BaselineRight);
        }
        QVERIFY(BaselineRight <= AxisX);
        QVERIFY(TickLabelLeft > AxisX + TickLength);
        QVERIFY(TickLabelLeft + TickLabelWidth <= ChartWidth);
        QVERIFY(BaselineLeft > 0);
    }

    void ticksAreEvenAndMeetTheBars()
    {
        using namespace ChartGeometry;
        const QList<int> percents = tickPercents();
        QCOMPARE(percents, (QList<int> { 100, 90, 80, 70, 60, 50, 40, 30, 20, 10, 0 }));
        for (qsizetype i = 0; i + 1 < percents.size(); ++i)
            QCOMPARE(tickY(percents.at(i + 1)) - tickY(percents.at(i)), TickStep * TwipsPerPercent);
        for (int percent : percents) {
            const Bar bar = barFor(QString::number(percent));
            QCOMPARE(bar.top, tickY(percent));
        }
        QCOMPARE(tickY(100), 1015);
        QCOMPARE(tickY(0), BarBottom);
        QVERIFY(tickY(100) >= AxisTop);
        QVERIFY(tickY(0) <= BaselineY);
    }

    void labelsAreReadInAnyDigits_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("height");
        QTest::newRow("ASCII") << "45" << 2250;
        QTest::newRow("Persian") << QStringLiteral("۴۵") << 2250;
        QTest::newRow("Arabic-Indic") << QStringLiteral("\u0664\u0665") << 2250;
        QTest::newRow("Persian above 100") << QStringLiteral("۱۵۰") << 5000;
        QTest::newRow("Persian with a sign") << QStringLiteral("-۵") << 0;
        QTest::newRow("Persian percent sign") << QStringLiteral("۴۵٪") << 0;
    }

    void labelsAreReadInAnyDigits()
    {
        QFETCH(QString, label);
        QFETCH(int, height);
        QCOMPARE(ChartGeometry::barFor(label).height, height);
    }

    void cappedLabelIsDrawnAsNumbersAre()
    {
        QCOMPARE(ChartGeometry::cappedLabel(QStringLiteral("150")), QStringLiteral("۱۰۰"));
        QCOMPARE(ChartGeometry::cappedLabel(QStringLiteral("۱۲۰")), QStringLiteral("۱۰۰"));
        QCOMPARE(ChartGeometry::cappedLabel(QStringLiteral("۸۰")), QStringLiteral("۸۰"));
    }

    void oneColourPerScale()
    {
        const QPalette palette = ScaleColours::paper();
        QSet<QRgb> colours;
        for (Scale scale : allScales) {
            const QColor colour = ScaleColours::of(scale, palette);
            colours << colour.rgb();
            QVERIFY(ScaleColours::paler(colour) != colour);
            QVERIFY(ScaleColours::paler(colour).lightness() > colour.lightness());
        }
        QCOMPARE(colours.size(), 4);
        // They come from the palette they are drawn in, so a themed window gives its own.
        QPalette dark = palette;
        dark.setColor(QPalette::Active, QPalette::Highlight, QColor(200, 80, 0));
        QCOMPARE(ScaleColours::of(Scale::Ertebat, dark), QColor(200, 80, 0));
        QCOMPARE(ScaleColours::of(Scale::TahrifeA, dark), QColor(0, 128, 0));
    }
};

QTEST_MAIN(TestChartGeometry)
#include "TestChartGeometry.moc"
