#include "data/Database.h"
#include "data/Engine.h"
#include "data/Schema.h"
#include "data/TableCursor.h"
#include "support/TestServer.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// The program's database on a server: made on the first connection to an empty database, opened when it is ours,
// brought up to date when it is of an older version, and refused untouched when it holds anything else.
class TestServerDatabase : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void firstConnectionMakesTheSchemaAndSeed();
    void secondConnectionKeepsTheData();
    void notOursIsRefusedUntouched_data();
    void notOursIsRefusedUntouched();
    void aTableInAnotherSchemaIsLeftToTheAdministrator();
    void aSchemaNamedAfterTheUserDoesNotSplitTheClinic();
    void ourTablesInTwoSchemasAreRefused();
    void anOlderVersionIsBroughtUpToDate();
    void aSecondVersionGetsTheInvitations();
    void aLostSettingsRowIsPutBack();
    void connectionFailuresSayWhy_data();
    void connectionFailuresSayWhy();
    void aServerThatNeverAnswersIsGivenUpOn();
    void readTransactionSeesOneState();
    void aSecondWriterIsToldBusyAndLeftClean();
    void optionsOfTheAddressAreKept();
    void aCounsellorWithRowRightsOnlyWorks();

private:
    // A login role whose schema bears its name, in the case's database; its name, or "" when it could not be made.
    QString counsellorWithOwnSchema();

    std::optional<ServerAddress> m_server;
    QString m_role;
};

namespace {

// A plain connection of the test's own, as an administrator's tool would have.
class Raw {
public:
    explicit Raw(const ServerAddress& server)
        : m_name(QStringLiteral("raw_%1").arg(++s_counter))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
        db.setHostName(server.host);
        db.setPort(server.port);
        db.setDatabaseName(server.database);
        db.setUserName(server.user);
        if (!db.open())
            qWarning("raw connection: %s", qPrintable(db.lastError().text()));
    }
    ~Raw()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    bool exec(const QString& sql)
    {
        QSqlQuery q(QSqlDatabase::database(m_name, false));
        if (q.exec(sql))
            return true;
        qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        return false;
    }
    QVariant scalar(const QString& sql)
    {
        QSqlQuery q(QSqlDatabase::database(m_name, false));
        return q.exec(sql) && q.next() ? q.value(0) : QVariant();
    }
    // Every relation of the schema with its columns and rows, to tell whether anything changed.
    QString fingerprint()
    {
        QSqlQuery q(QSqlDatabase::database(m_name, false));
        QStringList parts;
        q.exec(QStringLiteral("SELECT c.relname, c.relkind, "
                              "(SELECT string_agg(attname, ',' ORDER BY attnum) FROM pg_attribute "
                              "WHERE attrelid = c.oid AND attnum > 0) "
                              "FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
                              "WHERE n.nspname = current_schema() ORDER BY 1"));
        QStringList tables;
        while (q.next()) {
            parts << q.value(0).toString() + QLatin1Char(':') + q.value(1).toString() + QLatin1Char(':')
                    + q.value(2).toString();
            if (q.value(1).toString() == QLatin1String("r"))
                tables << q.value(0).toString();
        }
        for (const QString& table : tables)
            parts << table + QLatin1Char('=')
                    + scalar(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(table)).toString();
        return parts.join(QLatin1Char('\n'));
    }

private:
    static inline int s_counter = 0;
    QString m_name;
};

} // namespace

void TestServerDatabase::init()
{
    T35_SKIP_WITHOUT_SERVER();
    m_server = TestServer::freshDatabase();
    QVERIFY(m_server);
}

void TestServerDatabase::cleanup()
{
    if (m_server)
        TestServer::drop(*m_server);
    m_server.reset();
    if (!m_role.isEmpty())
        TestServer::execAsAdmin(QStringLiteral("DROP ROLE IF EXISTS \"%1\"").arg(m_role));
    m_role.clear();
}

