#include "ExpectedSentences.h"
#include "scoring/Scales.h"
#include "scoring/ScoringPass.h"
#include "support/OwnSettings.h"
#include "text/ShownNumbers.h"

#include <QTest>

#include <map>
#include <utility>
#include <vector>

Q_DECLARE_METATYPE(Scale)

namespace {

// Everything below is copied from the fixed tables of the questionnaire, independently of the program's own copy.

const char* const scaleNames[] = {"Rezayat", "Ertebat", "HaleT", "TahrifeA"};

const std::vector<int> itemsOf[] = {
    {1, 5, 9, 13, 17, 21, 24, 27, 30, 35},
    {2, 6, 10, 14, 18, 22, 25, 28, 31, 34},
    {3, 7, 11, 15, 19, 23, 26, 29, 32, 33},
    {4, 8, 12, 16, 20},
};

struct PercentRow {
    int percent;
    std::array<std::pair<int, int>, 4> raw; // inclusive bounds for Rezayat, Ertebat, HaleT, TahrifeA
};

const PercentRow percentRows[] = {
    {5, {{{1, 14}, {1, 16}, {1, 16}, {1, 5}}}},
    {10, {{{15, 20}, {17, 19}, {17, 19}, {6, 6}}}},
    {15, {{{21, 22}, {20, 21}, {20, 21}, {7, 8}}}},
    {20, {{{23, 24}, {22, 23}, {22, 23}, {9, 9}}}},
    {25, {{{25, 25}, {24, 24}, {24, 24}, {10, 10}}}},
    {30, {{{26, 26}, {25, 25}, {25, 25}, {11, 11}}}},
    {35, {{{27, 28}, {26, 27}, {26, 26}, {12, 12}}}},
    {40, {{{29, 29}, {28, 28}, {27, 27}, {13, 13}}}},
    {45, {{{30, 31}, {29, 30}, {28, 28}, {14, 14}}}},
    {50, {{{32, 32}, {31, 31}, {29, 29}, {15, 15}}}},
    {55, {{{33, 34}, {32, 33}, {30, 31}, {16, 16}}}},
    {60, {{{35, 35}, {34, 34}, {32, 32}, {17, 17}}}},
    {65, {{{36, 36}, {35, 36}, {33, 33}, {18, 18}}}},
    {70, {{{37, 37}, {37, 37}, {34, 35}, {19, 19}}}},
    {75, {{{38, 39}, {38, 38}, {36, 36}, {20, 20}}}},
    {80, {{{40, 40}, {39, 40}, {37, 38}, {21, 21}}}},
    {85, {{{41, 41}, {41, 41}, {39, 39}, {22, 22}}}},
    {90, {{{42, 43}, {42, 43}, {40, 41}, {23, 23}}}},
    {95, {{{44, 45}, {44, 45}, {42, 44}, {24, 24}}}},
    {100, {{{46, 50}, {46, 50}, {45, 50}, {25, 25}}}},
};

const QString veryLow = QStringLiteral("خيلي پايين");
const QString low = QStringLiteral("پايين");
const QString middle = QStringLiteral("متوسط");
const QString high = QStringLiteral("بالا");
const QString veryHigh = QStringLiteral("خيلي بالا");


const QString unansweredText = QStringLiteral("شما به سوالات زير پاسخ نداده ايد و تا به تمام سوالات پاسخ ندهيد نمي توانيد نمره گذاري را انجام دهيد");

Scale scaleAt(int index)
{
    return static_cast<Scale>(index);
}

QStringList sheet(int value)
{
    QStringList answers;
    for (int item = 1; item <= 35; ++item)
        answers << QString::number(value);
    return answers;
}

// A sheet of threes whose items of one scale are changed so that the scale's raw score is `raw`.
QStringList sheetWithRaw(int scaleIndex, int raw)
{
    QStringList answers = sheet(3);
    const std::vector<int>& items = itemsOf[scaleIndex];
    int rest = raw - static_cast<int>(items.size());
    for (int item : items) {
        const int extra = std::min(rest, 4);
        answers[item - 1] = QString::number(1 + extra);
        rest -= extra;
    }
    return answers;
}

} // namespace

