#include "backup/ReadLock.h"

#include "data/Database.h"

#include <QSqlError>
#include <QSqlQuery>

ReadLock::ReadLock(Database& db)
    : m_transaction(db, Transaction::Kind::Read)
{
    // A transaction of the program's own that is still open refuses this one.
    if (!m_transaction.begun()) {
        m_error = m_transaction.error();
        return;
    }
    // The first read takes the shared lock (waiting for a writer to finish) and keeps it until the transaction ends.
    QSqlQuery read(db.connection());
    if (!db.prepare(read, QStringLiteral("SELECT COUNT(*) FROM \"Theme\"")) || !db.exec(read) || !read.next()) {
        m_error = db.lastError();
        read.finish();
        m_transaction.rollback();
        return;
    }
    read.finish();
    m_held = true;
}
