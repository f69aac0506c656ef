#include "examinees/ExamineeDeletion.h"

#include "data/Database.h"
#include "data/TableCursor.h"

namespace ExamineeDeletion {

bool find(TableCursor& details, TableCursor& answers, const QString& code, bool& found, QString& error)
{
    found = false;
    for (TableCursor* cursor : { &details, &answers }) {
        if (!cursor->setFilter(QStringLiteral("Code"), code)) {
            error = cursor->lastError();
            return false;
        }
        found = found || cursor->count() > 0;
    }
    return true;
}

Result removeFound(Database& db, TableCursor& details, TableCursor& answers)
{
    Result result;
    if (!db.beginTransaction()) {
        result.error = db.lastError();
        return result;
    }
    // The details go first; should the answers then fail, the rollback brings the details back as well.
    for (TableCursor* cursor : { &details, &answers }) {
        if (cursor->count() == 0)
            continue;
        if (!cursor->moveFirst() || !cursor->remove()) {
            result.error = cursor->lastError();
            db.rollback();
            details.reload();
            answers.reload();
            return result;
        }
    }
    if (!db.commit()) {
        result.error = db.lastError(); // commit() has rolled back
        details.reload();
        answers.reload();
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace ExamineeDeletion
