#pragma once

#include "data/ServerAddress.h"
#include "data/Sql.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>

#include <functional>

// A lock on one of the program's tables on a server database, held by a session of its own until released: long
// work that reaches the table waits there, so a test can act while the work is caught half-way. A second session
// sees when another waits for a lock.
class TableHold {
public:
    TableHold(const ServerAddress& server, const QString& table, const QString& mode)
        : m_holder(QStringLiteral("table_hold_%1").arg(++s_count))
        , m_watcher(QStringLiteral("table_watch_%1").arg(s_count))
    {
        for (const QString& name : { m_holder, m_watcher }) {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
            db.setHostName(server.host);
            db.setPort(server.port);
            db.setDatabaseName(server.database);
            db.setUserName(server.user);
            if (!db.open())
                QTest::qFail(qPrintable(db.lastError().text()), __FILE__, __LINE__);
        }
        QSqlQuery hold(QSqlDatabase::database(m_holder, false));
        m_held = hold.exec(QStringLiteral("SET search_path TO %1").arg(Sql::quoted(server.schemaName())))
            && hold.exec(QStringLiteral("BEGIN"))
            && hold.exec(QStringLiteral("LOCK TABLE %1 IN %2 MODE").arg(Sql::quoted(table), mode));
        if (!m_held)
            QTest::qFail(qPrintable(hold.lastError().text()), __FILE__, __LINE__);
        m_poll.setInterval(5);
        QObject::connect(&m_poll, &QTimer::timeout, [this] {
            if (!someoneWaits())
                return;
            m_poll.stop();
            if (m_act)
                m_act();
            release();
        });
    }
    ~TableHold()
    {
        release();
        for (const QString& name : { m_holder, m_watcher }) {
            QSqlDatabase::database(name, false).close();
            QSqlDatabase::removeDatabase(name);
        }
    }
    TableHold(const TableHold&) = delete;
    TableHold& operator=(const TableHold&) = delete;

    bool held() const { return m_held; }

    // Whether another session of the database waits for a lock.
    bool someoneWaits()
    {
        QSqlQuery q(QSqlDatabase::database(m_watcher, false));
        return q.exec(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE datname = current_database() "
                                     "AND wait_event_type = 'Lock'"))
            && q.next() && q.value(0).toInt() > 0;
    }

    // Once another session waits for the lock (looked at from the event loop), runs `act`, then lets go.
    void whenWaitedFor(std::function<void()> act)
    {
        m_act = std::move(act);
        m_poll.start();
    }

    void release()
    {
        if (!m_held)
            return;
        m_held = false;
        QSqlQuery(QSqlDatabase::database(m_holder, false)).exec(QStringLiteral("ROLLBACK"));
    }

private:
    static inline int s_count = 0;
    QString m_holder;
    QString m_watcher;
    bool m_held = false;
    QTimer m_poll;
    std::function<void()> m_act;
};
