#include "about/CreditSentence.h"

#include <QTest>

namespace {

// Ticks until the sentence has settled (or `limit` ticks have passed) and returns how many ticks that took.
int tickUntilSettled(CreditSentence& sentence, int limit = 10000)
{
    int ticks = 0;
    while (!sentence.settled() && ticks < limit) {
        sentence.tick();
        ++ticks;
    }
    return ticks;
}

} // namespace

class TestCreditSentence : public QObject {
    Q_OBJECT
private slots:
    void spreadOut_data();
    void spreadOut();
    void stepByStep();
    void endsPlainlySpaced_data();
    void endsPlainlySpaced();
    void furtherTicksChangeNothing();
    void emptyText();
};

void TestCreditSentence::spreadOut_data()
{
    QTest::addColumn<QString>("programmer");
    QTest::addColumn<QString>("letters"); // the sentence with its blanks taken out
    QTest::newRow("two-part name") << "Reza Ahmadi"
                                   << "This.Program.Is.Created.By.Reza..Ahmadi.";
    QTest::newRow("three parts") << "Ali Reza Ahmadi"
                                 << "This.Program.Is.Created.By.Ali..Reza..Ahmadi.";
    QTest::newRow("one part") << "Ahmadi"
                              << "This.Program.Is.Created.By.Ahmadi.";
    QTest::newRow("outer and doubled blanks") << "  Reza   Ahmadi "
                                              << "This.Program.Is.Created.By.Reza..Ahmadi.";
    QTest::newRow("tab between parts") << "Reza\tAhmadi"
                                       << "This.Program.Is.Created.By.Reza..Ahmadi.";
    QTest::newRow("no programmer") << ""
                                   << "Tovrin35.";
    QTest::newRow("blanks only") << "   "
                                 << "Tovrin35.";
}

void TestCreditSentence::spreadOut()
{
    QFETCH(QString, programmer);
    QFETCH(QString, letters);
    const QString spread = CreditSentence::spreadOut(programmer);
    QString taken = spread;
    taken.remove(QLatin1Char(' '));
    QCOMPARE(taken, letters);
    // Every character is followed by blanks, the last by none: the sentence starts and ends with a character.
    QVERIFY(!spread.startsWith(QLatin1Char(' ')));
    QVERIFY(spread.endsWith(QLatin1Char('.')));
    for (qsizetype i = 0; i + 1 < spread.size(); ++i) {
        if (spread.at(i) != QLatin1Char(' '))
            QVERIFY2(spread.at(i + 1) == QLatin1Char(' '), qPrintable(QString::number(i)));
    }
}

void TestCreditSentence::stepByStep()
{
    // Blanks go first, one per tick from the left; one tick finds none and turns to the dots; each dot then
    // becomes a blank, from the left.
    CreditSentence sentence(QStringLiteral("a  b.c."));
    const QStringList expected = { "a b.c.", "ab.c.", "ab.c.", "ab c.", "ab c ", "ab c ", "ab c " };
    const QList<bool> changed = { true, true, false, true, true, false, false };
    for (int i = 0; i < expected.size(); ++i) {
        QCOMPARE(sentence.tick(), changed.at(i));
        QCOMPARE(sentence.text(), expected.at(i));
    }
    QVERIFY(sentence.settled());
}

void TestCreditSentence::endsPlainlySpaced_data()
{
    QTest::addColumn<QString>("programmer");
    QTest::addColumn<QString>("sentence");
    QTest::newRow("two-part name") << "Reza Ahmadi"
                                   << "This Program Is Created By Reza  Ahmadi ";
    QTest::newRow("three parts") << "Ali Reza Ahmadi"
                                 << "This Program Is Created By Ali  Reza  Ahmadi ";
    QTest::newRow("no programmer") << ""
                                   << "Tovrin35 ";
}

void TestCreditSentence::endsPlainlySpaced()
{
    QFETCH(QString, programmer);
    QFETCH(QString, sentence);
    const QString start = CreditSentence::spreadOut(programmer);
    CreditSentence credit(start);
    QVERIFY(!credit.settled());
    const int ticks = tickUntilSettled(credit);
    QCOMPARE(credit.text(), sentence);
    // One tick per blank, one to turn to the dots, one per dot.
    QCOMPARE(ticks, start.count(QLatin1Char(' ')) + 1 + start.count(QLatin1Char('.')));
}

void TestCreditSentence::furtherTicksChangeNothing()
{
    CreditSentence credit(CreditSentence::spreadOut(QStringLiteral("Reza Ahmadi")));
    tickUntilSettled(credit);
    const QString settled = credit.text();
    for (int i = 0; i < 200; ++i)
        QVERIFY(!credit.tick());
    QCOMPARE(credit.text(), settled);
    QVERIFY(credit.settled());
}

void TestCreditSentence::emptyText()
{
    CreditSentence credit { QString() };
    QVERIFY(!credit.tick());
    QVERIFY(credit.settled());
    QVERIFY(!credit.tick());
    QCOMPARE(credit.text(), QString());
}

QTEST_GUILESS_MAIN(TestCreditSentence)
#include "TestCreditSentence.moc"
