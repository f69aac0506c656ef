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

TableCursor::TableCursor(Database& db, const QString& table, QObject* parent)
    : QObject(parent)
    , m_db(db)
    , m_table(table)
{
    reload();
}

TableCursor::TableCursor(Database& db, const QString& table, Unread)
    : m_db(db)
    , m_table(table)
{
}

TableCursor::TableCursor(Database& db, const QString& table, CountedOnDemand counted, QObject* parent)
    : QObject(parent)
    , m_db(db)
    , m_table(table)
    , m_countOnDemand(true)
    , m_firstRowsKept(counted.firstRowsKept)
{
    reload();
}

TableCursor::TableCursor(Database& db, const QString& table, const Listing& listing, QObject* parent)
    : QObject(parent)
    , m_db(db)
    , m_table(table)
    , m_listing(listing)
{
    reload();
}

TableCursor::TableCursor(Database& db, const Selection& selection)
    : m_db(db)
    , m_table(selection.table)
    , m_filterColumn(selection.filterColumn)
    , m_filterValue(selection.filterValue)
    , m_conditions(selection.conditions)
    , m_listing(selection.listing)
    , m_counted(false)
{
    if (!loadColumns())
        m_readFailed = true;
}

TableCursor::Selection TableCursor::selection() const
{
    return { m_table, m_filterColumn, m_filterValue, m_conditions, m_listing };
}

bool TableCursor::loadColumns()
{
    if (!m_columns.isEmpty())
        return true;
    m_columns = m_db.keptColumns(m_table);
    if (!m_columns.isEmpty())
        return true;
    Database::Statement statement = prepared(QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(quotedColumn(m_table)));
    if (!statement || !run(statement.query()))
        return false;
    // The server's identity column is how rows are told apart, never a column of the table to show or fill.
    const QSqlRecord record = statement.query().record();
    for (int i = 0; i < record.count(); ++i)
        if (record.fieldName(i) != m_db.engine().rowIdentity())
            m_columns << record.fieldName(i);
    m_db.keepColumns(m_table, m_columns);
    return true;
}

QString TableCursor::quotedColumn(const QString& column) const
{
    return Sql::quoted(column);
}

QString TableCursor::whereClause() const
{
    QStringList tests;
    if (m_filterColumn)
        tests << QStringLiteral("%1 = ?").arg(quotedColumn(*m_filterColumn));
    for (const Condition& condition : m_conditions) {
        const QString column = quotedColumn(condition.column);
        switch (condition.test) {
        case Condition::Test::Equal:
            tests << column + QStringLiteral(" = ?");
            break;
        case Condition::Test::AtLeast:
            tests << column + QStringLiteral(" >= ?");
            break;
        case Condition::Test::Below:
            tests << column + QStringLiteral(" < ?");
            break;
        }
    }
    return tests.isEmpty() ? QString() : QStringLiteral(" WHERE ") + tests.join(QStringLiteral(" AND "));
}

void TableCursor::bindFilter(QSqlQuery& query) const
{
    if (m_filterColumn)
        query.addBindValue(m_filterValue);
    for (const Condition& condition : m_conditions)
        query.addBindValue(condition.value);
}

QString TableCursor::orderClause() const
{
    const QString& identity = m_db.engine().rowIdentity();
    if (!m_listing)
        return identity;
    const QString direction = m_listing->descending ? QStringLiteral(" DESC") : QString();
    // Rows of one time on the data file keep the order they were stored in; the server's times are finer than any
    // two writes.
    return quotedColumn(m_listing->orderColumn) + direction
        + (m_db.isServer() ? QString() : QStringLiteral(", ") + identity + direction);
}

bool TableCursor::fail(const QString& error, bool busy)
{
    m_lastError = error;
    m_lastErrorBusy = busy;
    m_lastErrorCodeTaken = false;
    return false;
}

bool TableCursor::run(QSqlQuery& query)
{
    if (m_db.exec(query))
        return true;
    fail(m_db.lastError(), m_db.lastErrorIsBusy());
    m_lastErrorCodeTaken = m_db.engine().isCodeTaken(query.lastError());
    return false;
}

Database::Statement TableCursor::prepared(const QString& sql, Database::Fetch fetch)
{
    Database::Statement statement = m_db.statement(sql, fetch);
    if (!statement) {
        m_lastErrorCodeTaken = false;
        fail(m_db.lastError(), m_db.lastErrorIsBusy());
    }
    return statement;
}

QString TableCursor::selectedColumns() const
{
    QStringList names { m_db.engine().rowIdentity() };
    for (const QString& column : m_columns)
        names << quotedColumn(column);
    return names.join(QStringLiteral(", "));
}

