#include "support/LockHolder.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include <atomic>

LockHolder::LockHolder(const QString& databasePath)
{
    static std::atomic<int> counter { 0 };
    m_connection = QStringLiteral("lock_holder_%1").arg(++counter);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(databasePath);
    QSqlQuery q(db);
    if (!db.open() || !q.exec(QStringLiteral("BEGIN EXCLUSIVE"))) {
        QTest::qFail(qPrintable(QStringLiteral("cannot lock %1: %2").arg(databasePath, q.lastError().text())), __FILE__,
            __LINE__);
        return;
    }
    m_holding = true;
}

LockHolder::~LockHolder()
{
    release();
    QSqlDatabase::removeDatabase(m_connection);
}

void LockHolder::release()
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (m_holding)
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
    m_holding = false;
    db.close();
}
