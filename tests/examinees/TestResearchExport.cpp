#include "data/ComparedPairs.h"
#include "data/QuestionnaireItems.h"
#include "data/TableCursor.h"
#include "examinees/ResearchExport.h"
#include "support/TestProgram.h"
#include "text/PersianLetters.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

// Reads CSV as RFC 4180 describes it, independently of the writer: fields split by commas, records by CR LF, a
// quoted field may hold commas, doubled quotes and line breaks.
QList<QStringList> parseCsv(const QString& text)
{
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"' && field.isEmpty()) {
            quoted = true;
        } else if (c == u',') {
            record << field;
            field.clear();
        } else if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
            record << field;
            records << record;
            record.clear();
            field.clear();
            ++i;
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !record.isEmpty())
        records << (record << field);
    return records;
}

// A stand-in for scoring: a percent of twice the raw score, a level naming the scale.
ResearchExport::Scoring fakeScoring()
{
    ResearchExport::Scoring scoring;
    scoring.scales
        = { { QStringLiteral("Rezayat"), QStringLiteral("S1") }, { QStringLiteral("Ertebat"), QStringLiteral("S2") },
              { QStringLiteral("HaleT"), QStringLiteral("S3") }, { QStringLiteral("TahrifeA"), QStringLiteral("S4") } };
    scoring.figures = [](int scale, const QString& raw) {
        return ResearchExport::Figures { QString::number(raw.toInt() * 2), QStringLiteral("L%1").arg(scale) };
    };
    return scoring;
}

constexpr int cellsPerLine = 10 + 35 + 4 * 3 + 1; // with the names
constexpr int cellsWithoutNames = cellsPerLine - 2;

QList<QStringList> readCsv(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parseCsv(QString::fromUtf8(file.readAll().mid(3)));
}

} // namespace

class TestResearchExport : public QObject {
    Q_OBJECT
private slots:
    void guarded_data();
    void guarded();
    void field_data();
    void field();
    void twoExamineesParseBackToTheStoredValues();
    void namesLeftOutUnlessIncluded_data();
    void namesLeftOutUnlessIncluded();
    void onlyTheListedExamineesInTableOrder();
    void partnerStaysAfterAFollowUp();
    void aFailureLeavesTheChosenFileAsItWas();
    void anUnwritableFolderIsReported();
    void throughAConnectionOfItsOwnTheSameBytes();
    void aStoppedExportLeavesTheChosenFileAsItWas();
    void headersUseTheLettersOperatorsType();
    void levelsUseTheLettersOfTheHeadings();
    void chosenOptionsFollowWhenAsked_data();
    void chosenOptionsFollowWhenAsked();
};

void TestResearchExport::guarded_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("written");
    QTest::newRow("equals") << "=1+2"
                            << "'=1+2";
    QTest::newRow("plus") << "+98912"
                          << "'+98912";
    QTest::newRow("minus") << "-3"
                           << "'-3";
    QTest::newRow("at") << "@SUM(A1)"
                        << "'@SUM(A1)";
    QTest::newRow("tab") << "\tx"
                         << "'\tx";
    QTest::newRow("carriage return") << "\rx"
                                     << "'\rx";
    QTest::newRow("inside") << "a=b-c"
                            << "a=b-c";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("Persian") << "علی"
                             << "علی";
    QTest::newRow("digits") << "12"
                            << "12";
}

void TestResearchExport::guarded()
{
    QFETCH(QString, cell);
    QFETCH(QString, written);
    QCOMPARE(ResearchExport::guarded(cell), written);
}

void TestResearchExport::field_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("written");
    QTest::newRow("plain") << "Ali"
                           << "Ali";
    QTest::newRow("comma") << "a,b"
                           << "\"a,b\"";
    QTest::newRow("quote") << "say \"hi\""
                           << "\"say \"\"hi\"\"\"";
    QTest::newRow("line feed") << "a\nb"
                               << "\"a\nb\"";
    QTest::newRow("CR LF") << "a\r\nb"
                           << "\"a\r\nb\"";
    QTest::newRow("formula with comma") << "=SUM(1,2)"
                                        << "\"'=SUM(1,2)\"";
    QTest::newRow("apostrophe") << "O'Brien"
                                << "O'Brien";
}