class TestScales : public QObject {
    Q_OBJECT

private slots:
    void scaleDescriptions_data();
    void scaleDescriptions();
    void scaleOfItem_data();
    void scaleOfItem();
    void scaleOfItemFollowsTheRotation();
    void everyItemCountsTowardOneScale();
    void percentTable_data();
    void percentTable();
    void rawOutsideTableHasNoPercent_data();
    void rawOutsideTableHasNoPercent();
    void levels_data();
    void levels();
    void sentences_data();
    void sentences();

    void uniformSheets_data();
    void uniformSheets();
    void mixedSheet();
    void percent15Edges_data();
    void percent15Edges();
    void raisingOneItemRaisesOnlyItsScale_data();
    void raisingOneItemRaisesOnlyItsScale();
    void raisingItem31RaisesOnlyErtebat();
    void unansweredItems();
    void shortOrEmptyListCountsAsUnanswered();
    void damagedValuesAreRefused_data();
    void damagedValuesAreRefused();
    void unansweredComesBeforeDamaged();
};

void TestScales::scaleDescriptions_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QList<int>>("items");
    QTest::addColumn<int>("minRaw");
    QTest::addColumn<int>("maxRaw");
    QTest::newRow("Rezayat") << 0 << "Rezayat" << QStringLiteral("رضايت زناشويي")
                             << QStringList{"TextRez", "TextRezd", "TextRezs", "TextRezt"}
                             << QList<int>{1, 5, 9, 13, 17, 21, 24, 27, 30, 35} << 10 << 50;
    QTest::newRow("Ertebat") << 1 << "Ertebat" << QStringLiteral("ارتباطات")
                             << QStringList{"TextEr", "TextErd", "TextErs", "TextErt"}
                             << QList<int>{2, 6, 10, 14, 18, 22, 25, 28, 31, 34} << 10 << 50;
    QTest::newRow("HaleT") << 2 << "HaleT" << QStringLiteral("حل تعارض")
                           << QStringList{"TextHal", "TextHald", "TextHals", "TextHalt"}
                           << QList<int>{3, 7, 11, 15, 19, 23, 26, 29, 32, 33} << 10 << 50;
    QTest::newRow("TahrifeA") << 3 << "TahrifeA" << QStringLiteral("تحريف آرماني")
                              << QStringList{"TextTah", "TextTahd", "TextTahs", "TextTaht"}
                              << QList<int>{4, 8, 12, 16, 20} << 5 << 25;
}

void TestScales::scaleDescriptions()
{
    QFETCH(int, index);
    QFETCH(QString, column);
    QFETCH(QString, caption);
    QFETCH(QStringList, boxes);
    QFETCH(QList<int>, items);
    QFETCH(int, minRaw);
    QFETCH(int, maxRaw);

    QCOMPARE(allScales.size(), std::size_t(4));
    QCOMPARE(static_cast<int>(allScales[static_cast<std::size_t>(index)]), index);
    const ScaleInfo& info = scales()[static_cast<std::size_t>(index)];
    QCOMPARE(static_cast<int>(info.scale), index);
    QCOMPARE(&scaleInfo(scaleAt(index)), &info);
    QCOMPARE(info.column, column);
    QCOMPARE(info.caption, caption);
    QCOMPARE((QStringList{info.rawBox, info.percentBox, info.levelBox, info.sentenceBox}), boxes);
    QCOMPARE(info.items, items);
    QCOMPARE(info.minRaw, minRaw);
    QCOMPARE(info.maxRaw, maxRaw);
}

void TestScales::scaleOfItem_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("expected");
    for (int s = 0; s < 4; ++s) {
        for (int item : itemsOf[s])
            QTest::addRow("item %d", item) << item << s;
    }
}

