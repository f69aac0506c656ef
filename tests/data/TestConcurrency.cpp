#include "data/ComparedPairs.h"
#include "data/Database.h"
#include "data/TableCursor.h"
#include "data/Transaction.h"
#include "examinees/RegistrationStore.h"
#include "questionnaire/AnswerSheet.h"
#include "support/TestProgram.h"
#include "support/TestServer.h"

#include <QSqlQuery>
#include <QTest>

#include <latch>
#include <memory>
#include <thread>

// Several copies of the program on one database at once: two counsellors' computers on the clinic's server, or two
// programs on one data file. Each copy is a Database of its own; those that must act at the same moment run in
// threads of their own, as separate programs would.
class TestConcurrency : public QObject {
    Q_OBJECT
private slots:
    void twoProgramsRegisterAtOnce_data();
    void twoProgramsRegisterAtOnce();
    void deletedWhileAnswered_data();
    void deletedWhileAnswered();
    void aCodeStoredTwiceIsRefusedByTheServer();
    void loneWritesWaitForAnotherWriter_data();
    void loneWritesWaitForAnotherWriter();

private:
    static void engines();
};

namespace {

// Another copy of the program on the same data as `program`.
std::unique_ptr<Database> secondProgram(const TestProgram& program)
{
    if (program.onServer())
        return Database::onServer(*program.server());
    return std::make_unique<Database>(program.folder());
}

struct Tally {
    int saved = 0;
    int taken = 0;
    QStringList failures;
};

Tally registerAll(std::unique_ptr<Database> db, const QStringList& codes, std::latch& ready)
{
    Tally tally;
    const Database::OpenResult opened = db->open();
    ready.arrive_and_wait();
    if (!opened.ok()) {
        tally.failures << QStringLiteral("did not open: ") + opened.error;
        return tally;
    }
    {
        RegistrationStore store(*db);
        TableCursor details(*db, QStringLiteral("IDE"));
        for (const QString& code : codes) {
            details.addNew();
            details.setField(QStringLiteral("FName"), QStringLiteral("Sara"));
            details.setField(QStringLiteral("Group"), QStringLiteral("A"));
            const RegistrationStore::Outcome outcome = store.storeIfCodeIsFree(details, code);
            switch (outcome.stored) {
            case RegistrationStore::Stored::Saved:
                ++tally.saved;
                break;
            case RegistrationStore::Stored::CodeTaken:
                ++tally.taken;
                break;
            case RegistrationStore::Stored::Failed:
                tally.failures << code + QStringLiteral(": ") + outcome.error;
                break;
            }
        }
    }
    db.reset();
    return tally;
}

} // namespace

void TestConcurrency::engines()
{
    QTest::addColumn<bool>("server");
    QTest::newRow("data file") << false;
    QTest::newRow("server") << true;
}

void TestConcurrency::twoProgramsRegisterAtOnce_data()
{
    engines();
}

void TestConcurrency::twoProgramsRegisterAtOnce()
{
    QFETCH(bool, server);
    if (server)
        T35_SKIP_WITHOUT_SERVER();
    TestProgram program(server ? TestProgram::OnServer : TestProgram::OnFile);

    // Fifty codes each, ten of them the same, the shared ones spread through both lists.
    QStringList first;
    QStringList second;
    for (int i = 1; i <= 50; ++i) {
        const bool shared = i % 5 == 0;
        first << (shared ? QStringLiteral("S%1").arg(i) : QStringLiteral("A%1").arg(i));
        second << (shared ? QStringLiteral("S%1").arg(i) : QStringLiteral("B%1").arg(i));
    }
    std::latch ready(2);
    Tally a;
    Tally b;
    std::thread one([&] { a = registerAll(secondProgram(program), first, ready); });
    std::thread two([&] { b = registerAll(secondProgram(program), second, ready); });
    one.join();
    two.join();

    QVERIFY2(a.failures.isEmpty() && b.failures.isEmpty(), qPrintable((a.failures + b.failures).join(u'\n')));
    QCOMPARE(a.saved + b.saved, 90);
    QCOMPARE(a.taken + b.taken, 10);
    QCOMPARE(program.rowCount(QStringLiteral("IDE")), 90);
    QCOMPARE(program.rowCount(QStringLiteral("Answer")), 90);
    for (int i = 5; i <= 50; i += 5) {
        const QString code = QStringLiteral("S%1").arg(i);
        QCOMPARE(program.rowCount(QStringLiteral("IDE"), QStringLiteral("Code"), code), 1);
        QCOMPARE(program.rowCount(QStringLiteral("Answer"), QStringLiteral("Code"), code), 1);
    }
}

