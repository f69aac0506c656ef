#include "examinees/ExamineeDeletion.h"

#include "data/Database.h"
#include "data/TableCursor.h"

namespace ExamineeDeletion {

Search find(TableCursor& details, TableCursor& answers, const QStringList& forms)
{
    Search search;
    for (const QString& code : forms) {
        for (TableCursor* cursor : { &details, &answers }) {
            if (!cursor->setFilter(QStringLiteral("Code"), code)) {
                search.ok = false;
                search.busy = cursor->lastErrorIsBusy();
                search.error = cursor->lastError();
                return search;
            }
            search.found = search.found || cursor->count() > 0;
        }
        if (search.found)
            break;
    }
    return search;
}

Result removeFound(Database& db, TableCursor& details, TableCursor& answers)
{
    Result result;
    // Without the filter `find` sets, removing the rows would remove every examinee.
    if (!details.isFiltered() || !answers.isFiltered()) {
        result.error = QStringLiteral("no code was looked up");
        return result;
    }
    if (!db.beginTransaction()) {
        result.error = db.lastError();
        return result;
    }
    // Every row of the code goes, also where an older version or a hand merge left two of them: a row left behind
    // would keep the test open for a deleted examinee and the code taken. The details go first; should the answers
    // then fail, the rollback brings the details back as well.
    for (TableCursor* cursor : { &details, &answers }) {
        const bool removed = cursor->removeAll();
        if (!removed || cursor->count() != 0) {
            result.error = removed ? QStringLiteral("rows of the code are still in %1").arg(cursor->table())
                                   : cursor->lastError();
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