void TableCursor::takeRow(const QSqlQuery& query, int first)
{
    m_currentRowId = query.value(first).toLongLong();
    for (int i = 0; i < m_columns.size(); ++i)
        m_values.insert(m_columns.at(i), query.value(first + 1 + i).toString());
}

bool TableCursor::reload()
{
    return reloadReading(nullptr, {}, nullptr);
}

bool TableCursor::reloadWith(const QString& value, const QVariantList& bound, QVariant& read)
{
    read = QVariant();
    return reloadReading(&value, bound, &read);
}

void TableCursor::forgetRows()
{
    m_rowIds.reset();
    m_inserted = -1;
    m_edits.clear();
    m_values.clear();
    m_isNew = false;
    m_position = -1;
    m_currentRowId = -1;
    m_count = 0;
    m_counted = !m_countOnDemand;
    m_firstRows.reset();
}

bool TableCursor::finishReading(bool ok)
{
    if (!ok) {
        // Nothing is known about the rows; a count of 0 here would pass for "no such row".
        m_count = 0;
        m_position = -1;
        m_currentRowId = -1;
        m_values.clear();
    }
    m_readFailed = !ok;
    emit currentChanged();
    emit rowsChanged();
    return ok;
}

bool TableCursor::reloadReading(const QString* value, const QVariantList& bound, QVariant* read)
{
    forgetRows();

    // The columns are read with the rows when the file could not be read before. The count and the first row in
    // one statement: one look at one state of the data, and on a server one round trip; the first row alone when
    // the rows are counted on demand.
    bool ok = loadColumns();
    if (ok && m_filterColumn && m_filterValue.isNull() && m_conditions.isEmpty() && !value) {
        // A filter by no value (a form's cursor that holds only the row being typed) passes no row on either engine:
        // nothing to read, and no round trip to a server for it.
    } else if (ok && m_listing) {
        // A listing counts its rows; the rows themselves are read a page at a time.
        Database::Statement statement
            = prepared(QStringLiteral("SELECT COUNT(*) FROM %1%2").arg(quotedColumn(m_table), whereClause()));
        ok = bool(statement);
        if (ok) {
            QSqlQuery& q = statement.query();
            bindFilter(q);
            ok = run(q) && q.next();
            if (ok)
                m_count = q.value(0).toInt();
            else if (!q.lastError().isValid())
                fail(QStringLiteral("cannot count the rows of %1").arg(m_table));
            else
                fail(q.lastError().text(), m_db.engine().isBusy(q.lastError()));
        }
    } else if (ok) {
        const QString& identity = m_db.engine().rowIdentity();
        const QString selected = value ? QStringLiteral("(%1), %2").arg(*value, selectedColumns()) : selectedColumns();
        const int rows = m_countOnDemand && !value ? qMax(1, m_firstRowsKept) : 1;
        Database::Statement statement = prepared(m_countOnDemand
                ? QStringLiteral("SELECT %3 FROM %1%2 ORDER BY %4 LIMIT %5")
                      .arg(quotedColumn(m_table), whereClause(), selected, identity, QString::number(rows))
                : QStringLiteral("SELECT (SELECT COUNT(*) FROM %1%2), %3 FROM %1%2 ORDER BY %4 LIMIT 1")
                      .arg(quotedColumn(m_table), whereClause(), selected, identity));
        ok = bool(statement);
        if (ok) {
            QSqlQuery& q = statement.query();
            if (!m_countOnDemand)
                bindFilter(q);
            for (const QVariant& mark : bound)
                q.addBindValue(mark);
            bindFilter(q);
            ok = run(q);
            if (ok && q.next()) {
                const int first = (m_countOnDemand ? 0 : 1) + (value ? 1 : 0);
                m_count = m_countOnDemand ? 1 : q.value(0).toInt();
                m_position = 0;
                if (read)
                    *read = q.value(first - 1);
                takeRow(q, first);
                if (m_firstRowsKept > 0 && !value) {
                    m_firstRows.emplace();
                    do {
                        QStringList row;
                        for (int i = 0; i < m_columns.size(); ++i)
                            row << q.value(first + 1 + i).toString();
                        m_firstRows->append(row);
                    } while (q.next());
                }
            } else if (ok && q.lastError().isValid()) {
                ok = fail(q.lastError().text(), m_db.engine().isBusy(q.lastError()));
            } else if (ok && m_firstRowsKept > 0 && !value) {
                m_firstRows.emplace();
            }
            if (ok && q.lastError().isValid()) {
                m_firstRows.reset();
                ok = fail(q.lastError().text(), m_db.engine().isBusy(q.lastError()));
            }
        }
    }
    return finishReading(ok);
}

