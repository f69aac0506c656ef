#include "scoring/PairComparison.h"
#include "support/OwnSettings.h"
#include "text/ShownNumbers.h"

#include <QTest>

namespace {

// Stored keyed answers: every item `fill`, then the listed items set.
QStringList sheet(int fill, std::initializer_list<std::pair<int, int>> items = {})
{
    QStringList answers(35, QString::number(fill));
    for (const auto& [item, keyed] : items)
        answers[item - 1] = QString::number(keyed);
    return answers;
}

ShownResults shown(const QString& code, const QString& tahrifeLevel = QStringLiteral("متوسط"))
{
    ShownResults results;
    results.code = code;
    for (Scale scale : allScales)
        results.of(scale) = { QStringLiteral("30"), QStringLiteral("50"), QStringLiteral("متوسط"), QString() };
    results.of(Scale::TahrifeA).level = tahrifeLevel;
    return results;
}

} // namespace

Q_DECLARE_METATYPE(Agreement)

class TestPairComparison : public QObject {
    Q_OBJECT

private slots:
    void categoryOfAPair_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::addColumn<Agreement>("expected");
        QTest::newRow("5 5") << 5 << 5 << Agreement::Positive;
        QTest::newRow("4 5") << 4 << 5 << Agreement::Positive;
        QTest::newRow("4 4") << 4 << 4 << Agreement::Positive;
        QTest::newRow("1 1") << 1 << 1 << Agreement::Negative;
        QTest::newRow("2 1") << 2 << 1 << Agreement::Negative;
        QTest::newRow("2 2") << 2 << 2 << Agreement::Negative;
        QTest::newRow("5 1") << 5 << 1 << Agreement::Disagreement;
        QTest::newRow("2 4") << 2 << 4 << Agreement::Disagreement;
        QTest::newRow("1 4") << 1 << 4 << Agreement::Disagreement;
        QTest::newRow("3 3 tie") << 3 << 3 << Agreement::Undecided;
        QTest::newRow("3 5") << 3 << 5 << Agreement::Undecided;
        QTest::newRow("1 3") << 1 << 3 << Agreement::Undecided;
        QTest::newRow("out of range") << 0 << 5 << Agreement::Undecided;
    }
    void categoryOfAPair()
    {
        QFETCH(int, first);
        QFETCH(int, second);
        QFETCH(Agreement, expected);
        QCOMPARE(agreementFor(first, second), expected);
        QCOMPARE(agreementFor(second, first), expected);
    }

    // Hand-worked: keyed values as stored, the options each spouse clicked, and the category. Items 3, 5, 6 and 7 are
    // reversed, so their clicked option is the stored value turned round.
    void itemsOfACouple_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<int>("firstOption");
        QTest::addColumn<int>("secondOption");
        QTest::addColumn<int>("expected"); // Agreement, or -1 for none
        QTest::newRow("direct positive") << 1 << 5 << 4 << int(Agreement::Positive);
        QTest::newRow("reversed positive") << 3 << 1 << 2 << int(Agreement::Positive);
        QTest::newRow("direct negative") << 2 << 1 << 2 << int(Agreement::Negative);
        QTest::newRow("reversed negative") << 5 << 5 << 4 << int(Agreement::Negative);
        QTest::newRow("reversed disagreement") << 6 << 1 << 5 << int(Agreement::Disagreement);
        QTest::newRow("direct disagreement") << 9 << 2 << 4 << int(Agreement::Disagreement);
        QTest::newRow("reversed tie on 3") << 7 << 3 << 3 << int(Agreement::Undecided);
        QTest::newRow("direct undecided") << 11 << 3 << 5 << int(Agreement::Undecided);
        QTest::newRow("TahrifeA has none") << 4 << 5 << 1 << -1;
    }
    void itemsOfACouple()
    {
        QFETCH(int, item);
        QFETCH(int, firstOption);
        QFETCH(int, secondOption);
        QFETCH(int, expected);
        const QStringList first
            = sheet(3, { { 1, 5 }, { 3, 5 }, { 2, 1 }, { 5, 1 }, { 6, 5 }, { 9, 2 }, { 11, 3 }, { 4, 5 } });
        const QStringList second
            = sheet(3, { { 1, 4 }, { 3, 4 }, { 2, 2 }, { 5, 2 }, { 6, 1 }, { 9, 4 }, { 11, 5 }, { 4, 1 } });
        const auto comparison = comparePair(ComparisonKind::Couple, shown("A"), first, shown("B"), second);
        QVERIFY(comparison);
        const PairComparison::ItemRow& row = comparison->item(item);
        QCOMPARE(row.firstOption, firstOption);
        QCOMPARE(row.secondOption, secondOption);
        QCOMPARE(row.agreement ? int(*row.agreement) : -1, expected);
        QCOMPARE(comparison->toTalkAbout, (QList<int> { 2, 5, 6, 9 }));
        // Rezayat: item 1 of its ten; Ertebat: none; HaleT: item 3 only.
        QCOMPARE(comparison->agreement.size(), 3);
        QCOMPARE(comparison->agreement[0].positivePercent, 10);
        QCOMPARE(comparison->agreement[1].positivePercent, 0);
        QCOMPARE(comparison->agreement[2].positivePercent, 10);
    }

    void wholeCouples_data()
    {
        QTest::addColumn<QStringList>("first");
        QTest::addColumn<QStringList>("second");
        QTest::addColumn<int>("positivePercent"); // the same for the three content scales
        QTest::addColumn<int>("talkAbout");
        QTest::newRow("all agree") << sheet(5) << sheet(4) << 100 << 0;
        QTest::newRow("none agree") << sheet(5) << sheet(1) << 0 << 30;
        QTest::newRow("both unhappy") << sheet(2) << sheet(1) << 0 << 30;
        QTest::newRow("all on 3") << sheet(3) << sheet(3) << 0 << 0;
    }
    void wholeCouples()
    {
        QFETCH(QStringList, first);
        QFETCH(QStringList, second);
        QFETCH(int, positivePercent);
        QFETCH(int, talkAbout);
        const auto comparison = comparePair(ComparisonKind::Couple, shown("A"), first, shown("B"), second);
        QVERIFY(comparison);
        for (const PairComparison::ScaleAgreement& scale : comparison->agreement)
            QCOMPARE(scale.positivePercent, positivePercent);
        QCOMPARE(comparison->toTalkAbout.size(), talkAbout);
        QVERIFY(comparison->changedItems.isEmpty());
    }

    void wholePercents_data()
    {
        QTest::addColumn<int>("part");
        QTest::addColumn<int>("whole");
        QTest::addColumn<int>("expected");
        QTest::newRow("1/3") << 1 << 3 << 33;
        QTest::newRow("2/3") << 2 << 3 << 67;
        QTest::newRow("1/2") << 1 << 2 << 50;
        QTest::newRow("1/8 rounds half up") << 1 << 8 << 13;
        QTest::newRow("10/10") << 10 << 10 << 100;
        QTest::newRow("nothing of nothing") << 0 << 0 << 0;
    }
    void wholePercents()
    {
        QFETCH(int, part);
        QFETCH(int, whole);
        QFETCH(int, expected);
        QCOMPARE(wholePercent(part, whole), expected);
    }

    void differencesAreSecondMinusFirst_data()
    {
        QTest::addColumn<QString>("firstRaw");
        QTest::addColumn<QString>("secondRaw");
        QTest::addColumn<QString>("firstPercent");
        QTest::addColumn<QString>("secondPercent");
        QTest::addColumn<QString>("firstLevel");
        QTest::addColumn<QString>("secondLevel");
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("percent");
        QTest::addColumn<int>("steps");
        QTest::newRow("better") << "24"
                                << "36"
                                << "20"
                                << "65"
                                << "پايين"
                                << "بالا"
                                << "+12"
                                << "+45" << 2;
        QTest::newRow("worse") << "41"
                               << "31"
                               << "85"
                               << "45"
                               << "خيلي بالا"
                               << "متوسط"
                               << "-10"
                               << "-40" << -2;
        QTest::newRow("same") << "30"
                              << "30"
                              << "50"
                              << "50"
                              << "متوسط"
                              << "متوسط"
                              << "0"
                              << "0" << 0;
        QTest::newRow("no percent") << "30"
                                    << "31"
                                    << ""
                                    << "55"
                                    << ""
                                    << "متوسط"
                                    << "+1"
                                    << "" << 0;
    }
    void differencesAreSecondMinusFirst()
    {
        const OwnSettings settings;
        QFETCH(QString, firstRaw);
        QFETCH(QString, secondRaw);
        QFETCH(QString, firstPercent);
        QFETCH(QString, secondPercent);
        QFETCH(QString, firstLevel);
        QFETCH(QString, secondLevel);
        QFETCH(QString, raw);
        QFETCH(QString, percent);
        QFETCH(int, steps);
        ShownResults first = shown("A");
        ShownResults second = shown("B");
        first.of(Scale::Ertebat) = { firstRaw, firstPercent, firstLevel, QString() };
        second.of(Scale::Ertebat) = { secondRaw, secondPercent, secondLevel, QString() };
        const auto comparison = comparePair(ComparisonKind::FollowUp, first, sheet(3), second, sheet(3));
        QVERIFY(comparison);
        const PairComparison::ScaleRow& row = comparison->row(Scale::Ertebat);
        // Drawn with Persian digits unless the operator turned them off; the sign stays in front.
        QCOMPARE(signedFigure(row.rawDifference), ShownNumbers::text(raw));
        QCOMPARE(signedFigure(row.percentDifference), ShownNumbers::text(percent));
        QCOMPARE(row.levelSteps, steps);
        QCOMPARE(signedFigure(comparison->row(Scale::Rezayat).rawDifference), QStringLiteral("۰"));
        ShownNumbers::setPersianDigits(false);
        QCOMPARE(signedFigure(row.rawDifference), raw);
        QCOMPARE(signedFigure(row.percentDifference), percent);
    }

    // Before and after: moves of 2 or more, either way, on direct and reversed items alike.
    void changedItemsOfAFollowUp()
    {
        const QStringList before = sheet(3, { { 1, 2 }, { 2, 3 }, { 3, 5 }, { 4, 1 }, { 5, 4 } });
        const QStringList after = sheet(3, { { 1, 4 }, { 2, 4 }, { 3, 3 }, { 4, 5 }, { 5, 3 } });
        const auto comparison = comparePair(ComparisonKind::FollowUp, shown("A"), before, shown("A2"), after);
        QVERIFY(comparison);
        QCOMPARE(comparison->changedItems, (QList<int> { 1, 3, 4 }));
        QCOMPARE(comparison->item(3).firstOption, 1); // reversed: stored 5 is "کاملاً مخالف"
        QCOMPARE(comparison->item(3).secondOption, 3);
        QVERIFY(comparison->toTalkAbout.isEmpty());
        QVERIFY(comparison->agreement.isEmpty());
        QVERIFY(!comparison->idealisedCaution);
    }

    void idealisedCaution_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<bool>("caution");
        QTest::newRow("both middling") << "متوسط"
                                       << "متوسط" << false;
        QTest::newRow("first high") << "بالا"
                                    << "پايين" << true;
        QTest::newRow("second very high") << "خيلي پايين"
                                          << "خيلي بالا" << true;
    }
    void idealisedCaution()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(bool, caution);
        const auto couple
            = comparePair(ComparisonKind::Couple, shown("A", first), sheet(3), shown("B", second), sheet(3));
        QVERIFY(couple);
        QCOMPARE(couple->idealisedCaution, caution);
        const auto followUp
            = comparePair(ComparisonKind::FollowUp, shown("A", first), sheet(3), shown("B", second), sheet(3));
        QVERIFY(!followUp->idealisedCaution);
    }

    void unscorableSheetsCompareNothing_data()
    {
        QTest::addColumn<QStringList>("answers");
        QStringList unanswered = sheet(3);
        unanswered[10] = QString();
        QStringList damaged = sheet(3);
        damaged[34] = QStringLiteral("6");
        QTest::newRow("unanswered") << unanswered;
        QTest::newRow("damaged") << damaged;
        QTest::newRow("short") << QStringList(20, QStringLiteral("3"));
    }
    void unscorableSheetsCompareNothing()
    {
        QFETCH(QStringList, answers);
        QVERIFY(!comparePair(ComparisonKind::Couple, shown("A"), sheet(3), shown("B"), answers));
        QVERIFY(!comparePair(ComparisonKind::Couple, shown("A"), answers, shown("B"), sheet(3)));
    }
};

QTEST_GUILESS_MAIN(TestPairComparison)
#include "TestPairComparison.moc"