void TestScales::scaleOfItem()
{
    QFETCH(int, item);
    QFETCH(int, expected);
    const std::optional<Scale> scale = ::scaleOfItem(item);
    QVERIFY(scale.has_value());
    QCOMPARE(static_cast<int>(*scale), expected);
}

void TestScales::scaleOfItemFollowsTheRotation()
{
    // Items 1-20 rotate through scales 1-4, items 21-32 through scales 1-3, items 33, 34, 35 go to 3, 2, 1.
    for (int item = 1; item <= 20; ++item)
        QCOMPARE(static_cast<int>(*::scaleOfItem(item)), (item - 1) % 4);
    for (int item = 21; item <= 32; ++item)
        QCOMPARE(static_cast<int>(*::scaleOfItem(item)), (item - 21) % 3);
    QCOMPARE(*::scaleOfItem(33), Scale::HaleT);
    QCOMPARE(*::scaleOfItem(34), Scale::Ertebat);
    QCOMPARE(*::scaleOfItem(35), Scale::Rezayat);
    QVERIFY(!::scaleOfItem(0).has_value());
    QVERIFY(!::scaleOfItem(36).has_value());
}

void TestScales::everyItemCountsTowardOneScale()
{
    std::map<int, int> count;
    for (const ScaleInfo& info : scales()) {
        for (int item : info.items)
            ++count[item];
    }
    QCOMPARE(count.size(), std::size_t(35));
    for (int item = 1; item <= 35; ++item)
        QVERIFY2(count[item] == 1, qPrintable(QStringLiteral("item %1 counted %2 times").arg(item).arg(count[item])));
}

void TestScales::percentTable_data()
{
    QTest::addColumn<Scale>("scale");
    QTest::addColumn<int>("raw");
    QTest::addColumn<int>("percent");
    for (const PercentRow& row : percentRows) {
        for (int s = 0; s < 4; ++s) {
            const auto [first, last] = row.raw[static_cast<std::size_t>(s)];
            for (int raw = first; raw <= last; ++raw)
                QTest::addRow("%s raw %d", scaleNames[s], raw) << scaleAt(s) << raw << row.percent;
        }
    }
}

void TestScales::percentTable()
{
    QFETCH(Scale, scale);
    QFETCH(int, raw);
    QFETCH(int, percent);
    const std::optional<int> actual = percentFor(scale, raw);
    QVERIFY(actual.has_value());
    QCOMPARE(*actual, percent);
}

void TestScales::rawOutsideTableHasNoPercent_data()
{
    QTest::addColumn<Scale>("scale");
    QTest::addColumn<int>("raw");
    for (int s = 0; s < 4; ++s) {
        const int above = s == 3 ? 26 : 51;
        QTest::addRow("%s raw 0", scaleNames[s]) << scaleAt(s) << 0;
        QTest::addRow("%s raw -1", scaleNames[s]) << scaleAt(s) << -1;
        QTest::addRow("%s raw %d", scaleNames[s], above) << scaleAt(s) << above;
        QTest::addRow("%s raw 100", scaleNames[s]) << scaleAt(s) << 100;
    }
}

void TestScales::rawOutsideTableHasNoPercent()
{
    QFETCH(Scale, scale);
    QFETCH(int, raw);
    QVERIFY(!percentFor(scale, raw).has_value());
}

