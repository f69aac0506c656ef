#include "data/HomeFigures.h"

#include "data/Database.h"
#include "data/Engine.h"
#include "data/Schema.h"
#include "data/Sql.h"
#include "data/TableCursor.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QUrl>

namespace HomeFigures {
namespace {

// Counted by the engine from the index of complete answer rows (the same condition word for word, so both engines
// take the index).
QString answeredCount()
{
    return QStringLiteral("SELECT COUNT(*) FROM \"Answer\" WHERE ") + Schema::everyItemAnswered();
}

QString registeredCount()
{
    return QStringLiteral("SELECT COUNT(*) FROM \"IDE\"");
}

// Rows are numbered in the order they were stored: the highest are the newest.
QString recentRows(const Engine& engine)
{
    return QStringLiteral("SELECT \"Code\", \"FName\", \"LName\", \"Date\" FROM \"IDE\" ORDER BY %1 DESC LIMIT ?")
        .arg(engine.rowIdentity());
}

void readRecent(QSqlQuery& query, Figures& figures)
{
    while (query.next())
        figures.recent.append({ query.value(0).toString(), query.value(1).toString(), query.value(2).toString(),
            query.value(3).toString() });
}

bool run(Database& db, QSqlQuery& query, Figures& figures)
{
    if (db.exec(query))
        return true;
    figures.error = query.lastError().text();
    figures.busy = db.engine().isBusy(query.lastError());
    return false;
}

bool prepare(Database& db, QSqlQuery& query, const QString& sql, Figures& figures)
{
    if (db.prepare(query, sql))
        return true;
    figures.error = db.lastError();
    figures.busy = db.lastErrorIsBusy();
    return false;
}

bool count(Database& db, const QString& sql, int& value, Figures& figures)
{
    QSqlQuery query(db.connection());
    query.setForwardOnly(true);
    if (!prepare(db, query, sql, figures) || !run(db, query, figures))
        return false;
    value = query.next() ? query.value(0).toInt() : 0;
    return true;
}

// The same three readings on the reading thread's own connection, in one read transaction so the figures agree
// with each other.
Figures readOn(QSqlDatabase connection, const Engine& engine, int recentCount)
{
    Figures figures;
    const auto failed = [&figures, &engine](const QSqlQuery& query) {
        figures.error = query.lastError().text();
        figures.busy = engine.isBusy(query.lastError());
        return figures;
    };
    QSqlQuery query(connection);
    query.setForwardOnly(true);
    if (!query.exec(engine.beginReading()))
        return failed(query);
    const auto counted = [&](const QString& sql, int& value) {
        if (!query.exec(sql))
            return false;
        value = query.next() ? query.value(0).toInt() : 0;
        query.finish();
        return true;
    };
    bool ok = counted(registeredCount(), figures.registered) && counted(answeredCount(), figures.answered);
    if (ok && query.prepare(recentRows(engine))) {
        query.addBindValue(qMax(0, recentCount));
        ok = query.exec();
        if (ok)
            readRecent(query, figures);
    } else {
        ok = false;
    }
    if (!ok)
        failed(query);
    query.finish();
    QSqlQuery(connection).exec(QStringLiteral("ROLLBACK"));
    figures.read = ok;
    return figures;
}

// On the server, which other counsellors write to as well, everything is counted each time: the two counts and the
// newest rows in one statement, one round trip (a kept statement: the server plans it once per connection).
Figures readFromServer(Database& db, int recentCount)
{
    Figures figures;
    Database::Statement statement = db.statement(
        QStringLiteral("SELECT c.registered, c.answered, r.\"Code\", r.\"FName\", r.\"LName\", r.\"Date\" "
                       "FROM (SELECT (SELECT COUNT(*) FROM \"IDE\") AS registered, (%1) AS answered) c "
                       "LEFT JOIN (SELECT %2 AS id, \"Code\", \"FName\", \"LName\", \"Date\" FROM \"IDE\" "
                       "ORDER BY %2 DESC LIMIT ?) r ON true ORDER BY r.id DESC")
            .arg(answeredCount(), db.engine().rowIdentity()));
    if (!statement) {
        figures.error = db.lastError();
        figures.busy = db.lastErrorIsBusy();
        return figures;
    }
    QSqlQuery& query = statement.query();
    query.addBindValue(qMax(0, recentCount));
    if (!run(db, query, figures))
        return figures;
    while (query.next()) {
        figures.registered = query.value(0).toInt();
        figures.answered = query.value(1).toInt();
        if (!query.isNull(2))
            figures.recent.append({ query.value(2).toString(), query.value(3).toString(), query.value(4).toString(),
                query.value(5).toString() });
    }
    if (query.lastError().isValid()) {
        figures.error = query.lastError().text();
        figures.busy = db.engine().isBusy(query.lastError());
        return figures;
    }
    figures.read = true;
    return figures;
}

} // namespace

Figures read(Database& db, int recentCount)
{
    if (db.engine().isServer())
        return readFromServer(db, recentCount);
    Figures figures;
    if (!count(db, registeredCount(), figures.registered, figures)
        || !count(db, answeredCount(), figures.answered, figures))
        return figures;
    QSqlQuery recent(db.connection());
    recent.setForwardOnly(true);
    if (!prepare(db, recent, recentRows(db.engine()), figures))
        return figures;
    recent.addBindValue(qMax(0, recentCount));
    if (!run(db, recent, figures))
        return figures;
    readRecent(recent, figures);
    figures.read = true;
    return figures;
}

std::optional<bool> anyAnswerRow(Database& db)
{
    Database::Statement statement = db.statement(QStringLiteral("SELECT 1 FROM \"Answer\" LIMIT 1"));
    if (!statement || !db.exec(statement.query()))
        return std::nullopt;
    return statement.query().next();
}

std::optional<bool> reloadWithAnyAnswerRow(TableCursor& cursor)
{
    QVariant any;
    if (!cursor.reloadWith(QStringLiteral("SELECT 1 FROM \"Answer\" LIMIT 1"), {}, any))
        return std::nullopt;
    // Without a row of the cursor's, the value was not read with it.
    if (!cursor.hasCurrent())
        return anyAnswerRow(cursor.database());
    return !any.isNull();
}

Reader::Reader(Database& db, int recentCount, QObject* parent)
    : QObject(parent)
    , m_onServer(db.isServer())
    , m_recentCount(recentCount)
{
    if (m_onServer) {
        m_connectionOf = db.connection().connectionName();
        if (const std::optional<ServerAddress> server = db.server())
            m_schema = server->schemaName();
    } else {
        // Read-only, so the reading can never change the file; a file that has gone is not made again.
        QUrl uri = QUrl::fromLocalFile(QFileInfo(db.filePath()).absoluteFilePath());
        uri.setQuery(QStringLiteral("mode=ro"));
        m_connectionOf = uri.toString(QUrl::FullyEncoded);
    }
    m_thread = QThread::create([this] { run(); });
    m_thread->setObjectName(QStringLiteral("HomeFigures"));
    m_thread->start(QThread::LowPriority);
}

Reader::~Reader()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread->wait();
    delete m_thread;
}

