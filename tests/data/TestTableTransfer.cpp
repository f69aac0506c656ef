#include "data/Invitations.h"
#include "data/TableTransfer.h"
#include "support/LockHolder.h"
#include "support/TestProgram.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

class TestTableTransfer : public QObject {
    Q_OBJECT
private slots:
    void replaceAllCopiesEveryTable();
    void replaceAllLeavesSourceAlone();
    void replaceAllWithEmptySource();
    void addExamineesKeepsTargetsOwn();
    void addExamineesRefusedOnTakenCode();
    void codesCompareExactly();
    void heldTargetLeftAsItWas();
    void manyRowsInOrder_data();
    void manyRowsInOrder();
    void linksOpenAsBeforeAfterTransfer_data();
    void linksOpenAsBeforeAfterTransfer();
};

namespace {

// Every row of the program's copied tables and of QU, as texts, in stored order.
QList<QStringList> rows(Database& db, const QString& table)
{
    QList<QStringList> all;
    QSqlQuery q(db.connection());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table))) {
        QTest::qFail(qPrintable(q.lastError().text()), __FILE__, __LINE__);
        return all;
    }
    while (q.next()) {
        QStringList row;
        for (int i = 0; i < q.record().count(); ++i)
            row << q.value(i).toString();
        all << row;
    }
    return all;
}

QMap<QString, QList<QStringList>> contents(Database& db)
{
    QMap<QString, QList<QStringList>> all;
    for (const QString& table : TableTransfer::tables())
        all.insert(table, rows(db, table));
    all.insert(QStringLiteral("Invitation"), rows(db, QStringLiteral("Invitation")));
    all.insert(QStringLiteral("QU"), rows(db, QStringLiteral("QU")));
    return all;
}

QStringList answers(const QString& first)
{
    QStringList all(35, QStringLiteral("3"));
    all[0] = first;
    return all;
}

void fill(TestProgram& program)
{
    program.addExaminee(QStringLiteral("7"), QStringLiteral("مريم"), QStringLiteral("A"));
    program.addExaminee(QStringLiteral("O'Brien"), QStringLiteral("Ali"), QStringLiteral("B"));
    program.addExaminee(QStringLiteral("12"), QStringLiteral("سارا"), QStringLiteral("A"));
    program.setAnswers(QStringLiteral("7"), answers(QStringLiteral("5")));
    program.exec(QStringLiteral("UPDATE IDE SET Rezayat = '34' WHERE Code = '7'"));
    program.exec(QStringLiteral("UPDATE Theme SET TH = '4', Name = 'کلينيک مهر', Adress = 'تهران'"));
    program.exec(
        QStringLiteral("INSERT INTO ComparedPairs (FirstCode, SecondCode, Kind) VALUES ('7', '12', 'Couple')"));
    program.exec(QStringLiteral("INSERT INTO Invitation (Code, TokenHash, Made, Expires, State, MadeBy) VALUES "
                                "('7', 'aa01', '2026-03-01T08:00:00Z', '2026-03-08T08:00:00Z', 'open', 'مشاور')"));
    program.exec(QStringLiteral("INSERT INTO Invitation (Code, TokenHash, Made, Expires, State, MadeBy) VALUES "
                                "('12', 'bb02', '2026-03-02T08:00:00Z', '2026-03-09T08:00:00Z', 'finished', 'B')"));
}

} // namespace

void TestTableTransfer::replaceAllCopiesEveryTable()
{
    TestProgram source;
    TestProgram target;
    fill(source);
    target.addExaminee(QStringLiteral("99"));
    target.exec(
        QStringLiteral("INSERT INTO ComparedPairs (FirstCode, SecondCode, Kind) VALUES ('99', '98', 'FollowUp')"));

    const TableTransfer::Result result = TableTransfer::replaceAll(source.database(), target.database());
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.examinees, 3);
    QCOMPARE(contents(target.database()), contents(source.database()));
    QCOMPARE(target.rowCount(QStringLiteral("IDE"), QStringLiteral("Code"), QStringLiteral("99")), 0);
    QCOMPARE(target.answer(QStringLiteral("7"), 1), QStringLiteral("5"));
}