void TestScales::levels_data()
{
    QTest::addColumn<int>("percent");
    QTest::addColumn<QString>("level");
    QTest::newRow("5") << 5 << veryLow;
    QTest::newRow("10") << 10 << veryLow;
    QTest::newRow("15") << 15 << veryLow;
    QTest::newRow("20") << 20 << low;
    QTest::newRow("25") << 25 << low;
    QTest::newRow("30") << 30 << low;
    QTest::newRow("35") << 35 << low;
    QTest::newRow("40") << 40 << middle;
    QTest::newRow("45") << 45 << middle;
    QTest::newRow("50") << 50 << middle;
    QTest::newRow("55") << 55 << middle;
    QTest::newRow("60") << 60 << middle;
    QTest::newRow("65") << 65 << high;
    QTest::newRow("70") << 70 << high;
    QTest::newRow("75") << 75 << high;
    QTest::newRow("80") << 80 << high;
    QTest::newRow("85") << 85 << veryHigh;
    QTest::newRow("90") << 90 << veryHigh;
    QTest::newRow("95") << 95 << veryHigh;
    QTest::newRow("100") << 100 << veryHigh;
    // "15 or less" is open below.
    QTest::newRow("0") << 0 << veryLow;
    QTest::newRow("-5") << -5 << veryLow;
    // No band above 100 or between bands.
    QTest::newRow("101") << 101 << QString();
    QTest::newRow("105") << 105 << QString();
    QTest::newRow("17 between bands") << 17 << QString();
    QTest::newRow("38 between bands") << 38 << QString();
    QTest::newRow("62 between bands") << 62 << QString();
    QTest::newRow("83 between bands") << 83 << QString();
}

void TestScales::levels()
{
    QFETCH(int, percent);
    QFETCH(QString, level);
    QCOMPARE(levelFor(percent), level);
}

void TestScales::sentences_data()
{
    QTest::addColumn<Scale>("scale");
    QTest::addColumn<int>("percent");
    QTest::addColumn<QString>("sentence");
    const int bandEdges[5][2] = {{5, 15}, {20, 35}, {40, 60}, {65, 80}, {85, 100}};
    for (int s = 0; s < 4; ++s) {
        for (int band = 0; band < 5; ++band) {
            for (int percent : bandEdges[band])
                QTest::addRow("%s %d", scaleNames[s], percent)
                    << scaleAt(s) << percent << QString::fromUtf8(sentenceTable[s][band]);
        }
        QTest::addRow("%s 0 is 15 or less", scaleNames[s]) << scaleAt(s) << 0 << QString::fromUtf8(sentenceTable[s][0]);
        for (int percent : {17, 38, 105})
            QTest::addRow("%s %d no band", scaleNames[s], percent) << scaleAt(s) << percent << QString();
    }
}

void TestScales::sentences()
{
    QFETCH(Scale, scale);
    QFETCH(int, percent);
    QFETCH(QString, sentence);
    QCOMPARE(sentenceFor(scale, percent), sentence);
}

void TestScales::uniformSheets_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QList<int>>("raws");
    QTest::addColumn<int>("percent");
    QTest::addColumn<QString>("level");
    QTest::addColumn<int>("band");
    QTest::newRow("all 1") << 1 << QList<int>{10, 10, 10, 5} << 5 << veryLow << 0;
    QTest::newRow("all 5") << 5 << QList<int>{50, 50, 50, 25} << 100 << veryHigh << 4;
}

void TestScales::uniformSheets()
{
    QFETCH(int, answer);
    QFETCH(QList<int>, raws);
    QFETCH(int, percent);
    QFETCH(QString, level);
    QFETCH(int, band);

    const ScoringResult result = scoreAnswers(sheet(answer));
    QVERIFY(result.isScorable());
    QVERIFY(refusalMessage(result).isEmpty());
    for (int s = 0; s < 4; ++s) {
        const ScaleResult& r = result.result(scaleAt(s));
        QCOMPARE(r.raw, raws[s]);
        QVERIFY(r.percent.has_value());
        QCOMPARE(*r.percent, percent);
        QCOMPARE(r.level, level);
        QCOMPARE(r.sentence, QString::fromUtf8(sentenceTable[s][band]));
    }
}

