// Starting on the clinic's server: the program runs on it, or says which server failed and why, and ends with
// nothing touched: no data file is made on this computer in its place.
#include "app/CopyToServer.h"
#include "app/Program.h"
#include "app/WindowRouter.h"
#include "data/DatabaseCheck.h"
#include "data/TableTransfer.h"
#include "settings/ClinicMove.h"
#include "data/ServerFailure.h"
#include "settings/ServerFailureSentence.h"
#include "support/ScratchServer.h"
#include "support/ScriptedFileDialogs.h"
#include "support/ScriptedMessages.h"
#include "support/TableContents.h"
#include "support/TestProgram.h"
#include "text/ProgramSettings.h"
#include "ui/MessageCatalogue.h"
#include "ui/PersianText.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

using ServerFailure::Reason;
Q_DECLARE_METATYPE(ServerFailure::Reason)

namespace {

ScriptedFileDialogs noDialogs;

DatabaseChoice onServer(const ServerAddress& server)
{
    DatabaseChoice choice;
    choice.kind = DatabaseChoice::Kind::Server;
    choice.server = server;
    return choice;
}

// A socket that takes connections and never answers, as a hung server does.
class SilentServer {
public:
    explicit SilentServer(const QString& folder)
    {
        const QByteArray path = QFile::encodeName(QDir(folder).filePath(QStringLiteral(".s.PGSQL.5432")));
        m_socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        std::memcpy(
            address.sun_path, path.constData(), size_t(qMin<qsizetype>(path.size(), sizeof address.sun_path - 1)));
        if (::bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(m_socket, 8) != 0)
            QTest::qFail("silent socket not made", __FILE__, __LINE__);
    }
    ~SilentServer() { ::close(m_socket); }

private:
    int m_socket = -1;
};

// The tables a database on the server holds, read past the program, or after `statement` has run.
QStringList tablesAfter(const ServerAddress& server, const QString& statement = QString())
{
    QStringList tables;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("past-the-program"));
        db.setHostName(server.host);
        db.setPort(server.port);
        db.setDatabaseName(server.database);
        db.setUserName(server.user);
        if (db.open()) {
            QSqlQuery q(db);
            if (!statement.isEmpty())
                q.exec(statement);
            q.exec(QStringLiteral("SELECT table_name FROM information_schema.tables WHERE table_schema = 'public' "
                                  "ORDER BY table_name"));
            while (q.next())
                tables << q.value(0).toString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("past-the-program"));
    return tables;
}

