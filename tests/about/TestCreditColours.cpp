#include "about/CreditColours.h"

#include <QList>
#include <QSet>
#include <QTest>

#include <functional>
#include <memory>

using Rgb = CreditColours::Rgb;
Q_DECLARE_METATYPE(Rgb)

namespace {

// A random source that gives the queued values in turn.
CreditColours::RandomSource fromList(QList<double> values)
{
    auto queue = std::make_shared<QList<double>>(std::move(values));
    return [queue] { return queue->isEmpty() ? 0.0 : queue->takeFirst(); };
}

} // namespace

class TestCreditColours : public QObject {
    Q_OBJECT
private slots:
    void firstLineWalksTheEvenEntries();
    void counterComesRound();
    void thirdLineTakesTheRandomColour_data();
    void thirdLineTakesTheRandomColour();
    void programRandomStaysInRange();
    void everyColourReadsOnItsBackground_data();
    void everyColourReadsOnItsBackground();
};

void TestCreditColours::firstLineWalksTheEvenEntries()
{
    // Black, green, red, dark yellow, grey, light green, light red, light yellow; then round again.
    const QList<Rgb> even = { { 0, 0, 0 }, { 0, 128, 0 }, { 128, 0, 0 }, { 128, 128, 0 }, { 128, 128, 128 },
        { 0, 255, 0 }, { 255, 0, 0 }, { 255, 255, 0 } };
    CreditColours colours(fromList({}));
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < even.size(); ++i) {
            const Rgb got = colours.tick().first;
            QVERIFY2(got == even.at(i),
                qPrintable(QStringLiteral("round %1, step %2: %3,%4,%5")
                               .arg(round)
                               .arg(i)
                               .arg(got.red)
                               .arg(got.green)
                               .arg(got.blue)));
        }
    }
}

void TestCreditColours::counterComesRound()
{
    CreditColours colours(fromList({}));
    QCOMPARE(colours.counter(), 0);
    for (int i = 1; i <= 8; ++i) {
        colours.tick();
        QCOMPARE(colours.counter(), 2 * i);
    }
    // Above 15: back to entry 0 before the colour is taken.
    QCOMPARE(colours.tick().first, Rgb({ 0, 0, 0 }));
    QCOMPARE(colours.counter(), 2);
}

void TestCreditColours::thirdLineTakesTheRandomColour_data()
{
    QTest::addColumn<QList<double>>("random");
    QTest::addColumn<Rgb>("colour");
    QTest::newRow("ends and middle") << QList<double> { 0.0, 0.5, 0.9999 } << Rgb { 0, 128, 255 };
    QTest::newRow("nearest whole number") << QList<double> { 0.002, 0.998, 0.25 } << Rgb { 1, 254, 64 };
    QTest::newRow("one third") << QList<double> { 1.0 / 3, 2.0 / 3, 0.1 } << Rgb { 85, 170, 26 };
    QTest::newRow("a source out of range is held to 0 and 255")
        << QList<double> { -1.0, 2.0, 0.0 } << Rgb { 0, 255, 0 };
}

void TestCreditColours::thirdLineTakesTheRandomColour()
{
    QFETCH(QList<double>, random);
    QFETCH(Rgb, colour);
    CreditColours colours(fromList(random));
    const Rgb got = colours.tick().third;
    QCOMPARE(got.red, colour.red);
    QCOMPARE(got.green, colour.green);
    QCOMPARE(got.blue, colour.blue);
}

void TestCreditColours::programRandomStaysInRange()
{
    CreditColours colours;
    QSet<int> seen;
    for (int i = 0; i < 200; ++i) {
        const Rgb c = colours.tick().third;
        for (int part : { c.red, c.green, c.blue })
            QVERIFY(part >= 0 && part <= 255);
        seen.insert((c.red << 16) | (c.green << 8) | c.blue);
    }
    // Random colours, not one colour over and over.
    QVERIFY(seen.size() > 100);
}

// On a light window, a dark one and the grey between, every colour the lines can take is drawn at 4.5:1 or more, and
// one that reads already is left as it is.
void TestCreditColours::everyColourReadsOnItsBackground_data()
{
    QTest::addColumn<Rgb>("background");
    QTest::newRow("white") << Rgb { 255, 255, 255 };
    QTest::newRow("light window") << Rgb { 239, 239, 239 };
    QTest::newRow("dark theme") << Rgb { 30, 27, 58 };
    QTest::newRow("black") << Rgb { 0, 0, 0 };
    QTest::newRow("middle grey") << Rgb { 118, 118, 118 };
}

void TestCreditColours::everyColourReadsOnItsBackground()
{
    QFETCH(Rgb, background);
    QList<Rgb> colours;
    for (int i = 0; i < 16; ++i)
        colours << CreditColours::paletteEntry(i);
    for (int r = 0; r <= 255; r += 51)
        for (int g = 0; g <= 255; g += 51)
            for (int b = 0; b <= 255; b += 51)
                colours << Rgb { r, g, b };
    for (const Rgb& colour : colours) {
        const Rgb drawn = CreditColours::readableOn(colour, background);
        QVERIFY2(CreditColours::contrast(drawn, background) >= 4.5,
            qPrintable(QStringLiteral("%1,%2,%3").arg(colour.red).arg(colour.green).arg(colour.blue)));
        if (CreditColours::contrast(colour, background) >= 4.5)
            QCOMPARE(drawn, colour);
    }
    QCOMPARE(CreditColours::contrast(Rgb { 0, 0, 0 }, Rgb { 255, 255, 255 }), 21.0);
}

QTEST_GUILESS_MAIN(TestCreditColours)
#include "TestCreditColours.moc"
