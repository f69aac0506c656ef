#include "data/HomeFigures.h"

#include "data/Database.h"
#include "data/Engine.h"
#include "data/QuestionnaireItems.h"
#include "data/Sql.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace HomeFigures {
namespace {

using Sql::quoted;

// Answered as scoring takes it: no item left exactly empty (a missing value is no answer either). Counted by the
// engine: the window opens on every hand-back and may not wait for every row to be read.
QString answeredCount()
{
    QStringList answered;
    for (int item = 1; item <= QuestionnaireItemCount; ++item)
        answered << QStringLiteral("%1 <> ''").arg(quoted(QString::number(item)));
    return QStringLiteral("SELECT COUNT(*) FROM \"Answer\" WHERE ") + answered.join(QStringLiteral(" AND "));
}

bool run(Database& db, QSqlQuery& query, Figures& figures)
{
    if (db.exec(query))
        return true;
    figures.error = query.lastError().text();
    figures.busy = db.engine().isBusy(query.lastError());
    return false;
}

bool prepare(Database& db, QSqlQuery& query, const QString& sql, Figures& figures)
{
    if (db.prepare(query, sql))
        return true;
    figures.error = db.lastError();
    figures.busy = db.lastErrorIsBusy();
    return false;
}

bool count(Database& db, const QString& sql, int& value, Figures& figures)
{
    QSqlQuery query(db.connection());
    query.setForwardOnly(true);
    if (!prepare(db, query, sql, figures) || !run(db, query, figures))
        return false;
    value = query.next() ? query.value(0).toInt() : 0;
    return true;
}

} // namespace

Figures read(Database& db, int recentCount)
{
    Figures figures;
    if (!count(db, QStringLiteral("SELECT COUNT(*) FROM \"IDE\""), figures.registered, figures)
        || !count(db, answeredCount(), figures.answered, figures))
        return figures;

    // Rows are numbered in the order they were stored: the highest are the newest.
    QSqlQuery recent(db.connection());
    recent.setForwardOnly(true);
    if (!prepare(db, recent,
            QStringLiteral("SELECT \"Code\", \"FName\", \"LName\", \"Date\" FROM \"IDE\" ORDER BY %1 DESC LIMIT ?")
                .arg(db.engine().rowIdentity()),
            figures))
        return figures;
    recent.addBindValue(qMax(0, recentCount));
    if (!run(db, recent, figures))
        return figures;
    while (recent.next())
        figures.recent.append({ recent.value(0).toString(), recent.value(1).toString(), recent.value(2).toString(),
            recent.value(3).toString() });
    figures.read = true;
    return figures;
}

} // namespace HomeFigures