// A user of the test cluster who must give a password ("secret-1"), owner of the scratch database's tables: the
// cluster lets everyone else in without one. The line that asks for it goes first in pg_hba.conf while the case runs.
class PasswordUser {
public:
    explicit PasswordUser(const ServerAddress& database)
        : m_name(QStringLiteral("t35_pw_%1").arg(QRandomGenerator::global()->generate(), 0, 16))
    {
        m_ready
            = TestServer::execAsAdmin(QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD 'secret-1'").arg(m_name)).isNull()
            && rewriteRules(QStringLiteral("local %1 %2 scram-sha-256").arg(database.database, m_name));
        ServerAddress owner = database;
        m_address = database;
        m_address.user = m_name;
        // The program makes its tables in the public schema on its first connection.
        m_ready
            = m_ready && tablesAfter(owner, QStringLiteral("ALTER SCHEMA public OWNER TO %1").arg(m_name)).isEmpty();
    }
    ~PasswordUser() { rewriteRules(QString()); }
    // After the scratch database is gone: the user owns nothing then.
    static void dropRole(const QString& name)
    {
        TestServer::execAsAdmin(QStringLiteral("DROP ROLE IF EXISTS %1").arg(name));
    }

    bool ready() const { return m_ready; }
    const ServerAddress& address() const { return m_address; }
    QString name() const { return m_name; }

private:
    // pg_hba.conf as it was, with `first` before it when given, and the server told to read it again. What it was
    // is kept in a table first: COPY empties the file it writes before its query reads anything.
    bool rewriteRules(const QString& first)
    {
        const QString kept = m_name + QStringLiteral("_rules");
        if (!first.isEmpty()
            && !TestServer::execAsAdmin(
                QStringLiteral("CREATE TABLE %1 AS SELECT n, line FROM regexp_split_to_table("
                               "pg_read_file('pg_hba.conf'), E'\\n') WITH ORDINALITY AS r(line, n) "
                               "WHERE line !~ '^\\s*(#|$)'")
                    .arg(kept))
                    .isNull())
            return false;
        const QString failed = TestServer::execAsAdmin(
            QStringLiteral("COPY (SELECT line FROM (SELECT 0 AS n, %1 AS line WHERE %1 <> '' UNION ALL "
                           "SELECT n, line FROM %2) AS rules ORDER BY n) TO '%3' WITH (FORMAT csv)")
                .arg(quotedText(first), kept, dataFolder() + QStringLiteral("/pg_hba.conf")));
        if (first.isEmpty())
            TestServer::execAsAdmin(QStringLiteral("DROP TABLE IF EXISTS %1").arg(kept));
        if (!failed.isNull()) {
            qWarning("pg_hba.conf not rewritten: %s", qPrintable(failed));
            return false;
        }
        return TestServer::execAsAdmin(QStringLiteral("SELECT pg_reload_conf()")).isNull();
    }
    static QString quotedText(const QString& text) { return QLatin1Char('\'') + text + QLatin1Char('\''); }
    static QString dataFolder() { return qEnvironmentVariable("T35_TEST_SERVER_DATA"); }

    QString m_name;
    ServerAddress m_address;
    bool m_ready = false;
};

// The command line's copy has no window to ask from.
const CopyToServer::PasswordAsk noPrompt = [](const QString&) { return std::optional<QString>(); };

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestServerStart : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PersianText::loadFont(); }
    void runsOnServer();
    void refusedWithReason_data();
    void refusedWithReason();
    void serverWithoutDatabaseRefused();
    void asksForPassword_data();
    void asksForPassword();
    void copyToServer();
    void copyRefusedOnTakenCode();
    void copyWithoutDataFile();
    void copyReadsAnOlderDataFileAsItIs();
    void copyRefusesCodesHeldTwice_data();
    void copyRefusesCodesHeldTwice();
    void copyAsksForAPasswordOnlyWhereItCan();
    void copyRunsWithoutADisplay();
};

void TestServerStart::runsOnServer()
{
    ScratchServer scratch;
    SKIP_WITHOUT_SERVER(scratch);
    QTemporaryDir folder;
    QTemporaryDir locks;
    ScriptedMessages messages;
    Program program(folder.path(), messages, noDialogs, locks.filePath(QStringLiteral("t35.lock")));
    program.setDatabaseChoice(onServer(scratch.address()));
    QCOMPARE(program.start(), Program::Start::Running);
    QVERIFY(program.router()->mainWindow()->isVisible());
    QVERIFY(program.router()->database().isServer());
    QCOMPARE(messages.boxes.size(), 0);
    // The data stays on the server: no file is made on this computer.
    QVERIFY(!QFileInfo::exists(QDir(folder.path()).filePath(QStringLiteral("RIVERIVU"))));
}

void TestServerStart::refusedWithReason_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<Reason>("reason");
    QTest::newRow("no server there") << "no socket" << Reason::Refused;
    QTest::newRow("no answer") << "silent" << Reason::NoAnswer;
    QTest::newRow("database missing") << "no database" << Reason::DatabaseMissing;
    QTest::newRow("user missing") << "no user" << Reason::UserMissing;
    QTest::newRow("not ours") << "foreign" << Reason::Other;
}

