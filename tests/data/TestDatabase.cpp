#include "data/Database.h"
#include "data/PageCheck.h"
#include "data/Schema.h"
#include "data/TableCursor.h"
#include "data/Transaction.h"
#include "support/LockHolder.h"
#include "support/TestProgram.h"
#include "support/TestServer.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSignalSpy>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QLibraryInfo>
#include <QTest>
#include <QTranslator>

namespace {

QByteArray fileHash(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// Makes an SQLite file at `path` by running `statements` on a connection of its own.
void makeSqliteFile(const QString& path, const QStringList& statements)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("maker"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery q(db);
        for (const QString& s : statements)
            QVERIFY2(q.exec(s), qPrintable(s));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("maker"));
}

QStringList ourSchemaWithout(const QString& droppedTable, const QString& droppedColumn)
{
    const QList<QPair<QString, QStringList>> tables = {
        {QStringLiteral("IDE"), Database::ideColumns()},
        {QStringLiteral("Answer"), Database::answerColumns()},
        {QStringLiteral("QU"), Database::quColumns()},
        {QStringLiteral("Theme"), Database::themeColumns()},
        {QStringLiteral("PPP"), {QStringLiteral("ID")}},
    };
    QStringList statements;
    for (const auto& [table, columns] : tables) {
        if (table == droppedTable && droppedColumn.isEmpty())
            continue;
        QStringList defs;
        for (const QString& c : columns)
            if (!(table == droppedTable && c == droppedColumn))
                defs << QStringLiteral("\"%1\" TEXT").arg(c);
        statements << QStringLiteral("CREATE TABLE \"%1\" (%2)").arg(table, defs.join(QStringLiteral(", ")));
    }
    return statements;
}

} // namespace

class TestDatabase : public QObject {
    Q_OBJECT
private slots:
    void firstStartCreatesSchemaAndSeed();
    void secondStartKeepsData();
    void dataLivesInTheProgramFolderNotTheCurrentOne();
    void unusualFolderNames_data();
    void unusualFolderNames();
    void foreignFileIsRefusedUntouched_data();
    void foreignFileIsRefusedUntouched();
    void transactionRollsBackUnlessCommitted();
    void writeTransactionWaitsForAnotherProgram();
    void aStatementThatCannotBePreparedSaysWhyInAnyLanguage_data();
    void aStatementThatCannotBePreparedSaysWhyInAnyLanguage();
    void keptStatementsRunAgainAndGoWithTheirConnection();
    void pagesCheckedLaterHoldWritesBackUntilTheirVerdict_data();
    void pagesCheckedLaterHoldWritesBackUntilTheirVerdict();

private:
    QTranslator m_persianQt;
};

void TestDatabase::firstStartCreatesSchemaAndSeed()
{
    T35_FILE_ONLY();
    QTemporaryDir dir;
    Database db(dir.path());
    const Database::OpenResult result = db.open();
    QCOMPARE(result.status, Database::OpenStatus::Created);
    QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("RIVERIVU/RIVERIVU.mdb"))));
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("RIVERIVU/RIVERIVU.mdb.new"))));

    QSqlDatabase c = db.connection();
    QStringList tables = c.tables();
    tables.sort();
    QCOMPARE(tables, (QStringList{"Answer", "AuditLog", "ComparedPairs", "IDE", "Invitation", "PPP", "QU", "Theme"}));
    QSqlQuery version(c);
    QVERIFY(version.exec(QStringLiteral("PRAGMA user_version")) && version.next());
    QCOMPARE(version.value(0).toInt(), Schema::CurrentVersion);

    const QStringList ide = {"Code", "FName", "LName", "Jens", "Sen", "Taahol", "Tahsil", "Group",
                             "Date", "Time", "Rezayat", "Ertebat", "HaleT", "TahrifeA"};
    for (const QString& column : ide)
        QVERIFY2(c.record(QStringLiteral("IDE")).contains(column), qPrintable(column));
    const QSqlRecord answer = c.record(QStringLiteral("Answer"));
    QCOMPARE(answer.count(), 37);
    QVERIFY(answer.contains(QStringLiteral("Code")));
    QVERIFY(answer.contains(QStringLiteral("50")));
    for (int i = 1; i <= 35; ++i)
        QVERIFY(answer.contains(QString::number(i)));

    QSqlQuery q(c);
    QVERIFY(q.exec(QStringLiteral("SELECT \"ID\", \"QUs\" FROM \"QU\" ORDER BY CAST(\"ID\" AS INTEGER)")));
    int expected = 1;
    while (q.next()) {
        QCOMPARE(q.value(0).toString(), QString::number(expected));
        const QString statement = q.value(1).toString();
        QVERIFY2(statement.size() > 20, qPrintable(statement));
        QVERIFY(statement.contains(QChar(0x064A)) || statement.contains(QChar(0x06A9)));
        ++expected;
    }
    QCOMPARE(expected, 36);

    QVERIFY(q.exec(QStringLiteral("SELECT \"TH\", \"Name\", \"Adress\" FROM \"Theme\"")));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("1"));
    QCOMPARE(q.value(1).toString(), QString());
    QCOMPARE(q.value(2).toString(), QString());
    QVERIFY(!q.next());

    QVERIFY(q.exec(QStringLiteral("PRAGMA journal_mode")) && q.next());
    QCOMPARE(q.value(0).toString().toLower(), QStringLiteral("delete"));

    QVERIFY(q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = 'IDE'")));
    QStringList indexes;
    while (q.next())
        indexes << q.value(0).toString();
    QVERIFY(indexes.size() >= 2);
}

