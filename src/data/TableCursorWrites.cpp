// A cursor's writes that are transactions of their own, and a new row stored by a statement of the caller's.
#include "data/TableCursor.h"

#include "data/Database.h"
#include "data/Engine.h"
#include "data/Transaction.h"

#include <QSqlQuery>

bool TableCursor::storeEdits(const QString& alsoWhere)
{
    QStringList sets;
    for (auto it = m_edits.cbegin(); it != m_edits.cend(); ++it)
        sets << quotedColumn(it.key()) + QStringLiteral(" = ?");
    Database::Statement statement = prepared(QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?%4")
            .arg(quotedColumn(m_table), sets.join(QStringLiteral(", ")), m_db.engine().rowIdentity(), alsoWhere));
    if (!statement)
        return false;
    QSqlQuery& q = statement.query();
    for (auto it = m_edits.cbegin(); it != m_edits.cend(); ++it)
        q.addBindValue(it.value());
    q.addBindValue(m_currentRowId);
    if (!run(q))
        return false;
    if (q.numRowsAffected() != 1)
        return fail(QStringLiteral("the row is no longer in %1").arg(m_table));
    return true;
}

void TableCursor::takeStoredNewRow(qint64 rowId)
{
    if (!m_isNew)
        return;
    m_firstRows.reset();
    if (!isCounted())
        count();
    m_currentRowId = rowId;
    placeInserted();
    for (auto it = m_edits.cbegin(); it != m_edits.cend(); ++it)
        m_values.insert(it.key(), it.value());
    m_edits.clear();
    emit rowsChanged();
}

bool TableCursor::updateAlone()
{
    m_firstRows.reset();
    if (m_isNew || m_edits.isEmpty() || m_db.inTransaction())
        return update();
    const QString writerLock = m_db.engine().writerLockCondition();
    if (writerLock.isEmpty()) {
        Transaction transaction(m_db);
        if (!transaction.begun())
            return fail(transaction.error(), transaction.busy());
        const QHash<QString, QString> values = m_values;
        const QHash<QString, QString> edits = m_edits;
        if (!update())
            return false;
        if (transaction.commit())
            return true;
        // Rolled back: the row is as it was read, its changes pending again.
        m_values = values;
        m_edits = edits;
        return fail(transaction.error(), transaction.busy());
    }
    if (m_currentRowId < 0)
        return fail(QStringLiteral("no current row in %1").arg(m_table));
    if (!storeEdits(QStringLiteral(" AND ") + writerLock))
        return false;
    for (auto it = m_edits.cbegin(); it != m_edits.cend(); ++it)
        m_values.insert(it.key(), it.value());
    m_edits.clear();
    emit rowsChanged();
    return true;
}