void TestResearchExport::field()
{
    QFETCH(QString, cell);
    QFETCH(QString, written);
    QCOMPARE(ResearchExport::field(cell), written);
}

void TestResearchExport::twoExamineesParseBackToTheStoredValues()
{
    TestProgram program;
    const QStringList awkward = { QStringLiteral("7"), QStringLiteral("Ali, \"Jr\""), QStringLiteral("line\none"),
        QStringLiteral("زن"), QStringLiteral("30"), QStringLiteral("=HYPERLINK(\"x\")"), QStringLiteral("ليسانس"),
        QStringLiteral("A"), QStringLiteral("1405/09/17"), QStringLiteral("10:30") };
    program.exec(QStringLiteral("INSERT INTO \"IDE\" (\"Code\", \"FName\", \"LName\", \"Jens\", \"Sen\", \"Taahol\", \"Tahsil\", \"Group\", \"Date\", "
                                "\"Time\", \"Rezayat\", \"Ertebat\", \"HaleT\", \"TahrifeA\") VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
        QVariantList(awkward.cbegin(), awkward.cend())
            + QVariantList { QStringLiteral("40"), QStringLiteral("31"), QStringLiteral("29"), QStringLiteral("12") });
    program.exec(QStringLiteral("INSERT INTO \"Answer\" (\"Code\") VALUES ('7')"));
    QStringList answers;
    for (int i = 1; i <= 35; ++i)
        answers << QString::number(1 + i % 5);
    program.setAnswers(QStringLiteral("7"), answers);
    program.addExaminee(QStringLiteral("8"), QStringLiteral("رضا"), QStringLiteral("B"));
    // 7 was compared with 9 as a couple; 8 only before and after counselling, which names no partner.
    program.exec(QStringLiteral("INSERT INTO \"ComparedPairs\" (\"FirstCode\", \"SecondCode\", \"Kind\") VALUES "
                                "('9', '7', 'Couple'), ('8', '8b', 'FollowUp')"));

    const QString path = QDir(program.folder()).filePath(QStringLiteral("research.csv"));
    TableCursor listed(program.database(), QStringLiteral("IDE"));
    const ResearchExport::Result result
        = ResearchExport::write(listed, path, fakeScoring(), ResearchExport::Names::Included);
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.examinees, 2);

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    QVERIFY(bytes.endsWith("\r\n"));
    const QList<QStringList> records = parseCsv(QString::fromUtf8(bytes.mid(3)));
    QCOMPARE(records.size(), 3);
    for (const QStringList& record : records)
        QCOMPARE(record.size(), cellsPerLine);
    QCOMPARE(records.at(0).first(), QStringLiteral("کد"));
    QCOMPARE(records.at(0).at(10), QStringLiteral("سوال 1"));
    QCOMPARE(records.at(0).at(cellsPerLine - 2), QStringLiteral("S4 - سطح"));
    QCOMPARE(records.at(0).last(), QStringLiteral("کد همسر"));

    QStringList expected = awkward;
    expected[5] = QLatin1Char('\'') + awkward.at(5); // written as text, never as a formula
    expected << answers;
    expected << "40"
             << "80"
             << "L0"
             << "31"
             << "62"
             << "L1"
             << "29"
             << "58"
             << "L2"
             << "12"
             << "24"
             << "L3"
             << "9";
    QCOMPARE(records.at(1), expected);

    // Not yet answered nor scored: empty answers, empty scores, and no percent or level made up for them.
    const QStringList& second = records.at(2);
    QCOMPARE(second.at(0), QStringLiteral("8"));
    QCOMPARE(second.at(1), QStringLiteral("رضا"));
    QCOMPARE(second.at(7), QStringLiteral("B"));
    for (int i = 10; i < cellsPerLine; ++i)
        QVERIFY2(second.at(i).isEmpty(), qPrintable(QString::number(i)));
}

