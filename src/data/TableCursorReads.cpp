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
    // The first rows as the last read took them, once: all that were asked for, or every row there is.
    if (std::optional<QList<QStringList>> kept = std::exchange(m_firstRows, std::nullopt);
        kept && first == 0 && (count <= kept->size() || kept->size() < m_firstRowsKept)) {
        QList<int> places;
        for (const QString& column : columns)
            places << static_cast<int>(m_columns.indexOf(column));
        for (qsizetype i = 0; i < qMin<qsizetype>(count, kept->size()); ++i) {
            QStringList row;
            for (int place : places)
                row << kept->at(i).at(place);
            rows << row;
        }
        return true;
    }

    // Far into the rows on a server, the first row's identity is found by walking the identities' index alone, then
    // the page's rows are read from there: the same rows in the same order as skipping them, without the server
    // fetching every skipped row (the end of a million in a third of the time). The data file keeps its rows in
    // identity order already.
    const QString where = whereClause();
    const bool seek = m_db.isServer() && first > 0 && !m_listing;
    const QString sql = seek
        ? QStringLiteral("SELECT %1 FROM %2%3 %4 >= (SELECT %4 FROM %2%5 ORDER BY %4 LIMIT 1 OFFSET ?) "
                         "ORDER BY %4 LIMIT ?")
              .arg(names.join(QStringLiteral(", ")), quotedColumn(m_table),
                  where.isEmpty() ? QStringLiteral(" WHERE") : where + QStringLiteral(" AND"),
                  m_db.engine().rowIdentity(), where)
        : QStringLiteral("SELECT %1 FROM %2%3 ORDER BY %4 LIMIT ? OFFSET ?")
              .arg(names.join(QStringLiteral(", ")), quotedColumn(m_table), where, orderClause());
    Database::Statement statement = prepared(sql);
    if (!statement)
        return false;
    QSqlQuery& q = statement.query();
    bindFilter(q);
    if (seek) {
        bindFilter(q);
        q.addBindValue(first);
        q.addBindValue(count);
    } else {
        q.addBindValue(count);
        q.addBindValue(first);
    }
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
    QList<QStringList> lists;
    const bool read = distinctValues(QStringList { column }, lists);
    sorted = read ? lists.first() : QStringList();
    return read;
}

bool TableCursor::distinctValues(const QStringList& columns, QList<QStringList>& sortedLists)
{
    sortedLists.clear();
    // Each column's values marked with its place, in one statement: on a server, one round trip for every list.
    // Over every row, a column's values are walked through its index from one to the next, one look each, instead
    // of reading every row's: a million examinees have a few thousand names.
    const QString where = whereClause();
    QStringList walks;
    QStringList parts;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (!m_columns.contains(columns.at(i)))
            return fail(QStringLiteral("no column %1 in %2").arg(columns.at(i), m_table));
        const QString column = quotedColumn(columns.at(i));
        if (where.isEmpty()) {
            walks << QStringLiteral("v%1(x) AS (SELECT MIN(%2) FROM %3 UNION ALL SELECT (SELECT MIN(%2) FROM %3 "
                                    "WHERE %2 > v%1.x) FROM v%1 WHERE v%1.x IS NOT NULL)")
                         .arg(QString::number(i), column, quotedColumn(m_table));
            parts << QStringLiteral("SELECT %1, x FROM v%1 WHERE x IS NOT NULL").arg(QString::number(i));
        } else {
            parts << QStringLiteral("SELECT DISTINCT %1, %2 FROM %3%4")
                         .arg(QString::number(i), column, quotedColumn(m_table), where);
        }
    }
    if (parts.isEmpty())
        return true;
    const QString walked
        = walks.isEmpty() ? QString() : QStringLiteral("WITH RECURSIVE %1 ").arg(walks.join(QStringLiteral(", ")));
    Database::Statement statement = prepared(walked + parts.join(QStringLiteral(" UNION ALL ")));
    if (!statement)
        return false;
    QSqlQuery& q = statement.query();
    for (qsizetype i = 0; i < columns.size(); ++i)
        bindFilter(q);
    if (!run(q))
        return false;
    QList<QStringList> lists(columns.size());
    while (q.next()) {
        const QString value = q.value(1).toString();
        const int list = q.value(0).toInt();
        if (!value.isEmpty() && list >= 0 && list < lists.size())
            lists[list] << value;
    }
    if (q.lastError().isValid())
        return fail(q.lastError().text(), m_db.engine().isBusy(q.lastError()));

    // Sort keys are made once per name; comparing through the collator at every step is far slower on long lists.
    static const QCollator collator(QLocale(QLocale::Persian, QLocale::Iran));
    for (const QStringList& values : std::as_const(lists)) {
        std::vector<std::pair<QCollatorSortKey, qsizetype>> keys;
        keys.reserve(values.size());
        for (qsizetype i = 0; i < values.size(); ++i)
            keys.emplace_back(collator.sortKey(values.at(i)), i);
        std::stable_sort(
            keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first.compare(b.first) < 0; });
        QStringList sorted;
        sorted.reserve(values.size());
        for (const auto& [key, index] : keys)
            sorted << values.at(index);
        sortedLists << sorted;
    }
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

