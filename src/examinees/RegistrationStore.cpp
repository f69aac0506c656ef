#include "examinees/RegistrationStore.h"

#include "data/ExamineeCode.h"
#include "data/Transaction.h"

#include <optional>

namespace {

RegistrationStore::Outcome failed(const QString& error, bool busy)
{
    return { RegistrationStore::Stored::Failed, error, busy };
}

} // namespace

RegistrationStore::RegistrationStore(Database& db)
    : m_db(db)
    , m_answers(db, QStringLiteral("Answer"), TableCursor::Unread {})
{
}

RegistrationStore::Outcome RegistrationStore::storeIfCodeIsFree(TableCursor& details, const QString& code)
{
    Transaction transaction(m_db);
    if (!transaction.begun())
        return failed(transaction.error(), transaction.busy());

    // Both tables: a code in either one already belongs to someone, and the two rows must never disagree.
    const ExamineeCode::Taken taken = ExamineeCode::isTaken(m_db, code);
    if (!taken.read)
        return failed(taken.error, taken.busy);
    if (taken.taken)
        return { Stored::CodeTaken, QString(), false };

    m_answers.addNew();
    m_answers.setField(QStringLiteral("Code"), code);
    details.setField(QStringLiteral("Code"), code);
    for (TableCursor* row : { &m_answers, &details }) {
        if (row->update())
            continue;
        const Outcome refused = row->lastErrorIsCodeTaken() ? Outcome { Stored::CodeTaken, QString(), false }
                                                             : failed(row->lastError(), row->lastErrorIsBusy());
        // The rolled-back Answer row is not kept as if stored.
        m_answers.reload();
        return refused;
    }
    if (!transaction.commit()) {
        m_answers.reload();
        return failed(transaction.error(), transaction.busy());
    }
    return { Stored::Saved, QString(), false };
}