void TestDatabase::secondStartKeepsData()
{
    T35_FILE_ONLY();
    QTemporaryDir dir;
    {
        Database db(dir.path());
        QVERIFY(db.open().ok());
        QSqlQuery q(db.connection());
        QVERIFY(q.exec(QStringLiteral("INSERT INTO \"IDE\" (\"Code\") VALUES ('12')")));
        QVERIFY(q.exec(QStringLiteral("UPDATE \"Theme\" SET \"TH\" = '7'")));
    }
    Database db(dir.path());
    QCOMPARE(db.open().status, Database::OpenStatus::Opened);
    QSqlQuery q(db.connection());
    QVERIFY(q.exec(QStringLiteral("SELECT COUNT(*) FROM \"IDE\"")) && q.next());
    QCOMPARE(q.value(0).toInt(), 1);
    QVERIFY(q.exec(QStringLiteral("SELECT COUNT(*), MAX(\"TH\") FROM \"Theme\"")) && q.next());
    QCOMPARE(q.value(0).toInt(), 1);
    QCOMPARE(q.value(1).toString(), QStringLiteral("7"));
    QVERIFY(q.exec(QStringLiteral("SELECT COUNT(*) FROM \"QU\"")) && q.next());
    QCOMPARE(q.value(0).toInt(), 35);
}

void TestDatabase::dataLivesInTheProgramFolderNotTheCurrentOne()
{
    T35_FILE_ONLY();
    QTemporaryDir programFolder;
    QTemporaryDir elsewhere;
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(elsewhere.path()));
    {
        Database db(programFolder.path());
        QVERIFY(db.open().ok());
    }
    QDir::setCurrent(before);
    QVERIFY(QFileInfo::exists(programFolder.filePath(QStringLiteral("RIVERIVU/RIVERIVU.mdb"))));
    QVERIFY(!QFileInfo::exists(elsewhere.filePath(QStringLiteral("RIVERIVU"))));
}

void TestDatabase::unusualFolderNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("Persian") << QStringLiteral("\u0628\u0631\u0646\u0627\u0645\u0647 \u0645\u0634\u0627\u0648\u0631\u0647");
    QTest::newRow("blanks") << QStringLiteral("Program Files");
    QTest::newRow("signs a web address would read") << QStringLiteral("a#b?c%41&d=e");
}

void TestDatabase::unusualFolderNames()
{
    T35_FILE_ONLY();
    QFETCH(QString, name);
    QTemporaryDir dir;
    const QString folder = QDir(dir.path()).filePath(name);
    QVERIFY(QDir().mkpath(folder));
    {
        Database db(folder);
        QCOMPARE(db.open().status, Database::OpenStatus::Created);
        QVERIFY(QSqlQuery(db.connection()).exec(QStringLiteral("INSERT INTO \"IDE\" (\"Code\") VALUES ('5')")));
    }
    QVERIFY(QFileInfo::exists(QDir(folder).filePath(QStringLiteral("RIVERIVU/RIVERIVU.mdb"))));
    Database db(folder);
    QCOMPARE(db.open().status, Database::OpenStatus::Opened);
    QSqlQuery q(db.connection());
    QVERIFY(q.exec(QStringLiteral("SELECT COUNT(*) FROM \"IDE\"")) && q.next());
    QCOMPARE(q.value(0).toInt(), 1);
    // Nothing was made anywhere else.
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{name});
}

