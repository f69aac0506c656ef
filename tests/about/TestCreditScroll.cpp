#include "SampleMaker.h"
#include "about/CreditScroll.h"

#include <QRegularExpression>
#include <QTest>

#include <array>

namespace {

// Lines that say which slot they are, so a test can read the slot back from a caption.
QStringList numberedLines()
{
    QStringList lines;
    for (int i = 0; i < CreditScroll::SlotCount; ++i)
        lines << QStringLiteral("slot %1").arg(i);
    return lines;
}

std::array<int, CreditScroll::LabelCount> topsOf(const CreditScroll& scroll)
{
    std::array<int, CreditScroll::LabelCount> tops {};
    for (int i = 0; i < CreditScroll::LabelCount; ++i)
        tops.at(i) = scroll.top(i);
    return tops;
}

} // namespace

class TestCreditScroll : public QObject {
    Q_OBJECT
private slots:
    void linesWithEveryDetail();
    void linesWithoutDetails();
    void startState();
    void slotsShownInTurn();
    void oneTickMovesOrWraps_data();
    void oneTickMovesOrWraps();
};

void TestCreditScroll::linesWithEveryDetail()
{
    const QStringList lines = CreditScroll::lines(fullDetails());
    QCOMPARE(lines.size(), 11);
    const QStringList expected = {
        QStringLiteral("نام نرم افزار:"),
        QStringLiteral(" نرم افزار پرسشنامه رضايت زناشويي تورين 35 ماده اي "),
        QStringLiteral("برنامه نويس: ") + apart(QStringLiteral("Reza Ahmadi")),
        QStringLiteral("تلفن : ") + apart(QStringLiteral("021-5555")) + QStringLiteral(" "),
        QStringLiteral(" ايميل : ") + apart(QStringLiteral("reza@maker.test")) + QStringLiteral("  "),
        QStringLiteral(" وب سايت : ") + apart(QStringLiteral("https://maker.test")),
        QStringLiteral("فروشگاه : ") + apart(QStringLiteral("https://shop.maker.test")),
        QString(),
        QString(),
        QString(),
        QString(),
    };
    QCOMPARE(lines, expected);
}

void TestCreditScroll::linesWithoutDetails()
{
    // No line names a detail that is not set: the programmer's line gives the program's name and version, the
    // others are empty.
    const QStringList lines = CreditScroll::lines(Maker::Details());
    QCOMPARE(lines.size(), 11);
    QCOMPARE(lines.at(0), QStringLiteral("نام نرم افزار:"));
    QVERIFY2(QRegularExpression(QStringLiteral("^Tovrin35 \\d+\\.\\d+")).match(lines.at(2)).hasMatch(),
        qPrintable(lines.at(2)));
    for (int slot = 3; slot < 11; ++slot)
        QVERIFY2(lines.at(slot).isEmpty(), qPrintable(QString::number(slot)));

    // A detail of blanks only counts as not set.
    Maker::Details blanks;
    blanks.telephone = QStringLiteral("  ");
    blanks.shop = QStringLiteral(" ");
    QCOMPARE(CreditScroll::lines(blanks).at(3), QString());
    QCOMPARE(CreditScroll::lines(blanks).at(6), QString());
}

void TestCreditScroll::startState()
{
    const CreditScroll scroll(numberedLines(), 5010);
    const std::array<int, 4> tops = { 1920, 2640, 3240, 3840 };
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(scroll.top(i), tops.at(i));
        QCOMPARE(scroll.caption(i), QStringLiteral("slot %1").arg(i));
    }
    QCOMPARE(scroll.counter(), 4);
}

void TestCreditScroll::slotsShownInTurn()
{
    CreditScroll scroll(numberedLines(), 5010);
    QList<int> shown;
    for (int t = 0; t < 5000 && shown.size() < 20; ++t) {
        const int wrapped = scroll.tick();
        if (wrapped >= 0)
            shown << scroll.caption(wrapped).mid(5).toInt();
    }
    const QList<int> expected = { 4, 5, 6, 7, 8, 0, 1, 2, 3, 4, 5, 6, 7, 8, 0, 1, 2, 3, 4, 5 };
    QCOMPARE(shown, expected);
}

void TestCreditScroll::oneTickMovesOrWraps_data()
{
    QTest::addColumn<int>("windowHeight");
    QTest::newRow("the window's height") << 5010;
    // So short that a wrapped label is at the top again at once: the first one keeps wrapping, the others wait.
    QTest::newRow("short window") << 2500;
    QTest::newRow("tall window") << 9000;
}

void TestCreditScroll::oneTickMovesOrWraps()
{
    QFETCH(int, windowHeight);
    CreditScroll scroll(numberedLines(), windowHeight);
    int wraps = 0;
    int lastWrap = 0;
    for (int t = 1; t <= 20000; ++t) {
        const auto before = topsOf(scroll);
        const int wrapped = scroll.tick();
        const auto after = topsOf(scroll);
        int moved = 0;
        for (int i = 0; i < 4; ++i) {
            if (after.at(i) == before.at(i) - 15)
                continue;
            // The one label that wrapped: it was at the top and now lies 1500 twips above the window's bottom,
            // moved up with the others.
            ++moved;
            QCOMPARE(i, wrapped);
            QVERIFY(before.at(i) <= 1000);
            QCOMPARE(after.at(i), windowHeight - 1500 - 15);
            // Only the first label at the top wraps.
            for (int j = 0; j < i; ++j)
                QVERIFY(before.at(j) > 1000);
        }
        QVERIFY(moved <= 1);
        QCOMPARE(moved, wrapped >= 0 ? 1 : 0);
        QVERIFY(scroll.counter() >= 0 && scroll.counter() <= 8);
        // The lines never stop: the next one comes round within the time a label takes to rise.
        if (wrapped >= 0)
            lastWrap = t;
        QVERIFY(t - lastWrap <= (windowHeight - 1500) / 15);
        wraps += moved;
    }
    QVERIFY(wraps > 100);
}

QTEST_GUILESS_MAIN(TestCreditScroll)
#include "TestCreditScroll.moc"