void Reader::request()
{
    {
        const std::lock_guard lock(m_mutex);
        m_wanted = true;
    }
    m_wake.notify_one();
}

void Reader::deliver(const Figures& figures)
{
    if (figures.read)
        m_latest = figures;
    emit figuresRead(figures);
}

void Reader::run()
{
    const QString name = QStringLiteral("home-figures-%1").arg(reinterpret_cast<quintptr>(this));
    const Engine& engine = m_onServer ? Engine::server() : Engine::sqlite();
    {
        QSqlDatabase connection;
        for (;;) {
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [this] { return m_wanted || m_stopping; });
                if (m_stopping)
                    break;
                m_wanted = false;
            }
            if (!connection.isValid()) {
                if (m_onServer) {
                    connection = QSqlDatabase::cloneDatabase(m_connectionOf, name);
                } else {
                    connection = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
                    connection.setDatabaseName(m_connectionOf);
                    connection.setConnectOptions(
                        QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=3000"));
                }
            }
            // A server connection kept from an earlier reading may have ended since (the server restarted): made
            // again once before the reading is said to have failed, as the program's own connection is.
            Figures figures;
            for (int attempt = connection.isOpen() ? 2 : 1; attempt > 0; --attempt) {
                bool open = connection.isOpen();
                if (!open) {
                    open = connection.open();
                    // One schema and only it, as the program's own connection reads.
                    if (open && m_onServer && !m_schema.isEmpty())
                        open = QSqlQuery(connection).exec(
                            QStringLiteral("SET search_path TO %1").arg(Sql::quoted(m_schema)));
                }
                if (open) {
                    figures = readOn(connection, engine, m_recentCount);
                } else {
                    figures = Figures();
                    figures.error = connection.lastError().text();
                }
                if (figures.read)
                    break;
                connection.close();
            }
            // The file is let go between readings (a restore may put another in its place).
            if (!m_onServer)
                connection.close();
            QMetaObject::invokeMethod(this, [this, figures] { deliver(figures); }, Qt::QueuedConnection);
        }
    }
    QSqlDatabase::removeDatabase(name);
}

} // namespace HomeFigures
