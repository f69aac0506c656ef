#include "data/Database.h"
#include "data/TableCursor.h"
#include "data/Transaction.h"
#include "examinees/LookupWindow.h"
#include "questionnaire/AnswerSheet.h"
#include "ui/MessageCatalogue.h"
#include "support/TestProgram.h"
#include "support/TestServer.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMap>
#include <QTest>

// The server going away in the middle of work: stopped at once (as by a power cut) and started again. The statement
// that meets the broken connection fails and says so, the next one connects again, and every answer reported as
// stored is there. These cases stop the whole test cluster, so CTest runs them alone (RUN_SERIAL).
class TestServerFaults : public QObject {
    Q_OBJECT
private slots:
    void init();
    void answersSurviveAServerStoppedAtOnce();
    void aTransactionCutOffStoresNothing();
    void aServerStillDownFailsAtOnceAndIsTriedAgain();
    void theFirstActionAfterARestartGoesThrough_data();
    void theFirstActionAfterARestartGoesThrough();
    void theLookupWindowSaysInPersianThatTheServerIsGone();
};

namespace {

int optionFor(int item)
{
    return 1 + item % 5;
}

} // namespace

void TestServerFaults::init()
{
    T35_SKIP_WITHOUT_SERVER();
}

void TestServerFaults::answersSurviveAServerStoppedAtOnce()
{
    TestProgram program(TestProgram::OnServer);
    program.addExaminee(QStringLiteral("12"));
    AnswerSheet sheet(program.database());
    QCOMPARE(sheet.open(QStringLiteral("12")).status, AnswerSheet::Opened::Ready);

    QMap<int, int> shownAsStored;
    for (int item = 1; item <= 10; ++item)
        if (sheet.record(item, optionFor(item)).ok)
            shownAsStored.insert(item, optionFor(item));
    QCOMPARE(shownAsStored.size(), 10);

    QVERIFY(TestServer::stopImmediately());
    const AnswerSheet::Outcome cut = sheet.record(11, optionFor(11));
    QVERIFY(!cut.ok);
    QVERIFY(!cut.error.isEmpty());
    QVERIFY(program.database().lastErrorIsConnectionLost());
    // The choice is taken back, as after any failed write.
    QCOMPARE(sheet.storedOption(11), 0);
    QCOMPARE(sheet.storedOption(10), optionFor(10));
    QVERIFY(TestServer::start());

    // The next action connects again and goes on.
    for (int item = 11; item <= 20; ++item) {
        const AnswerSheet::Outcome stored = sheet.record(item, optionFor(item));
        QVERIFY2(stored.ok, qPrintable(stored.error));
        shownAsStored.insert(item, optionFor(item));
    }
    QVERIFY(sheet.saveAndFinish({}).ok);

    std::unique_ptr<Database> later = Database::onServer(*program.server());
    QVERIFY(later->open().ok());
    AnswerSheet reread(*later);
    QCOMPARE(reread.open(QStringLiteral("12")).status, AnswerSheet::Opened::Ready);
    for (auto it = shownAsStored.cbegin(); it != shownAsStored.cend(); ++it)
        QCOMPARE(reread.storedOption(it.key()), it.value());
    QCOMPARE(reread.answeredCount(), shownAsStored.size());
}

void TestServerFaults::aTransactionCutOffStoresNothing()
{
    TestProgram program(TestProgram::OnServer);
    program.addExaminee(QStringLiteral("12"));
    Database& db = program.database();
    {
        Transaction cut(db);
        QVERIFY(cut.begun());
        TableCursor answers(db, QStringLiteral("Answer"));
        QVERIFY(answers.setFilter(QStringLiteral("Code"), QStringLiteral("12")));
        answers.setField(QStringLiteral("1"), QStringLiteral("5"));
        QVERIFY(answers.update());
        TableCursor details(db, QStringLiteral("IDE"));
        QVERIFY(details.setFilter(QStringLiteral("Code"), QStringLiteral("12")));

        QVERIFY(TestServer::stopImmediately());
        details.setField(QStringLiteral("Rezayat"), QStringLiteral("99"));
        QVERIFY(!details.update());
        QVERIFY(db.lastErrorIsConnectionLost());
        QVERIFY(TestServer::start());
        // The server is back, but the transaction is gone: a later write of it is refused, never stored alone.
        details.setField(QStringLiteral("HaleT"), QStringLiteral("12"));
        QVERIFY(!details.update());
        QVERIFY(!cut.commit());
        QVERIFY(!cut.error().isEmpty());
    }
    // Neither write of the transaction is there, and the next one goes through.
    QCOMPARE(program.answer(QStringLiteral("12"), 1), QString());
    QCOMPARE(program.ideField(QStringLiteral("12"), QStringLiteral("Rezayat")), QString());
    QCOMPARE(program.ideField(QStringLiteral("12"), QStringLiteral("HaleT")), QString());
    Transaction next(db);
    QVERIFY2(next.begun(), qPrintable(next.error()));
    QVERIFY(db.exec(QStringLiteral("UPDATE \"Answer\" SET \"1\" = '4'")));
    QVERIFY(next.commit());
    QCOMPARE(program.answer(QStringLiteral("12"), 1), QStringLiteral("4"));
}

