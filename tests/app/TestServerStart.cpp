// Starting on the clinic's server: the program runs on it, or says which server failed and why, and ends with
// nothing touched: no data file is made on this computer in its place.
#include "app/CopyToServer.h"
#include "app/Program.h"
#include "app/WindowRouter.h"
#include "data/ServerFailure.h"
#include "support/ScratchServer.h"
#include "support/ScriptedFileDialogs.h"
#include "support/ScriptedMessages.h"
#include "support/TableContents.h"
#include "support/TestProgram.h"
#include "ui/MessageCatalogue.h"
#include "ui/PersianText.h"

#include <QDir>
#include <QFileInfo>
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
        std::memcpy(address.sun_path, path.constData(), size_t(qMin<qsizetype>(path.size(), sizeof address.sun_path - 1)));
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

} // namespace

class TestServerStart : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PersianText::loadFont(); }
    void runsOnServer();
    void refusedWithReason_data();
    void refusedWithReason();
    void copyToServer();
    void copyRefusedOnTakenCode();
    void copyWithoutDataFile();
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
                 QStringList{QStringLiteral("Invoices")});

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
    QVERIFY2(box.text.startsWith(expected + QLatin1Char('\n') + Msg::ServerStartEnds), qPrintable(box.text));
    // Never the local file in its place.
    QVERIFY(!QFileInfo::exists(QDir(folder.path()).filePath(QStringLiteral("RIVERIVU"))));
    if (kind == QLatin1String("foreign"))
        QCOMPARE(tablesAfter(server), QStringList{QStringLiteral("Invoices")});
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
    QCOMPARE(CopyToServer::run(local.folder(), scratch.address().toUri(), local.messages(), outStream, errStream), 0);
    outStream.flush();
    QVERIFY2(out.contains(QStringLiteral("Copied 2 examinees")), qPrintable(out));
    std::unique_ptr<Database> server = Database::onServer(scratch.address());
    QVERIFY(server->open().ok());
    QCOMPARE(tableContents(*server).value(QStringLiteral("IDE")), tableContents(local.database()).value(QStringLiteral("IDE")));
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
    QCOMPARE(CopyToServer::run(local.folder(), scratch.address().toUri(), local.messages(), outStream, errStream), 1);
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
    ScriptedMessages messages;
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    QCOMPARE(CopyToServer::run(folder.path(), scratch.address().toUri(), messages, outStream, errStream), 1);
    // Nothing is made on this computer to copy from.
    QVERIFY(!QFileInfo::exists(QDir(folder.path()).filePath(QStringLiteral("RIVERIVU"))));
}

QTEST_MAIN(TestServerStart)
#include "TestServerStart.moc"