void TestTableTransfer::replaceAllLeavesSourceAlone()
{
    TestProgram source;
    TestProgram target;
    fill(source);
    const auto before = contents(source.database());
    QVERIFY(TableTransfer::replaceAll(source.database(), target.database()).ok);
    QCOMPARE(contents(source.database()), before);
}

void TestTableTransfer::replaceAllWithEmptySource()
{
    TestProgram source;
    TestProgram target;
    fill(target);
    QVERIFY(TableTransfer::replaceAll(source.database(), target.database()).ok);
    QCOMPARE(target.rowCount(QStringLiteral("IDE")), 0);
    QCOMPARE(target.rowCount(QStringLiteral("Answer")), 0);
    QCOMPARE(target.rowCount(QStringLiteral("ComparedPairs")), 0);
    // The settings row and the questionnaire stay whole.
    QCOMPARE(target.rowCount(QStringLiteral("Theme")), 1);
    QCOMPARE(target.rowCount(QStringLiteral("QU")), 35);
}

void TestTableTransfer::addExamineesKeepsTargetsOwn()
{
    TestProgram source;
    TestProgram target;
    fill(source);
    target.addExaminee(QStringLiteral("99"));
    target.exec(QStringLiteral("UPDATE Theme SET Name = 'سرور'"));

    const TableTransfer::Result result = TableTransfer::addExaminees(source.database(), target.database());
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.examinees, 3);
    QVERIFY(result.takenCodes.isEmpty());
    QCOMPARE(target.rowCount(QStringLiteral("IDE")), 4);
    QCOMPARE(target.rowCount(QStringLiteral("Answer")), 4);
    QCOMPARE(target.ideField(QStringLiteral("O'Brien"), QStringLiteral("FName")), QStringLiteral("Ali"));
    QCOMPARE(target.ideField(QStringLiteral("7"), QStringLiteral("Rezayat")), QStringLiteral("34"));
    QCOMPARE(target.answer(QStringLiteral("7"), 1), QStringLiteral("5"));
    QCOMPARE(target.rowCount(QStringLiteral("ComparedPairs"), QStringLiteral("FirstCode"), QStringLiteral("7")), 1);
    // The target's own settings are its own.
    QCOMPARE(target.scalar(QStringLiteral("SELECT Name FROM Theme")).toString(), QStringLiteral("سرور"));
}

void TestTableTransfer::addExamineesRefusedOnTakenCode()
{
    TestProgram source;
    TestProgram target;
    fill(source);
    target.addExaminee(QStringLiteral("12"));
    target.addExaminee(QStringLiteral("7"));
    const auto before = contents(target.database());

    const TableTransfer::Result result = TableTransfer::addExaminees(source.database(), target.database());
    QVERIFY(!result.ok);
    // In the source's order.
    QCOMPARE(result.takenCodes, (QStringList { QStringLiteral("7"), QStringLiteral("12") }));
    QCOMPARE(contents(target.database()), before);
}

void TestTableTransfer::codesCompareExactly()
{
    TestProgram source;
    TestProgram target;
    source.addExaminee(QStringLiteral("07"));
    target.addExaminee(QStringLiteral("7"));
    const TableTransfer::Result result = TableTransfer::addExaminees(source.database(), target.database());
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(target.rowCount(QStringLiteral("IDE")), 2);
}

void TestTableTransfer::heldTargetLeftAsItWas()
{
    TestProgram source;
    TestProgram target;
    fill(source);
    target.addExaminee(QStringLiteral("99"));
    target.database().setLockWait(100);
    const auto before = contents(target.database());
    {
        LockHolder holder(target.database().filePath());
        QVERIFY(holder.isHolding());
        const TableTransfer::Result result = TableTransfer::replaceAll(source.database(), target.database());
        QVERIFY(!result.ok);
        QVERIFY(result.busy);
    }
    QCOMPARE(contents(target.database()), before);
}