void TestServerStart::refusedWithReason()
{
    QFETCH(QString, kind);
    QFETCH(Reason, reason);
    QTemporaryDir folder;
    QTemporaryDir locks;
    QTemporaryDir socketFolder;
    ScratchServer scratch;
    std::unique_ptr<SilentServer> silent;
    ServerAddress server;
    server.host = socketFolder.path();
    server.database = QStringLiteral("clinic");
    server.user = QStringLiteral("counsellor");
    if (kind == QLatin1String("silent")) {
        silent = std::make_unique<SilentServer>(socketFolder.path());
    } else if (kind != QLatin1String("no socket")) {
        SKIP_WITHOUT_SERVER(scratch);
        server = scratch.address();
        if (kind == QLatin1String("no database"))
            server.database = QStringLiteral("no_such_clinic");
        else if (kind == QLatin1String("no user"))
            server.user = QStringLiteral("nobody_here");
    }
    // A database that holds another program's table is not this program's: refused, untouched.
    if (kind == QLatin1String("foreign"))
        QCOMPARE(tablesAfter(server, QStringLiteral("CREATE TABLE \"Invoices\" (\"Number\" TEXT)")),
            QStringList { QStringLiteral("Invoices") });

    ScriptedMessages messages;
    Program program(folder.path(), messages, noDialogs, locks.filePath(QStringLiteral("t35.lock")));
    program.setDatabaseChoice(onServer(server));
    QCOMPARE(program.start(), Program::Start::DatabaseRefused);
    QVERIFY(!program.router());
    QCOMPARE(messages.boxes.size(), 1);
    const ScriptedMessages::Box& box = messages.boxes.first();
    QCOMPARE(box.style, Msg::Style::StopRtl);
    QCOMPARE(box.title, Msg::ErrorTitlePersian);
    const QString expected = kind == QLatin1String("foreign")
        ? Msg::ServerNotOurs.arg(QChar(0x2066) + server.displayName() + QChar(0x2069))
        : ServerFailure::sentence(reason, server);
    const QString said = expected + QLatin1Char('\n') + Msg::ServerStartEnds;
    QVERIFY2(box.text.startsWith(said), qPrintable(box.text));
    // The platform's words last, for whoever looks after the server.
    QVERIFY2(box.text.mid(said.size()).startsWith(QLatin1Char('\n')) && !box.text.mid(said.size()).trimmed().isEmpty(),
        qPrintable(box.text));
    // Never the local file in its place.
    QVERIFY(!QFileInfo::exists(QDir(folder.path()).filePath(QStringLiteral("RIVERIVU"))));
    if (kind == QLatin1String("foreign"))
        QCOMPARE(tablesAfter(server), QStringList { QStringLiteral("Invoices") });
}

void TestServerStart::serverWithoutDatabaseRefused()
{
    QTemporaryDir folder;
    QTemporaryDir locks;
    ScriptedMessages messages;
    ServerAddress server;
    server.host = QStringLiteral("clinic-server");
    Program program(folder.path(), messages, noDialogs, locks.filePath(QStringLiteral("t35.lock")));
    program.setDatabaseChoice(onServer(server));
    QCOMPARE(program.start(), Program::Start::DatabaseRefused);
    QCOMPARE(messages.boxes.size(), 1);
    QCOMPARE(messages.lastText(), Msg::DatabaseNameNeeded + QLatin1Char('\n') + Msg::ServerStartEnds);
    QVERIFY(!QFileInfo::exists(QDir(folder.path()).filePath(QStringLiteral("RIVERIVU"))));
}

void TestServerStart::asksForPassword_data()
{
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<bool>("runs");
    QTest::addColumn<QString>("refusal"); // the sentence the refusal starts with
    QTest::newRow("typed") << QStringList { "secret-1" } << true << QString();
    QTest::newRow("typed again") << QStringList { "wrong", "secret-1" } << true << QString();
    QTest::newRow("cancelled") << QStringList {} << false << "NoPassword";
    QTest::newRow("wrong three times") << QStringList { "a", "b", "c" } << false << "PasswordRefused";
}

