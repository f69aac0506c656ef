#pragma once

#include "data/ServerAddress.h"

#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <optional>

// A database of its own on the test cluster (T35_TEST_SERVER, started by scripts/pg-cluster), made empty for one
// test and dropped when the test is done; nothing when no test cluster runs, and the test skips itself.
class ScratchServer {
public:
    ScratchServer()
    {
        const std::optional<ServerAddress> admin = ServerAddress::fromUri(qEnvironmentVariable("T35_TEST_SERVER"));
        if (!admin)
            return;
        m_admin = *admin;
        const QString name = QStringLiteral("t35_scratch_%1").arg(QRandomGenerator::global()->generate64(), 0, 16);
        if (!run(QStringLiteral("CREATE DATABASE \"%1\"").arg(name)))
            return;
        ServerAddress address = m_admin;
        address.database = name;
        m_address = address;
    }
    ~ScratchServer()
    {
        if (m_address)
            run(QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(m_address->database));
    }
    ScratchServer(const ScratchServer&) = delete;
    ScratchServer& operator=(const ScratchServer&) = delete;

    bool available() const { return m_address.has_value(); }
    const ServerAddress& address() const { return *m_address; }
    // The cluster's own address, for a database of another name.
    const ServerAddress& admin() const { return m_admin; }

private:
    bool run(const QString& statement)
    {
        const QString connection = QStringLiteral("t35_scratch_admin");
        bool done = false;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
            db.setHostName(m_admin.host);
            db.setPort(m_admin.port);
            db.setDatabaseName(m_admin.database);
            db.setUserName(m_admin.user);
            if (db.open())
                done = QSqlQuery(db).exec(statement);
            db.close();
        }
        QSqlDatabase::removeDatabase(connection);
        return done;
    }

    ServerAddress m_admin;
    std::optional<ServerAddress> m_address;
};

#define SKIP_WITHOUT_SERVER(scratch)                                                                                   \
    if (!(scratch).available())                                                                                        \
    QSKIP("no test server (T35_TEST_SERVER, scripts/pg-cluster)")