void TestResearchExport::namesLeftOutUnlessIncluded_data()
{
    QTest::addColumn<bool>("byDefault");
    QTest::addColumn<bool>("included");
    QTest::newRow("by default") << true << false;
    QTest::newRow("left out") << false << false;
    QTest::newRow("included") << false << true;
}

// A de-identified export holds codes, details, answers and scores, and no name anywhere.
void TestResearchExport::namesLeftOutUnlessIncluded()
{
    QFETCH(bool, byDefault);
    QFETCH(bool, included);
    TestProgram program;
    program.addExaminee(QStringLiteral("41"), QStringLiteral("مريم"), QStringLiteral("A"));
    program.exec(QStringLiteral("UPDATE IDE SET LName = 'Karimi', Sen = '33', Rezayat = '40' WHERE Code = '41'"));
    program.setAnswers(QStringLiteral("41"), QStringList(35, QStringLiteral("2")));
    TableCursor listed(program.database(), QStringLiteral("IDE"));
    const QString path = QDir(program.folder()).filePath(QStringLiteral("research.csv"));
    const ResearchExport::Names names = included ? ResearchExport::Names::Included : ResearchExport::Names::LeftOut;
    const ResearchExport::Result result = byDefault ? ResearchExport::write(listed, path, fakeScoring())
                                                    : ResearchExport::write(listed, path, fakeScoring(), names);
    QVERIFY2(result.ok, qPrintable(result.error));

    const QList<QStringList> records = readCsv(path);
    QCOMPARE(records.size(), 2);
    const QStringList& header = records.at(0);
    const QStringList& row = records.at(1);
    QCOMPARE(header.size(), included ? cellsPerLine : cellsWithoutNames);
    QCOMPARE(row.size(), header.size());
    QCOMPARE(header.contains(QStringLiteral("نام")), included);
    QCOMPARE(header.contains(PersianLetters::asTyped(QStringLiteral("نام خانوادگي"))), included);
    QCOMPARE(row.contains(QStringLiteral("مريم")), included);
    QCOMPARE(row.contains(QStringLiteral("Karimi")), included);
    // The rest is all there, under its own heading.
    QCOMPARE(row.at(header.indexOf(QStringLiteral("کد"))), QStringLiteral("41"));
    QCOMPARE(row.at(header.indexOf(QStringLiteral("سن"))), QStringLiteral("33"));
    QCOMPARE(row.at(header.indexOf(QStringLiteral("گروه"))), QStringLiteral("A"));
    QCOMPARE(row.at(header.indexOf(QStringLiteral("سوال 35"))), QStringLiteral("2"));
    QCOMPARE(row.at(header.indexOf(QStringLiteral("S1 - درصد"))), QStringLiteral("80"));
}

void TestResearchExport::onlyTheListedExamineesInTableOrder()
{
    TestProgram program;
    program.addExaminee(QStringLiteral("3"), QStringLiteral("a"), QStringLiteral("B"));
    program.addExaminee(QStringLiteral("1"), QStringLiteral("b"), QStringLiteral("A"));
    program.addExaminee(QStringLiteral("2"), QStringLiteral("c"), QStringLiteral("B"));
    // An examinee without an Answer row is still listed, with empty answers.
    program.exec(QStringLiteral("DELETE FROM \"Answer\" WHERE \"Code\" = '2'"));
    program.setAnswers(QStringLiteral("3"), QStringList(35, QStringLiteral("4")));

    TableCursor listed(program.database(), QStringLiteral("IDE"));
    QVERIFY(listed.setFilter(QStringLiteral("Group"), QStringLiteral("B")));
    const QString path = QDir(program.folder()).filePath(QStringLiteral("b.csv"));
    QVERIFY(ResearchExport::write(listed, path, fakeScoring()).ok);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QStringList> records = parseCsv(QString::fromUtf8(file.readAll().mid(3)));
    QCOMPARE(records.size(), 3);
    QCOMPARE(records.at(1).first(), QStringLiteral("3"));
    QCOMPARE(records.at(1).mid(8, 35), QStringList(35, QStringLiteral("4")));
    QCOMPARE(records.at(2).first(), QStringLiteral("2"));
    QCOMPARE(records.at(2).mid(8, 35), QStringList(35, QString()));
}