bool TableCursor::setFilterTogether(const QList<TableCursor*>& cursors, const QString& column, const QString& value)
{
    QList<std::pair<TableCursor*, QString>> filters;
    for (TableCursor* cursor : cursors)
        filters.append({ cursor, value });
    return setFiltersTogether(filters, column);
}

bool TableCursor::setFiltersTogether(const QList<std::pair<TableCursor*, QString>>& filters, const QString& column)
{
    QList<TableCursor*> cursors;
    for (const auto& [cursor, value] : filters)
        cursors << cursor;
    const auto apart = [&filters, &column] {
        for (const auto& [cursor, value] : filters)
            if (!cursor->setFilter(column, value))
                return false;
        return true;
    };
    if (cursors.size() < 2)
        return apart();
    Database& db = cursors.first()->m_db;
    for (TableCursor* cursor : cursors)
        if (cursor->m_listing || &cursor->m_db != &db || !cursor->loadColumns() || !cursor->m_columns.contains(column))
            return apart();

    // Each cursor's reload as a table of at most one row, all joined onto one row: a cursor without a row reads
    // as nulls (no count, and so none counted).
    const QString& identity = db.engine().rowIdentity();
    QString sql = QStringLiteral("SELECT * FROM (SELECT 1 AS \"One\") \"One\"");
    for (qsizetype i = 0; i < cursors.size(); ++i) {
        TableCursor* cursor = cursors.at(i);
        cursor->m_filterColumn = column;
        cursor->m_filterValue = filters.at(i).second;
        cursor->forgetRows();
        const QString table = cursor->quotedColumn(cursor->m_table);
        const QString where = cursor->whereClause();
        const QString count = cursor->m_countOnDemand ? QStringLiteral("1")
                                                      : QStringLiteral("(SELECT COUNT(*) FROM %1%2)").arg(table, where);
        sql += QStringLiteral(" LEFT JOIN (SELECT %1, %2 FROM %3%4 ORDER BY %5 LIMIT 1) %6 ON 1 = 1")
                   .arg(count, cursor->selectedColumns(), table, where, identity,
                       Sql::quoted(QStringLiteral("Read%1").arg(i)));
    }
    TableCursor* first = cursors.first();
    Database::Statement statement = first->prepared(sql);
    bool ok = bool(statement);
    if (ok) {
        QSqlQuery& q = statement.query();
        for (TableCursor* cursor : cursors) {
            if (!cursor->m_countOnDemand)
                cursor->bindFilter(q);
            cursor->bindFilter(q);
        }
        ok = first->run(q);
        if (ok && !q.next())
            ok = q.lastError().isValid() ? first->fail(q.lastError().text(), db.engine().isBusy(q.lastError()))
                                         : first->fail(QStringLiteral("cannot read %1").arg(first->m_table));
        int at = 1;
        for (TableCursor* cursor : cursors) {
            if (ok && !q.isNull(at)) {
                cursor->m_count = cursor->m_countOnDemand ? 1 : q.value(at).toInt();
                cursor->m_position = 0;
                cursor->takeRow(q, at + 1);
            }
            at += 2 + static_cast<int>(cursor->m_columns.size());
        }
    }
    for (TableCursor* cursor : cursors) {
        if (!ok && cursor != first) {
            cursor->m_lastError = first->m_lastError;
            cursor->m_lastErrorBusy = first->m_lastErrorBusy;
            cursor->m_lastErrorCodeTaken = false;
        }
        cursor->finishReading(ok);
    }
    return ok;
}