bool TableCursor::setConditions(const QList<Condition>& conditions)
{
    if (!loadColumns()) {
        m_readFailed = true;
        return false;
    }
    for (const Condition& condition : conditions)
        if (!m_columns.contains(condition.column)) {
            m_readFailed = true;
            return fail(QStringLiteral("no column %1 in %2").arg(condition.column, m_table));
        }
    m_conditions = conditions;
    return reload();
}

bool TableCursor::setFilter(const QString& column, const QString& value)
{
    if (!loadColumns()) {
        m_readFailed = true;
        return false;
    }
    if (!m_columns.contains(column)) {
        m_readFailed = true;
        return fail(QStringLiteral("no column %1 in %2").arg(column, m_table));
    }
    m_filterColumn = column;
    m_filterValue = value;
    return reload();
}

void TableCursor::clearFilter()
{
    m_filterColumn.reset();
    m_filterValue.clear();
    reload();
}

void TableCursor::dropFilterUnread()
{
    m_filterColumn.reset();
    m_filterValue.clear();
    forgetRows();
    m_readFailed = false;
    emit currentChanged();
    emit rowsChanged();
}

int TableCursor::count() const
{
    if (!m_rowIds && !m_counted && !m_readFailed)
        countRows();
    return m_rowIds ? static_cast<int>(m_rowIds->size()) : m_count;
}

bool TableCursor::countRows() const
{
    auto* self = const_cast<TableCursor*>(this);
    Database::Statement statement = self->prepared(
        QStringLiteral("SELECT COUNT(*) FROM %1%2").arg(quotedColumn(m_table), whereClause()));
    if (!statement)
        return false;
    QSqlQuery& q = statement.query();
    bindFilter(q);
    if (!self->run(q) || !q.next())
        return false;
    // Rows stored or removed since the first row was read are counted as they are now.
    m_count = q.value(0).toInt();
    m_counted = true;
    return true;
}

bool TableCursor::hasCurrent() const
{
    return m_isNew || m_currentRowId >= 0;
}

bool TableCursor::loadRowIds()
{
    if (m_rowIds)
        return true;
    if (m_listing)
        return fail(QStringLiteral("a listing of %1 has no current row").arg(m_table));
    Database::Statement statement = prepared(QStringLiteral("SELECT %3 FROM %1%2 ORDER BY %3")
                                                 .arg(quotedColumn(m_table), whereClause(), m_db.engine().rowIdentity()));
    if (!statement)
        return false;
    QSqlQuery& q = statement.query();
    bindFilter(q);
    if (!run(q))
        return false;
    QList<qint64> ids;
    ids.reserve(m_count);
    while (q.next())
        ids << q.value(0).toLongLong();
    if (m_inserted >= 0 && !ids.contains(m_inserted))
        ids.append(m_inserted);
    m_rowIds = std::move(ids);
    return true;
}

bool TableCursor::loadCurrent()
{
    m_values.clear();
    m_edits.clear();
    m_currentRowId = -1;
    if (m_listing)
        return fail(QStringLiteral("a listing of %1 has no current row").arg(m_table));
    const QString& identity = m_db.engine().rowIdentity();
    const bool first = m_position == 0 && !m_rowIds && m_inserted < 0;
    if (!first && (!loadRowIds() || m_position < 0 || m_position >= m_rowIds->size()))
        return fail(QStringLiteral("row %1 is not available").arg(m_position));
    Database::Statement statement = prepared(first
            ? QStringLiteral("SELECT %3 FROM %1%2 ORDER BY %4 LIMIT 1")
                  .arg(quotedColumn(m_table), whereClause(), selectedColumns(), identity)
            : QStringLiteral("SELECT %2 FROM %1 WHERE %3 = ?").arg(quotedColumn(m_table), selectedColumns(), identity));
    if (!statement)
        return false;
    QSqlQuery& q = statement.query();
    if (!first)
        q.addBindValue(m_rowIds->at(m_position));
    else
        bindFilter(q);
    if (!run(q))
        return false;
    if (!q.next())
        return fail(QStringLiteral("the row is no longer in %1").arg(m_table));
    takeRow(q, 0);
    return true;
}

bool TableCursor::moveTo(int index)
{
    if (m_isNew || index < 0 || index >= count())
        return false;
    m_position = index;
    const bool ok = loadCurrent();
    m_readFailed = !ok;
    emit currentChanged();
    return ok;
}

QString TableCursor::field(const QString& column) const
{
    if (auto it = m_edits.constFind(column); it != m_edits.cend())
        return *it;
    return m_values.value(column);
}

void TableCursor::setField(const QString& column, const QString& value)
{
    if (!hasCurrent() || !m_columns.contains(column))
        return;
    if (field(column) == value && !m_isNew)
        return;
    m_edits.insert(column, value);
    emit fieldsChanged();
}

