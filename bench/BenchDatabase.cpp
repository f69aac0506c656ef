#include "BenchDatabase.h"

#include <QSqlQuery>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

BenchDatabase::BenchDatabase(int examinees)
{
    database = std::make_unique<Database>(folder.path());
    if (!database->open().ok()) {
        std::fprintf(stderr, "benchmark database did not open\n");
        std::exit(1);
    }
    QStringList columns;
    QStringList marks;
    for (int i = 1; i <= 35; ++i) {
        columns << QStringLiteral("\"%1\"").arg(i);
        marks << QStringLiteral("'%1'").arg(1 + (i % 5));
    }
    // Each table filled by one statement over the numbers 1 ... N, rows in code order, as the server's benchmark
    // database is filled: a million rows take seconds, not the minutes of a statement per row.
    const QString numbers
        = QStringLiteral("WITH RECURSIVE n(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM n WHERE n < %1) ").arg(examinees);
    QSqlQuery q(database->connection());
    database->beginTransaction();
    const bool filled
        = q.exec(numbers
              + QStringLiteral("INSERT INTO IDE (Code, FName, LName, Jens, Sen, Taahol, Tahsil, \"Group\", Date, Time) "
                               "SELECT CAST(n AS TEXT), 'نام' || (n % 997), 'خانواده' || (n % 1009), 'زن', '31', "
                               "'متأهل', 'ليسانس', char(65 + n % 7), '1405/09/17', '10:30' FROM n"))
        && q.exec(numbers
            + QStringLiteral("INSERT INTO Answer (Code, %1) SELECT CAST(n AS TEXT), %2 FROM n")
                  .arg(columns.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
    database->commit();
    if (!filled) {
        std::fprintf(stderr, "cannot fill the benchmark database\n");
        std::exit(1);
    }
}
