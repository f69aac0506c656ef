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
    QSqlQuery q(database->connection());
    database->beginTransaction();
    q.prepare(QStringLiteral("INSERT INTO IDE (Code, FName, LName, Jens, Sen, Taahol, Tahsil, \"Group\", Date, Time)"
                             " VALUES (?, ?, ?, 'زن', '31', 'متأهل', 'ليسانس', ?, '1405/09/17', '10:30')"));
    QSqlQuery a(database->connection());
    QStringList marks;
    for (int i = 1; i <= 35; ++i)
        marks << QStringLiteral("'%1'").arg(1 + (i % 5));
    a.prepare(QStringLiteral("INSERT INTO Answer (Code, %1) VALUES (?, %2)")
                  .arg([] {
                      QStringList c;
                      for (int i = 1; i <= 35; ++i)
                          c << QStringLiteral("\"%1\"").arg(i);
                      return c.join(QLatin1Char(','));
                  }(),
                       marks.join(QLatin1Char(','))));
    for (int n = 1; n <= examinees; ++n) {
        const QString code = QString::number(n);
        q.addBindValue(code);
        q.addBindValue(QStringLiteral("نام%1").arg(n % 997));
        q.addBindValue(QStringLiteral("خانواده%1").arg(n % 1009));
        q.addBindValue(QString(QChar('A' + n % 7)));
        q.exec();
        a.addBindValue(code);
        a.exec();
    }
    database->commit();
}
