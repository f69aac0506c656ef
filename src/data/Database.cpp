#include "data/Database.h"
#include "data/PageCheck.h"

#include "data/Engine.h"
#include "data/QuestionnaireItems.h"

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>

#include <atomic>
#include <utility>

namespace {

// How long a server that could not be reached is left alone before a statement tries it again, so a window that
// runs a dozen statements does not wait for a dozen connections that fail.
constexpr int ReconnectPauseMs = 1000;
constexpr int SlowReconnectMs = 200;
// More different statements than the program runs again and again: past it, the idle ones are dropped.
constexpr qsizetype MostKeptStatements = 128;

} // namespace

struct Database::Statement::Kept {
    std::unique_ptr<QSqlQuery> query;
    bool inUse = false;
};

Database::Statement::Statement(Statement&& other) noexcept
    : m_kept(std::move(other.m_kept))
    , m_own(std::move(other.m_own))
    , m_query(std::exchange(other.m_query, nullptr))
{
}

Database::Statement::~Statement()
{
    if (m_query)
        m_query->finish();
    if (m_kept)
        m_kept->inUse = false;
}

QString Database::nextConnectionName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("t35_db_%1").arg(++counter);
}

const QStringList& Database::ideColumns()
{
    static const QStringList columns = {
        QStringLiteral("Code"),   QStringLiteral("FName"),  QStringLiteral("LName"),   QStringLiteral("Jens"),
        QStringLiteral("Sen"),    QStringLiteral("Taahol"), QStringLiteral("Tahsil"),  QStringLiteral("Group"),
        QStringLiteral("Date"),   QStringLiteral("Time"),   QStringLiteral("Rezayat"), QStringLiteral("Ertebat"),
        QStringLiteral("HaleT"),  QStringLiteral("TahrifeA")};
    return columns;
}

const QStringList& Database::answerColumns()
{
    static const QStringList columns = [] {
        QStringList c{QStringLiteral("Code")};
        for (int i = 1; i <= QuestionnaireItemCount; ++i)
            c << QString::number(i);
        c << QStringLiteral("50");
        return c;
    }();
    return columns;
}

const QStringList& Database::quColumns()
{
    static const QStringList columns = {QStringLiteral("ID"), QStringLiteral("QUs")};
    return columns;
}

const QStringList& Database::themeColumns()
{
    static const QStringList columns = {QStringLiteral("TH"), QStringLiteral("Name"), QStringLiteral("Adress")};
    return columns;
}

Database::Database(const QString& dataFolder, const QString& resourcesFolder)
    : m_dataFolder(dataFolder)
    , m_resourcesFolder(resourcesFolder.isEmpty() ? dataFolder : resourcesFolder)
    , m_filePath(filePath(dataFolder))
    , m_connectionName(nextConnectionName())
{
}

std::unique_ptr<Database> Database::atFile(const QString& path)
{
    auto db = std::make_unique<Database>(QString());
    db->m_filePath = path;
    // A copy is no one's work: what is written into it (a server's rows, a check) leaves no lines.
    db->m_keepsTrail = false;
    return db;
}

std::unique_ptr<Database> Database::onServer(const ServerAddress& server, const QString& password)
{
    auto db = std::make_unique<Database>(QString());
    db->m_filePath.clear();
    db->m_server = server;
    db->m_password = password;
    return db;
}

Database::Location Database::location() const
{
    return { m_filePath, m_dataFolder, m_resourcesFolder, m_server, m_password };
}

std::unique_ptr<Database> Database::at(const Location& location)
{
    auto db = std::make_unique<Database>(location.dataFolder, location.resourcesFolder);
    db->m_filePath = location.filePath;
    db->m_server = location.server;
    db->m_password = location.password;
    return db;
}

Database::~Database()
{
    close();
}

QString Database::filePath(const QString& dataFolder)
{
    return QDir(dataFolder).filePath(QStringLiteral("RIVERIVU/RIVERIVU.mdb"));
}

QString Database::filePath() const
{
    return m_filePath;
}

bool Database::isServer() const
{
    return m_server.has_value();
}

QString Database::describe() const
{
    return m_server ? m_server->displayName() : QDir::toNativeSeparators(m_filePath);
}

const Engine& Database::engine() const
{
    return m_server ? Engine::server() : Engine::sqlite();
}

