#include "support/TestServer.h"

#include "data/Database.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>

#include <atomic>

#include <unistd.h>

namespace {

const QString adminConnection = QStringLiteral("t35_test_admin");

QSqlDatabase adminDatabase(bool fresh)
{
    if (fresh && QSqlDatabase::contains(adminConnection)) {
        QSqlDatabase::database(adminConnection, false).close();
        QSqlDatabase::removeDatabase(adminConnection);
    }
    if (!QSqlDatabase::contains(adminConnection)) {
        const std::optional<ServerAddress> server = TestServer::admin();
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), adminConnection);
        if (server) {
            db.setHostName(server->host);
            db.setPort(server->port);
            db.setDatabaseName(server->database);
            db.setUserName(server->user);
            db.setConnectOptions(server->options);
        }
    }
    QSqlDatabase db = QSqlDatabase::database(adminConnection, false);
    if (!db.isOpen())
        db.open();
    return db;
}

QString quotedName(const QString& name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

// pg_ctl of the cluster, run as the owner of its data folder: the server's programs refuse to run as root.
bool pgCtl(const QStringList& arguments)
{
    const QString data = qEnvironmentVariable("T35_TEST_SERVER_DATA");
    if (data.isEmpty())
        return false;
    QString bin = qEnvironmentVariable("T35_TEST_SERVER_BIN");
    QString pgctl = bin.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("pg_ctl"))
                                  : QDir(bin).filePath(QStringLiteral("pg_ctl"));
    QStringList command { pgctl, QStringLiteral("-D"), data };
    command << arguments;
    if (geteuid() == 0)
        command = QStringList {
            QStringLiteral("runuser"), QStringLiteral("-u"), QFileInfo(data).owner(), QStringLiteral("--")
        } + command;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(command.takeFirst(), command);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        qWarning("pg_ctl %s: %s", qPrintable(arguments.join(QLatin1Char(' '))), process.readAll().constData());
        return false;
    }
    return true;
}

} // namespace

bool TestServer::available()
{
    return admin().has_value();
}

std::optional<ServerAddress> TestServer::admin()
{
    const QString uri = qEnvironmentVariable("T35_TEST_SERVER");
    if (uri.isEmpty())
        return std::nullopt;
    return ServerAddress::fromUri(uri);
}

const char* TestServer::missingReason()
{
    return "needs the test cluster: T35_TEST_SERVER is not set (scripts/test starts one)";
}

QString TestServer::execAsAdmin(const QString& sql)
{
    for (bool fresh : { false, true }) {
        QSqlDatabase db = adminDatabase(fresh);
        QSqlQuery q(db);
        if (q.exec(sql))
            return QString();
        // The cluster may have been stopped and started since: the second try connects again.
        if (fresh)
            return q.lastError().text().isEmpty() ? db.lastError().text() : q.lastError().text();
    }
    return QString();
}

namespace {

std::optional<ServerAddress> createDatabase(const QString& from = QString())
{
    std::optional<ServerAddress> server = TestServer::admin();
    if (!server)
        return std::nullopt;
    static std::atomic<int> counter { 0 };
    server->database = QStringLiteral("t35_%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
    QString sql = QStringLiteral("CREATE DATABASE %1").arg(quotedName(server->database));
    if (!from.isEmpty())
        sql += QStringLiteral(" TEMPLATE %1").arg(quotedName(from));
    const QString error = TestServer::execAsAdmin(sql);
    if (!error.isNull()) {
        qWarning("cannot make a test database: %s", qPrintable(error));
        return std::nullopt;
    }
    return server;
}

} // namespace

std::optional<ServerAddress> TestServer::freshDatabase()
{
    return createDatabase();
}

std::optional<ServerAddress> TestServer::freshProgramDatabase()
{
    static const std::optional<ServerAddress> pattern = [] {
        std::optional<ServerAddress> made = createDatabase();
        if (!made)
            return made;
        std::unique_ptr<Database> db = Database::onServer(*made);
        if (db->open().status != Database::OpenStatus::Created) {
            qWarning("cannot make the program's tables in %s", qPrintable(made->database));
            return std::optional<ServerAddress>();
        }
        // Gone with the test program.
        qAddPostRoutine([] {
            if (pattern)
                TestServer::drop(*pattern);
        });
        return made;
    }();
    if (!pattern)
        return std::nullopt;
    return createDatabase(pattern->database);
}

void TestServer::drop(const ServerAddress& database)
{
    const QString error
        = execAsAdmin(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(quotedName(database.database)));
    if (!error.isNull())
        qWarning("cannot drop the test database %s: %s", qPrintable(database.database), qPrintable(error));
}

bool TestServer::stopImmediately()
{
    return pgCtl({ QStringLiteral("-m"), QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop") });
}

bool TestServer::start()
{
    const QString data = qEnvironmentVariable("T35_TEST_SERVER_DATA");
    const QString log = QDir(QFileInfo(data).absolutePath()).filePath(QStringLiteral("server.log"));
    return pgCtl({ QStringLiteral("-l"), log, QStringLiteral("-w"), QStringLiteral("-t"), QStringLiteral("60"),
        QStringLiteral("start") });
}
