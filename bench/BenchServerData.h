#pragma once

#include "BenchServerAdmin.h"

#include "data/Database.h"
#include "data/ServerAddress.h"

#include <QCoreApplication>
#include <QStringList>

#include <libpq-fe.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

// A database of `examinees` on the server, filled as the other benchmarks' data files are (codes "1" ... "N",
// groups A to G, every answer given), and scored.
struct ServerData {
    explicit ServerData(int examinees)
    {
        address = BenchServerAdmin::address();
        address.database = QStringLiteral("t35_bench_%1_%2").arg(QCoreApplication::applicationPid()).arg(examinees);
        BenchServerAdmin::exec(QStringLiteral("DROP DATABASE IF EXISTS \"%1\"").arg(address.database));
        if (!BenchServerAdmin::exec(QStringLiteral("CREATE DATABASE \"%1\"").arg(address.database)))
            std::exit(1);
        database = Database::onServer(address);
        if (!database->open().ok()) {
            std::fprintf(stderr, "benchmark database did not open\n");
            std::exit(1);
        }
        QStringList columns;
        QStringList answers;
        for (int i = 1; i <= 35; ++i) {
            columns << QStringLiteral("\"%1\"").arg(i);
            answers << QStringLiteral("'%1'").arg(1 + (i % 5));
        }
        const bool filled
            = database->exec(QStringLiteral(
                  "INSERT INTO \"IDE\" (\"Code\", \"FName\", \"LName\", \"Jens\", \"Sen\", \"Taahol\", \"Tahsil\", "
                  "\"Group\", \"Date\", \"Time\", \"Rezayat\", \"Ertebat\", \"HaleT\", \"TahrifeA\") "
                  "SELECT n::text, 'نام' || (n % 997), 'خانواده' || (n % 1009), 'زن', '31', 'متأهل', 'ليسانس', "
                  "chr(65 + n % 7), '1405/09/17', '10:30', '38', '31', '27', '14' FROM generate_series(1, %1) n")
                                 .arg(examinees))
            && database->exec(QStringLiteral("INSERT INTO \"Answer\" (\"Code\", %1) SELECT n::text, %2 "
                                             "FROM generate_series(1, %3) n")
                                  .arg(columns.join(QLatin1Char(',')), answers.join(QLatin1Char(',')))
                                  .arg(examinees))
            && database->exec(QStringLiteral("ANALYZE"));
        if (!filled) {
            std::fprintf(stderr, "cannot fill the benchmark database: %s\n", qPrintable(database->lastError()));
            std::exit(1);
        }
        QByteArray conninfo = QStringLiteral("host='%1' port=%2 dbname='%3' user='%4'")
                                  .arg(address.host)
                                  .arg(address.port)
                                  .arg(address.database, address.user)
                                  .toUtf8();
        direct = PQconnectdb(conninfo.constData());
        if (PQstatus(direct) != CONNECTION_OK) {
            std::fprintf(stderr, "libpq: %s\n", PQerrorMessage(direct));
            std::exit(1);
        }
    }
    ~ServerData()
    {
        PQfinish(direct);
        database.reset();
        BenchServerAdmin::exec(QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(address.database));
    }

    ServerAddress address;
    std::unique_ptr<Database> database;
    PGconn* direct = nullptr;
};