void TestServerStart::asksForPassword()
{
    QFETCH(QStringList, typed);
    QFETCH(bool, runs);
    QFETCH(QString, refusal);
    QString role;
    {
        ScratchServer scratch;
        SKIP_WITHOUT_SERVER(scratch);
        PasswordUser user(scratch.address());
        role = user.name();
        QVERIFY(user.ready());
        // libpq's own means find nothing.
        qputenv("PGPASSFILE", QFile::encodeName(QDir::temp().filePath(QStringLiteral("t35-no-pgpass"))));
        qunsetenv("PGPASSWORD");

        QTemporaryDir folder;
        QTemporaryDir locks;
        ScriptedMessages messages;
        for (const QString& password : typed)
            messages.secrets.enqueue(password);
        Program program(folder.path(), messages, noDialogs, locks.filePath(QStringLiteral("t35.lock")));
        program.setDatabaseChoice(onServer(user.address()));
        const Program::Start started = program.start();
        QVERIFY2(started == (runs ? Program::Start::Running : Program::Start::DatabaseRefused),
            qPrintable(messages.lastText()));

        QStringList prompts;
        for (const ScriptedMessages::Box& box : messages.boxes)
            if (box.kind == ScriptedMessages::Kind::Secret)
                prompts << box.text;
        const QString server = QChar(0x2066) + user.address().displayName() + QChar(0x2069);
        const QString name = QChar(0x2066) + user.name() + QChar(0x2069);
        QVERIFY(!prompts.isEmpty());
        QCOMPARE(prompts.first(), Msg::ServerPasswordPrompt.arg(server, name));
        for (qsizetype i = 1; i < prompts.size(); ++i)
            QCOMPARE(prompts.at(i), Msg::ServerPasswordAgain.arg(server, name));
        QCOMPARE(prompts.size(), qMax<qsizetype>(1, typed.size()));
        if (!runs) {
            const ServerFailure::Reason reason = refusal == QLatin1String("NoPassword")
                ? ServerFailure::Reason::NoPassword
                : ServerFailure::Reason::PasswordRefused;
            QVERIFY2(messages.lastText().startsWith(ServerFailure::sentence(reason, user.address())),
                qPrintable(messages.lastText()));
        }
        // The password is kept nowhere but in memory: not in the settings file, nor in any file of the program's.
        const QStringList files = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
        for (const QString& file : files) {
            QFile f(QDir(folder.path()).filePath(file));
            QVERIFY(f.open(QIODevice::ReadOnly));
            QVERIFY2(!f.readAll().contains("secret-1"), qPrintable(file));
        }
        QFile settings(ProgramSettings::filePath());
        QVERIFY(!settings.open(QIODevice::ReadOnly) || !settings.readAll().contains("secret-1"));
    }
    PasswordUser::dropRole(role);
}

void TestServerStart::copyToServer()
{
    ScratchServer scratch;
    SKIP_WITHOUT_SERVER(scratch);
    TestProgram local;
    local.addExaminee(QStringLiteral("7"));
    local.addExaminee(QStringLiteral("12"));
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    QCOMPARE(CopyToServer::run(local.folder(), scratch.address().toUri(), noPrompt, outStream, errStream), 0);
    outStream.flush();
    QVERIFY2(out.contains(QStringLiteral("Copied 2 examinees")), qPrintable(out));
    std::unique_ptr<Database> server = Database::onServer(scratch.address());
    QVERIFY(server->open().ok());
    QCOMPARE(tableContents(*server).value(QStringLiteral("IDE")),
        tableContents(local.database()).value(QStringLiteral("IDE")));
}

void TestServerStart::copyRefusedOnTakenCode()
{
    ScratchServer scratch;
    SKIP_WITHOUT_SERVER(scratch);
    TestProgram local;
    local.addExaminee(QStringLiteral("7"));
    local.addExaminee(QStringLiteral("12"));
    local.addExaminee(QStringLiteral("30"));
    std::unique_ptr<Database> server = Database::onServer(scratch.address());
    QVERIFY(server->open().ok());
    QVERIFY(server->exec(QStringLiteral("INSERT INTO \"IDE\" (\"Code\", \"FName\") VALUES ('12', 'Reza')")));
    QVERIFY(server->exec(QStringLiteral("INSERT INTO \"Answer\" (\"Code\") VALUES ('12')")));
    const auto before = tableContents(*server);

    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    QCOMPARE(CopyToServer::run(local.folder(), scratch.address().toUri(), noPrompt, outStream, errStream), 1);
    errStream.flush();
    QVERIFY2(err.contains(QStringLiteral("\n  12\n")), qPrintable(err));
    QVERIFY(!err.contains(QStringLiteral("  7\n")));
    QVERIFY(out.isEmpty());
    QCOMPARE(tableContents(*server), before);
}