void TestServerDatabase::firstConnectionMakesTheSchemaAndSeed()
{
    std::unique_ptr<Database> db = Database::onServer(*m_server);
    QVERIFY(db->isServer());
    QCOMPARE(db->describe(), m_server->displayName());
    QVERIFY(db->filePath().isEmpty());
    const Database::OpenResult result = db->open();
    QCOMPARE(result.status, Database::OpenStatus::Created);
    QVERIFY(!result.connectionError.isValid());

    Raw raw(*m_server);
    QCOMPARE(raw.scalar(QStringLiteral("SELECT string_agg(table_name, ',' ORDER BY table_name) FROM "
                                       "information_schema.tables WHERE table_schema = current_schema()"))
                 .toString(),
        QStringLiteral("Answer,ComparedPairs,IDE,Invitation,PPP,QU,SchemaVersion,Theme"));
    QCOMPARE(raw.scalar(QStringLiteral("SELECT \"Version\" FROM \"SchemaVersion\"")).toInt(), Schema::ServerVersion);
    QCOMPARE(raw.scalar(QStringLiteral("SELECT COUNT(*) FROM \"QU\" WHERE \"QUs\" <> ''")).toInt(), 35);
    QCOMPARE(
        raw.scalar(QStringLiteral("SELECT \"TH\" || '|' || \"Name\" || '|' || \"Adress\" FROM \"Theme\"")).toString(),
        QStringLiteral("1||"));
    // Every column the data file has, by the same names and in the same order, after the row identity.
    QCOMPARE(raw.scalar(QStringLiteral("SELECT string_agg(column_name, ',' ORDER BY ordinal_position) FROM "
                                       "information_schema.columns WHERE table_schema = current_schema() "
                                       "AND table_name = 'IDE'"))
                 .toString(),
        QStringLiteral("rowid,") + Database::ideColumns().join(QLatin1Char(',')));
    QCOMPARE(raw.scalar(QStringLiteral("SELECT COUNT(*) FROM information_schema.columns WHERE table_schema = "
                                       "current_schema() AND table_name = 'Answer'"))
                 .toInt(),
        38);
    QCOMPARE(raw.scalar(QStringLiteral("SELECT string_agg(c.relname, ',' ORDER BY c.relname) FROM pg_index i "
                                       "JOIN pg_class c ON c.oid = i.indexrelid JOIN pg_namespace n ON "
                                       "n.oid = c.relnamespace WHERE i.indisunique AND NOT i.indisprimary "
                                       "AND n.nspname = current_schema()"))
                 .toString(),
        QStringLiteral("Answer_Code,IDE_Code"));
}

void TestServerDatabase::secondConnectionKeepsTheData()
{
    {
        std::unique_ptr<Database> db = Database::onServer(*m_server);
        QVERIFY(db->open().ok());
        QVERIFY(db->exec(QStringLiteral("INSERT INTO \"IDE\" (\"Code\") VALUES ('12')")));
        QVERIFY(db->exec(QStringLiteral("UPDATE \"Theme\" SET \"TH\" = '7'")));
    }
    std::unique_ptr<Database> db = Database::onServer(*m_server);
    QCOMPARE(db->open().status, Database::OpenStatus::Opened);
    Raw raw(*m_server);
    QCOMPARE(raw.scalar(QStringLiteral("SELECT COUNT(*) FROM \"IDE\"")).toInt(), 1);
    QCOMPARE(raw.scalar(QStringLiteral("SELECT COUNT(*) || ':' || MAX(\"TH\") FROM \"Theme\"")).toString(),
        QStringLiteral("1:7"));
    QCOMPARE(raw.scalar(QStringLiteral("SELECT COUNT(*) FROM \"QU\"")).toInt(), 35);
}