// A spouse compared before and after counselling keeps the partner the couple comparison named.
void TestResearchExport::partnerStaysAfterAFollowUp()
{
    TestProgram program;
    for (const char* code : { "1001", "1002", "1001b" })
        program.addExaminee(QString::fromLatin1(code));
    ComparedPairs pairs(program.database());
    QVERIFY(pairs.remember({ QStringLiteral("1001"), QStringLiteral("1002"), ComparedPairs::CoupleKind }));
    QVERIFY(pairs.remember({ QStringLiteral("1001"), QStringLiteral("1001b"), ComparedPairs::FollowUpKind }));

    TableCursor listed(program.database(), QStringLiteral("IDE"));
    const QString path = QDir(program.folder()).filePath(QStringLiteral("pairs.csv"));
    QVERIFY(ResearchExport::write(listed, path, fakeScoring()).ok);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QStringList> records = parseCsv(QString::fromUtf8(file.readAll().mid(3)));
    QCOMPARE(records.size(), 4);
    QStringList partners;
    for (const QStringList& record : records.mid(1))
        partners << record.first() + QLatin1Char('=') + record.last();
    QCOMPARE(partners, QStringList({ QStringLiteral("1001=1002"), QStringLiteral("1002=1001"), QStringLiteral("1001b=") }));
}

void TestResearchExport::aFailureLeavesTheChosenFileAsItWas()
{
    TestProgram program;
    program.addExaminee(QStringLiteral("1"));
    const QString path = QDir(program.folder()).filePath(QStringLiteral("old.csv"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("earlier export");
    }
    const QStringList before = QDir(program.folder()).entryList(QDir::Files);

    TableCursor listed(program.database(), QStringLiteral("IDE"));
    program.exec(QStringLiteral("ALTER TABLE \"Answer\" RENAME TO \"Elsewhere\""));
    const ResearchExport::Result result = ResearchExport::write(listed, path, fakeScoring());
    QVERIFY(!result.ok);
    QVERIFY(result.error.contains(QStringLiteral("Answer")));

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("earlier export"));
    QCOMPARE(QDir(program.folder()).entryList(QDir::Files), before); // no half-written file left beside it
}

void TestResearchExport::anUnwritableFolderIsReported()
{
    TestProgram program;
    program.addExaminee(QStringLiteral("1"));
    TableCursor listed(program.database(), QStringLiteral("IDE"));
    const QString path = QDir(program.folder()).filePath(QStringLiteral("no such folder/x.csv"));
    const ResearchExport::Result result = ResearchExport::write(listed, path, fakeScoring());
    QVERIFY(!result.ok);
    QVERIFY(!result.error.isEmpty());
    QVERIFY(!QFile::exists(path));
}

void TestResearchExport::throughAConnectionOfItsOwnTheSameBytes()
{
    TestProgram program;
    for (const char* group : { "A", "B", "A" })
        program.addExaminee(QString::number(program.rowCount(QStringLiteral("IDE")) + 1), QStringLiteral("Ali"),
            QString::fromLatin1(group));
    TableCursor listed(program.database(), QStringLiteral("IDE"));
    QVERIFY(listed.setFilter(QStringLiteral("Group"), QStringLiteral("A")));
    const QString here = QDir(program.folder()).filePath(QStringLiteral("here.csv"));
    const QString apart = QDir(program.folder()).filePath(QStringLiteral("apart.csv"));
    QVERIFY(ResearchExport::write(listed, here, fakeScoring()).ok);
    const ResearchExport::Result result = ResearchExport::write(program.database().location(), listed.selection(),
        apart, fakeScoring(), ResearchExport::Names::LeftOut, ResearchExport::Choices::LeftOut, {});
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.examinees, 2);
    QFile a(here);
    QFile b(apart);
    QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    QCOMPARE(b.readAll(), a.readAll());
}

