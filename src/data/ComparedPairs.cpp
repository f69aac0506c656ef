#include "data/ComparedPairs.h"

#include "data/Database.h"
#include "data/Engine.h"
#include "data/Transaction.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {

const QString table = QStringLiteral("ComparedPairs");
const QString firstColumn = QStringLiteral("FirstCode");
const QString secondColumn = QStringLiteral("SecondCode");
const QString kindColumn = QStringLiteral("Kind");

} // namespace

ComparedPairs::ComparedPairs(Database& db)
    : m_db(db)
    , m_asFirst(db, table, TableCursor::Unread {})
    , m_asSecond(db, table, TableCursor::Unread {})
{
}

bool ComparedPairs::failedInDatabase()
{
    m_error = m_db.lastError();
    m_busy = m_db.lastErrorIsBusy();
    return false;
}

bool ComparedPairs::failed(const TableCursor& cursor)
{
    m_error = cursor.lastError();
    m_busy = cursor.lastErrorIsBusy();
    return false;
}

bool ComparedPairs::missing(const Pair& pair, const QStringList& registered)
{
    for (const QString& code : { pair.firstCode, pair.secondCode })
        if (!registered.contains(code) && !m_missingCodes.contains(code))
            m_missingCodes << code;
    if (m_missingCodes.isEmpty())
        return false;
    m_error = QStringLiteral("no examinee has the code %1").arg(m_missingCodes.join(QStringLiteral(", ")));
    return true;
}

bool ComparedPairs::rememberInOneStatement(const Pair& pair, const QString& writerLock)
{
    // The examinees' rows are held until the pair is stored (no other program deletes one meanwhile, and one
    // deleted while this statement waited for the writers' lock is not found); the pairs it replaces are removed and
    // it is stored only when both are found.
    Database::Statement statement = m_db.statement(
        QStringLiteral("WITH \"Found\" AS (SELECT \"Code\" FROM \"IDE\" WHERE %1 AND \"Code\" IN (?, ?) "
                       "FOR KEY SHARE), "
                       "\"Both\" AS (SELECT 1 WHERE EXISTS (SELECT 1 FROM \"Found\" WHERE \"Code\" = ?) "
                       "AND EXISTS (SELECT 1 FROM \"Found\" WHERE \"Code\" = ?)), "
                       "\"Replaced\" AS (DELETE FROM \"ComparedPairs\" WHERE EXISTS (SELECT 1 FROM \"Both\") "
                       "AND \"Kind\" = ? AND (\"FirstCode\" IN (?, ?) OR \"SecondCode\" IN (?, ?))), "
                       "\"Stored\" AS (INSERT INTO \"ComparedPairs\" (\"FirstCode\", \"SecondCode\", \"Kind\") "
                       "SELECT ?::text, ?::text, ?::text FROM \"Both\" RETURNING 1) "
                       "SELECT \"Code\" FROM \"Found\"")
            .arg(writerLock));
    if (!statement)
        return failedInDatabase();
    QSqlQuery& q = statement.query();
    for (int i = 0; i < 2; ++i) {
        q.addBindValue(pair.firstCode);
        q.addBindValue(pair.secondCode);
    }
    q.addBindValue(pair.kind);
    for (int i = 0; i < 2; ++i) {
        q.addBindValue(pair.firstCode);
        q.addBindValue(pair.secondCode);
    }
    q.addBindValue(pair.firstCode);
    q.addBindValue(pair.secondCode);
    q.addBindValue(pair.kind);
    if (!m_db.exec(q))
        return failedInDatabase();
    QStringList registered;
    while (q.next())
        registered << q.value(0).toString();
    if (q.lastError().isValid()) {
        m_db.noteFailure(q.lastError());
        return failedInDatabase();
    }
    return !missing(pair, registered);
}

