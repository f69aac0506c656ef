#include "data/ListedExaminees.h"

#include "data/Database.h"
#include "data/Engine.h"
#include "data/Sql.h"
#include "data/TableCursor.h"

#include <QSqlError>
#include <QSqlQuery>

namespace ListedExaminees {

namespace {

using Sql::quoted;

} // namespace

bool forEach(TableCursor& ide, const std::function<bool(const Row&)>& take, QString& error)
{
    const QStringList& details = Database::ideColumns();
    const int itemCount = 35;
    QStringList names;
    for (const QString& c : details)
        names << QStringLiteral("i.") + quoted(c);
    for (int item = 1; item <= itemCount; ++item)
        names << QStringLiteral("a.") + quoted(QString::number(item));

    if (ide.table() != QLatin1String("IDE")) {
        error = QStringLiteral("%1 is not the examinees' table").arg(ide.table());
        return false;
    }
    const QString filterColumn = ide.filterColumn();
    if (!filterColumn.isEmpty() && !details.contains(filterColumn)) {
        error = QStringLiteral("no column %1 in IDE").arg(filterColumn);
        return false;
    }
    const QString where = ide.isFiltered() ? QStringLiteral(" WHERE i.%1 = ?").arg(quoted(filterColumn)) : QString();

    QSqlQuery q(ide.database().connection());
    q.setForwardOnly(true);
    // The answers of the first Answer row with the code, as every window finds an examinee's answers. On the server a
    // code is unique in Answer, so its one row is joined by the code alone: the server then joins the tables whole
    // instead of looking the first row up twice for each examinee (a sixth of the time).
    const QString& identity = ide.database().engine().rowIdentity();
    const QString answerRow = ide.database().isServer()
        ? QStringLiteral("a.\"Code\" = i.\"Code\"")
        : QStringLiteral("a.%1 = (SELECT %1 FROM \"Answer\" WHERE \"Code\" = i.\"Code\" ORDER BY %1 LIMIT 1)").arg(identity);
    const QString sql = QStringLiteral("SELECT %1 FROM \"IDE\" i LEFT JOIN \"Answer\" a ON %3%2 ORDER BY i.%4")
                            .arg(names.join(QStringLiteral(", ")), where, answerRow, identity);
    // Through the database, so a broken connection is made again for the next statement.
    Database& db = ide.database();
    if (!db.prepare(q, sql)) {
        error = db.lastError();
        return false;
    }
    if (ide.isFiltered())
        q.addBindValue(ide.filterValue());
    if (!db.exec(q)) {
        error = db.lastError();
        return false;
    }
    const int detailCount = static_cast<int>(details.size());
    Row row;
    while (q.next()) {
        row.details.clear();
        row.answers.clear();
        for (int i = 0; i < detailCount; ++i)
            row.details << q.value(i).toString();
        for (int i = 0; i < itemCount; ++i)
            row.answers << q.value(detailCount + i).toString();
        if (!take(row))
            return true;
    }
    if (q.lastError().isValid()) {
        error = q.lastError().text();
        return false;
    }
    return true;
}

} // namespace ListedExaminees
