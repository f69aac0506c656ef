#pragma once

#include "BenchServerAdmin.h"

#include "data/Database.h"
#include "data/ServerAddress.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <memory>

// A database of its own on the benchmarks' server, named `name`, the program's tables made by opening it; dropped
// at the end.
struct ServerDatabase {
    explicit ServerDatabase(const QString& name)
    {
        address = BenchServerAdmin::address();
        address.database = name;
        BenchServerAdmin::exec(QStringLiteral("DROP DATABASE IF EXISTS \"%1\"").arg(address.database));
        if (!BenchServerAdmin::exec(QStringLiteral("CREATE DATABASE \"%1\"").arg(address.database)))
            std::exit(1);
        database = Database::onServer(address);
        if (!database->open().ok()) {
            std::fprintf(stderr, "benchmark database did not open\n");
            std::exit(1);
        }
    }
    ~ServerDatabase()
    {
        database.reset();
        BenchServerAdmin::exec(QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(address.database));
    }
    ServerDatabase(const ServerDatabase&) = delete;
    ServerDatabase& operator=(const ServerDatabase&) = delete;

    ServerAddress address;
    std::unique_ptr<Database> database;
};

// Registers `examinees` on `db` as the benchmarks' data files hold them (codes "1" ... "N", groups A to G, every
// answer given, scored), one statement per table; exits the benchmark when the server refuses.
inline void fillExaminees(Database& db, int examinees)
{
    QStringList columns;
    QStringList answers;
    for (int i = 1; i <= 35; ++i) {
        columns << QStringLiteral("\"%1\"").arg(i);
        answers << QStringLiteral("'%1'").arg(1 + (i % 5));
    }
    const bool filled
        = db.exec(QStringLiteral(
              "INSERT INTO \"IDE\" (\"Code\", \"FName\", \"LName\", \"Jens\", \"Sen\", \"Taahol\", \"Tahsil\", "
              "\"Group\", \"Date\", \"Time\", \"Rezayat\", \"Ertebat\", \"HaleT\", \"TahrifeA\") "
              "SELECT n::text, 'نام' || (n % 997), 'خانواده' || (n % 1009), 'زن', '31', 'متأهل', "
              "'ليسانس', chr(65 + n % 7), '1405/09/17', '10:30', '38', '31', '27', '14' "
              "FROM generate_series(1, %1) n")
                      .arg(examinees))
        && db.exec(QStringLiteral("INSERT INTO \"Answer\" (\"Code\", %1) SELECT n::text, %2 "
                                  "FROM generate_series(1, %3) n")
                       .arg(columns.join(QLatin1Char(',')), answers.join(QLatin1Char(',')))
                       .arg(examinees));
    if (!filled) {
        std::fprintf(stderr, "cannot fill the benchmark database: %s\n", qPrintable(db.lastError()));
        std::exit(1);
    }
}

// A database of `examinees` on the server (fillExaminees), vacuumed and analysed as a server's autovacuum leaves it.
struct ServerData : ServerDatabase {
    explicit ServerData(int examinees, const QString& kind = QStringLiteral("bench"))
        : ServerDatabase(
            QStringLiteral("t35_%1_%2_%3").arg(kind).arg(QCoreApplication::applicationPid()).arg(examinees))
    {
        fillExaminees(*database, examinees);
        if (!database->exec(QStringLiteral("VACUUM ANALYZE"))) {
            std::fprintf(stderr, "cannot vacuum the benchmark database: %s\n", qPrintable(database->lastError()));
            std::exit(1);
        }
    }
};
