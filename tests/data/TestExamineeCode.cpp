#include "data/ExamineeCode.h"
#include "data/Schema.h"
#include "data/TableCursor.h"
#include "support/LockHolder.h"
#include "support/TestProgram.h"

#include <QTest>

namespace {

// The code 123 written the ways a clinic's keyboards and pasted texts bring it.
QString persian123()
{
    return QStringLiteral("\u06F1\u06F2\u06F3");
}
QString arabicIndic123()
{
    return QStringLiteral("\u0661\u0662\u0663");
}

} // namespace

class TestExamineeCode : public QObject {
    Q_OBJECT
private slots:
    void normalised_data();
    void normalised();
    void lookupForms_data();
    void lookupForms();
    void storedCodesAreBroughtUpToDate();
    void storedCodesThatWouldMeetAreKept();
    void normalisedFileIsLeftAlone();
    void openingNormalisesAnOlderFileOnce();
    void find_data();
    void find();
    void findOnAHeldFileFails();
    void isTaken_data();
    void isTaken();
    void isTakenOnAHeldFileFails();
};

void TestExamineeCode::normalised_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");

    QTest::newRow("plain") << "12"
                           << "12";
    QTest::newRow("Persian digits") << persian123() << "123";
    QTest::newRow("Arabic-Indic digits") << arabicIndic123() << "123";
    QTest::newRow("mixed digits") << QStringLiteral("1\u06F2\u0663") << "123";
    QTest::newRow("zero-width space inside") << QStringLiteral("1\u200B23") << "123";
    QTest::newRow("zero-width non-joiner") << QStringLiteral("12\u200C3") << "123";
    QTest::newRow("zero-width joiner") << QStringLiteral("\u200D123") << "123";
    QTest::newRow("left-to-right mark") << QStringLiteral("\u200E123") << "123";
    QTest::newRow("right-to-left mark") << QStringLiteral("123\u200F") << "123";
    QTest::newRow("Arabic letter mark") << QStringLiteral("\u061C123") << "123";
    QTest::newRow("embedding and pop") << QStringLiteral("\u202A123\u202C") << "123";
    QTest::newRow("override") << QStringLiteral("\u202E123\u202C") << "123";
    QTest::newRow("isolates") << QStringLiteral("\u2066\u2067123\u2069\u2068") << "123";
    QTest::newRow("byte-order mark") << QStringLiteral("\uFEFF123") << "123";
    QTest::newRow("soft hyphen") << QStringLiteral("1\u00AD23") << "123";
    QTest::newRow("word joiner") << QStringLiteral("12\u20603") << "123";
    QTest::newRow("tag character beyond the BMP") << QStringLiteral("12\U000E0041"
                                                                    "3")
                                                  << "123";
    QTest::newRow("control character inside") << QStringLiteral("12\x07"
                                                                "3")
                                              << "123";
    QTest::newRow("outer blanks") << " 12 "
                                  << "12";
    QTest::newRow("outer no-break spaces") << QStringLiteral("\u00A012\u00A0") << "12";
    QTest::newRow("blanks behind a mark") << QStringLiteral(" \u200F 12") << "12";
    QTest::newRow("inner blank kept") << " 1 2 "
                                      << "1 2";
    QTest::newRow("leading zero kept") << QStringLiteral("\u06F0\u06F7") << "07";
    QTest::newRow("case kept") << "Ab"
                               << "Ab";
    QTest::newRow("apostrophe kept") << "O'Brien"
                                     << "O'Brien";
    QTest::newRow("Persian letters kept")
        << QStringLiteral(" \u0639\u0644\u064A\u06F5 ") << QStringLiteral("\u0639\u0644\u064A5");
    QTest::newRow("Arabic kaf and yeh kept as typed")
        << QStringLiteral("\u0643\u064A") << QStringLiteral("\u0643\u064A");
    QTest::newRow("decomposed alef with madda composed") << QStringLiteral("\u0627\u0653") << QStringLiteral("\u0622");
    QTest::newRow("blanks only") << "   "
                                 << "";
    QTest::newRow("marks only") << QStringLiteral("\u200B\u200F\uFEFF") << "";
}

void TestExamineeCode::normalised()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QCOMPARE(ExamineeCode::normalised(typed), stored);
    QCOMPARE(ExamineeCode::normalised(stored), stored);
}

void TestExamineeCode::lookupForms_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("forms");
    QTest::newRow("already normalised") << "123" << QStringList { "123" };
    QTest::newRow("outer blanks only") << " 123 " << QStringList { "123" };
    QTest::newRow("Persian digits: as typed first")
        << QStringLiteral(" %1").arg(persian123()) << QStringList { persian123(), "123" };
    QTest::newRow("invisible mark: as typed first")
        << QStringLiteral("1\u200B23") << QStringList { QStringLiteral("1\u200B23"), "123" };
    QTest::newRow("nothing visible") << QStringLiteral(" \u200B ") << QStringList {};
    QTest::newRow("empty") << "" << QStringList {};
}

void TestExamineeCode::lookupForms()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, forms);
    QCOMPARE(ExamineeCode::lookupForms(typed), forms);
}