void TestServerDatabase::notOursIsRefusedUntouched_data()
{
    QTest::addColumn<bool>("oursFirst");
    QTest::addColumn<QString>("change");

    QTest::newRow("another program's table") << false << "CREATE TABLE invoices (id integer, total numeric)";
    QTest::newRow("a view of another program") << false << "CREATE VIEW totals AS SELECT 1 AS one";
    QTest::newRow("our tables and one more") << true << "CREATE TABLE notes (body text)";
    QTest::newRow("a newer schema version") << true << "UPDATE \"SchemaVersion\" SET \"Version\" = 99";
    QTest::newRow("no schema version") << true << "DROP TABLE \"SchemaVersion\"";
    QTest::newRow("two schema versions") << true << "INSERT INTO \"SchemaVersion\" VALUES (1)";
    QTest::newRow("a column missing") << true << "ALTER TABLE \"Answer\" DROP COLUMN \"17\"";
    QTest::newRow("a column added") << true << "ALTER TABLE \"IDE\" ADD COLUMN \"Phone\" text";
    QTest::newRow("a column of another type")
        << true << "ALTER TABLE \"IDE\" ALTER COLUMN \"Sen\" TYPE integer USING NULL";
    QTest::newRow("codes no longer unique")
        << true << "DROP INDEX \"IDE_Code\"\nCREATE INDEX \"IDE_Code\" ON \"IDE\" (\"Code\")";
    QTest::newRow("a table missing") << true << "DROP TABLE \"PPP\"";
    QTest::newRow("a trigger") << true
                               << "CREATE FUNCTION stamp() RETURNS trigger LANGUAGE plpgsql AS "
                                  "'BEGIN RETURN NEW; END'\nCREATE TRIGGER stamp BEFORE INSERT ON \"IDE\" "
                                  "FOR EACH ROW EXECUTE FUNCTION stamp()";
    QTest::newRow("a rule copying every registration elsewhere")
        << true
        << "CREATE SCHEMA watcher\nCREATE TABLE watcher.spy (code text)\n"
           "CREATE RULE copy AS ON INSERT TO \"IDE\" DO ALSO INSERT INTO watcher.spy VALUES (NEW.\"Code\")";
    QTest::newRow("a rule swallowing answers")
        << true << "CREATE RULE swallow AS ON UPDATE TO \"Answer\" DO INSTEAD NOTHING";
    QTest::newRow("a row-level policy") << true
                                        << "ALTER TABLE \"IDE\" ENABLE ROW LEVEL SECURITY\n"
                                           "CREATE POLICY hide ON \"IDE\" USING (\"Code\" <> '12')";
}

void TestServerDatabase::notOursIsRefusedUntouched()
{
    QFETCH(bool, oursFirst);
    QFETCH(QString, change);
    if (oursFirst) {
        std::unique_ptr<Database> db = Database::onServer(*m_server);
        QVERIFY(db->open().ok());
    }
    Raw raw(*m_server);
    for (const QString& statement : change.split(QLatin1Char('\n')))
        QVERIFY(raw.exec(statement));
    const QString before = raw.fingerprint();

    std::unique_ptr<Database> db = Database::onServer(*m_server);
    const Database::OpenResult result = db->open();
    QCOMPARE(result.status, Database::OpenStatus::Refused);
    QCOMPARE(result.check, DatabaseCheck::Outcome::NotOurs);
    QVERIFY(!result.error.isEmpty());
    QVERIFY(!db->isOpen());
    QCOMPARE(raw.fingerprint(), before);
}

void TestServerDatabase::aTableInAnotherSchemaIsLeftToTheAdministrator()
{
    {
        std::unique_ptr<Database> db = Database::onServer(*m_server);
        QVERIFY(db->open().ok());
    }
    Raw raw(*m_server);
    QVERIFY(raw.exec(QStringLiteral("CREATE SCHEMA billing")));
    QVERIFY(raw.exec(QStringLiteral("CREATE TABLE billing.invoices (id integer, total numeric)")));
    std::unique_ptr<Database> db = Database::onServer(*m_server);
    QCOMPARE(db->open().status, Database::OpenStatus::Opened);
}

QString TestServerDatabase::counsellorWithOwnSchema()
{
    // The layout the server's documentation recommends: each user a schema of their own name, which the default
    // search path looks in first.
    const QString role = m_server->database + QStringLiteral("_counsellor");
    m_role = role;
    if (!TestServer::execAsAdmin(QStringLiteral("CREATE ROLE \"%1\" LOGIN").arg(role)).isNull())
        return QString();
    Raw raw(*m_server);
    const bool made = raw.exec(QStringLiteral("GRANT CONNECT ON DATABASE \"%1\" TO \"%2\"").arg(m_server->database, role))
        && raw.exec(QStringLiteral("CREATE SCHEMA \"%1\" AUTHORIZATION \"%1\"").arg(role))
        && raw.exec(QStringLiteral("GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA public TO \"%1\"")
                        .arg(role));
    return made ? role : QString();
}

void TestServerDatabase::aSchemaNamedAfterTheUserDoesNotSplitTheClinic()
{
    {
        std::unique_ptr<Database> db = Database::onServer(*m_server);
        QVERIFY(db->open().ok());
        QVERIFY(db->exec(QStringLiteral("INSERT INTO \"IDE\" (\"Code\") VALUES ('12')")));
    }
    const QString role = counsellorWithOwnSchema();
    QVERIFY(!role.isEmpty());
    ServerAddress counsellor = *m_server;
    counsellor.user = role;
    std::unique_ptr<Database> db = Database::onServer(counsellor);
    const Database::OpenResult opened = db->open();
    QVERIFY2(opened.status == Database::OpenStatus::Opened, qPrintable(opened.error));
    TableCursor details(*db, QStringLiteral("IDE"));
    QCOMPARE(details.count(), 1);
    QCOMPARE(details.field(QStringLiteral("Code")), QStringLiteral("12"));
    Raw raw(*m_server);
    QCOMPARE(raw.scalar(QStringLiteral("SELECT COUNT(*) FROM pg_class c JOIN pg_namespace n ON n.oid = "
                                       "c.relnamespace WHERE n.nspname = '%1'")
                            .arg(role))
                 .toInt(),
        0);
}

