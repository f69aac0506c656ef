#include "questionnaire/ItemNumberRule.h"

#include <QTest>

using ItemNumberRule::Step;

Q_DECLARE_METATYPE(ItemNumberRule::Step)

class TestItemNumberRule : public QObject {
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void countFrom_data();
    void countFrom();
};

void TestItemNumberRule::read_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Step>("step");
    QTest::addColumn<int>("item");

    QTest::newRow("empty") << "" << Step::StartOver << 0;
    QTest::newRow("blanks only") << "   " << Step::StartOver << 0;
    QTest::newRow("letters") << "abc" << Step::StartOver << 0;
    QTest::newRow("number then letters") << "4a" << Step::StartOver << 0;
    QTest::newRow("fraction") << "2.5" << Step::StartOver << 0;
    QTest::newRow("sign alone") << "-" << Step::StartOver << 0;
    // The box draws its number with Persian digits and reads digits of any script.
    QTest::newRow("persian digits") << "۴" << Step::Load << 4;
    QTest::newRow("persian digits past the last item") << "۴۰" << Step::PastLast << 0;
    QTest::newRow("arabic-indic digits") << "\u0663\u0665" << Step::Load << 35;
    QTest::newRow("persian digits with a letter") << "۴a" << Step::StartOver << 0;
    QTest::newRow("minus one") << "-1" << Step::BeforeFirst << 0;
    QTest::newRow("far below") << "-99999999999999" << Step::BeforeFirst << 0;
    QTest::newRow("zero") << "0" << Step::Rest << 0;
    QTest::newRow("zeros") << "000" << Step::Rest << 0;
    QTest::newRow("minus zero") << "-0" << Step::Rest << 0;
    QTest::newRow("first") << "1" << Step::Load << 1;
    QTest::newRow("leading zeros") << "007" << Step::Load << 7;
    QTest::newRow("plus sign") << "+3" << Step::Load << 3;
    QTest::newRow("blanks around") << " 12 " << Step::Load << 12;
    QTest::newRow("reversed item") << "34" << Step::Load << 34;
    QTest::newRow("last") << "35" << Step::Load << 35;
    QTest::newRow("one past") << "36" << Step::PastLast << 0;
    QTest::newRow("typed forty") << "40" << Step::PastLast << 0;
    QTest::newRow("zero padded past") << "0036" << Step::PastLast << 0;
    QTest::newRow("far above") << "123456789012345678901234567890" << Step::PastLast << 0;
}

void TestItemNumberRule::read()
{
    QFETCH(QString, text);
    QFETCH(Step, step);
    QFETCH(int, item);
    const ItemNumberRule::Reading reading = ItemNumberRule::read(text);
    QCOMPARE(reading.step, step);
    QCOMPARE(reading.item, item);
}

void TestItemNumberRule::countFrom_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");

    QTest::newRow("empty counts as 0") << "" << 0;
    QTest::newRow("no number counts as 0") << "x" << 0;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("item") << "17" << 17;
    QTest::newRow("leading zeros") << "035" << 35;
    QTest::newRow("negative") << "-1" << -1;
}

void TestItemNumberRule::countFrom()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(ItemNumberRule::countFrom(text), value);
}

QTEST_APPLESS_MAIN(TestItemNumberRule)
#include "TestItemNumberRule.moc"