void TestDatabase::foreignFileIsRefusedUntouched_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("text file") << "text";
    QTest::newRow("empty file") << "empty";
    QTest::newRow("random bytes behind an SQLite header") << "garbage";
    QTest::newRow("another program's database") << "other";
    QTest::newRow("our tables but Answer lacks a column") << "missingColumn";
    QTest::newRow("our tables but Theme is missing") << "missingTable";
}

void TestDatabase::foreignFileIsRefusedUntouched()
{
    T35_FILE_ONLY();
    QFETCH(QString, kind);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("RIVERIVU")));
    const QString path = dir.filePath(QStringLiteral("RIVERIVU/RIVERIVU.mdb"));

    if (kind == QLatin1String("text") || kind == QLatin1String("empty") || kind == QLatin1String("garbage")) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        if (kind == QLatin1String("text"))
            f.write("Name,Code\nAli,12\n");
        else if (kind == QLatin1String("garbage"))
            f.write(QByteArray("SQLite format 3\0", 16) + QByteArray(4000, '\x5a'));
    } else if (kind == QLatin1String("other")) {
        makeSqliteFile(path, {QStringLiteral("CREATE TABLE invoices (id INTEGER, total REAL)"),
                              QStringLiteral("INSERT INTO invoices VALUES (1, 9.5)")});
    } else if (kind == QLatin1String("missingColumn")) {
        makeSqliteFile(path, ourSchemaWithout(QStringLiteral("Answer"), QStringLiteral("17")));
    } else {
        makeSqliteFile(path, ourSchemaWithout(QStringLiteral("Theme"), QString()));
    }
    const QByteArray hashBefore = fileHash(path);
    const QDateTime modifiedBefore = QFileInfo(path).lastModified();
    const QStringList filesBefore = QDir(dir.filePath(QStringLiteral("RIVERIVU"))).entryList(QDir::Files);

    Database db(dir.path());
    const Database::OpenResult result = db.open();
    QCOMPARE(result.status, Database::OpenStatus::Refused);
    QCOMPARE(result.check, DatabaseCheck::Outcome::NotOurs);
    QVERIFY(!result.ok());
    QVERIFY(!db.isOpen());
    QCOMPARE(fileHash(path), hashBefore);
    QCOMPARE(QFileInfo(path).lastModified(), modifiedBefore);
    QCOMPARE(QDir(dir.filePath(QStringLiteral("RIVERIVU"))).entryList(QDir::Files), filesBefore);
}

void TestDatabase::transactionRollsBackUnlessCommitted()
{
    TestProgram program;
    const auto codes = [&] {
        QStringList stored;
        QSqlQuery q(program.database().connection());
        if (q.exec(QStringLiteral("SELECT \"Code\" FROM \"IDE\" ORDER BY rowid")))
            while (q.next())
                stored << q.value(0).toString();
        return stored.join(QLatin1Char(','));
    };
    {
        Transaction kept(program.database());
        QVERIFY(kept.begun());
        program.exec(QStringLiteral("INSERT INTO \"IDE\" (\"Code\") VALUES ('kept')"));
        QVERIFY(kept.commit());
    }
    {
        Transaction left(program.database());
        QVERIFY(left.begun());
        program.exec(QStringLiteral("INSERT INTO \"IDE\" (\"Code\") VALUES ('left unfinished')"));
    }
    {
        Transaction dropped(program.database());
        program.exec(QStringLiteral("INSERT INTO \"IDE\" (\"Code\") VALUES ('dropped')"));
        dropped.rollback();
        QVERIFY(!dropped.commit()); // nothing left to store
    }
    QCOMPARE(codes(), QStringLiteral("kept"));
    // The connection is free for the next transaction.
    Transaction next(program.database());
    QVERIFY(next.begun());
}