void TestServerDatabase::ourTablesInTwoSchemasAreRefused()
{
    const QString role = counsellorWithOwnSchema();
    QVERIFY(!role.isEmpty());
    // A clinic already split: a whole set of the program's tables in the counsellor's schema besides public's.
    {
        std::unique_ptr<Database> db = Database::onServer(*m_server);
        QVERIFY(db->open().ok());
        Raw raw(*m_server);
        QVERIFY(raw.exec(QStringLiteral("SET search_path TO \"%1\"").arg(role)));
        for (const QString& statement : Engine::server().schemaStatements()
                + Engine::server().writeSchemaVersion(Schema::ServerVersion))
            QVERIFY(raw.exec(statement));
    }
    Raw raw(*m_server);
    QVERIFY(raw.exec(QStringLiteral("ALTER SCHEMA \"%1\" OWNER TO \"%1\"").arg(role)));
    QVERIFY(raw.exec(QStringLiteral("GRANT ALL ON ALL TABLES IN SCHEMA \"%1\" TO \"%1\"").arg(role)));
    QVERIFY(raw.exec(QStringLiteral("GRANT ALL ON ALL TABLES IN SCHEMA public TO \"%1\"").arg(role)));
    const QString before = raw.fingerprint();
    for (const QString& user : { m_server->user, role }) {
        ServerAddress server = *m_server;
        server.user = user;
        std::unique_ptr<Database> db = Database::onServer(server);
        const Database::OpenResult opened = db->open();
        QCOMPARE(opened.status, Database::OpenStatus::Refused);
        QCOMPARE(opened.check, DatabaseCheck::Outcome::NotOurs);
        QVERIFY2(opened.error.contains(role), qPrintable(opened.error));
    }
    QCOMPARE(raw.fingerprint(), before);
}

void TestServerDatabase::anOlderVersionIsBroughtUpToDate()
{
    {
        std::unique_ptr<Database> db = Database::onServer(*m_server);
        QVERIFY(db->open().ok());
        QVERIFY(db->exec(QStringLiteral("INSERT INTO \"IDE\" (\"Code\") VALUES ('12')")));
    }
    Raw raw(*m_server);
    QVERIFY(raw.exec(QStringLiteral("DROP TABLE \"ComparedPairs\"")));
    QVERIFY(raw.exec(QStringLiteral("DROP TABLE \"Invitation\"")));
    QVERIFY(raw.exec(QStringLiteral("DROP INDEX \"Answer_Complete\"")));
    QVERIFY(raw.exec(QStringLiteral("UPDATE \"SchemaVersion\" SET \"Version\" = 0")));

    std::unique_ptr<Database> db = Database::onServer(*m_server);
    QCOMPARE(db->open().status, Database::OpenStatus::Opened);
    QCOMPARE(raw.scalar(QStringLiteral("SELECT \"Version\" FROM \"SchemaVersion\"")).toInt(), Schema::ServerVersion);
    QCOMPARE(raw.scalar(QStringLiteral("SELECT COUNT(*) FROM \"ComparedPairs\"")).toInt(), 0);
    QCOMPARE(raw.scalar(QStringLiteral("SELECT \"Code\" FROM \"IDE\"")).toString(), QStringLiteral("12"));
}

