#include "data/ComparedPairs.h"
#include "support/TestProgram.h"

#include <QTest>

// A comparison is remembered only for two examinees that exist when it is stored: a code deleted meanwhile (by
// another window or another computer) is never left paired with nobody.
class TestPairCodes : public QObject {
    Q_OBJECT
private slots:
    void aPairIsStoredOnlyWhenBothCodesExist_data();
    void aPairIsStoredOnlyWhenBothCodesExist();
};

void TestPairCodes::aPairIsStoredOnlyWhenBothCodesExist_data()
{
    QTest::addColumn<QStringList>("deleted");
    QTest::addColumn<QStringList>("missing");
    QTest::newRow("both there") << QStringList {} << QStringList {};
    QTest::newRow("the second deleted") << QStringList { "1002" } << QStringList { "1002" };
    QTest::newRow("the first deleted") << QStringList { "1001" } << QStringList { "1001" };
    QTest::newRow("both deleted") << QStringList { "1001", "1002" } << QStringList { "1001", "1002" };
}

void TestPairCodes::aPairIsStoredOnlyWhenBothCodesExist()
{
    QFETCH(QStringList, deleted);
    QFETCH(QStringList, missing);
    TestProgram program;
    for (const char* code : { "1001", "1002", "1003" })
        program.addExaminee(QString::fromLatin1(code));
    ComparedPairs pairs(program.database());
    // An earlier comparison of 1001, kept when the new one is refused.
    QVERIFY(pairs.remember({ QStringLiteral("1001"), QStringLiteral("1003"), ComparedPairs::FollowUpKind }));
    for (const QString& code : deleted)
        for (const char* table : { "IDE", "Answer" })
            program.exec(QStringLiteral("DELETE FROM %1 WHERE Code = ?").arg(QLatin1String(table)), { code });

    const bool stored
        = pairs.remember({ QStringLiteral("1001"), QStringLiteral("1002"), ComparedPairs::CoupleKind });
    QCOMPARE(stored, missing.isEmpty());
    QCOMPARE(pairs.missingCodes(), missing);
    if (stored) {
        QCOMPARE(program.rowCount(QStringLiteral("ComparedPairs"), QStringLiteral("SecondCode"), QStringLiteral("1002")),
            1);
        return;
    }
    QVERIFY(!pairs.busy());
    for (const QString& code : missing)
        QVERIFY2(pairs.error().contains(code), qPrintable(pairs.error()));
    // Nothing of the refused pair is stored, and what was remembered before stays.
    QCOMPARE(program.rowCount(QStringLiteral("ComparedPairs"), QStringLiteral("SecondCode"), QStringLiteral("1002")), 0);
    QCOMPARE(program.rowCount(QStringLiteral("ComparedPairs"), QStringLiteral("SecondCode"), QStringLiteral("1003")), 1);
}

QTEST_GUILESS_MAIN(TestPairCodes)
#include "TestPairCodes.moc"
