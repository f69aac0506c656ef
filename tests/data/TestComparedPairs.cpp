#include "data/ComparedPairs.h"
#include "support/TestProgram.h"

#include <QTest>

namespace {

const QString couple = ComparedPairs::CoupleKind;
const QString followUp = ComparedPairs::FollowUpKind;

// "1001-1002 Couple": a pair as the tests write it.
ComparedPairs::Pair pairFrom(const QString& text)
{
    const QStringList words = text.split(QLatin1Char(' '));
    const QStringList codes = words.at(0).split(QLatin1Char('-'));
    return { codes.at(0), codes.at(1), words.at(1) };
}

QString textOf(const std::optional<ComparedPairs::Pair>& pair)
{
    return pair ? pair->firstCode + QLatin1Char('-') + pair->secondCode + QLatin1Char(' ') + pair->kind : QString();
}

// A pair is remembered only between examinees: every code the pairs name is registered first.
void registerCodesOf(TestProgram& program, const QStringList& pairs)
{
    QStringList codes;
    for (const QString& pair : pairs)
        for (const QString& code : pair.section(QLatin1Char(' '), 0, 0).split(QLatin1Char('-')))
            if (!codes.contains(code))
                codes << code;
    for (const QString& code : codes)
        program.addExaminee(code);
}

} // namespace

class TestComparedPairs : public QObject {
    Q_OBJECT
private slots:
    void onePairPerKind_data();
    void onePairPerKind();
    void removedCodeLeavesEveryPair();
};

void TestComparedPairs::onePairPerKind_data()
{
    QTest::addColumn<QStringList>("remembered"); // in order
    QTest::addColumn<QStringList>("pairOf"); // "code=pair" the code brings back ("code=" for none)
    QTest::addColumn<QStringList>("partners"); // "code=partner" of every couple, sorted
    QTest::addColumn<int>("rows");

    QTest::newRow("a couple") << QStringList { "1001-1002 Couple" }
                              << QStringList { "1001=1001-1002 Couple", "1002=1001-1002 Couple" }
                              << QStringList { "1001=1002", "1002=1001" } << 1;
    QTest::newRow("a couple, then one of them before and after")
        << QStringList { "1001-1002 Couple", "1001-1001b FollowUp" }
        << QStringList { "1001=1001-1001b FollowUp", "1002=1001-1002 Couple", "1001b=1001-1001b FollowUp" }
        << QStringList { "1001=1002", "1002=1001" } << 2;
    QTest::newRow("before and after, then the couple")
        << QStringList { "1001-1001b FollowUp", "1002-1001 Couple" }
        << QStringList { "1001=1002-1001 Couple", "1001b=1001-1001b FollowUp" }
        << QStringList { "1001=1002", "1002=1001" } << 2;
    QTest::newRow("a new couple takes the place of the old one")
        << QStringList { "1001-1002 Couple", "1001-1001b FollowUp", "1003-1001 Couple" }
        << QStringList { "1001=1003-1001 Couple", "1002=", "1003=1003-1001 Couple", "1001b=1001-1001b FollowUp" }
        << QStringList { "1001=1003", "1003=1001" } << 2;
    QTest::newRow("a new follow-up takes the place of the old one")
        << QStringList { "1001-1001b FollowUp", "1001-1002 Couple", "1001b-1001c FollowUp" }
        << QStringList { "1001=1001-1002 Couple", "1001b=1001b-1001c FollowUp", "1001c=1001b-1001c FollowUp" }
        << QStringList { "1001=1002", "1002=1001" } << 2;
    QTest::newRow("the same couple again")
        << QStringList { "1001-1002 Couple", "1002-1001 Couple" } << QStringList { "1001=1002-1001 Couple" }
        << QStringList { "1001=1002", "1002=1001" } << 1;
    QTest::newRow("two pairs of each kind, one code in all")
        << QStringList { "1-2 Couple", "1-1b FollowUp", "3-4 Couple", "3-3b FollowUp", "1-3 Couple" }
        << QStringList { "1=1-3 Couple", "2=", "3=1-3 Couple", "4=", "3b=3-3b FollowUp", "1b=1-1b FollowUp" }
        << QStringList { "1=3", "3=1" } << 3;
}

void TestComparedPairs::onePairPerKind()
{
    QFETCH(QStringList, remembered);
    QFETCH(QStringList, pairOf);
    QFETCH(QStringList, partners);
    QFETCH(int, rows);
    TestProgram p;
    registerCodesOf(p, remembered);
    ComparedPairs pairs(p.database());
    for (const QString& pair : remembered)
        QVERIFY2(pairs.remember(pairFrom(pair)), qPrintable(pairs.error()));

    for (const QString& expected : pairOf) {
        const QString code = expected.section(QLatin1Char('='), 0, 0);
        QCOMPARE(code + QLatin1Char('=') + textOf(ComparedPairs(p.database()).pairOf(code)), expected);
    }
    QHash<QString, QString> found;
    QVERIFY(ComparedPairs(p.database()).couplePartners(found));
    QStringList foundPartners;
    for (auto it = found.cbegin(); it != found.cend(); ++it)
        foundPartners << it.key() + QLatin1Char('=') + it.value();
    foundPartners.sort();
    QCOMPARE(foundPartners, partners);
    QCOMPARE(p.rowCount(QStringLiteral("ComparedPairs")), rows);
}

void TestComparedPairs::removedCodeLeavesEveryPair()
{
    TestProgram p;
    const QStringList remembered { "1001-1002 Couple", "1001-1001b FollowUp", "1003-1004 Couple" };
    registerCodesOf(p, remembered);
    ComparedPairs pairs(p.database());
    for (const QString& pair : remembered)
        QVERIFY2(pairs.remember(pairFrom(pair)), qPrintable(pairs.error()));
    QVERIFY(pairs.removeCode(QStringLiteral("1001")));
    QCOMPARE(textOf(pairs.pairOf(QStringLiteral("1002"))), QString());
    QCOMPARE(textOf(pairs.pairOf(QStringLiteral("1001b"))), QString());
    QCOMPARE(textOf(pairs.pairOf(QStringLiteral("1004"))), QStringLiteral("1003-1004 Couple"));
    QCOMPARE(p.rowCount(QStringLiteral("ComparedPairs")), 1);
}

QTEST_MAIN(TestComparedPairs)
#include "TestComparedPairs.moc"