void TestDatabase::writeTransactionWaitsForAnotherProgram()
{
    TestProgram program;
    program.database().setLockWait(100);
    LockHolder other(program.database());
    Transaction refused(program.database());
    QVERIFY(!refused.begun());
    QVERIFY(refused.busy());
    QVERIFY(!refused.error().isEmpty());
    other.release();
    Transaction taken(program.database());
    QVERIFY(taken.begun());
}

void TestDatabase::aStatementThatCannotBePreparedSaysWhyInAnyLanguage_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<bool>("held");
    QTest::addColumn<bool>("busy");
    QTest::addColumn<QString>("fileCode");
    QTest::addColumn<QString>("serverCode");

    // The server prepares a statement when it is made, waiting for the table's lock as running it would.
    QTest::newRow("tables held by another program") << "IDE" << true << true << "5" << "55P03";
    QTest::newRow("a table that is not there") << "Nowhere" << false << false << "1" << "42P01";
}

void TestDatabase::aStatementThatCannotBePreparedSaysWhyInAnyLanguage()
{
    QFETCH(QString, table);
    QFETCH(bool, held);
    QFETCH(bool, busy);
    QFETCH(QString, fileCode);
    QFETCH(QString, serverCode);
    // Qt's own words in Persian, as the program has them: the driver's description of a failed prepare among them.
    if (m_persianQt.isEmpty()) {
        QVERIFY(m_persianQt.load(QStringLiteral("qtbase_fa"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
        QCoreApplication::installTranslator(&m_persianQt);
    }
    QVERIFY(QCoreApplication::translate("QPSQLResult", "Unable to prepare statement")
        != QLatin1String("Unable to prepare statement"));

    TestProgram program;
    program.database().setLockWait(200);
    std::optional<LockHolder> other;
    if (held)
        other.emplace(program.database());
    TableCursor cursor(program.database(), table);
    QVERIFY(cursor.readFailed());
    QCOMPARE(cursor.lastErrorIsBusy(), busy);
    QCOMPARE(program.database().lastErrorIsBusy(), busy);
    QCOMPARE(program.database().lastErrorCode(), program.onServer() ? serverCode : fileCode);
    // Never run as something else after failing to be prepared.
    QVERIFY2(!cursor.lastError().contains(QLatin1String("EXECUTE")), qPrintable(cursor.lastError()));
    QVERIFY2(!cursor.lastError().contains(QLatin1String("syntax")), qPrintable(cursor.lastError()));
    if (!held)
        QVERIFY2(cursor.lastError().contains(table), qPrintable(cursor.lastError()));
    // Once free, the same statement runs.
    other.reset();
    if (held)
        QVERIFY2(cursor.reload(), qPrintable(cursor.lastError()));
}


void TestDatabase::keptStatementsRunAgainAndGoWithTheirConnection()
{
    TestProgram program;
    for (const QString& code : { QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3") })
        program.addExaminee(code);
    Database& db = program.database();
    const QString sql = QStringLiteral("SELECT \"Code\" FROM \"IDE\" WHERE \"Code\" <> ? ORDER BY \"Code\"");
    const auto codesBut = [&db, &sql](const QString& left) {
        Database::Statement statement = db.statement(sql);
        QStringList codes;
        if (!statement)
            return QStringLiteral("not prepared: ") + db.lastError();
        statement.query().addBindValue(left);
        if (!db.exec(statement.query()))
            return QStringLiteral("not run: ") + db.lastError();
        while (statement.query().next())
            codes << statement.query().value(0).toString();
        return codes.join(QLatin1Char(','));
    };
    {
        Database::Statement outer = db.statement(sql);
        QVERIFY(outer);
        outer.query().addBindValue(QStringLiteral("1"));
        QVERIFY(db.exec(outer.query()));
        QVERIFY(outer.query().next());
        QCOMPARE(outer.query().value(0).toString(), QStringLiteral("2"));
        // Asked for while held, the same statement is a query of its own: on the file the first one's rows go on
        // (the server's driver ends a read under way with the next statement, whatever it is).
        QCOMPARE(codesBut(QStringLiteral("2")), QStringLiteral("1,3"));
        if (!program.onServer()) {
            QVERIFY(outer.query().next());
            QCOMPARE(outer.query().value(0).toString(), QStringLiteral("3"));
        }
    }
    // The kept one, run again with other values.
    QCOMPARE(codesBut(QStringLiteral("3")), QStringLiteral("1,2"));
    if (!program.onServer()) {
        // A read left half-way holds nothing once its guard has gone: another program takes the file at once.
        {
            Database::Statement partly = db.statement(sql);
            partly.query().addBindValue(QStringLiteral("9"));
            QVERIFY(db.exec(partly.query()));
            QVERIFY(partly.query().next());
        }
        LockHolder other(db.filePath());
        QVERIFY(other.isHolding());
    }
    // Closed and opened again, or (on the server) ended under the program, the connection prepares them anew.
    db.close();
    QVERIFY(db.open().ok());
    QCOMPARE(codesBut(QStringLiteral("1")), QStringLiteral("2,3"));
    if (program.onServer()) {
        QSqlQuery own(db.connection());
        QVERIFY(own.exec(QStringLiteral("SELECT pg_backend_pid()")) && own.next());
        const QString pid = own.value(0).toString();
        own.finish();
        QCOMPARE(TestServer::execAsAdmin(QStringLiteral("SELECT pg_terminate_backend(%1)").arg(pid)), QString());
        QTRY_COMPARE(codesBut(QStringLiteral("2")), QStringLiteral("1,3"));
    }
}

void TestDatabase::pagesCheckedLaterHoldWritesBackUntilTheirVerdict_data()
{
    QTest::addColumn<bool>("damaged");
    QTest::newRow("sound pages") << false;
    QTest::newRow("a page of the examinees overwritten") << true;
}

void TestDatabase::pagesCheckedLaterHoldWritesBackUntilTheirVerdict()
{
    QFETCH(bool, damaged);
    QTemporaryDir dir;
    const QString path = Database::filePath(dir.path());
    {
        Database db(dir.path());
        QVERIFY(db.open().ok());
        QVERIFY(db.beginTransaction());
        QSqlQuery insert(db.connection());
        QVERIFY(insert.prepare(QStringLiteral("INSERT INTO IDE (Code, FName, LName) VALUES (?, 'Sara', 'Karimi')")));
        for (int n = 1; n <= 3000; ++n) {
            insert.addBindValue(QString::number(n));
            QVERIFY(insert.exec());
        }
        QVERIFY(db.commit());
    }
    if (damaged) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.size() > 40 * 4096);
        // Among the examinees' pages, written last.
        QVERIFY(f.seek(f.size() / 4096 * 3 / 4 * 4096));
        QCOMPARE(f.write(QByteArray(4096, '\x41')), 4096);
    }
    const QByteArray before = fileHash(path);

    Database db(dir.path());
    db.setPagesCheckedLater(true);
    const Database::OpenResult opened = db.open();
    QCOMPARE(opened.status, Database::OpenStatus::Opened);
    QVERIFY(db.pageCheck());
    QSignalSpy verdicts(db.pageCheck(), &PageCheck::finished);

    // Reads go on while the pages are read.
    QSqlQuery read(db.connection());
    QVERIFY(db.prepare(read, QStringLiteral("SELECT COUNT(*) FROM QU")));
    QVERIFY(db.exec(read));
    read.finish();

    // A write waits for the verdict, and runs only on sound pages.
    const bool written = db.exec(QStringLiteral("UPDATE Theme SET Name = 'Clinic'"));
    QCOMPARE(written, !damaged);
    if (damaged) {
        QVERIFY2(db.lastError().contains(QLatin1String("damaged")), qPrintable(db.lastError()));
        QCOMPARE(fileHash(path), before);
        // Nothing more is read from a file known to be damaged either.
        QSqlQuery again(db.connection());
        QVERIFY(db.prepare(again, QStringLiteral("SELECT COUNT(*) FROM QU")));
        QVERIFY(!db.exec(again));
    }
    QTRY_COMPARE(verdicts.size(), 1);
    const auto verdict = verdicts.first().first().value<DatabaseCheck::Result>();
    QCOMPARE(verdict.outcome, damaged ? DatabaseCheck::Outcome::Damaged : DatabaseCheck::Outcome::Ours);
}

QTEST_GUILESS_MAIN(TestDatabase)
#include "TestDatabase.moc"