void TestServerStart::copyWithoutDataFile()
{
    ScratchServer scratch;
    SKIP_WITHOUT_SERVER(scratch);
    QTemporaryDir folder;
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    QCOMPARE(CopyToServer::run(folder.path(), scratch.address().toUri(), noPrompt, outStream, errStream), 1);
    // Nothing is made on this computer to copy from.
    QVERIFY(!QFileInfo::exists(QDir(folder.path()).filePath(QStringLiteral("RIVERIVU"))));
}

void TestServerStart::copyReadsAnOlderDataFileAsItIs()
{
    ScratchServer scratch;
    SKIP_WITHOUT_SERVER(scratch);
    TestProgram local(TestProgram::OnFile);
    local.addExaminee(QStringLiteral("12"));
    // A file of schema version 0, written before codes were normalised: no pairs table, a code in Persian digits.
    local.exec(QStringLiteral("INSERT INTO IDE (Code, FName) VALUES ('\u06F7\u06F7\u06F7', 'Sara')"));
    local.exec(QStringLiteral("INSERT INTO Answer (Code) VALUES ('\u06F7\u06F7\u06F7')"));
    local.exec(QStringLiteral("DROP TABLE AuditLog"));
    local.exec(QStringLiteral("DROP TABLE ComparedPairs"));
    local.exec(QStringLiteral("DROP TABLE Invitation"));
    local.exec(QStringLiteral("DROP INDEX Answer_Complete"));
    local.exec(QStringLiteral("PRAGMA user_version = 0"));
    local.database().close();
    const QString file = Database::filePath(local.folder());
    const QByteArray before = fileBytes(file);
    QVERIFY(!before.isEmpty());

    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    QCOMPARE(CopyToServer::run(local.folder(), scratch.address().toUri(), noPrompt, outStream, errStream), 0);
    outStream.flush();
    errStream.flush();
    QVERIFY2(out.contains(QStringLiteral("Copied 2 examinees")), qPrintable(out + err));
    // Only read: not brought to the current version, no code rewritten, not a byte changed.
    QVERIFY(fileBytes(file) == before);
    QVERIFY(!QFileInfo::exists(DatabaseCheck::journalPath(file)));
    // The server keeps codes in their one stored form.
    std::unique_ptr<Database> server = Database::onServer(scratch.address());
    QVERIFY(server->open().ok());
    QSqlQuery q(server->connection());
    QVERIFY(q.exec(QStringLiteral("SELECT string_agg(\"Code\", ',' ORDER BY \"Code\") FROM \"IDE\"")) && q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("12,777"));
    QVERIFY(q.exec(QStringLiteral("SELECT string_agg(\"Code\", ',' ORDER BY \"Code\") FROM \"Answer\"")) && q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("12,777"));
}

void TestServerStart::copyRefusesCodesHeldTwice_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("second"); // the second row's code
    QTest::newRow("two details rows") << "IDE" << "12";
    QTest::newRow("two answer rows") << "Answer" << "12";
    QTest::newRow("two written forms of one code") << "IDE" << "\u06F1\u06F2";
}

