#include "support/LockHolder.h"

#include "data/Database.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include <atomic>

LockHolder::LockHolder(const QString& databasePath)
{
    holdFile(databasePath);
}

void LockHolder::holdFile(const QString& databasePath)
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

LockHolder::LockHolder(Database& held)
{
    if (!held.isServer()) {
        holdFile(held.filePath());
        return;
    }
    static std::atomic<int> counter { 0 };
    m_connection = QStringLiteral("server_lock_holder_%1").arg(++counter);
    const ServerAddress server = *held.server();
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_connection);
    db.setHostName(server.host);
    db.setPort(server.port);
    db.setDatabaseName(server.database);
    db.setUserName(server.user);
    QSqlQuery q(db);
    if (!db.open() || !q.exec(QStringLiteral("BEGIN"))
        || !q.exec(QStringLiteral("SELECT pg_advisory_xact_lock(350035)"))
        || !q.exec(QStringLiteral("LOCK TABLE \"IDE\", \"Answer\", \"QU\", \"Theme\", \"PPP\", \"ComparedPairs\", "
                                  "\"Invitation\" "
                                  "IN ACCESS EXCLUSIVE MODE"))) {
        QTest::qFail(qPrintable(QStringLiteral("cannot lock %1: %2 %3")
                                    .arg(server.displayName(), db.lastError().text(), q.lastError().text())),
            __FILE__, __LINE__);
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
