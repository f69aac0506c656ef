#include "data/Database.h"

#include "data/DatabaseCheck.h"
#include "data/Engine.h"
#include "data/ExamineeCode.h"
#include "data/QuestionnaireItems.h"
#include "data/Schema.h"
#include "data/Transaction.h"
#include "text/OwnerOnly.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>

#include <atomic>

namespace {

QString nextConnectionName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("t35_db_%1").arg(++counter);
}

struct ScopedConnection {
    QString name;
    QSqlDatabase db;
    ScopedConnection(const QString& path, const QString& options)
        : name(nextConnectionName())
    {
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(options);
    }
    ~ScopedConnection()
    {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
    }
};

} // namespace

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

bool Database::createAt(const QString& path, QString& error) const
{
    QFile::remove(path);
    // SQLite makes the file with the usual mode, less the creation mask; its journals take the file's mode.
    const OwnerOnly::Creating ownerOnly;
    ScopedConnection maker(path, QString());
    if (!maker.db.open()) {
        error = maker.db.lastError().text();
        return false;
    }
    QSqlQuery q(maker.db);
    auto exec = [&](const QString& sql) {
        if (q.exec(sql))
            return true;
        error = q.lastError().text();
        return false;
    };
    if (!exec(QStringLiteral("PRAGMA journal_mode=DELETE")) || !maker.db.transaction())
        return false;

    bool schema = true;
    for (const QString& statement : Engine::schemaStatements())
        schema = schema && exec(statement);
    if (!schema) {
        maker.db.rollback();
        return false;
    }

    q.prepare(QStringLiteral("INSERT INTO QU (ID, QUs) VALUES (?, ?)"));
    for (const QuestionnaireItem& item : questionnaireItems()) {
        q.addBindValue(QString::number(item.number));
        q.addBindValue(QString::fromUtf8(item.statement));
        if (!q.exec()) {
            error = q.lastError().text();
            maker.db.rollback();
            return false;
        }
    }
    if (!exec(QStringLiteral("INSERT INTO Theme (TH, Name, Adress) VALUES ('1', '', '')"))) {
        maker.db.rollback();
        return false;
    }
    if (!exec(Engine::writeSchemaVersion(Schema::CurrentVersion))) {
        maker.db.rollback();
        return false;
    }
    if (!maker.db.commit()) {
        error = maker.db.lastError().text();
        return false;
    }
    return true;
}

Database::OpenResult Database::open()
{
    close();
    OpenResult result;
    const QString path = filePath();
    const DatabaseCheck::Result check = DatabaseCheck::inspect(path, DatabaseCheck::Thoroughness::Quick, m_lockWaitMs);
    result.check = check.outcome;
    switch (check.outcome) {
    case DatabaseCheck::Outcome::Missing:
        if (!create(path, result))
            return result;
        result.status = OpenStatus::Created;
        break;
    case DatabaseCheck::Outcome::Ours:
        result.status = OpenStatus::Opened;
        break;
    default:
        // Refused as it is: nothing on disk is changed.
        result.status = OpenStatus::Refused;
        result.error = check.detail;
        return result;
    }

    const QString error = openConnection(path, check.themeRowMissing);
    if (!error.isNull()) {
        close();
        result.status = OpenStatus::Failed;
        result.error = error;
    }
    return result;
}

QString Database::openConnection(const QString& path, bool putBackThemeRow)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    // Opened as a URI with mode=rw, so a file that has gone since the check is never created empty in its place.
    QUrl uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    uri.setQuery(QStringLiteral("mode=rw"));
    db.setDatabaseName(uri.toString(QUrl::FullyEncoded));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(m_lockWaitMs));
    if (!db.open())
        return db.lastError().text();
    QSqlQuery q(db);
    q.exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
    q.exec(QStringLiteral("PRAGMA synchronous=FULL"));
    m_impatientSince.invalidate();

    if (putBackThemeRow
        && !q.exec(QStringLiteral("INSERT INTO Theme (TH, Name, Adress) SELECT '1', '', '' "
                                  "WHERE NOT EXISTS (SELECT 1 FROM Theme)")))
        return q.lastError().text();

    const QString upgraded = bringSchemaUpToDate();
    if (!upgraded.isNull())
        return upgraded;

    // A file written before codes were normalised has its codes brought up to date before anyone looks one up.
    const ExamineeCode::StoredCodesResult codes = ExamineeCode::normaliseStoredCodes(db);
    if (!codes.ok)
        return codes.error;
    return QString();
}