void TestResearchExport::aStoppedExportLeavesTheChosenFileAsItWas()
{
    TestProgram program;
    QVERIFY(program.database().beginTransaction());
    for (int n = 1; n <= 2500; ++n)
        program.addExaminee(QString::number(n));
    QVERIFY(program.database().commit());
    const QString path = QDir(program.folder()).filePath(QStringLiteral("old.csv"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("earlier export");
    }
    const QStringList before = QDir(program.folder()).entryList(QDir::Files);

    TableCursor listed(program.database(), QStringLiteral("IDE"));
    std::atomic_bool stop { false };
    qint64 reported = 0;
    TableTransfer::Watch watch;
    watch.cancel = &stop;
    watch.progress = [&](qint64 written, qint64 total) {
        QCOMPARE(total, 2500);
        reported = written;
        stop = true;
    };
    const ResearchExport::Result result = ResearchExport::write(listed, path, fakeScoring(),
        ResearchExport::Names::LeftOut, ResearchExport::Choices::LeftOut, watch);
    QVERIFY(result.cancelled);
    QVERIFY(!result.ok);
    QVERIFY(reported > 0 && reported < 2500);

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("earlier export"));
    QCOMPARE(QDir(program.folder()).entryList(QDir::Files), before);
}

void TestResearchExport::headersUseTheLettersOperatorsType()
{
    // A family name and an education typed on a Persian keyboard (ی U+06CC, ک U+06A9), and a group written with the
    // program's own Arabic letters, as its lists write them.
    const QString typedName = QStringLiteral("\u06A9\u0631\u06CC\u0645\u06CC"); // کریمی
    const QString listGroup = QStringLiteral("\u0643\u0644\u064A"); // كلي
    TestProgram program;
    program.addExaminee(QStringLiteral("1"), typedName, listGroup);
    ResearchExport::Scoring scoring = fakeScoring();
    scoring.scales[0].caption = QStringLiteral("رضايت زناشويي");
    const QString path = QDir(program.folder()).filePath(QStringLiteral("research.csv"));
    TableCursor listed(program.database(), QStringLiteral("IDE"));
    const ResearchExport::Result result
        = ResearchExport::write(listed, path, scoring, ResearchExport::Names::Included);
    QVERIFY2(result.ok, qPrintable(result.error));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QStringList> records = parseCsv(QString::fromUtf8(file.readAll().mid(3)));
    QCOMPARE(records.size(), 2);
    const QStringList& header = records.at(0);
    for (const QString& cell : header) {
        QVERIFY2(!cell.contains(QChar(0x064A)) && !cell.contains(QChar(0x0649)) && !cell.contains(QChar(0x0643)),
            qPrintable(cell));
    }
    // A spreadsheet's search typed on a Persian keyboard finds the headings.
    QVERIFY(header.contains(QStringLiteral("\u0646\u0627\u0645 \u062E\u0627\u0646\u0648\u0627\u062F\u06AF\u06CC")));
    QVERIFY(header.contains(QStringLiteral("\u062A\u062D\u0635\u06CC\u0644\u0627\u062A")));
    QVERIFY(header.contains(QStringLiteral("\u0631\u0636\u0627\u06CC\u062A \u0632\u0646\u0627\u0634\u0648\u06CC\u06CC - \u0646\u0645\u0631\u0647 \u062E\u0627\u0645")));
    QCOMPARE(header.first(), QStringLiteral("\u06A9\u062F"));
    QCOMPARE(header.size(), cellsPerLine);
    // The data is written as stored, whichever letters it was stored with.
    QCOMPARE(records.at(1).at(1), typedName);
    QCOMPARE(records.at(1).at(7), listGroup);
}

