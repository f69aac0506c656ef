// The audit trail on the data file: every change of an examinee's rows leaves the line the server's trail would, with
// the computer's user as who; no line can be changed or deleted; an older file gets the trail with its rows intact.
#include "data/Audit.h"
#include "data/AuditTrail.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "data/TableCursor.h"
#include "support/TestProgram.h"

#include <QSqlQuery>
#include <QTest>

class TestAuditTrail : public QObject {
    Q_OBJECT
private slots:
    void init();
    void changesLeaveTheirLine_data();
    void changesLeaveTheirLine();
    void linesCannotBeChangedOrDeleted();
    void noteWritesALine();
    void olderFileGetsTheTrail();
    void aCopyOpenedApartWritesNoLines();
    void listingNarrowsNewestFirst();

private:
    // The apostrophe proves who is written as a value, whatever the login is called.
    const QString user = QStringLiteral("o'brien");
};

namespace {

QStringList lastLine(TestProgram& program)
{
    QSqlQuery q(program.database().connection());
    if (!q.exec(QStringLiteral("SELECT Who, What, Code, COALESCE(Detail, '-') FROM AuditLog ORDER BY rowid DESC LIMIT 1"))
        || !q.next())
        return {};
    return { q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), q.value(3).toString() };
}

} // namespace

void TestAuditTrail::init()
{
    qputenv("USER", user.toUtf8());
}

void TestAuditTrail::changesLeaveTheirLine_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("detail");
    QTest::newRow("registration") << "INSERT INTO IDE (Code, FName) VALUES ('55', 'Sara')" << "IDE insert" << "55" << "-";
    QTest::newRow("details changed") << "UPDATE IDE SET FName = 'Mina' WHERE Code = '7'" << "IDE update" << "7" << "-";
    QTest::newRow("examinee deleted") << "DELETE FROM IDE WHERE Code = '7'" << "IDE delete" << "7" << "-";
    QTest::newRow("answer sheet") << "INSERT INTO Answer (Code) VALUES ('56')" << "Answer insert" << "56" << "-";
    QTest::newRow("an answer") << "UPDATE Answer SET \"3\" = '4' WHERE Code = '7'" << "Answer update" << "7" << "-";
    QTest::newRow("answers deleted") << "DELETE FROM Answer WHERE Code = '7'" << "Answer delete" << "7" << "-";
    QTest::newRow("pair remembered") << "INSERT INTO ComparedPairs (FirstCode, SecondCode, Kind) VALUES ('7', '8', 'Couple')"
                                     << "ComparedPairs insert" << "7" << "8";
    QTest::newRow("invitation") << "INSERT INTO Invitation (Code, State) VALUES ('7', 'open')" << "Invitation insert" << "7"
                                << "open";
    QTest::newRow("invitation answered")
        << "UPDATE Invitation SET State = 'answered' WHERE Code = '9'" << "Invitation update" << "9" << "answered";
    QTest::newRow("invitation deleted") << "DELETE FROM Invitation WHERE Code = '9'" << "Invitation delete" << "9"
                                        << "revoked";
}

void TestAuditTrail::changesLeaveTheirLine()
{
    QFETCH(QString, statement);
    QFETCH(QString, what);
    QFETCH(QString, code);
    QFETCH(QString, detail);
    TestProgram program(TestProgram::OnFile);
    program.addExaminee(QStringLiteral("7"));
    program.exec(QStringLiteral("INSERT INTO Invitation (Code, State) VALUES ('9', 'revoked')"));
    const int before = program.rowCount(QStringLiteral("AuditLog"));

    QVERIFY(program.exec(statement));
    QCOMPARE(program.rowCount(QStringLiteral("AuditLog")), before + 1);
    QCOMPARE(lastLine(program), QStringList({ user, what, code, detail }));
    // When is now, as UTC text.
    const QDateTime when = AuditTrail::when(program.scalar(QStringLiteral("SELECT MAX(\"When\") FROM AuditLog")).toString());
    QVERIFY(qAbs(when.secsTo(QDateTime::currentDateTime())) < 60);
}

void TestAuditTrail::linesCannotBeChangedOrDeleted()
{
    TestProgram program(TestProgram::OnFile);
    program.addExaminee(QStringLiteral("7"));
    const int lines = program.rowCount(QStringLiteral("AuditLog"));
    QVERIFY(lines > 0);
    for (const QString& statement : { QStringLiteral("UPDATE AuditLog SET Who = 'nobody'"), QStringLiteral("DELETE FROM AuditLog") }) {
        QSqlQuery q(program.database().connection());
        QVERIFY2(!q.exec(statement), qPrintable(statement));
    }
    QCOMPARE(program.rowCount(QStringLiteral("AuditLog")), lines);
    QCOMPARE(program.rowCount(QStringLiteral("AuditLog"), QStringLiteral("Who"), QStringLiteral("nobody")), 0);
}