bool ComparedPairs::remember(const Pair& pair)
{
    m_error.clear();
    m_busy = false;
    m_missingCodes.clear();
    const QString writerLock = m_db.engine().writerLockCondition();
    if (!writerLock.isEmpty() && !m_db.inTransaction())
        return rememberInOneStatement(pair, writerLock);
    Transaction transaction(m_db);
    if (!transaction.begun()) {
        m_error = transaction.error();
        m_busy = transaction.busy();
        return false;
    }
    // Inside the write transaction, so no other program deletes either examinee before the pair is stored. Both
    // codes in one read.
    QStringList registered;
    {
        Database::Statement statement
            = m_db.statement(QStringLiteral("SELECT \"Code\" FROM \"IDE\" WHERE \"Code\" IN (?, ?)"));
        if (!statement)
            return failedInDatabase();
        QSqlQuery& q = statement.query();
        q.addBindValue(pair.firstCode);
        q.addBindValue(pair.secondCode);
        if (!m_db.exec(q))
            return failedInDatabase();
        while (q.next())
            registered << q.value(0).toString();
        if (q.lastError().isValid()) {
            m_db.noteFailure(q.lastError());
            return failedInDatabase();
        }
    }
    if (missing(pair, registered))
        return false;
    if (!removePairsOfKind(pair))
        return false;
    m_asFirst.addNew();
    m_asFirst.setField(firstColumn, pair.firstCode);
    m_asFirst.setField(secondColumn, pair.secondCode);
    m_asFirst.setField(kindColumn, pair.kind);
    if (!m_asFirst.update()) {
        m_asFirst.revert();
        return failed(m_asFirst);
    }
    if (!transaction.commit()) {
        m_error = transaction.error();
        m_busy = transaction.busy();
        return false;
    }
    return true;
}

std::optional<ComparedPairs::Pair> ComparedPairs::pairOf(const QString& code)
{
    m_error.clear();
    m_busy = false;
    // The code's last row as first and as second of a pair; the later of the two is the latest comparison.
    std::optional<Pair> latest;
    qint64 latestRow = -1;
    for (TableCursor* cursor : { &m_asFirst, &m_asSecond }) {
        if (!cursor->setFilter(cursor == &m_asFirst ? firstColumn : secondColumn, code)) {
            failed(*cursor);
            return std::nullopt;
        }
        if (cursor->count() == 0)
            continue;
        if (!cursor->moveTo(cursor->count() - 1)) {
            failed(*cursor);
            return std::nullopt;
        }
        if (cursor->rowId() > latestRow) {
            latestRow = cursor->rowId();
            latest = Pair { cursor->field(firstColumn), cursor->field(secondColumn), cursor->field(kindColumn) };
        }
    }
    return latest;
}

bool ComparedPairs::removePairsOfKind(const Pair& pair)
{
    // Every pair of the kind either code is in, in one statement.
    Database::Statement statement = m_db.statement(
        QStringLiteral("DELETE FROM \"ComparedPairs\" WHERE \"Kind\" = ? AND (\"FirstCode\" IN (?, ?) "
                       "OR \"SecondCode\" IN (?, ?))"));
    if (!statement)
        return failedInDatabase();
    QSqlQuery& q = statement.query();
    q.addBindValue(pair.kind);
    for (int i = 0; i < 2; ++i) {
        q.addBindValue(pair.firstCode);
        q.addBindValue(pair.secondCode);
    }
    return m_db.exec(q) || failedInDatabase();
}

bool ComparedPairs::removeCode(const QString& code)
{
    for (TableCursor* cursor : { &m_asFirst, &m_asSecond }) {
        if (!cursor->setFilter(cursor == &m_asFirst ? firstColumn : secondColumn, code) || !cursor->removeAll())
            return failed(*cursor);
    }
    return true;
}

bool ComparedPairs::couplePartners(QHash<QString, QString>& partners)
{
    TableCursor all(m_db, table);
    const bool read = all.readAll({ firstColumn, secondColumn, kindColumn }, [&partners](const QStringList& row) {
        if (row[2] != CoupleKind)
            return;
        partners.insert(row[0], row[1]);
        partners.insert(row[1], row[0]);
    });
    return read || failed(all);
}