void TestConcurrency::deletedWhileAnswered_data()
{
    engines();
}

void TestConcurrency::deletedWhileAnswered()
{
    QFETCH(bool, server);
    if (server)
        T35_SKIP_WITHOUT_SERVER();
    TestProgram program(server ? TestProgram::OnServer : TestProgram::OnFile);
    program.addExaminee(QStringLiteral("12"));
    program.addExaminee(QStringLiteral("13"));

    AnswerSheet sheet(program.database());
    QCOMPARE(sheet.open(QStringLiteral("12")).status, AnswerSheet::Opened::Ready);
    QVERIFY(sheet.record(1, 2).ok);

    // Another counsellor deletes the examinee, both rows together.
    {
        std::unique_ptr<Database> other = secondProgram(program);
        QVERIFY(other->open().ok());
        Transaction deletion(*other);
        QVERIFY(deletion.begun());
        for (const QString& table : { QStringLiteral("IDE"), QStringLiteral("Answer") }) {
            TableCursor rows(*other, table);
            QVERIFY(rows.setFilter(QStringLiteral("Code"), QStringLiteral("12")));
            QVERIFY(rows.removeAll());
        }
        QVERIFY(deletion.commit());
    }

    const AnswerSheet::Outcome refused = sheet.record(2, 4);
    QVERIFY(!refused.ok);
    QVERIFY(!refused.busy);
    QVERIFY(!refused.error.isEmpty());
    // Nothing of the examinee came back, and the other examinee is as registered.
    QCOMPARE(program.rowCount(QStringLiteral("Answer"), QStringLiteral("Code"), QStringLiteral("12")), 0);
    QCOMPARE(program.rowCount(QStringLiteral("IDE"), QStringLiteral("Code"), QStringLiteral("12")), 0);
    QCOMPARE(program.rowCount(QStringLiteral("Answer")), 1);
    QCOMPARE(program.answer(QStringLiteral("13"), 2), QString());
}

void TestConcurrency::aCodeStoredTwiceIsRefusedByTheServer()
{
    T35_SKIP_WITHOUT_SERVER();
    // Writers that meet on a code without the registration's check (an older copy, an administrator's tool) are
    // refused by the server itself, and the cursor says the code was taken rather than that the data is failing.
    TestProgram program(TestProgram::OnServer);
    program.addExaminee(QStringLiteral("7"));
    for (const QString& table : { QStringLiteral("IDE"), QStringLiteral("Answer") }) {
        TableCursor cursor(program.database(), table);
        cursor.addNew();
        cursor.setField(QStringLiteral("Code"), QStringLiteral("7"));
        QVERIFY(!cursor.update());
        QVERIFY(cursor.lastErrorIsCodeTaken());
        QVERIFY(!cursor.lastErrorIsBusy());
        TableCursor other(program.database(), table);
        other.addNew();
        other.setField(QStringLiteral("Code"), QStringLiteral("8"));
        QVERIFY(other.update());
        QVERIFY(!other.lastErrorIsCodeTaken());
    }
    QCOMPARE(program.rowCount(QStringLiteral("IDE"), QStringLiteral("Code"), QStringLiteral("7")), 1);
    QCOMPARE(program.rowCount(QStringLiteral("Answer"), QStringLiteral("Code"), QStringLiteral("7")), 1);
}

