#include "ui/LeadingNumber.h"

#include <QTest>

class TestLeadingNumber : public QObject {
    Q_OBJECT
private slots:
    void leadingNumber_data();
    void leadingNumber();
    void wholeNumber_data();
    void wholeNumber();
};

void TestLeadingNumber::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("blanks only") << "   " << 0.0;
    QTest::newRow("digits") << "35" << 35.0;
    QTest::newRow("leading zeros") << "007" << 7.0;
    QTest::newRow("leading blanks") << "  12" << 12.0;
    QTest::newRow("leading tab") << "\t12" << 12.0;
    QTest::newRow("trailing text") << "12abc" << 12.0;
    QTest::newRow("trailing blank then digits") << "12 3" << 12.0;
    QTest::newRow("minus") << "-1" << -1.0;
    QTest::newRow("plus") << "+4" << 4.0;
    QTest::newRow("sign alone") << "-" << 0.0;
    QTest::newRow("sign then blank") << "- 4" << 0.0;
    QTest::newRow("fraction") << "2.5" << 2.5;
    QTest::newRow("trailing point") << "5." << 5.0;
    QTest::newRow("point then digits only") << ".5" << 0.5;
    QTest::newRow("point alone") << "." << 0.0;
    QTest::newRow("two points") << "1.2.3" << 1.2;
    QTest::newRow("one point zero") << "1.0" << 1.0;
    QTest::newRow("text first") << "abc12" << 0.0;
    // A box that draws its number with Persian digits reads back as that number.
    QTest::newRow("Persian digits") << QStringLiteral("۱۲") << 12.0;
    QTest::newRow("Arabic-Indic digits") << QStringLiteral("\u0661\u0662") << 12.0;
    QTest::newRow("Persian digits with a fraction") << QStringLiteral(" ۱۲.۵ درصد") << 12.5;
    QTest::newRow("Persian digits after text") << QStringLiteral("درصد ۱۲") << 0.0;
    QTest::newRow("Persian text") << QStringLiteral("خيلي") << 0.0;
    QTest::newRow("exponent is not read") << "1e3" << 1.0;
}

void TestLeadingNumber::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(::leadingNumber(text), value);
}

void TestLeadingNumber::wholeNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("whole") << "11" << 11;
    QTest::newRow("whole with point zero") << "1.0" << 1;
    QTest::newRow("blank then whole") << " 1" << 1;
    QTest::newRow("fraction falls back") << "2.5" << -99;
    QTest::newRow("empty is zero") << "" << 0;
    QTest::newRow("negative") << "-3" << -3;
    QTest::newRow("too large falls back") << "99999999999999999999" << -99;
}

void TestLeadingNumber::wholeNumber()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(leadingWholeNumber(text, -99), value);
}

QTEST_GUILESS_MAIN(TestLeadingNumber)
#include "TestLeadingNumber.moc"