QString Database::bringSchemaUpToDate()
{
    QSqlQuery q(connection());
    if (!q.exec(Engine::readSchemaVersion()) || !q.next())
        return q.lastError().text();
    const int version = q.value(0).toInt();
    q.finish();
    if (version >= Schema::CurrentVersion)
        return QString();
    // The new tables and the version number together, or neither: a file is never half brought up to date.
    Transaction upgrade(*this);
    if (!upgrade.begun())
        return upgrade.error();
    for (const QString& statement : Schema::upgradeStatements(version))
        if (!exec(statement))
            return lastError();
    if (!exec(Engine::writeSchemaVersion(Schema::CurrentVersion)) || !upgrade.commit())
        return upgrade.error().isEmpty() ? lastError() : upgrade.error();
    return QString();
}

bool Database::create(const QString& path, OpenResult& result) const
{
    const QFileInfo info(path);
    const QString folder = info.absolutePath();
    if (!OwnerOnly::makeFolder(folder)) {
        result.status = OpenStatus::Refused;
        result.check = DatabaseCheck::Outcome::NotWritable;
        result.error = QStringLiteral("cannot create folder %1").arg(folder);
        return false;
    }
    // Built beside the final name and renamed, so an interrupted first start never leaves half a database. What an
    // interrupted start left there is this program's own and goes first, journal included, so it is never played
    // back into the new file.
    const QString building = path + QStringLiteral(".new");
    QFile::remove(DatabaseCheck::journalPath(building));
    if (!createAt(building, result.error)) {
        QFile::remove(building);
        QFile::remove(DatabaseCheck::journalPath(building));
        result.status = OpenStatus::Failed;
        if (!QFileInfo(folder).isWritable()) {
            result.status = OpenStatus::Refused;
            result.check = DatabaseCheck::Outcome::NotWritable;
        }
        return false;
    }
    if (!QFile::rename(building, path)) {
        QFile::remove(building);
        result.status = OpenStatus::Failed;
        result.error = QStringLiteral("cannot create %1").arg(path);
        return false;
    }
    return true;
}

bool Database::isOpen() const
{
    return QSqlDatabase::contains(m_connectionName) && connection().isOpen();
}

void Database::close()
{
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
    return QSqlDatabase::database(m_connectionName, false);
}

bool Database::isBusy(const QSqlError& error)
{
    return Engine::isBusy(error);
}

void Database::setBusyTimeout(int milliseconds)
{
    // Changing the wait takes no lock, so it works while the file is held.
    QSqlQuery q(connection());
    q.exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(milliseconds));
}

void Database::setLockWait(int milliseconds)
{
    m_lockWaitMs = milliseconds;
    m_impatientSince.invalidate();
    if (isOpen())
        setBusyTimeout(m_lockWaitMs);
}

bool Database::exec(QSqlQuery& query)
{
    if (m_impatientSince.isValid() && m_impatientSince.hasExpired(m_lockWaitMs)) {
        m_impatientSince.invalidate();
        setBusyTimeout(m_lockWaitMs);
    }
    if (query.exec()) {
        if (m_impatientSince.isValid()) {
            m_impatientSince.invalidate();
            setBusyTimeout(m_lockWaitMs);
        }
        return true;
    }
    m_lastError = query.lastError().text();
    m_lastErrorBusy = isBusy(query.lastError());
    if (m_lastErrorBusy && !m_impatientSince.isValid()) {
        setBusyTimeout(0);
        m_impatientSince.start();
    }
    return false;
}

bool Database::exec(const QString& sql)
{
    QSqlQuery q(connection());
    q.prepare(sql);
    return exec(q);
}

bool Database::beginTransaction()
{
    return exec(Engine::beginWriting());
}

bool Database::commit()
{
    if (exec(QStringLiteral("COMMIT")))
        return true;
    const QString error = m_lastError;
    const bool busy = m_lastErrorBusy;
    rollback();
    m_lastError = error;
    m_lastErrorBusy = busy;
    return false;
}

void Database::rollback()
{
    QSqlQuery q(connection());
    q.exec(QStringLiteral("ROLLBACK"));
}

QString Database::lastError() const
{
    return m_lastError;
}
