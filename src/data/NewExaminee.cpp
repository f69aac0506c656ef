#include "data/NewExaminee.h"

#include "data/Database.h"
#include "data/Engine.h"
#include "data/ExamineeCode.h"
#include "data/Sql.h"
#include "data/TableCursor.h"
#include "data/Transaction.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

namespace NewExaminee {

namespace {

const QString CodeColumn = QStringLiteral("Code");

Outcome failed(const QString& error, bool busy)
{
    return { Stored::Failed, error, busy };
}

// The check and both inserts in one statement, the writers' lock taken before it reads: the code is free when no
// row of either table has it; the unique indexes on the codes refuse a writer that met this one on it anyway.
Outcome storeInOneStatement(Database& db, TableCursor& details, const QString& code, const QString& writerLock)
{
    // The code goes into the form's row only once stored, as when the rows are written one by one.
    QHash<QString, QString> fields = details.newRowFields();
    fields.insert(CodeColumn, code);
    QStringList columns = fields.keys();
    std::sort(columns.begin(), columns.end());
    QStringList names;
    QStringList marks;
    for (const QString& column : columns) {
        names << Sql::quoted(column);
        marks << QStringLiteral("?::text");
    }
    const QString& identity = db.engine().rowIdentity();
    Database::Statement statement = db.statement(
        QStringLiteral("WITH \"Free\" AS (SELECT 1 WHERE %1 AND NOT EXISTS (SELECT 1 FROM \"IDE\" WHERE \"Code\" = ?) "
                       "AND NOT EXISTS (SELECT 1 FROM \"Answer\" WHERE \"Code\" = ?)), "
                       "\"Answered\" AS (INSERT INTO \"Answer\" (\"Code\") SELECT ?::text FROM \"Free\" RETURNING 1) "
                       "INSERT INTO \"IDE\" (%2) SELECT %3 FROM \"Answered\" RETURNING %4")
            .arg(writerLock, names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")), identity));
    if (!statement)
        return failed(db.lastError(), db.lastErrorIsBusy());
    QSqlQuery& q = statement.query();
    for (int i = 0; i < 3; ++i)
        q.addBindValue(code);
    for (const QString& column : columns)
        q.addBindValue(fields.value(column));
    if (!db.exec(q)) {
        if (db.engine().isCodeTaken(q.lastError()))
            return { Stored::CodeTaken, QString(), false };
        return failed(db.lastError(), db.lastErrorIsBusy());
    }
    if (!q.next())
        return { Stored::CodeTaken, QString(), false };
    details.setField(CodeColumn, code);
    details.takeStoredNewRow(q.value(0).toLongLong());
    return { Stored::Saved, QString(), false };
}

} // namespace

Outcome store(Database& db, TableCursor& details, TableCursor& answers, const QString& code)
{
    const QString writerLock = db.engine().writerLockCondition();
    if (!writerLock.isEmpty() && !db.inTransaction() && details.isNewRow())
        return storeInOneStatement(db, details, code, writerLock);

    Transaction transaction(db);
    if (!transaction.begun())
        return failed(transaction.error(), transaction.busy());

    // Both tables: a code in either one already belongs to someone, and the two rows must never disagree.
    const ExamineeCode::Taken taken = ExamineeCode::isTaken(db, code);
    if (!taken.read)
        return failed(taken.error, taken.busy);
    if (taken.taken)
        return { Stored::CodeTaken, QString(), false };

    answers.addNew();
    answers.setField(CodeColumn, code);
    details.setField(CodeColumn, code);
    for (TableCursor* row : { &answers, &details }) {
        if (row->update())
            continue;
        const Outcome refused = row->lastErrorIsCodeTaken() ? Outcome { Stored::CodeTaken, QString(), false }
                                                             : failed(row->lastError(), row->lastErrorIsBusy());
        // The rolled-back Answer row is not kept as if stored.
        answers.reload();
        return refused;
    }
    if (!transaction.commit()) {
        answers.reload();
        return failed(transaction.error(), transaction.busy());
    }
    return { Stored::Saved, QString(), false };
}

} // namespace NewExaminee
