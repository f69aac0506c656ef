// A cursor's reads of many rows at once: a page for a grid, every row for an export, a column's distinct values.
#include "data/TableCursor.h"

#include "data/Database.h"
#include "data/Engine.h"
#include "data/Sql.h"

#include <QCollator>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>
#include <utility>
#include <vector>

bool TableCursor::readRows(int first, int count, const QStringList& columns, QList<QStringList>& rows)
{
    rows.clear();
    if (first < 0 || count <= 0)
        return true;
    QStringList names;
    for (const QString& column : columns) {
        if (!m_columns.contains(column))
            return fail(QStringLiteral("no column %1 in %2").arg(column, m_table));
        names << quotedColumn(column);
    }
    if (names.isEmpty())
        return fail(QStringLiteral("no columns asked of %1").arg(m_table));

    Database::Statement statement = prepared(QStringLiteral("SELECT %1 FROM %2%3 ORDER BY %4 LIMIT ? OFFSET ?")
                                                 .arg(names.join(QStringLiteral(", ")), quotedColumn(m_table),
                                                     whereClause(), orderClause()));
    if (!statement)
        return false;
    QSqlQuery& q = statement.query();
    bindFilter(q);
    q.addBindValue(count);
    q.addBindValue(first);
    if (!run(q))
        return false;
    const int width = static_cast<int>(names.size());
    rows.reserve(isCounted() ? qMin(count, TableCursor::count()) : count);
    while (q.next()) {
        QStringList row;
        row.reserve(width);
        for (int i = 0; i < width; ++i)
            row << q.value(i).toString();
        rows << row;
    }
    if (q.lastError().isValid())
        return fail(q.lastError().text(), m_db.engine().isBusy(q.lastError()));
    return true;
}

bool TableCursor::distinctValues(const QString& column, QStringList& sorted)
{
    sorted.clear();
    if (!m_columns.contains(column))
        return fail(QStringLiteral("no column %1 in %2").arg(column, m_table));
    const QString where = whereClause();
    // Over every row, the values are walked through the column's index from one to the next, one look each,
    // instead of reading every row's: a million examinees have a few thousand names.
    const QString sql = where.isEmpty()
        ? QStringLiteral("WITH RECURSIVE v(x) AS (SELECT MIN(%1) FROM %2 UNION ALL "
                         "SELECT (SELECT MIN(%1) FROM %2 WHERE %1 > v.x) FROM v WHERE v.x IS NOT NULL) "
                         "SELECT x FROM v WHERE x IS NOT NULL")
              .arg(quotedColumn(column), quotedColumn(m_table))
        : QStringLiteral("SELECT DISTINCT %1 FROM %2%3").arg(quotedColumn(column), quotedColumn(m_table), where);
    Database::Statement statement = prepared(sql);
    if (!statement)
        return false;
    QSqlQuery& q = statement.query();
    bindFilter(q);
    if (!run(q))
        return false;
    QStringList values;
    while (q.next()) {
        const QString value = q.value(0).toString();
        if (!value.isEmpty())
            values << value;
    }
    if (q.lastError().isValid())
        return fail(q.lastError().text(), m_db.engine().isBusy(q.lastError()));

    // Sort keys are made once per name; comparing through the collator at every step is far slower on long lists.
    static const QCollator collator(QLocale(QLocale::Persian, QLocale::Iran));
    std::vector<std::pair<QCollatorSortKey, qsizetype>> keys;
    keys.reserve(values.size());
    for (qsizetype i = 0; i < values.size(); ++i)
        keys.emplace_back(collator.sortKey(values.at(i)), i);
    std::stable_sort(
        keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first.compare(b.first) < 0; });
    sorted.reserve(values.size());
    for (const auto& [key, index] : keys)
        sorted << values.at(index);
    return true;
}

bool TableCursor::readAll(const QStringList& columns, const std::function<void(const QStringList& values)>& row)
{
    return readThrough(columns, Database::Fetch::AllAtOnce, [&row](const QStringList& values) {
        row(values);
        return true;
    });
}

bool TableCursor::readEach(const QStringList& columns, const std::function<bool(const QStringList& values)>& row)
{
    return readThrough(columns, Database::Fetch::RowByRow, row);
}

bool TableCursor::readThrough(
    const QStringList& columns, Database::Fetch fetch, const std::function<bool(const QStringList& values)>& row)
{
    QStringList quoted;
    for (const QString& column : columns) {
        if (!m_columns.contains(column))
            return fail(QStringLiteral("no column %1 in %2").arg(column, m_table));
        quoted << quotedColumn(column);
    }
    Database::Statement statement = prepared(QStringLiteral("SELECT %1 FROM %2%3 ORDER BY %4")
                                                 .arg(quoted.join(QStringLiteral(", ")), quotedColumn(m_table),
                                                     whereClause(), orderClause()),
        fetch);
    if (!statement)
        return false;
    QSqlQuery& q = statement.query();
    bindFilter(q);
    if (!run(q))
        return false;
    QStringList values;
    while (q.next()) {
        values.clear();
        for (int i = 0; i < columns.size(); ++i)
            values << q.value(i).toString();
        if (!row(values))
            return true;
    }
    if (q.lastError().isValid())
        return fail(q.lastError().text(), m_db.engine().isBusy(q.lastError()));
    return true;
}
