// Opening a clinic's database on a server: connecting, and in one transaction seeing what the database holds and
// making or bringing up to date the program's tables.
#include "data/Database.h"

#include "data/Engine.h"
#include "data/LibPq.h"
#include "data/ExamineeCode.h"
#include "data/Schema.h"
#include "data/ServerCheck.h"
#include "data/Sql.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

#include <poll.h>

namespace {

// What the connection is made with unless the address says otherwise: the server's first answer is waited for 5
// seconds; and a server that stops answering over the network (a cable pulled, a computer switched off) is noticed
// within about half a minute instead of the system's quarter of an hour, whether the connection is idle (keepalives)
// or a statement waits for its answer (tcp_user_timeout). The last two mean nothing on a Unix socket.
const QList<std::pair<QString, QString>>& connectionDefaults()
{
    static const QList<std::pair<QString, QString>> defaults = {
        { QStringLiteral("connect_timeout"), QStringLiteral("5") },
        { QStringLiteral("application_name"), QStringLiteral("tovrin35") },
        { QStringLiteral("keepalives"), QStringLiteral("1") },
        { QStringLiteral("keepalives_idle"), QStringLiteral("10") },
        { QStringLiteral("keepalives_interval"), QStringLiteral("5") },
        { QStringLiteral("keepalives_count"), QStringLiteral("3") },
        { QStringLiteral("tcp_user_timeout"), QStringLiteral("30000") },
    };
    return defaults;
}

} // namespace

QSqlError Database::connectToServer() const
{
    QSqlDatabase db = QSqlDatabase::contains(m_connectionName)
        ? QSqlDatabase::database(m_connectionName, false)
        : QSqlDatabase::addDatabase(Engine::server().driver(), m_connectionName);
    if (!m_server->host.isEmpty())
        db.setHostName(m_server->host);
    db.setPort(m_server->port);
    db.setDatabaseName(m_server->database);
    if (!m_server->user.isEmpty())
        db.setUserName(m_server->user);
    if (!m_password.isEmpty())
        db.setPassword(m_password);
    // Checked again here, whoever made the address: a password never reaches the driver through its options.
    if (!m_server->optionsAllowed())
        return QSqlError(QStringLiteral("the connection's options name a keyword this program does not pass on"),
            QString(), QSqlError::ConnectionError);
    QList<std::pair<QString, QString>> options = m_server->optionPairs();
    const auto given = [&options](const QString& keyword) {
        return std::any_of(options.cbegin(), options.cend(), [&](const auto& pair) { return pair.first == keyword; });
    };
    for (const auto& option : connectionDefaults())
        if (!given(option.first))
            options.append(option);
    db.setConnectOptions(ServerAddress::joinOptions(options));
    if (!db.open()) {
        QSqlError error = db.lastError();
        if (!error.isValid())
            error = QSqlError(QStringLiteral("cannot connect"), QString(), QSqlError::ConnectionError);
        return error;
    }
    // One schema and only it: the server's default path looks first in a schema named after the user, where the
    // program would find (or make) a second, empty set of tables.
    // Sent with the lock wait, in one round trip: each result is looked at.
    QSqlQuery path(db);
    const QString settings = QStringLiteral("SET search_path TO %1; %2")
                                 .arg(Sql::quoted(m_server->schemaName()),
                                     engine().lockWait(m_impatientSince.isValid() ? 0 : m_lockWaitMs));
    if (!path.exec(settings) || !path.nextResult()) {
        QSqlError error = path.lastError();
        if (!error.isValid())
            error = QSqlError(QStringLiteral("the session's settings were not taken"), QString(),
                QSqlError::ConnectionError);
        db.close();
        return error;
    }
    return QSqlError();
}