void TestTableTransfer::manyRowsInOrder_data()
{
    QTest::addColumn<int>("examinees");
    // The rows go over in batches: exactly one, several and a part, and one short of one.
    QTest::newRow("one batch") << 200;
    QTest::newRow("batches and a part") << 451;
    QTest::newRow("part of one") << 199;
}

void TestTableTransfer::manyRowsInOrder()
{
    QFETCH(int, examinees);
    TestProgram source;
    TestProgram target;
    QVERIFY(source.exec(QStringLiteral("BEGIN")));
    for (int i = 0; i < examinees; ++i)
        source.addExaminee(QStringLiteral("c%1").arg(examinees - i), QStringLiteral("n%1").arg(i));
    QVERIFY(source.exec(QStringLiteral("COMMIT")));
    TableTransfer::Result result = TableTransfer::addExaminees(source.database(), target.database());
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.examinees, examinees);
    QCOMPARE(contents(target.database()).value(QStringLiteral("IDE")),
        contents(source.database()).value(QStringLiteral("IDE")));
    QCOMPARE(contents(target.database()).value(QStringLiteral("Answer")),
        contents(source.database()).value(QStringLiteral("Answer")));
}

// The links a clinic handed out open after a backup is restored, or after its examinees moved to another database,
// exactly as they did before: an open one still opens the same examinee's answers, a finished one stays finished, a
// revoked one still opens nothing.
void TestTableTransfer::linksOpenAsBeforeAfterTransfer_data()
{
    QTest::addColumn<bool>("replacing");
    QTest::addRow("all rows replaced (backup, restore)") << true;
    QTest::addRow("examinees added (a clinic moving)") << false;
}

void TestTableTransfer::linksOpenAsBeforeAfterTransfer()
{
    QFETCH(bool, replacing);
    TestProgram source;
    TestProgram target;
    fill(source);
    target.addExaminee(QStringLiteral("99"));
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QString by = QStringLiteral("test");
    const Invitations::Made open = Invitations::make(source.database(), QStringLiteral("7"), 7, by, now);
    const Invitations::Made done = Invitations::make(source.database(), QStringLiteral("12"), 7, by, now);
    const Invitations::Made revoked = Invitations::make(source.database(), QStringLiteral("O'Brien"), 7, by, now);
    for (const Invitations::Made* made : { &open, &done, &revoked })
        QCOMPARE(made->status, Invitations::Made::Status::Made);
    QVERIFY(Invitations::moveTo(source.database(), Invitations::hashOf(done.token), Invitations::State::Finished).ok);
    QVERIFY(Invitations::moveTo(source.database(), Invitations::hashOf(revoked.token), Invitations::State::Revoked).ok);

    const TableTransfer::Result result = replacing ? TableTransfer::replaceAll(source.database(), target.database())
                                                   : TableTransfer::addExaminees(source.database(), target.database());
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(target.rowCount(QStringLiteral("Invitation")), source.rowCount(QStringLiteral("Invitation")));

    const Invitations::Found stillOpen = Invitations::find(target.database(), open.token, now);
    QCOMPARE(stillOpen.status, Invitations::Found::Status::Valid);
    QCOMPARE(stillOpen.code, QStringLiteral("7"));
    QCOMPARE(stillOpen.state, Invitations::State::Open);
    const Invitations::Found stillDone = Invitations::find(target.database(), done.token, now);
    QCOMPARE(stillDone.status, Invitations::Found::Status::Valid);
    QCOMPARE(stillDone.code, QStringLiteral("12"));
    QCOMPARE(stillDone.state, Invitations::State::Finished);
    QCOMPARE(Invitations::find(target.database(), revoked.token, now).status, Invitations::Found::Status::Closed);
}

QTEST_MAIN(TestTableTransfer)
#include "TestTableTransfer.moc"