void TestScales::mixedSheet()
{
    // Item n answered ((n - 1) mod 5) + 1, summed by hand per scale.
    QStringList answers;
    for (int item = 1; item <= 35; ++item)
        answers << QString::number((item - 1) % 5 + 1);
    const ScoringResult result = scoreAnswers(answers);
    QVERIFY(result.isScorable());
    QCOMPARE(result.result(Scale::Rezayat).raw, 32);
    QCOMPARE(result.result(Scale::Ertebat).raw, 30);
    QCOMPARE(result.result(Scale::HaleT).raw, 28);
    QCOMPARE(result.result(Scale::TahrifeA).raw, 15);
    QCOMPARE(*result.result(Scale::Rezayat).percent, 50);
    QCOMPARE(*result.result(Scale::Ertebat).percent, 45);
    QCOMPARE(*result.result(Scale::HaleT).percent, 45);
    QCOMPARE(*result.result(Scale::TahrifeA).percent, 50);
    for (Scale scale : allScales)
        QCOMPARE(result.result(scale).level, middle);
    QCOMPARE(result.result(Scale::TahrifeA).sentence, QString::fromUtf8(sentenceTable[3][2]));
}

void TestScales::percent15Edges_data()
{
    QTest::addColumn<int>("scaleIndex");
    QTest::addColumn<int>("raw");
    QTest::newRow("Rezayat 21") << 0 << 21;
    QTest::newRow("Rezayat 22") << 0 << 22;
    QTest::newRow("Ertebat 20") << 1 << 20;
    QTest::newRow("Ertebat 21") << 1 << 21;
    QTest::newRow("HaleT 20") << 2 << 20;
    QTest::newRow("HaleT 21") << 2 << 21;
    QTest::newRow("TahrifeA 7") << 3 << 7;
    QTest::newRow("TahrifeA 8") << 3 << 8;
}

void TestScales::percent15Edges()
{
    QFETCH(int, scaleIndex);
    QFETCH(int, raw);
    const ScoringResult result = scoreAnswers(sheetWithRaw(scaleIndex, raw));
    QVERIFY(result.isScorable());
    const ScaleResult& r = result.result(scaleAt(scaleIndex));
    QCOMPARE(r.raw, raw);
    QCOMPARE(*r.percent, 15);
    QCOMPARE(r.level, veryLow);
    QCOMPARE(r.sentence, QString::fromUtf8(sentenceTable[scaleIndex][0]));
}

void TestScales::raisingOneItemRaisesOnlyItsScale_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("scaleIndex");
    for (int s = 0; s < 4; ++s) {
        for (int item : itemsOf[s])
            QTest::addRow("item %d", item) << item << s;
    }
}

void TestScales::raisingOneItemRaisesOnlyItsScale()
{
    QFETCH(int, item);
    QFETCH(int, scaleIndex);
    const QList<int> before = {30, 30, 30, 15}; // a sheet of threes
    QStringList answers = sheet(3);
    answers[item - 1] = QStringLiteral("4");
    const ScoringResult result = scoreAnswers(answers);
    QVERIFY(result.isScorable());
    for (int s = 0; s < 4; ++s)
        QCOMPARE(result.result(scaleAt(s)).raw, before[s] + (s == scaleIndex ? 1 : 0));
}

void TestScales::raisingItem31RaisesOnlyErtebat()
{
    QStringList answers = sheet(2);
    const ScoringResult before = scoreAnswers(answers);
    answers[30] = QStringLiteral("3");
    const ScoringResult after = scoreAnswers(answers);
    QCOMPARE(before.result(Scale::Rezayat).raw, 20);
    QCOMPARE(before.result(Scale::Ertebat).raw, 20);
    QCOMPARE(before.result(Scale::HaleT).raw, 20);
    QCOMPARE(before.result(Scale::TahrifeA).raw, 10);
    QCOMPARE(after.result(Scale::Rezayat).raw, 20);
    QCOMPARE(after.result(Scale::Ertebat).raw, 21);
    QCOMPARE(after.result(Scale::HaleT).raw, 20);
    QCOMPARE(after.result(Scale::TahrifeA).raw, 10);
    // Ertebat 20 -> 21 stays in the 15 row; the neighbouring rows differ.
    QCOMPARE(*after.result(Scale::Ertebat).percent, 15);
}

