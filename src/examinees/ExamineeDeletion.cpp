#include "examinees/ExamineeDeletion.h"

#include "data/TableCursor.h"
#include "data/Transaction.h"

namespace ExamineeDeletion {

Result removeFound(Database& db, TableCursor& details, TableCursor& answers)
{
    Result result;
    // Without the filter `find` sets, removing the rows would remove every examinee.
    if (!details.isFiltered() || !answers.isFiltered()) {
        result.error = QStringLiteral("no code was looked up");
        return result;
    }
    Transaction transaction(db);
    if (!transaction.begun()) {
        result.error = transaction.error();
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
            transaction.rollback();
            details.reload();
            answers.reload();
            return result;
        }
    }
    if (!transaction.commit()) {
        result.error = transaction.error();
        details.reload();
        answers.reload();
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace ExamineeDeletion