void TestConcurrency::loneWritesWaitForAnotherWriter_data()
{
    engines();
}

void TestConcurrency::loneWritesWaitForAnotherWriter()
{
    QFETCH(bool, server);
    if (server)
        T35_SKIP_WITHOUT_SERVER();
    TestProgram program(server ? TestProgram::OnServer : TestProgram::OnFile);
    program.addExaminee(QStringLiteral("12"));
    program.addExaminee(QStringLiteral("13"));
    Database& db = program.database();
    AnswerSheet sheet(db);
    QCOMPARE(sheet.open(QStringLiteral("12")).status, AnswerSheet::Opened::Ready);
    RegistrationStore store(db);
    TableCursor details(db, QStringLiteral("IDE"));
    ComparedPairs pairs(db);
    const ComparedPairs::Pair pair { QStringLiteral("12"), QStringLiteral("13"), ComparedPairs::CoupleKind };
    const auto registerNew = [&] {
        details.addNew();
        details.setField(QStringLiteral("FName"), QStringLiteral("Sara"));
        return store.storeIfCodeIsFree(details, QStringLiteral("14"));
    };

    // Another counsellor's write transaction is open: each write waits for it as long as the wait allows, is told
    // as busy, and stores nothing.
    db.setLockWait(100);
    std::unique_ptr<Database> other = secondProgram(program);
    QVERIFY(other->open().ok());
    {
        Transaction writing(*other);
        QVERIFY(writing.begun());
        const AnswerSheet::Outcome answer = sheet.record(1, 2);
        QVERIFY(!answer.ok);
        QVERIFY2(answer.busy, qPrintable(answer.error));
        QCOMPARE(sheet.storedOption(1), 0);
        const RegistrationStore::Outcome registered = registerNew();
        QCOMPARE(registered.stored, RegistrationStore::Stored::Failed);
        QVERIFY(registered.busy);
        QVERIFY(details.isNewRow());
        QVERIFY(!pairs.remember(pair));
        QVERIFY(pairs.busy());
    }
    QCOMPARE(program.answer(QStringLiteral("12"), 1), QString());
    QCOMPARE(program.rowCount(QStringLiteral("IDE"), QStringLiteral("Code"), QStringLiteral("14")), 0);
    QCOMPARE(program.rowCount(QStringLiteral("Answer"), QStringLiteral("Code"), QStringLiteral("14")), 0);
    QCOMPARE(program.rowCount(QStringLiteral("ComparedPairs")), 0);

    // Statements give up at once for a while after one waited in vain.
    QTest::qWait(150);
    QVERIFY(sheet.record(1, 2).ok);
    QCOMPARE(program.answer(QStringLiteral("12"), 1), QStringLiteral("2"));
    QCOMPARE(registerNew().stored, RegistrationStore::Stored::Saved);
    // The stored row is the cursor's current one, as the table holds it.
    QVERIFY(!details.isNewRow());
    QCOMPARE(details.field(QStringLiteral("Code")), QStringLiteral("14"));
    QCOMPARE(details.rowId(),
        program.scalar(QStringLiteral("SELECT rowid FROM IDE WHERE Code = '14'")).toLongLong());
    QCOMPARE(program.ideField(QStringLiteral("14"), QStringLiteral("FName")), QStringLiteral("Sara"));
    QCOMPARE(program.rowCount(QStringLiteral("Answer"), QStringLiteral("Code"), QStringLiteral("14")), 1);
    QCOMPARE(registerNew().stored, RegistrationStore::Stored::CodeTaken);
    QVERIFY(pairs.remember(pair));
    QCOMPARE(pairs.pairOf(QStringLiteral("13"))->firstCode, QStringLiteral("12"));
}

QTEST_GUILESS_MAIN(TestConcurrency)
#include "TestConcurrency.moc"
