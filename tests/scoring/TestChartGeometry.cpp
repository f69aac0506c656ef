#include "scoring/ChartGeometry.h"
#include "scoring/ScaleColours.h"
#include "scoring/Scales.h"
#include "support/OwnSettings.h"

#include <QPalette>
#include <QSet>
#include <QTest>

#include <cmath>

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

    // On every window, light or dark, each bar stands out from the window (3:1) and the four stay apart.
    void barsStandOutFromTheWindow_data()
    {
        QTest::addColumn<QColor>("window");
        QTest::addColumn<QColor>("shadow");
        QTest::addColumn<QColor>("highlight");
        QTest::addColumn<QColor>("mid");
        QTest::addColumn<bool>("asGiven"); // the palette's own colours already stand out
        QTest::newRow("cream window") << QColor(0xf3, 0xea, 0xd8) << QColor(0, 0, 0) << QColor(0x1d, 0x6f, 0x6a)
                                      << QColor(0x80, 0x50, 0x30) << true;
        QTest::newRow("deep indigo window") << QColor(0x1a, 0x1a, 0x38) << QColor(0, 0, 0) << QColor(0xb4, 0xa0, 0xff)
                                            << QColor(0x35, 0x2a, 0x6a) << false;
        QTest::newRow("charcoal window") << QColor(0x2a, 0x2a, 0x2a) << QColor(0, 0, 0) << QColor(0xe0, 0x80, 0x20)
                                         << QColor(0x60, 0x30, 0x10) << false;
        QTest::newRow("pale window, pale shades") << QColor(0xfa, 0xf6, 0xec) << QColor(0xe0, 0xe0, 0xe0)
                                                  << QColor(0x30, 0x60, 0xa0) << QColor(0xd0, 0xd0, 0xd0) << false;
    }

    void barsStandOutFromTheWindow()
    {
        QFETCH(QColor, window);
        QFETCH(QColor, shadow);
        QFETCH(QColor, highlight);
        QFETCH(QColor, mid);
        QFETCH(bool, asGiven);
        QPalette palette = ScaleColours::paper();
        palette.setColor(QPalette::Window, window);
        palette.setColor(QPalette::Shadow, shadow);
        palette.setColor(QPalette::Highlight, highlight);
        palette.setColor(QPalette::Mid, mid);
        const auto luminance = [](const QColor& c) {
            const auto channel = [](double s) { return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4); };
            return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
        };
        QSet<QRgb> colours;
        for (Scale scale : allScales) {
            const QColor bar = ScaleColours::of(scale, palette);
            const double a = luminance(bar);
            const double b = luminance(window);
            const double ratio = (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
            QVERIFY2(ratio >= 3.0, qPrintable(QStringLiteral("%1 on %2: %3").arg(bar.name(), window.name()).arg(ratio)));
            colours << bar.rgb();
        }
        QCOMPARE(colours.size(), 4);
        // Where the palette's own colours stand out, they are the bars' colours.
        const bool unchanged = ScaleColours::of(Scale::Rezayat, palette) == shadow
            && ScaleColours::of(Scale::Ertebat, palette) == highlight && ScaleColours::of(Scale::HaleT, palette) == mid;
        QCOMPARE(unchanged, asGiven);
    }
};

QTEST_MAIN(TestChartGeometry)
#include "TestChartGeometry.moc"