void TestServerStart::copyRefusesCodesHeldTwice()
{
    QFETCH(QString, table);
    QFETCH(QString, second);
    ScratchServer scratch;
    SKIP_WITHOUT_SERVER(scratch);
    TestProgram local(TestProgram::OnFile);
    local.addExaminee(QStringLiteral("7"));
    local.addExaminee(QStringLiteral("12"));
    // Older files may hold one code twice.
    local.exec(QStringLiteral("INSERT INTO %1 (Code) VALUES (?)").arg(table), { second });
    std::unique_ptr<Database> server = Database::onServer(scratch.address());
    QVERIFY(server->open().ok());
    const auto before = tableContents(*server);

    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    QCOMPARE(CopyToServer::run(local.folder(), scratch.address().toUri(), noPrompt, outStream, errStream), 1);
    errStream.flush();
    QVERIFY2(err.contains(QStringLiteral("twice")) && err.contains(QStringLiteral("\n  12\n")), qPrintable(err));
    QVERIFY2(!err.contains(QStringLiteral("23505")) && !err.contains(QStringLiteral("  7\n")), qPrintable(err));
    QCOMPARE(tableContents(*server), before);

    // The panel's copy says so in Persian, naming the codes and what to do.
    const ClinicMove::Outcome moved = ClinicMove::copy(local.folder(), *server);
    QCOMPARE(moved.status, ClinicMove::Outcome::Status::CodesDoubled);
    QCOMPARE(moved.doubledCodes, QStringList { QStringLiteral("12") });
    QVERIFY(Msg::CopyToServerCodesDoubled.contains(QStringLiteral("نمايش کد آزمودني")));

    // A backup of such a file restored onto the server is refused the same way, the server's rows untouched.
    const TableTransfer::Result restored = TableTransfer::replaceAll(local.database(), *server);
    QVERIFY(!restored.ok);
    QCOMPARE(restored.doubledCodes, QStringList { QStringLiteral("12") });
    QCOMPARE(tableContents(*server), before);
}

void TestServerStart::copyAsksForAPasswordOnlyWhereItCan()
{
    ScratchServer scratch;
    SKIP_WITHOUT_SERVER(scratch);
    QString role;
    {
        PasswordUser user(scratch.address());
        role = user.name();
        QVERIFY(user.ready());
        qputenv("PGPASSFILE", QFile::encodeName(QDir::temp().filePath(QStringLiteral("t35-no-pgpass"))));
        qunsetenv("PGPASSWORD");
        TestProgram local(TestProgram::OnFile);
        local.addExaminee(QStringLiteral("7"));
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        // No terminal: refused with a line that says what to do.
        QCOMPARE(CopyToServer::run(local.folder(), user.address().toUri(), noPrompt, outStream, errStream), 1);
        errStream.flush();
        QVERIFY2(err.contains(QStringLiteral("no terminal")) && err.contains(QStringLiteral("PGPASSWORD")),
            qPrintable(err));
        // A terminal: asked, and the copy goes through.
        QStringList prompts;
        const CopyToServer::PasswordAsk typed = [&prompts](const QString& prompt) {
            prompts << prompt;
            return std::optional<QString>(QStringLiteral("secret-1"));
        };
        QCOMPARE(CopyToServer::run(local.folder(), user.address().toUri(), typed, outStream, errStream), 0);
        QCOMPARE(prompts.size(), 1);
        QVERIFY2(prompts.first().contains(role), qPrintable(prompts.first()));
    }
    PasswordUser::dropRole(role);
}

void TestServerStart::copyRunsWithoutADisplay()
{
    ScratchServer scratch;
    SKIP_WITHOUT_SERVER(scratch);
    TestProgram local(TestProgram::OnFile);
    local.addExaminee(QStringLiteral("7"));
    local.database().close();
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_CONFIG_HOME", "XDG_DATA_HOME" })
        env.remove(QLatin1String(name));
    env.insert(QStringLiteral("HOME"), home.path());
    QProcess program;
    program.setProcessEnvironment(env);
    // No terminal either: standard input is a pipe.
    program.start(QStringLiteral(T35_PROGRAM),
        { QStringLiteral("--data-dir"), local.folder(), QStringLiteral("--copy-to-server"), scratch.address().toUri() });
    program.closeWriteChannel();
    QVERIFY(program.waitForFinished(60000));
    const QString err = QString::fromLocal8Bit(program.readAllStandardError());
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QVERIFY2(program.exitCode() == 0, qPrintable(err));
    QVERIFY(QString::fromLocal8Bit(program.readAllStandardOutput()).contains(QStringLiteral("Copied 1 examinees")));
    std::unique_ptr<Database> server = Database::onServer(scratch.address());
    QVERIFY(server->open().ok());
    QCOMPARE(tableContents(*server).value(QStringLiteral("IDE")).size(), 1);
}

QTEST_MAIN(TestServerStart)
#include "TestServerStart.moc"