bool Database::connectionFoundBroken() const
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.isOpen() || !db.driver())
        return false;
    const QVariant handle = db.driver()->handle();
    // Qt's driver hands libpq's connection over under libpq's own name for the type.
    if (!handle.isValid()
        || (qstrcmp(handle.typeName(), "PGconn*") != 0 && qstrcmp(handle.typeName(), "pg_conn*") != 0))
        return false;
    PGconn* connection = *static_cast<PGconn* const*>(handle.constData());
    if (!connection)
        return false;
    const LibPq::Calls& pq = LibPq::calls();
    if (!pq.found())
        return false;
    if (pq.status(connection) == CONNECTION_BAD)
        return true;
    // Between statements the program's connections hear nothing unasked but the server's goodbye (a restart, an
    // administrator ending the session) and the end of the connection itself, which may not have arrived yet: the
    // socket is looked at without waiting, and anything on it means a new connection.
    const int socket = pq.socket(connection);
    if (socket < 0)
        return true;
    pollfd waiting { socket, POLLIN, 0 };
    return ::poll(&waiting, 1, 0) > 0;
}

Database::OpenResult Database::openServer()
{
    OpenResult result;
    const auto failed = [this, &result](OpenStatus status, const QString& error) {
        rollback();
        close();
        result.status = status;
        result.error = error;
        return result;
    };

    m_impatientSince.invalidate();
    const QSqlError error = connectToServer();
    if (error.isValid()) {
        result.connectionError = error;
        return failed(OpenStatus::Failed, error.text());
    }
    // One program at a time looks at the database and makes its tables: two starting on an empty database at once
    // never both make them.
    if (!beginTransaction()) {
        result.check = lastErrorIsBusy() ? DatabaseCheck::Outcome::Busy : DatabaseCheck::Outcome::CannotOpen;
        return failed(OpenStatus::Failed, lastError());
    }
    const ServerCheck::Result check = ServerCheck::inspect(connection());
    result.check = check.outcome;
    QString problem;
    switch (check.outcome) {
    case DatabaseCheck::Outcome::Missing:
        result.status = OpenStatus::Created;
        problem = createOnServer();
        break;
    case DatabaseCheck::Outcome::Ours:
        result.status = OpenStatus::Opened;
        problem = bringServerUpToDate(check.version, check.themeRowMissing);
        break;
    case DatabaseCheck::Outcome::Busy:
    case DatabaseCheck::Outcome::CannotOpen:
        return failed(OpenStatus::Failed, check.detail);
    default:
        // Refused as it is: the transaction only read.
        return failed(OpenStatus::Refused, check.detail);
    }
    if (!problem.isNull())
        return failed(OpenStatus::Failed, problem);
    if (!commit())
        return failed(OpenStatus::Failed, lastError());
    m_schemaVersion = qMax(check.version, int(Schema::ServerVersion));
    // The tables' columns as the check read them, unless bringing the database up to date changed them: no cursor
    // asks the server for them again.
    if (check.outcome == DatabaseCheck::Outcome::Ours && check.version >= Schema::ServerVersion)
        for (auto it = check.columns.cbegin(); it != check.columns.cend(); ++it) {
            QStringList columns = it.value();
            columns.removeAll(engine().rowIdentity());
            keepColumns(it.key(), columns);
        }

    const ExamineeCode::StoredCodesResult codes = ExamineeCode::normaliseStoredCodes(connection());
    if (!codes.ok)
        return failed(OpenStatus::Failed, codes.error);
    return result;
}

QString Database::createOnServer()
{
    QStringList statements = engine().schemaStatements();
    statements << engine().writeSchemaVersion(Schema::ServerVersion);
    for (const QString& statement : statements)
        if (!exec(statement))
            return lastError();
    return seed([this](const QString& sql, const QVariantList& values) {
        QSqlQuery insert(connection());
        if (!prepare(insert, sql))
            return lastError();
        for (const QVariant& value : values)
            insert.addBindValue(value);
        return exec(insert) ? QString() : lastError();
    });
}

QString Database::bringServerUpToDate(int version, bool putBackThemeRow)
{
    if (putBackThemeRow
        && !exec(QStringLiteral("INSERT INTO \"Theme\" (\"TH\", \"Name\", \"Adress\") VALUES ('1', '', '')")))
        return lastError();
    if (version >= Schema::ServerVersion)
        return QString();
    QStringList statements = engine().upgradeStatements(version);
    statements << engine().writeSchemaVersion(Schema::ServerVersion);
    for (const QString& statement : statements)
        if (!exec(statement))
            return lastError();
    return QString();
}