QString Database::seed(const std::function<QString(const QString&, const QVariantList&)>& run) const
{
    for (const QuestionnaireItem& item : questionnaireItems()) {
        const QString error = run(QStringLiteral("INSERT INTO \"QU\" (\"ID\", \"QUs\") VALUES (?, ?)"),
            { QString::number(item.number), QString::fromUtf8(item.statement) });
        if (!error.isNull())
            return error;
    }
    return run(QStringLiteral("INSERT INTO \"Theme\" (\"TH\", \"Name\", \"Adress\") VALUES ('1', '', '')"), {});
}

Database::OpenResult Database::open()
{
    close();
    return m_server ? openServer() : openFile();
}

Database::OpenResult Database::openToRead()
{
    close();
    if (m_server)
        return openServer();
    OpenResult result;
    result.error = openReadOnlyConnection(filePath());
    if (result.error.isEmpty()) {
        result.status = OpenStatus::Opened;
        result.check = DatabaseCheck::Outcome::Ours;
    }
    return result;
}

bool Database::isOpen() const
{
    return QSqlDatabase::contains(m_connectionName) && connection().isOpen();
}

void Database::close()
{
    // Before anything replaces the file, and before the program ends: a check still reading is stopped.
    m_pageCheck.reset();
    dropKeptStatements();
    m_schemaVersion = -1;
    m_inTransaction = false;
    m_transactionFailed = false;
    m_lost = false;
    if (!QSqlDatabase::contains(m_connectionName))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

QSqlDatabase Database::connection() const
{
    // A connection the server ended while nothing ran (it restarted, say) is made again before the statement is
    // sent, so the statement runs once, on the new one. Inside a transaction it is not: the transaction went with
    // the old connection, and its next statement fails the whole of it.
    if (isServer() && !m_inTransaction && !m_lost && connectionFoundBroken()) {
        m_lost = true;
        m_lastReconnectTry.invalidate();
    }
    reconnectIfLost();
    // Before the statement is prepared: preparing it may wait for a lock too.
    if (m_impatientSince.isValid() && m_impatientSince.hasExpired(m_lockWaitMs)) {
        m_impatientSince.invalidate();
        setBusyTimeout(m_lockWaitMs);
    }
    return QSqlDatabase::database(m_connectionName, false);
}

void Database::reconnectIfLost() const
{
    if (!m_lost || !QSqlDatabase::contains(m_connectionName))
        return;
    if (m_lastReconnectTry.isValid() && !m_lastReconnectTry.hasExpired(ReconnectPauseMs))
        return;
    QElapsedTimer took;
    took.start();
    // What was prepared on the broken connection is not on the new one.
    dropKeptStatements();
    QSqlDatabase::database(m_connectionName, false).close();
    if (connectToServer().isValid()) {
        // Only a try that kept the program waiting is worth sparing: one refused at once (a server being started
        // again) costs nothing to repeat, and the server may be back for the very next statement.
        if (took.elapsed() >= SlowReconnectMs)
            m_lastReconnectTry.start();
        else
            m_lastReconnectTry.invalidate();
        return;
    }
    m_lost = false;
    m_lastReconnectTry.invalidate();
}

bool Database::isBusy(const QSqlError& error)
{
    return Engine::sqlite().isBusy(error) || Engine::server().isBusy(error);
}

void Database::setBusyTimeout(int milliseconds) const
{
    // Changing the wait takes no lock, so it works while the data is held.
    QSqlQuery q(QSqlDatabase::database(m_connectionName, false));
    q.exec(engine().lockWait(milliseconds));
}

void Database::applyLockWait() const
{
    setBusyTimeout(m_impatientSince.isValid() ? 0 : m_lockWaitMs);
}

void Database::setLockWait(int milliseconds)
{
    m_lockWaitMs = milliseconds;
    m_impatientSince.invalidate();
    if (isOpen())
        setBusyTimeout(m_lockWaitMs);
}

namespace {

// Statements that never change the file: a page check need not have ended before they run.
bool readsOnly(const QString& sql)
{
    const QString statement = sql.trimmed();
    if (statement.startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive))
        return true;
    for (const char* word : { "BEGIN", "COMMIT", "ROLLBACK", "END" })
        if (statement.compare(QLatin1String(word), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

bool Database::pagesAllow(const QString& sql)
{
    if (m_pages == Pages::Unknown && (!readsOnly(sql) || m_pageCheck->isDone())) {
        const DatabaseCheck::Result verdict = m_pageCheck->wait();
        // Only a fault found counts against the file: a read held up by another program, or one cut short, leaves
        // the pages for the next start to read.
        m_pages = verdict.outcome == DatabaseCheck::Outcome::Damaged ? Pages::Damaged : Pages::Sound;
        m_pagesDamage = verdict.detail;
    }
    if (m_pages != Pages::Damaged)
        return true;
    m_lastError = QStringLiteral("the data file has a damaged page: %1").arg(m_pagesDamage);
    m_lastErrorCode.clear();
    m_lastErrorBusy = false;
    m_lastErrorLost = false;
    return false;
}

bool Database::execStatement(QSqlQuery& query, const QString* sql)
{
    if (m_pageCheck && m_pages != Pages::Sound && !pagesAllow(sql ? *sql : query.lastQuery()))
        return false;
    // What follows a failure in a transaction on the server can only be the rollback: on a connection made again it
    // would be stored on its own, outside the transaction it belongs to.
    if (isServer() && m_inTransaction && m_transactionFailed) {
        m_lastError = m_transactionError;
        m_lastErrorBusy = false;
        m_lastErrorLost = m_lost;
        return false;
    }
    if (sql ? query.exec(*sql) : query.exec()) {
        if (m_impatientSince.isValid()) {
            m_impatientSince.invalidate();
            setBusyTimeout(m_lockWaitMs);
        }
        return true;
    }
    noteFailure(query.lastError());
    return false;
}

bool Database::prepare(QSqlQuery& query, const QString& sql)
{
    if (isServer() && m_inTransaction && m_transactionFailed) {
        m_lastError = m_transactionError;
        m_lastErrorBusy = false;
        m_lastErrorLost = m_lost;
        return false;
    }
    // The driver's answer decides, never its words: they are translated with the rest of Qt.
    if (query.prepare(sql))
        return true;
    noteFailure(query.lastError());
    return false;
}

void Database::noteFailure(const QSqlError& error)
{
    m_lastError = error.text();
    m_lastErrorCode = error.nativeErrorCode();
    m_lastErrorBusy = engine().isBusy(error);
    m_lastErrorLost = false;
    if (isServer()) {
        // A failure the client noticed itself carries no state of the server's: whether the connection still
        // answers tells a broken one from a statement the server never understood.
        bool lost = engine().isConnectionLost(error);
        if (!lost && error.nativeErrorCode().isEmpty()) {
            QSqlQuery probe(QSqlDatabase::database(m_connectionName, false));
            lost = !probe.exec(QStringLiteral("SELECT 1")) && (probe.lastError().nativeErrorCode().isEmpty()
                                                                  || engine().isConnectionLost(probe.lastError()));
        }
        m_lastErrorLost = lost;
        m_lost = m_lost || lost;
        // A statement on a connection that could not be made again fails before it reaches the driver, unexplained.
        if (lost && m_lastError.trimmed().isEmpty())
            m_lastError = QStringLiteral("no connection to the server %1").arg(describe());
        // The server refuses every later statement of a transaction in which one has failed, and drops it with a
        // broken connection: it can only be rolled back.
        if (m_inTransaction && !m_transactionFailed) {
            m_transactionFailed = true;
            m_transactionError = m_lastError;
        }
    }
    if (m_lastErrorBusy && !m_impatientSince.isValid() && !m_lost) {
        setBusyTimeout(0);
        m_impatientSince.start();
    }
}

Database::Statement Database::statement(const QString& sql, Fetch fetch)
{
    Statement statement;
    // Asked for first: a connection made again has dropped what was kept on the old one.
    const QSqlDatabase db = connection();
    const bool allAtOnce = fetch == Fetch::AllAtOnce && isServer();
    // The same text fetched the other way is a statement of its own.
    const QString key = allAtOnce ? QStringLiteral("all:") + sql : sql;
    const auto found = m_keptStatements.constFind(key);
    if (found != m_keptStatements.cend() && !(*found)->inUse) {
        statement.m_kept = *found;
        statement.m_kept->inUse = true;
        statement.m_query = statement.m_kept->query.get();
        return statement;
    }
    auto query = std::make_unique<QSqlQuery>(db);
    query->setForwardOnly(!allAtOnce);
    if (!prepare(*query, sql))
        return statement;
    if (found != m_keptStatements.cend()) {
        statement.m_own = std::move(query);
        statement.m_query = statement.m_own.get();
        return statement;
    }
    // Dropping one deallocates it on the server, which a failed transaction would refuse.
    if (m_keptStatements.size() >= MostKeptStatements && !m_transactionFailed)
        m_keptStatements.removeIf([](const auto& kept) { return !kept.value()->inUse; });
    auto kept = std::make_shared<Statement::Kept>();
    kept->query = std::move(query);
    kept->inUse = true;
    m_keptStatements.insert(key, kept);
    statement.m_kept = std::move(kept);
    statement.m_query = statement.m_kept->query.get();
    return statement;
}

void Database::dropKeptStatements() const
{
    m_keptStatements.clear();
    m_keptColumns.clear();
}

bool Database::exec(QSqlQuery& query)
{
    return execStatement(query, nullptr);
}

bool Database::exec(const QString& sql)
{
    // Not prepared: the server prepares only statements that read or write rows.
    QSqlQuery q(connection());
    return execStatement(q, &sql);
}

bool Database::beginWith(const QStringList& statements)
{
    if (m_inTransaction && isServer()) {
        // The server would carry on inside the open one; the data file refuses the same way.
        m_lastError = QStringLiteral("cannot start a transaction within a transaction");
        m_lastErrorBusy = false;
        m_lastErrorLost = false;
        return false;
    }
    // On the server the statements go together, one round trip, each one's result looked at in turn: the first that
    // fails leaves the rest unrun and the transaction begun but refused, to be rolled back.
    if (isServer() && statements.size() > 1) {
        QSqlQuery q(connection());
        const QString together = statements.join(QStringLiteral("; "));
        if (!execStatement(q, &together))
            return false;
        m_inTransaction = true;
        m_transactionFailed = false;
        for (qsizetype i = 1; i < statements.size(); ++i) {
            if (!q.nextResult() || q.lastError().isValid()) {
                noteFailure(q.lastError());
                rollbackKeepingError();
                return false;
            }
        }
        return true;
    }
    bool began = false;
    for (const QString& statement : statements) {
        if (!exec(statement)) {
            if (began)
                rollbackKeepingError();
            return false;
        }
        if (!began) {
            began = true;
            m_inTransaction = true;
            m_transactionFailed = false;
        }
    }
    return true;
}

bool Database::beginTransaction()
{
    return beginWith(engine().beginWriting());
}

bool Database::beginReading()
{
    return beginWith({ engine().beginReading() });
}

bool Database::commit()
{
    if (isServer() && m_transactionFailed) {
        m_lastError = m_transactionError;
        m_lastErrorBusy = false;
        m_lastErrorLost = m_lost;
        rollbackKeepingError();
        return false;
    }
    bool stored = false;
    if (isServer()) {
        // The driver's own commit tells a transaction the server has ended as rolled back from a stored one.
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        stored = db.commit();
        if (!stored) {
            const QSqlError error = db.lastError();
            m_lastError = error.text();
            m_lastErrorCode = error.nativeErrorCode();
            m_lastErrorBusy = engine().isBusy(error);
            QSqlQuery probe(db);
            m_lastErrorLost = engine().isConnectionLost(error) || !probe.exec(QStringLiteral("SELECT 1"));
            m_lost = m_lost || m_lastErrorLost;
        }
    } else {
        stored = exec(QStringLiteral("COMMIT"));
    }
    if (stored) {
        m_inTransaction = false;
        return true;
    }
    rollbackKeepingError();
    return false;
}

void Database::rollbackKeepingError()
{
    const QString error = m_lastError;
    const bool busy = m_lastErrorBusy;
    const bool lost = m_lastErrorLost;
    rollback();
    m_lastError = error;
    m_lastErrorBusy = busy;
    m_lastErrorLost = lost;
}

void Database::rollback()
{
    m_inTransaction = false;
    m_transactionFailed = false;
    // A broken connection took its transaction with it; the next statement connects again.
    if (m_lost)
        return;
    QSqlQuery q(QSqlDatabase::database(m_connectionName, false));
    q.exec(QStringLiteral("ROLLBACK"));
    // The server takes back a change of the lock wait made inside the transaction with it.
    if (isServer())
        applyLockWait();
}

QString Database::lastError() const
{
    return m_lastError;
}
