#pragma once

#include "data/ServerAddress.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>

#include <cstdio>
#include <cstdlib>

// The benchmarks' throwaway cluster, as scripts/pg-cluster names it, and statements run there as its administrator
// (making and dropping databases and roles) on a connection of their own.
namespace BenchServerAdmin {

inline ServerAddress address()
{
    const std::optional<ServerAddress> admin = ServerAddress::fromUri(qEnvironmentVariable("T35_TEST_SERVER"));
    if (!admin) {
        std::fprintf(stderr, "T35_TEST_SERVER names no server: eval \"$(scripts/pg-cluster start)\" first\n");
        std::exit(2);
    }
    return *admin;
}

// Runs `sql` as the administrator; false, with the server's words on standard error, when it fails.
inline bool exec(const QString& sql)
{
    static const QString name = QStringLiteral("bench_admin");
    if (!QSqlDatabase::contains(name)) {
        const ServerAddress admin = address();
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(admin.host);
        db.setPort(admin.port);
        db.setDatabaseName(admin.database);
        db.setUserName(admin.user);
        db.open();
    }
    QSqlQuery q(QSqlDatabase::database(name, false));
    if (q.exec(sql))
        return true;
    std::fprintf(stderr, "%s: %s\n", qPrintable(sql), qPrintable(q.lastError().text()));
    return false;
}

} // namespace BenchServerAdmin