void TestExamineeCode::storedCodesAreBroughtUpToDate()
{
    TestProgram p;
    p.addExaminee(persian123(), QStringLiteral("Sara"));
    p.addExaminee(QStringLiteral("\u200F45 "), QStringLiteral("Reza"));
    p.addExaminee(QStringLiteral("\u0639\u0644\u064A"), QStringLiteral("Ali")); // Persian letters: nothing to do
    p.setAnswers(persian123(), { QStringLiteral("4"), QStringLiteral("2") });

    const ExamineeCode::StoredCodesResult result = ExamineeCode::normaliseStoredCodes(p.database().connection());
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.rewritten, 2);
    QCOMPARE(result.kept, 0);

    // Both rows of each examinee carry the new code, and the answers stay with their examinee.
    QCOMPARE(p.ideField(QStringLiteral("123"), QStringLiteral("FName")), QStringLiteral("Sara"));
    QCOMPARE(p.answer(QStringLiteral("123"), 1), QStringLiteral("4"));
    QCOMPARE(p.answer(QStringLiteral("123"), 2), QStringLiteral("2"));
    QCOMPARE(p.ideField(QStringLiteral("45"), QStringLiteral("FName")), QStringLiteral("Reza"));
    QCOMPARE(p.rowCount(QStringLiteral("Answer"), QStringLiteral("Code"), QStringLiteral("45")), 1);
    QCOMPARE(p.rowCount(QStringLiteral("IDE"), QStringLiteral("Code"), persian123()), 0);
    QCOMPARE(p.rowCount(QStringLiteral("Answer"), QStringLiteral("Code"), persian123()), 0);
    QCOMPARE(p.ideField(QStringLiteral("\u0639\u0644\u064A"), QStringLiteral("FName")), QStringLiteral("Ali"));
    QCOMPARE(p.rowCount(QStringLiteral("IDE")), 3);
    QCOMPARE(p.rowCount(QStringLiteral("Answer")), 3);
}

void TestExamineeCode::storedCodesThatWouldMeetAreKept()
{
    // Three people registered under "123" written three ways by an older version: they stay three people.
    TestProgram p;
    p.addExaminee(arabicIndic123(), QStringLiteral("First"));
    p.addExaminee(persian123(), QStringLiteral("Second"));
    p.addExaminee(QStringLiteral("1\u200B23"), QStringLiteral("Third"));

    const ExamineeCode::StoredCodesResult result = ExamineeCode::normaliseStoredCodes(p.database().connection());
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.rewritten, 1);
    QCOMPARE(result.kept, 2);
    // The one registered first takes the plain code; the others keep theirs, and typing them as they were
    // registered still reaches them.
    QCOMPARE(p.ideField(QStringLiteral("123"), QStringLiteral("FName")), QStringLiteral("First"));
    QCOMPARE(p.ideField(persian123(), QStringLiteral("FName")), QStringLiteral("Second"));
    QCOMPARE(p.ideField(QStringLiteral("1\u200B23"), QStringLiteral("FName")), QStringLiteral("Third"));
    QCOMPARE(ExamineeCode::lookupForms(persian123()).first(), persian123());
    QCOMPARE(p.rowCount(QStringLiteral("Answer")), 3);
    QCOMPARE(p.rowCount(QStringLiteral("Answer"), QStringLiteral("Code"), QStringLiteral("123")), 1);
}

void TestExamineeCode::normalisedFileIsLeftAlone()
{
    T35_FILE_ONLY();
    TestProgram p;
    p.addExaminee(QStringLiteral("123"));
    p.addExaminee(QStringLiteral("\u0639\u0644\u064A 7"));
    const qint64 changesBefore = p.scalar(QStringLiteral("SELECT total_changes()")).toLongLong();
    const ExamineeCode::StoredCodesResult result = ExamineeCode::normaliseStoredCodes(p.database().connection());
    QVERIFY(result.ok);
    QCOMPARE(result.rewritten, 0);
    QCOMPARE(result.kept, 0);
    QCOMPARE(p.scalar(QStringLiteral("SELECT total_changes()")).toLongLong(), changesBefore);
}

void TestExamineeCode::openingNormalisesAnOlderFileOnce()
{
    T35_FILE_ONLY();
    TestProgram p;
    p.addExaminee(persian123(), QStringLiteral("Sara"));
    p.exec(QStringLiteral("PRAGMA user_version = %1").arg(Schema::CodesNormalisedVersion - 1));
    {
        Database reopened(p.folder());
        QVERIFY(reopened.open().ok());
    }
    QCOMPARE(p.ideField(QStringLiteral("123"), QStringLiteral("FName")), QStringLiteral("Sara"));
    QCOMPARE(p.scalar(QStringLiteral("PRAGMA user_version")).toInt(), Schema::CurrentVersion);

    // Written so by hand into a file already brought up to date: no later start looks over the codes again.
    p.addExaminee(QStringLiteral("\u06F4\u06F5"), QStringLiteral("Reza"));
    {
        Database reopened(p.folder());
        QVERIFY(reopened.open().ok());
    }
    QCOMPARE(p.ideField(QStringLiteral("\u06F4\u06F5"), QStringLiteral("FName")), QStringLiteral("Reza"));
    QCOMPARE(p.rowCount(QStringLiteral("IDE"), QStringLiteral("Code"), QStringLiteral("45")), 0);
}

