#include "examinees/RegistrationStore.h"

#include "data/TableCursor.h"
#include "data/Transaction.h"

#include <optional>

namespace RegistrationStore {

namespace {

Outcome failed(const QString& error, bool busy)
{
    return { Stored::Failed, error, busy };
}

// Whether an examinee has the code already, in either table (the two rows must never disagree); nothing when it
// could not be read.
std::optional<bool> codeTaken(const Cursors& cursors, const QString& code, Outcome& failure)
{
    int found = 0;
    for (TableCursor* check : { &cursors.codeCheck, &cursors.answerCheck }) {
        const bool read = check->setFilter(QStringLiteral("Code"), code);
        found += check->count();
        if (!read)
            failure = failed(check->lastError(), check->lastErrorIsBusy());
        check->clearFilter();
        if (!read)
            return std::nullopt;
    }
    return found > 0;
}

} // namespace

Outcome storeIfCodeIsFree(Database& db, const Cursors& cursors, const QString& code)
{
    Transaction transaction(db);
    if (!transaction.begun())
        return failed(transaction.error(), transaction.busy());
    Outcome outcome;
    const std::optional<bool> taken = codeTaken(cursors, code, outcome);
    if (!taken)
        return outcome;
    if (*taken)
        return { Stored::CodeTaken, QString(), false };

    cursors.answers.addNew();
    cursors.answers.setField(QStringLiteral("Code"), code);
    cursors.details.setField(QStringLiteral("Code"), code);
    for (TableCursor* row : { &cursors.answers, &cursors.details }) {
        if (row->update())
            continue;
        // Another counsellor's program may have stored the same code between the check and the write.
        if (row->lastErrorIsCodeTaken())
            return { Stored::CodeTaken, QString(), false };
        return failed(row->lastError(), row->lastErrorIsBusy());
    }
    if (!transaction.commit())
        return failed(transaction.error(), transaction.busy());
    return { Stored::Saved, QString(), false };
}

} // namespace RegistrationStore
