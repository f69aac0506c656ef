// Opening the program's own data file: the check, the first start's new file, and bringing an older one up to date.
#include "data/Database.h"

#include "data/Audit.h"
#include "data/DatabaseCheck.h"
#include "data/Engine.h"
#include "data/ExamineeCode.h"
#include "data/PageCheck.h"
#include "data/Schema.h"
#include "data/Transaction.h"
#include "text/OwnerOnly.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

namespace {

struct ScopedConnection {
    QString name;
    QSqlDatabase db;
    ScopedConnection(const QString& connectionName, const QString& path, const QString& options)
        : name(connectionName)
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

bool Database::createAt(const QString& path, QString& error) const
{
    QFile::remove(path);
    // SQLite makes the file with the usual mode, less the creation mask; its journals take the file's mode.
    const OwnerOnly::Creating ownerOnly;
    ScopedConnection maker(nextConnectionName(), path, QString());
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
    for (const QString& statement : Engine::sqlite().schemaStatements())
        schema = schema && exec(statement);
    if (schema) {
        error = seed([&maker](const QString& sql, const QVariantList& values) {
            QSqlQuery insert(maker.db);
            if (!insert.prepare(sql))
                return insert.lastError().text();
            for (const QVariant& value : values)
                insert.addBindValue(value);
            return insert.exec() ? QString() : insert.lastError().text();
        });
        schema = error.isNull();
    }
    for (const QString& statement : Engine::sqlite().writeSchemaVersion(Schema::CurrentVersion))
        schema = schema && exec(statement);
    if (!schema) {
        maker.db.rollback();
        return false;
    }
    if (!maker.db.commit()) {
        error = maker.db.lastError().text();
        return false;
    }
    return true;
}

Database::OpenResult Database::openFile()
{
    OpenResult result;
    const QString path = filePath();
    const DatabaseCheck::Result check = DatabaseCheck::inspect(
        path, m_pagesCheckedLater ? DatabaseCheck::Thoroughness::Layout : DatabaseCheck::Thoroughness::Quick,
        m_lockWaitMs);
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

    // A file just made has no page anyone else wrote. The check starts before the opening's own writes (a file of an
    // older version brought up to date), so they wait for its verdict as every later write does.
    if (m_pagesCheckedLater && result.status == OpenStatus::Opened) {
        m_pages = Pages::Unknown;
        m_pageCheck = std::make_unique<PageCheck>(path, m_lockWaitMs);
    }
    const QString error = openConnection(path, check.themeRowMissing);
    if (!error.isNull()) {
        const bool damaged = m_pages == Pages::Damaged;
        const QString damage = m_pagesDamage;
        close();
        result.status = damaged ? OpenStatus::Refused : OpenStatus::Failed;
        result.check = damaged ? DatabaseCheck::Outcome::Damaged : result.check;
        result.error = damaged ? damage : error;
    }
    return result;
}

Database::OpenResult Database::openForReading()
{
    close();
    OpenResult result;
    if (m_server) {
        result.error = QStringLiteral("a server is not opened for reading only");
        return result;
    }
    const QString path = filePath();
    if (!QFileInfo::exists(path)) {
        result.status = OpenStatus::Refused;
        result.check = DatabaseCheck::Outcome::Missing;
        result.error = QStringLiteral("there is no data file at %1").arg(path);
        return result;
    }
    const DatabaseCheck::Result check = DatabaseCheck::inspect(path, DatabaseCheck::Thoroughness::Quick, m_lockWaitMs);
    result.check = check.outcome;
    // Only read: a file that may not be written is read all the same.
    if (check.outcome != DatabaseCheck::Outcome::Ours && check.outcome != DatabaseCheck::Outcome::NotWritable) {
        result.status = OpenStatus::Refused;
        result.error = check.detail;
        return result;
    }
    result.check = DatabaseCheck::Outcome::Ours;
    const QString error = openReadOnlyConnection(path);
    if (!error.isNull()) {
        close();
        result.status = OpenStatus::Failed;
        result.error = error;
        return result;
    }
    result.status = OpenStatus::Opened;
    return result;
}

QSqlDatabase Database::addReadOnlyFileConnection(const QString& name, const QString& path, int lockWaitMs)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    QUrl uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    uri.setQuery(QStringLiteral("mode=ro"));
    db.setDatabaseName(uri.toString(QUrl::FullyEncoded));
    db.setConnectOptions(
        QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=%1").arg(lockWaitMs));
    return db;
}

QString Database::openReadOnlyConnection(const QString& path)
{
    QSqlDatabase db = addReadOnlyFileConnection(m_connectionName, path, m_lockWaitMs);
    if (!db.open())
        return db.lastError().text();
    m_impatientSince.invalidate();
    return QString();
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
        && !exec(QStringLiteral("INSERT INTO \"Theme\" (\"TH\", \"Name\", \"Adress\") SELECT '1', '', '' "
                                "WHERE NOT EXISTS (SELECT 1 FROM \"Theme\")")))
        return lastError();

    if (!q.exec(engine().readSchemaVersion()) || !q.next())
        return q.lastError().text();
    const int version = q.value(0).toInt();
    q.finish();
    // A file written before codes were normalised has its codes brought up to date before anyone looks one up, once:
    // the version written after it says so, and every code stored since is stored normalised.
    if (version < Schema::CodesNormalisedVersion) {
        if (m_pageCheck && !pagesAllow(QString()))
            return lastError();
        const ExamineeCode::StoredCodesResult codes = ExamineeCode::normaliseStoredCodes(db);
        if (!codes.ok)
            return codes.error;
    }

    const QString upgraded = bringSchemaUpToDate(version);
    if (!upgraded.isNull())
        return upgraded;

    // From here on every change of an examinee's rows leaves its line in the trail, with whoever runs the program.
    if (m_keepsTrail)
        for (const QString& statement : Audit::fileTriggerStatements(Audit::computerUser()))
            if (!q.exec(statement))
                return q.lastError().text();
    return QString();
}

QString Database::bringSchemaUpToDate(int version)
{
    if (version >= Schema::CurrentVersion)
        return QString();
    // The new tables and the version number together, or neither: a file is never half brought up to date.
    Transaction upgrade(*this);
    if (!upgrade.begun())
        return upgrade.error();
    QStringList statements = engine().upgradeStatements(version);
    statements << engine().writeSchemaVersion(Schema::CurrentVersion);
    for (const QString& statement : statements)
        if (!exec(statement))
            return lastError();
    if (!upgrade.commit())
        return upgrade.error();
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