void TestServerFaults::aServerStillDownFailsAtOnceAndIsTriedAgain()
{
    TestProgram program(TestProgram::OnServer);
    program.addExaminee(QStringLiteral("12"));
    Database& db = program.database();
    QVERIFY(TestServer::stopImmediately());
    TableCursor answers(db, QStringLiteral("Answer"));
    QVERIFY(answers.readFailed());
    QVERIFY(db.lastErrorIsConnectionLost());
    // Still down: the next statements fail too, and never as "busy" or as "no rows".
    QVERIFY(!answers.reload());
    QVERIFY(answers.readFailed());
    QVERIFY(!answers.lastErrorIsBusy());
    QVERIFY(!answers.lastError().trimmed().isEmpty());
    QVERIFY(TestServer::start());
    QTRY_VERIFY_WITH_TIMEOUT(answers.reload(), 5000);
    QCOMPARE(answers.count(), 1);
}

void TestServerFaults::theFirstActionAfterARestartGoesThrough_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("an answer") << "answer";
    QTest::newRow("a read") << "read";
    QTest::newRow("a write transaction") << "transaction";
}

void TestServerFaults::theFirstActionAfterARestartGoesThrough()
{
    QFETCH(QString, action);
    TestProgram program(TestProgram::OnServer);
    program.addExaminee(QStringLiteral("12"));
    AnswerSheet sheet(program.database());
    QCOMPARE(sheet.open(QStringLiteral("12")).status, AnswerSheet::Opened::Ready);
    QVERIFY(sheet.record(1, 3).ok);
    // Stopped and started while the program did nothing: its connection is gone, the server is back.
    QVERIFY(TestServer::stopImmediately());
    QVERIFY(TestServer::start());
    Database& db = program.database();
    if (action == QLatin1String("answer")) {
        const AnswerSheet::Outcome stored = sheet.record(2, 4);
        QVERIFY2(stored.ok, qPrintable(stored.error));
        QCOMPARE(sheet.storedOption(2), 4);
    } else if (action == QLatin1String("read")) {
        TableCursor answers(db, QStringLiteral("Answer"));
        QVERIFY2(!answers.readFailed(), qPrintable(answers.lastError()));
        QCOMPARE(answers.count(), 1);
    } else {
        Transaction write(db);
        QVERIFY2(write.begun(), qPrintable(write.error()));
        QVERIFY(db.exec(QStringLiteral("UPDATE \"Answer\" SET \"3\" = '2'")));
        QVERIFY(write.commit());
    }
    QVERIFY(!db.lastErrorIsConnectionLost());
    // Run once: the write is there once.
    QCOMPARE(program.rowCount(QStringLiteral("Answer")), 1);
}

void TestServerFaults::theLookupWindowSaysInPersianThatTheServerIsGone()
{
    TestProgram program(TestProgram::OnServer);
    program.addExaminee(QStringLiteral("12"), QStringLiteral("Ali"));
    program.addExaminee(QStringLiteral("13"), QStringLiteral("Reza"));
    LookupWindow window(program.database(), program.messages(), program.fileDialogs(), ResearchExport::Scoring {});
    window.show();
    QVERIFY(TestServer::stopImmediately());
    auto* firstName = Drive::find<QComboBox>(&window, QStringLiteral("DataCombo6"));
    Drive::type(firstName->lineEdit(), QStringLiteral("A"));
    auto* code = Drive::find<QLineEdit>(&window, QStringLiteral("Text5"));
    code->setText(QStringLiteral("12"));
    Drive::click(&window, QStringLiteral("Command2"));
    QCoreApplication::processEvents();
    QVERIFY(TestServer::start());
    QVERIFY(!program.messages().boxes.isEmpty());
    for (const ScriptedMessages::Box& box : std::as_const(program.messages().boxes)) {
        QCOMPARE(box.title, Msg::ErrorTitlePersian);
        QVERIFY2(box.text.startsWith(Msg::DatabaseFailing) || box.text.startsWith(Msg::DatabaseBusy),
            qPrintable(box.text));
    }
}

QTEST_MAIN(TestServerFaults)
#include "TestServerFaults.moc"