void TestServerDatabase::aSecondVersionGetsTheInvitations()
{
    {
        std::unique_ptr<Database> db = Database::onServer(*m_server);
        QVERIFY(db->open().ok());
        QVERIFY(db->exec(QStringLiteral("INSERT INTO \"ComparedPairs\" (\"FirstCode\", \"SecondCode\") VALUES ('1', '2')")));
    }
    Raw raw(*m_server);
    QVERIFY(raw.exec(QStringLiteral("DROP TABLE \"Invitation\"")));
    QVERIFY(raw.exec(QStringLiteral("DROP INDEX \"Answer_Complete\"")));
    QVERIFY(raw.exec(QStringLiteral("UPDATE \"SchemaVersion\" SET \"Version\" = 1")));

    std::unique_ptr<Database> db = Database::onServer(*m_server);
    QCOMPARE(db->open().status, Database::OpenStatus::Opened);
    QCOMPARE(raw.scalar(QStringLiteral("SELECT \"Version\" FROM \"SchemaVersion\"")).toInt(), 2);
    QCOMPARE(raw.scalar(QStringLiteral("SELECT COUNT(*) FROM \"Invitation\"")).toInt(), 0);
    QCOMPARE(raw.scalar(QStringLiteral("SELECT COUNT(*) FROM pg_indexes WHERE indexname = 'Invitation_TokenHash'")).toInt(), 1);
    QCOMPARE(raw.scalar(QStringLiteral("SELECT COUNT(*) FROM pg_indexes WHERE indexname = 'Answer_Complete'")).toInt(), 1);
    QCOMPARE(raw.scalar(QStringLiteral("SELECT COUNT(*) FROM \"ComparedPairs\"")).toInt(), 1);
}

void TestServerDatabase::aLostSettingsRowIsPutBack()
{
    {
        std::unique_ptr<Database> db = Database::onServer(*m_server);
        QVERIFY(db->open().ok());
    }
    Raw raw(*m_server);
    QVERIFY(raw.exec(QStringLiteral("DELETE FROM \"Theme\"")));
    std::unique_ptr<Database> db = Database::onServer(*m_server);
    QCOMPARE(db->open().status, Database::OpenStatus::Opened);
    QCOMPARE(raw.scalar(QStringLiteral("SELECT COUNT(*) || ':' || MAX(\"TH\") FROM \"Theme\"")).toString(),
        QStringLiteral("1:1"));
}

void TestServerDatabase::connectionFailuresSayWhy_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("said");
    QTest::newRow("no server at that socket") << "socket"
                                              << "No such file or directory";
    QTest::newRow("database missing") << "database"
                                      << "does not exist";
    QTest::newRow("user unknown") << "user"
                                  << "does not exist";
}

void TestServerDatabase::connectionFailuresSayWhy()
{
    QFETCH(QString, what);
    QFETCH(QString, said);
    ServerAddress server = *m_server;
    if (what == QLatin1String("socket"))
        server.host = QStringLiteral("/nonexistent/t35");
    else if (what == QLatin1String("database"))
        server.database = QStringLiteral("no_such_database");
    else
        server.user = QStringLiteral("no_such_counsellor");
    std::unique_ptr<Database> db = Database::onServer(server);
    const Database::OpenResult result = db->open();
    QCOMPARE(result.status, Database::OpenStatus::Failed);
    QVERIFY(result.connectionError.isValid());
    QVERIFY2(result.connectionError.text().contains(said), qPrintable(result.connectionError.text()));
    QVERIFY(!db->isOpen());
}

void TestServerDatabase::aServerThatNeverAnswersIsGivenUpOn()
{
    // A socket that takes the connection and never says a word, as a server behind a dead link does.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    QVERIFY(listener >= 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    QVERIFY(::bind(listener, reinterpret_cast<sockaddr*>(&address), length) == 0);
    QVERIFY(::listen(listener, 4) == 0);
    QVERIFY(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) == 0);

    ServerAddress silent = *m_server;
    silent.host = QStringLiteral("127.0.0.1");
    silent.port = ntohs(address.sin_port);
    std::unique_ptr<Database> db = Database::onServer(silent);
    const Database::OpenResult result = db->open();
    ::close(listener);
    QCOMPARE(result.status, Database::OpenStatus::Failed);
    QVERIFY2(result.connectionError.text().contains(QStringLiteral("timeout")), qPrintable(result.connectionError.text()));
}

void TestServerDatabase::readTransactionSeesOneState()
{
    std::unique_ptr<Database> reader = Database::onServer(*m_server);
    std::unique_ptr<Database> writer = Database::onServer(*m_server);
    QVERIFY(reader->open().ok());
    QVERIFY(writer->open().ok());
    const auto count = [&reader] {
        QSqlQuery q(reader->connection());
        return q.exec(QStringLiteral("SELECT COUNT(*) FROM \"IDE\"")) && q.next() ? q.value(0).toInt() : -1;
    };
    QVERIFY(reader->beginReading());
    QCOMPARE(count(), 0);
    QVERIFY(writer->exec(QStringLiteral("INSERT INTO \"IDE\" (\"Code\") VALUES ('1')")));
    QCOMPARE(count(), 0);
    // Nothing is written through a transaction that only reads.
    QVERIFY(!reader->exec(QStringLiteral("INSERT INTO \"IDE\" (\"Code\") VALUES ('2')")));
    QVERIFY(!reader->commit());
    QCOMPARE(count(), 1);
    // Nor is a transaction begun inside another.
    QVERIFY(reader->beginTransaction());
    QVERIFY(!reader->beginReading());
    reader->rollback();
}

