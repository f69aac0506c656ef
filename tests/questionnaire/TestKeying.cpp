#include "questionnaire/Keying.h"

#include <QTest>

#include <set>

namespace {

// Written out here on its own so that a slip in the program's list shows up as a failure.
const std::set<int> reversed = {3, 5, 6, 7, 10, 13, 14, 18, 19, 21, 22, 23, 26, 27, 28, 29, 32, 33, 34};
const std::set<int> direct = {1, 2, 4, 8, 9, 11, 12, 15, 16, 17, 20, 24, 25, 30, 31, 35};

struct OptionRow {
    int option;
    const char* caption;
    int directScore;
    int reversedScore;
};

// The option table: caption, score on a direct item, score on a reversed item.
const OptionRow optionTable[] = {
    {1, "کاملاً مخالف", 1, 5},
    {2, "مخالف", 2, 4},
    {3, "نظري ندارم", 3, 3},
    {4, "موافقم", 4, 2},
    {5, "کاملاً موافقم", 5, 1},
};

} // namespace

class TestKeying : public QObject {
    Q_OBJECT

private slots:
    void reversedAndDirectListsCoverEveryItemOnce();
    void isReversedItem_data();
    void isReversedItem();
    void optionCaptions();
    void scoreForOption_data();
    void scoreForOption();
    void optionForScore_data();
    void optionForScore();
    void roundTripFromOption();
    void roundTripFromStoredValue();
    void invalidOptionsGiveNoScore_data();
    void invalidOptionsGiveNoScore();
    void storedValuesThatSelectNoOption_data();
    void storedValuesThatSelectNoOption();
    void choosingStronglyDisagree();
};

void TestKeying::reversedAndDirectListsCoverEveryItemOnce()
{
    QCOMPARE(reversed.size(), std::size_t(19));
    QCOMPARE(direct.size(), std::size_t(16));
    for (int item = 1; item <= 35; ++item)
        QVERIFY2(reversed.count(item) + direct.count(item) == 1, qPrintable(QString::number(item)));
}

void TestKeying::isReversedItem_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<bool>("expected");
    for (int item = 1; item <= 35; ++item)
        QTest::addRow("item %d", item) << item << (reversed.count(item) == 1);
    QTest::addRow("item 0") << 0 << false;
    QTest::addRow("item 36") << 36 << false;
    QTest::addRow("item -3") << -3 << false;
}

void TestKeying::isReversedItem()
{
    QFETCH(int, item);
    QFETCH(bool, expected);
    QCOMPARE(::isReversedItem(item), expected);
}

void TestKeying::optionCaptions()
{
    const std::array<QString, 5>& captions = ::optionCaptions();
    for (std::size_t i = 0; i < captions.size(); ++i)
        QCOMPARE(captions[i], QString::fromUtf8(optionTable[i].caption));
}

void TestKeying::scoreForOption_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("option");
    QTest::addColumn<int>("expected");
    for (int item = 1; item <= 35; ++item) {
        for (const OptionRow& row : optionTable) {
            const int score = reversed.count(item) ? row.reversedScore : row.directScore;
            QTest::addRow("item %d Option%d", item, row.option) << item << row.option << score;
        }
    }
}

void TestKeying::scoreForOption()
{
    QFETCH(int, item);
    QFETCH(int, option);
    QFETCH(int, expected);
    QCOMPARE(::scoreForOption(item, option), expected);
}

void TestKeying::optionForScore_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("expected");
    for (int item = 1; item <= 35; ++item) {
        for (const OptionRow& row : optionTable) {
            const int score = reversed.count(item) ? row.reversedScore : row.directScore;
            QTest::addRow("item %d stored %d", item, score) << item << QString::number(score) << row.option;
        }
    }
}

void TestKeying::optionForScore()
{
    QFETCH(int, item);
    QFETCH(QString, stored);
    QFETCH(int, expected);
    QCOMPARE(::optionForScore(item, stored), expected);
}