void TestAuditTrail::noteWritesALine()
{
    TestProgram program(TestProgram::OnFile);
    QVERIFY(Audit::note(program.database(), QStringLiteral("report printed"), QStringLiteral("12"), QStringLiteral("title")));
    QCOMPARE(lastLine(program), QStringList({ user, QStringLiteral("report printed"), QStringLiteral("12"), QStringLiteral("title") }));
    QVERIFY(Audit::note(program.database(), QStringLiteral("backup")));
    QCOMPARE(lastLine(program), QStringList({ user, QStringLiteral("backup"), QString(), QStringLiteral("-") }));
}

void TestAuditTrail::olderFileGetsTheTrail()
{
    TestProgram program(TestProgram::OnFile);
    program.addExaminee(QStringLiteral("7"));
    program.exec(QStringLiteral("INSERT INTO Invitation (Code, State) VALUES ('7', 'open')"));
    program.exec(QStringLiteral("DROP TABLE AuditLog"));
    program.exec(QStringLiteral("PRAGMA user_version = 2"));
    program.database().close();
    QCOMPARE(DatabaseCheck::inspect(program.database().filePath()).outcome, DatabaseCheck::Outcome::Ours);

    QVERIFY(program.database().open().ok());
    QCOMPARE(program.scalar(QStringLiteral("PRAGMA user_version")).toInt(), Schema::CurrentVersion);
    QCOMPARE(program.rowCount(QStringLiteral("AuditLog")), 0);
    QCOMPARE(program.ideField(QStringLiteral("7"), QStringLiteral("FName")), QStringLiteral("Ali"));
    QCOMPARE(program.rowCount(QStringLiteral("Invitation"), QStringLiteral("Code"), QStringLiteral("7")), 1);
    QCOMPARE(program.rowCount(QStringLiteral("sqlite_master"), QStringLiteral("type"), QStringLiteral("trigger")), 2);
    program.addExaminee(QStringLiteral("8"));
    QCOMPARE(program.rowCount(QStringLiteral("AuditLog"), QStringLiteral("What"), QStringLiteral("IDE insert")), 1);
}

void TestAuditTrail::aCopyOpenedApartWritesNoLines()
{
    TestProgram program(TestProgram::OnFile);
    program.database().close();
    const std::unique_ptr<Database> copy = Database::atFile(program.database().filePath());
    QVERIFY(copy->open().ok());
    QSqlQuery q(copy->connection());
    QVERIFY(q.exec(QStringLiteral("INSERT INTO IDE (Code) VALUES ('1')")));
    QVERIFY(q.exec(QStringLiteral("SELECT COUNT(*) FROM AuditLog")) && q.next());
    QCOMPARE(q.value(0).toInt(), 0);
}

void TestAuditTrail::listingNarrowsNewestFirst()
{
    TestProgram program(TestProgram::OnFile);
    const QString insert = QStringLiteral("INSERT INTO AuditLog (\"When\", Who, What, Code) VALUES (?, ?, ?, ?)");
    const QDate day(2026, 3, 21);
    program.exec(insert, { AuditTrail::stamp(day.startOfDay().addSecs(60)), "sara", "IDE insert", "1" });
    program.exec(insert, { AuditTrail::stamp(day.addDays(1).startOfDay().addSecs(-1)), "reza", "IDE insert", "2" });
    program.exec(insert, { AuditTrail::stamp(day.addDays(1).startOfDay()), "sara", "backup", QVariant() });
    std::unique_ptr<TableCursor> lines(AuditTrail::open(program.database()));
    auto codes = [&lines] {
        QList<QStringList> rows;
        lines->readRows(0, 10, { QStringLiteral("Who"), QStringLiteral("What") }, rows);
        QStringList who;
        for (const QStringList& row : rows)
            who << row.join(QLatin1Char('/'));
        return who;
    };
    QCOMPARE(codes(), QStringList({ "sara/backup", "reza/IDE insert", "sara/IDE insert" }));
    QVERIFY(lines->setConditions(AuditTrail::conditions({ QString(), QString(), QString(), day, day })));
    QCOMPARE(codes(), QStringList({ "reza/IDE insert", "sara/IDE insert" }));
    QVERIFY(lines->setConditions(AuditTrail::conditions({ QStringLiteral("sara"), QString(), QString(), QDate(), day })));
    QCOMPARE(lines->count(), 1);
    QVERIFY(!lines->update());
}

QTEST_GUILESS_MAIN(TestAuditTrail)
#include "TestAuditTrail.moc"