void TestServerDatabase::aSecondWriterIsToldBusyAndLeftClean()
{
    std::unique_ptr<Database> first = Database::onServer(*m_server);
    std::unique_ptr<Database> second = Database::onServer(*m_server);
    QVERIFY(first->open().ok());
    QVERIFY(second->open().ok());
    second->setLockWait(100);
    QVERIFY(first->beginTransaction());
    // The writers' lock is taken with the transaction's beginning: the second writer waits, then is told busy.
    QVERIFY(!second->beginTransaction());
    QVERIFY(second->lastErrorIsBusy());
    // Nothing of its try is left open: what it writes now is stored on its own, and it may begin again.
    QVERIFY(second->exec(QStringLiteral("INSERT INTO \"IDE\" (\"Code\") VALUES ('5')")));
    first->rollback();
    QVERIFY(second->beginTransaction());
    QVERIFY(second->exec(QStringLiteral("INSERT INTO \"IDE\" (\"Code\") VALUES ('6')")));
    QVERIFY(second->commit());
    QSqlQuery q(first->connection());
    QVERIFY(q.exec(QStringLiteral("SELECT COUNT(*) FROM \"IDE\"")) && q.next());
    QCOMPARE(q.value(0).toInt(), 2);
}

void TestServerDatabase::aCounsellorWithRowRightsOnlyWorks()
{
    // The administrator's program makes the tables; a counsellor may only read and write rows.
    {
        std::unique_ptr<Database> db = Database::onServer(*m_server);
        QVERIFY(db->open().ok());
    }
    const QString role = m_server->database + QStringLiteral("_counsellor");
    QVERIFY(TestServer::execAsAdmin(QStringLiteral("CREATE ROLE \"%1\" LOGIN").arg(role)).isNull());
    {
        Raw raw(*m_server);
        QVERIFY(raw.exec(
            QStringLiteral("GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA public TO \"%1\"").arg(role)));
        QVERIFY(raw.exec(QStringLiteral("GRANT CONNECT ON DATABASE \"%1\" TO \"%2\"").arg(m_server->database, role)));
    }
    ServerAddress counsellor = *m_server;
    counsellor.user = role;
    {
        std::unique_ptr<Database> db = Database::onServer(counsellor);
        const Database::OpenResult opened = db->open();
        QVERIFY2(opened.status == Database::OpenStatus::Opened, qPrintable(opened.error));
        TableCursor details(*db, QStringLiteral("IDE"));
        details.addNew();
        details.setField(QStringLiteral("Code"), QStringLiteral("31"));
        QVERIFY2(details.update(), qPrintable(details.lastError()));
    }
    TestServer::drop(*m_server);
    m_server.reset();
    QVERIFY(TestServer::execAsAdmin(QStringLiteral("DROP ROLE \"%1\"").arg(role)).isNull());
}

void TestServerDatabase::optionsOfTheAddressAreKept()
{
    ServerAddress server = *m_server;
    server.options = QStringLiteral("connect_timeout=2;application_name='front desk'");
    std::unique_ptr<Database> db = Database::onServer(server);
    QVERIFY(db->open().ok());
    const QString options = db->connection().connectOptions();
    QVERIFY2(options.contains(QStringLiteral("connect_timeout=2")), qPrintable(options));
    QVERIFY2(!options.contains(QStringLiteral("connect_timeout=5")), qPrintable(options));
    QSqlQuery q(db->connection());
    QVERIFY(q.exec(QStringLiteral("SHOW application_name")) && q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("front desk"));
    // Without options of its own, the connection waits 5 seconds for the server.
    std::unique_ptr<Database> plain = Database::onServer(*m_server);
    QVERIFY(plain->open().ok());
    QVERIFY(plain->connection().connectOptions().contains(QStringLiteral("connect_timeout=5")));
}

QTEST_GUILESS_MAIN(TestServerDatabase)
#include "TestServerDatabase.moc"