void TestKeying::roundTripFromOption()
{
    for (int item = 1; item <= 35; ++item) {
        for (int option = 1; option <= 5; ++option) {
            const int score = ::scoreForOption(item, option);
            QVERIFY2(score >= 1 && score <= 5, qPrintable(QStringLiteral("item %1 option %2").arg(item).arg(option)));
            QCOMPARE(::optionForScore(item, QString::number(score)), option);
        }
    }
}

void TestKeying::roundTripFromStoredValue()
{
    for (int item = 1; item <= 35; ++item) {
        for (int score = 1; score <= 5; ++score) {
            const int option = ::optionForScore(item, QString::number(score));
            QCOMPARE(::scoreForOption(item, option), score);
        }
    }
}

void TestKeying::invalidOptionsGiveNoScore_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("option");
    QTest::newRow("option 0 direct") << 1 << 0;
    QTest::newRow("option 6 direct") << 1 << 6;
    QTest::newRow("option 0 reversed") << 3 << 0;
    QTest::newRow("option 6 reversed") << 3 << 6;
    QTest::newRow("option -1") << 2 << -1;
    QTest::newRow("item 0") << 0 << 1;
    QTest::newRow("item 36") << 36 << 1;
    QTest::newRow("item -1") << -1 << 3;
}

void TestKeying::invalidOptionsGiveNoScore()
{
    QFETCH(int, item);
    QFETCH(int, option);
    QCOMPARE(::scoreForOption(item, option), 0);
}

void TestKeying::storedValuesThatSelectNoOption_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("stored");
    for (int item : {1, 3}) {
        const char* kind = item == 1 ? "direct" : "reversed";
        QTest::addRow("%s empty", kind) << item << QString();
        QTest::addRow("%s 0", kind) << item << QStringLiteral("0");
        QTest::addRow("%s 6", kind) << item << QStringLiteral("6");
        QTest::addRow("%s 9", kind) << item << QStringLiteral("9");
        QTest::addRow("%s x", kind) << item << QStringLiteral("x");
        QTest::addRow("%s blank", kind) << item << QStringLiteral(" ");
        QTest::addRow("%s leading blank", kind) << item << QStringLiteral(" 3");
        QTest::addRow("%s trailing blank", kind) << item << QStringLiteral("3 ");
        QTest::addRow("%s 03", kind) << item << QStringLiteral("03");
        QTest::addRow("%s 12", kind) << item << QStringLiteral("12");
        QTest::addRow("%s +3", kind) << item << QStringLiteral("+3");
        QTest::addRow("%s -3", kind) << item << QStringLiteral("-3");
        QTest::addRow("%s 3.0", kind) << item << QStringLiteral("3.0");
        QTest::addRow("%s 3x", kind) << item << QStringLiteral("3x");
        QTest::addRow("%s Persian three", kind) << item << QStringLiteral("\u06F3");
        QTest::addRow("%s Arabic-Indic three", kind) << item << QStringLiteral("\u0663");
    }
    QTest::newRow("item 0") << 0 << QStringLiteral("3");
    QTest::newRow("item 36") << 36 << QStringLiteral("3");
}

void TestKeying::storedValuesThatSelectNoOption()
{
    QFETCH(int, item);
    QFETCH(QString, stored);
    QCOMPARE(::optionForScore(item, stored), 0);
}

void TestKeying::choosingStronglyDisagree()
{
    // Item 3 is reversed, item 1 direct; returning to item 3 selects the same option again.
    QCOMPARE(::scoreForOption(3, 1), 5);
    QCOMPARE(::scoreForOption(1, 1), 1);
    QCOMPARE(::optionForScore(3, QStringLiteral("5")), 1);
    QCOMPARE(::optionForScore(1, QStringLiteral("1")), 1);
}

QTEST_APPLESS_MAIN(TestKeying)
#include "TestKeying.moc"