void TableCursor::revert()
{
    if (m_edits.isEmpty())
        return;
    m_edits.clear();
    emit fieldsChanged();
}

void TableCursor::addNew()
{
    // A cursor that has read nothing yet learns the columns the new row's fields are set by.
    loadColumns();
    m_isNew = true;
    m_currentRowId = -1;
    m_values.clear();
    m_edits.clear();
    emit currentChanged();
}

bool TableCursor::update()
{
    m_firstRows.reset();
    if (m_listing)
        return fail(QStringLiteral("a listing of %1 is only read").arg(m_table));
    if (!hasCurrent())
        return fail(QStringLiteral("no current row in %1").arg(m_table));
    // Fields set while the columns were unknown were not taken: such a row is not stored empty. Why they could not
    // be read (the file held, say) is what the write failed of.
    if (m_columns.isEmpty()) {
        if (loadColumns())
            fail(QStringLiteral("the fields of a new row of %1 were set before its columns were read").arg(m_table));
        return false;
    }
    const bool stored = m_isNew || !m_edits.isEmpty();
    if (m_isNew) {
        // The new row is placed after the rows counted before it was stored.
        if (!isCounted())
            count();
        QStringList names;
        QStringList marks;
        for (auto it = m_edits.cbegin(); it != m_edits.cend(); ++it) {
            names << quotedColumn(it.key());
            marks << QStringLiteral("?");
        }
        const QString returning = m_db.engine().returningIdentity();
        const QString sql = names.isEmpty()
            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES%2").arg(quotedColumn(m_table), returning)
            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)%4")
                  .arg(quotedColumn(m_table), names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")),
                      returning);
        {
            Database::Statement statement = prepared(sql);
            if (!statement)
                return false;
            QSqlQuery& q = statement.query();
            for (auto it = m_edits.cbegin(); it != m_edits.cend(); ++it)
                q.addBindValue(it.value());
            if (!run(q))
                return false;
            m_currentRowId = returning.isEmpty() ? q.lastInsertId().toLongLong()
                                                 : (q.next() ? q.value(0).toLongLong() : -1);
        }
        placeInserted();
    } else if (!m_edits.isEmpty() && !storeEdits(QString())) {
        return false;
    }
    for (auto it = m_edits.cbegin(); it != m_edits.cend(); ++it)
        m_values.insert(it.key(), it.value());
    m_edits.clear();
    if (stored)
        emit rowsChanged();
    return true;
}

void TableCursor::placeInserted()
{
    m_isNew = false;
    // The stored row stays current, even when it does not match the filter. Its identity is the highest yet, so it
    // comes last: the row ids are not read again for it (on a server, that is a round trip, and the whole table's
    // ids for a cursor without a filter); when they are read later, it is kept among them.
    m_inserted = m_currentRowId;
    if (m_rowIds) {
        if (!m_rowIds->contains(m_currentRowId))
            m_rowIds->append(m_currentRowId);
        m_position = static_cast<int>(m_rowIds->indexOf(m_currentRowId));
    } else {
        m_position = m_count;
        ++m_count;
    }
}

bool TableCursor::remove()
{
    m_firstRows.reset();
    if (m_isNew) {
        reload();
        return true;
    }
    if (m_currentRowId < 0)
        return fail(QStringLiteral("no current row in %1").arg(m_table));
    const qint64 removed = m_currentRowId;
    if (removed == m_inserted)
        m_inserted = -1;
    // Row ids read after the deletion already lack the removed row; ids read before it still hold it.
    const bool idsReadBefore = m_rowIds.has_value();
    {
        Database::Statement statement = prepared(
            QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(quotedColumn(m_table), m_db.engine().rowIdentity()));
        if (!statement)
            return false;
        statement.query().addBindValue(removed);
        if (!run(statement.query()))
            return false;
    }
    if (idsReadBefore)
        m_rowIds->removeOne(removed);
    else if (!loadRowIds())
        return fail(QStringLiteral("cannot read %1").arg(m_table));
    m_count = count();
    if (m_position >= count())
        m_position = count() - 1;
    if (m_position >= 0) {
        loadCurrent();
    } else {
        m_currentRowId = -1;
        m_values.clear();
        m_edits.clear();
    }
    emit currentChanged();
    emit rowsChanged();
    return true;
}

bool TableCursor::removeAll()
{
    m_firstRows.reset();
    if (m_listing)
        return fail(QStringLiteral("a listing of %1 is only read").arg(m_table));
    {
        Database::Statement statement = prepared(QStringLiteral("DELETE FROM %1%2").arg(quotedColumn(m_table), whereClause()));
        if (!statement)
            return false;
        bindFilter(statement.query());
        if (!run(statement.query()))
            return false;
    }
    return reload();
}