void TestExamineeCode::find_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("code");
    QTest::newRow("as stored") << "12" << "Found" << "12";
    QTest::newRow("Persian digits") << "\u06F1\u06F2" << "Found" << "12";
    QTest::newRow("answers only") << "A7" << "Found" << "A7";
    QTest::newRow("details only") << "D9" << "Found" << "D9";
    QTest::newRow("an older file's look-alike, typed as registered") << " \u06F3\u06F4 " << "Found"
                                                                       << "\u06F3\u06F4";
    QTest::newRow("its plain twin") << "34" << "Found" << "34";
    QTest::newRow("unknown") << "99" << "NotFound" << "";
    QTest::newRow("invisible marks only") << "\u200C \u200F" << "NothingTyped" << "";
}

void TestExamineeCode::find()
{
    QFETCH(QString, typed);
    QFETCH(QString, status);
    QFETCH(QString, code);
    TestProgram program;
    program.addExaminee(QStringLiteral("12"));
    program.addExaminee(QStringLiteral("34"));
    program.exec(QStringLiteral("INSERT INTO \"IDE\" (\"Code\") VALUES ('\u06F3\u06F4'), ('D9')"));
    program.exec(QStringLiteral("INSERT INTO \"Answer\" (\"Code\") VALUES ('\u06F3\u06F4'), ('A7')"));
    TableCursor details(program.database(), QStringLiteral("IDE"));
    TableCursor answers(program.database(), QStringLiteral("Answer"));

    const ExamineeCode::Found found = ExamineeCode::find(typed, { &details, &answers });
    const QMap<ExamineeCode::Found::Status, QString> names = { { ExamineeCode::Found::Status::Found, "Found" },
        { ExamineeCode::Found::Status::NotFound, "NotFound" },
        { ExamineeCode::Found::Status::NothingTyped, "NothingTyped" },
        { ExamineeCode::Found::Status::Failed, "Failed" } };
    QCOMPARE(names.value(found.status), status);
    QCOMPARE(found.code, code);
    if (found.found()) {
        // Both cursors hold the rows of that code and no other.
        QCOMPARE(details.filterValue(), code);
        QCOMPARE(answers.filterValue(), code);
        QCOMPARE(details.count() + answers.count(), program.rowCount(QStringLiteral("IDE"), QStringLiteral("Code"), code)
                + program.rowCount(QStringLiteral("Answer"), QStringLiteral("Code"), code));
    }
}

void TestExamineeCode::findOnAHeldFileFails()
{
    TestProgram program;
    program.addExaminee(QStringLiteral("12"));
    program.database().setLockWait(100);
    TableCursor answers(program.database(), QStringLiteral("Answer"));
    LockHolder other(program.database());
    const ExamineeCode::Found found = ExamineeCode::find(QStringLiteral("12"), { &answers });
    QCOMPARE(found.status, ExamineeCode::Found::Status::Failed);
    QVERIFY(found.busy);
    QVERIFY(!found.error.isEmpty());
}

void TestExamineeCode::isTaken_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("taken");
    QTest::newRow("registered") << "12" << true;
    QTest::newRow("details only") << "D9" << true;
    QTest::newRow("answers only") << "A7" << true;
    QTest::newRow("nobody's") << "99" << false;
    QTest::newRow("an older file's look-alike is another code") << "34" << false;
    QTest::newRow("the look-alike as stored") << "\u06F3\u06F4" << true;
    QTest::newRow("with an apostrophe") << "1'2" << false;
}

void TestExamineeCode::isTaken()
{
    QFETCH(QString, code);
    QFETCH(bool, taken);
    TestProgram program;
    program.addExaminee(QStringLiteral("12"));
    program.exec(QStringLiteral("INSERT INTO \"IDE\" (\"Code\") VALUES ('\u06F3\u06F4'), ('D9')"));
    program.exec(QStringLiteral("INSERT INTO \"Answer\" (\"Code\") VALUES ('\u06F3\u06F4'), ('A7')"));
    const ExamineeCode::Taken found = ExamineeCode::isTaken(program.database(), code);
    QVERIFY2(found.read, qPrintable(found.error));
    QCOMPARE(found.taken, taken);
}

void TestExamineeCode::isTakenOnAHeldFileFails()
{
    TestProgram program;
    program.addExaminee(QStringLiteral("12"));
    program.database().setLockWait(100);
    LockHolder other(program.database());
    const ExamineeCode::Taken found = ExamineeCode::isTaken(program.database(), QStringLiteral("99"));
    QVERIFY(!found.read);
    QVERIFY(found.busy);
    QVERIFY(!found.taken);
}

QTEST_GUILESS_MAIN(TestExamineeCode)
#include "TestExamineeCode.moc"