void TestScales::unansweredItems()
{
    QStringList answers = sheet(4);
    answers[2].clear();
    answers[16].clear();
    const ScoringResult result = scoreAnswers(answers);
    QVERIFY(!result.isScorable());
    QCOMPARE(result.unanswered, (QList<int>{3, 17}));
    QVERIFY(result.damaged.isEmpty());
    for (Scale scale : allScales) {
        QCOMPARE(result.result(scale).raw, 0);
        QVERIFY(!result.result(scale).percent.has_value());
        QVERIFY(result.result(scale).level.isEmpty());
        QVERIFY(result.result(scale).sentence.isEmpty());
    }

    const OwnSettings settings;
    const QString warning = unansweredWarning(result.unanswered);
    // The item numbers are drawn with Persian digits, or ASCII ones when the operator turned them off.
    QVERIFY(warning.endsWith(QStringLiteral("۳  ۱۷  ")));
    QCOMPARE(warning, unansweredText + QStringLiteral("\n\n۳  ۱۷  "));
    QCOMPARE(refusalMessage(result), warning);
    ShownNumbers::setPersianDigits(false);
    QCOMPARE(unansweredWarning(result.unanswered), unansweredText + QStringLiteral("\n\n3  17  "));
}

void TestScales::shortOrEmptyListCountsAsUnanswered()
{
    QStringList answers = sheet(3);
    answers.removeLast();
    QCOMPARE(scoreAnswers(answers).unanswered, QList<int>{35});

    const OwnSettings settings;
    QList<int> all;
    QString list;
    for (int item = 1; item <= 35; ++item) {
        all << item;
        list += ShownNumbers::number(item) + QStringLiteral("  ");
    }
    const ScoringResult empty = scoreAnswers({});
    QCOMPARE(empty.unanswered, all);
    QCOMPARE(refusalMessage(empty), unansweredText + QStringLiteral("\n\n") + list);
}

void TestScales::damagedValuesAreRefused_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("0") << QStringLiteral("0");
    QTest::newRow("6") << QStringLiteral("6");
    QTest::newRow("x") << QStringLiteral("x");
    QTest::newRow("12") << QStringLiteral("12");
    QTest::newRow("leading blank") << QStringLiteral(" 3");
    QTest::newRow("trailing blank") << QStringLiteral("3 ");
    QTest::newRow("blank") << QStringLiteral(" ");
    QTest::newRow("-3") << QStringLiteral("-3");
    QTest::newRow("3.0") << QStringLiteral("3.0");
    QTest::newRow("Persian three") << QStringLiteral("\u06F3");
}

void TestScales::damagedValuesAreRefused()
{
    QFETCH(QString, value);
    QStringList answers = sheet(3);
    answers[6] = value;
    answers[29] = value;
    const ScoringResult result = scoreAnswers(answers);
    QVERIFY(!result.isScorable());
    QVERIFY(result.unanswered.isEmpty());
    QCOMPARE(result.damaged, (QList<int>{7, 30}));
    for (Scale scale : allScales)
        QVERIFY(!result.result(scale).percent.has_value());

    const OwnSettings settings;
    const QString message = refusalMessage(result);
    QCOMPARE(message, damagedWarning(result.damaged));
    QVERIFY(message.endsWith(QStringLiteral("\n\n۷  ۳۰  ")));
    QVERIFY(message.size() > QStringLiteral("\n\n۷  ۳۰  ").size());
    QVERIFY(!message.startsWith(unansweredText));
}

void TestScales::unansweredComesBeforeDamaged()
{
    const OwnSettings settings;
    QStringList answers = sheet(3);
    answers[1] = QStringLiteral("9");
    answers[4].clear();
    const ScoringResult result = scoreAnswers(answers);
    QCOMPARE(result.unanswered, QList<int>{5});
    QCOMPARE(result.damaged, QList<int>{2});
    QCOMPARE(refusalMessage(result), unansweredText + QStringLiteral("\n\n۵  "));
}

QTEST_APPLESS_MAIN(TestScales)
#include "TestScales.moc"