// The level words come from scoring in the program's Arabic letters; in the file they are written as the headings
// are, so one search typed on a Persian keyboard finds both.
void TestResearchExport::levelsUseTheLettersOfTheHeadings()
{
    TestProgram program;
    program.addExaminee(QStringLiteral("1"));
    program.exec(QStringLiteral("UPDATE IDE SET Rezayat = '30' WHERE Code = '1'"));
    ResearchExport::Scoring scoring = fakeScoring();
    scoring.figures = [](int, const QString&) {
        return ResearchExport::Figures { QStringLiteral("60"), QStringLiteral("خيلي پايين") };
    };
    const QString path = QDir(program.folder()).filePath(QStringLiteral("research.csv"));
    TableCursor listed(program.database(), QStringLiteral("IDE"));
    QVERIFY(ResearchExport::write(listed, path, scoring).ok);
    const QList<QStringList> records = readCsv(path);
    QCOMPARE(records.size(), 2);
    const qsizetype level = records.at(0).indexOf(PersianLetters::asTyped(QStringLiteral("S1 - سطح")));
    QVERIFY(level > 0);
    QCOMPARE(records.at(1).at(level), QStringLiteral("خیلی پایین"));
}

// Asked for, the options as chosen follow the keyed answers under "گزينه سوال N": the same where the item is direct,
// turned round where it is reversed. Not asked for, the file is as before.
void TestResearchExport::chosenOptionsFollowWhenAsked_data()
{
    QTest::addColumn<bool>("asked");
    QTest::newRow("asked") << true;
    QTest::newRow("not asked") << false;
}

void TestResearchExport::chosenOptionsFollowWhenAsked()
{
    QFETCH(bool, asked);
    TestProgram program;
    program.addExaminee(QStringLiteral("1"));
    QStringList answers(35, QStringLiteral("4"));
    answers[2] = QStringLiteral("5"); // item 3 is reversed: option 1 chosen
    answers[8] = QStringLiteral("2"); // item 9 is direct: option 2 chosen
    answers[10] = QString(); // unanswered
    program.setAnswers(QStringLiteral("1"), answers);
    const QString path = QDir(program.folder()).filePath(QStringLiteral("research.csv"));
    TableCursor listed(program.database(), QStringLiteral("IDE"));
    QVERIFY(ResearchExport::write(listed, path, fakeScoring(), ResearchExport::Names::LeftOut,
        asked ? ResearchExport::Choices::Included : ResearchExport::Choices::LeftOut)
                .ok);
    const QList<QStringList> records = readCsv(path);
    QCOMPARE(records.size(), 2);
    const QStringList& header = records.at(0);
    QCOMPARE(header.size(), cellsWithoutNames + (asked ? 35 : 0));
    QCOMPARE(records.at(1).size(), header.size());
    const qsizetype keyed = header.indexOf(PersianLetters::asTyped(QStringLiteral("سوال 1")));
    QCOMPARE(records.at(1).at(keyed + 2), QStringLiteral("5"));
    const qsizetype first = header.indexOf(PersianLetters::asTyped(QStringLiteral("گزينه سوال 1")));
    if (!asked) {
        QCOMPARE(first, -1);
        return;
    }
    // Right after the 35 keyed answers.
    QCOMPARE(first, keyed + 35);
    QCOMPARE(header.at(first + 34), PersianLetters::asTyped(QStringLiteral("گزينه سوال 35")));
    const QStringList& row = records.at(1);
    QCOMPARE(row.at(first + 2), QStringLiteral("1"));
    QCOMPARE(row.at(first + 8), QStringLiteral("2"));
    QCOMPARE(row.at(first + 10), QString());
    for (int item = 1; item <= 35; ++item) {
        const QString& keyedScore = row.at(keyed + item - 1);
        if (keyedScore.isEmpty())
            continue;
        const bool reversed = questionnaireItem(item)->reversed;
        QCOMPARE(row.at(first + item - 1).toInt(), reversed ? 6 - keyedScore.toInt() : keyedScore.toInt());
    }
}

QTEST_MAIN(TestResearchExport)
#include "TestResearchExport.moc"
