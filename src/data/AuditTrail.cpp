#include "data/AuditTrail.h"

#include "data/Database.h"

namespace AuditTrail {

TableCursor* open(Database& db, QObject* parent)
{
    return new TableCursor(db, Table, TableCursor::Listing { QStringLiteral("When"), true }, parent);
}

QList<TableCursor::Condition> conditions(const Filter& filter)
{
    using Test = TableCursor::Condition::Test;
    QList<TableCursor::Condition> tests;
    if (!filter.who.isEmpty())
        tests.append({ QStringLiteral("Who"), Test::Equal, filter.who });
    if (!filter.code.isEmpty())
        tests.append({ QStringLiteral("Code"), Test::Equal, filter.code });
    if (!filter.what.isEmpty())
        tests.append({ QStringLiteral("What"), Test::Equal, filter.what });
    if (filter.from.isValid())
        tests.append({ QStringLiteral("When"), Test::AtLeast, stamp(filter.from.startOfDay()) });
    if (filter.to.isValid())
        tests.append({ QStringLiteral("When"), Test::Below, stamp(filter.to.addDays(1).startOfDay()) });
    return tests;
}

QString stamp(const QDateTime& instant)
{
    return instant.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ"));
}

QDateTime when(const QString& stored)
{
    QDateTime instant = QDateTime::fromString(stored, Qt::ISODateWithMs);
    if (!instant.isValid())
        instant = QDateTime::fromString(stored, Qt::ISODate);
    return instant.isValid() ? instant.toLocalTime() : QDateTime();
}

} // namespace AuditTrail
