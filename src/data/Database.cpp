#include "data/Database.h"

#include "data/ExamineeCode.h"
#include "data/QuestionnaireItems.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <atomic>

namespace {

QString quoted(const QString& name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

QString createTableSql(const QString& table, const QStringList& columns)
{
    QStringList defs;
    for (const QString& c : columns)
        defs << quoted(c) + QStringLiteral(" TEXT");
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted(table), defs.join(QStringLiteral(", ")));
}

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

const QStringList kTables = {QStringLiteral("IDE"), QStringLiteral("Answer"), QStringLiteral("QU"),
                             QStringLiteral("Theme"), QStringLiteral("PPP")};

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
        for (int i = 1; i <= 35; ++i)
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

Database::Database(const QString& programFolder)
    : m_programFolder(programFolder)
    , m_connectionName(nextConnectionName())
{
}

Database::~Database()
{
    close();
}

QString Database::filePath(const QString& programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("RIVERIVU/RIVERIVU.mdb"));
}

QString Database::filePath() const
{
    return filePath(m_programFolder);
}

bool Database::isOurs(const QString& path, QString& why) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        why = file.errorString();
        return false;
    }
    const QByteArray header = file.read(16);
    file.close();
    if (header != QByteArray("SQLite format 3\0", 16)) {
        why = QStringLiteral("not an SQLite file");
        return false;
    }

    // Read-only look, so a foreign file is never touched.
    ScopedConnection probe(path, QStringLiteral("QSQLITE_OPEN_READONLY"));
    if (!probe.db.open()) {
        why = probe.db.lastError().text();
        return false;
    }
    const QList<QPair<QString, const QStringList*>> expected = {
        {QStringLiteral("IDE"), &ideColumns()},
        {QStringLiteral("Answer"), &answerColumns()},
        {QStringLiteral("QU"), &quColumns()},
        {QStringLiteral("Theme"), &themeColumns()},
    };
    const QStringList tables = probe.db.tables();
    for (const QString& t : kTables) {
        if (!tables.contains(t)) {
            why = QStringLiteral("table %1 is missing").arg(t);
            return false;
        }
    }
    for (const auto& [table, columns] : expected) {
        const QSqlRecord record = probe.db.record(table);
        for (const QString& c : *columns) {
            if (!record.contains(c)) {
                why = QStringLiteral("column %1 of %2 is missing").arg(c, table);
                return false;
            }
        }
    }
    return true;
}

bool Database::createAt(const QString& path, QString& error) const
{
    QFile::remove(path);
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

    const bool schema = exec(createTableSql(QStringLiteral("IDE"), ideColumns()))
        && exec(createTableSql(QStringLiteral("Answer"), answerColumns()))
        && exec(createTableSql(QStringLiteral("QU"), quColumns()))
        && exec(createTableSql(QStringLiteral("Theme"), themeColumns()))
        && exec(createTableSql(QStringLiteral("PPP"), {QStringLiteral("ID")}))
        && exec(QStringLiteral("CREATE INDEX IDE_Code ON IDE(Code)"))
        && exec(QStringLiteral("CREATE INDEX IDE_Group ON IDE(\"Group\")"))
        && exec(QStringLiteral("CREATE INDEX IDE_FName ON IDE(FName)"))
        && exec(QStringLiteral("CREATE INDEX IDE_LName ON IDE(LName)"))
        && exec(QStringLiteral("CREATE INDEX Answer_Code ON Answer(Code)"))
        && exec(QStringLiteral("CREATE INDEX QU_ID ON QU(ID)"));
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
    const QFileInfo info(path);

    if (!info.exists()) {
        if (!QDir().mkpath(info.absolutePath())) {
            result.error = QStringLiteral("cannot create folder %1").arg(info.absolutePath());
            return result;
        }
        // Built beside the final name and renamed, so an interrupted first start never leaves half a database.
        const QString building = path + QStringLiteral(".new");
        if (!createAt(building, result.error)) {
            QFile::remove(building);
            return result;
        }
        if (!QFile::rename(building, path)) {
            QFile::remove(building);
            result.error = QStringLiteral("cannot create %1").arg(path);
            return result;
        }
        result.status = OpenStatus::Created;
    } else {
        QString why;
        if (!isOurs(path, why)) {
            result.status = OpenStatus::NotOurs;
            result.error = why;
            return result;
        }
        result.status = OpenStatus::Opened;
    }

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(m_lockWaitMs));
    if (!db.open()) {
        result.status = OpenStatus::Failed;
        result.error = db.lastError().text();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
        return result;
    }
    QSqlQuery q(db);
    q.exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
    q.exec(QStringLiteral("PRAGMA synchronous=FULL"));
    m_impatientSince.invalidate();

    // A file written before codes were normalised has its codes brought up to date before anyone looks one up.
    const ExamineeCode::StoredCodesResult codes = ExamineeCode::normaliseStoredCodes(db);
    if (!codes.ok) {
        close();
        result.status = OpenStatus::Failed;
        result.error = codes.error;
    }
    return result;
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
    // SQLITE_BUSY (5) and SQLITE_LOCKED (6), and their extended codes.
    bool number = false;
    const int code = error.nativeErrorCode().toInt(&number) & 0xFF;
    return number && (code == 5 || code == 6);
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
    return exec(QStringLiteral("BEGIN IMMEDIATE"));
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
