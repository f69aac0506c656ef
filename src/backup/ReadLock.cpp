#include "backup/ReadLock.h"

#include "data/Database.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

ReadLock::ReadLock(Database& db)
    : m_db(db)
{
    QSqlDatabase connection = m_db.connection();
    if (!connection.isOpen()) {
        m_error = QStringLiteral("The database is not open");
        return;
    }
    // A transaction of the program's own that is still open refuses this one.
    if (!connection.transaction()) {
        m_error = connection.lastError().text();
        return;
    }
    // The first read takes the shared lock (waiting for a writer to finish) and keeps it until the transaction ends.
    QSqlQuery read(connection);
    if (!read.exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_master")) || !read.next()) {
        m_error = read.lastError().text();
        read.finish();
        connection.rollback();
        return;
    }
    read.finish();
    m_held = true;
}

ReadLock::~ReadLock()
{
    if (m_held)
        m_db.connection().rollback();
}
